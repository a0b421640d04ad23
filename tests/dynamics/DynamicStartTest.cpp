#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "DynamicsFixtures.h"
#include "OperatingPoint.h"

namespace {
const double TwoPi = 6.283185307179586;

// Fan load with the rated torque at synchronous speed.
void Fan(MotorDataSet& ds) {
    ds.T0 = ds.T1 = 0, ds.T2 = ds.RatedTorque / (ds.SynchronousSpeed * ds.SynchronousSpeed);
}

void ExpectSameStart(const StartOutcome& a, const StartOutcome& b, double tolerance) {
    EXPECT_EQ(a.Stalled, b.Stalled);
    EXPECT_EQ(a.TooLong, b.TooLong);
    ASSERT_EQ(a.RunUpTime.has_value(), b.RunUpTime.has_value());
    if (!a.RunUpTime) return;
    EXPECT_REL(*a.RunUpTime, *b.RunUpTime, tolerance);
    EXPECT_REL(*a.RotorEnergy, *b.RotorEnergy, tolerance);
    EXPECT_REL(*a.StatorEnergy, *b.StatorEnergy, tolerance);
    EXPECT_REL(*a.RmsCurrent, *b.RmsCurrent, tolerance);
    EXPECT_REL(*a.PeakLineCurrent, *b.PeakLineCurrent, tolerance);
    EXPECT_NEAR(*a.MinAcceleratingTorqueRatio, *b.MinAcceleratingTorqueRatio, tolerance);
}

// The integral of the squared current over [0, ta] from the curves, by the trapezoidal rule.
double CurveRms(const DynamicResults& r, const StartCurves& c, double lineCurrent, double ta) {
    double sum = 0;
    for (std::size_t k = 1; k < r.Times.size() && r.Times[k] <= ta; ++k) {
        const double a = c.Current[k - 1] * lineCurrent, b = c.Current[k] * lineCurrent;
        sum += (a * a + b * b) / 2 * (r.Times[k] - r.Times[k - 1]);
    }
    return std::sqrt(sum / ta);
}
} // namespace

TEST(DynamicStart, RotorEnergyWithoutLoadFollowsFromTheEquationOfMotion) {
    // Without load torque J dw/dt = T, so the rotor energy, the integral of s T ws dt, is
    // J (ws wa - wa^2 / 2) whatever the circuit and the voltage law.
    for (MotorDataSet ds : {FourKilowatt(true), FourKilowatt(false, true), FiveKilowattDelta(),
                            ThirtyKilowattDelta(), SeventyFiveKilowattStar()}) {
        ds.T0 = ds.T1 = ds.T2 = 0;
        const double ws = TwoPi * ds.SynchronousSpeed;
        for (double j : {0.01, 0.2, 3.0}) {
            for (bool limit : {false, true}) {
                ds.LimitCurrentMode = limit;
                const DynamicResults r = Computed(ds, WithInertia(j));
                for (const StartOutcome* o : {&r.Dol, &r.SoftStarter}) {
                    ASSERT_FALSE(o->Stalled) << ds.MechanicalPower << " " << j;
                    EXPECT_EQ(*o->OperatingSpeed, ds.SynchronousSpeed * 60);
                    const double wa = 0.98 * ws;
                    EXPECT_REL(*o->RotorEnergy, j * (ws * wa - wa * wa / 2), 1e-6)
                        << ds.MechanicalPower << " " << j;
                }
            }
        }
    }
}

TEST(DynamicStart, RunUpTimeWithoutLoadIsProportionalToTheInertia) {
    for (MotorDataSet ds : {FourKilowatt(true), ThirtyKilowattDelta()}) {
        ds.T0 = ds.T1 = ds.T2 = 0;
        const double base = *Computed(ds, WithInertia(0.05)).Dol.RunUpTime / 0.05;
        for (double j : {0.013, 0.3, 7.0, 40.0}) {
            const DynamicResults r = Computed(ds, WithInertia(j * 0.25, j * 0.75));
            EXPECT_REL(*r.Dol.RunUpTime / j, base, 1e-9) << j;
        }
    }
}

