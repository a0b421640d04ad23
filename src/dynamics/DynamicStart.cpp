// The dynamic start (direct-on-line and soft-starter) and the comparison of starting methods.

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "Checks.h"
#include "Dynamics.h"
#include "StartEngine.h"
#include "StartModel.h"

namespace {
bool Finite(double v) {
    return std::isfinite(v);
}
bool Positive(double v) {
    return v > 0 && Finite(v);
}

// A data set whose results computation has run: rated, derived and circuit values usable.
Refusal CheckComputedMotor(const MotorDataSet& ds) {
    for (double v : {ds.SynchronousSpeed, ds.PhaseVoltage, ds.PhaseCurrent, ds.LineCurrent, ds.RatedTorque})
        if (!Positive(v)) return ErrNoMotor;
    if (Refusal e = CheckCircuit(ds)) return e;
    for (double v : {ds.T0, ds.T1, ds.T2})
        if (!Finite(v)) return ErrCircuitNotFinite;
    if (!(ds.Preset >= 0 && ds.Preset <= 1)) return ErrPresetRange;
    if (!(ds.SoftStarterTime >= 0) || !Finite(ds.SoftStarterTime)) return ErrCircuitNotFinite;
    if (ds.LimitCurrentMode && !Positive(ds.DesiredImaxIn)) return ErrLimitUnreachable;
    return 0;
}

Cx ToCx(const NetworkImpedance& z) {
    return {z.R, z.X};
}

// The supply, the model on it, the motor's running connection and the speeds that decide a start.
struct Setup {
    Setup(const MotorDataSet& d, const DynamicSettings& settings)
        : ds(d), impedances(SupplyImpedances(settings.Network, d)), network(settings.Network.Enabled),
          zKT(ToCx(impedances.Source) + ToCx(impedances.Transformer)), zNet(zKT + ToCx(impedances.Cable)),
          model(d, network, zKT), running(RunningStage()), quasi(FindQuasiStatic(model, running)),
          motorInertia(UsedMotorInertia(settings.Mechanical, d)),
          inertia(motorInertia + settings.Mechanical.LoadInertia), limit(settings.Mechanical.StartTimeLimit),
          tolerance(settings.Tolerance) {}

    const MotorDataSet& ds;
    NetworkImpedances impedances;
    bool network;
    Cx zKT, zNet;
    StartModel model;
    Stage running;
    QuasiStatic quasi;
    double motorInertia, inertia, limit, tolerance;

    // Winding voltage at full output with nothing between source and motor, for windings in delta
    // or in star. On the stiff supply the running connection has the rated phase voltage exactly.
    double WindingReference(bool delta) const {
        if (!network) return delta == !ds.StarCoupling ? ds.PhaseVoltage : ds.PhaseVoltage / Sqrt3;
        return delta ? impedances.SourceVoltage : impedances.SourceVoltage / Sqrt3;
    }

    Stage Connection(bool delta) const {
        Stage s;
        s.delta = delta;
        s.vwRef = WindingReference(delta);
        s.lineFactor = delta ? Sqrt3 : 1;
        s.upstream = network && !IsZero(zNet);
        s.zUp = zNet;
        return s;
    }
    Stage RunningStage() const { return Connection(!ds.StarCoupling); }

    bool StalledByCheck() const { return quasi.stallSpeed.has_value(); }

    StartSpec Spec(int samples) const {
        StartSpec spec;
        spec.model = &model;
        spec.stages[0] = running;
        spec.inertia = inertia;
        spec.rs = ds.Rs;
        spec.ratedTorque = ds.RatedTorque;
        spec.ratedLineCurrent = ds.LineCurrent;
        spec.ratedPhaseVoltage = ds.PhaseVoltage;
        spec.tolerance = tolerance;
        spec.record = samples >= 2;
        if (StalledByCheck()) {
            spec.trackMinTorque = false;
            return spec;
        }
        const double ns = ds.SynchronousSpeed;
        spec.runUpSpeed = 0.98 * *quasi.operatingSpeed;
        if (quasi.breakdownSlip >= 1) {
            spec.minTorqueEnd = MinTorqueEnd::AtStart;
        } else {
            spec.breakdownSpeed = ns * (1 - quasi.breakdownSlip);
            spec.minTorqueEnd = spec.breakdownSpeed >= *spec.runUpSpeed ? MinTorqueEnd::AtRunUp
                                                                        : MinTorqueEnd::AtBreakdownSpeed;
        }
        return spec;
    }

    // The soft-starter on the running connection: the ramp, with the cap in current-limit mode.
    void SoftStarter(StartSpec& spec, bool cap) const {
        spec.controller = cap ? Controller::RampWithCap : Controller::Ramp;
        spec.preset = ds.Preset;
        spec.rampTime = ds.SoftStarterTime;
        spec.lineLimit = ds.DesiredImaxIn * ds.LineCurrent;
    }

    // The start of a method; false when the method does not apply to this motor.
    bool MethodSpec(StartingMethod method, StartSpec& spec, int samples) const {
        spec = Spec(samples);
        switch (method) {
        case StartingMethod::Dol:
            return true;
        case StartingMethod::SoftRamp:
            SoftStarter(spec, false);
            return true;
        case StartingMethod::SoftLimit:
            SoftStarter(spec, true);
            return true;
        default:
            return false;
        }
    }

