#pragma once
// The curve file for spreadsheets: a header and 100 lines of semicolon-separated numbers.

#include "MotorDataSet.h"

#include <stdexcept>
#include <string>

class CurveFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One number as the file writes it: 23 characters, sign position, 15 digits, 4-digit exponent.
std::string FormatCurveNumber(double value);
// The whole file contents (CR LF line ends).
std::string CurveFileText(const MotorDataSet& ds);
// Writes the file; throws CurveFileError with the system's text when creating, writing or closing fails.
void WriteCurveFile(const MotorDataSet& ds, const std::string& fileName);
