// Cost of the dynamic start: the 4 kW reference motor with a fan load (rated torque at synchronous
// speed) and 0.12 kg m2 on the shaft, and a 4 kW motor with a double cage. Its results computation
// (the ramp search of the current-limit mode at 3 In) runs before the timed loops.
#include <benchmark/benchmark.h>

#include "Dynamics.h"
#include "ExampleMotor.h"
#include "Identification.h"
#include "StartSimulation.h"

namespace {
MotorDataSet WithFan(MotorDataSet ds) {
    ds.LimitCurrentMode = true;
    ds.DesiredImaxIn = 3;
    ds.T2 = 0;
    if (RunStartComputation(ds, nullptr, nullptr) != 0) std::abort();
    ds.T2 = ds.RatedTorque / (ds.SynchronousSpeed * ds.SynchronousSpeed);
    return ds;
}

MotorDataSet FourKilowattWithFan(bool star = true) {
    return WithFan(ExampleFourKilowattMotor(star));
}

DynamicSettings Settings() {
    DynamicSettings s;
    s.Mechanical.MotorInertia = 0.12;
    return s;
}

// The same starts through a 20 MVA source, a 160 kVA transformer (4 %, 1.5 %) and 50 m of 4 mm2 copper.
DynamicSettings ThroughNetwork() {
    DynamicSettings s = Settings();
    s.Network.Enabled = true;
    s.Network.ShortCircuitPower = 20e6;
    s.Network.HasTransformer = true;
    s.Network.TransformerPower = 160e3;
    s.Network.TransformerUk = 4;
    s.Network.TransformerUr = 1.5;
    s.Network.HasCable = true;
    s.Network.CableLength = 50;
    s.Network.CableSection = 4;
    return s;
}

void RunMethod(benchmark::State& state, StartingMethod method, const DynamicSettings& settings,
               const MotorDataSet& ds = FourKilowattWithFan()) {
    MethodOutcome out;
    for (auto _ : state) {
        const int error = ComputeMethodStart(ds, settings, method, out);
        benchmark::DoNotOptimize(error);
        benchmark::DoNotOptimize(out);
    }
    state.counters["t_a_s"] = out.Outcome.RunUpTime.value_or(-1);
    state.counters["peak_In"] = out.Outcome.PeakCurrentRatio.value_or(-1);
    if (out.Outcome.StallSpeed) state.counters["stall_rpm"] = *out.Outcome.StallSpeed;
}
} // namespace

static void BM_DynamicDolStart(benchmark::State& state) {
    RunMethod(state, StartingMethod::Dol, Settings());
}
BENCHMARK(BM_DynamicDolStart)->Unit(benchmark::kMicrosecond);

static void BM_DynamicCurrentLimitStart(benchmark::State& state) {
    RunMethod(state, StartingMethod::SoftLimit, Settings());
}
BENCHMARK(BM_DynamicCurrentLimitStart)->Unit(benchmark::kMicrosecond);

namespace {
// The double-cage 4 kW motor of ExampleDoubleCageMotor with the same load and inertia (argument
// 1), and the same circuit without its second cage (argument 0), whose start runs up otherwise.
MotorDataSet DoubleCage(bool second) {
    MotorDataSet ds = ExampleDoubleCageMotor();
    if (!second) ds.Rr2 = ds.Xr2sigma = 0;
    return WithFan(ds);
}
} // namespace

static void BM_DynamicDolStartDoubleCage(benchmark::State& state) {
    RunMethod(state, StartingMethod::Dol, Settings(), DoubleCage(state.range(0) != 0));
}
BENCHMARK(BM_DynamicDolStartDoubleCage)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

static void BM_DynamicCurrentLimitStartDoubleCage(benchmark::State& state) {
    RunMethod(state, StartingMethod::SoftLimit, Settings(), DoubleCage(state.range(0) != 0));
}
BENCHMARK(BM_DynamicCurrentLimitStartDoubleCage)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