    StartOutcome Outcome(const StartIntegrator& run, double dipLimit) const {
        StartOutcome o;
        const StartTrack& r = run.Track();
        const double tn = ds.RatedTorque, in = ds.LineCurrent;
        if (quasi.operatingSpeed) o.OperatingSpeed = *quasi.operatingSpeed * 60;
        o.StartingTorqueRatio = r.startingTorque / tn;
        o.MaxVoltageDip = network ? r.maxDip * 100 : 0;
        o.MinMotorVoltage = r.minWindingVoltage / ds.PhaseVoltage * 100;
        o.VoltageDipExceeded = network && o.MaxVoltageDip > dipLimit;
        if (StalledByCheck()) {
            o.Stalled = true;
            o.StallSpeed = *quasi.stallSpeed * 60;
        } else if (!r.runUpTime) {
            o.Stalled = o.TooLong = true;
            o.StallSpeed = run.Speed() * 60;
        } else {
            const double ta = *r.runUpTime;
            o.RunUpTime = ta;
            o.PeakLineCurrent = r.peakLineCurrent;
            o.PeakCurrentRatio = r.peakLineCurrent / in;
            o.RotorEnergy = r.rotorEnergy;
            o.StatorEnergy = r.statorEnergy;
            o.MinAcceleratingTorqueRatio = r.minAccelerating / tn;
            o.RmsCurrent = std::sqrt(r.currentSquareIntegral / ta);
        }
        return o;
    }
};

bool AllFinite(const StartOutcome& o) {
    for (const auto& v : {o.StallSpeed, o.RunUpTime, o.PeakCurrentRatio, o.PeakLineCurrent, o.RotorEnergy,
                          o.StatorEnergy, o.MinAcceleratingTorqueRatio, o.OperatingSpeed, o.RmsCurrent})
        if (v && !Finite(*v)) return false;
    return Finite(o.StartingTorqueRatio) && Finite(o.MaxVoltageDip) && Finite(o.MinMotorVoltage);
}

bool AllFinite(const StartCurves& c) {
    for (const auto* v : {&c.Speed, &c.Current, &c.Torque, &c.LoadTorque, &c.Voltage, &c.BusVoltage})
        for (double x : *v)
            if (!Finite(x)) return false;
    return true;
}

StartingMethod SoftStarterMethod(const MotorDataSet& ds) {
    return ds.LimitCurrentMode ? StartingMethod::SoftLimit : StartingMethod::SoftRamp;
}

std::vector<double> TimePoints(double tEnd, int samples) {
    std::vector<double> t(samples);
    for (int k = 0; k < samples; ++k)
        t[k] = k * tEnd / (samples - 1);
    return t;
}
} // namespace

Refusal ComputeDynamicStart(const MotorDataSet& ds, const DynamicSettings& settings, DynamicResults& out,
                            int samples) {
    if (Refusal e = CheckComputedMotor(ds)) return e;
    if (Refusal e = CheckDynamicStartSettings(settings, ds)) return e;
    DynamicResults r;
    try {
        const Setup setup(ds, settings);
        r.MotorInertia = setup.motorInertia;
        r.TypicalInertia = !settings.Mechanical.MotorInertia.has_value();

        StartSpec dolSpec, ssSpec;
        setup.MethodSpec(StartingMethod::Dol, dolSpec, samples);
        setup.MethodSpec(SoftStarterMethod(ds), ssSpec, samples);
        StartIntegrator dol(dolSpec), soft(ssSpec);
        dol.Run(setup.limit, true);
        soft.Run(setup.limit, true);
        r.Dol = setup.Outcome(dol, settings.DipLimit);
        r.SoftStarter = setup.Outcome(soft, settings.DipLimit);

        if (samples >= 2) {
            const double tEnd = !r.Dol.Stalled && !r.SoftStarter.Stalled
                                    ? std::max(*r.Dol.RunUpTime, *r.SoftStarter.RunUpTime)
                                    : setup.limit;
            dol.Run(tEnd, false);
            soft.Run(tEnd, false);
            r.Times = TimePoints(tEnd, samples);
            dol.Sample(r.Times, r.DolCurves);
            soft.Sample(r.Times, r.SoftStarterCurves);
        }
    } catch (const std::exception&) {
        return ErrCircuitNotFinite;
    }
    if (!AllFinite(r.Dol) || !AllFinite(r.SoftStarter) || !AllFinite(r.DolCurves) ||
        !AllFinite(r.SoftStarterCurves) || !Finite(r.MotorInertia))
        return ErrCircuitNotFinite;
    out = std::move(r);
    return 0;
}

Refusal ComputeMethodStart(const MotorDataSet& ds, const DynamicSettings& settings, StartingMethod method,
                           MethodOutcome& out) {
    if (Refusal e = CheckComputedMotor(ds)) return e;
    if (Refusal e = CheckDynamicSettings(settings, ds)) return e;
    MethodOutcome r;
    r.Method = method;
    try {
        const Setup setup(ds, settings);
        StartSpec spec;
        r.Applicable = setup.MethodSpec(method, spec, 0);
        if (r.Applicable) {
            StartIntegrator run(spec);
            run.Run(setup.limit, true);
            r.Outcome = setup.Outcome(run, settings.DipLimit);
        }
    } catch (const std::exception&) {
        return ErrCircuitNotFinite;
    }
    if (!AllFinite(r.Outcome)) return ErrCircuitNotFinite;
    out = std::move(r);
    return 0;
}
