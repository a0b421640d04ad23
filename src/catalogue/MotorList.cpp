#include "MotorList.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string_view>

#include "FileAccess.h"
#include "TextToReal.h"
#include "Windows1252.h"

namespace {

using Kind = ListFileError::Kind;

// Decimals of fields 4 to 16, in field order.
constexpr std::array<int, 13> Decimals = {0, 0, 0, 1, 2, 0, 1, 2, 2, 2, 2, 0, 0};
constexpr int FirstNumberField = 4;
constexpr int LastNumberField = 16;

constexpr std::array<const char*, ListFieldCount> FieldNameEnglish = {
    "record number", "constructor",  "motor size",  "power",           "line voltage", "frequency",
    "line current",  "power factor", "rated speed", "no-load current", "Rs",           "R'r",
    "Xssigma",       "X'rsigma",     "Xh",          "Riron",           "coupling"};
constexpr std::array<const char*, ListFieldCount> FieldNameFrench = {"numéro",
                                                                     "fabricant",
                                                                     "dimension",
                                                                     "puissance",
                                                                     "tension de ligne",
                                                                     "fréquence",
                                                                     "courant de ligne",
                                                                     "facteur de puissance",
                                                                     "vitesse nominale",
                                                                     "courant à vide",
                                                                     "Rs",
                                                                     "R'r",
                                                                     "Xssigma",
                                                                     "X'rsigma",
                                                                     "Xh",
                                                                     "Riron",
                                                                     "couplage"};

// Calls take(line) for every line of content, split at CR LF, LF or CR, until take returns false.
// Text after the last line end is a line of its own; a line end at the very end of the content
// starts no new line. The lines are views into content: no copy of the whole file is made.
template <typename Take> void ForEachLine(std::string_view content, Take take) {
    std::size_t start = 0;
    while (start < content.size()) {
        const std::size_t end = content.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            take(content.substr(start));
            return;
        }
        if (!take(content.substr(start, end - start))) return;
        start =
            end + ((content[end] == '\r' && end + 1 < content.size() && content[end + 1] == '\n') ? 2 : 1);
    }
}

