#pragma once
// The numbered bilingual messages of the error dialog.

#include <string>

enum class Language { English, French };

// Numbers beyond the dialog's original table.
enum NewErrorNumber {
    ErrNoMotor = 80,
    ErrRatedSpeedZero = 81,
    ErrFrequencyZero = 82,
    ErrNoPairOfPoles = 83,
    ErrLineVoltageZero = 84,
    ErrLineCurrentZero = 85,
    ErrPowerFactorZero = 86,
    ErrMechanicalPowerZero = 87,
    ErrNoLosses = 88,
    ErrPowerFactorOneApprox = 89,
    ErrNoLoadCurrentZero = 90,
    ErrRotorResistanceZero = 91,
    ErrCircuitNotFinite = 92,
    ErrEstimatedTimeZero = 93,
    ErrLimitUnreachable = 94,
};

// nullptr when the number has no message.
const char* ErrorMessage(int number, Language language);
