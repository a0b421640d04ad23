#include "StartSimulation.h"

#include <cmath>
#include <cstddef>

#include "Checks.h"
#include "ErrorMessages.h"
#include "Identification.h"
#include "OperatingPoint.h"

namespace {
double Store(Extended v) { return static_cast<double>(v); }

double EndOfSpan(const MotorDataSet& ds) { return Store(1.5L * ds.EstimatedStartTime); }
double TimePoint(double tend, int k) { return Store((tend * 0.01L) * (k - 1)); }
double Slip(const MotorDataSet& ds, double n) {
    return Store((static_cast<Extended>(ds.SynchronousSpeed) - n) / ds.SynchronousSpeed);
}

// Speed at the end of the start: where the full-voltage torque meets the load torque taken at
// synchronous speed. A load without operating point leaves the synchronous speed.
double FinalSpeed(const MotorDataSet& ds) {
    bool noSolution = false;
    const double slip = OperatingSlip(ds, LoadTorque(ds, ds.SynchronousSpeed), ds.PhaseVoltage, noSolution);
    return Store(ds.SynchronousSpeed * (1.0L - slip));
}

double Ratio(double value, double base) { return Store(static_cast<Extended>(value) / base); }
} // namespace

double PeakValue(const Curve& curve) {
    double m = curve[0];
    for (int k = 1; k < CurvePoints; ++k)
        if (curve[k] > m) m = curve[k];
    return m;
}

