#pragma once
// The numbered bilingual messages of the error dialog.

#include <string>
#include <string_view>
#include <utility>

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
    ErrCircuitOverflow = 95,
    ErrValueOverflows = 96,   // names the field, too large
    ErrValueVanishes = 97,    // names the field, too small
    ErrPresetRange = 98,
    ErrNoLoadCurrentTooBig = 99, // gives the limit in A
    // Equivalent diagram fields that are empty or not a number, in field order.
    ErrRsField = 101,
    ErrRrField = 102,
    ErrXssigmaField = 103,
    ErrXrsigmaField = 104,
    ErrXhField = 105,
    ErrRironField = 106,
    ErrNegativeElement = 107, // names the circuit element
    ErrValueSmallOverflows = 108, // names the field, too small (a quotient by it overflows)
    ErrValueLargeVanishes = 109,  // names the field, too large (a quotient by it vanishes)
    // A motor's data sheet and the double cage identified from it (180-189).
    ErrBreakdownBelowLockedTorque = 180, // Tk/Tn and Ta/Tn as given
    ErrFitOutsideTolerances = 181,       // the first quantity outside its tolerance and its deviation
    ErrDatasheetIncomplete = 182,        // the ratios missing
    ErrDatasheetNoSlip = 183,
    ErrDatasheetNoCircuit = 184,
    ErrDatasheetNotANumber = 186, // names the field (or option and text)
    ErrListSecondCage = 187,
    ErrDatasheetTable = 188,      // the table's path and why it cannot be read
    ErrDatasheetRow = 189,        // the row and why it cannot be read
    // Maker and size texts that the motor list cannot hold.
    ErrListTextSeparator = 210,
    ErrListTextCharacter = 211,

    // The motor list under faults (212-219).
    ErrListNotRegularFile = 212,  // names the file
    ErrListTooLarge = 213,        // gives the size limit
    ErrBackupTooLarge = 214,      // gives the size limit
    ErrListLockUnavailable = 215, // names the lock file and why it cannot be opened
    ErrListBusy = 216,            // gives the longest wait

    // Mechanical data of the dynamic start (110-119).
    ErrMechanicalNegative = 110,  // names the field
    ErrTotalInertiaZero = 111,
    ErrMechanicalNotFinite = 112, // names the field
    ErrStartTimeLimitRange = 113, // gives the limit in s
    ErrStartTooStiff = 114,       // gives the total inertia
    ErrMechanicalNotANumber = 115, // the command line's option and its text

    // Supply network (120-139).
    ErrNetworkNotPositive = 120, // names the field
    ErrNetworkNegative = 121,    // names the field
    ErrNetworkNotFinite = 122,   // names the field
    ErrTransformerUrAboveUk = 123,
    ErrCableParallel = 124,
    ErrDipLimitRange = 125,
    ErrNetworkNotComputable = 126,
    ErrNetworkNotANumber = 127, // the command line's option and its text

    // Starting methods and the starter's duty (140-149).
    ErrMethodFraction = 140,      // names the field
    ErrStarterNotPositive = 141,  // names the field
    ErrStarterRatingSyntax = 142, // gives the code as typed
    ErrStarterOnLoadFactor = 143,
    ErrMethodNotANumber = 144,  // the command line's option and its text
    ErrStarterIncomplete = 145, // the command line's starter options that are missing

    // Study files and sweeps (150-169).
    ErrStudyNotJson = 150,          // the line and what the parser says
    ErrStudyNotStudy = 151,         // why
    ErrStudyNewerVersion = 152,     // the file's version and its line
    ErrStudyUnknownKey = 153,       // the key and its line
    ErrStudyDuplicateKey = 154,     // the key and its line
    ErrStudyWrongValue = 155,       // the key, its line and what was expected
    ErrStudyMissingKey = 156,       // the key and where it is missing
    ErrStudyNumberTooLarge = 157,   // the key and its line
    ErrUnusedLoadCoefficient = 158, // the coefficient (and where it was given)
    ErrStudyCircuitOfTyped = 159,   // the line of the circuit
    ErrStudyNotRegularFile = 160,   // the path
    ErrStudyTooLarge = 161,         // the path
    ErrStudyCannotRead = 162,       // the path and the system's reason
    ErrStudyCannotSave = 163,       // the path and the system's reason
    ErrStudyNotWritable = 164,      // the value that cannot be written
    // The command line's sweeps (165-169).
    ErrSweepSyntax = 165,       // the sweep as typed
    ErrSweepName = 166,         // the option named
    ErrSweepTwice = 167,        // the option swept twice or also given
    ErrSweepValueRefused = 168, // a value that no option text can hold
    ErrSweepTooLarge = 169,     // gives the largest number of cases
    // The overload relay and the motor's thermal limit (170-179).
    ErrRelaySettingLow = 170,     // the field; the lowest setting with its unit
    ErrRelaySettingHigh = 171,    // the field; the highest setting with its unit
    ErrWithstandRange = 172,      // the field; its range
    ErrWithstandHotAboveCold = 173, // the hot time, the cold time
    ErrWithstandOnlyOne = 174,
    ErrRelayClassUnknown = 175,   // the class as typed
    ErrRelayWithoutClass = 176,   // the command line's protection option given without --relay-class
    ErrTimeCurrentWithoutDynamic = 177, // the command line's time-current output given without --dynamic

    // The command line's option texts and output files, and the files the desktop writes (220-227).
    ErrOptionNotANumber = 220,     // the option and its text
    ErrSameFile = 221,             // the two options and their paths
    ErrCannotWrite = 222,          // the output (option and path, or the standard output) and why
    ErrCatalogueUnreadable = 223,  // the catalogue's path and why
    ErrCatalogueRecord = 224,      // the record number and why it cannot be used
    ErrSweepChartEmpty = 225,      // the column drawn
    ErrFileInUse = 226,            // the path
    ErrOutputsPartlyReplaced = 227, // the output that could not be put in place and why
    // The ranges of the dynamic start's settings (228-233).
    ErrValueOutOfRange = 228, // names the field; its closed range
    ErrValueAboveAtMost = 229, // names the field; its range, the low bound itself refused

    // Study texts (234-236).
    ErrStudyControlCharacter = 234, // the key, its line and the character

};

// nullptr when the number has no message.
const char* ErrorMessage(int number, Language language);

// What fills "%1" in a message that names a field or element or gives a limit, worded for each
// language (a value is usually the same text in both).
struct ErrorArgument {
    std::string english, french;
    // What fills "%2" of a message with a second part (a field's range, a version).
    std::string english2 = {}, french2 = {};
    bool empty() const { return english.empty() && french.empty(); }
};

// A user's text or a path as a message repeats it: at most its first 60 characters, followed by
// "…" when it is longer (a UTF-8 sequence is never cut).
std::string Excerpt(std::string_view text);

// A refused input: its message number (0 when the input is accepted) and what fills its "%1".
struct Refusal {
    int number = 0;
    ErrorArgument argument;

    Refusal() = default;
    Refusal(int n) : number(n) {} // NOLINT: a plain number is a refusal without argument
    Refusal(int n, ErrorArgument a) : number(n), argument(std::move(a)) {}
    // Reads as its number where only the number matters (0: accepted).
    operator int() const { return number; } // NOLINT

};

// The whole message of a number in a language, "%1" filled in; empty when the number has none.
std::string ErrorText(int number, Language language, const ErrorArgument& argument = {});
inline std::string ErrorText(const Refusal& r, Language language) { return ErrorText(r.number, language, r.argument); }
