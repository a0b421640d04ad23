#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>

#include "ErrorMessages.h"
#include "MotorFixtures.h"
#include "OperatingPoint.h"
#include "StartSimulation.h"

namespace {
MotorDataSet LimitMotor(double limit) {
    MotorDataSet ds = IdentifiedFourKilowattMotor(true);
    ds.MotorFromList = true;
    ds.LimitCurrentMode = true;
    ds.DesiredImaxIn = limit;
    return ds;
}

// The ramp-time search written out literally, one StatorCurrent call per point and trial.
double LiteralSearch(const MotorDataSet& ds, double limit, int maxTrials = 100000) {
    bool none;
    const double slipOp = OperatingSlip(ds, LoadTorque(ds, ds.SynchronousSpeed), ds.PhaseVoltage, none);
    const double nFinal = static_cast<double>(ds.SynchronousSpeed * (1.0L - slipOp));
    const double tend = static_cast<double>(1.5L * ds.EstimatedStartTime);
    double ramp = 0;
    for (int trial = 0; trial < maxTrials; ++trial) {
        Curve a{};
        for (int k = 1; k <= CurvePoints; ++k) {
            const double t = static_cast<double>((tend * 0.01L) * (k - 1));
            const double n = SpeedAtTime(ds, t, nFinal);
            const double s = static_cast<double>((static_cast<Extended>(ds.SynchronousSpeed) - n) / ds.SynchronousSpeed);
            a[k - 1] = static_cast<double>(
                static_cast<Extended>(StatorCurrent(ds, s, RampVoltage(ds, t, ramp))) / ds.PhaseCurrent);
        }
        if (PeakValue(a) < limit) return ramp;
        ramp = static_cast<double>(ramp + 0.05L);
    }
    return -1;
}
} // namespace

TEST(StartCurves, TimeGridAndFirstPoint) {
    MotorDataSet ds = IdentifiedFourKilowattMotor(true);
    ComputeStartCurves(ds);
    EXPECT_EQ(ds.TimeAxis[0], 0);
    EXPECT_DOUBLE_EQ(ds.TimeAxis[1], 0.15);
    EXPECT_DOUBLE_EQ(ds.TimeAxis[99], 14.85);
    for (int k = 1; k < CurvePoints; ++k) EXPECT_NEAR(ds.TimeAxis[k] - ds.TimeAxis[k - 1], 0.15, 1e-12);
    // Locked rotor at full voltage, and at the preset for the soft-starter.
    EXPECT_SIG6(ds.DolCurrentCurve[0], 82.8883 / 8.5);
    EXPECT_SIG6(ds.DolTorqueCurve[0], 163.266 / 26.5258);
    EXPECT_SIG6(ds.SoftStarterCurrentCurve[0], 0.1 * 82.8883 / 8.5);
    EXPECT_EQ(ds.ImaxIn, PeakValue(ds.SoftStarterCurrentCurve)); // also in selected-time mode
    EXPECT_LT(ds.DolCurrentCurve[99], 1.1);                      // near no load at the end
}

TEST(StartCurves, ZeroRampEqualsDirectOnLine) {
    MotorDataSet ds = IdentifiedFourKilowattMotor(true);
    ds.SoftStarterTime = 0;
    ComputeStartCurves(ds);
    EXPECT_EQ(ds.SoftStarterCurrentCurve, ds.DolCurrentCurve);
    EXPECT_EQ(ds.SoftStarterTorqueCurve, ds.DolTorqueCurve);
}

TEST(StartCurves, SinkReceivesThePointsInOrder) {
    MotorDataSet ds = IdentifiedFourKilowattMotor(true);
    CurveBuffer buffer;
    ComputeStartCurves(ds, &buffer);
    ASSERT_EQ(buffer.points.size(), 100u);
    for (int k = 0; k < CurvePoints; ++k) {
        EXPECT_EQ(buffer.points[k].x, ds.TimeAxis[k]);
        EXPECT_EQ(buffer.points[k].dolCurrent, ds.DolCurrentCurve[k]);
        EXPECT_EQ(buffer.points[k].ssTorque, ds.SoftStarterTorqueCurve[k]);
    }
}

