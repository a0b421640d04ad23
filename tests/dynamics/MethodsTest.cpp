#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <optional>

#include "Circuit.h"
#include "DynamicsFixtures.h"
#include "OperatingPoint.h"

namespace {
const int Dol = 0, StarDelta = 1, Autotransformer = 2, Reactor = 3, SoftRamp = 4, SoftLimit = 5;

void Fan(MotorDataSet& ds, double share = 1) {
    ds.T0 = ds.T1 = 0, ds.T2 = share * ds.RatedTorque / (ds.SynchronousSpeed * ds.SynchronousSpeed);
}

ComparisonResults Compared(const MotorDataSet& ds, const DynamicSettings& s, int samples = 0) {
    ComparisonResults r;
    EXPECT_EQ(ComputeComparison(ds, s, r, samples), 0);
    return r;
}

// Speed where the torque at this voltage first meets the load, from standstill, by bisection.
double FirstCrossing(const MotorDataSet& ds, double voltage) {
    const double ns = ds.SynchronousSpeed;
    auto accel = [&](double n) { return MotorTorque(ds, 1 - n / ns, voltage) - LoadTorque(ds, n); };
    double a = 0, b = 0;
    for (double n = 0; n < ns; n += ns / 1000)
        if (accel(n) <= 0) {
            b = n;
            break;
        } else {
            a = n;
        }
    for (int i = 0; i < 200; ++i) {
        const double m = (a + b) / 2;
        (accel(m) > 0 ? a : b) = m;
    }
    return b;
}

// Index of the first sample with full voltage at the windings (on the stiff supply): the first
// after the changeover.
std::size_t Jump(const StartCurves& c) {
    for (std::size_t k = 1; k < c.Voltage.size(); ++k)
        if (c.Voltage[k] > 1 - 1e-12) return k;
    return 0;
}
} // namespace

TEST(Methods, ReducedStagesAtStandstillOnTheStiffSupply) {
    for (MotorDataSet ds : {FourKilowatt(false), FiveKilowattDelta(), ThirtyKilowattDelta()}) {
        Fan(ds, 0.5);
        DynamicSettings s = WithInertia(0.1 * ds.MechanicalPower / 4000);
        for (double k : {0.65, 0.8}) {
            s.Methods.AutotransformerTap = k;
            s.Methods.ReactorVoltage = k;
            const ComparisonResults r = Compared(ds, s, 11);
            const StartCurves& dol = r.Methods[Dol].Curves;
            const StartOutcome& d = r.Methods[Dol].Outcome;
            // Star-delta: a third of the line current and of the torque, at the same slip.
            const StartCurves& y = r.Methods[StarDelta].Curves;
            ASSERT_TRUE(r.Methods[StarDelta].Applicable);
            EXPECT_REL(y.Current[0], dol.Current[0] / 3, 1e-12);
            EXPECT_REL(r.Methods[StarDelta].Outcome.StartingTorqueRatio, d.StartingTorqueRatio / 3, 1e-12);
            EXPECT_REL(y.Voltage[0], 1 / std::sqrt(3.0), 1e-12);
            // Autotransformer: k^2 of the line current and of the torque, k of the voltage.
            const StartCurves& a = r.Methods[Autotransformer].Curves;
            EXPECT_REL(a.Current[0], k * k * dol.Current[0], 1e-12);
            EXPECT_REL(r.Methods[Autotransformer].Outcome.StartingTorqueRatio, k * k * d.StartingTorqueRatio,
                       1e-12);
            EXPECT_REL(a.Voltage[0], k, 1e-12);
            // Reactor: k of the voltage and the current, k^2 of the torque.
            const StartCurves& x = r.Methods[Reactor].Curves;
            EXPECT_REL(x.Voltage[0], k, 1e-12);
            EXPECT_REL(x.Current[0], k * dol.Current[0], 1e-12);
            EXPECT_REL(r.Methods[Reactor].Outcome.StartingTorqueRatio, k * k * d.StartingTorqueRatio, 1e-12);
            // Each reduced start draws less, takes longer and runs up after its changeover.
            for (int m : {StarDelta, Autotransformer, Reactor}) {
                const StartOutcome& o = r.Methods[m].Outcome;
                ASSERT_FALSE(o.Stalled) << m;
                EXPECT_GT(*o.RunUpTime, *d.RunUpTime) << m;
                EXPECT_EQ(o.MaxVoltageDip, 0);
                EXPECT_REL(*o.OperatingSpeed, *d.OperatingSpeed, 1e-15);
            }
        }
    }
}

