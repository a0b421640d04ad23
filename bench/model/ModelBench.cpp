// Cost of the results computation behind the main window and of the ramp-time search.
#include <benchmark/benchmark.h>

#include "ExampleMotor.h"
#include "StartSimulation.h"

namespace {
MotorDataSet FourKilowatt(double limit) {
    MotorDataSet ds = ExampleFourKilowattMotor();
    ds.LimitCurrentMode = true;
    ds.DesiredImaxIn = limit;
    return ds;
}

class NullSink : public CurvePointSink {
public:
    void AddPoints(double x, double a, double b, double c, double d) override {
        benchmark::DoNotOptimize(x + a + b + c + d);
    }
};
} // namespace

// Identification, search (ramp 4.20 s: 85 trials), time curves and static curves.
static void BM_FullResultsComputation(benchmark::State& state) {
    MotorDataSet ds = FourKilowatt(3);
    ds.ShowStaticCurves = true;
    NullSink timeSink, staticSink;
    for (auto _ : state) {
        const int error = RunStartComputation(ds, &timeSink, &staticSink);
        benchmark::DoNotOptimize(error);
    }
    state.counters["ramp_s"] = ds.SoftStarterTime;
}
BENCHMARK(BM_FullResultsComputation)->Unit(benchmark::kMicrosecond);

static void BM_SearchRampTime(benchmark::State& state) {
    MotorDataSet ds = FourKilowatt(3);
    IdentifyEquivalentDiagram(ds);
    for (auto _ : state) benchmark::DoNotOptimize(SearchRampTime(ds));
}
BENCHMARK(BM_SearchRampTime)->Unit(benchmark::kMicrosecond);

// A limit no ramp reaches: the search runs to its bound of 3600 s (72001 trials).
static void BM_SearchToBound(benchmark::State& state) {
    MotorDataSet ds = FourKilowatt(0.5);
    IdentifyEquivalentDiagram(ds);
    for (auto _ : state) benchmark::DoNotOptimize(SearchRampTime(ds));
}
BENCHMARK(BM_SearchToBound)->Unit(benchmark::kMicrosecond);

static void BM_ComputeStartCurves(benchmark::State& state) {
    MotorDataSet ds = FourKilowatt(3);
    IdentifyEquivalentDiagram(ds);
    ds.SoftStarterTime = 4.2;
    for (auto _ : state) ComputeStartCurves(ds);
}
BENCHMARK(BM_ComputeStartCurves)->Unit(benchmark::kMicrosecond);