TEST(StaticCurves, SpeedAxisIsTheSameForEveryMotor) {
    for (bool star : {true, false}) {
        MotorDataSet ds = IdentifiedFourKilowattMotor(star);
        ds.EstimatedStartTime = star ? 10 : 3.7;
        CurveBuffer buffer;
        ComputeStaticCurves(ds, &buffer);
        EXPECT_EQ(ds.SpeedAxis[0], 0);
        EXPECT_NEAR(ds.SpeedAxis[1], 1 - std::exp(-0.075), 1e-12);
        EXPECT_NEAR(ds.SpeedAxis[99], 1 - std::exp(-7.425), 1e-12);
        ASSERT_EQ(buffer.points.size(), 100u);
        EXPECT_EQ(buffer.points[99].x, ds.SpeedAxis[99]);
        EXPECT_SIG6(buffer.points[0].dolCurrent, StatorCurrent(ds, 1, ds.PhaseVoltage) / ds.PhaseCurrent);
    }
}

TEST(RampSearch, LimitThreeGivesFourPointTwoSeconds) {
    MotorDataSet ds = LimitMotor(3);
    ASSERT_TRUE(SearchRampTime(ds));
    EXPECT_NEAR(ds.SoftStarterTime, 4.20, 1e-9);
    ComputeStartCurves(ds);
    EXPECT_LT(ds.ImaxIn, 3);
    EXPECT_GT(ds.ImaxIn, 2.9);
}

TEST(RampSearch, SameResultAsTheLiteralSearch) {
    for (double limit : {9.0, 5.0, 3.0, 2.5, 2.0, 1.5, 1.2}) {
        MotorDataSet ds = LimitMotor(limit);
        ASSERT_TRUE(SearchRampTime(ds)) << limit;
        EXPECT_EQ(ds.SoftStarterTime, LiteralSearch(ds, limit)) << limit;
        EXPECT_NEAR(std::remainder(ds.SoftStarterTime, 0.05), 0, 1e-9) << limit;
    }
    MotorDataSet loaded = LimitMotor(3.5);
    loaded.T2 = 0.02;
    loaded.Preset = 0.3;
    ASSERT_TRUE(SearchRampTime(loaded));
    EXPECT_GT(loaded.SoftStarterTime, 0);
    EXPECT_EQ(loaded.SoftStarterTime, LiteralSearch(loaded, 3.5));
}

TEST(RampSearch, ComparisonIsStrict) {
    MotorDataSet ds = LimitMotor(3);
    // The peak of the 1.00 s trial (20 additions of 0.05) as the desired limit rejects that trial.
    double ramp = 0;
    for (int i = 0; i < 20; ++i) ramp = static_cast<double>(ramp + 0.05L);
    MotorDataSet trial = ds;
    trial.SoftStarterTime = ramp;
    ComputeStartCurves(trial);
    ds.DesiredImaxIn = trial.ImaxIn;
    ASSERT_TRUE(SearchRampTime(ds));
    EXPECT_GT(ds.SoftStarterTime, ramp);
    ds.DesiredImaxIn = std::nextafter(trial.ImaxIn, 100.0);
    ASSERT_TRUE(SearchRampTime(ds));
    EXPECT_LE(ds.SoftStarterTime, ramp);
}

TEST(RampSearch, NoRampWhenDirectOnLineIsBelowTheLimit) {
    MotorDataSet ds = LimitMotor(10);
    ds.SoftStarterTime = 7;
    ASSERT_TRUE(SearchRampTime(ds));
    EXPECT_EQ(ds.SoftStarterTime, 0);
}

TEST(RampSearch, UnreachableLimitStopsAtTheBound) {
    for (double limit : {0.0, -1.0, 0.9}) { // preset 10 % of a 9.75 peak is about 0.975
        MotorDataSet ds = LimitMotor(limit);
        ds.SoftStarterTime = 5;
        EXPECT_FALSE(SearchRampTime(ds)) << limit;
        EXPECT_EQ(ds.SoftStarterTime, 5);
    }
}

