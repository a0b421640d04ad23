#include "Datasheet.h"

#include <boost/math/tools/roots.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

#include "Search.h"

using namespace datasheet;

namespace {
struct Ratio {
    double MotorDataValues::*field;
    ErrorArgument name;
    double low, high;
};

// The three ratios, their names and their bounds (the low one itself refused).
const Ratio Ratios[] = {
    {&MotorDataValues::LockedRotorCurrentRatio, {"Locked-Rotor Current Ia/In", "Courant à rotor bloqué Ia/In"}, 1, 20},
    {&MotorDataValues::LockedRotorTorqueRatio, {"Locked-Rotor Torque Ta/Tn", "Couple à rotor bloqué Ta/Tn"}, 0, 10},
    {&MotorDataValues::BreakdownTorqueRatio, {"Breakdown Torque Tk/Tn", "Couple de décrochage Tk/Tn"}, 1, 10},
};

// A number as a message shows it: up to three decimals, trailing zeros dropped, the language's
// decimal separator.
std::string Number(double v, bool english) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.3f", v);
    std::string text = buffer;
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
    if (!english) std::replace(text.begin(), text.end(), '.', ',');
    return text;
}

// "1 and at most 20" / "1 et inférieure ou égale à 20", as the ranges of message 229 read.
ErrorArgument RangeOf(const Ratio& r) {
    ErrorArgument a = r.name;
    a.english2 = Number(r.low, true) + " and at most " + Number(r.high, true);
    a.french2 = Number(r.low, false) + " et inférieure ou égale à " + Number(r.high, false);
    return a;
}

// A relative deviation with its sign and one decimal, "−18.2 %" (a real minus sign), rounded away
// from zero so that a refused value never reads as one within its tolerance.
std::string Percent(double deviation, bool english) {
    char digits[64];
    std::snprintf(digits, sizeof digits, "%.1f", std::ceil(std::abs(deviation) * 1000) / 10);
    std::string text = digits;
    if (!english) std::replace(text.begin(), text.end(), '.', ',');
    return (deviation < 0 ? "\u2212" : "+") + text + "\u00a0%";
}
} // namespace

namespace {
// The refusal of a data sheet without all three ratios, naming those missing.
Refusal Incomplete(const MotorDataSet& ds) {
    ErrorArgument missing;
    for (const Ratio& r : Ratios) {
        if (ds.*r.field != 0) continue;
        missing.english += (missing.english.empty() ? "" : ", ") + r.name.english;
        missing.french += (missing.french.empty() ? "" : ", ") + r.name.french;
    }
    return {ErrDatasheetIncomplete, missing};
}
} // namespace

const ErrorArgument& DatasheetRatioName(int index) { return Ratios[index].name; }

Refusal CheckDatasheet(const MotorDataSet& ds) {
    int given = 0;
    for (const Ratio& r : Ratios) given += ds.*r.field != 0;
    if (given == 0) return 0;
    if (given < 3) return Incomplete(ds);
    for (const Ratio& r : Ratios) {
        const double v = ds.*r.field;
        if (!(v > r.low && v <= r.high)) return {ErrValueAboveAtMost, RangeOf(r)};
    }
    if (ds.BreakdownTorqueRatio < ds.LockedRotorTorqueRatio)
        return {ErrBreakdownBelowLockedTorque,
                {Number(ds.BreakdownTorqueRatio, true), Number(ds.BreakdownTorqueRatio, false),
                 Number(ds.LockedRotorTorqueRatio, true), Number(ds.LockedRotorTorqueRatio, false)}};
    return 0;
}

Targets DatasheetTargets(const MotorDataValues& ds) {
    Targets t;
    t.U = ds.PhaseVoltage;
    t.I = ds.PhaseCurrent;
    t.cosPhi = ds.PowerFactor;
    t.sinPhi = std::sqrt((1 - ds.PowerFactor) * (1 + ds.PowerFactor));
    t.sN = 1 - ds.RatedSpeed / (60 * ds.SynchronousSpeed);
    t.TN = ds.RatedTorque;
    t.omegaS = 2 * std::numbers::pi * ds.SynchronousSpeed;
    t.Ia = ds.LockedRotorCurrentRatio * ds.PhaseCurrent;
    t.Ta = ds.LockedRotorTorqueRatio * ds.RatedTorque;
    t.Tk = ds.BreakdownTorqueRatio * ds.RatedTorque;
    t.Pin = ds.ElectricalPower;
    t.Pmech = ds.MechanicalPower;
    return t;
}

