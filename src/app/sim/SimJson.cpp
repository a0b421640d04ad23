#include "SimJson.h"

#include <cmath>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "DatasheetMotor.h"
#include "SimFiles.h"
#include "SimValues.h"

namespace {

using Json = nlohmann::ordered_json;

// A value that is not a finite number has no JSON number: it is null.
Json Number(double v) {
    return std::isfinite(v) ? Json(v) : Json(nullptr);
}

Json FitObject(const MotorDataSet& ds) {
    const DatasheetFit& f = ds.Fit;
    Json j;
    j["Exact"] = f.Exact;
    j["Priority"] = FitPriorityKey(ds.Priority);
    j["Kr"] = Number(f.Kr);
    j["Kx"] = Number(f.Kx);
    Json d;
    for (std::size_t i = 0; i < f.Deviations.size(); ++i)
        d[DeviationKeys[i]] = Number(f.Deviations[i]);
    j["Deviations"] = std::move(d);
    j["BreakdownSlip"] = Number(f.BreakdownSlip);
    return j;
}

Json RatedPointObject(const DatasheetFit& f) {
    Json j;
    j["Slip"] = Number(f.RatedSlip);
    j["Efficiency"] = Number(f.RatedEfficiency);
    j["PowerFactor"] = Number(f.RatedPowerFactor);
    return j;
}

Json MotorDataSetObject(const MotorDataSet& ds) {
    Json j;
    j["ConstructorName"] = ds.ConstructorName;
    j["MotorSize"] = ds.MotorSize;
    j["MechanicalPower"] = Number(ds.MechanicalPower);
    j["LineVoltage"] = Number(ds.LineVoltage);
    j["LineCurrent"] = Number(ds.LineCurrent);
    j["PowerFactor"] = Number(ds.PowerFactor);
    j["Frequency"] = Number(ds.Frequency);
    j["RatedSpeed"] = Number(ds.RatedSpeed);
    j["NoLoadLineCurrent"] = Number(ds.NoLoadLineCurrent);
    j["StarCoupling"] = ds.StarCoupling;
    j["PairOfPoles"] = Number(ds.PairOfPoles);
    j["SynchronousSpeed"] = Number(ds.SynchronousSpeed);
    j["PhaseVoltage"] = Number(ds.PhaseVoltage);
    j["PhaseCurrent"] = Number(ds.PhaseCurrent);
    j["NoLoadPhaseCurrent"] = Number(ds.NoLoadPhaseCurrent);
    j["ElectricalPower"] = Number(ds.ElectricalPower);
    j["RatedTorque"] = Number(ds.RatedTorque);
    j["Efficiency"] = Number(ds.Efficiency);
    j["Rs"] = Number(ds.Rs);
    j["Xssigma"] = Number(ds.Xssigma);
    j["Rr"] = Number(ds.Rr);
    j["Xrsigma"] = Number(ds.Xrsigma);
    j["Xh"] = Number(ds.Xh);
    j["Riron"] = Number(ds.Riron);
    j["EstimatedStartTime"] = Number(ds.EstimatedStartTime);
    j["Preset"] = Number(ds.Preset);
    j["ImaxIn"] = Number(ds.ImaxIn);
    j["DesiredImaxIn"] = Number(ds.DesiredImaxIn);
    j["SoftStarterTime"] = Number(ds.SoftStarterTime);
    j["LimitCurrentMode"] = ds.LimitCurrentMode;
    j["T0"] = Number(ds.T0);
    j["T1"] = Number(ds.T1);
    j["T2"] = Number(ds.T2);
    // Added with the double cage, after the others: null for one cage or without a data sheet.
    const bool cage = HasSecondCage(ds), sheet = HasDatasheet(ds);
    j["Rr2"] = cage ? Number(ds.Rr2) : Json(nullptr);
    j["Xr2sigma"] = cage ? Number(ds.Xr2sigma) : Json(nullptr);
    j["LockedRotorCurrentRatio"] = sheet ? Number(ds.LockedRotorCurrentRatio) : Json(nullptr);
    j["LockedRotorTorqueRatio"] = sheet ? Number(ds.LockedRotorTorqueRatio) : Json(nullptr);
    j["BreakdownTorqueRatio"] = sheet ? Number(ds.BreakdownTorqueRatio) : Json(nullptr);
    j["Fit"] = sheet ? FitObject(ds) : Json(nullptr);
    j["RatedPoint"] = sheet ? RatedPointObject(ds.Fit) : Json(nullptr);
    return j;
}

Json ToJson(const ResultValue& v) {
    switch (v.kind) {
    case ResultValue::Kind::Bool:
        return v.flag;
    case ResultValue::Kind::Number:
        if (v.count) return static_cast<long long>(v.number);
        return v.number;
    case ResultValue::Kind::Text:
        return v.text;
    case ResultValue::Kind::Null:
        break;
    }
    return nullptr;
}

Json StartObject(const StartOutcome& o) {
    Json j;
    VisitStart(o, [&](const char* key, const ResultValue& v) { j[key] = ToJson(v); });
    return j;
}

Json MethodObject(const MethodOutcome& m, bool relay) {
    Json j;
    j["Method"] = MethodKey(m.Method);
    auto set = [&](const char* key, const ResultValue& v) { j[key] = ToJson(v); };
    VisitMethod(m, set);
    if (relay) VisitMethodRelay(m, set);
    return j;
}

Json ComparisonArray(const ComparisonResults& c) {
    Json list = Json::array();
    for (const MethodOutcome& m : c.Methods)
        list.push_back(MethodObject(m, c.Protection.has_value()));
    return list;
}

// The protection's object: each value under the keys of its path, the locked-rotor checks null
// as a whole without withstand times.
Json ProtectionObject(const ProtectionResults& p) {
    Json j;
    VisitProtection(p, [&](const std::string& path, const ResultValue& v) {
        Json* at = &j;
        std::size_t start = 0;
        for (std::size_t dot; (dot = path.find('.', start)) != std::string::npos; start = dot + 1)
            at = &(*at)[path.substr(start, dot - start)];
        (*at)[path.substr(start)] = ToJson(v);
    });
    if (!p.LockedRotorCold) j["LockedRotor"] = nullptr;
    return j;
}

Json DutyObject(const StarterDutyResult& d) {
    Json j;
    VisitDuty(d, [&](const char* key, const ResultValue& v) { j[key] = ToJson(v); });
    return j;
}

// The layout the tool has always printed: one line, ", " between members, ": " after keys. The
// library writes every key and value (escapes, shortest round-trip numbers); text that is not
// UTF-8 is written with replacement characters rather than refused.
void WriteLine(const Json& j, std::string& out) {
    if (j.is_object()) {
        out += '{';
        bool first = true;
        for (const auto& [key, value] : j.items()) {
            if (!first) out += ", ";
            first = false;
            out += Json(key).dump(-1, ' ', false, Json::error_handler_t::replace);
            out += ": ";
            WriteLine(value, out);
        }
        out += '}';
    } else if (j.is_array()) {
        out += '[';
        bool first = true;
        for (const Json& value : j) {
            if (!first) out += ", ";
            first = false;
            WriteLine(value, out);
        }
        out += ']';
    } else {
        out += j.dump(-1, ' ', false, Json::error_handler_t::replace);
    }
}

std::string Line(const Json& j) {
    std::string out;
    WriteLine(j, out);
    return out + "\n";
}

} // namespace

