// The dynamic start, the supply network and the starting methods from fuzzed settings, on a motor
// near the reference one (typed or with its circuit as listed) whose results computation succeeded.
// Unless a check refuses the settings, no NaN or infinity may reach a result, a curve, the JSON,
// the dynamic curve file, the comparison table or a panel; the results keep their own rules (a
// start runs up or stalls, never both; a stall has its speed; energies are not negative).

#include <cctype>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include <fuzzer/FuzzedDataProvider.h>

#include "Dynamics.h"
#include "ErrorMessages.h"
#include "ExampleMotor.h"
#include "FuzzCheck.h"
#include "Identification.h"
#include "SimFiles.h"
#include "SimJson.h"
#include "SimPanels.h"
#include "StartSimulation.h"

namespace {
// Mostly near the typical value, sometimes at any scale or sign, or one of the awkward values.
double Number(FuzzedDataProvider& in, double typical) {
    switch (in.ConsumeIntegral<std::uint8_t>() % 8) {
    case 0:
        return typical;
    case 1:
    case 2:
    case 3:
        return typical * (0.02 + 3 * in.ConsumeProbability<double>());
    case 4: {
        const double v = typical * std::pow(10.0, in.ConsumeIntegralInRange(-20, 20));
        return std::isfinite(v) ? v : DBL_MAX;
    }
    case 5: {
        const double special[] = {0, -0.0, 1, -1, DBL_MIN, DBL_MAX, 1e-300, 1e300, 1e-9, 1e9, 0.5, 100};
        return special[in.ConsumeIntegralInRange<std::size_t>(0, std::size(special) - 1)];
    }
    case 6:
        return -typical * in.ConsumeProbability<double>();
    default: {
        const std::uint64_t bits = in.ConsumeIntegral<std::uint64_t>();
        double v;
        std::memcpy(&v, &bits, sizeof v);
        return std::isfinite(v) ? v : typical;
    }
    }
}

std::string Describe(const MotorDataSet& d, const DynamicSettings& s) {
    const SupplyNetwork& n = s.Network;
    char buf[1536];
    std::snprintf(buf, sizeof buf,
                  "P %.17g star %d list %d | Rs %.17g Rr %.17g Xs %.17g Xr %.17g Xh %.17g Rfe %.17g | preset "
                  "%.17g limit %.17g ramp %.17g mode %d | T0 %.17g T1 %.17g T2 %.17g | J %.17g JL %.17g tmax "
                  "%.17g | net %d U %.17g Sk %.17g rx %.17g tr %d %.17g %.17g %.17g cable %d %.17g %.17g %d %d "
                  "%.17g dip %.17g | f %.17g k %.17g kr %.17g climit %.17g",
                  d.MechanicalPower, d.StarCoupling, d.MotorFromList, d.Rs, d.Rr, d.Xssigma, d.Xrsigma, d.Xh,
                  d.Riron, d.Preset, d.DesiredImaxIn, d.SoftStarterTime, d.LimitCurrentMode, d.T0, d.T1, d.T2,
                  s.Mechanical.MotorInertia.value_or(-1), s.Mechanical.LoadInertia, s.Mechanical.StartTimeLimit,
                  n.Enabled, n.SourceVoltage.value_or(-1), n.ShortCircuitPower.value_or(-1), n.SourceRX,
                  n.HasTransformer, n.TransformerPower, n.TransformerUk, n.TransformerUr, n.HasCable,
                  n.CableLength, n.CableSection, static_cast<int>(n.Material), n.CableParallel,
                  n.CableReactance, s.DipLimit, s.Methods.ChangeoverSpeed, s.Methods.AutotransformerTap,
                  s.Methods.ReactorVoltage, s.Methods.CurrentLimit.value_or(-1));
    return buf;
}

struct Context {
    const MotorDataSet& ds;
    const DynamicSettings& settings;
};

void CheckMessage(const Refusal& r, const Context& c) {
    for (Language l : {Language::English, Language::French}) {
        const std::string text = ErrorText(r, l);
        FUZZ_CHECK(!text.empty() && text.find("%1") == std::string::npos, "refusal %d without text: %s",
                   r.number, Describe(c.ds, c.settings).c_str());
    }
}

void CheckFinite(double v, const char* what, const Context& c) {
    FUZZ_CHECK(std::isfinite(v), "%s is %g: %s", what, v, Describe(c.ds, c.settings).c_str());
}

void CheckOptional(const std::optional<double>& v, const char* what, const Context& c) {
    if (v) CheckFinite(*v, what, c);
}

// "inf" or "nan" as a word of its own, in any case: how a number that is none gets printed (the
// French words of the panels, such as "inférieur", hold "inf" inside a word).
bool ShowsNonFinite(const std::string& text) {
    auto letter = [](char ch) { return std::isalpha(static_cast<unsigned char>(ch)) || (ch & 0x80); };
    for (std::size_t i = 0; i + 3 <= text.size(); ++i) {
        std::string word = text.substr(i, 3);
        for (char& ch : word)
            ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        if (word != "inf" && word != "nan") continue;
        const bool before = i > 0 && letter(text[i - 1]);
        std::size_t end = i + 3;
        if (word == "inf" && text.compare(end, 5, "inity") == 0) end += 5;
        const bool after = end < text.size() && letter(text[end]);
        if (!before && !after) return true;
    }
    return false;
}

void CheckText(const std::string& text, const char* what, const Context& c) {
    FUZZ_CHECK(!ShowsNonFinite(text), "%s shows a number that is none: %s", what,
               Describe(c.ds, c.settings).c_str());
}

void CheckOutcome(const StartOutcome& o, double limit, const Context& c) {
    for (const auto* v : {&o.StallSpeed, &o.RunUpTime, &o.PeakCurrentRatio, &o.PeakLineCurrent, &o.RotorEnergy,
                          &o.StatorEnergy, &o.MinAcceleratingTorqueRatio, &o.OperatingSpeed, &o.RmsCurrent})
        CheckOptional(*v, "a start's value", c);
    for (double v : {o.StartingTorqueRatio, o.MaxVoltageDip, o.MinMotorVoltage})
        CheckFinite(v, "a start's value", c);
    const std::string d = Describe(c.ds, c.settings);
    FUZZ_CHECK(o.Stalled == !o.RunUpTime.has_value(), "stalled and run up at once: %s", d.c_str());
    FUZZ_CHECK(o.Stalled == o.StallSpeed.has_value(), "stall without its speed: %s", d.c_str());
    FUZZ_CHECK(!o.TooLong || o.Stalled, "too long but not stalled: %s", d.c_str());
    if (o.RunUpTime) {
        FUZZ_CHECK(*o.RunUpTime >= 0 && *o.RunUpTime <= limit, "run-up time %.17g: %s", *o.RunUpTime, d.c_str());
        FUZZ_CHECK(o.RotorEnergy && *o.RotorEnergy >= 0 && o.StatorEnergy && *o.StatorEnergy >= 0,
                   "energies: %s", d.c_str());
        FUZZ_CHECK(o.PeakCurrentRatio && *o.PeakCurrentRatio >= 0, "peak current: %s", d.c_str());
    }
    if (o.StallSpeed) FUZZ_CHECK(*o.StallSpeed >= 0, "negative stall speed: %s", d.c_str());
    FUZZ_CHECK(o.MinMotorVoltage >= 0 && o.MaxVoltageDip <= 100, "voltages %.17g %.17g: %s", o.MinMotorVoltage,
               o.MaxVoltageDip, d.c_str());
}

void CheckCurves(const StartCurves& curves, std::size_t samples, const Context& c) {
    for (const std::vector<double>* v : {&curves.Speed, &curves.Current, &curves.Torque, &curves.LoadTorque,
                                         &curves.Voltage, &curves.BusVoltage}) {
        FUZZ_CHECK(v->size() == samples, "%zu curve points for %zu samples", v->size(), samples);
        for (double x : *v)
            CheckFinite(x, "a curve point", c);
    }
    for (double n : curves.Speed)
        FUZZ_CHECK(n >= 0, "negative speed %.17g: %s", n, Describe(c.ds, c.settings).c_str());
}
void CheckRelayStart(const RelayStart& r, const StartOutcome& o, double clear, const Context& c) {
    const std::string d = Describe(c.ds, c.settings);
    for (const auto& t : {r.EarliestTripTime, r.LatestTripTime})
        if (t) FUZZ_CHECK(*t >= 0 && *t <= clear, "a trip time %.17g beyond [0, %.17g]: %s", *t, clear, d.c_str());
    CheckFinite(r.TripLevel, "a trip level", c);
    CheckOptional(r.Tcu, "a thermal capacity", c);
    FUZZ_CHECK(r.TripLevel >= 0 && (!r.Tcu || *r.Tcu >= 0), "a negative level: %s", d.c_str());
    FUZZ_CHECK(!(o.Stalled && r.PassesStart), "a stalled start passes the relay: %s", d.c_str());
    FUZZ_CHECK(!r.PassesStart || !r.EarliestTripTime, "passes although the earliest relay trips: %s", d.c_str());
}

void CheckProtection(const ProtectionResults& p, const DynamicResults& dyn, double limit, const Context& c) {
    for (double v : {p.RelaySetting, p.LockedRotorCurrent, p.LockedRotorCurrentNetwork, p.TauEarliest, p.TauLatest})
        FUZZ_CHECK(std::isfinite(v) && v > 0, "a relay figure %.17g: %s", v, Describe(c.ds, c.settings).c_str());
    for (const auto& [sp, o] : {std::pair{&p.Dol, &dyn.Dol}, std::pair{&p.SoftStarter, &dyn.SoftStarter}}) {
        FUZZ_CHECK(sp->ClearTime >= 0 && sp->ClearTime <= limit, "t_e %.17g: %s", sp->ClearTime,
                   Describe(c.ds, c.settings).c_str());
        CheckRelayStart(sp->Cold, *o, sp->ClearTime, c);
        CheckRelayStart(sp->Hot, *o, sp->ClearTime, c);
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);

    // A motor the results computation accepts: the reference motor, typed or with a fuzzed circuit.
    MotorDataSet ds = ExampleFourKilowattMotor(in.ConsumeBool());
    ds.MotorIdentified = true;
    if (in.ConsumeBool()) {
        IdentifyEquivalentDiagram(ds);
        ds.Rs = Number(in, ds.Rs), ds.Rr = Number(in, ds.Rr), ds.Xssigma = Number(in, ds.Xssigma);
        ds.Xrsigma = Number(in, ds.Xrsigma), ds.Xh = Number(in, ds.Xh), ds.Riron = Number(in, ds.Riron);
        ds.MotorFromList = true;
    }
    ds.Preset = in.ConsumeProbability<double>();
    ds.LimitCurrentMode = in.ConsumeBool();
    ds.SelectedTimeMode = !ds.LimitCurrentMode;
    ds.DesiredImaxIn = Number(in, 3);
    ds.SoftStarterTime = 30 * in.ConsumeProbability<double>();
    const int load = in.ConsumeIntegralInRange(0, 3);
    ds.T0 = load >= 1 ? Number(in, 10) : 0;
    ds.T1 = load >= 2 ? Number(in, 0.2) : 0;
    ds.T2 = load >= 3 ? Number(in, 0.04) : 0;
    if (RunStartComputation(ds, nullptr, nullptr)) return 0;

    DynamicSettings s;
    if (in.ConsumeBool()) s.Mechanical.MotorInertia = Number(in, 0.013);
    s.Mechanical.LoadInertia = Number(in, 0.1);
    s.Mechanical.StartTimeLimit = in.ConsumeBool() ? 60 : Number(in, 60);
    SupplyNetwork& n = s.Network;
    n.Enabled = in.ConsumeBool();
    if (in.ConsumeBool()) n.SourceVoltage = Number(in, 400);
    if (in.ConsumeBool()) n.ShortCircuitPower = Number(in, 1e7);
    n.SourceRX = Number(in, 0.1);
    n.HasTransformer = in.ConsumeBool();
    n.TransformerPower = Number(in, 1e5);
    n.TransformerUk = Number(in, 4);
    n.TransformerUr = Number(in, 1.5);
    n.HasCable = in.ConsumeBool();
    n.CableLength = Number(in, 100);
    n.CableSection = Number(in, 16);
    n.Material = in.ConsumeBool() ? CableMaterial::Copper : CableMaterial::Aluminium;
    n.CableParallel = in.ConsumeIntegralInRange(-1, 8);
    n.CableReactance = Number(in, 0.08);
    s.DipLimit = Number(in, 10);
    s.Methods.ChangeoverSpeed = Number(in, 0.9);
    s.Methods.AutotransformerTap = Number(in, 0.65);
    s.Methods.ReactorVoltage = Number(in, 0.65);
    if (in.ConsumeBool()) {
        StarterDuty starter;
        starter.RatedCurrent = Number(in, 12);
        starter.RatingCode = in.ConsumeRandomLengthString(40);
        starter.StartsPerHour = Number(in, 4);
        s.Starter = starter;
    }
    const int samples = in.ConsumeIntegralInRange(0, 301);
    // Read last, so that the inputs of the corpus keep what they meant before.
    const int chartPoints = in.ConsumeIntegralInRange(0, 700);
    if (in.ConsumeBool()) s.Methods.CurrentLimit = Number(in, 3);
    if (in.ConsumeBool()) {
        ProtectionSettings p;
        p.Class = static_cast<TripClass>(in.ConsumeIntegralInRange(0, TripClassCount - 1));
        if (in.ConsumeBool()) p.RelaySetting = Number(in, ds.LineCurrent);
        if (in.ConsumeBool()) p.WithstandCold = Number(in, 15);
        if (in.ConsumeBool()) p.WithstandHot = Number(in, 10);
        s.Protection = p;
    }
    const Context c{ds, s};

    if (const Refusal r = CheckDynamicSettings(s, ds)) {
        CheckMessage(r, c);
        return 0;
    }
    const double limit = s.Mechanical.StartTimeLimit;

    DynamicResults dyn;
    if (const Refusal r = ComputeDynamicStart(ds, s, dyn, samples, chartPoints)) {
        CheckMessage(r, c);
        return 0;
    }
    CheckFinite(dyn.MotorInertia, "the inertia used", c);
    CheckOutcome(dyn.Dol, limit, c);
    CheckOutcome(dyn.SoftStarter, limit, c);
    const std::size_t points = samples >= 2 ? static_cast<std::size_t>(samples) : 0;
    FUZZ_CHECK(dyn.Times.size() == points, "%zu times for %d samples", dyn.Times.size(), samples);
    for (std::size_t i = 1; i < dyn.Times.size(); ++i)
        FUZZ_CHECK(dyn.Times[i] > dyn.Times[i - 1], "times not increasing: %s", Describe(ds, s).c_str());
    CheckCurves(dyn.DolCurves, points, c);
    CheckCurves(dyn.SoftStarterCurves, points, c);
    if (points) CheckText(DynamicCurveFileText(dyn, s.Network.Enabled), "dynamic curve file", c);
    for (const ChartCurves* chart : {&dyn.DolChart, &dyn.SoftStarterChart}) {
        CheckCurves(chart->Values, chart->Times.size(), c);
        for (std::size_t i = 1; i < chart->Times.size(); ++i)
            FUZZ_CHECK(chart->Times[i] >= chart->Times[i - 1], "chart times going back: %s", Describe(ds, s).c_str());
    }

    if (s.Protection) {
        FUZZ_CHECK(dyn.Protection.has_value(), "no protection results: %s", Describe(ds, s).c_str());
        CheckProtection(*dyn.Protection, dyn, limit, c);
        const TimeCurrentCurves tcc = ComputeTimeCurrentCurves(dyn, ds.LineCurrent);
        for (const TimeCurrentCurve* curve : {&tcc.DolStart, &tcc.SoftStarterStart, &tcc.EarliestCold, &tcc.EarliestHot,
                                              &tcc.LatestCold, &tcc.LatestHot, &tcc.MotorCold, &tcc.MotorHot})
            for (std::size_t i = 0; i < curve->Current.size(); ++i)
                FUZZ_CHECK(curve->Current[i] >= tcc.CurrentMin && curve->Current[i] <= tcc.CurrentMax &&
                               curve->Time[i] >= tcc.TimeMin && curve->Time[i] <= tcc.TimeMax,
                           "a chart point beyond the axes: %s", Describe(ds, s).c_str());
    }

    ComparisonResults cmp;
    if (const Refusal r = ComputeComparison(ds, s, cmp, samples)) {
        CheckMessage(r, c);
        return 0;
    }
    for (const MethodOutcome& m : cmp.Methods) {
        if (!m.Applicable) continue;
        CheckOutcome(m.Outcome, limit, c);
        CheckCurves(m.Curves, points, c);
    }
    if (cmp.Duty) {
        for (const auto* v : {&cmp.Duty->CurrentMargin, &cmp.Duty->TimeMargin, &cmp.Duty->RmsCurrent,
                              &cmp.Duty->RunUpTime, &cmp.Duty->SmallestIe})
            CheckOptional(*v, "a duty value", c);
        CheckFinite(cmp.Duty->StartsMargin, "starts margin", c);
        CheckFinite(cmp.Duty->RatedCurrentMargin, "rated current margin", c);
    }

    CheckText(SimulationJson(ds, &dyn, &cmp), "JSON", c);
    CheckText(ComparisonCsvText(cmp), "comparison table", c);
    for (Language l : {Language::English, Language::French}) {
        CheckText(DynamicPanelText(s, dyn, l), "dynamic panel", c);
        CheckText(ComparisonPanelText(s, cmp, l), "comparison panel", c);
    }
    return 0;
}
