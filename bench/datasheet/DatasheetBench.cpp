// Cost of identifying a double cage from a data sheet: the 4 kW motor with an exact circuit
// (Ia/In 5.5) and with only a best fit (Ia/In 6.4, the typical value), and a batch of 1000 data
// sheets: the delivered catalogue, then its rows again with Ia/In, Ta/Tn and Tk/Tn moved by up to
// +-6 % (a fixed-seed draw), so that every sheet is a different one.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "Datasheet.h"
#include "Identification.h"

namespace {
MotorDataSet Motor(double kw, double volts, double amps, double pf, double rpm, bool star, double ia, double ta,
                   double tk) {
    MotorDataSet ds;
    ds.MechanicalPower = kw * 1000;
    ds.LineVoltage = volts;
    ds.LineCurrent = amps;
    ds.PowerFactor = pf;
    ds.Frequency = 50;
    ds.RatedSpeed = rpm;
    ds.StarCoupling = star;
    ds.LockedRotorCurrentRatio = ia;
    ds.LockedRotorTorqueRatio = ta;
    ds.BreakdownTorqueRatio = tk;
    DeriveRatedValues(ds);
    return ds;
}

std::vector<MotorDataSet> Catalogue() {
    std::ifstream in(DATASHEET_CATALOGUE);
    std::string line;
    std::getline(in, line);
    std::vector<MotorDataSet> rows;
    while (std::getline(in, line)) {
        std::vector<std::string> c;
        std::stringstream cells(line);
        for (std::string cell; std::getline(cells, cell, ';');) c.push_back(cell);
        if (c.size() < 12) continue;
        const auto num = [&](int i) { return std::strtod(c[i].c_str(), nullptr); };
        rows.push_back(Motor(num(2) / 1000, num(3)  /* the table's power is in W */, num(4), num(5), num(7), c[8] == "Star", num(9), num(10), num(11)));
    }
    return rows;
}

std::vector<MotorDataSet> Batch() {
    const std::vector<MotorDataSet> catalogue = Catalogue();
    if (catalogue.empty()) std::abort();
    std::vector<MotorDataSet> batch;
    std::uint64_t state = 20260419;
    const auto draw = [&state] {
        state = 6364136223846793005ULL * state + 1442695040888963407ULL;
        return 0.94 + 0.12 * static_cast<double>(state >> 11) / 9007199254740992.0;
    };
    for (std::size_t i = 0; batch.size() < 1000; ++i) {
        MotorDataSet ds = catalogue[i % catalogue.size()];
        if (i >= catalogue.size()) {
            ds.LockedRotorCurrentRatio *= draw();
            ds.LockedRotorTorqueRatio *= draw();
            ds.BreakdownTorqueRatio = std::max(ds.BreakdownTorqueRatio * draw(), ds.LockedRotorTorqueRatio);
        }
        batch.push_back(ds);
    }
    return batch;
}

void Identify(benchmark::State& state, const MotorDataSet& sheet) {
    for (auto _ : state) {
        MotorDataSet ds = sheet;
        benchmark::DoNotOptimize(IdentifyFromDatasheet(ds));
        benchmark::DoNotOptimize(ds.Rr2);
    }
    MotorDataSet ds = sheet;
    IdentifyFromDatasheet(ds);
    state.counters["exact"] = ds.Fit.Exact;
    state.counters["dev_Ia"] = ds.Fit.Deviations[4];
}
} // namespace

static void BM_DatasheetExact(benchmark::State& state) {
    Identify(state, Motor(4, 400, 8.5, 0.82, 1430, true, 5.5, 2.5, 2.9));
}
BENCHMARK(BM_DatasheetExact)->Unit(benchmark::kMicrosecond);

static void BM_DatasheetBestFit(benchmark::State& state) {
    Identify(state, Motor(4, 400, 8.5, 0.82, 1430, true, 6.4, 2.5, 2.9));
}
BENCHMARK(BM_DatasheetBestFit)->Unit(benchmark::kMicrosecond);

// The whole batch (its time per data sheet is the inverse of items_per_second) and the shares of its
// outcomes in %.
static void BM_DatasheetBatch(benchmark::State& state) {
    const std::vector<MotorDataSet> batch = Batch();
    const auto priority = static_cast<FitPriority>(state.range(0));
    int exact = 0, accepted = 0, refused = 0;
    for (auto _ : state) {
        exact = accepted = refused = 0;
        for (const MotorDataSet& sheet : batch) {
            MotorDataSet ds = sheet;
            ds.Priority = priority;
            if (IdentifyFromDatasheet(ds) != 0) ++refused;
            else if (ds.Fit.Exact) ++exact;
            else ++accepted;
        }
    }
    state.SetItemsProcessed(state.iterations() * batch.size());
    state.counters["exact_pct"] = exact / 10.0;
    state.counters["accepted_pct"] = accepted / 10.0;
    state.counters["refused_pct"] = refused / 10.0;
}
BENCHMARK(BM_DatasheetBatch)
    ->Arg(static_cast<int>(FitPriority::Torque))
    ->Arg(static_cast<int>(FitPriority::Current))
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);
