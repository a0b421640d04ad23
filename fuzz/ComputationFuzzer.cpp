// The whole computation from a fuzzed data set, along the paths a motor takes: typed rated
// values, a listed motor, or typed rated values with a typed circuit; then the soft-starter and
// load settings, the load dialog's check and the results computation. Unless a check or the
// computation refuses the input, no NaN or infinity may reach a stored value, a curve point, the
// JSON of tarvello-sim, the curve file or a panel text; a refusal leaves the results untouched,
// has its message in both languages and names its cause.

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include <fuzzer/FuzzedDataProvider.h>

#include "Checks.h"
#include "CurveFile.h"
#include "ErrorMessages.h"
#include "FuzzCheck.h"
#include "Identification.h"
#include "OperatingPoint.h"
#include "SimJson.h"
#include "SimPanels.h"
#include "StartSimulation.h"

namespace {
// A number the user could type: any finite double, drawn mostly near the typical value so that
// the fuzzer reaches deep into the computation, but also at every scale and sign. Bytes of zero
// give the typical value itself, so an empty input is the reference 4 kW motor.
double Number(FuzzedDataProvider& in, double typical) {
    switch (in.ConsumeIntegral<std::uint8_t>() % 8) {
    case 0:
        return typical;
    case 1:
    case 2:
        return typical * (0.05 + 2 * in.ConsumeProbability<double>());
    case 3: {
        const double v = typical * std::pow(10.0, in.ConsumeIntegralInRange(-330, 330));
        return std::isfinite(v) ? v : DBL_MAX;
    }
    case 4: {
        const std::uint64_t bits = in.ConsumeIntegral<std::uint64_t>();
        double v;
        std::memcpy(&v, &bits, sizeof v);
        return std::isfinite(v) ? v : typical;
    }
    case 5: {
        const double special[] = {
            0,    -0.0, 1, -1, DBL_MIN, DBL_TRUE_MIN, DBL_MAX, -DBL_MAX, 1e-300, 1e300, 0.99999999999999989,
            1e-7, 1e7,  30};
        return special[in.ConsumeIntegralInRange<std::size_t>(0, std::size(special) - 1)];
    }
    case 6:
        return -typical * (0.05 + 2 * in.ConsumeProbability<double>());
    default:
        return typical * (1 + (in.ConsumeProbability<double>() - 0.5) * 1e-6);
    }
}

std::string Describe(const MotorDataSet& d) {
    char buf[1024];
    std::snprintf(
        buf, sizeof buf,
        "P %.17g U %.17g I %.17g pf %.17g f %.17g n %.17g I0 %.17g star %d approx %d list %d | Rs %.17g "
        "Rr %.17g Xs %.17g Xr %.17g Xh %.17g Rfe %.17g | T %.17g preset %.17g limit %.17g ramp %.17g "
        "modes %d%d | T0 %.17g T1 %.17g T2 %.17g static %d",
        d.MechanicalPower, d.LineVoltage, d.LineCurrent, d.PowerFactor, d.Frequency, d.RatedSpeed,
        d.NoLoadLineCurrent, d.StarCoupling, d.ApproximationWithoutNoLoadCurrent, d.MotorFromList, d.Rs, d.Rr,
        d.Xssigma, d.Xrsigma, d.Xh, d.Riron, d.EstimatedStartTime, d.Preset, d.DesiredImaxIn,
        d.SoftStarterTime, d.LimitCurrentMode, d.SelectedTimeMode, d.T0, d.T1, d.T2, d.ShowStaticCurves);
    return buf;
}

void CheckMessage(const Refusal& r, const MotorDataSet& ds) {
    for (Language l : {Language::English, Language::French}) {
        const std::string text = ErrorText(r, l);
        FUZZ_CHECK(!text.empty() && text.find("%1") == std::string::npos, "refusal %d without text: %s",
                   r.number, Describe(ds).c_str());
    }
}

void CheckFinite(std::initializer_list<double> values, const char* what, const MotorDataSet& ds) {
    for (double v : values)
        FUZZ_CHECK(std::isfinite(v), "%s: %s", what, Describe(ds).c_str());
}

void CheckText(const std::string& text, const char* bad, const char* what, const MotorDataSet& ds) {
    FUZZ_CHECK(text.find(bad) == std::string::npos, "%s shows %s: %s", what, bad, Describe(ds).c_str());
}

void CheckDerived(const MotorDataSet& ds) {
    CheckFinite({ds.PairOfPoles, ds.SynchronousSpeed, ds.PhaseVoltage, ds.PhaseCurrent, ds.NoLoadPhaseCurrent,
                 ds.ElectricalPower, ds.RatedTorque, ds.Efficiency},
                "derived values", ds);
}

bool SameOutputs(const MotorDataSet& a, const MotorDataSet& b) {
    return a.Rs == b.Rs && a.Rr == b.Rr && a.Xssigma == b.Xssigma && a.Xrsigma == b.Xrsigma && a.Xh == b.Xh &&
           a.Riron == b.Riron && a.SoftStarterTime == b.SoftStarterTime && a.ImaxIn == b.ImaxIn &&
           a.TimeAxis == b.TimeAxis && a.DolCurrentCurve == b.DolCurrentCurve &&
           a.DolTorqueCurve == b.DolTorqueCurve && a.SoftStarterCurrentCurve == b.SoftStarterCurrentCurve &&
           a.SoftStarterTorqueCurve == b.SoftStarterTorqueCurve && a.SpeedAxis == b.SpeedAxis;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    MotorDataSet ds;
    PresetStartInputs(ds);
    const int path = in.ConsumeIntegralInRange(0, 2); // typed, listed, typed with its circuit
    ds.MechanicalPower = Number(in, 4000);
    ds.LineVoltage = Number(in, 400);
    ds.LineCurrent = Number(in, 8.5);
    ds.PowerFactor = Number(in, 0.82);
    ds.Frequency = Number(in, 50);
    ds.RatedSpeed = Number(in, 1440);
    ds.NoLoadLineCurrent = Number(in, 4.5);
    ds.StarCoupling = !in.ConsumeBool();
    ds.ApproximationWithoutNoLoadCurrent = in.ConsumeBool();
    MotorDataSet circuit;
    circuit.Rs = Number(in, 1.27483);
    circuit.Rr = Number(in, 1.27483);
    circuit.Xssigma = Number(in, 0.583487);
    circuit.Xrsigma = Number(in, 0.583487);
    circuit.Xh = Number(in, 51.32);
    circuit.Riron = Number(in, 1158.08);

    // The motor, as the rated values dialog, the selection dialog or the diagram dialog takes it.
    if (path == 1) {
        ds.Rs = circuit.Rs, ds.Rr = circuit.Rr, ds.Xssigma = circuit.Xssigma, ds.Xrsigma = circuit.Xrsigma;
        ds.Xh = circuit.Xh, ds.Riron = circuit.Riron;
        ds.MotorFromList = true;
        if (const Refusal r = CheckRatedValues(ds)) return CheckMessage(r, ds), 0;
        if (const Refusal r = CheckCircuit(ds)) return CheckMessage(r, ds), 0;
        DeriveRatedValues(ds);
        CheckDerived(ds);
    } else {
        const bool derivable = CheckRatedValues(ds) == 0;
        if (const Refusal r = ConfirmRatedValues(ds)) {
            CheckMessage(r, ds);
            if (derivable) CheckDerived(ds);
            return 0;
        }
        CheckDerived(ds);
        if (path == 2) {
            if (const Refusal r = CheckCircuit(circuit)) return CheckMessage(r, ds), 0;
            ds.Rs = circuit.Rs, ds.Rr = circuit.Rr, ds.Xssigma = circuit.Xssigma,
            ds.Xrsigma = circuit.Xrsigma;
            ds.Xh = circuit.Xh, ds.Riron = circuit.Riron;
            ds.MotorFromList = true;
            DeriveRatedValues(ds);
        } else {
            // The identified circuit of an accepted typed motor is finite and has no negative element.
            MotorDataSet identified = ds;
            IdentifyEquivalentDiagram(identified);
            CheckFinite({identified.Rs, identified.Rr, identified.Xssigma, identified.Xrsigma, identified.Xh,
                         identified.Riron, identified.NoLoadLineCurrent, identified.NoLoadPhaseCurrent},
                        "identified circuit", ds);
            FUZZ_CHECK(identified.Rs > 0 && identified.Xssigma > 0 && identified.Xh > 0 &&
                           identified.Riron > 0,
                       "identified circuit not positive: %s", Describe(ds).c_str());
        }
    }

    // Soft-starter and load settings, as their dialogs store them.
    ds.EstimatedStartTime = Number(in, 10);
    ds.Preset = Number(in, 0.1);
    const int mode = in.ConsumeIntegralInRange(0, 2);
    ds.LimitCurrentMode = mode == 1;
    ds.SelectedTimeMode = mode == 2;
    ds.DesiredImaxIn = Number(in, 3);
    ds.SoftStarterTime = Number(in, 5);
    ds.T0 = Number(in, 5);
    ds.T1 = Number(in, 0.2);
    ds.T2 = Number(in, 0.01);
    ds.ShowStaticCurves = in.ConsumeBool();

    // The load dialog's check, then the computation.
    if (const Refusal r = CheckComputable(ds)) return CheckMessage(r, ds), 0;
    const MotorDataSet before = ds;
    CurveBuffer timePoints, staticPoints;
    const Refusal r = RunStartComputation(ds, &timePoints, &staticPoints);
    if (r) {
        CheckMessage(r, ds);
        // Every value that would leave the doubles is refused for its cause by the checks and
        // watches; "no finite current or torque" after them would mean a cause went unnamed.
        FUZZ_CHECK(r.number != ErrCircuitNotFinite, "unexplained non-finite result: %s",
                   Describe(ds).c_str());
        FUZZ_CHECK(SameOutputs(ds, before), "refusal %d changed the results: %s", r.number,
                   Describe(ds).c_str());
        FUZZ_CHECK(timePoints.points.empty() && staticPoints.points.empty(), "refusal %d drew points",
                   r.number);
        return 0;
    }

    CheckDerived(ds);
    CheckFinite({ds.Rs, ds.Rr, ds.Xssigma, ds.Xrsigma, ds.Xh, ds.Riron, ds.NoLoadLineCurrent,
                 ds.NoLoadPhaseCurrent, ds.ImaxIn, ds.SoftStarterTime},
                "results", ds);
    for (const Curve* c : {&ds.TimeAxis, &ds.DolCurrentCurve, &ds.DolTorqueCurve, &ds.SoftStarterCurrentCurve,
                           &ds.SoftStarterTorqueCurve, &ds.SpeedAxis})
        for (double v : *c)
            CheckFinite({v}, "curve", ds);
    FUZZ_CHECK(timePoints.points.size() == CurvePoints, "%zu time points", timePoints.points.size());
    FUZZ_CHECK(staticPoints.points.size() == (ds.ShowStaticCurves ? CurvePoints : 0), "%zu static points",
               staticPoints.points.size());
    for (const std::vector<CurvePoint>* points : {&timePoints.points, &staticPoints.points})
        for (const CurvePoint& p : *points)
            CheckFinite({p.x, p.dolCurrent, p.dolTorque, p.ssCurrent, p.ssTorque}, "point", ds);
    for (int i = 1; i < CurvePoints; ++i)
        FUZZ_CHECK(ds.TimeAxis[i] > ds.TimeAxis[i - 1], "time axis not increasing: %s", Describe(ds).c_str());
    FUZZ_CHECK(ds.ImaxIn == PeakValue(ds.SoftStarterCurrentCurve), "Imax/In is not the peak");
    if (ds.LimitCurrentMode)
        FUZZ_CHECK(ds.ImaxIn < ds.DesiredImaxIn, "peak %.17g not below the limit: %s", ds.ImaxIn,
                   Describe(ds).c_str());

    const std::string json = MotorDataSetJson(ds);
    CheckText(json, "inf", "JSON", ds);
    CheckText(json, "nan", "JSON", ds);
    const std::string curves = CurveFileText(ds);
    CheckText(curves, "inf", "curve file", ds);
    CheckText(curves, "nan", "curve file", ds);
    for (Language l : {Language::English, Language::French}) {
        const std::string panels = PanelText(ds, l);
        CheckText(panels, "INF", "panel", ds);
        CheckText(panels, "NAN", "panel", ds);
    }
    return 0;
}
