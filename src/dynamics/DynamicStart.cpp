// The dynamic start (direct-on-line and soft-starter) and the comparison of starting methods.

#include <algorithm>
#include <cmath>
#include <iomanip>
#include <memory>
#include <sstream>
#include <stdexcept>

#include "Checks.h"
#include "Dynamics.h"
#include "OperatingPoint.h"
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
    // The results computation's own refusal of a load the motor cannot carry at synchronous speed.
    bool noOperatingPoint = false;
    OperatingSlip(ds, LoadTorque(ds, ds.SynchronousSpeed), ds.PhaseVoltage, noOperatingPoint);
    if (noOperatingPoint) return 70;
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
          tolerance(settings.Tolerance), methods(settings.Methods), protection(settings.Protection) {
        if (protection) Relay();
    }

    const MotorDataSet& ds;
    NetworkImpedances impedances;
    bool network;
    Cx zKT, zNet; // both 0 on the stiff supply
    StartModel model;
    Stage running;
    QuasiStatic quasi;
    double motorInertia, inertia, limit, tolerance;
    MethodSettings methods;
    std::optional<ProtectionSettings> protection;
    ProtectionResults relay; // the relay's figures and the locked-rotor check, when protection is set
    RelayInput relayInput;

    void Relay() {
        ProtectionResults& h = relay;
        h.Class = protection->Class;
        h.RelaySetting = UsedRelaySetting(*protection, ds);
        // The stiff supply at the rated voltage, or the data sheet's own figure.
        h.LockedRotorCurrent = HasDatasheet(ds)
                                   ? ds.LockedRotorCurrentRatio * ds.LineCurrent
                                   : ds.PhaseVoltage / Abs(model.Circuit().InputImpedance(1)) * running.lineFactor;
        h.LockedRotorCurrentNetwork = model.At(running, 1, 1).iline;
        const TripBand band = ClassBand(h.Class);
        h.TauEarliest = RelayTimeConstant(band.Earliest);
        h.TauLatest = RelayTimeConstant(band.Latest);
        const double rated = ds.LineCurrent / h.RelaySetting;
        h.HotStart = rated * rated;
        if (protection->WithstandCold && protection->WithstandHot) {
            const double x = h.LockedRotorCurrentNetwork / h.RelaySetting;
            const double squared = (h.LockedRotorCurrent / h.LockedRotorCurrentNetwork) *
                                   (h.LockedRotorCurrent / h.LockedRotorCurrentNetwork);
            auto check = [&](double withstand, double theta0) {
                LockedRotorCheck c;
                c.WithstandTime = withstand;
                c.PermittedTime = withstand * squared;
                c.LatestTripTime = RelayTripTime(h.TauLatest, x, theta0);
                c.Protects = c.LatestTripTime && *c.LatestTripTime <= c.PermittedTime;
                if (c.LatestTripTime) c.Margin = c.PermittedTime / *c.LatestTripTime - 1;
                return c;
            };
            h.LockedRotorCold = check(*protection->WithstandCold, 0);
            h.LockedRotorHot = check(*protection->WithstandHot, h.HotStart);
        }
        relayInput.tau = {h.TauEarliest, h.TauLatest};
        relayInput.hotStart = h.HotStart;
    }

    // The relay on a start: the relay current is the motor's line current, in star-delta the
    // winding current times sqrt 3 (the relay in the winding circuit is set to Ir / sqrt 3).
    void Relay(StartInput& input, StartingMethod method) const {
        if (!protection) return;
        RelayInput r = relayInput;
        for (int i = 0; i < input.stageCount; ++i) {
            const Stage& st = input.stages[i];
            const double relayFactor = method == StartingMethod::StarDelta || st.delta ? Sqrt3 : 1;
            const double f = relayFactor / st.lineFactor / relay.RelaySetting;
            r.ratio[i] = f * f;
        }
        input.relay = r;
    }

    // The verdicts on a start whose relay image is complete.
    StartProtection Judge(const StartIntegrator& run, const StartOutcome& o) const {
        const RelayTrack& r = *run.Relay();
        StartProtection p;
        p.ClearTime = r.clearTime.value_or(run.Time());
        constexpr double K2 = RelayTripLevel * RelayTripLevel;
        const double ir = relay.RelaySetting, ilr = relay.LockedRotorCurrent;
        for (int s = 0; s < 2; ++s) {
            RelayStart& rs = s ? p.Hot : p.Cold;
            rs.EarliestTripTime = r.trip[0][s];
            rs.LatestTripTime = r.trip[1][s];
            rs.TripLevel = r.largest[s] / K2 * 100;
            rs.PassesStart = !o.Stalled && rs.TripLevel < 100;
            if (protection->WithstandCold && protection->WithstandHot) {
                const double withstand = s ? *protection->WithstandHot : *protection->WithstandCold;
                rs.Tcu = r.squareIntegral * (ir * ir) / (ilr * ilr * withstand) * 100;
            }
        }
        if (p.Cold.Tcu && *p.Cold.Tcu > 0) p.StartsInSuccession = static_cast<long long>(
                                                  std::min(std::floor(100 / *p.Cold.Tcu), 1e15));
        return p;
    }

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
        s.upstream = !IsZero(zNet);
        s.zUp = zNet;
        return s;
    }
    Stage RunningStage() const { return Connection(!ds.StarCoupling); }

    bool StalledByCheck() const { return quasi.stallSpeed.has_value(); }

    StartInput Input(int samples) const {
        StartInput input;
        input.model = &model;
        input.stages[0] = running;
        input.inertia = inertia;
        input.rs = ds.Rs;
        input.ratedTorque = ds.RatedTorque;
        input.ratedLineCurrent = ds.LineCurrent;
        input.ratedPhaseVoltage = ds.PhaseVoltage;
        input.tolerance = tolerance;
        input.record = samples >= 2;
        if (StalledByCheck()) {
            input.trackMinTorque = false;
            return input;
        }
        const double ns = ds.SynchronousSpeed;
        input.runUpSpeed = 0.98 * *quasi.operatingSpeed;
        if (quasi.breakdownSlip >= 1) {
            input.minTorqueEnd = MinTorqueEnd::AtStart;
        } else {
            input.breakdownSpeed = ns * (1 - quasi.breakdownSlip);
            input.minTorqueEnd = input.breakdownSpeed >= *input.runUpSpeed ? MinTorqueEnd::AtRunUp
                                                                           : MinTorqueEnd::AtBreakdownSpeed;
        }
        return input;
    }

    // The soft-starter on the running connection: the ramp, with the cap at limit (Imax/In) in
    // current-limit mode.
    void SoftStarter(StartInput& input, bool cap, double limit) const {
        input.controller = cap ? Controller::RampWithCap : Controller::Ramp;
        input.preset = ds.Preset;
        input.rampTime = ds.SoftStarterTime;
        input.lineLimit = limit * ds.LineCurrent;
    }

    // A method whose reduced stage is followed by the running connection: the changeover at f ns,
    // or at 0.98 n_s when the reduced stage stops accelerating at n_s below it.
    void TwoStages(StartInput& input, const Stage& reduced, bool& restsForGood) const {
        input.stages[0] = reduced;
        input.stages[1] = running;
        input.stageCount = 2;
        const double ns = ds.SynchronousSpeed, changeover = methods.ChangeoverSpeed * ns;
        input.changeoverSpeed = changeover;
        if (const auto stall = ReducedStageStall(model, reduced, changeover)) {
            restsForGood = *stall == 0;
            input.changeoverSpeed = restsForGood ? HUGE_VAL : 0.98 * *stall;
        }
    }

    // The start of a method; applicable false when the method does not apply to this motor.
    struct Plan {
        bool applicable = true;
        bool restsForGood = false; // the reduced stage cannot start the load
        StartInput input;
    };
    // limit: Imax/In of the start with current limit.
    Plan MethodPlan(StartingMethod method, int samples, double limit) const {
        Plan p;
        p.input = Input(samples);
        switch (method) {
        case StartingMethod::Dol:
            break;
        case StartingMethod::StarDelta:
            if (ds.StarCoupling) {
                p.applicable = false;
                break;
            }
            TwoStages(p.input, Connection(false), p.restsForGood);
            break;
        case StartingMethod::Autotransformer: {
            // Motor voltage k times the supply's; the supply carries k times the motor's line current.
            Stage tapped = running;
            tapped.tap = methods.AutotransformerTap;
            tapped.lineFactor = running.lineFactor * tapped.tap;
            TwoStages(p.input, tapped, p.restsForGood);
            break;
        }
        case StartingMethod::Reactor: {
            // Sized on the stiff supply for k times the rated voltage at standstill.
            const Cx zy = (running.delta ? 1.0 / 3.0 : 1.0) * model.Circuit().InputImpedance(1);
            const double k = methods.ReactorVoltage;
            Stage reactor = running;
            reactor.upstream = true;
            reactor.zUp = zNet + Cx{0, std::sqrt(Norm(zy) / (k * k) - zy.re * zy.re) - zy.im};
            TwoStages(p.input, reactor, p.restsForGood);
            break;
        }
        case StartingMethod::SoftRamp:
            SoftStarter(p.input, false, limit);
            break;
        case StartingMethod::SoftLimit:
            SoftStarter(p.input, true, limit);
            break;
        }
        Relay(p.input, method);
        return p;
    }

    void Changeover(const Plan& plan, const StartIntegrator& run, MethodOutcome& m) const {
        if (plan.input.stageCount < 2 || plan.restsForGood) return;
        m.ChangeoverSpeed = plan.input.changeoverSpeed * 60;
        m.ChangeoverTime = run.Track().changeoverTime;
    }

    StartOutcome Outcome(const StartIntegrator& run, double dipLimit, bool restsForGood = false) const {
        StartOutcome o;
        const StartTrack& r = run.Track();
        const double tn = ds.RatedTorque, in = ds.LineCurrent;
        if (quasi.operatingSpeed) o.OperatingSpeed = *quasi.operatingSpeed * 60;
        o.StartingTorqueRatio = r.startingTorque / tn;
        o.MaxVoltageDip = network ? r.maxDip * 100 : 0;
        o.MinMotorVoltage = r.minWindingVoltage / ds.PhaseVoltage * 100;
        o.VoltageDipExceeded = network && o.MaxVoltageDip > dipLimit;
        if (StalledByCheck() || restsForGood) {
            o.Stalled = true;
            o.StallSpeed = restsForGood ? 0 : *quasi.stallSpeed * 60;
        } else if (!r.runUpTime) {
            o.Stalled = o.TooLong = true;
            o.StallSpeed = run.Speed() * 60;
        }
        if (o.Stalled) {
            // Integrated to the start-time limit like any start that does not run up (a stall by
            // the check is held there too): the current it draws all that time.
            o.StalledPeakLineCurrent = r.peakLineCurrent;
            o.StalledPeakCurrentRatio = r.peakLineCurrent / in;
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
                          o.StatorEnergy, o.MinAcceleratingTorqueRatio, o.OperatingSpeed, o.RmsCurrent,
                          o.StalledPeakCurrentRatio, o.StalledPeakLineCurrent})
        if (v && !Finite(*v)) return false;
    return Finite(o.StartingTorqueRatio) && Finite(o.MaxVoltageDip) && Finite(o.MinMotorVoltage);
}

