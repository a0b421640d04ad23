// The chart samples of both starts and every method against the results: reported peak, lowest
// voltage, dip and both sides of each changeover; the 201-point curves keep their bytes; a stalled
// start's peak is the largest current over its start-time limit.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "DynamicsFixtures.h"
#include "OperatingPoint.h"

namespace {
struct Case {
    const char* name;
    MotorDataSet ds;
    double t0, t1, t2, fan; // load t0 + t1 n + t2 n^2, plus fan Tn at synchronous speed
    bool limitMode;
    double inertia, limit, sk, transformer;  // a supply network when sk > 0
    std::uint64_t startHash, comparisonHash; // the 201-point curves before charts had samples
};

const std::vector<Case>& Cases() {
    static const std::vector<Case> cases = {
        {"4 kW star, fan", FourKilowatt(), 0, 0, 0, 1, true, 0.12, 60, 0, 0, 0x90ada2a870f9defe,
         0x61fd6cf46dbd96ff},
        {"4 kW delta, half fan, weak transformer", FourKilowatt(false), 0, 0, 0, 0.5, true, 0.12, 60, 20e6,
         25e3, 0x1b709978f2cb0611, 0xb205a1b8ad711417},
        {"5.5 kW delta, fan", FiveKilowattDelta(), 0, 0, 0, 1, true, 0.3, 60, 0, 0, 0xf34fe3131dd24dba,
         0x169a9c12284501a7},
        {"30 kW delta, network", ThirtyKilowattDelta(), 0, 0, 0, 0.8, true, 1.5, 60, 10e6, 250e3,
         0x85f1830158d1e54b, 0xeffdc88532d3cea7},
        // The soft-starter's 3 In never breaks the rotor away from 4 Tn (106 Nm).
        {"4 kW star, constant 4 Tn", FourKilowatt(), 106, 0, 0, 0, true, 0.12, 60, 0, 0, 0x23817db6eb70d103,
         0xe01a4e67428b3718},
        // Every start stalls where the load meets the torque curve, or at rest.
        {"4 kW delta, load crossing the torque curve", FourKilowatt(false), 105, 12, -0.6, 0, false, 0.12, 60,
         0, 0, 0x812b2860acfedcb0, 0x1aa53a9393102d2a},
        {"4 kW delta, fan, too long", FourKilowatt(false), 0, 0, 0, 1, false, 2, 0.5, 0, 0,
         0x09418048b10ce544, 0x6fa6ea05209b156b},
    };
    return cases;
}

MotorDataSet Motor(const Case& k) {
    MotorDataSet ds = k.ds;
    ds.T0 = k.t0, ds.T1 = k.t1, ds.LimitCurrentMode = k.limitMode;
    ds.T2 = k.t2 + k.fan * ds.RatedTorque / (ds.SynchronousSpeed * ds.SynchronousSpeed);
    return ds;
}

DynamicSettings Settings(const Case& k) {
    DynamicSettings s = WithInertia(k.inertia);
    s.Mechanical.StartTimeLimit = k.limit;
    s.Network.Enabled = k.sk > 0, s.Network.ShortCircuitPower = k.sk;
    s.Network.HasTransformer = k.transformer > 0, s.Network.TransformerPower = k.transformer;
    s.Network.TransformerUk = 4, s.Network.TransformerUr = 1.5;
    return s;
}

// FNV-1a over the bytes of every number, in order.
void Hash(std::uint64_t& h, const std::vector<double>& v) {
    for (double x : v) {
        unsigned char bytes[sizeof x];
        std::memcpy(bytes, &x, sizeof x);
        for (unsigned char b : bytes)
            h = (h ^ b) * 0x100000001b3;
    }
}
void Hash(std::uint64_t& h, const StartCurves& c) {
    for (const auto* v : {&c.Speed, &c.Current, &c.Torque, &c.LoadTorque, &c.Voltage, &c.BusVoltage})
        Hash(h, *v);
}

void ExpectChartShowsTheResults(const ChartCurves& chart, const StartOutcome& o, double tEnd,
                                std::optional<double> changeover) {
    const std::vector<double>& t = chart.Times;
    const StartCurves& c = chart.Values;
    ASSERT_GE(t.size(), 600u);
    EXPECT_TRUE(t.front() == 0 && std::is_sorted(t.begin(), t.end()));
    EXPECT_DOUBLE_EQ(t.back(), tEnd);
    EXPECT_REL(*std::max_element(c.Current.begin(), c.Current.end()),
               *(o.Stalled ? o.StalledPeakCurrentRatio : o.PeakCurrentRatio), 1e-9);
    EXPECT_REL(*std::min_element(c.Voltage.begin(), c.Voltage.end()), o.MinMotorVoltage / 100, 1e-9);
    EXPECT_NEAR(1 - *std::min_element(c.BusVoltage.begin(), c.BusVoltage.end()), o.MaxVoltageDip / 100,
                1e-12);
    // A time twice only at a changeover: the reduced connection, then the full one.
    int twice = 0;
    for (std::size_t k = 1; k < t.size(); ++k)
        if (t[k] == t[k - 1]) {
            ++twice;
            EXPECT_EQ(t[k], changeover.value_or(-1));
            EXPECT_TRUE(c.Speed[k] == c.Speed[k - 1] && c.Current[k] > c.Current[k - 1]);
        }
    EXPECT_EQ(twice, changeover && *changeover <= t.back() ? 1 : 0);
}
} // namespace