TEST(Methods, StarDeltaDoesNotApplyToAMotorRunningInStar) {
    MotorDataSet ds = FourKilowatt(true);
    Fan(ds);
    const ComparisonResults r = Compared(ds, WithInertia(0.12), 21);
    const MethodOutcome& m = r.Methods[StarDelta];
    EXPECT_EQ(m.Method, StartingMethod::StarDelta);
    EXPECT_FALSE(m.Applicable || m.Outcome.Stalled || m.Outcome.TooLong);
    EXPECT_FALSE(m.Outcome.StallSpeed || m.Outcome.RunUpTime || m.Outcome.PeakLineCurrent ||
                 m.Outcome.RotorEnergy || m.Outcome.OperatingSpeed || m.Outcome.MinAcceleratingTorqueRatio);
    EXPECT_TRUE(m.Curves.Speed.empty() && m.Curves.Current.empty());
    for (int i = 0; i < StartingMethodCount; ++i) {
        EXPECT_EQ(r.Methods[i].Method, static_cast<StartingMethod>(i));
        if (i != StarDelta) {
            EXPECT_EQ(r.Methods[i].Curves.Speed.size(), 21u) << i;
        }
    }
}

TEST(Methods, SoftLimitHasTheComparisonsOwnLimit) {
    // Selected-time mode: whatever limit the soft-starter dialog last held (here none that is a
    // current), the row runs at 3 In, and a short ramp is held there.
    MotorDataSet ds = FourKilowatt(true);
    Fan(ds);
    ds.LimitCurrentMode = false, ds.SelectedTimeMode = true;
    ds.SoftStarterTime = 1;
    std::optional<ComparisonResults> first;
    for (double k : {0.0, -3.6e-8, -2.0, 1.5}) {
        ds.DesiredImaxIn = k;
        const ComparisonResults r = Compared(ds, WithInertia(0.12), 21);
        const MethodOutcome& m = r.Methods[SoftLimit];
        EXPECT_EQ(r.CurrentLimit, 3) << k;
        ASSERT_TRUE(m.Applicable && m.Outcome.RunUpTime) << k;
        EXPECT_LE(*m.Outcome.PeakCurrentRatio, 3 * (1 + 1e-6)) << k;
        EXPECT_GT(*m.Outcome.PeakCurrentRatio, 2.99) << k;
        // The ramp alone goes beyond: the cap is what holds it.
        EXPECT_GT(*r.Methods[SoftRamp].Outcome.PeakCurrentRatio, 3.2) << k;
        if (!first) first = r;
        EXPECT_EQ(*m.Outcome.RunUpTime, *first->Methods[SoftLimit].Outcome.RunUpTime) << k;
        EXPECT_EQ(m.Curves.Current, first->Methods[SoftLimit].Curves.Current) << k;
    }
    // Current-limit mode: the soft-starter's limit, the very start of the dynamic start window;
    // the comparison's own limit moves the row but not the starter's duty check.
    ds = FourKilowatt(true, false, 3.4);
    Fan(ds);
    DynamicSettings s = WithInertia(0.12);
    s.Starter = StarterDuty{12, "AC-53a: 3.5-17: 90-5", 4};
    const DynamicResults dynamic = Computed(ds, s);
    const ComparisonResults unset = Compared(ds, s);
    EXPECT_EQ(unset.CurrentLimit, 3.4);
    const StartOutcome& soft = unset.Methods[SoftLimit].Outcome;
    EXPECT_EQ(*soft.RunUpTime, *dynamic.SoftStarter.RunUpTime);
    EXPECT_EQ(*soft.PeakLineCurrent, *dynamic.SoftStarter.PeakLineCurrent);
    EXPECT_EQ(*soft.RmsCurrent, *dynamic.SoftStarter.RmsCurrent);
    EXPECT_EQ(*unset.Duty->RmsCurrent, *soft.RmsCurrent);
    s.Methods.CurrentLimit = 2.5;
    const ComparisonResults own = Compared(ds, s);
    EXPECT_EQ(own.CurrentLimit, 2.5);
    EXPECT_LE(*own.Methods[SoftLimit].Outcome.PeakCurrentRatio, 2.5 * (1 + 1e-6));
    EXPECT_GT(*own.Methods[SoftLimit].Outcome.RunUpTime, *soft.RunUpTime);
    EXPECT_EQ(*own.Duty->RmsCurrent, *dynamic.SoftStarter.RmsCurrent);
    EXPECT_EQ(*own.Duty->RunUpTime, *dynamic.SoftStarter.RunUpTime);
    // The other rows do not depend on it.
    for (int i : {Dol, Autotransformer, Reactor, SoftRamp})
        EXPECT_EQ(*own.Methods[i].Outcome.RunUpTime, *unset.Methods[i].Outcome.RunUpTime) << i;
}

