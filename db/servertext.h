#pragma once
// Values of fixed size as the server's text protocol sends them, read into a record's slot.

#include "db/fieldkind.h"

// Reads s[0, n) as a value of `kind` (not a variable-length kind) into the slot at `slot`
// (1, 4 or 8 bytes). False when it does not read (a zero date included): the value is null.
// BIT columns arrive as raw bytes and read as their number.
bool readServerValue(FieldKind kind, const char* s, unsigned long n, char* slot);
