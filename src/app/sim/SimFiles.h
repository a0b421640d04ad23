#pragma once
// The files tarvello-sim writes besides the curve file (plain C++, no Qt); they are written
// through the curve file's checked writer, CheckedFile and WriteTextFile in CurveFile.h.

#include <string>

#include "CurveFile.h"
#include "Dynamics.h"
#include "SimValues.h"

// The dynamic start's curve file: a header and one line per sample, numbers in the curve file's
// 23-character form, ";" between them, CR LF after each line. With a network the busbar voltages
// of both starts follow the last column.
std::string DynamicCurveFileText(const DynamicResults& results, bool network);

// The time-current chart's curves side by side: for each curve (the starts, the relays' trip
// curves, the motor's limit lines, then its locked-rotor points, one point each) a column of I/In
// and one of t in s, headed "DolStart.Current (I/In);DolStart.Time (s);..."; as many lines as the
// longest curve, a shorter one's cells left empty; numbers as CsvNumber writes them, ";" between
// cells, CR LF after each line.
std::string TimeCurrentCsvText(const TimeCurrentCurves& curves);

// A number with 17 significant digits and "." as the decimal mark, e.g. 4.1999999999999931: the
// digits that read back to the same double in every spreadsheet. Empty for a value that is not finite.
std::string CsvNumber(double value);

// Appends a CSV cell: nothing for null, true/false, or the number as CsvNumber writes it.
void AppendCsvCell(std::string& text, const ResultValue& value);