namespace {
// The time points and the speed law's rise at each, shared by every curve of one computation.
struct TimeGrid {
    explicit TimeGrid(const MotorDataSet& ds) {
        const double tend = EndOfSpan(ds);
        for (int i = 0; i < CurvePoints; ++i) {
            t[i] = TimePoint(tend, i + 1);
            rise[i] = SpeedRise(ds, t[i]);
        }
    }
    std::array<double, CurvePoints> t{};
    std::array<Extended, CurvePoints> rise{};
};

// The slip of each time point does not depend on the ramp: the input impedance and the
// direct-on-line current are worked out once and serve the search and the time curves alike.
// Each evaluation that may leave the doubles' range takes a watch: a RangeWatch*, or nullptr (of
// its own type, so that the unwatched code is compiled without a trace of the watch).
// The circuit is a CircuitEvaluator::Cage, chosen once per computation.
struct StartGrid {
    template <class Circuit, class Watch = std::nullptr_t>
    StartGrid(const MotorDataSet& ds, const TimeGrid& grid, const Circuit& circuit, Watch watch = nullptr)
        : time(grid) {
        const double nFinal = FinalSpeed(ds);
        for (int i = 0; i < CurvePoints; ++i) {
            slip[i] = Slip(ds, Store(nFinal * grid.rise[i]));
            z[i] = circuit.InputImpedance(slip[i], watch);
            dol[i] = Ratio(CircuitEvaluator::Current(z[i], ds.PhaseVoltage, watch), ds.PhaseCurrent);
        }
    }
    const TimeGrid& time;
    std::array<double, CurvePoints> slip{}, z{}, dol{};
};

// The torques are watched at the full voltage only: with the preset between 0 and 1 the ramp's
// lower voltages give smaller stored values.
template <class Circuit, class Watch = std::nullptr_t>
void StartCurvesOn(MotorDataSet& ds, const StartGrid& grid, const Circuit& circuit, CurvePointSink* sink,
                   Watch watch = nullptr) {
    ds.SoftStarterCurrentCurve.fill(0);
    ds.SoftStarterTorqueCurve.fill(0);
    ds.TimeAxis.fill(0);
    ds.DolCurrentCurve.fill(0);
    ds.DolTorqueCurve.fill(0);
    const VoltageRamp ramp(ds, ds.SoftStarterTime);
    for (int i = 0; i < CurvePoints; ++i) {
        const double t = grid.time.t[i], s = grid.slip[i], z = grid.z[i];
        const double dolTorque = Ratio(circuit.Torque(s, ds.PhaseVoltage, watch), ds.RatedTorque);
        const double dolCurrent = grid.dol[i];
        const double u = ramp.Voltage(t);
        const double ssTorque = u == ds.PhaseVoltage ? dolTorque : Ratio(circuit.Torque(s, u), ds.RatedTorque);
        const double ssCurrent = Ratio(CircuitEvaluator::Current(z, u), ds.PhaseCurrent);
        ds.DolCurrentCurve[i] = dolCurrent;
        ds.DolTorqueCurve[i] = dolTorque;
        ds.SoftStarterCurrentCurve[i] = ssCurrent;
        ds.SoftStarterTorqueCurve[i] = ssTorque;
        ds.TimeAxis[i] = t;
        if (sink) sink->AddPoints(t, dolCurrent, dolTorque, ssCurrent, ssTorque);
    }
    ds.ImaxIn = PeakValue(ds.SoftStarterCurrentCurve);
}

bool SearchOn(MotorDataSet& ds, const StartGrid& grid) {
    // A trial costs one ramp voltage and two divisions per point on the ramp; the points past the
    // ramp keep their direct-on-line ratio, whose largest value is known for every start index.
    // A trial stops at its first point that reaches the limit: it is rejected whatever the rest give.
    std::array<double, CurvePoints> dolPeakFrom{};
    dolPeakFrom[CurvePoints - 1] = grid.dol[CurvePoints - 1];
    for (int i = CurvePoints - 2; i >= 0; --i)
        dolPeakFrom[i] = grid.dol[i] > dolPeakFrom[i + 1] ? grid.dol[i] : dolPeakFrom[i + 1];

    const double limit = ds.DesiredImaxIn;
    const long maxTrials = std::lround(MaxSearchedRampTime / 0.05) + 1;
    // Every ramp longer than 0 has the first point (t = 0) on it at the preset voltage, whatever
    // its length: when that point reaches the limit, no longer ramp can pass and the search ends.
    const bool presetReachesLimit =
        !(Ratio(CircuitEvaluator::Current(grid.z[0], VoltageRamp(ds, 0.05).Voltage(grid.time.t[0])),
                ds.PhaseCurrent) < limit);
    double rampTime = 0;
    int onRamp = 0; // points before this index lie on the ramp (t < rampTime)
    for (long trial = 0; trial < maxTrials; ++trial, rampTime = Store(rampTime + 0.05L)) {
        if (trial > 0 && presetReachesLimit) return false;
        while (onRamp < CurvePoints && grid.time.t[onRamp] < rampTime) ++onRamp;
        if (onRamp < CurvePoints && !(dolPeakFrom[onRamp] < limit)) continue;
        const VoltageRamp ramp(ds, rampTime);
        bool below = true;
        for (int i = 0; i < onRamp && below; ++i)
            below = Ratio(CircuitEvaluator::Current(grid.z[i], ramp.Voltage(grid.time.t[i])), ds.PhaseCurrent) < limit;
        if (below) {
            ds.SoftStarterTime = rampTime;
            return true;
        }
    }
    return false;
}

template <class Circuit, class Watch = std::nullptr_t>
void StaticCurvesOn(MotorDataSet& ds, const TimeGrid& grid, const Circuit& circuit, CurvePointSink* sink,
                    Watch watch = nullptr) {
    ds.SpeedAxis.fill(0);
    const VoltageRamp ramp(ds, ds.SoftStarterTime);
    for (int i = 0; i < CurvePoints; ++i) {
        const double n = Store(ds.SynchronousSpeed * grid.rise[i]);
        const double x = Store(static_cast<Extended>(n) / ds.SynchronousSpeed);
        ds.SpeedAxis[i] = x;
        const double s = Slip(ds, n);
        const double z = circuit.InputImpedance(s, watch);
        const double dolCurrent = Ratio(CircuitEvaluator::Current(z, ds.PhaseVoltage, watch), ds.PhaseCurrent);
        const double dolTorque = Ratio(circuit.Torque(s, ds.PhaseVoltage, watch), ds.RatedTorque);
        const double u = ramp.Voltage(grid.t[i]);
        const double ssCurrent = Ratio(CircuitEvaluator::Current(z, u), ds.PhaseCurrent);
        const double ssTorque = u == ds.PhaseVoltage ? dolTorque : Ratio(circuit.Torque(s, u), ds.RatedTorque);
        if (sink) sink->AddPoints(x, dolCurrent, dolTorque, ssCurrent, ssTorque);
    }
}
} // namespace