bool AllFinite(const RelayStart& r) {
    for (const auto& v : {r.EarliestTripTime, r.LatestTripTime, r.Tcu})
        if (v && !Finite(*v)) return false;
    return Finite(r.TripLevel);
}

bool AllFinite(const std::optional<StartProtection>& p) {
    return !p || (AllFinite(p->Cold) && AllFinite(p->Hot) && Finite(p->ClearTime));
}

bool AllFinite(const std::optional<ProtectionResults>& p) {
    if (!p) return true;
    for (double v : {p->RelaySetting, p->LockedRotorCurrent, p->LockedRotorCurrentNetwork, p->TauEarliest,
                     p->TauLatest, p->HotStart})
        if (!Finite(v)) return false;
    for (const auto& c : {p->LockedRotorCold, p->LockedRotorHot})
        if (c && (!Finite(c->PermittedTime) || (c->LatestTripTime && !Finite(*c->LatestTripTime)) ||
                  (c->Margin && !Finite(*c->Margin))))
            return false;
    return AllFinite(std::optional(p->Dol)) && AllFinite(std::optional(p->SoftStarter));
}

bool AllFinite(const StartCurves& c) {
    for (const auto* v : {&c.Speed, &c.Current, &c.Torque, &c.LoadTorque, &c.Voltage, &c.BusVoltage})
        for (double x : *v)
            if (!Finite(x)) return false;
    return true;
}

