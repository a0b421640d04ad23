#pragma once
// Refusals of input that would make the model divide by zero, overflow, lose a value to underflow
// or produce no finite value. Each returns 0 when the input is usable, else the number of its
// message (ErrorMessages.h) with the field, element or limit that the message names.

#include "ErrorMessages.h"
#include "MotorDataSet.h"

// Nameplate values that DeriveRatedValues divides by, and those whose derived values would be
// infinite or vanish (judged on a copy, before it runs). Serves typed and listed motors alike.
Refusal CheckRatedValues(const MotorDataSet& ds);
// What the identification of a typed motor needs (after DeriveRatedValues): losses, reactive
// power at the rated point (error 20 when there is none), a no-load current below the line
// current times sin phi, and a circuit whose values and evaluation stay within the doubles.
Refusal CheckIdentification(const MotorDataSet& ds);
// Circuit values that the current and torque divide by; no element may be negative, and the
// parts of the evaluation that do not depend on the slip must not overflow.
Refusal CheckCircuit(const MotorDataSet& ds);
// Soft-starter values: an estimated time whose time law stays within the doubles, and a preset
// between 0 and 1 (0 to 100 %).
Refusal CheckStartSettings(const MotorDataSet& ds);
// Everything a results computation needs, judged on the circuit that computation will use,
// including the operating point of the load (70 when the motor cannot carry it at synchronous
// speed).
Refusal CheckComputable(const MotorDataSet& ds);

// The refusal for an evaluation of the circuit in which a value left the doubles' range (0 when
// none did). An identified circuit scales as the phase voltage over the phase current, so the
// field that set that scale is named; for a given circuit an overflow is 95 and a vanished
// value names its smallest element.
struct RangeWatch;
Refusal CircuitRangeRefusal(const MotorDataSet& ds, const RangeWatch& watch, bool identified);
// The refusal for current ratios (I / In, torque false) or torque ratios (T / Tn, torque true)
// of the curves that overflowed: the rated current or torque they divide by is too small.
Refusal CurveRatioRefusal(const MotorDataSet& ds, bool torque);

// The rated values dialog's checks once every field is present: CheckRatedValues, then
// DeriveRatedValues, then error 20 (|power factor| >= 1) and 21 (electrical below mechanical
// power), then CheckIdentification. Derived values are computed unless a first refusal stops it.
Refusal ConfirmRatedValues(MotorDataSet& ds);
