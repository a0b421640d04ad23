#pragma once
// Batch identification of a plant's motors from their data sheets: a table in, one row of circuit
// and fit per motor out, rows independent and computed in parallel, written in input order (plain
// C++, no Qt).

#include <cstddef>
#include <string>
#include <vector>

#include "ErrorMessages.h"
#include "MotorDataSet.h"

// The columns a data-sheet table must have (in any order; others are carried along).
inline constexpr const char* DatasheetColumns[] = {
    "Maker",     "Size",  "Power",    "Voltage",            "Current",           "PowerFactor",
    "Frequency", "Speed", "Coupling", "LockedRotorCurrent", "LockedRotorTorque", "BreakdownTorque"};
constexpr std::size_t DatasheetColumnCount = std::size(DatasheetColumns);

// The largest table read.
constexpr long long MaxDatasheetTableSize = 64LL * 1024 * 1024;

struct DatasheetTable {
    std::vector<std::string> header;             // the cells as read
    std::vector<std::vector<std::string>> rows;  // the cells of each row as read
    std::size_t column[DatasheetColumnCount] {}; // where each column is in header
};

// Reads the table: UTF-8 (a byte-order mark is skipped), a header line whose separator (";" or
// ",") is that of every line, CR LF or LF line ends, empty lines skipped. Throws Refusal 188
// naming the file and why (not readable, too large, not UTF-8, a column missing or named twice).
DatasheetTable ReadDatasheetTable(const std::string& path);

// The rated values and data sheet of one row, as the rated values dialog would take them (the
// fit priority given); 0, or the refusal of the row (189 for cells that cannot be read, the
// dialog's numbers for values missing, 220 for a number that is none).
Refusal DatasheetRowMotor(const DatasheetTable& table, std::size_t row, FitPriority priority, MotorDataSet& ds);

// The output table: the input header and the result columns, then one row per input row with its
// cells as read and its identification (empty result cells for a refused row); ";" between cells,
// "." decimals, 17 significant digits, CR LF. threads rows are identified at once; the text is
// the same whatever their number.
std::string FitDatasheetTable(const DatasheetTable& table, FitPriority priority, int threads);
