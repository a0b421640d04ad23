// What the charts draw against what the results say: the largest current of every start's chart
// samples is its reported peak, the changeovers are there on both sides of their jump, the
// evenly spaced curves keep their bytes; a stalled start's peak over its start-time limit.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include "DynamicsFixtures.h"
#include "OperatingPoint.h"

namespace {
constexpr int ChartPoints = 800;

struct Case {
    const char* name;
    MotorDataSet ds;
    DynamicSettings settings;
    std::uint64_t startHash, comparisonHash; // of the 201-point curves, as computed before charts had samples
};

MotorDataSet WithLoad(MotorDataSet ds, double t0, double t2Share, bool limitMode = true) {
    ds.T0 = t0, ds.T1 = 0;
    ds.T2 = t2Share * ds.RatedTorque / (ds.SynchronousSpeed * ds.SynchronousSpeed);
    ds.LimitCurrentMode = limitMode;
    return ds;
}

// Passes the check at synchronous speed, meets the torque curve at 624.8 rpm: every start stalls.
MotorDataSet Crossing(MotorDataSet ds) {
    ds.T0 = 105, ds.T1 = 12, ds.T2 = -0.6;
    ds.LimitCurrentMode = false;
    return ds;
}

DynamicSettings Network(DynamicSettings s, double sk, double transformer, double cable) {
    s.Network.Enabled = true;
    s.Network.ShortCircuitPower = sk;
    s.Network.HasTransformer = transformer > 0;
    s.Network.TransformerPower = transformer;
    s.Network.TransformerUk = 4;
    s.Network.TransformerUr = 1.5;
    s.Network.HasCable = cable > 0;
    s.Network.CableLength = cable;
    s.Network.CableSection = 4;
    return s;
}

DynamicSettings Limited(DynamicSettings s, double limit) {
    s.Mechanical.StartTimeLimit = limit;
    return s;
}

const std::vector<Case>& Cases() {
    static const std::vector<Case> cases = [] {
        const MotorDataSet star = FourKilowatt(), delta = FourKilowatt(false);
        const double tn = star.RatedTorque;
        return std::vector<Case>{
            {"4 kW star, fan", WithLoad(star, 0, 1), WithInertia(0.12), 0x90ada2a870f9defeull,
             0x61fd6cf46dbd96ffull},
            {"4 kW delta, half fan, network", WithLoad(delta, 0, 0.5),
             Network(WithInertia(0.12), 20e6, 160e3, 50), 0x2b49727b866b2a1cull, 0x4d6729486032b411ull},
            {"5.5 kW delta, fan", WithLoad(FiveKilowattDelta(), 0, 1), WithInertia(0.3),
             0xf34fe3131dd24dbaull, 0x169a9c12284501a7ull},
            {"30 kW delta, weak transformer", WithLoad(ThirtyKilowattDelta(), 0, 0.8),
             Network(WithInertia(1.5), 10e6, 250e3, 0), 0x85f1830158d1e54bull, 0xeffdc88532d3cea7ull},
            {"4 kW star, constant 4 Tn", WithLoad(star, 4 * tn, 0), WithInertia(0.12), 0x30a7807378ebc58bull,
             0xc9cda8e11d48a45cull},
            {"4 kW delta, load crossing the torque curve, ramp", Crossing(delta), WithInertia(0.12),
             0x812b2860acfedcb0ull, 0x1aa53a9393102d2aull},
            {"4 kW delta, fan, too long", WithLoad(delta, 0, 1, false), Limited(WithInertia(2), 0.5),
             0x09418048b10ce544ull, 0x6fa6ea05209b156bull},
        };
    }();
    return cases;
}

// FNV-1a over the bytes of every number, in order.
struct Hash {
    std::uint64_t value = 0xcbf29ce484222325ull;
    void Add(const std::vector<double>& v) {
        for (double x : v) {
            unsigned char bytes[sizeof x];
            std::memcpy(bytes, &x, sizeof x);
            for (unsigned char b : bytes)
                value = (value ^ b) * 0x100000001b3ull;
        }
    }
    void Add(const StartCurves& c) {
        for (const auto* v : {&c.Speed, &c.Current, &c.Torque, &c.LoadTorque, &c.Voltage, &c.BusVoltage})
            Add(*v);
    }
};

std::optional<double> ReportedPeak(const StartOutcome& o) {
    return o.Stalled ? o.StalledPeakCurrentRatio : o.PeakCurrentRatio;
}

// A chart's samples against the results of its start, over [0, tEnd].
void ExpectChartShowsTheResults(const ChartCurves& chart, const StartOutcome& o, double tEnd,
                                std::optional<double> changeover, bool network) {
    const std::vector<double>& t = chart.Times;
    ASSERT_GE(t.size(), std::size_t(ChartPoints));
    ASSERT_LE(t.size(), std::size_t(ChartPoints) + 5); // three extremes and both sides of one jump at most
    for (const auto* v :
         {&chart.Values.Speed, &chart.Values.Current, &chart.Values.Voltage, &chart.Values.BusVoltage})
        ASSERT_EQ(v->size(), t.size());
    EXPECT_EQ(t.front(), 0);
    EXPECT_DOUBLE_EQ(t.back(), tEnd); // the curves' last time, 200 tEnd / 200
    tEnd = t.back();
    EXPECT_TRUE(std::is_sorted(t.begin(), t.end()));
    // Every evenly spaced time is there.
    for (int k = 0; k < ChartPoints; k += 37)
        EXPECT_TRUE(std::binary_search(t.begin(), t.end(), k * tEnd / (ChartPoints - 1))) << k;

    const auto& c = chart.Values;
    ASSERT_TRUE(ReportedPeak(o));
    EXPECT_REL(*std::max_element(c.Current.begin(), c.Current.end()), *ReportedPeak(o), 1e-9);
    EXPECT_REL(*std::min_element(c.Voltage.begin(), c.Voltage.end()), o.MinMotorVoltage / 100, 1e-9);
    if (network) {
        EXPECT_NEAR(1 - *std::min_element(c.BusVoltage.begin(), c.BusVoltage.end()), o.MaxVoltageDip / 100,
                    1e-12);
    }

    // A time appears twice only at a changeover: first on the reduced connection, then on the full one.
    int twice = 0;
    for (std::size_t k = 1; k < t.size(); ++k)
        if (t[k] == t[k - 1]) {
            ++twice;
            ASSERT_TRUE(changeover);
            EXPECT_EQ(t[k], *changeover);
            EXPECT_EQ(c.Speed[k], c.Speed[k - 1]);
            EXPECT_GT(c.Voltage[k], c.Voltage[k - 1]);
            EXPECT_GT(c.Current[k], c.Current[k - 1]);
        }
    EXPECT_EQ(twice, changeover && *changeover <= tEnd ? 1 : 0);
}
} // namespace

