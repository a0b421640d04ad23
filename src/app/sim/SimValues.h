#pragma once
// The values of the results that the JSON object, the comparison table and the sweep's rows show,
// each under its key and in its order, so that every output names and nulls them alike (plain
// C++, no Qt).

#include <cmath>
#include <optional>

#include "Dynamics.h"

// A result value: null, a truth value or a finite number. A number that is not finite is null.
struct ResultValue {
    enum class Kind { Null, Bool, Number } kind = Kind::Null;
    double number = 0;
    bool flag = false;

    static ResultValue Of(bool b) { return {Kind::Bool, 0, b}; }
    static ResultValue Of(double v) {
        return std::isfinite(v) ? ResultValue{Kind::Number, v, false} : ResultValue{};
    }
    static ResultValue Of(const std::optional<double>& v) { return v ? Of(*v) : ResultValue{}; }
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