RatedPoint RatedPointOf(const CageCircuit& c, const Targets& t) {
    // The torque rises from 0 at s = 0: the rated point is the first crossing of T_N, bracketed
    // by widening from the data sheet's rated slip, then refined to full precision.
    const CageModel m(c, t.U, t.omegaS);
    const auto excess = [&](double s) { return m.Torque(s) - t.TN; };
    double lo = t.sN, hi = t.sN;
    while (excess(lo) > 0 && lo > 1e-9 * t.sN) lo *= 0.5;
    while (excess(hi) < 0 && hi < 1) hi = std::min(1.0, hi * 1.5);
    double slip = excess(hi) < 0 ? 1 : hi;
    if (excess(lo) < 0 && excess(hi) >= 0) {
        std::uintmax_t iterations = 100;
        const auto [a, b] = boost::math::tools::toms748_solve(
            excess, lo, hi, boost::math::tools::eps_tolerance<double>(), iterations);
        slip = 0.5 * (a + b);
    }
    const Cx i = m.Current(slip);
    const double input = 3 * t.U * i.real();
    return {slip, t.TN * t.omegaS * (1 - slip) / input, i.real() / std::abs(i)};
}

namespace {
// The tolerances of IEC 60034-1 that a best fit's motor must meet against its data sheet, in the
// order a refusal names the first one missed.
struct Tolerance {
    ErrorArgument name;
    double deviation; // model over data sheet minus 1
    bool met;
};

std::vector<Tolerance> Tolerances(const DatasheetFit& fit, const Targets& t) {
    const double kilowatts = t.Pmech / 1000;
    const double eta = t.Pmech / t.Pin;
    const double slipBand = kilowatts < 1 ? 0.3 : 0.2;
    const double efficiencyShare = kilowatts > 150 ? 0.10 : 0.15;
    const double pfDeduction = std::clamp((1 - t.cosPhi) / 6, 0.02, 0.07);
    const double slip = fit.RatedSlip / t.sN - 1;
    const auto& d = fit.Deviations;
    return {
        {{"rated slip", "glissement nominal"}, slip, std::abs(slip) <= slipBand},
        {{"efficiency", "rendement"}, fit.RatedEfficiency / eta - 1,
         fit.RatedEfficiency >= eta - efficiencyShare * (1 - eta)},
        {{"power factor", "facteur de puissance"}, fit.RatedPowerFactor / t.cosPhi - 1,
         fit.RatedPowerFactor >= t.cosPhi - pfDeduction},
        {{"locked-rotor current", "courant à rotor bloqué"}, d[DevLockedCurrent], d[DevLockedCurrent] <= 0.20},
        {{"locked-rotor torque", "couple à rotor bloqué"}, d[DevLockedTorque],
         d[DevLockedTorque] >= -0.15 && d[DevLockedTorque] <= 0.25},
        {{"breakdown torque", "couple de décrochage"}, d[DevBreakdown], d[DevBreakdown] >= -0.10},
    };
}

DatasheetFit FitOf(const FittedCircuit& f, const Targets& t, bool exact) {
    DatasheetFit fit;
    fit.Exact = exact;
    fit.Kr = f.k.kr;
    fit.Kx = f.k.kx;
    fit.Deviations = f.evaluation.deviations;
    fit.BreakdownSlip = f.evaluation.peak.slip;
    const RatedPoint rated = RatedPointOf(f.circuit, t);
    fit.RatedSlip = rated.slip;
    fit.RatedEfficiency = rated.efficiency;
    fit.RatedPowerFactor = rated.powerFactor;
    return fit;
}

// Deviations below this count as met: the exact solver's tolerance with room for rounding.
constexpr double Met = 1e-9;
// A best fit whose deviations all stay below this shows a data sheet that some restrictions of
// the box meet exactly: the nearest such are searched.
constexpr double NearlyMet = 1e-5;

// Where exact circuits are looked for when (1, 0.5) has none, nearest first.
constexpr Restrictions Probes[] = {{2.5, 0.5}, {1, 0.15}, {1, 2}, {2.5, 2}, {6, 0.5}, {0.15, 0.5}};

double LargestDeviation(const Evaluation& e) {
    double largest = 0;
    for (double d : e.deviations) largest = std::max(largest, std::abs(d));
    return largest;
}
} // namespace

