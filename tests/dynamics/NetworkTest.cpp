#include <gtest/gtest.h>

#include <cmath>
#include <complex>

#include "Complex.h"
#include "DynamicsFixtures.h"
#include "StartModel.h"

namespace {
using C = std::complex<double>;

// The input impedance at standstill, by the model's complex functions.
C InputImpedanceAtStandstill(const MotorDataSet& ds) {
    Complex zm, zp, z;
    ComplexParallel({ds.Riron, 0}, {0, ds.Xh}, zm);
    ComplexParallel(zm, {ds.Rr, ds.Xrsigma}, zp);
    ComplexAdd({ds.Rs, ds.Xssigma}, zp, z);
    return {z.Re, z.Im};
}
C StarEquivalent(const MotorDataSet& ds) {
    return InputImpedanceAtStandstill(ds) / (ds.StarCoupling ? 1.0 : 3.0);
}

struct Net {
    double sk = 0, rx = 0.1;         // 0: infinite source
    double st = 0, uk = 0, ur = 0;   // 0: no transformer
    double length = 0, section = 16; // 0: no cable
};

SupplyNetwork Supply(const Net& n) {
    SupplyNetwork s;
    s.Enabled = true;
    if (n.sk > 0) s.ShortCircuitPower = n.sk;
    s.SourceRX = n.rx;
    s.HasTransformer = n.st > 0;
    s.TransformerPower = n.st, s.TransformerUk = n.uk, s.TransformerUr = n.ur;
    s.HasCable = n.length > 0;
    s.CableLength = n.length, s.CableSection = n.section;
    return s;
}

// The same impedances written out here: source, transformer, cable.
C SourceAndTransformer(const Net& n, double u) {
    C z;
    if (n.sk > 0) {
        const double x = u * u / n.sk / std::sqrt(1 + n.rx * n.rx);
        z += C(n.rx * x, x);
    }
    if (n.st > 0) {
        const double zt = n.uk / 100 * u * u / n.st, rt = n.ur / 100 * u * u / n.st;
        z += C(rt, std::sqrt(zt * zt - rt * rt));
    }
    return z;
}
C Cable(const Net& n) {
    return n.length > 0 ? C(0.0178 * n.length / n.section, 0.08 * n.length / 1000) : C();
}

DynamicSettings On(const Net& n, double j = 0.12) {
    DynamicSettings s = WithInertia(j);
    s.Network = Supply(n);
    return s;
}

void Fan(MotorDataSet& ds) {
    ds.T0 = ds.T1 = 0, ds.T2 = ds.RatedTorque / (ds.SynchronousSpeed * ds.SynchronousSpeed);
}

void ExpectSame(const StartOutcome& a, const StartOutcome& b, double tolerance) {
    ASSERT_EQ(a.Stalled, b.Stalled);
    ASSERT_TRUE(a.RunUpTime && b.RunUpTime);
    EXPECT_REL(*a.RunUpTime, *b.RunUpTime, tolerance);
    EXPECT_REL(*a.RotorEnergy, *b.RotorEnergy, tolerance);
    EXPECT_REL(*a.StatorEnergy, *b.StatorEnergy, tolerance);
    EXPECT_REL(*a.RmsCurrent, *b.RmsCurrent, tolerance);
    EXPECT_REL(*a.PeakLineCurrent, *b.PeakLineCurrent, tolerance);
    EXPECT_NEAR(*a.MinAcceleratingTorqueRatio, *b.MinAcceleratingTorqueRatio, tolerance);
    EXPECT_REL(*a.OperatingSpeed, *b.OperatingSpeed, tolerance);
    EXPECT_REL(a.StartingTorqueRatio, b.StartingTorqueRatio, tolerance);
    EXPECT_REL(a.MinMotorVoltage, b.MinMotorVoltage, tolerance);
}
} // namespace

