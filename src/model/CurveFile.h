#pragma once
// The curve file for spreadsheets: a header and 100 lines of semicolon-separated numbers; and the
// checked writing that it and the command line's other files share.

#include "MotorDataSet.h"

#include <cstdio>
#include <stdexcept>
#include <string>
#include <string_view>

class CurveFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One number as the file writes it: 23 characters, sign position, 15 digits, 4-digit exponent.
std::string FormatCurveNumber(double value);
// The whole file contents (CR LF line ends).
std::string CurveFileText(const MotorDataSet& ds);
// Writes the file; throws CurveFileError with the system's text when creating, writing or closing
// fails, and then leaves no partial file (as WriteTextFile).
void WriteCurveFile(const MotorDataSet& ds, const std::string& fileName);

// Writes text into the file, checking every write, the flush and the close. Returns an empty
// text when the whole text was written; otherwise what went wrong, and a file this call created
// or cut short is removed, so that no partial file is left.
std::string WriteTextFile(const std::string& fileName, const std::string& text);

// A file written in parts, each write checked; on any failure the file is removed (when it is a
// regular file this writer created or replaced), so that no partial file is left.
class CheckedFile {
  public:
    CheckedFile() = default;
    ~CheckedFile(); // an unclosed file is abandoned: closed and removed
    CheckedFile(const CheckedFile&) = delete;
    CheckedFile& operator=(const CheckedFile&) = delete;

    // Each returns an empty text on success, else what went wrong (the file then removed).
    std::string Open(const std::string& fileName);
    std::string Write(std::string_view text);
    std::string Close(); // flushes and closes
    bool IsOpen() const { return file_ != nullptr; }

  private:
    void Abandon();
    void Remove();

    std::FILE* file_ = nullptr;
    std::string name_;
    bool removable_ = false;
};
