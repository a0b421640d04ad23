#pragma once
// A motor given by its data sheet, at the edge where it is typed, read or opened: the rated values
// dialog's checks, the data sheet's bounds and the identification of its double cage, once; and
// how the fit is named and shown in both languages.

#include <array>
#include <string>

#include "ErrorMessages.h"
#include "MotorDataSet.h"

// For a motor with a data sheet, what ConfirmRatedValues is for one without: CheckRatedValues,
// DeriveRatedValues, error 20 (|power factor| >= 1) and 21 (electrical below mechanical power),
// then CheckDatasheet and IdentifyFromDatasheet. The no-load current is not used; when none is
// given (ApproximationWithoutNoLoadCurrent) it becomes the fitted circuit's. On a refusal the
// circuit and the fit are left as they were.
Refusal ConfirmDatasheetMotor(MotorDataSet& ds);

// "torque" or "current", as the command line, the JSON and the study write the priority.
const char* FitPriorityKey(FitPriority priority);

// The keys of DatasheetFit::Deviations, in its order.
inline constexpr std::array<const char*, 6> DeviationKeys = {
    "Current", "PowerFactor", "RatedTorque", "LockedRotorTorque", "LockedRotorCurrent", "BreakdownTorque"};

// One line on how the circuit came about, for a motor with a data sheet: "double cage, exact fit
// (kr 1.00, kx 0.50)" or "double cage, best fit within the IEC tolerances: Ia −9.8 %" with the
// deviations beyond 0.05 %, largest first (at most three), and the priority of a best fit.
std::string FitSummary(const MotorDataSet& ds, Language language);
// "double cage" for a circuit with a second cage, else "" (no data sheet needed).
std::string CircuitKind(const MotorDataSet& ds, Language language);

// The priority a data-sheet motor was fitted with, as the dip panels say it: a voltage dip computed
// for a torque-priority fit may be flattered by a starting current that gave way.
std::string FitPriorityNote(FitPriority priority, Language language);
