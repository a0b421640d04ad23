#pragma once
// The 4 kW, 400 V, 50 Hz, 1440 rpm motor that the worked examples use.

#include "ExampleMotor.h"

inline MotorDataSet FourKilowattMotor(bool star = true, bool approximate = false) {
    return ExampleFourKilowattMotor(star, approximate);
}

inline MotorDataSet IdentifiedFourKilowattMotor(bool star = true, bool approximate = false) {
    MotorDataSet ds = FourKilowattMotor(star, approximate);
    IdentifyEquivalentDiagram(ds);
    return ds;
}

// Relative comparison to the 6 significant digits the worked examples give.
#define EXPECT_SIG6(actual, expected) EXPECT_NEAR((actual), (expected), std::fabs(expected) * 6e-6)
