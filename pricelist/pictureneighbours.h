#pragma once
// Decodes ahead of time, on the picture cache's worker, the local pictures of the records
// before and after the current one in list order, so that "Neste" and "Forrige" show
// them at once. Files are only looked for on disk (nothing is fetched); never throws.

#include <QSize>
#include <QString>

class ProductTable;

// box is the size the pictures are fitted to. lastAsked holds what was handed to the
// worker the time before: the same row, box and references ask for nothing new.
void prefetchNeighbourPictures(const ProductTable& table, QSize box, QString& lastAsked) noexcept;
