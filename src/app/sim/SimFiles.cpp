#include "SimFiles.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>
#include <utility>

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

std::string TimeCurrentCsvText(const TimeCurrentCurves& c) {
    auto point = [](const std::optional<std::pair<double, double>>& p) {
        return p ? TimeCurrentCurve{{p->first}, {p->second}} : TimeCurrentCurve{};
    };
    const TimeCurrentCurve coldPoint = point(c.MotorColdPoint), hotPoint = point(c.MotorHotPoint);
    const std::pair<const char*, const TimeCurrentCurve*> columns[] = {
        {"DolStart", &c.DolStart},       {"SoftStarterStart", &c.SoftStarterStart},
        {"EarliestCold", &c.EarliestCold}, {"EarliestHot", &c.EarliestHot},
        {"LatestCold", &c.LatestCold},   {"LatestHot", &c.LatestHot},
        {"MotorCold", &c.MotorCold},     {"MotorHot", &c.MotorHot},
        {"MotorColdPoint", &coldPoint},  {"MotorHotPoint", &hotPoint}};
    std::string text;
    std::size_t rows = 0;
    for (const auto& [name, curve] : columns) {
        (text += text.empty() ? "" : ";") += name;
        ((text += ".Current (I/In);") += name) += ".Time (s)";
        rows = std::max(rows, curve->Current.size());
    }
    text += "\r\n";
    for (std::size_t k = 0; k < rows; ++k) {
        bool first = true;
        for (const auto& [name, curve] : columns) {
            if (!first) text += ';';
            first = false;
            if (k < curve->Current.size()) (text += CsvNumber(curve->Current[k])) += ';' + CsvNumber(curve->Time[k]);
            else text += ';';
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
    case ResultValue::Kind::Number:
        text += CsvNumber(value.number); // always finite
        break;
    case ResultValue::Kind::Text:
        text += value.text;
        break;
    case ResultValue::Kind::Null:
        break;
    }
}
