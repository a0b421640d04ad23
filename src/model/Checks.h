#pragma once
// Refusals of input that would make the model divide by zero or produce no finite value.
// Each returns 0 when the input is usable, else the number of its message (ErrorMessages.h).

#include "ErrorMessages.h"
#include "MotorDataSet.h"

// Nameplate values that DeriveRatedValues divides by (before it runs).
Refusal CheckRatedValues(const MotorDataSet& ds);
// Derived values that the identification divides by (after DeriveRatedValues).
Refusal CheckIdentification(const MotorDataSet& ds);
// Circuit values that the current and torque divide by.
Refusal CheckCircuit(const MotorDataSet& ds);
// Soft-starter values that the time law divides by.
Refusal CheckStartSettings(const MotorDataSet& ds);
// Everything a results computation needs, judged on the circuit that computation will use.
Refusal CheckComputable(const MotorDataSet& ds);

// The rated values dialog's checks once every field is present: the new refusals above, then
// DeriveRatedValues, then error 20 (|power factor| > 1) and 21 (electrical below mechanical power),
// then the identification refusals. Derived values are computed unless a first refusal stops it.
Refusal ConfirmRatedValues(MotorDataSet& ds);