TEST(RampSearch, ALimitAtThePresetsStartingCurrentIsUnreachableAndOneJustAboveIsNot) {
    // Every ramp starts at the preset voltage at t = 0: a limit that this first point reaches
    // stops the search at once, one just above it finds the shortest ramp that keeps below.
    MotorDataSet ds = LimitMotor(3);
    ds.Preset = 0.35;
    const double first = static_cast<double>(
        static_cast<Extended>(StatorCurrent(ds, 1, RampVoltage(ds, 0, 5))) / ds.PhaseCurrent);
    ds.DesiredImaxIn = first;
    ds.SoftStarterTime = 5;
    EXPECT_FALSE(SearchRampTime(ds));
    EXPECT_EQ(ds.SoftStarterTime, 5);
    ds.DesiredImaxIn = std::nextafter(first, 100.0);
    ASSERT_TRUE(SearchRampTime(ds));
    MotorDataSet found = ds, shorter = ds;
    ComputeStartCurves(found);
    EXPECT_LT(found.ImaxIn, ds.DesiredImaxIn);
    EXPECT_EQ(found.ImaxIn, first); // the peak is the first point's
    shorter.SoftStarterTime = static_cast<double>(ds.SoftStarterTime - 0.05L);
    ComputeStartCurves(shorter);
    EXPECT_GE(shorter.ImaxIn, ds.DesiredImaxIn);
}

TEST(RunStartComputation, RecomputingKeepsTheRampTime) {
    MotorDataSet ds = FourKilowattMotor(true);
    ds.LimitCurrentMode = true;
    ds.DesiredImaxIn = 3;
    ASSERT_EQ(RunStartComputation(ds, nullptr, nullptr), 0);
    const double first = ds.SoftStarterTime;
    const double peak = ds.ImaxIn;
    ds.ShowStaticCurves = true;
    ASSERT_EQ(RunStartComputation(ds, nullptr, nullptr), 0);
    ASSERT_EQ(RunStartComputation(ds, nullptr, nullptr), 0);
    EXPECT_EQ(ds.SoftStarterTime, first);
    EXPECT_NEAR(first, 4.20, 1e-9);
    EXPECT_EQ(ds.ImaxIn, peak);
    EXPECT_EQ(ds.DesiredImaxIn, 3);
}

TEST(RunStartComputation, IdentifiesTypedMotorsOnly) {
    MotorDataSet typed = FourKilowattMotor(true);
    ASSERT_EQ(RunStartComputation(typed, nullptr, nullptr), 0);
    EXPECT_NEAR(typed.Xh, 51.32, 1e-3);

    MotorDataSet listed = IdentifiedFourKilowattMotor(true);
    listed.MotorFromList = true;
    listed.Xh = 61;
    ASSERT_EQ(RunStartComputation(listed, nullptr, nullptr), 0);
    EXPECT_EQ(listed.Xh, 61);
}

TEST(RunStartComputation, RefusalsLeaveEverythingAsItWas) {
    MotorDataSet ds = FourKilowattMotor(true);
    ASSERT_EQ(RunStartComputation(ds, nullptr, nullptr), 0);
    const MotorDataSet before = ds;

    CurveBuffer timePoints, staticPoints;
    ds.T0 = 500; // far above the breakdown torque
    EXPECT_EQ(RunStartComputation(ds, &timePoints, &staticPoints), 70);
    EXPECT_EQ(ds.DolCurrentCurve, before.DolCurrentCurve);
    EXPECT_TRUE(timePoints.points.empty());

    ds.T0 = 0;
    ds.LimitCurrentMode = true;
    ds.DesiredImaxIn = 0;
    EXPECT_EQ(RunStartComputation(ds, &timePoints, &staticPoints), ErrLimitUnreachable);
    EXPECT_EQ(ds.SoftStarterTime, before.SoftStarterTime);
    EXPECT_EQ(ds.ImaxIn, before.ImaxIn);
    EXPECT_EQ(ds.SoftStarterCurrentCurve, before.SoftStarterCurrentCurve);
    EXPECT_TRUE(timePoints.points.empty());
}

TEST(RunStartComputation, LoadShortensTheFinalSpeed) {
    MotorDataSet ds = FourKilowattMotor(true);
    ds.ShowStaticCurves = true;
    CurveBuffer noLoadPoints, s1;
    ASSERT_EQ(RunStartComputation(ds, &noLoadPoints, &s1), 0);
    ds.T0 = 26.5258; // rated torque: ends at the rated slip
    CurveBuffer loadPoints, s2;
    ASSERT_EQ(RunStartComputation(ds, &loadPoints, &s2), 0);
    EXPECT_GT(loadPoints.points.back().dolCurrent, noLoadPoints.points.back().dolCurrent);
    EXPECT_NEAR(loadPoints.points.back().dolTorque, 1.0, 0.02);
    EXPECT_EQ(s1.points.size(), 100u);
    // The static curves run to synchronous speed whatever the load.
    EXPECT_EQ(s1.points.back().dolCurrent, s2.points.back().dolCurrent);
}

