#pragma once
// The motor catalogue file "Liste Moteur.dat" and its delivered copy "Liste Moteur.old".
//
// File format: Windows-1252 text, CR LF written after every line (CR LF, LF or CR accepted when
// reading), lines of any length. Line 1 is a title that no reader interprets. Every further line
// is a record of 17 fields, each followed by ";":
//   number; maker; size; power W; line voltage V; frequency Hz; line current A; power factor;
//   rated speed rpm; no-load line current A; Rs; R'r; Xssigma; X'rsigma; Xh; Riron; coupling;
// Numbers are fixed-point with 0, 0, 0, 1, 2, 0, 1, 2, 2, 2, 2, 0, 0 decimals (fields 4 to 16) and
// the writer's decimal separator; they are read with TextToReal, which takes "," and ".".
//
// Texts in memory are UTF-8; they are converted at the file boundary. Every operation opens its
// files, does its work and closes them before it returns. Every failure is a ListFileError. Links
// are followed; what is not a regular file, or is above ListFileSizeLimit, is refused before it is
// read. Changes of the list hold the lock on "<name>.lock" beside the list's real file, readers
// take it shared when they can (see README.md).
//
// The file functions take the file paths as parameters; the defaults are the bare names, that is
// the files in the current working directory.

#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "ErrorMessages.h"
#include "ListFileError.h"
#include "MotorDataSet.h"

inline constexpr const char* ListFileName = "Liste Moteur.dat";
inline constexpr const char* BackupFileName = "Liste Moteur.old";

constexpr int ListFieldCount = 17;

// folder / "Liste Moteur.dat" and folder / "Liste Moteur.old"; an empty folder gives the bare name.
std::filesystem::path ListFilePath(const std::filesystem::path& folder = {});
std::filesystem::path BackupFilePath(const std::filesystem::path& folder = {});

// One record line, split. fields[k-1] holds field k as UTF-8 text, exactly as in the file.
struct ListRecord {
    int lineNumber = 0;   // line of the file, the title being line 1
    int recordNumber = 0; // field 1 as a whole number
    std::array<std::string, ListFieldCount> fields;
};

// Why a line was not taken as a record.
enum class SkipReason {
    EmptyFile,       // the file has no line at all (not even a title)
    EmptyLine,       // a line with no character
    TooFewFields,    // fewer than 17 ";"-terminated fields
    BadRecordNumber, // field 1 is not a whole number
    BadNumber,       // one of fields 4 to 16 is empty, not a number or not finite
};

struct SkippedLine {
    int lineNumber = 0;
    SkipReason reason = SkipReason::EmptyLine;
    int fieldCount = 0; // TooFewFields: the complete fields found
    int field = 0;      // BadRecordNumber, BadNumber: the field number (1 to 17)
    std::string text;   // BadRecordNumber, BadNumber: the field's text, UTF-8

    // E.g. "line 5: field 7 (line current) "abc" is not a number".
    std::string Reason(Language language) const;
};

struct MotorList {
    std::string title;                // line 1, UTF-8; empty for an empty file
    std::vector<ListRecord> records;  // every well-formed record, in file order, no limit
    std::vector<SkippedLine> skipped; // the first KeptSkippedLines other lines after the title, in file order
    std::size_t skippedCount = 0;     // all the lines that are no record, also those not kept

    // A list of millions of blank or broken lines must not hold a report of each in memory.
    static constexpr std::size_t KeptSkippedLines = 1000;
};

// Splits one record line (UTF-8, without line end) as the readers do: true with record filled, or
// false with skipped saying why the line is no record.
bool ParseRecordLine(const std::string& line, int lineNumber, ListRecord& record, SkippedLine& skipped);

// Takes the characters of line up to the first ";" and appends them to field, then removes them
// and the ";" from the front of line. Returns false, changing neither, when line holds no ";".
bool CutField(std::string& line, std::string& field);

// Number of lines including the title, i.e. number of record lines + 1; 1 for an empty file.
int CountListLines(const std::filesystem::path& listFile = ListFileName);

// Record n (1 = the first line after the title), split into its 17 fields. Throws
// RecordNotFound past the last line and MalformedRecord, with the reason, for a line that the
// list reader would skip.
ListRecord ReadListRecord(int n, const std::filesystem::path& listFile = ListFileName);

// The whole list: every well-formed record, and every other line with its reason.
MotorList ReadMotorList(const std::filesystem::path& listFile = ListFileName);

// The last line's record number + 1; a title-only list numbers from its title's first field.
// Throws ListMissing, ListEmpty, BadRecordNumber or RecordNumberTooBig.
int NextRecordNumber(const std::filesystem::path& listFile = ListFileName);

// The record line (without line end) of the motor in ds: fields 2 to 17 from the data set,
// numbers with decimalSeparator ("," or "."; any other character is replaced by ".", since the
// readers would not take it back). Throws TextHasSeparator, NotRepresentable, InvalidUtf8 or
// NumberNotWritable; the result can always be written.
std::string FormatRecordLine(int recordNumber, const MotorDataSet& ds, char decimalSeparator);

// Appends the motor in ds as a new record numbered NextRecordNumber and returns that number.
// The whole line is built before the file is touched; a list whose last line lacks its line end
// gets one first. Reading the number and appending happen under the list's lock, so no other
// program appends or restores in between. On a failed write the file is cut back to its former
// size and WriteFailed thrown. The list must exist (ListMissing otherwise); the backup is never
// written. A lock that cannot be had throws LockUnavailable or LockBusy, and nothing is written.
int AppendMotorRecord(const MotorDataSet& ds, char decimalSeparator,
                      const std::filesystem::path& listFile = ListFileName);

// Makes the list a line-by-line copy of the backup, CR LF after every line. The backup is read
// first and the new list written to a temporary file beside the list's real file (links
// followed), then renamed onto it under the list's lock, so on any failure the list stays exactly
// as it was. A list the user may not write is refused as the append refuses it.
void RestoreListFromBackup(const std::filesystem::path& listFile = ListFileName,
                           const std::filesystem::path& backupFile = BackupFileName);

// Replaces file by the given UTF-8 lines, Windows-1252 encoded, CR LF after each, through a
// temporary file and a rename (the catalogue generator writes the delivered file with this).
void WriteListFile(const std::filesystem::path& file, const std::vector<std::string>& lines);

// What the selection dialog does with a picked row: the two texts, the thirteen numbers through
// TextToReal, StarCoupling false exactly when the coupling field is "Delta", and no second cage
// nor data sheet (a listed motor has neither). Nothing else in ds changes. Records from
// ReadMotorList / ReadListRecord always convert.
void CopyRecordToDataSet(const ListRecord& record, MotorDataSet& ds);

// Fills the sixteen List... columns of ds (entry r-1 for row r) from the records, fields 2 to 17.
void StoreListRows(const MotorList& list, MotorDataSet& ds);

// Numbers for the rated values dialog's refusal of maker and size texts that cannot be saved.
// The message table holds their texts.
constexpr int ListTextSeparatorError = 210; // ";" or a line break
constexpr int ListTextCharacterError = 211; // a character outside Windows-1252

// 0 when ConstructorName and MotorSize can be written to the list, else one of the numbers above.
int CheckListTexts(const MotorDataSet& ds);