TEST(Methods, ChangeoverAtTheSetSpeed) {
    MotorDataSet ds = FiveKilowattDelta();
    Fan(ds, 0.3);
    DynamicSettings s = WithInertia(0.3);
    for (double f : {0.5, 0.75, 0.9}) {
        s.Methods.ChangeoverSpeed = f;
        const ComparisonResults r = Compared(ds, s, 4001);
        for (int m : {StarDelta, Autotransformer, Reactor}) {
            const StartCurves& c = r.Methods[m].Curves;
            const std::size_t k = Jump(c);
            ASSERT_GT(k, 0u) << m << " " << f;
            EXPECT_LT(c.Speed[k - 1], f * (1 + 1e-9)) << m << " " << f;
            EXPECT_GE(c.Speed[k], f * (1 - 1e-9)) << m << " " << f;
            EXPECT_NEAR(c.Speed[k], f, 2e-3) << m;
            EXPECT_REL(c.Voltage[k], 1, 1e-12); // full voltage from then on
            EXPECT_FALSE(r.Methods[m].Outcome.Stalled);
            EXPECT_REL(*r.Methods[m].ChangeoverSpeed, f * ds.SynchronousSpeed * 60, 1e-15);
            EXPECT_GT(*r.Methods[m].ChangeoverTime, r.Times[k - 1]);
            EXPECT_LE(*r.Methods[m].ChangeoverTime, r.Times[k]);
            EXPECT_LT(*r.Methods[m].ChangeoverTime, *r.Methods[m].Outcome.RunUpTime);
        }
    }
}

TEST(Methods, ChangeoverSpeedTheReducedStageCannotReachFallsBack) {
    MotorDataSet ds = FiveKilowattDelta();
    Fan(ds, 1.5); // the star stage's torque meets this fan well below 0.9 ns
    DynamicSettings s = WithInertia(0.3);
    s.Methods.ChangeoverSpeed = 0.95;
    const double ns = ds.SynchronousSpeed;
    const double star = FirstCrossing(ds, ds.PhaseVoltage / std::sqrt(3.0)) / ns;
    ASSERT_GT(star, 0.1);
    ASSERT_LT(star, 0.95);
    const ComparisonResults r = Compared(ds, s, 4001);
    const StartCurves& c = r.Methods[StarDelta].Curves;
    const std::size_t k = Jump(c);
    ASSERT_GT(k, 0u);
    EXPECT_LT(c.Speed[k - 1], 0.98 * star * (1 + 1e-9));
    EXPECT_GE(c.Speed[k], 0.98 * star * (1 - 1e-9));
    EXPECT_FALSE(r.Methods[StarDelta].Outcome.Stalled);
    ASSERT_TRUE(r.Methods[StarDelta].Outcome.RunUpTime);
    EXPECT_REL(*r.Methods[StarDelta].ChangeoverSpeed, 0.98 * star * ns * 60, 1e-9);
    EXPECT_FALSE(r.Methods[Dol].ChangeoverSpeed || r.Methods[Dol].ChangeoverTime);
    // Never reached at all: the start-time limit ends it.
    s.Methods.ChangeoverSpeed = 0.95;
    s.Mechanical.StartTimeLimit = 0.05;
    const ComparisonResults late = Compared(ds, s);
    EXPECT_TRUE(late.Methods[StarDelta].Outcome.Stalled && late.Methods[StarDelta].Outcome.TooLong);
}

