#pragma once
// The 4 kW, 400 V, 50 Hz, 1440 rpm, 8.5 A, cos phi 0.82 motor with a no-load current of 4.5 A:
// the reference motor of the documentation, the benchmarks and the checking tools.

#include "Identification.h"
#include "MotorDataSet.h"

// Confirmed as a typed motor (derived values computed, circuit still to identify), with the
// start inputs the main window presets.
inline MotorDataSet ExampleFourKilowattMotor(bool star = true, bool approximate = false) {
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
