#pragma once
// The starts of a data sheet's motor at the edges of the IEC 60034-1 tolerances: "weak" (locked-rotor
// torque 15 % and breakdown torque 10 % below the data sheet, fitted with the torque priority) and
// "heavy" (locked-rotor current 20 % above it, fitted with the current priority), whatever
// priority the motor itself was fitted with. They bound the run-up times and dips a real motor of
// this data sheet may give.

#include "Dynamics.h"
#include "ErrorMessages.h"
#include "MotorDataSet.h"

#include <string>

struct ToleranceCorner {
    int Error = 0;       // the refusal of its fit or of its start, 0 when it ran
    bool Fitted = false; // its circuit was identified (Motor holds it and the fit)
    MotorDataSet Motor;  // the data sheet moved to the corner, identified
    DynamicResults Dynamic;
};

struct ToleranceCorners {
    ToleranceCorner Weak, Heavy;
};

// Both corners of a motor with a data sheet (identified), with the settings of its dynamic start;
// samples and chartPoints as ComputeDynamicStart takes them.
ToleranceCorners ComputeToleranceCorners(const MotorDataSet& ds, const DynamicSettings& settings, int samples = 0,
                                         int chartPoints = 0);

// The run-up times of one start (direct-on-line, or with the soft-starter) over both corners,
// "run-up 0.765 s … 1.166 s", or what stops a corner ("heavy: error 181", "weak stalls"), as the
// command line and the dynamic start window show them; decimals with the separator given.
std::string CornerRange(const ToleranceCorners& corners, bool softStarter, Language language,
                        char decimalSeparator = '.');