TEST(DynamicStart, ResultsDoNotDependOnTheStep) {
    MotorDataSet ds = FourKilowatt();
    Fan(ds);
    DynamicSettings s = WithInertia(0.12);
    auto check = [&](const MotorDataSet& motor) {
        DynamicSettings tight = s;
        tight.Tolerance = s.Tolerance / 100;
        const DynamicResults a = Computed(motor, s), b = Computed(motor, tight);
        ExpectSameStart(a.Dol, b.Dol, 1e-6);
        ExpectSameStart(a.SoftStarter, b.SoftStarter, 1e-6);
        // Extremes located within the steps: far closer than the tolerance on the results.
        EXPECT_REL(*a.SoftStarter.PeakCurrentRatio, *b.SoftStarter.PeakCurrentRatio, 1e-7);
        EXPECT_REL(*a.Dol.PeakCurrentRatio, *b.Dol.PeakCurrentRatio, 1e-7);
    };
    check(ds);
    // The cap at work: a short ramp held at the current limit.
    ds.SoftStarterTime = 0.5;
    check(ds);
    // A resting rotor that breaks away on the ramp.
    ds.T0 = 20, ds.T2 = 0;
    ds.LimitCurrentMode = false;
    ds.SoftStarterTime = 5;
    check(ds);
    // A large motor with its load and inertia.
    MotorDataSet big = ThirtyKilowattDelta();
    Fan(big);
    s = WithInertia(0.29, 3);
    check(big);
}

TEST(DynamicStart, StartingValuesAreTheModelsAtStandstill) {
    for (MotorDataSet ds : {FourKilowatt(true), FourKilowatt(false), FiveKilowattDelta()}) {
        Fan(ds);
        const DynamicResults r = Computed(ds, WithInertia(0.1));
        const double locked = StatorCurrent(ds, 1, ds.PhaseVoltage);
        EXPECT_REL(r.Dol.StartingTorqueRatio, MotorTorque(ds, 1, ds.PhaseVoltage) / ds.RatedTorque, 1e-12);
        // The largest direct-on-line current is the locked-rotor current.
        EXPECT_REL(*r.Dol.PeakCurrentRatio, locked / ds.PhaseCurrent, 1e-12);
        EXPECT_REL(*r.Dol.PeakLineCurrent, locked * (ds.StarCoupling ? 1 : std::sqrt(3.0)), 1e-12);
        const double u0 = ds.Preset * ds.PhaseVoltage;
        EXPECT_REL(r.SoftStarter.StartingTorqueRatio, MotorTorque(ds, 1, u0) / ds.RatedTorque, 1e-12);
        EXPECT_EQ(r.Dol.MinMotorVoltage, 100);
        EXPECT_REL(r.SoftStarter.MinMotorVoltage, ds.Preset * 100, 1e-12);
        EXPECT_EQ(r.Dol.MaxVoltageDip, 0);
        EXPECT_FALSE(r.Dol.VoltageDipExceeded || r.SoftStarter.VoltageDipExceeded);
        // The soft-starter draws less and takes longer.
        EXPECT_LT(*r.SoftStarter.PeakCurrentRatio, *r.Dol.PeakCurrentRatio);
        EXPECT_GT(*r.SoftStarter.RunUpTime, *r.Dol.RunUpTime);
        EXPECT_GT(*r.SoftStarter.StatorEnergy, *r.Dol.StatorEnergy);
    }
}

