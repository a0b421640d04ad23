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

std::string WriteTextFile(const std::string& fileName, const std::string& text) {
    std::error_code ec;
    const bool existed = std::filesystem::exists(fileName, ec);
    std::FILE* f = std::fopen(fileName.c_str(), "wb");
    if (!f) return "Cannot create \"" + fileName + "\": " + std::strerror(errno);
    const bool written = std::fwrite(text.data(), 1, text.size(), f) == text.size() && std::fflush(f) == 0;
    const int writeError = errno;
    const bool closed = std::fclose(f) == 0;
    const int closeError = errno;
    if (written && closed) return {};
    // A regular file holding part of the text is removed; a device or pipe is left alone.
    if (std::filesystem::is_regular_file(fileName, ec) || !existed) std::filesystem::remove(fileName, ec);
    return std::string(written ? "Cannot close \"" : "Cannot write \"") + fileName +
           "\": " + std::strerror(written ? closeError : writeError);
}