TEST(Methods, ReducedStageThatCannotStartTheLoadStallsAtRest) {
    MotorDataSet ds = FiveKilowattDelta();
    const double locked = MotorTorque(ds, 1, ds.PhaseVoltage);
    ds.T0 = 0.5 * locked; // above the star stage's third, below the full torque
    DynamicSettings s = WithInertia(0.3);
    s.Mechanical.StartTimeLimit = 5;
    const ComparisonResults r = Compared(ds, s, 51);
    const StartOutcome& y = r.Methods[StarDelta].Outcome;
    EXPECT_TRUE(y.Stalled);
    EXPECT_FALSE(y.TooLong);
    EXPECT_EQ(*y.StallSpeed, 0);
    EXPECT_FALSE(y.RunUpTime || y.PeakLineCurrent || y.RotorEnergy || y.MinAcceleratingTorqueRatio);
    EXPECT_REL(y.StartingTorqueRatio, r.Methods[Dol].Outcome.StartingTorqueRatio / 3, 1e-12);
    for (double n : r.Methods[StarDelta].Curves.Speed)
        EXPECT_EQ(n, 0);
    EXPECT_FALSE(r.Methods[StarDelta].ChangeoverSpeed || r.Methods[StarDelta].ChangeoverTime);
    // The autotransformer at 0.65 gives 0.42 of the torque: it stalls too; the direct start runs up.
    EXPECT_TRUE(r.Methods[Autotransformer].Outcome.Stalled);
    EXPECT_FALSE(r.Methods[Dol].Outcome.Stalled);
    // The curves span the longest run-up of the methods that run up.
    double longest = 0;
    for (const MethodOutcome& m : r.Methods)
        if (m.Applicable && !m.Outcome.Stalled) longest = std::max(longest, *m.Outcome.RunUpTime);
    EXPECT_GT(longest, 0);
    EXPECT_DOUBLE_EQ(r.Times.back(), longest);
}

TEST(Methods, StallOfTheFullVoltageCurveStallsEveryMethod) {
    MotorDataSet ds = FourKilowatt(false);
    ds.T0 = 105, ds.T1 = 12, ds.T2 = -0.6;
    const ComparisonResults r = Compared(ds, WithInertia(0.12), 31);
    for (const MethodOutcome& m : r.Methods) {
        EXPECT_TRUE(m.Outcome.Stalled) << MethodKey(m.Method);
        EXPECT_FALSE(m.Outcome.TooLong);
        EXPECT_NEAR(*m.Outcome.OperatingSpeed, 1248.7, 0.05);
    }
    for (int m : {Dol, SoftRamp, SoftLimit})
        EXPECT_NEAR(*r.Methods[m].Outcome.StallSpeed, 624.8, 0.05) << m;
    // The reduced stages cannot even start 105 Nm: at rest.
    for (int m : {StarDelta, Autotransformer, Reactor})
        EXPECT_EQ(*r.Methods[m].Outcome.StallSpeed, 0) << m;
    EXPECT_DOUBLE_EQ(r.Times.back(), 60); // nothing runs up: the start-time limit
}

TEST(Methods, DirectAndSoftStarterRowsAreTheDynamicStart) {
    MotorDataSet ds = FiveKilowattDelta();
    Fan(ds);
    DynamicSettings s = WithInertia(0.2);
    s.Network.Enabled = true;
    s.Network.ShortCircuitPower = 2e6;
    for (bool limit : {false, true}) {
        ds.LimitCurrentMode = limit;
        const DynamicResults d = Computed(ds, s);
        const ComparisonResults r = Compared(ds, s);
        const StartOutcome& soft = r.Methods[limit ? SoftLimit : SoftRamp].Outcome;
        for (auto [a, b] : {std::pair{&r.Methods[Dol].Outcome, &d.Dol}, std::pair{&soft, &d.SoftStarter}}) {
            EXPECT_EQ(*a->RunUpTime, *b->RunUpTime);
            EXPECT_EQ(*a->PeakLineCurrent, *b->PeakLineCurrent);
            EXPECT_EQ(*a->RotorEnergy, *b->RotorEnergy);
            EXPECT_EQ(*a->MinAcceleratingTorqueRatio, *b->MinAcceleratingTorqueRatio);
            EXPECT_EQ(a->MaxVoltageDip, b->MaxVoltageDip);
        }
        // One row alone is the same row.
        MethodOutcome one;
        ASSERT_EQ(ComputeMethodStart(ds, s, StartingMethod::Reactor, one), 0);
        EXPECT_EQ(*one.Outcome.RunUpTime, *r.Methods[Reactor].Outcome.RunUpTime);
        EXPECT_EQ(one.Outcome.MaxVoltageDip, r.Methods[Reactor].Outcome.MaxVoltageDip);
    }
}