TEST(DynamicStart, CurrentLimitHoldsWhileTheCapActs) {
    for (MotorDataSet ds : {FourKilowatt(true), FiveKilowattDelta(), SeventyFiveKilowattStar()}) {
        Fan(ds);
        ds.SoftStarterTime = 0.5; // far shorter than the searched ramp: the cap does the work
        const double k = ds.DesiredImaxIn;
        const DynamicResults r = Computed(ds, WithInertia(0.3 * ds.MechanicalPower / 4000), 4001);
        ASSERT_FALSE(r.SoftStarter.Stalled);
        EXPECT_NEAR(*r.SoftStarter.PeakCurrentRatio, k, k * 1e-12);
        int held = 0;
        for (std::size_t i = 0; i < r.Times.size(); ++i) {
            EXPECT_LE(r.SoftStarterCurves.Current[i], k * (1 + 1e-12)) << r.Times[i];
            if (r.SoftStarterCurves.Current[i] > k * (1 - 1e-12)) ++held;
        }
        EXPECT_GT(held, 100); // the current stays at the limit for a while
        // Without the cap the same ramp draws more.
        ds.LimitCurrentMode = false;
        EXPECT_GT(*Computed(ds, WithInertia(0.3 * ds.MechanicalPower / 4000)).SoftStarter.PeakCurrentRatio,
                  k * 1.1);
    }
}

TEST(DynamicStart, LimitAboveTheDirectOnLinePeakGivesTheRampStart) {
    MotorDataSet ds = FourKilowatt();
    Fan(ds);
    ds.DesiredImaxIn = 12; // the locked-rotor current is 9.75 In; the ramp stays 4.20 s
    const DynamicResults limited = Computed(ds, WithInertia(0.12), 201);
    ds.LimitCurrentMode = false;
    const DynamicResults ramp = Computed(ds, WithInertia(0.12), 201);
    ExpectSameStart(limited.SoftStarter, ramp.SoftStarter, 1e-15);
    EXPECT_EQ(limited.SoftStarterCurves.Current, ramp.SoftStarterCurves.Current);
}

TEST(DynamicStart, LoadAboveTheLockedRotorTorqueStallsAtRest) {
    MotorDataSet ds = FourKilowatt();
    ds.T0 = 165; // above 163.3 Nm at standstill, below the largest torque 167.6 Nm
    const DynamicResults r = Computed(ds, WithInertia(0.12), 101);
    for (const StartOutcome* o : {&r.Dol, &r.SoftStarter}) {
        EXPECT_TRUE(o->Stalled);
        EXPECT_FALSE(o->TooLong);
        EXPECT_EQ(*o->StallSpeed, 0);
        EXPECT_TRUE(o->OperatingSpeed);
        EXPECT_FALSE(o->RunUpTime || o->PeakCurrentRatio || o->PeakLineCurrent || o->RotorEnergy ||
                     o->StatorEnergy || o->MinAcceleratingTorqueRatio || o->RmsCurrent);
    }
    // The charts run to the start-time limit with the rotor at rest.
    EXPECT_DOUBLE_EQ(r.Times.back(), 60);
    for (double n : r.DolCurves.Speed)
        EXPECT_EQ(n, 0);
    EXPECT_NEAR(r.DolCurves.Current.back(), StatorCurrent(ds, 1, ds.PhaseVoltage) / ds.PhaseCurrent, 1e-12);
}

TEST(DynamicStart, LoadCrossingTheTorqueCurveStallsAtTheCrossing) {
    MotorDataSet ds = FourKilowatt();
    ds.T0 = 105, ds.T1 = 12, ds.T2 = -0.6;
    ASSERT_EQ(RunStartComputation(ds, nullptr, nullptr), 0); // error 70 does not refuse it
    const DynamicResults r = Computed(ds, WithInertia(0.12), 201);
    for (const StartOutcome* o : {&r.Dol, &r.SoftStarter}) {
        EXPECT_TRUE(o->Stalled);
        EXPECT_FALSE(o->TooLong);
        EXPECT_NEAR(*o->StallSpeed, 624.8, 0.05);
        EXPECT_NEAR(*o->OperatingSpeed, 1248.7, 0.05);
    }
    // The speed settles at the crossing and never passes it.
    for (double n : r.DolCurves.Speed)
        EXPECT_LE(n * 1500, *r.Dol.StallSpeed * (1 + 1e-7));
    EXPECT_NEAR(r.DolCurves.Speed.back() * 1500, *r.Dol.StallSpeed, 1e-3);
}