// Only the space counts as blank, as for TextToReal.
std::string TrimSpaces(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

bool ParseWholeNumber(const std::string& text, long long& value) {
    std::string t = TrimSpaces(text);
    const bool plus = !t.empty() && t[0] == '+';
    if (plus) t.erase(0, 1);
    if (t.empty() || !((t[0] >= '0' && t[0] <= '9') || (!plus && t[0] == '-'))) return false;
    const char* end = t.data() + t.size();
    const auto [ptr, ec] = std::from_chars(t.data(), end, value);
    return ec == std::errc() && ptr == end;
}

bool IsIntRecordNumber(long long value) {
    return value >= std::numeric_limits<int>::min() && value <= std::numeric_limits<int>::max();
}

bool IsNumber(const std::string& text) {
    try {
        return std::isfinite(TextToReal(text));
    } catch (const EConvertError&) {
        return false;
    }
}

// A text as a message quotes it: cut at a character boundary, control characters and stray bytes
// made visible.
std::string Shortened(const std::string& text) {
    constexpr std::size_t limit = 40;
    if (text.size() <= limit) return VisibleText(text);
    std::size_t cut = limit;
    // Back over the continuation bytes of one character at most, so that the cut never splits it.
    for (int back = 0; back < 3 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80; ++back)
        --cut;
    return VisibleText(text.substr(0, cut)) + "...";
}

std::string FieldLabel(int field, Language language) {
    const auto& names = language == Language::French ? FieldNameFrench : FieldNameEnglish;
    const std::string prefix = language == Language::French ? "le champ " : "field ";
    return prefix + std::to_string(field) + " (" + names[field - 1] + ")";
}

std::string ReadList(const std::filesystem::path& listFile) {
    return listfile::ReadWholeFile(listFile, listfile::Role::List);
}

// Line numbers as messages give them; a list within the size limit has fewer lines than int holds.
int LineNumber(std::size_t index) {
    return index >= static_cast<std::size_t>(std::numeric_limits<int>::max())
               ? std::numeric_limits<int>::max()
               : static_cast<int>(index + 1);
}

int NextNumberFromContent(const std::string& content, const std::filesystem::path& listFile) {
    std::size_t lineCount = 0;
    std::string_view lastLine;
    ForEachLine(content, [&](std::string_view line) {
        ++lineCount;
        lastLine = line;
        return true;
    });
    if (lineCount == 0) throw ListFileError(Kind::ListEmpty, listFile);
    const int lineNumber = LineNumber(lineCount - 1);
    const std::string last = DecodeWindows1252(lastLine);
    // A line without ";" is read as one field: the number is all that matters here.
    const std::string first = last.substr(0, last.find(';'));
    long long number = 0;
    if (!ParseWholeNumber(first, number) || !IsIntRecordNumber(number)) {
        const std::string line = std::to_string(lineNumber);
        if (first.empty())
            throw ListFileError(Kind::BadRecordNumber, listFile, {}, "line " + line + ": the field is empty",
                                "ligne " + line + " : le champ est vide");
        const std::string quoted = "\"" + Shortened(first) + "\"";
        throw ListFileError(Kind::BadRecordNumber, listFile, {}, "line " + line + ": " + quoted,
                            "ligne " + line + " : " + quoted);
    }
    if (number == std::numeric_limits<int>::max())
        throw ListFileError(Kind::RecordNumberTooBig, listFile, {}, std::to_string(number));
    return static_cast<int>(number) + 1;
}

std::string Encode(const std::string& utf8, const std::filesystem::path& file) {
    std::string bytes;
    const EncodeResult result = EncodeWindows1252(utf8, bytes);
    if (result.problem == EncodeProblem::InvalidUtf8) {
        const std::string at = std::to_string(result.offset);
        throw ListFileError(Kind::InvalidUtf8, file, {}, "byte " + at + " of \"" + Shortened(utf8) + "\"",
                            "octet " + at + " de \"" + Shortened(utf8) + "\"");
    }
    if (result.problem == EncodeProblem::NotRepresentable)
        throw ListFileError(Kind::NotRepresentable, file, {}, DescribeCodePoint(result.codePoint));
    return bytes;
}

void RefuseSeparators(const std::string& text, int field) {
    if (text.find_first_of(";\r\n") == std::string::npos) return;
    const std::string shown = "\"" + Shortened(text) + "\"";
    throw ListFileError(Kind::TextHasSeparator, {}, {}, FieldLabel(field, Language::English) + ": " + shown,
                        FieldLabel(field, Language::French) + " : " + shown);
}

// Fixed-point text that TextToReal reads back: digits, at most one separator, a leading minus.
bool IsPlainFixed(const std::string& text, char separator) {
    std::size_t i = (!text.empty() && text[0] == '-') ? 1 : 0;
    bool digit = false;
    bool separatorSeen = false;
    for (; i < text.size(); ++i) {
        if (text[i] >= '0' && text[i] <= '9') {
            digit = true;
        } else if (text[i] == separator && !separatorSeen && digit) {
            separatorSeen = true;
        } else {
            return false;
        }
    }
    return digit && text.back() != separator;
}

std::string FormatNumber(double value, int field, char separator) {
    const int decimals = Decimals[field - FirstNumberField];
    std::string text;
    if (std::isfinite(value)) text = FormatFixed(value, decimals, separator);
    if (!IsPlainFixed(text, separator)) {
        char shown[40];
        std::snprintf(shown, sizeof shown, "%g", value);
        const auto& en = FieldNameEnglish[field - 1];
        const auto& fr = FieldNameFrench[field - 1];
        throw ListFileError(Kind::NumberNotWritable, {}, {}, std::string(shown) + " (" + en + ")",
                            std::string(shown) + " (" + fr + ")");
    }
    return text;
}

// The record line after its number: ";maker;size;...;coupling;".
std::string FormatRecordBody(const MotorDataSet& ds, char decimalSeparator) {
    const char separator = decimalSeparator == ',' ? ',' : '.';
    RefuseSeparators(ds.ConstructorName, 2);
    RefuseSeparators(ds.MotorSize, 3);
    Encode(ds.ConstructorName, {});
    Encode(ds.MotorSize, {});
    const std::array<double, 13> numbers = {ds.MechanicalPower,
                                            ds.LineVoltage,
                                            ds.Frequency,
                                            ds.LineCurrent,
                                            ds.PowerFactor,
                                            ds.RatedSpeed,
                                            ds.NoLoadLineCurrent,
                                            ds.Rs,
                                            ds.Rr,
                                            ds.Xssigma,
                                            ds.Xrsigma,
                                            ds.Xh,
                                            ds.Riron};
    std::string body = ";" + ds.ConstructorName + ";" + ds.MotorSize + ";";
    for (int field = FirstNumberField; field <= LastNumberField; ++field)
        body += FormatNumber(numbers[field - FirstNumberField], field, separator) + ";";
    body += ds.StarCoupling ? "Star;" : "Delta;";
    return body;
}

} // namespace