TEST(Methods, ReducedStagesThroughTheNetwork) {
    MotorDataSet ds = FiveKilowattDelta();
    Fan(ds);
    DynamicSettings s = WithInertia(0.2);
    s.Network.Enabled = true;
    s.Network.ShortCircuitPower = 0.4e6;
    s.Network.SourceRX = 0.2;
    const ComparisonResults r = Compared(ds, s, 11);
    const double x = 400 * 400 / 0.4e6 / std::sqrt(1.04);
    const std::complex<double> znet(0.2 * x, x);
    const FastCircuit c(ds);
    const Cx z = c.InputImpedance(1);
    const std::complex<double> zin(z.re, z.im);
    // Star stage: Z_Y = Zin, the windings at |U_m| = V |Zin / (Zin + Z_net)|.
    EXPECT_REL(r.Methods[StarDelta].Curves.Voltage[0], std::abs(zin / (zin + znet)) / std::sqrt(3.0), 1e-12);
    // Autotransformer: U_m = k U_in, U_in = V (Z_Y / k^2) / (Z_Y / k^2 + Z_net).
    const double k = 0.65;
    const std::complex<double> zyk = zin / 3.0 / (k * k);
    EXPECT_REL(r.Methods[Autotransformer].Curves.Voltage[0], k * std::abs(zyk / (zyk + znet)), 1e-12);
    EXPECT_REL(r.Methods[Autotransformer].Curves.BusVoltage[0], std::abs(zyk / (zyk + znet)), 1e-12);
    // Reactor sized on the stiff supply: through the source the voltage falls below k.
    EXPECT_LT(r.Methods[Reactor].Curves.Voltage[0], 0.65);
    // Each reduced start dips the busbar less than the direct start.
    for (int m : {StarDelta, Autotransformer, Reactor, SoftRamp, SoftLimit})
        EXPECT_LT(r.Methods[m].Outcome.MaxVoltageDip, r.Methods[Dol].Outcome.MaxVoltageDip) << m;
}

TEST(Methods, StarterDutyOfTheSoftStarterStart) {
    MotorDataSet ds = FiveKilowattDelta();
    Fan(ds);
    DynamicSettings s = WithInertia(0.2);
    s.Starter = StarterDuty{12, "AC-53a: 3.5-17: 90-5", 4};
    const ComparisonResults r = Compared(ds, s);
    ASSERT_TRUE(r.Duty);
    const StartOutcome& soft = r.Methods[SoftLimit].Outcome;
    EXPECT_EQ(*r.Duty->RmsCurrent, *soft.RmsCurrent);
    EXPECT_EQ(*r.Duty->RunUpTime, *soft.RunUpTime);
    EXPECT_EQ(r.Duty->CurrentPass, *soft.RmsCurrent <= 3.5 * 12);
    EXPECT_TRUE(r.Duty->TimePass && r.Duty->StartsPass);
    EXPECT_TRUE(r.Duty->RatedCurrentPass); // 11.3 A <= 12 A
    EXPECT_REL(*r.Duty->SmallestIe, std::max(*soft.RmsCurrent / 3.5, 11.3), 1e-15);
    // The RMS current lies between the rated and the peak current.
    EXPECT_GT(*soft.RmsCurrent, ds.LineCurrent);
    EXPECT_LT(*soft.RmsCurrent, *soft.PeakLineCurrent);
    // Without a starter there is nothing to judge; a bad rating code refuses the comparison.
    s.Starter.reset();
    EXPECT_FALSE(Compared(ds, s).Duty);
    s.Starter = StarterDuty{12, "3.5-17-90-5", 4};
    ComparisonResults refused;
    EXPECT_EQ(ComputeComparison(ds, s, refused), ErrStarterRatingSyntax);
    s.Starter = StarterDuty{12, "3.5-17:90-5", 4};
    s.Methods.ChangeoverSpeed = 1.2;
    EXPECT_EQ(ComputeComparison(ds, s, refused), ErrValueOutOfRange);
}
