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
    // Equivalent diagram fields that are empty or not a number, in field order.
    ErrRsField = 101,
    ErrRrField = 102,
    ErrXssigmaField = 103,
    ErrXrsigmaField = 104,
    ErrXhField = 105,
    ErrRironField = 106,
    // Maker and size texts that the motor list cannot hold.
    ErrListTextSeparator = 210,
    ErrListTextCharacter = 211,
};

// nullptr when the number has no message.
const char* ErrorMessage(int number, Language language);