std::string SkippedLine::Reason(Language language) const {
    const bool fr = language == Language::French;
    const std::string line = (fr ? "ligne " : "line ") + std::to_string(lineNumber) + (fr ? " : " : ": ");
    switch (reason) {
    case SkipReason::EmptyFile:
        return line + (fr ? "le fichier est vide, sans ligne de titre ni enregistrement"
                          : "the file is empty, with neither a title line nor records");
    case SkipReason::EmptyLine:
        return line + (fr ? "ligne vide" : "empty line");
    case SkipReason::TooFewFields:
        return line + (fr ? "seulement " : "only ") + std::to_string(fieldCount) +
               (fr ? " des 17 champs terminés par \";\"" : " of the 17 fields ended by \";\"");
    case SkipReason::BadRecordNumber:
    case SkipReason::BadNumber: {
        const std::string label = FieldLabel(field, language);
        if (TrimSpaces(text).empty()) return line + label + (fr ? " est vide" : " is empty");
        const std::string shown = " \"" + Shortened(text) + "\"";
        if (reason == SkipReason::BadRecordNumber)
            return line + label + shown + (fr ? " n'est pas un nombre entier" : " is not a whole number");
        return line + label + shown + (fr ? " n'est pas un nombre" : " is not a number");
    }
    }
    return line;
}

std::filesystem::path ListFilePath(const std::filesystem::path& folder) {
    return folder.empty() ? std::filesystem::path(ListFileName) : folder / ListFileName;
}

std::filesystem::path BackupFilePath(const std::filesystem::path& folder) {
    return folder.empty() ? std::filesystem::path(BackupFileName) : folder / BackupFileName;
}

bool ParseRecordLine(const std::string& line, int lineNumber, ListRecord& record, SkippedLine& skipped) {
    skipped = SkippedLine{};
    skipped.lineNumber = lineNumber;
    if (line.empty()) {
        skipped.reason = SkipReason::EmptyLine;
        return false;
    }
    record = ListRecord{};
    record.lineNumber = lineNumber;
    std::string rest = line;
    for (int k = 0; k < ListFieldCount; ++k) {
        if (!CutField(rest, record.fields[k])) {
            skipped.reason = SkipReason::TooFewFields;
            skipped.fieldCount = k;
            return false;
        }
    }
    long long number = 0;
    if (!ParseWholeNumber(record.fields[0], number) || !IsIntRecordNumber(number)) {
        skipped.reason = SkipReason::BadRecordNumber;
        skipped.field = 1;
        skipped.text = record.fields[0];
        return false;
    }
    record.recordNumber = static_cast<int>(number);
    for (int field = FirstNumberField; field <= LastNumberField; ++field) {
        if (!IsNumber(record.fields[field - 1])) {
            skipped.reason = SkipReason::BadNumber;
            skipped.field = field;
            skipped.text = record.fields[field - 1];
            return false;
        }
    }
    return true;
}

bool CutField(std::string& line, std::string& field) {
    const auto end = line.find(';');
    if (end == std::string::npos) return false;
    field.append(line, 0, end);
    line.erase(0, end + 1);
    return true;
}

