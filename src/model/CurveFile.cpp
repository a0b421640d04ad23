#include "CurveFile.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

std::string FormatCurveNumber(double value) {
    // Sign position, d.dddddddddddddd, E, exponent sign, four exponent digits; always a point.
    char buf[64];
    const double magnitude = std::fabs(value);
    auto r = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific, 14);
    const std::string s(buf, r.ptr);
    const std::size_t e = s.find('e');
    const int exponent = std::atoi(s.c_str() + e + 1);
    char out[32];
    std::snprintf(out, sizeof out, "%c%sE%c%04d", value < 0 ? '-' : ' ', s.substr(0, e).c_str(),
                  exponent < 0 ? '-' : '+', std::abs(exponent));
    return out;
}

std::string CurveFileText(const MotorDataSet& ds) {
    std::string text = ds.ShowStaticCurves ? "Time;Id/In DOL;Td/Tn DOL;Id/In SS;Td/Tn SS;n/ns"
                                           : "Time;Id/In DOL;Td/Tn DOL;Id/In SS;Td/Tn SS";
    text += "\r\n";
    for (int i = 0; i < CurvePoints; ++i) {
        text += FormatCurveNumber(ds.TimeAxis[i]);
        for (const Curve* c : {&ds.DolCurrentCurve, &ds.DolTorqueCurve, &ds.SoftStarterCurrentCurve,
                               &ds.SoftStarterTorqueCurve}) {
            text += ';';
            text += FormatCurveNumber((*c)[i]);
        }
        if (ds.ShowStaticCurves) {
            text += ';';
            text += FormatCurveNumber(ds.SpeedAxis[i]);
        }
        text += "\r\n";
    }
    return text;
}

void WriteCurveFile(const MotorDataSet& ds, const std::string& fileName) {
    if (const std::string problem = WriteTextFile(fileName, CurveFileText(ds)); !problem.empty())
        throw CurveFileError(problem);
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