TEST(Network, StandstillDipOfADirectStartIsTheVoltageDividersWithoutCable) {
    const Net networks[] = {
        {0.5e6, 0.1}, {20e6, 0.15, 100e3, 4, 1.5}, {0, 0.1, 63e3, 6, 2}, {2e6, 0.3, 250e3, 4, 1}};
    for (MotorDataSet ds : {FourKilowatt(true), FourKilowatt(false), FiveKilowattDelta()}) {
        Fan(ds);
        const C zy = StarEquivalent(ds);
        for (const Net& n : networks) {
            const C znet = SourceAndTransformer(n, ds.LineVoltage);
            const double ratio = std::abs(zy / (zy + znet));
            const DynamicResults r = Computed(ds, On(n), 11);
            EXPECT_REL(r.DolCurves.BusVoltage[0], ratio, 1e-12) << ds.MechanicalPower << " " << n.sk;
            EXPECT_REL(r.DolCurves.Voltage[0], ratio, 1e-12);
            // The largest dip is the one at standstill, where the current is largest.
            EXPECT_NEAR(r.Dol.MaxVoltageDip, (1 - ratio) * 100, 1e-9);
            EXPECT_NEAR(r.Dol.MinMotorVoltage, ratio * 100, 1e-9);
            // The torque at standstill falls with the square of the voltage.
            const DynamicResults stiff = Computed(ds, WithInertia(0.12));
            EXPECT_REL(r.Dol.StartingTorqueRatio, stiff.Dol.StartingTorqueRatio * ratio * ratio, 1e-12);
            EXPECT_REL(*r.Dol.PeakCurrentRatio, *stiff.Dol.PeakCurrentRatio * ratio, 1e-9);
        }
    }
}

TEST(Network, BusbarIsTheMotorVoltagePlusTheCableDrop) {
    for (MotorDataSet ds : {FourKilowatt(true), FiveKilowattDelta()}) {
        Fan(ds);
        const Net n{5e6, 0.1, 160e3, 4, 1.2, 120, 2.5};
        const C zy = StarEquivalent(ds), zc = Cable(n);
        const C znet = SourceAndTransformer(n, ds.LineVoltage) + zc;
        const DynamicResults r = Computed(ds, On(n), 11);
        const double motor = std::abs(zy / (zy + znet));
        EXPECT_REL(r.DolCurves.Voltage[0], motor, 1e-12);
        // U_bus = U_m + Z_c I with I = U_m / Z_Y.
        EXPECT_REL(r.DolCurves.BusVoltage[0], motor * std::abs(1.0 + zc / zy), 1e-12);
        EXPECT_GT(r.DolCurves.BusVoltage[0], r.DolCurves.Voltage[0]);
        // Through the soft-starter at its preset: the controller is at the motor end of the cable.
        const C drop = ds.Preset * zy / (zy + ds.Preset * znet);
        EXPECT_REL(r.SoftStarterCurves.Voltage[0], std::abs(drop), 1e-12);
        EXPECT_REL(r.SoftStarterCurves.BusVoltage[0],
                   std::abs(1.0 - SourceAndTransformer(n, ds.LineVoltage) * drop / zy), 1e-12);
    }
}

TEST(Network, HugeShortCircuitPowerGivesTheStiffSupply) {
    for (MotorDataSet ds : {FourKilowatt(true), FiveKilowattDelta()}) {
        Fan(ds);
        for (int mode = 0; mode < 3; ++mode) {
            ds.LimitCurrentMode = mode > 0;
            if (mode == 2) ds.SoftStarterTime = 0.6; // the cap at work
            const DynamicResults stiff = Computed(ds, WithInertia(0.2));
            // The strongest source accepted, 100 GVA: |Z_k| about 1e-6 of the motor's impedance.
            const DynamicResults strong = Computed(ds, On({1e11, 0.1}, 0.2));
            ExpectSame(strong.Dol, stiff.Dol, 1e-5);
            ExpectSame(strong.SoftStarter, stiff.SoftStarter, 1e-5);
            EXPECT_LT(strong.Dol.MaxVoltageDip, 1e-4);
            EXPECT_FALSE(strong.Dol.VoltageDipExceeded);
        }
    }
}