TEST(RunStartComputation, WholeResultsKeepEveryDigit) {
    // Every digit a results computation leaves (the data set's curves, ramp time, peak and circuit,
    // and the points both sinks receive) folded into a 64-bit FNV-1a digest, taken before the
    // circuit's range was judged once per computation instead of at every evaluation: that change
    // may cost nothing but time. Listed motors have R'r = 0.8 Rs and X'rsigma = 1.2 Xssigma.
    struct Case {
        const char* name;
        bool star, approximate, limitMode;
        double limit, t0, t1, t2;
        double rs, xs, xh, riron; // a listed circuit when rs > 0
        std::uint64_t digest;
    };
    const Case cases[] = {
        {"reference star, limit 3", true, false, true, 3, 0, 0, 0, 0, 0, 0, 0, 0xeaca8dd05aeb21f3},
        {"delta, approximated, selected time", false, true, false, 3, 0, 0, 0, 0, 0, 0, 0, 0x2a2b85972300f286},
        {"star, fan load, limit 2.5", true, false, true, 2.5, 0, 0, 0.0424, 0, 0, 0, 0, 0x58f336f1cdeb4c1e},
        {"delta, constant and linear load", false, false, true, 4, 8, 0.1, 0, 0, 0, 0, 0, 0xb52a4768de64065c},
        {"listed, limit 5", false, false, true, 5, 0, 0, 0, 1.9, 2.1, 80, 1500, 0xfe9912a5c05cc3c6},
        {"listed, tiny leakage", false, false, false, 3, 0, 0, 0, 0.5, 1e-3, 300, 1e5, 0xfe5abf05483f37f4},
        {"listed, leakage of 1e-25", false, false, false, 3, 0, 0, 0, 0.5, 1e-25, 300, 1e5, 0x7fea1f9313620aba},
    };
    for (const Case& c : cases) {
        MotorDataSet ds = c.rs > 0 ? IdentifiedFourKilowattMotor(false) : FourKilowattMotor(c.star, c.approximate);
        if (c.rs > 0) {
            ds.MotorFromList = true, ds.EstimatedStartTime = 3, ds.Preset = 0.25;
            ds.Rs = c.rs, ds.Rr = 0.8 * c.rs, ds.Xssigma = c.xs, ds.Xrsigma = 1.2 * c.xs, ds.Xh = c.xh, ds.Riron = c.riron;
        }
        ds.LimitCurrentMode = c.limitMode, ds.DesiredImaxIn = c.limit, ds.T0 = c.t0, ds.T1 = c.t1, ds.T2 = c.t2;
        ds.ShowStaticCurves = true;
        CurveBuffer timePoints, staticPoints;
        ASSERT_EQ(RunStartComputation(ds, &timePoints, &staticPoints), 0) << c.name;
        std::uint64_t h = 14695981039346656037ull;
        auto add = [&](double v) {
            std::uint64_t bits;
            std::memcpy(&bits, &v, sizeof bits);
            for (int i = 0; i < 8; ++i, bits >>= 8) h = (h ^ (bits & 0xff)) * 1099511628211ull;
        };
        for (const Curve* curve : {&ds.TimeAxis, &ds.DolCurrentCurve, &ds.DolTorqueCurve, &ds.SoftStarterCurrentCurve,
                                   &ds.SoftStarterTorqueCurve, &ds.SpeedAxis})
            for (double v : *curve) add(v);
        for (double v : {ds.SoftStarterTime, ds.ImaxIn, ds.Rs, ds.Xssigma, ds.Xh, ds.Riron}) add(v);
        for (const CurveBuffer* b : {&timePoints, &staticPoints})
            for (const CurvePoint& p : b->points)
                for (double v : {p.x, p.dolCurrent, p.dolTorque, p.ssCurrent, p.ssTorque}) add(v);
        EXPECT_EQ(h, c.digest) << c.name << std::hex << " 0x" << h;
    }
}
