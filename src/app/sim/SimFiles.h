#pragma once
// The files tarvello-sim writes besides the curve file, and their checked writing (plain C++, no Qt).

#include <string>

#include "Dynamics.h"

// The dynamic start's curve file: a header and one line per sample, numbers in the curve file's
// 23-character form, ";" between them, CR LF after each line. With a network the busbar voltages
// of both starts follow the last column.
std::string DynamicCurveFileText(const DynamicResults& results, bool network);

// A number with 17 significant digits and "." as the decimal mark, e.g. 4.1999999999999931: the
// digits that read back to the same double in every spreadsheet. Empty for a value that is not finite.
std::string CsvNumber(double value);

// Writes text into the file, checking every write, the flush and the close. Returns an empty
// text when the whole text was written; otherwise what went wrong, and a file this call created
// or cut short is removed, so that no partial file is left.
std::string WriteTextFile(const std::string& fileName, const std::string& text);
