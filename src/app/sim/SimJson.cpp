#include "SimJson.h"

#include <charconv>
#include <cstdio>
#include <utility>
#include <vector>

namespace {

std::string Number17(double v) {
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 17);
    return std::string(buf, r.ptr);
}

std::string JsonString(const std::string& s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

} // namespace

std::string MotorDataSetJson(const MotorDataSet& ds) {
    std::vector<std::pair<std::string, std::string>> f = {
        {"ConstructorName", JsonString(ds.ConstructorName)},
        {"MotorSize", JsonString(ds.MotorSize)},
        {"MechanicalPower", Number17(ds.MechanicalPower)},
        {"LineVoltage", Number17(ds.LineVoltage)},
        {"LineCurrent", Number17(ds.LineCurrent)},
        {"PowerFactor", Number17(ds.PowerFactor)},
        {"Frequency", Number17(ds.Frequency)},
        {"RatedSpeed", Number17(ds.RatedSpeed)},
        {"NoLoadLineCurrent", Number17(ds.NoLoadLineCurrent)},
        {"StarCoupling", ds.StarCoupling ? "true" : "false"},
        {"PairOfPoles", Number17(ds.PairOfPoles)},
        {"SynchronousSpeed", Number17(ds.SynchronousSpeed)},
        {"PhaseVoltage", Number17(ds.PhaseVoltage)},
        {"PhaseCurrent", Number17(ds.PhaseCurrent)},
        {"NoLoadPhaseCurrent", Number17(ds.NoLoadPhaseCurrent)},
        {"ElectricalPower", Number17(ds.ElectricalPower)},
        {"RatedTorque", Number17(ds.RatedTorque)},
        {"Efficiency", Number17(ds.Efficiency)},
        {"Rs", Number17(ds.Rs)},
        {"Xssigma", Number17(ds.Xssigma)},
        {"Rr", Number17(ds.Rr)},
        {"Xrsigma", Number17(ds.Xrsigma)},
        {"Xh", Number17(ds.Xh)},
        {"Riron", Number17(ds.Riron)},
        {"EstimatedStartTime", Number17(ds.EstimatedStartTime)},
        {"Preset", Number17(ds.Preset)},
        {"ImaxIn", Number17(ds.ImaxIn)},
        {"DesiredImaxIn", Number17(ds.DesiredImaxIn)},
        {"SoftStarterTime", Number17(ds.SoftStarterTime)},
        {"LimitCurrentMode", ds.LimitCurrentMode ? "true" : "false"},
        {"T0", Number17(ds.T0)},
        {"T1", Number17(ds.T1)},
        {"T2", Number17(ds.T2)},
    };
    std::string out = "{";
    for (std::size_t i = 0; i < f.size(); ++i)
        out += (i ? ", " : "") + JsonString(f[i].first) + ": " + f[i].second;
    return out + "}\n";
}