void ComputeStartCurves(MotorDataSet& ds, CurvePointSink* sink) {
    const TimeGrid time(ds);
    CircuitEvaluator(ds).WithCage(
        [&](auto circuit) { StartCurvesOn(ds, StartGrid(ds, time, circuit), circuit, sink); });
}

bool SearchRampTime(MotorDataSet& ds) {
    const TimeGrid time(ds);
    return CircuitEvaluator(ds).WithCage([&](auto circuit) { return SearchOn(ds, StartGrid(ds, time, circuit)); });
}

void ComputeStaticCurves(MotorDataSet& ds, CurvePointSink* sink) {
    const TimeGrid time(ds);
    CircuitEvaluator(ds).WithCage([&](auto circuit) { StaticCurvesOn(ds, time, circuit, sink); });
}

namespace {
// What a computation changes, kept so that a refused computation leaves the data set as it was.
struct Outputs {
    double Rs, Xssigma, Rr, Xrsigma, Xh, Riron, Rr2, Xr2sigma, NoLoadPhaseCurrent, NoLoadLineCurrent,
        SoftStarterTime, ImaxIn;
    Curve TimeAxis, DolCurrentCurve, DolTorqueCurve, SoftStarterCurrentCurve, SoftStarterTorqueCurve, SpeedAxis;

    explicit Outputs(const MotorDataSet& d)
        : Rs(d.Rs), Xssigma(d.Xssigma), Rr(d.Rr), Xrsigma(d.Xrsigma), Xh(d.Xh), Riron(d.Riron), Rr2(d.Rr2),
          Xr2sigma(d.Xr2sigma), NoLoadPhaseCurrent(d.NoLoadPhaseCurrent), NoLoadLineCurrent(d.NoLoadLineCurrent),
          SoftStarterTime(d.SoftStarterTime), ImaxIn(d.ImaxIn), TimeAxis(d.TimeAxis),
          DolCurrentCurve(d.DolCurrentCurve), DolTorqueCurve(d.DolTorqueCurve),
          SoftStarterCurrentCurve(d.SoftStarterCurrentCurve), SoftStarterTorqueCurve(d.SoftStarterTorqueCurve),
          SpeedAxis(d.SpeedAxis) {}

    void RestoreInto(MotorDataSet& d) const {
        d.Rs = Rs, d.Xssigma = Xssigma, d.Rr = Rr, d.Xrsigma = Xrsigma, d.Xh = Xh, d.Riron = Riron;
        d.Rr2 = Rr2, d.Xr2sigma = Xr2sigma;
        d.NoLoadPhaseCurrent = NoLoadPhaseCurrent, d.NoLoadLineCurrent = NoLoadLineCurrent;
        d.SoftStarterTime = SoftStarterTime, d.ImaxIn = ImaxIn;
        d.TimeAxis = TimeAxis, d.DolCurrentCurve = DolCurrentCurve, d.DolTorqueCurve = DolTorqueCurve;
        d.SoftStarterCurrentCurve = SoftStarterCurrentCurve, d.SoftStarterTorqueCurve = SoftStarterTorqueCurve;
        d.SpeedAxis = SpeedAxis;
    }
};

bool AllFinite(const Curve& c) {
    for (double v : c)
        if (!std::isfinite(v)) return false;
    return true;
}

bool AllFinite(const std::vector<CurvePoint>& points) {
    for (const CurvePoint& p : points)
        for (double v : {p.x, p.dolCurrent, p.dolTorque, p.ssCurrent, p.ssTorque})
            if (!std::isfinite(v)) return false;
    return true;
}

void Replay(const CurveBuffer& buffer, CurvePointSink* sink) {
    if (!sink) return;
    for (const CurvePoint& p : buffer.points) sink->AddPoints(p.x, p.dolCurrent, p.dolTorque, p.ssCurrent, p.ssTorque);
}
} // namespace