TEST(DynamicStart, NoOperatingPointStallsAtRestWithoutOperatingSpeed) {
    MotorDataSet ds = FourKilowatt();
    // 1 Nm at synchronous speed, so the results computation takes it, but above the torque
    // curve at every speed below: no operating point.
    ds.T0 = 626, ds.T2 = -1;
    ASSERT_EQ(RunStartComputation(ds, nullptr, nullptr), 0);
    const DynamicResults r = Computed(ds, WithInertia(0.12));
    EXPECT_TRUE(r.Dol.Stalled && r.SoftStarter.Stalled);
    EXPECT_FALSE(r.Dol.TooLong);
    EXPECT_FALSE(r.Dol.OperatingSpeed);
    EXPECT_EQ(*r.Dol.StallSpeed, 0);
}

TEST(DynamicStart, LoadTheMotorCannotCarryAtSynchronousSpeedIsRefusedAsByTheResults) {
    MotorDataSet ds = FourKilowatt();
    DynamicResults r;
    for (auto [t0, t2] : {std::pair{200.0, 0.0}, std::pair{0.0, -0.05}}) {
        ds.T0 = t0, ds.T2 = t2; // above the largest torque; negative at synchronous speed
        EXPECT_EQ(RunStartComputation(ds, nullptr, nullptr), 70);
        EXPECT_EQ(ComputeDynamicStart(ds, WithInertia(0.12), r), 70);
        ComparisonResults c;
        EXPECT_EQ(ComputeComparison(ds, WithInertia(0.12), c), 70);
    }
}

TEST(DynamicStart, TinyInertiaFollowsALongRampOnTheStiffPath) {
    // The speed follows the ramp's balance point for 30 s, its time constant some 1e-6 s: the
    // stiff stepper computes it in a few thousand steps, as exactly as a run 100 times tighter.
    MotorDataSet ds = FourKilowatt();
    ds.T0 = 20;
    ds.LimitCurrentMode = false;
    ds.SoftStarterTime = 30;
    DynamicSettings s = WithInertia(1e-5, 2e-6), tight = s;
    tight.Tolerance = s.Tolerance / 100;
    const DynamicResults a = Computed(ds, s, 201), b = Computed(ds, tight);
    ASSERT_FALSE(a.SoftStarter.Stalled);
    EXPECT_GT(*a.SoftStarter.RunUpTime, 10);
    ExpectSameStart(a.SoftStarter, b.SoftStarter, 1e-6);
    ExpectSameStart(a.Dol, b.Dol, 1e-6);
    for (std::size_t k = 1; k < a.Times.size(); ++k)
        EXPECT_GE(a.SoftStarterCurves.Speed[k], a.SoftStarterCurves.Speed[k - 1]) << a.Times[k];
    // A settled speed, however stiff, is no trouble: a start held at a stall for an hour, or one
    // that runs up at once and settles at its operating speed.
    ds.T0 = 105, ds.T1 = 12, ds.T2 = -0.6;
    s = WithInertia(1e-5);
    s.Mechanical.StartTimeLimit = 3600;
    MethodOutcome m;
    ASSERT_EQ(ComputeMethodStart(ds, s, StartingMethod::Dol, m), 0);
    EXPECT_NEAR(*m.Outcome.StallSpeed, 624.8, 0.05);
    ds.T0 = ds.T1 = ds.T2 = 0;
    ds.SoftStarterTime = 0;
    s.Mechanical.StartTimeLimit = 1;
    EXPECT_LT(*Computed(ds, s, 101).Dol.RunUpTime, 1e-4);
}