bool AllFinite(const ChartCurves& c) {
    for (double t : c.Times)
        if (!Finite(t)) return false;
    return AllFinite(c.Values);
}

// A start's curves and chart samples over [0, tEnd], as asked for; the run goes on to tEnd first.
void Draw(StartIntegrator& run, double tEnd, const std::vector<double>& times, int chartPoints,
          StartCurves& curves, ChartCurves& chart) {
    run.Run(tEnd, false);
    if (!times.empty()) run.Sample(times, curves);
    if (chartPoints >= 2) run.ChartSample(tEnd, chartPoints, chart.Times, chart.Values);
}

StartingMethod SoftStarterMethod(const MotorDataSet& ds) {
    return ds.LimitCurrentMode ? StartingMethod::SoftLimit : StartingMethod::SoftRamp;
}

Refusal TooStiff(const DynamicSettings& settings, const MotorDataSet& ds) {
    std::ostringstream text;
    text << std::setprecision(3)
         << UsedMotorInertia(settings.Mechanical, ds) + settings.Mechanical.LoadInertia;
    std::string french = text.str();
    std::replace(french.begin(), french.end(), '.', ',');
    return {ErrStartTooStiff, {text.str(), french}};
}

int CurveSamples(int requested) {
    return requested < 2 ? 0 : std::min(requested, MaxCurveSamples);
}