int CountListLines(const std::filesystem::path& listFile) {
    std::size_t lines = 0;
    ForEachLine(ReadList(listFile), [&lines](std::string_view) {
        ++lines;
        return true;
    });
    if (lines > static_cast<std::size_t>(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    return lines == 0 ? 1 : static_cast<int>(lines);
}

ListRecord ReadListRecord(int n, const std::filesystem::path& listFile) {
    const std::string content = ReadList(listFile);
    std::size_t index = 0;
    bool found = false;
    std::string_view wanted;
    ForEachLine(content, [&](std::string_view line) {
        if (n >= 1 && index == static_cast<std::size_t>(n)) {
            wanted = line;
            found = true;
            return false;
        }
        ++index;
        return true;
    });
    if (!found) throw ListFileError(Kind::RecordNotFound, listFile, {}, std::to_string(n));
    ListRecord record;
    SkippedLine skipped;
    if (!ParseRecordLine(DecodeWindows1252(wanted), n + 1, record, skipped))
        throw ListFileError(Kind::MalformedRecord, listFile, {}, skipped.Reason(Language::English),
                            skipped.Reason(Language::French));
    return record;
}

MotorList ReadMotorList(const std::filesystem::path& listFile) {
    const std::string content = ReadList(listFile);
    MotorList list;
    std::size_t index = 0;
    ForEachLine(content, [&](std::string_view line) {
        if (index == 0) {
            list.title = DecodeWindows1252(line);
        } else {
            ListRecord record;
            SkippedLine skipped;
            if (ParseRecordLine(DecodeWindows1252(line), LineNumber(index), record, skipped))
                list.records.push_back(std::move(record));
            else if (list.skippedCount++ < MotorList::KeptSkippedLines)
                list.skipped.push_back(std::move(skipped));
        }
        ++index;
        return true;
    });
    if (index == 0) {
        list.skipped.push_back({1, SkipReason::EmptyFile, 0, 0, {}});
        list.skippedCount = 1;
    }
    return list;
}

int NextRecordNumber(const std::filesystem::path& listFile) {
    return NextNumberFromContent(ReadList(listFile), listFile);
}

std::string FormatRecordLine(int recordNumber, const MotorDataSet& ds, char decimalSeparator) {
    return std::to_string(recordNumber) + FormatRecordBody(ds, decimalSeparator);
}

int AppendMotorRecord(const MotorDataSet& ds, char decimalSeparator, const std::filesystem::path& listFile) {
    // Everything that can be refused is refused before the file is opened.
    const std::string body = FormatRecordBody(ds, decimalSeparator);
    int number = 0;
    listfile::AppendToFile(listFile, [&](const std::string& content) {
        number = NextNumberFromContent(content, listFile);
        std::string bytes;
        // A last line without its line end would otherwise be joined to the new record.
        if (!content.empty() && content.back() != '\n' && content.back() != '\r') bytes = "\r\n";
        bytes += Encode(std::to_string(number) + body, listFile) + "\r\n";
        return bytes;
    });
    return number;
}

void RestoreListFromBackup(const std::filesystem::path& listFile, const std::filesystem::path& backupFile) {
    std::string backup;
    try {
        backup = listfile::ReadWholeFile(backupFile, listfile::Role::Backup);
    } catch (const ListFileError& error) {
        if (error.GetKind() != Kind::ReadFailed) throw;
        throw ListFileError(Kind::ReadFailed, backupFile, error.SystemText(),
                            "the motor list was not changed", "la liste de moteurs n'a pas été modifiée");
    }
    std::string copy;
    copy.reserve(backup.size() + 64);
    ForEachLine(backup, [&copy](std::string_view line) {
        copy += line;
        copy += "\r\n";
        return copy.size() <= ListFileSizeLimit;
    });
    // CR LF in place of LF can make the copy bigger than its backup: a list the readers would
    // refuse is never made.
    if (copy.size() > ListFileSizeLimit) throw ListFileError(Kind::BackupTooLarge, backupFile);
    listfile::ReplaceList(listFile, copy);
}

void WriteListFile(const std::filesystem::path& file, const std::vector<std::string>& lines) {
    std::string bytes;
    for (const std::string& line : lines) {
        if (line.find_first_of("\r\n") != std::string::npos)
            throw ListFileError(Kind::TextHasSeparator, file, {}, "\"" + Shortened(line) + "\"");
        bytes += Encode(line, file) + "\r\n";
    }
    listfile::ReplaceFile(file, bytes);
}

void CopyRecordToDataSet(const ListRecord& record, MotorDataSet& ds) {
    const auto& f = record.fields;
    ds.ConstructorName = f[1];
    ds.MotorSize = f[2];
    ds.MechanicalPower = TextToReal(f[3]);
    ds.LineVoltage = TextToReal(f[4]);
    ds.Frequency = TextToReal(f[5]);
    ds.LineCurrent = TextToReal(f[6]);
    ds.PowerFactor = TextToReal(f[7]);
    ds.RatedSpeed = TextToReal(f[8]);
    ds.NoLoadLineCurrent = TextToReal(f[9]);
    ds.Rs = TextToReal(f[10]);
    ds.Rr = TextToReal(f[11]);
    ds.Xssigma = TextToReal(f[12]);
    ds.Xrsigma = TextToReal(f[13]);
    ds.Xh = TextToReal(f[14]);
    ds.Riron = TextToReal(f[15]);
    ds.StarCoupling = f[16] != "Delta";
    // A listed motor has one cage and no data sheet, whatever the data set held before.
    ds.Rr2 = ds.Xr2sigma = 0;
    ds.LockedRotorCurrentRatio = ds.LockedRotorTorqueRatio = ds.BreakdownTorqueRatio = 0;
    ds.Priority = FitPriority::Torque;
    ds.Fit = {};
}

void StoreListRows(const MotorList& list, MotorDataSet& ds) {
    const std::array<std::vector<std::string>*, 16> columns = ds.ListColumns();
    for (auto* column : columns) {
        column->clear();
        column->reserve(list.records.size());
    }
    for (const ListRecord& record : list.records)
        for (std::size_t k = 0; k < columns.size(); ++k)
            columns[k]->push_back(record.fields[k + 1]);
}

int CheckListTexts(const MotorDataSet& ds) {
    for (const std::string* text : {&ds.ConstructorName, &ds.MotorSize})
        if (text->find_first_of(";\r\n") != std::string::npos) return ListTextSeparatorError;
    for (const std::string* text : {&ds.ConstructorName, &ds.MotorSize})
        if (!IsWindows1252Text(*text)) return ListTextCharacterError;
    return 0;
}
