#pragma once
// The values of the results that the JSON object, the comparison table and the sweep's rows show,
// each under its key and in its order, so that every output names and nulls them alike (plain
// C++, no Qt).

#include <cmath>
#include <optional>
#include <string>

#include "Dynamics.h"

// A result value: null, a truth value, a finite number (a count written without decimals) or a
// key's text. A number that is not finite is null.
struct ResultValue {
    enum class Kind { Null, Bool, Number, Text } kind = Kind::Null;
    double number = 0;
    bool flag = false;
    bool count = false;          // a whole number of things
    const char* text = nullptr;  // Kind::Text: a key of static storage

    static ResultValue Of(bool b) { return {Kind::Bool, 0, b}; }
    static ResultValue Of(double v) {
        return std::isfinite(v) ? ResultValue{Kind::Number, v, false} : ResultValue{};
    }
    static ResultValue Of(const std::optional<double>& v) { return v ? Of(*v) : ResultValue{}; }
    static ResultValue Of(const std::optional<long long>& n) {
        return n ? ResultValue{Kind::Number, static_cast<double>(*n), false, true} : ResultValue{};
    }
    static ResultValue Key(const char* key) { return {Kind::Text, 0, false, false, key}; }
};

// Each value of a dynamic start, as visit(key, value).
template <class Visit> void VisitStart(const StartOutcome& o, Visit&& visit) {
    visit("Stalled", ResultValue::Of(o.Stalled));
    visit("TooLong", ResultValue::Of(o.TooLong));
    visit("StallSpeed", ResultValue::Of(o.StallSpeed));
    visit("RunUpTime", ResultValue::Of(o.RunUpTime));
    visit("PeakCurrentRatio", ResultValue::Of(o.PeakCurrentRatio));
    visit("RotorEnergy", ResultValue::Of(o.RotorEnergy));
    visit("StatorEnergy", ResultValue::Of(o.StatorEnergy));
    visit("MinAcceleratingTorqueRatio", ResultValue::Of(o.MinAcceleratingTorqueRatio));
    visit("OperatingSpeed", ResultValue::Of(o.OperatingSpeed));
    visit("MaxVoltageDip", ResultValue::Of(o.MaxVoltageDip));
    visit("MinMotorVoltage", ResultValue::Of(o.MinMotorVoltage));
    visit("VoltageDipExceeded", ResultValue::Of(o.VoltageDipExceeded));
    // Added later, after the others: a stalled start's largest current over its start-time limit.
    visit("StalledPeakCurrentRatio", ResultValue::Of(o.StalledPeakCurrentRatio));
}

// Each value of one starting method after its "Method" key. A method that does not apply has no
// numbers at all; a stalled one keeps its starting torque, stall speed and dip, the other numbers
// being null in its outcome already.
template <class Visit> void VisitMethod(const MethodOutcome& m, Visit&& visit) {
    const StartOutcome& o = m.Outcome;
    const bool a = m.Applicable;
    auto number = [a](const auto& v) { return a ? ResultValue::Of(v) : ResultValue{}; };
    visit("Applicable", ResultValue::Of(a));
    visit("Stalled", ResultValue::Of(a && o.Stalled));
    visit("TooLong", ResultValue::Of(a && o.TooLong));
    visit("StallSpeed", a && o.Stalled ? ResultValue::Of(o.StallSpeed) : ResultValue{});
    visit("PeakLineCurrent", number(o.PeakLineCurrent));
    visit("PeakCurrentRatio", number(o.PeakCurrentRatio));
    visit("StartingTorqueRatio", number(o.StartingTorqueRatio));
    visit("MinAcceleratingTorqueRatio", number(o.MinAcceleratingTorqueRatio));
    visit("RunUpTime", number(o.RunUpTime));
    visit("RotorEnergy", number(o.RotorEnergy));
    visit("MaxVoltageDip", number(o.MaxVoltageDip));
    visit("StalledPeakCurrentRatio", number(o.StalledPeakCurrentRatio));
}