std::vector<double> TimePoints(double tEnd, int samples) {
    std::vector<double> t(samples);
    for (int k = 0; k < samples; ++k)
        t[k] = k * tEnd / (samples - 1);
    return t;
}

// A computation on a computed motor: the motor's checks, then those of the settings it uses, then
// its body, whose integration failures become refusals (an inertia too small to follow the start,
// or a value that is no longer finite).
template <class Checks, class Body>
Refusal Guarded(const MotorDataSet& ds, const DynamicSettings& settings, Checks checks, Body body) {
    if (Refusal e = CheckComputedMotor(ds)) return e;
    if (Refusal e = checks()) return e;
    try {
        return body();
    } catch (const StartTooStiff&) {
        return TooStiff(settings, ds);
    } catch (const std::exception&) {
        return ErrCircuitNotFinite;
    }
}
} // namespace

Refusal ComputeDynamicStart(const MotorDataSet& ds, const DynamicSettings& settings, DynamicResults& out,
                            int samples, int chartPoints) {
    samples = CurveSamples(samples);
    chartPoints = CurveSamples(chartPoints);
    return Guarded(
        ds, settings, [&] { return CheckDynamicStartSettings(settings, ds); },
        [&]() -> Refusal {
            DynamicResults r;
            const Setup setup(ds, settings);
            r.MotorInertia = setup.motorInertia;
            r.TypicalInertia = !settings.Mechanical.MotorInertia.has_value();

            // The soft-starter as its dialog sets it, limit included.
            const int recorded = std::max(samples, chartPoints);
            StartIntegrator dol(setup.MethodPlan(StartingMethod::Dol, recorded, ds.DesiredImaxIn).input);
            StartIntegrator soft(setup.MethodPlan(SoftStarterMethod(ds), recorded, ds.DesiredImaxIn).input);
            dol.Run(setup.limit, true);
            soft.Run(setup.limit, true);
            r.Dol = setup.Outcome(dol, settings.DipLimit);
            r.SoftStarter = setup.Outcome(soft, settings.DipLimit);

            if (recorded >= 2) {
                const double tEnd = !r.Dol.Stalled && !r.SoftStarter.Stalled
                                        ? std::max(*r.Dol.RunUpTime, *r.SoftStarter.RunUpTime)
                                        : setup.limit;
                if (samples >= 2) r.Times = TimePoints(tEnd, samples);
                Draw(dol, tEnd, r.Times, chartPoints, r.DolCurves, r.DolChart);
                Draw(soft, tEnd, r.Times, chartPoints, r.SoftStarterCurves, r.SoftStarterChart);
            }
            if (setup.protection) {
                // After the curves, so that they are those of a start without a relay to the bit.
                dol.Run(setup.limit, false, true);
                soft.Run(setup.limit, false, true);
                r.Protection = setup.relay;
                r.Protection->Dol = setup.Judge(dol, r.Dol);
                r.Protection->SoftStarter = setup.Judge(soft, r.SoftStarter);
            }
            if (!AllFinite(r.Protection) || !AllFinite(r.Dol) || !AllFinite(r.SoftStarter) || !AllFinite(r.DolCurves) ||
                !AllFinite(r.SoftStarterCurves) || !AllFinite(r.DolChart) || !AllFinite(r.SoftStarterChart) ||
                !Finite(r.MotorInertia))
                return ErrCircuitNotFinite;
            out = std::move(r);
            return 0;
        });
}

