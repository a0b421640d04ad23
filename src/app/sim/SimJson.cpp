#include "SimJson.h"

#include <cmath>
#include <optional>

#include <nlohmann/json.hpp>

#include "SimFiles.h"
#include "SimValues.h"

namespace {

using Json = nlohmann::ordered_json;

// A value that is not a finite number has no JSON number: it is null.
Json Number(double v) {
    return std::isfinite(v) ? Json(v) : Json(nullptr);
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
    return j;
}

Json ToJson(const ResultValue& v) {
    switch (v.kind) {
    case ResultValue::Kind::Bool:
        return v.flag;
    case ResultValue::Kind::Number:
        return v.number;
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

Json MethodObject(const MethodOutcome& m) {
    Json j;
    j["Method"] = MethodKey(m.Method);
    VisitMethod(m, [&](const char* key, const ResultValue& v) { j[key] = ToJson(v); });
    return j;
}

Json ComparisonArray(const ComparisonResults& c) {
    Json list = Json::array();
    for (const MethodOutcome& m : c.Methods)
        list.push_back(MethodObject(m));
    return list;
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
                           const ComparisonResults* comparison) {
    Json j = MotorDataSetObject(ds);
    if (dynamic) {
        Json d;
        d["Dol"] = StartObject(dynamic->Dol);
        d["SoftStarter"] = StartObject(dynamic->SoftStarter);
        j["Dynamic"] = std::move(d);
    }
    if (comparison) {
        j["Comparison"] = ComparisonArray(*comparison);
        if (comparison->Duty) j["StarterDuty"] = DutyObject(*comparison->Duty);
    }
    return Line(j);
}

std::string ComparisonCsvText(const ComparisonResults& comparison) {
    std::string text = "Method";
    VisitMethod(comparison.Methods[0], [&](const char* key, const ResultValue&) { (text += ';') += key; });
    text += "\r\n";
    for (const MethodOutcome& m : comparison.Methods) {
        text += MethodKey(m.Method);
        VisitMethod(m, [&](const char*, const ResultValue& v) { AppendCsvCell(text += ';', v); });
        text += "\r\n";
    }
    return text;
}