static void BM_DynamicDolStartThroughNetwork(benchmark::State& state) {
    RunMethod(state, StartingMethod::Dol, ThroughNetwork());
}
BENCHMARK(BM_DynamicDolStartThroughNetwork)->Unit(benchmark::kMicrosecond);

static void BM_DynamicCurrentLimitStartThroughNetwork(benchmark::State& state) {
    RunMethod(state, StartingMethod::SoftLimit, ThroughNetwork());
}
BENCHMARK(BM_DynamicCurrentLimitStartThroughNetwork)->Unit(benchmark::kMicrosecond);

// Both starts with the 201 points of their curves, as the window and the command line ask for them.
static void BM_DynamicStartWithCurves(benchmark::State& state) {
    const MotorDataSet ds = FourKilowattWithFan();
    DynamicResults r;
    for (auto _ : state) {
        const int error = ComputeDynamicStart(ds, Settings(), r, 201);
        benchmark::DoNotOptimize(error);
    }
}
BENCHMARK(BM_DynamicStartWithCurves)->Unit(benchmark::kMicrosecond);

// Both starts as the dynamic start window asks for them: the chart samples at 600 points (the
// peaks and changeovers merged in) and no evenly spaced curves.
static void BM_DynamicStartWithCharts(benchmark::State& state) {
    const MotorDataSet ds = FourKilowattWithFan();
    DynamicResults r;
    for (auto _ : state) {
        const int error = ComputeDynamicStart(ds, Settings(), r, 0, 600);
        benchmark::DoNotOptimize(error);
    }
}
BENCHMARK(BM_DynamicStartWithCharts)->Unit(benchmark::kMicrosecond);

// Every starting method of the reference motor in delta (so that star-delta applies), with the
// 201-point curves of the comparison's curve file, or (second argument 1) the 600-point chart
// samples the comparison window draws; the duty check of a 12 A starter on top.
static void BM_CompareSixMethods(benchmark::State& state) {
    const MotorDataSet ds = FourKilowattWithFan(false);
    DynamicSettings s = state.range(0) ? ThroughNetwork() : Settings();
    s.Starter = StarterDuty{12, "AC-53a: 3.5-17: 90-5", 4};
    const bool charts = state.range(1) != 0;
    ComparisonResults r;
    for (auto _ : state) {
        const int error = ComputeComparison(ds, s, r, charts ? 0 : 201, charts ? 600 : 0);
        benchmark::DoNotOptimize(error);
    }
    state.counters["star_delta_t_a_s"] = r.Methods[1].Outcome.RunUpTime.value_or(-1);
}
BENCHMARK(BM_CompareSixMethods)
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({0, 1})
    ->Args({1, 1})
    ->Unit(benchmark::kMillisecond);

namespace {
// The slowest start there was: 1e-5 kg m2 on the reference motor with its fan load, through a
// 30 kVA source and a 10 kVA transformer (4 %, 1.5 %), a 30 s ramp from 10 % in selected-time
// mode. The speed follows the ramp's balance point with a time constant of microseconds: the
// explicit stepper alone took some 300 000 steps per start, the stiff one a few hundred.
MotorDataSet StiffRampMotor() {
    MotorDataSet ds = FourKilowattWithFan();
    ds.LimitCurrentMode = false;
    ds.SoftStarterTime = 30;
    return ds;
}

DynamicSettings WeakNetworkTinyInertia() {
    DynamicSettings s = ThroughNetwork();
    s.Mechanical.MotorInertia = 1e-5;
    s.Network.ShortCircuitPower = 30e3;
    s.Network.TransformerPower = 10e3;
    s.Network.HasCable = false;
    return s;
}

// The slowest valid start a random search over motors, loads, inertias, networks, ramps, limits
// and methods found: the 75 kW catalogue motor (690 V, star) with a light linear load and
// 2.9e-3 kg m2, on a 25 kVA source, by autotransformer (tap 0.654, changeover at 0.379 ns). It
// stalls at 47 rpm; the explicit stepper follows it for the whole 60 s.
MotorDataSet SeventyFiveKilowatt() {
    MotorDataSet ds;
    PresetStartInputs(ds);
    ds.MechanicalPower = 75000, ds.LineVoltage = 690, ds.Frequency = 50, ds.LineCurrent = 78;
    ds.PowerFactor = 0.86, ds.RatedSpeed = 1485, ds.NoLoadLineCurrent = 23, ds.StarCoupling = true;
    DeriveRatedValues(ds);
    ds.Rs = ds.Rr = 0.09, ds.Xssigma = ds.Xrsigma = 0.55, ds.Xh = 17, ds.Riron = 553;
    ds.MotorFromList = true;
    ds.Preset = 0;
    ds.T1 = 0.0429482 * ds.RatedTorque / ds.SynchronousSpeed;
    if (RunStartComputation(ds, nullptr, nullptr) != 0) std::abort();
    ds.SoftStarterTime = 14.558;
    return ds;
}
} // namespace