TEST(ChartSamples, ShowTheReportedPeaksAndBothSidesOfEachChangeover) {
    for (const Case& k : Cases()) {
        SCOPED_TRACE(k.name);
        const bool network = k.settings.Network.Enabled;
        const DynamicResults r = Computed(k.ds, k.settings, 201, ChartPoints);
        ExpectChartShowsTheResults(r.DolChart, r.Dol, r.Times.back(), std::nullopt, network);
        ExpectChartShowsTheResults(r.SoftStarterChart, r.SoftStarter, r.Times.back(), std::nullopt, network);

        ComparisonResults c;
        ASSERT_EQ(ComputeComparison(k.ds, k.settings, c, 201, ChartPoints), 0);
        for (const MethodOutcome& m : c.Methods) {
            SCOPED_TRACE(MethodKey(m.Method));
            if (m.Applicable)
                ExpectChartShowsTheResults(m.Chart, m.Outcome, c.Times.back(), m.ChangeoverTime, network);
            else
                EXPECT_TRUE(m.Chart.Times.empty());
        }
    }
}

TEST(ChartSamples, CurvesKeepTheirBytesAndChartsAloneCostNoCurves) {
    for (const Case& k : Cases()) {
        SCOPED_TRACE(k.name);
        const DynamicResults curves = Computed(k.ds, k.settings, 201);
        const DynamicResults both = Computed(k.ds, k.settings, 201, ChartPoints);
        const DynamicResults charts = Computed(k.ds, k.settings, 0, ChartPoints);
        Hash start;
        start.Add(curves.Times);
        start.Add(curves.DolCurves);
        start.Add(curves.SoftStarterCurves);
        EXPECT_EQ(start.value, k.startHash) << std::hex << start.value;
        EXPECT_TRUE(curves.DolChart.Times.empty());
        EXPECT_EQ(both.Times, curves.Times);
        EXPECT_EQ(both.SoftStarterCurves.Current, curves.SoftStarterCurves.Current);
        EXPECT_TRUE(charts.Times.empty() && charts.DolCurves.Speed.empty());
        EXPECT_EQ(charts.SoftStarterChart.Values.Current, both.SoftStarterChart.Values.Current);

        ComparisonResults c;
        ASSERT_EQ(ComputeComparison(k.ds, k.settings, c, 201), 0);
        Hash comparison;
        comparison.Add(c.Times);
        for (const MethodOutcome& m : c.Methods)
            comparison.Add(m.Curves);
        EXPECT_EQ(comparison.value, k.comparisonHash) << std::hex << comparison.value;
    }
}

TEST(StalledStart, PeakOverTheStartTimeLimitIsTheLargestCurrentItDraws) {
    int stalled = 0;
    for (const Case& k : Cases()) {
        SCOPED_TRACE(k.name);
        const DynamicResults r = Computed(k.ds, k.settings, 20001);
        for (const StartOutcome* o : {&r.Dol, &r.SoftStarter}) {
            if (!o->Stalled) {
                EXPECT_FALSE(o->StalledPeakCurrentRatio || o->StalledPeakLineCurrent);
                continue;
            }
            ++stalled;
            EXPECT_FALSE(o->PeakCurrentRatio || o->PeakLineCurrent);
            ASSERT_TRUE(o->StalledPeakCurrentRatio && o->StalledPeakLineCurrent);
            EXPECT_REL(*o->StalledPeakLineCurrent, *o->StalledPeakCurrentRatio * k.ds.LineCurrent, 1e-15);
            // The curves run to the start-time limit; the model's own current at each of their
            // 20 001 speeds and winding voltages never beats the peak and comes close to it.
            EXPECT_DOUBLE_EQ(r.Times.back(), k.settings.Mechanical.StartTimeLimit);
            const StartCurves& c = o == &r.Dol ? r.DolCurves : r.SoftStarterCurves;
            double largest = 0;
            for (std::size_t i = 0; i < c.Speed.size(); ++i)
                largest =
                    std::max(largest, StatorCurrent(k.ds, 1 - c.Speed[i], c.Voltage[i] * k.ds.PhaseVoltage) /
                                          k.ds.PhaseCurrent);
            EXPECT_LE(largest, *o->StalledPeakCurrentRatio * (1 + 1e-9));
            EXPECT_GE(largest, *o->StalledPeakCurrentRatio * (1 - 1e-6));
        }
    }
    EXPECT_EQ(stalled, 5);
}