DatasheetOutcome FitDatasheet(const Targets& t, FitPriority priority) {
    DatasheetOutcome out;
    if (!(t.sN > 0 && t.sN < 1)) {
        out.refusal = ErrDatasheetNoSlip;
        return out;
    }
    const auto exact = [&](const FittedCircuit& f) {
        out.circuit = f.circuit;
        out.fit = FitOf(f, t, true);
        return out;
    };
    const Restrictions preferred{1, 0.5};
    const ExactSearch search = SearchExact(t, preferred, 2);
    if (search.found) return exact({search.found->circuit, preferred, Evaluate(search.found->circuit, t)});
    // Exact circuits away from (1, 0.5) form regions of the box that a search from (1, 0.5) may not
    // reach: a few probes spread over it, each found circuit the start of the search for the
    // nearest restrictions. A data sheet whose standstill resistance comes out well below the
    // running one has none anywhere (the estimate is rough: on the catalogue, exact circuits
    // exist down to 0.85 of it).
    const RotorEstimate rotor = EstimateRotor(t);
    const bool hopeless = rotor.standstill < 0.7 * rotor.running;
    for (const Restrictions probe : Probes) {
        if (hopeless) break;
        const ExactSearch s = SearchExact(t, probe, 1);
        if (!s.found) continue;
        const FittedCircuit found{s.found->circuit, probe, Evaluate(s.found->circuit, t)};
        return exact(NearestExact(t, found).value_or(found));
    }
    auto best = BestFit(t, priority, search.ends);
    if (!best) {
        out.refusal = ErrDatasheetNoCircuit;
        return out;
    }
    if (LargestDeviation(best->evaluation) < NearlyMet) {
        // Some pair meets the data sheet: perhaps (1, 0.5) itself, from this circuit.
        if (const auto s = SolveExactFrom(ParamsApart(best->circuit, t), t, preferred))
            return exact({s->circuit, preferred, Evaluate(s->circuit, t)});
        if (auto nearest = NearestExact(t, *best)) best = nearest;
    }
    out.circuit = best->circuit;
    out.fit = FitOf(*best, t, LargestDeviation(best->evaluation) < Met);
    if (out.fit.Exact) return out;
    for (const Tolerance& tol : Tolerances(out.fit, t)) {
        if (tol.met) continue;
        out.refusal = {ErrFitOutsideTolerances,
                       {tol.name.english + " " + Percent(tol.deviation, true),
                        tol.name.french + " " + Percent(tol.deviation, false)}};
        return out;
    }
    return out;
}

Refusal IdentifyFromDatasheet(MotorDataSet& ds) {
    if (Refusal r = CheckDatasheet(ds)) return r;
    if (!HasDatasheet(ds)) return Incomplete(ds);
    if (!(ds.PowerFactor > 0)) return ErrPowerFactorZero;
    if (!(ds.PowerFactor < 1)) return 20;
    if (!(ds.ElectricalPower > ds.MechanicalPower)) return ErrNoLosses;
    const DatasheetOutcome out = FitDatasheet(DatasheetTargets(ds), ds.Priority);
    if (out.refusal) return out.refusal;
    const CageCircuit& c = out.circuit;
    // An absurd nameplate can leave an element beyond what a double holds (vanished or overflowed):
    // then there is no circuit to compute on.
    for (double e : {c.Rs, c.Xs, c.Xh, c.Rfe, c.R1, c.X1, c.R2, c.X2})
        if (!(std::isfinite(e) && e > 0)) return ErrDatasheetNoCircuit;
    ds.Rs = c.Rs;
    ds.Xssigma = c.Xs;
    ds.Xh = c.Xh;
    ds.Riron = c.Rfe;
    ds.Rr = c.R1;
    ds.Xrsigma = c.X1;
    ds.Rr2 = c.R2;
    ds.Xr2sigma = c.X2;
    ds.Fit = out.fit;
    return 0;
}