Refusal RunStartComputation(MotorDataSet& ds, CurvePointSink* timeSink, CurvePointSink* staticSink) {
    if (Refusal e = CheckComputable(ds)) return e;
    const Outputs before(ds);
    auto refuse = [&](Refusal refusal) {
        before.RestoreInto(ds);
        return refusal;
    };
    const bool identified = !CircuitGiven(ds);
    if (identified) IdentifyEquivalentDiagram(ds);

    // A value of the circuit that overflows or vanishes can end in finite but wrong currents: the
    // evaluation is watched at every slip the curves use, and the search never runs on such a
    // circuit, nor on current ratios beyond the doubles. CheckComputable has judged the circuit's
    // slip-independent parts, identified or listed. A circuit whose values lie well inside the
    // doubles' range cannot leave it at any slip: judged once here, its evaluations go unwatched.
    // The smallest slip is the static curves' last: the rise grows with time, and the time
    // curves' speeds stay below the static ones (a factor 100 covers the rounding).
    RangeWatch watch;
    const TimeGrid time(ds);
    const double smallestSlip = Slip(ds, Store(ds.SynchronousSpeed * time.rise[CurvePoints - 1]));
    auto computeOn = [&](const auto& circuit, auto perSlip) -> Refusal {
        const StartGrid grid(ds, time, circuit, perSlip);
        if (Refusal e = CircuitRangeRefusal(ds, watch, identified)) return refuse(e);
        for (double ratio : grid.dol)
            if (!std::isfinite(ratio)) return refuse(CurveRatioRefusal(ds, false));
        if (ds.LimitCurrentMode && !SearchOn(ds, grid)) return refuse(ErrLimitUnreachable);

        CurveBuffer timePoints, staticPoints;
        timePoints.points.reserve(CurvePoints);
        StartCurvesOn(ds, grid, circuit, &timePoints, perSlip);
        if (ds.ShowStaticCurves) {
            staticPoints.points.reserve(CurvePoints);
            StaticCurvesOn(ds, time, circuit, &staticPoints, perSlip);
        }
        if (Refusal e = CircuitRangeRefusal(ds, watch, identified)) return refuse(e);
        if (!AllFinite(timePoints.points) || !AllFinite(staticPoints.points) || !std::isfinite(ds.ImaxIn) ||
            !AllFinite(ds.SpeedAxis) || !AllFinite(ds.TimeAxis)) {
            // With the circuit's values in range, a ratio can only overflow by its divisor In or Tn.
            for (const CurveBuffer* b : {&timePoints, &staticPoints})
                for (const CurvePoint& p : b->points) {
                    if (!std::isfinite(p.dolCurrent) || !std::isfinite(p.ssCurrent))
                        return refuse(CurveRatioRefusal(ds, false));
                    if (!std::isfinite(p.dolTorque) || !std::isfinite(p.ssTorque))
                        return refuse(CurveRatioRefusal(ds, true));
                }
            return refuse(ErrCircuitNotFinite);
        }

        Replay(timePoints, timeSink);
        Replay(staticPoints, staticSink);
        return 0;
    };
    const CircuitEvaluator evaluator(ds);
    const bool inRange = evaluator.StaysInRange(ds.PhaseVoltage, 0.01 * smallestSlip);
    return evaluator.WithCage(
        [&](auto circuit) { return inRange ? computeOn(circuit, nullptr) : computeOn(circuit, &watch); });
}
