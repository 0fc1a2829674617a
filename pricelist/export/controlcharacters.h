#pragma once
// Texts of the export files without control characters (C0 but tab, line feed and
// carriage return; DEL; C1): readers of CSV and HTML choke on them or show garbage, and
// a product text can hold any of them (Windows-1252 bytes 0x81, 0x8D, 0x8F, 0x90, 0x9D
// read as C1 characters).

#include <QString>

QString withoutControlCharacters(const QString& text);
