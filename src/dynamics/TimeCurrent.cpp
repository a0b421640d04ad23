// The time-current chart's curves: the starts' currents against time, the relays' trip curves and
// the motor's locked-rotor limit, in multiples of In and seconds.

#include <algorithm>
#include <cmath>

#include "Dynamics.h"

namespace {
// The start's path (I/In, t) for t > 0, from its chart samples, else its curves.
TimeCurrentCurve StartPath(const ChartCurves& chart, const std::vector<double>& times, const StartCurves& curves) {
    const bool sampled = !chart.Times.empty();
    const std::vector<double>& t = sampled ? chart.Times : times;
    const std::vector<double>& current = sampled ? chart.Values.Current : curves.Current;
    TimeCurrentCurve c;
    c.Current.reserve(t.size());
    c.Time.reserve(t.size());
    for (std::size_t i = 0; i < t.size() && i < current.size(); ++i)
        if (t[i] > 0 && current[i] > 0) {
            c.Current.push_back(current[i]);
            c.Time.push_back(t[i]);
        }
    return c;
}

// `points` values from a to b evenly spaced on a logarithmic scale, a and b included.
std::vector<double> LogSpaced(double a, double b, int points) {
    std::vector<double> v(points);
    const double ratio = std::pow(b / a, 1.0 / (points - 1));
    v[0] = a;
    for (int i = 1; i < points - 1; ++i)
        v[i] = v[i - 1] * ratio;
    v[points - 1] = b;
    return v;
}

// A relay's trip curve from the time tMax down to the current iMax (multiples of In), at times evenly
// spaced on the logarithmic axis: x² = k² + (k² − θ0) / (e^(t/τ) − 1), so that the knee towards the
// asymptote at k Ir is drawn as finely as the rest. A short τ meets the asymptote, to the doubles,
// well below tMax: the curve then rises along it.
TimeCurrentCurve TripCurve(double tau, double theta0, double relayPerIn, double iMax, double tMax, int points) {
    constexpr double K2 = RelayTripLevel * RelayTripLevel;
    TimeCurrentCurve c;
    const auto shortest = RelayTripTime(tau, iMax / relayPerIn, theta0);
    if (!shortest || !(*shortest < tMax)) return c;
    c.Current.resize(points);
    c.Time = LogSpaced(tMax, *shortest, points);
    for (int i = 0; i < points; ++i)
        c.Current[i] = std::sqrt(K2 + (K2 - theta0) / std::expm1(c.Time[i] / tau)) * relayPerIn;
    c.Current.back() = iMax;
    return c;
}

// The motor's permitted time t_LR (I_LR / I)² from I_LR down to 2 In.
TimeCurrentCurve MotorLine(double withstand, double lockedPerIn, int points) {
    TimeCurrentCurve c;
    if (!(lockedPerIn > 2)) return c;
    c.Current = LogSpaced(2, lockedPerIn, points);
    for (double current : c.Current)
        c.Time.push_back(withstand * (lockedPerIn / current) * (lockedPerIn / current));
    return c;
}

void Widen(const TimeCurrentCurve& c, double& iMin, double& iMax, double& tMin, double& tMax) {
    for (std::size_t i = 0; i < c.Current.size(); ++i) {
        iMin = std::min(iMin, c.Current[i]);
        iMax = std::max(iMax, c.Current[i]);
        tMin = std::min(tMin, c.Time[i]);
        tMax = std::max(tMax, c.Time[i]);
    }
}
} // namespace

TimeCurrentCurves ComputeTimeCurrentCurves(const DynamicResults& results, double lineCurrent, int points) {
    TimeCurrentCurves c;
    if (!results.Protection || !(lineCurrent > 0)) return c;
    const ProtectionResults& p = *results.Protection;
    points = std::max(points, 2);
    c.DolStart = StartPath(results.DolChart, results.Times, results.DolCurves);
    c.SoftStarterStart = StartPath(results.SoftStarterChart, results.Times, results.SoftStarterCurves);
    double iMin = c.CurrentMin, iMax = c.CurrentMax, tMin = c.TimeMin, tMax = c.TimeMax;
    for (const TimeCurrentCurve* s : {&c.DolStart, &c.SoftStarterStart})
        Widen(*s, iMin, iMax, tMin, tMax);
    const double lockedPerIn = p.LockedRotorCurrent / lineCurrent;
    if (results.Protection->LockedRotorCold) {
        const double cold = p.LockedRotorCold->WithstandTime, hot = p.LockedRotorHot->WithstandTime;
        c.MotorCold = MotorLine(cold, lockedPerIn, points);
        c.MotorHot = MotorLine(hot, lockedPerIn, points);
        c.MotorColdPoint = std::pair{lockedPerIn, cold};
        c.MotorHotPoint = std::pair{lockedPerIn, hot};
        Widen(c.MotorCold, iMin, iMax, tMin, tMax);
        Widen(c.MotorHot, iMin, iMax, tMin, tMax);
    }
    // The relays' curves span the axes as widened by the data: up to its largest current and time.
    const double relayPerIn = p.RelaySetting / lineCurrent;
    c.EarliestCold = TripCurve(p.TauEarliest, 0, relayPerIn, iMax, tMax, points);
    c.EarliestHot = TripCurve(p.TauEarliest, p.HotStart, relayPerIn, iMax, tMax, points);
    c.LatestCold = TripCurve(p.TauLatest, 0, relayPerIn, iMax, tMax, points);
    c.LatestHot = TripCurve(p.TauLatest, p.HotStart, relayPerIn, iMax, tMax, points);
    for (const TimeCurrentCurve* s : {&c.EarliestCold, &c.EarliestHot, &c.LatestCold, &c.LatestHot})
        Widen(*s, iMin, iMax, tMin, tMax);
    // Whole decades of time below the smallest time shown; currents with a little room.
    c.TimeMin = std::pow(10.0, std::floor(std::log10(tMin)));
    c.TimeMax = tMax;
    c.CurrentMin = iMin < c.CurrentMin ? iMin / 1.05 : c.CurrentMin;
    c.CurrentMax = iMax > c.CurrentMax ? iMax * 1.05 : c.CurrentMax;
    return c;
}