TEST(DynamicStart, RotorRestsOnTheRampUntilTheTorqueBeatsTheLoad) {
    MotorDataSet ds = FourKilowatt();
    ds.LimitCurrentMode = false;
    ds.SoftStarterTime = 5;
    ds.T0 = 10; // the preset's 10 % voltage gives 1.63 Nm at standstill
    const DynamicResults r = Computed(ds, WithInertia(0.12), 2001);
    ASSERT_FALSE(r.SoftStarter.Stalled);
    ASSERT_FALSE(r.Dol.Stalled);
    // Breakaway where MotorTorque(1, U(t)) = 10 Nm on the ramp.
    const double u = ds.PhaseVoltage * std::sqrt(10 / MotorTorque(ds, 1, ds.PhaseVoltage));
    const double tb = (u / ds.PhaseVoltage - ds.Preset) / (1 - ds.Preset) * ds.SoftStarterTime;
    for (std::size_t i = 0; i < r.Times.size(); ++i) {
        if (r.Times[i] < tb * (1 - 1e-6)) {
            EXPECT_EQ(r.SoftStarterCurves.Speed[i], 0) << r.Times[i];
        } else if (r.Times[i] > tb * (1 + 1e-3)) {
            EXPECT_GT(r.SoftStarterCurves.Speed[i], 0) << r.Times[i];
        }
    }
    EXPECT_GT(r.DolCurves.Speed[1], 0);
    // At rest the whole air-gap power heats the rotor: it takes more than the energy of running up.
    EXPECT_GT(*r.SoftStarter.RotorEnergy, *r.Dol.RotorEnergy);
    EXPECT_REL(*r.SoftStarter.MinAcceleratingTorqueRatio,
               (MotorTorque(ds, 1, ds.Preset * ds.PhaseVoltage) - 10) / ds.RatedTorque, 1e-12); // at t = 0
}

TEST(DynamicStart, StartTimeLimitMakesAStartTooLong) {
    MotorDataSet ds = FourKilowatt();
    Fan(ds);
    DynamicSettings s = WithInertia(0.12);
    const double ta = *Computed(ds, s).Dol.RunUpTime;
    s.Mechanical.StartTimeLimit = ta / 2;
    const DynamicResults r = Computed(ds, s, 51);
    EXPECT_TRUE(r.Dol.Stalled && r.Dol.TooLong);
    EXPECT_TRUE(r.SoftStarter.Stalled && r.SoftStarter.TooLong);
    EXPECT_GT(*r.Dol.StallSpeed, 0);
    EXPECT_LT(*r.Dol.StallSpeed, *r.Dol.OperatingSpeed * 0.98);
    EXPECT_NEAR(*r.Dol.StallSpeed / 60 / ds.SynchronousSpeed, r.DolCurves.Speed.back(), 1e-6);
    EXPECT_FALSE(r.Dol.RunUpTime || r.Dol.PeakCurrentRatio || r.Dol.RmsCurrent);
    EXPECT_DOUBLE_EQ(r.Times.back(), ta / 2);
    // The lowest voltage is taken over the whole limit.
    EXPECT_REL(r.SoftStarter.MinMotorVoltage, ds.Preset * 100, 1e-12);
}

TEST(DynamicStart, CurvesNeverShowTheRotorTurningBackwards) {
    // From a preset of 0 the rotor rests, then breaks away; the curve between the computed
    // points must not dip below standstill however short the limit cuts the start.
    MotorDataSet ds = FourKilowatt(false);
    ds.Preset = 0;
    ASSERT_EQ(RunStartComputation(ds, nullptr, nullptr), 0);
    for (double limit : {0.01, 0.0137, 0.05})
        for (int samples : {2, 37, 301}) {
            DynamicSettings s = WithInertia(0.013, 1e-6);
            s.Mechanical.StartTimeLimit = limit;
            const DynamicResults r = Computed(ds, s, samples);
            for (const StartCurves* c : {&r.DolCurves, &r.SoftStarterCurves})
                for (double n : c->Speed)
                    ASSERT_GE(n, 0) << limit << " " << samples;
        }
}