std::string MotorDataSetJson(const MotorDataSet& ds) {
    return Line(MotorDataSetObject(ds));
}

std::string SimulationJson(const MotorDataSet& ds, const DynamicResults* dynamic,
                           const ComparisonResults* comparison, const ToleranceCorners* corners) {
    Json j = MotorDataSetObject(ds);
    if (dynamic) {
        Json d;
        d["Dol"] = StartObject(dynamic->Dol);
        d["SoftStarter"] = StartObject(dynamic->SoftStarter);
        if (dynamic->Protection) d["Protection"] = ProtectionObject(*dynamic->Protection);
        j["Dynamic"] = std::move(d);
    }
    if (comparison) {
        j["Comparison"] = ComparisonArray(*comparison);
        if (comparison->Duty) j["StarterDuty"] = DutyObject(*comparison->Duty);
    }
    if (corners) {
        Json c;
        for (const auto& [name, corner] : {std::pair{"Weak", &corners->Weak}, std::pair{"Heavy", &corners->Heavy}}) {
            Json k;
            k["Error"] = corner->Error;
            if (corner->Fitted) k["Fit"] = FitObject(corner->Motor);
            if (corner->Error == 0) {
                Json d;
                d["Dol"] = StartObject(corner->Dynamic.Dol);
                d["SoftStarter"] = StartObject(corner->Dynamic.SoftStarter);
                k["Dynamic"] = std::move(d);
            }
            c[name] = std::move(k);
        }
        j["ToleranceCorners"] = std::move(c);
    }
    return Line(j);
}

std::string ComparisonCsvText(const ComparisonResults& comparison) {
    const bool relay = comparison.Protection.has_value();
    std::string text = "Method";
    auto heading = [&](const char* key, const ResultValue&) { (text += ';') += key; };
    VisitMethod(comparison.Methods[0], heading);
    if (relay) VisitMethodRelay(comparison.Methods[0], heading);
    text += "\r\n";
    for (const MethodOutcome& m : comparison.Methods) {
        text += MethodKey(m.Method);
        auto cell = [&](const char*, const ResultValue& v) { AppendCsvCell(text += ';', v); };
        VisitMethod(m, cell);
        if (relay) VisitMethodRelay(m, cell);
        text += "\r\n";
    }
    return text;
}