TEST(Network, WeakerSupplyStartsLongerWithLessCurrent) {
    MotorDataSet ds = FourKilowatt();
    Fan(ds);
    ds.SoftStarterTime = 1; // short enough for a cap of 3.4 In to act on a strong supply
    ds.DesiredImaxIn = 3.4;
    double previousDol = 0, previousRamp = 0, previousDolPeak = HUGE_VAL, previousRampPeak = HUGE_VAL;
    double previousDip = 0;
    int capped = 0, uncapped = 0;
    for (double sk : {50e6, 5e6, 1e6, 500e3, 200e3, 100e3, 60e3, 40e3, 30e3}) {
        ds.LimitCurrentMode = false;
        const DynamicResults ramp = Computed(ds, On({sk, 0.2}));
        ds.LimitCurrentMode = true;
        const DynamicResults limit = Computed(ds, On({sk, 0.2}));
        ASSERT_FALSE(ramp.Dol.Stalled || ramp.SoftStarter.Stalled || limit.SoftStarter.Stalled) << sk;
        EXPECT_GT(*ramp.Dol.RunUpTime, previousDol) << sk;
        EXPECT_GT(*ramp.SoftStarter.RunUpTime, previousRamp) << sk;
        EXPECT_LT(*ramp.Dol.PeakCurrentRatio, previousDolPeak) << sk;
        EXPECT_LT(*ramp.SoftStarter.PeakCurrentRatio, previousRampPeak) << sk;
        EXPECT_GT(ramp.Dol.MaxVoltageDip, previousDip) << sk;
        previousDol = *ramp.Dol.RunUpTime, previousRamp = *ramp.SoftStarter.RunUpTime;
        previousDolPeak = *ramp.Dol.PeakCurrentRatio, previousRampPeak = *ramp.SoftStarter.PeakCurrentRatio;
        previousDip = ramp.Dol.MaxVoltageDip;
        // The cap holds the peak at the limit when the ramp alone exceeds it, else changes nothing.
        if (*ramp.SoftStarter.PeakCurrentRatio > ds.DesiredImaxIn) {
            EXPECT_NEAR(*limit.SoftStarter.PeakCurrentRatio, ds.DesiredImaxIn, 1e-9) << sk;
            EXPECT_GT(*limit.SoftStarter.RunUpTime, *ramp.SoftStarter.RunUpTime);
            ++capped;
        } else {
            EXPECT_EQ(*limit.SoftStarter.PeakCurrentRatio, *ramp.SoftStarter.PeakCurrentRatio) << sk;
            EXPECT_EQ(*limit.SoftStarter.RunUpTime, *ramp.SoftStarter.RunUpTime) << sk;
            ++uncapped;
        }
    }
    EXPECT_GT(capped, 0);
    EXPECT_GT(uncapped, 0);
}

TEST(Network, CurrentLimitHoldsTheLineCurrentThroughTheNetwork) {
    for (MotorDataSet ds : {FourKilowatt(true), FiveKilowattDelta()}) {
        Fan(ds);
        ds.SoftStarterTime = 0.5;
        const Net n{2e6, 0.2, 100e3, 4, 1.5, 80, 6};
        const DynamicResults r = Computed(ds, On(n, 0.4), 2001);
        ASSERT_FALSE(r.SoftStarter.Stalled);
        const double k = ds.DesiredImaxIn;
        EXPECT_NEAR(*r.SoftStarter.PeakCurrentRatio, k, 1e-12 * k);
        int held = 0;
        for (std::size_t i = 0; i < r.Times.size(); ++i) {
            EXPECT_LE(r.SoftStarterCurves.Current[i], k * (1 + 1e-12)) << r.Times[i];
            if (r.SoftStarterCurves.Current[i] > k * (1 - 1e-12)) ++held;
        }
        EXPECT_GT(held, 200);
        // The dip of the held current is smaller than the direct start's.
        EXPECT_LT(r.SoftStarter.MaxVoltageDip, r.Dol.MaxVoltageDip);
        EXPECT_GT(r.SoftStarter.MaxVoltageDip, 0);
    }
}