TEST(DynamicStart, CurvesSpanTheLongerRunUpAndMatchTheResults) {
    MotorDataSet ds = FiveKilowattDelta();
    Fan(ds);
    const DynamicResults r = Computed(ds, WithInertia(0.05, 0.2), 2001);
    const double ta = std::max(*r.Dol.RunUpTime, *r.SoftStarter.RunUpTime);
    ASSERT_EQ(r.Times.size(), 2001u);
    EXPECT_EQ(r.Times.front(), 0);
    EXPECT_DOUBLE_EQ(r.Times.back(), ta);
    EXPECT_EQ(r.Times[1000], 1000 * ta / 2000);
    for (const StartCurves* c : {&r.DolCurves, &r.SoftStarterCurves}) {
        ASSERT_EQ(c->Speed.size(), 2001u);
        EXPECT_EQ(c->Speed.front(), 0);
        EXPECT_EQ(c->BusVoltage, std::vector<double>(2001, 1.0));
        for (std::size_t i = 1; i < c->Speed.size(); ++i)
            EXPECT_GE(c->Speed[i], c->Speed[i - 1] - 1e-8) << i;
    }
    EXPECT_EQ(r.DolCurves.Voltage, std::vector<double>(2001, 1.0));
    EXPECT_REL(r.SoftStarterCurves.Voltage.front(), ds.Preset, 1e-12);
    // Each start reaches 98 % of its operating speed at its run-up time.
    const double target = 0.98 * *r.Dol.OperatingSpeed / 60 / ds.SynchronousSpeed;
    EXPECT_NEAR(r.SoftStarterCurves.Speed.back(), target, 1e-6);
    const std::size_t k = static_cast<std::size_t>(std::floor(*r.Dol.RunUpTime / ta * 2000));
    EXPECT_LE(r.DolCurves.Speed[k], target);
    EXPECT_GE(r.DolCurves.Speed[k + 1], target);
    // Torque and load on the curves: the load is the fan's at each speed.
    for (std::size_t i = 0; i < 2001; i += 100) {
        const double n = r.DolCurves.Speed[i] * ds.SynchronousSpeed;
        EXPECT_REL(r.DolCurves.LoadTorque[i], LoadTorque(ds, n) / ds.RatedTorque, 1e-12);
        EXPECT_REL(r.DolCurves.Torque[i],
                   MotorTorque(ds, 1 - n / ds.SynchronousSpeed, ds.PhaseVoltage) / ds.RatedTorque, 1e-12);
    }
    // The RMS current is the curves' own.
    EXPECT_REL(CurveRms(r, r.SoftStarterCurves, ds.LineCurrent, *r.SoftStarter.RunUpTime),
               *r.SoftStarter.RmsCurrent, 1e-4);
}

TEST(DynamicStart, TypicalInertiaWhenTheMotorsIsUnknown) {
    const MotorDataSet ds = FourKilowatt();
    DynamicSettings s;
    s.Mechanical.LoadInertia = 0.1;
    DynamicResults r = Computed(ds, s);
    EXPECT_TRUE(r.TypicalInertia);
    EXPECT_NEAR(r.MotorInertia, 0.013, 1e-15);
    s.Mechanical.MotorInertia = 0.02;
    r = Computed(ds, s);
    EXPECT_FALSE(r.TypicalInertia);
    EXPECT_EQ(r.MotorInertia, 0.02);
}

TEST(DynamicStart, RefusalsLeaveTheResultsAlone) {
    MotorDataSet ds = FourKilowatt();
    DynamicResults r;
    r.MotorInertia = 42;
    DynamicSettings s = WithInertia(-1);
    EXPECT_EQ(ComputeDynamicStart(ds, s, r), ErrValueOutOfRange);
    s = WithInertia(0.1);
    s.Mechanical.StartTimeLimit = 4000;
    EXPECT_EQ(ComputeDynamicStart(ds, s, r), ErrStartTimeLimitRange);
    s = WithInertia(0.1);
    s.Network.Enabled = true;
    s.Network.HasCable = true; // without a section
    EXPECT_EQ(ComputeDynamicStart(ds, s, r), ErrValueOutOfRange);
    EXPECT_EQ(ComputeDynamicStart(MotorDataSet{}, WithInertia(0.1), r), ErrNoMotor);
    ds.Rr = 0;
    EXPECT_EQ(ComputeDynamicStart(ds, WithInertia(0.1), r), ErrRotorResistanceZero);
    EXPECT_EQ(r.MotorInertia, 42);
}