TEST(ChartSamples, ShowWhatTheResultsSayAndLeaveTheCurvesAsTheyWere) {
    for (const Case& k : Cases()) {
        SCOPED_TRACE(k.name);
        const MotorDataSet ds = Motor(k);
        const DynamicResults r = Computed(ds, Settings(k), 201, 600);
        ExpectChartShowsTheResults(r.DolChart, r.Dol, r.Times.back(), std::nullopt);
        ExpectChartShowsTheResults(r.SoftStarterChart, r.SoftStarter, r.Times.back(), std::nullopt);
        std::uint64_t h = 0xcbf29ce484222325;
        Hash(h, r.Times), Hash(h, r.DolCurves), Hash(h, r.SoftStarterCurves);
        EXPECT_EQ(h, k.startHash) << std::hex << h;

        ComparisonResults c;
        ASSERT_EQ(ComputeComparison(ds, Settings(k), c, 201, 600), 0);
        h = 0xcbf29ce484222325;
        Hash(h, c.Times);
        for (const MethodOutcome& m : c.Methods) {
            SCOPED_TRACE(MethodKey(m.Method));
            Hash(h, m.Curves);
            if (m.Applicable)
                ExpectChartShowsTheResults(m.Chart, m.Outcome, c.Times.back(), m.ChangeoverTime);
        }
        EXPECT_EQ(h, k.comparisonHash) << std::hex << h;
    }
}

TEST(StalledStart, PeakOverTheStartTimeLimitIsTheLargestCurrentItDraws) {
    int stalled = 0;
    for (const Case& k : Cases()) {
        SCOPED_TRACE(k.name);
        const MotorDataSet ds = Motor(k);
        const DynamicResults r = Computed(ds, Settings(k), 20001);
        for (const auto& [o, c] :
             {std::pair{&r.Dol, &r.DolCurves}, std::pair{&r.SoftStarter, &r.SoftStarterCurves}}) {
            ASSERT_EQ(o->StalledPeakCurrentRatio.has_value(), o->Stalled);
            if (!o->Stalled) continue;
            ++stalled;
            EXPECT_FALSE(o->PeakCurrentRatio || o->PeakLineCurrent);
            EXPECT_REL(*o->StalledPeakLineCurrent, *o->StalledPeakCurrentRatio * ds.LineCurrent, 1e-15);
            // Over the whole limit the model's own current at each of the 20 001 speeds and winding
            // voltages never beats the peak and comes close to it.
            EXPECT_DOUBLE_EQ(r.Times.back(), k.limit);
            double largest = 0;
            for (std::size_t i = 0; i < c->Speed.size(); ++i)
                largest =
                    std::max(largest, StatorCurrent(ds, 1 - c->Speed[i], c->Voltage[i] * ds.PhaseVoltage));
            EXPECT_LE(largest / ds.PhaseCurrent, *o->StalledPeakCurrentRatio * (1 + 1e-9));
            EXPECT_GE(largest / ds.PhaseCurrent, *o->StalledPeakCurrentRatio * (1 - 1e-6));
        }
    }
    EXPECT_EQ(stalled, 5);
}
