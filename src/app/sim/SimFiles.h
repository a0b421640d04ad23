#pragma once
// The files tarvello-sim writes besides the curve file, and their checked writing (plain C++, no Qt).

#include <cstdio>
#include <string>
#include <string_view>

#include "Dynamics.h"
#include "SimValues.h"

// The dynamic start's curve file: a header and one line per sample, numbers in the curve file's
// 23-character form, ";" between them, CR LF after each line. With a network the busbar voltages
// of both starts follow the last column.
std::string DynamicCurveFileText(const DynamicResults& results, bool network);

// A number with 17 significant digits and "." as the decimal mark, e.g. 4.1999999999999931: the
// digits that read back to the same double in every spreadsheet. Empty for a value that is not finite.
std::string CsvNumber(double value);

// Appends a CSV cell: nothing for null, true/false, or the number as CsvNumber writes it.
void AppendCsvCell(std::string& text, const ResultValue& value);

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
