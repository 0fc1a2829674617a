#pragma once
// Decodes ahead of time, on the picture cache's worker, the local pictures of the records
// before and after the current one in list order, so that "Neste" and "Forrige" show
// them at once. Files are only looked for on disk (nothing is fetched); never throws.

class TPrisDataForm;

void prefetchNeighbourPictures(TPrisDataForm& dialog) noexcept;
