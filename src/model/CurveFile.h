#pragma once
// The curve file for spreadsheets: a header and 100 lines of semicolon-separated numbers. It is
// written, as every file of the programs, through listfile::PendingFile (FileAccess.h).

#include "MotorDataSet.h"

#include <string>

// One number as the file writes it: 23 characters, sign position, 15 digits, 4-digit exponent.
std::string FormatCurveNumber(double value);
// The whole file contents (CR LF line ends).
std::string CurveFileText(const MotorDataSet& ds);