TEST(Network, QuasiStaticSpeedsThroughTheNetworkAreExact) {
    MotorDataSet ds = FiveKilowattDelta();
    ds.T0 = 0.2 * ds.RatedTorque, ds.T2 = 0.8 * ds.RatedTorque / (ds.SynchronousSpeed * ds.SynchronousSpeed);
    const Net n{1e6, 0.2, 63e3, 6, 2, 60, 4};
    const NetworkImpedances z = SupplyImpedances(Supply(n), ds);
    const Cx kt{z.Source.R + z.Transformer.R, z.Source.X + z.Transformer.X};
    const StartModel model(ds, true, kt);
    Stage st;
    st.delta = true;
    st.vwRef = ds.LineVoltage;
    st.lineFactor = Sqrt3;
    st.upstream = true;
    st.zUp = kt + Cx{z.Cable.R, z.Cable.X};
    const QuasiStatic q = FindQuasiStatic(model, st);
    ASSERT_TRUE(q.operatingSpeed);
    EXPECT_FALSE(q.stallSpeed);
    const double ns = ds.SynchronousSpeed, sop = 1 - *q.operatingSpeed / ns;
    EXPECT_NEAR(model.Accelerating(st, sop), 0, 1e-12 * ds.RatedTorque);
    EXPECT_GT(model.Accelerating(st, sop * 1.001), 0);
    // The largest full-output torque through the network.
    const double sb = q.breakdownSlip;
    ASSERT_LT(sb, 1);
    const double tb = model.At(st, 1, sb).torque;
    for (double f : {1 - 1e-4, 1 + 1e-4, 0.5, 2.0})
        EXPECT_GT(tb, model.At(st, 1, sb * f).torque) << f;
    // Lower than on the stiff supply, at a slightly smaller slip.
    const StartModel stiff(ds, false, {});
    Stage direct = st;
    direct.upstream = false;
    EXPECT_LT(tb, stiff.At(direct, 1, stiff.BreakdownSlip(direct)).torque);
}

TEST(Network, SupplyTooWeakIsAStallNotAnError) {
    MotorDataSet ds = FourKilowatt();
    ds.T0 = 0.8 * ds.RatedTorque;
    // 25 kVA of short-circuit power: the locked-rotor torque falls below the load.
    DynamicResults r;
    ASSERT_EQ(ComputeDynamicStart(ds, On({25e3, 0.3}), r, 51), 0);
    EXPECT_TRUE(r.Dol.Stalled && r.SoftStarter.Stalled);
    EXPECT_FALSE(r.Dol.TooLong);
    EXPECT_EQ(*r.Dol.StallSpeed, 0);
    EXPECT_GT(r.Dol.MaxVoltageDip, 50);
    EXPECT_TRUE(r.Dol.VoltageDipExceeded);
    for (double n : r.DolCurves.Speed)
        EXPECT_EQ(n, 0);
    // Weaker still: no operating point at all.
    ASSERT_EQ(ComputeDynamicStart(ds, On({5e3, 0.3}), r), 0);
    EXPECT_FALSE(r.Dol.OperatingSpeed);
    EXPECT_TRUE(r.Dol.Stalled);
}

TEST(Network, DipAboveTheLimitIsFlagged) {
    MotorDataSet ds = FourKilowatt();
    Fan(ds);
    DynamicSettings s = On({0.5e6, 0.1});
    const double ratio =
        std::abs(StarEquivalent(ds) / (StarEquivalent(ds) + SourceAndTransformer({0.5e6, 0.1}, 400)));
    const double dip = (1 - ratio) * 100;
    s.DipLimit = dip - 0.01;
    EXPECT_TRUE(Computed(ds, s).Dol.VoltageDipExceeded);
    s.DipLimit = dip + 0.01;
    const DynamicResults r = Computed(ds, s);
    EXPECT_FALSE(r.Dol.VoltageDipExceeded);
    EXPECT_FALSE(r.SoftStarter.VoltageDipExceeded);
    EXPECT_LT(r.SoftStarter.MaxVoltageDip, r.Dol.MaxVoltageDip);
    // A network switched off is the stiff supply, whatever it holds.
    s.Network.Enabled = false;
    s.DipLimit = 1e-9;
    EXPECT_FALSE(Computed(ds, s).Dol.VoltageDipExceeded);
    EXPECT_EQ(Computed(ds, s).Dol.MaxVoltageDip, 0);
}
