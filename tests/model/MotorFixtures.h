#pragma once
// The 4 kW, 400 V, 50 Hz, 1440 rpm motor that the worked examples use.

#include "Identification.h"
#include "MotorDataSet.h"

inline MotorDataSet FourKilowattMotor(bool star = true, bool approximate = false) {
    MotorDataSet ds;
    PresetStartInputs(ds);
    ds.MechanicalPower = 4000;
    ds.LineVoltage = 400;
    ds.LineCurrent = 8.5;
    ds.PowerFactor = 0.82;
    ds.Frequency = 50;
    ds.RatedSpeed = 1440;
    ds.NoLoadLineCurrent = 4.5;
    ds.StarCoupling = star;
    ds.ApproximationWithoutNoLoadCurrent = approximate;
    DeriveRatedValues(ds);
    return ds;
}

inline MotorDataSet IdentifiedFourKilowattMotor(bool star = true, bool approximate = false) {
    MotorDataSet ds = FourKilowattMotor(star, approximate);
    IdentifyEquivalentDiagram(ds);
    return ds;
}

// Relative comparison to the 6 significant digits the worked examples give.
#define EXPECT_SIG6(actual, expected) EXPECT_NEAR((actual), (expected), std::fabs(expected) * 6e-6)
