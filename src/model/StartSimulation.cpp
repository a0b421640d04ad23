#include "StartSimulation.h"

#include <cmath>

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

void ComputeStartCurves(MotorDataSet& ds, CurvePointSink* sink) {
    ds.SoftStarterCurrentCurve.fill(0);
    ds.SoftStarterTorqueCurve.fill(0);
    ds.TimeAxis.fill(0);
    ds.DolCurrentCurve.fill(0);
    ds.DolTorqueCurve.fill(0);
    const double nFinal = FinalSpeed(ds);
    const double tend = EndOfSpan(ds);
    const CircuitEvaluator circuit(ds);
    for (int k = 1; k <= CurvePoints; ++k) {
        const double t = TimePoint(tend, k);
        const double s = Slip(ds, SpeedAtTime(ds, t, nFinal));
        const double z = circuit.InputImpedance(s);
        const double dolTorque = Ratio(circuit.Torque(s, ds.PhaseVoltage), ds.RatedTorque);
        const double dolCurrent = Ratio(CircuitEvaluator::Current(z, ds.PhaseVoltage), ds.PhaseCurrent);
        const double u = RampVoltage(ds, t, ds.SoftStarterTime);
        const double ssTorque = Ratio(circuit.Torque(s, u), ds.RatedTorque);
        const double ssCurrent = Ratio(CircuitEvaluator::Current(z, u), ds.PhaseCurrent);
        ds.DolCurrentCurve[k - 1] = dolCurrent;
        ds.DolTorqueCurve[k - 1] = dolTorque;
        ds.SoftStarterCurrentCurve[k - 1] = ssCurrent;
        ds.SoftStarterTorqueCurve[k - 1] = ssTorque;
        ds.TimeAxis[k - 1] = t;
        if (sink) sink->AddPoints(t, dolCurrent, dolTorque, ssCurrent, ssTorque);
    }
    ds.ImaxIn = PeakValue(ds.SoftStarterCurrentCurve);
}

bool SearchRampTime(MotorDataSet& ds) {
    // The slip of each point does not depend on the ramp, so the circuit is evaluated once per
    // point; a trial then costs one ramp voltage and two divisions per point on the ramp, and the
    // points past the ramp keep their direct-on-line ratio. A trial stops at its first point that
    // reaches the limit: it is rejected whatever the other points give.
    const double nFinal = FinalSpeed(ds);
    const double tend = EndOfSpan(ds);
    const CircuitEvaluator circuit(ds);
    std::array<double, CurvePoints> t{}, z{}, dol{}, dolPeakFrom{};
    for (int i = 0; i < CurvePoints; ++i) {
        t[i] = TimePoint(tend, i + 1);
        z[i] = circuit.InputImpedance(Slip(ds, SpeedAtTime(ds, t[i], nFinal)));
        dol[i] = Ratio(CircuitEvaluator::Current(z[i], ds.PhaseVoltage), ds.PhaseCurrent);
    }
    dolPeakFrom[CurvePoints - 1] = dol[CurvePoints - 1];
    for (int i = CurvePoints - 2; i >= 0; --i) dolPeakFrom[i] = dol[i] > dolPeakFrom[i + 1] ? dol[i] : dolPeakFrom[i + 1];

    const double limit = ds.DesiredImaxIn;
    const long maxTrials = std::lround(MaxSearchedRampTime / 0.05) + 1;
    double ramp = 0;
    int onRamp = 0; // points before this index lie on the ramp (t < ramp)
    for (long trial = 0; trial < maxTrials; ++trial, ramp = Store(ramp + 0.05L)) {
        while (onRamp < CurvePoints && t[onRamp] < ramp) ++onRamp;
        if (onRamp < CurvePoints && !(dolPeakFrom[onRamp] < limit)) continue;
        bool below = true;
        for (int i = 0; i < onRamp && below; ++i) {
            const double ratio = Ratio(CircuitEvaluator::Current(z[i], RampVoltage(ds, t[i], ramp)), ds.PhaseCurrent);
            below = ratio < limit;
        }
        if (below) {
            ds.SoftStarterTime = ramp;
            return true;
        }
    }
    return false;
}

