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

// The 4 kW motor of the data-sheet examples (400 V in star, 8.5 A, cos phi 0.82, 1430 rpm) with a
// double-cage circuit given as a listed motor's, ohms per winding: the rated torque at about its
// rated slip, 2.36 Tn and 5.0 In at standstill, the largest torque 2.85 Tn at s = 0.318.
inline MotorDataSet ExampleDoubleCageMotor() {
    MotorDataSet ds = ExampleFourKilowattMotor(true);
    ds.RatedSpeed = 1430;
    DeriveRatedValues(ds);
    ds.Rs = 1.3, ds.Rr = 1.7, ds.Xssigma = 2.2, ds.Xrsigma = 3.6, ds.Xh = 38, ds.Riron = 700;
    ds.Rr2 = 9, ds.Xr2sigma = 1.1;
    ds.MotorFromList = true;
    return ds;
}
