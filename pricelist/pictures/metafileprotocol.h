#pragma once
// How the metafile helper process answers (on its standard output): one byte 'P' then the
// natural width and height and the drawn width and height (32-bit little-endian) and the
// drawn pixels (premultiplied ARGB, 4 bytes each, row by row, no padding); or one byte
// 'E' then the library's reason in UTF-8. It is started as
//     prisliste-metafile wmf|emf <box width> <box height>
// with the file's bytes on its standard input.

#include <QtGlobal>

constexpr char metafilePixelsAnswer = 'P';
constexpr char metafileErrorAnswer = 'E';
constexpr int metafileHeaderBytes = 1 + 4 * 4;
constexpr qsizetype metafileReasonLimit = 4096;
constexpr const char* metafileHelperName = "prisliste-metafile";