Refusal ComputeMethodStart(const MotorDataSet& ds, const DynamicSettings& settings, StartingMethod method,
                           MethodOutcome& out) {
    return Guarded(
        ds, settings,
        [&]() -> Refusal {
            if (Refusal e = CheckDynamicStartSettings(settings, ds)) return e;
            return CheckMethodSettings(settings.Methods);
        },
        [&]() -> Refusal {
            MethodOutcome r;
            r.Method = method;
            const Setup setup(ds, settings);
            const Setup::Plan plan =
                setup.MethodPlan(method, 0, ComparisonCurrentLimit(settings.Methods, ds));
            r.Applicable = plan.applicable;
            if (r.Applicable) {
                StartIntegrator run(plan.input);
                run.Run(setup.limit, true);
                r.Outcome = setup.Outcome(run, settings.DipLimit, plan.restsForGood);
                setup.Changeover(plan, run, r);
            }
            if (!AllFinite(r.Outcome)) return ErrCircuitNotFinite;
            out = std::move(r);
            return 0;
        });
}

Refusal ComputeComparison(const MotorDataSet& ds, const DynamicSettings& settings, ComparisonResults& out,
                          int samples, int chartPoints) {
    samples = CurveSamples(samples);
    chartPoints = CurveSamples(chartPoints);
    const int recorded = std::max(samples, chartPoints);
    return Guarded(
        ds, settings, [&] { return CheckDynamicSettings(settings, ds); },
        [&]() -> Refusal {
            ComparisonResults r;
            r.CurrentLimit = ComparisonCurrentLimit(settings.Methods, ds);
            const Setup setup(ds, settings);
            std::vector<std::unique_ptr<StartIntegrator>> runs(StartingMethodCount);
            for (int i = 0; i < StartingMethodCount; ++i) {
                MethodOutcome& m = r.Methods[i];
                m.Method = static_cast<StartingMethod>(i);
                const Setup::Plan plan = setup.MethodPlan(m.Method, recorded, r.CurrentLimit);
                m.Applicable = plan.applicable;
                if (!plan.applicable) continue;
                runs[i] = std::make_unique<StartIntegrator>(plan.input);
                runs[i]->Run(setup.limit, true);
                m.Outcome = setup.Outcome(*runs[i], settings.DipLimit, plan.restsForGood);
                setup.Changeover(plan, *runs[i], m);
            }
            if (recorded >= 2) {
                // Up to the longest run-up of the methods that run up, else to the start-time limit.
                double tEnd = 0;
                for (const MethodOutcome& m : r.Methods)
                    if (m.Applicable && !m.Outcome.Stalled) tEnd = std::max(tEnd, *m.Outcome.RunUpTime);
                if (!(tEnd > 0)) tEnd = setup.limit;
                if (samples >= 2) r.Times = TimePoints(tEnd, samples);
                for (int i = 0; i < StartingMethodCount; ++i)
                    if (runs[i])
                        Draw(*runs[i], tEnd, r.Times, chartPoints, r.Methods[i].Curves, r.Methods[i].Chart);
            }
            if (setup.protection) {
                for (int i = 0; i < StartingMethodCount; ++i)
                    if (runs[i]) {
                        runs[i]->Run(setup.limit, false, true);
                        r.Methods[i].Protection = setup.Judge(*runs[i], r.Methods[i].Outcome);
                    }
                r.Protection = setup.relay;
                r.Protection->Dol = *r.Methods[static_cast<int>(StartingMethod::Dol)].Protection;
                r.Protection->SoftStarter = *r.Methods[static_cast<int>(SoftStarterMethod(ds))].Protection;
            }
            if (settings.Starter) {
                // CheckDynamicSettings has accepted the code: it parses.
                StarterRatingCode code;
                ParseStarterRating(settings.Starter->RatingCode, code);
                // The starter is judged on the soft-starter as its dialog sets it: a comparison
                // limit of its own needs that start run once more.
                const StartingMethod method = SoftStarterMethod(ds);
                StartOutcome soft = r.Methods[static_cast<int>(method)].Outcome;
                if (method == StartingMethod::SoftLimit && r.CurrentLimit != ds.DesiredImaxIn) {
                    StartIntegrator run(setup.MethodPlan(method, 0, ds.DesiredImaxIn).input);
                    run.Run(setup.limit, true);
                    soft = setup.Outcome(run, settings.DipLimit);
                    if (!AllFinite(soft)) return ErrCircuitNotFinite;
                }
                r.Duty = JudgeStarterDuty(*settings.Starter, code, soft, ds.LineCurrent);
            }
            for (const MethodOutcome& m : r.Methods)
                if (!AllFinite(m.Outcome) || !AllFinite(m.Curves) || !AllFinite(m.Chart) || !AllFinite(m.Protection))
                    return ErrCircuitNotFinite;
            if (!AllFinite(r.Protection)) return ErrCircuitNotFinite;
            out = std::move(r);
            return 0;
        });
}