// Each value of the starter's duty check.
template <class Visit> void VisitDuty(const StarterDutyResult& d, Visit&& visit) {
    visit("Pass", ResultValue::Of(d.Pass));
    visit("CurrentPass", ResultValue::Of(d.CurrentPass));
    visit("TimePass", ResultValue::Of(d.TimePass));
    visit("StartsPass", ResultValue::Of(d.StartsPass));
    visit("RatedCurrentPass", ResultValue::Of(d.RatedCurrentPass));
    visit("CurrentMargin", ResultValue::Of(d.CurrentMargin));
    visit("TimeMargin", ResultValue::Of(d.TimeMargin));
    visit("StartsMargin", ResultValue::Of(d.StartsMargin));
    visit("RatedCurrentMargin", ResultValue::Of(d.RatedCurrentMargin));
    visit("RmsCurrent", ResultValue::Of(d.RmsCurrent));
    visit("RunUpTime", ResultValue::Of(d.RunUpTime));
    visit("SmallestIe", ResultValue::Of(d.SmallestIe));
}

// The relay's two values of one method of the comparison (cold), null when the method does not apply.
template <class Visit> void VisitMethodRelay(const MethodOutcome& m, Visit&& visit) {
    const StartProtection* p = m.Applicable && m.Protection ? &*m.Protection : nullptr;
    visit("RelayPassesStart", p ? ResultValue::Of(p->Cold.PassesStart) : ResultValue{});
    visit("Tcu", p ? ResultValue::Of(p->Cold.Tcu) : ResultValue{});
}

// Each scalar of the protection's results, as visit(path, value) with the path of its JSON key
// ("Dol.Cold.TripLevel"). The locked-rotor checks are null without withstand times.
template <class Visit> void VisitProtection(const ProtectionResults& p, Visit&& visit) {
    visit(std::string("RelayClass"), ResultValue::Key(TripClassKey(p.Class)));
    visit(std::string("RelaySetting"), ResultValue::Of(p.RelaySetting));
    visit(std::string("LockedRotorCurrent"), ResultValue::Of(p.LockedRotorCurrent));
    visit(std::string("LockedRotorCurrentNetwork"), ResultValue::Of(p.LockedRotorCurrentNetwork));
    visit(std::string("TauEarliest"), ResultValue::Of(p.TauEarliest));
    visit(std::string("TauLatest"), ResultValue::Of(p.TauLatest));
    for (const auto& [name, check] :
         {std::pair{"LockedRotor.Cold.", &p.LockedRotorCold}, std::pair{"LockedRotor.Hot.", &p.LockedRotorHot}}) {
        const LockedRotorCheck* c = *check ? &**check : nullptr;
        const std::string prefix = name;
        visit(prefix + "LatestTripTime", c ? ResultValue::Of(c->LatestTripTime) : ResultValue{});
        visit(prefix + "WithstandTime", c ? ResultValue::Of(c->WithstandTime) : ResultValue{});
        visit(prefix + "PermittedTime", c ? ResultValue::Of(c->PermittedTime) : ResultValue{});
        visit(prefix + "Protects", c ? ResultValue::Of(c->Protects) : ResultValue{});
        visit(prefix + "Margin", c ? ResultValue::Of(c->Margin) : ResultValue{});
    }
    for (const auto& [name, start] : {std::pair{"Dol.", &p.Dol}, std::pair{"SoftStarter.", &p.SoftStarter}})
        for (const auto& [state, s] : {std::pair{"Cold.", &start->Cold}, std::pair{"Hot.", &start->Hot}}) {
            const std::string prefix = std::string(name) + state;
            visit(prefix + "EarliestTripTime", ResultValue::Of(s->EarliestTripTime));
            visit(prefix + "LatestTripTime", ResultValue::Of(s->LatestTripTime));
            visit(prefix + "TripLevel", ResultValue::Of(s->TripLevel));
            visit(prefix + "PassesStart", ResultValue::Of(s->PassesStart));
            visit(prefix + "Tcu", ResultValue::Of(s->Tcu));
            if (s == &start->Cold) visit(prefix + "StartsInSuccession", ResultValue::Of(start->StartsInSuccession));
        }
}
