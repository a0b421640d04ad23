#pragma once
// Motors after their results computation, as the dynamic start receives them.

#include <gtest/gtest.h>

#include <cmath>

#include "Dynamics.h"
#include "ExampleMotor.h"
#include "Identification.h"
#include "StartSimulation.h"

// The 4 kW reference motor, identified, soft-starter in current-limit mode at 3 (ramp 4.20 s).
inline MotorDataSet FourKilowatt(bool star = true, bool approximate = false, double limit = 3) {
    MotorDataSet ds = ExampleFourKilowattMotor(star, approximate);
    ds.LimitCurrentMode = true;
    ds.DesiredImaxIn = limit;
    EXPECT_EQ(RunStartComputation(ds, nullptr, nullptr), 0);
    return ds;
}

// A catalogue motor with its circuit as listed.
struct ListedValues {
    double power, voltage, frequency, current, powerFactor, speed, noLoad, rs, rr, xs, xr, xh, riron;
    bool star;
};
inline MotorDataSet Listed(const ListedValues& v, double limit = 3) {
    MotorDataSet ds;
    PresetStartInputs(ds);
    ds.MechanicalPower = v.power;
    ds.LineVoltage = v.voltage;
    ds.Frequency = v.frequency;
    ds.LineCurrent = v.current;
    ds.PowerFactor = v.powerFactor;
    ds.RatedSpeed = v.speed;
    ds.NoLoadLineCurrent = v.noLoad;
    ds.StarCoupling = v.star;
    DeriveRatedValues(ds);
    ds.Rs = v.rs, ds.Rr = v.rr, ds.Xssigma = v.xs, ds.Xrsigma = v.xr, ds.Xh = v.xh, ds.Riron = v.riron;
    ds.MotorFromList = true;
    ds.LimitCurrentMode = true;
    ds.DesiredImaxIn = limit;
    EXPECT_EQ(RunStartComputation(ds, nullptr, nullptr), 0);
    return ds;
}
// Records 7, 13 and 18 of the delivered catalogue: 5.5 kW and 30 kW in delta, 75 kW 690 V in star.
inline MotorDataSet FiveKilowattDelta() {
    return Listed({5500, 400, 50, 11.3, 0.82, 1450, 5.0, 2.40, 2.40, 3.98, 3.98, 139, 3132, false});
}
inline MotorDataSet ThirtyKilowattDelta() {
    return Listed({30000, 400, 50, 55.0, 0.85, 1475, 17.0, 0.26, 0.26, 1.37, 1.37, 41, 1205, false});
}
inline MotorDataSet SeventyFiveKilowattStar() {
    return Listed({75000, 690, 50, 78.0, 0.86, 1485, 23.0, 0.09, 0.09, 0.55, 0.55, 17, 553, true});
}

inline DynamicSettings WithInertia(double motor, double load = 0) {
    DynamicSettings s;
    s.Mechanical.MotorInertia = motor;
    s.Mechanical.LoadInertia = load;
    return s;
}

inline DynamicResults Computed(const MotorDataSet& ds, const DynamicSettings& s, int samples = 0,
                               int chartPoints = 0) {
    DynamicResults r;
    EXPECT_EQ(ComputeDynamicStart(ds, s, r, samples, chartPoints), 0);
    return r;
}

#define EXPECT_REL(actual, expected, tolerance)                                                              \
    EXPECT_NEAR((actual), (expected), std::fabs(expected) * (tolerance))
