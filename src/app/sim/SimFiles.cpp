#include "SimFiles.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "CurveFile.h"

std::string DynamicCurveFileText(const DynamicResults& r, bool network) {
    std::string text =
        "t [s];n/ns DOL;I/In DOL;T/Tn DOL;TL/Tn DOL;U/Un DOL;n/ns SS;I/In SS;T/Tn SS;TL/Tn SS;U/Un SS";
    if (network) text += ";Ubus/Un DOL;Ubus/Un SS";
    text += "\r\n";
    const StartCurves& d = r.DolCurves;
    const StartCurves& s = r.SoftStarterCurves;
    const std::vector<double>* columns[] = {&d.Speed,      &d.Current, &d.Torque,     &d.LoadTorque,
                                            &d.Voltage,    &s.Speed,   &s.Current,    &s.Torque,
                                            &s.LoadTorque, &s.Voltage, &d.BusVoltage, &s.BusVoltage};
    const std::size_t columnCount = network ? 12 : 10;
    text.reserve(text.size() + r.Times.size() * (24 * (columnCount + 1) + 1));
    for (std::size_t k = 0; k < r.Times.size(); ++k) {
        text += FormatCurveNumber(r.Times[k]);
        for (std::size_t c = 0; c < columnCount; ++c) {
            text += ';';
            text += FormatCurveNumber((*columns[c])[k]);
        }
        text += "\r\n";
    }
    return text;
}

std::string CsvNumber(double value) {
    if (!std::isfinite(value)) return {};
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 17);
    return std::string(buf, r.ptr);
}

void AppendCsvCell(std::string& text, const ResultValue& value) {
    switch (value.kind) {
    case ResultValue::Kind::Bool:
        text += value.flag ? "true" : "false";
        break;
    case ResultValue::Kind::Number: {
        char buf[64];
        const auto r = std::to_chars(buf, buf + sizeof buf, value.number, std::chars_format::general, 17);
        text.append(buf, r.ptr);
        break;
    }
    case ResultValue::Kind::Null:
        break;
    }
}

CheckedFile::~CheckedFile() {
    if (file_) Abandon();
}

std::string CheckedFile::Open(const std::string& fileName) {
    name_ = fileName;
    std::error_code ec;
    removable_ = !std::filesystem::exists(fileName, ec) || std::filesystem::is_regular_file(fileName, ec);
    file_ = std::fopen(fileName.c_str(), "wb");
    if (!file_) return "Cannot create \"" + fileName + "\": " + std::strerror(errno);
    return {};
}

std::string CheckedFile::Write(std::string_view text) {
    if (!file_) return "Cannot write \"" + name_ + "\"";
    if (std::fwrite(text.data(), 1, text.size(), file_) == text.size()) return {};
    const std::string problem = "Cannot write \"" + name_ + "\": " + std::strerror(errno);
    Abandon();
    return problem;
}

std::string CheckedFile::Close() {
    if (!file_) return "Cannot write \"" + name_ + "\"";
    const bool flushed = std::fflush(file_) == 0;
    const int flushError = errno;
    const bool closed = std::fclose(file_) == 0;
    const int closeError = errno;
    file_ = nullptr;
    if (flushed && closed) return {};
    Remove();
    return std::string(flushed ? "Cannot close \"" : "Cannot write \"") + name_ +
           "\": " + std::strerror(flushed ? closeError : flushError);
}

void CheckedFile::Abandon() {
    std::fclose(file_);
    file_ = nullptr;
    Remove();
}

void CheckedFile::Remove() {
    // A regular file holding part of the text is removed; a device or pipe is left alone.
    std::error_code ec;
    if (removable_ && std::filesystem::is_regular_file(name_, ec)) std::filesystem::remove(name_, ec);
}

std::string WriteTextFile(const std::string& fileName, const std::string& text) {
    CheckedFile f;
    if (std::string problem = f.Open(fileName); !problem.empty()) return problem;
    if (std::string problem = f.Write(text); !problem.empty()) return problem;
    return f.Close();
}
