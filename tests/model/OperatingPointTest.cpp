#include <gtest/gtest.h>

#include <cmath>

#include "MotorFixtures.h"
#include "OperatingPoint.h"

namespace {
MotorDataSet Motor() { return IdentifiedFourKilowattMotor(true); }
} // namespace

TEST(OperatingPoint, CurrentAndTorqueOfTheWorkedExample) {
    const MotorDataSet ds = Motor();
    Complex zth;
    ComplexParallel({0, ds.Xh}, {ds.Rs, ds.Xssigma}, zth);
    EXPECT_SIG6(zth.Re, 1.24558);
    EXPECT_SIG6(zth.Im, 0.607521);
    EXPECT_SIG6(StatorCurrent(ds, 1, ds.PhaseVoltage), 82.8883);
    EXPECT_SIG6(MotorTorque(ds, 1, ds.PhaseVoltage), 163.266);
    EXPECT_SIG6(StatorCurrent(ds, 0.04, ds.PhaseVoltage), 8.32727);
    EXPECT_SIG6(MotorTorque(ds, 0.04, ds.PhaseVoltage), 28.8845);
}

TEST(OperatingPoint, OperatingSlipGivesBackTheLoadTorque) {
    const MotorDataSet ds = Motor();
    bool none = true;
    const double s = OperatingSlip(ds, 26.5258, ds.PhaseVoltage, none);
    EXPECT_FALSE(none);
    EXPECT_SIG6(s, 0.0364834);
    EXPECT_NEAR(MotorTorque(ds, s, ds.PhaseVoltage), 26.5258, 1e-6);

    for (double load : {1.0, 50.0, 120.0, 160.0, 165.0}) {
        const double slip = OperatingSlip(ds, load, ds.PhaseVoltage, none);
        ASSERT_FALSE(none) << load;
        EXPECT_NEAR(MotorTorque(ds, slip, ds.PhaseVoltage), load, load * 1e-9) << load;
    }
}

TEST(OperatingPoint, OperatingSlipLimits) {
    const MotorDataSet ds = Motor();
    bool none = true;
    const double s0 = OperatingSlip(ds, 0, ds.PhaseVoltage, none);
    EXPECT_FALSE(none);
    EXPECT_GT(s0, 0);
    EXPECT_LT(s0, 1e-6);

    EXPECT_EQ(OperatingSlip(ds, 170, ds.PhaseVoltage, none), 0);
    EXPECT_TRUE(none);
    EXPECT_EQ(OperatingSlip(ds, -5, ds.PhaseVoltage, none), 0);
    EXPECT_TRUE(none);

    // Between the locked-rotor torque (163.3) and the breakdown torque (167.6): the smaller root.
    const double s = OperatingSlip(ds, 165, ds.PhaseVoltage, none);
    EXPECT_FALSE(none);
    EXPECT_LT(s, 0.740);
}

TEST(OperatingPoint, BreakdownTorqueOfTheWorkedExample) {
    const MotorDataSet ds = Motor();
    double best = 0, bestSlip = 0;
    for (int i = 1; i <= 10000; ++i) {
        const double s = i / 10000.0;
        const double t = MotorTorque(ds, s, ds.PhaseVoltage);
        if (t > best) best = t, bestSlip = s;
    }
    EXPECT_NEAR(best, 167.605, 0.001);
    EXPECT_NEAR(bestSlip, 0.740, 0.001);
}

TEST(OperatingPoint, LoadRampAndSpeedLaws) {
    MotorDataSet ds = Motor();
    ds.T0 = 5, ds.T1 = 0.2, ds.T2 = 0.01;
    EXPECT_DOUBLE_EQ(LoadTorque(ds, 25), 16.25);
    EXPECT_SIG6(RampVoltage(ds, 0, 5), 23.0940);
    EXPECT_SIG6(RampVoltage(ds, 2.5, 5), 127.017);
    EXPECT_EQ(RampVoltage(ds, 5, 5), ds.PhaseVoltage);
    EXPECT_EQ(RampVoltage(ds, 7, 5), ds.PhaseVoltage);
    EXPECT_EQ(RampVoltage(ds, 0, 0), ds.PhaseVoltage);
    EXPECT_SIG6(SpeedAtTime(ds, 2, 1), 0.632121);
    EXPECT_EQ(SpeedAtTime(ds, 0, 25), 0);
    EXPECT_LT(SpeedAtTime(ds, 1000, 25), 25.0 + 1e-12);
}

TEST(CircuitEvaluator, BitIdenticalToTheDirectFunctions) {
    for (bool star : {true, false}) {
        MotorDataSet ds = IdentifiedFourKilowattMotor(star);
        const CircuitEvaluator circuit(ds);
        for (int i = 1; i <= 2000; ++i) {
            const double s = i / 2000.0 * 1.0000001;
            for (double u : {ds.PhaseVoltage, ds.PhaseVoltage * 0.1, 17.3}) {
                ASSERT_EQ(CircuitEvaluator::Current(circuit.InputImpedance(s), u), StatorCurrent(ds, s, u));
                ASSERT_EQ(circuit.Torque(s, u), MotorTorque(ds, s, u));
            }
        }
    }
}

TEST(OperatingPoint, ACircuitJudgedInRangeGivesTheWatchNothingToNote) {
    // Circuits scaled to the edges of the judged window (1e-20 ... 1e20 for every factor) and
    // beyond: where StaysInRange says so, the watched evaluation at every slip down to the
    // smallest notes nothing and gives the plain evaluation's digits.
    struct Case {
        double scale, voltage, smallestSlip;
        bool rsZero, inRange;
    };
    for (const Case c : {Case{1e-19, 1e19, 5.5e-4, false, true}, Case{1e18, 1e-19, 5.5e-4, true, true},
                         Case{1, 230.94, 1e-18, false, true}, Case{1e-25, 230.94, 5.5e-4, false, false},
                         Case{1, 1e25, 5.5e-4, false, false}, Case{1, 230.94, 1e-21, false, false}}) {
        MotorDataSet ds = Motor();
        ds.Rs = c.rsZero ? 0 : ds.Rs * c.scale;
        ds.Rr *= c.scale, ds.Xssigma *= c.scale, ds.Xrsigma *= c.scale, ds.Xh *= c.scale, ds.Riron *= c.scale;
        const CircuitEvaluator circuit(ds);
        ASSERT_EQ(circuit.StaysInRange(c.voltage, c.smallestSlip), c.inRange) << c.scale << " " << c.voltage;
        RangeWatch watch;
        for (double s = 1; c.inRange && s >= c.smallestSlip; s *= 0.5) {
            const double z = circuit.InputImpedance(s, &watch);
            EXPECT_EQ(z, circuit.InputImpedance(s));
            EXPECT_EQ(CircuitEvaluator::Current(z, c.voltage, &watch), CircuitEvaluator::Current(z, c.voltage));
            EXPECT_EQ(circuit.Torque(s, c.voltage, &watch), circuit.Torque(s, c.voltage));
        }
        EXPECT_FALSE(watch.overflowed || watch.vanished) << c.scale << " " << c.voltage;
    }
}