static void BM_StiffRampStart(benchmark::State& state) {
    RunMethod(state, StartingMethod::SoftRamp, WeakNetworkTinyInertia(), StiffRampMotor());
}
BENCHMARK(BM_StiffRampStart)->Unit(benchmark::kMillisecond);

// The same motor and network with every method and the curves, as --compare asks for them.
static void BM_StiffComparison(benchmark::State& state) {
    const MotorDataSet ds = StiffRampMotor();
    const DynamicSettings s = WeakNetworkTinyInertia();
    ComparisonResults r;
    for (auto _ : state) {
        const int error = ComputeComparison(ds, s, r, 201);
        benchmark::DoNotOptimize(error);
    }
}
BENCHMARK(BM_StiffComparison)->Unit(benchmark::kMillisecond);

static void BM_SlowestStartFound(benchmark::State& state) {
    DynamicSettings s;
    s.Mechanical.MotorInertia = 0.00291775;
    s.Network.Enabled = true;
    s.Network.ShortCircuitPower = 25e3;
    s.Methods.ChangeoverSpeed = 0.378753;
    s.Methods.AutotransformerTap = 0.654224;
    RunMethod(state, StartingMethod::Autotransformer, s, SeventyFiveKilowatt());
}
BENCHMARK(BM_SlowestStartFound)->Unit(benchmark::kMillisecond);

// Both starts (direct-on-line and current limit at 3 In) as the dynamic start window asks for them,
// without (argument 0) and with (1) the overload relay of class 10: both relays followed cold and
// hot to where they no longer matter, the thermal capacity, and the time-current chart's curves.
static void BM_DynamicStartWithProtection(benchmark::State& state) {
    const MotorDataSet ds = FourKilowattWithFan();
    DynamicSettings settings = Settings();
    if (state.range(0) != 0) {
        ProtectionSettings p;
        p.Class = TripClass::Class10;
        p.WithstandCold = 15;
        p.WithstandHot = 10;
        settings.Protection = p;
    }
    DynamicResults r;
    for (auto _ : state) {
        const int error = ComputeDynamicStart(ds, settings, r, 0, 600);
        benchmark::DoNotOptimize(error);
        if (r.Protection) benchmark::DoNotOptimize(ComputeTimeCurrentCurves(r, ds.LineCurrent));
    }
    if (r.Protection) {
        state.counters["dol_level_pct"] = r.Protection->Dol.Cold.TripLevel;
        state.counters["soft_tcu_pct"] = r.Protection->SoftStarter.Cold.Tcu.value_or(-1);
    }
}
BENCHMARK(BM_DynamicStartWithProtection)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The two starts alone, each without and with the relay (no curves): what the relay adds to the
// integration itself.
static void BM_StartsWithRelayOnly(benchmark::State& state) {
    const MotorDataSet ds = FourKilowattWithFan();
    DynamicSettings settings = Settings();
    if (state.range(0) != 0) {
        ProtectionSettings p;
        p.Class = TripClass::Class10;
        settings.Protection = p;
    }
    DynamicResults r;
    for (auto _ : state) {
        const int error = ComputeDynamicStart(ds, settings, r, 0, 0);
        benchmark::DoNotOptimize(error);
    }
}
BENCHMARK(BM_StartsWithRelayOnly)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