void ComputeStaticCurves(MotorDataSet& ds, CurvePointSink* sink) {
    ds.SpeedAxis.fill(0);
    const double tend = EndOfSpan(ds);
    const CircuitEvaluator circuit(ds);
    for (int k = 1; k <= CurvePoints; ++k) {
        const double t = TimePoint(tend, k);
        const double n = SpeedAtTime(ds, t, ds.SynchronousSpeed);
        const double x = Store(static_cast<Extended>(n) / ds.SynchronousSpeed);
        ds.SpeedAxis[k - 1] = x;
        const double s = Slip(ds, n);
        const double z = circuit.InputImpedance(s);
        const double dolCurrent = Ratio(CircuitEvaluator::Current(z, ds.PhaseVoltage), ds.PhaseCurrent);
        const double dolTorque = Ratio(circuit.Torque(s, ds.PhaseVoltage), ds.RatedTorque);
        const double u = RampVoltage(ds, t, ds.SoftStarterTime);
        const double ssCurrent = Ratio(CircuitEvaluator::Current(z, u), ds.PhaseCurrent);
        const double ssTorque = Ratio(circuit.Torque(s, u), ds.RatedTorque);
        if (sink) sink->AddPoints(x, dolCurrent, dolTorque, ssCurrent, ssTorque);
    }
}

namespace {
// What a computation changes, kept so that a refused computation leaves the data set as it was.
struct Outputs {
    double Rs, Xssigma, Rr, Xrsigma, Xh, Riron, NoLoadPhaseCurrent, NoLoadLineCurrent, SoftStarterTime, ImaxIn;
    Curve TimeAxis, DolCurrentCurve, DolTorqueCurve, SoftStarterCurrentCurve, SoftStarterTorqueCurve, SpeedAxis;

    explicit Outputs(const MotorDataSet& d)
        : Rs(d.Rs), Xssigma(d.Xssigma), Rr(d.Rr), Xrsigma(d.Xrsigma), Xh(d.Xh), Riron(d.Riron),
          NoLoadPhaseCurrent(d.NoLoadPhaseCurrent), NoLoadLineCurrent(d.NoLoadLineCurrent),
          SoftStarterTime(d.SoftStarterTime), ImaxIn(d.ImaxIn), TimeAxis(d.TimeAxis),
          DolCurrentCurve(d.DolCurrentCurve), DolTorqueCurve(d.DolTorqueCurve),
          SoftStarterCurrentCurve(d.SoftStarterCurrentCurve), SoftStarterTorqueCurve(d.SoftStarterTorqueCurve),
          SpeedAxis(d.SpeedAxis) {}

    void RestoreInto(MotorDataSet& d) const {
        d.Rs = Rs, d.Xssigma = Xssigma, d.Rr = Rr, d.Xrsigma = Xrsigma, d.Xh = Xh, d.Riron = Riron;
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

int RunStartComputation(MotorDataSet& ds, CurvePointSink* timeSink, CurvePointSink* staticSink) {
    if (int e = CheckComputable(ds)) return e;
    const Outputs before(ds);
    auto refuse = [&](int error) {
        before.RestoreInto(ds);
        return error;
    };
    if (!ds.MotorFromList) IdentifyEquivalentDiagram(ds);

    // A load the motor cannot carry has no final speed; it must never be drawn as if there were none.
    bool noSolution = false;
    OperatingSlip(ds, LoadTorque(ds, ds.SynchronousSpeed), ds.PhaseVoltage, noSolution);
    if (noSolution) return refuse(70);

    if (ds.LimitCurrentMode && !SearchRampTime(ds)) return refuse(ErrLimitUnreachable);

    CurveBuffer timePoints, staticPoints;
    timePoints.points.reserve(CurvePoints);
    ComputeStartCurves(ds, &timePoints);
    if (ds.ShowStaticCurves) {
        staticPoints.points.reserve(CurvePoints);
        ComputeStaticCurves(ds, &staticPoints);
    }
    if (!AllFinite(timePoints.points) || !AllFinite(staticPoints.points) || !std::isfinite(ds.ImaxIn) ||
        !AllFinite(ds.SpeedAxis))
        return refuse(ErrCircuitNotFinite);

    Replay(timePoints, timeSink);
    Replay(staticPoints, staticSink);
    return 0;
}
