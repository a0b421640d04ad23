// Cost of a study: putting one into the data set (once per case of a sweep), writing and reading
// its text, and a refused file that must be traced to the line of its value.
#include <benchmark/benchmark.h>

#include "ExampleMotor.h"
#include "Study.h"

namespace {
Study FourKilowattStudy() {
    MotorDataSet ds = ExampleFourKilowattMotor();
    ds.LimitCurrentMode = true;
    ds.DesiredImaxIn = 3;
    ds.T2 = 0.02;
    ds.ShowStaticCurves = true;
    DynamicSettings settings;
    settings.Mechanical.MotorInertia = 0.012;
    settings.Network.Enabled = true;
    settings.Network.ShortCircuitPower = 50e6;
    settings.Starter = StarterDuty{9, "AC-53a: 3.5-17: 90-5", 6};
    return StudyFromSettings(ds, settings, {.language = Language::English, .loadKind = LoadKind::Squared});
}
} // namespace

static void BM_ApplyStudy(benchmark::State& state) {
    const Study study = FourKilowattStudy();
    MotorDataSet ds;
    DynamicSettings settings;
    for (auto _ : state) {
        const int error = ApplyStudy(study, ds, settings);
        benchmark::DoNotOptimize(error);
    }
}
BENCHMARK(BM_ApplyStudy)->Unit(benchmark::kMicrosecond);

static void BM_StudyText(benchmark::State& state) {
    const Study study = FourKilowattStudy();
    for (auto _ : state)
        benchmark::DoNotOptimize(StudyText(study));
}
BENCHMARK(BM_StudyText)->Unit(benchmark::kMicrosecond);

static void BM_ParseStudy(benchmark::State& state) {
    const std::string text = StudyText(FourKilowattStudy());
    Study study;
    for (auto _ : state) {
        const StudyRefusal r = ParseStudy(text, study);
        benchmark::DoNotOptimize(r.line);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_ParseStudy)->Unit(benchmark::kMicrosecond);

// A rated speed the frequency cannot give: every field is tried to find the one to blame.
static void BM_ParseRefusedStudy(benchmark::State& state) {
    std::string text = StudyText(FourKilowattStudy());
    text.replace(text.find("\"RatedSpeed\": 1440.0"), 20, "\"RatedSpeed\": 9000.0");
    Study study;
    for (auto _ : state) {
        const StudyRefusal r = ParseStudy(text, study);
        benchmark::DoNotOptimize(r.line);
    }
}
BENCHMARK(BM_ParseRefusedStudy)->Unit(benchmark::kMicrosecond);
