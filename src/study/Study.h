#pragma once
// Study files: everything the user set for one case (motor, soft-starter, load, mechanical data,
// supply network, starting methods and starter, overload relay, language, static curves), never
// the results.
// A study is a JSON file (suffix ".tarvello", schema in README.md) that reads back bit for bit.
//
// The two programs hold a Study next to their data set: StudyFromSettings takes one from the data
// set and the dynamic settings, ApplyStudy puts one back as the dialogs would have set it.

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "Dynamics.h"
#include "ErrorMessages.h"
#include "MotorDataSet.h"

inline constexpr const char* StudyFormatName = "tarvello-study";
// The format version this program writes and the newest it reads. Version 2 added the
// comparison's own current limit, version 3 the data sheet and the second cage, version 4 the
// overload relay; every older version reads as before.
inline constexpr int StudyFormatVersion = 4;
inline constexpr const char* StudySuffix = ".tarvello";
// Larger files are refused before they are read.
inline constexpr long long MaxStudyFileSize = 16LL * 1024 * 1024;

// Which dialog set the circuit: typed (identified from the rated values), list (the selection
// dialog, circuit as listed) or diagram (the equivalent diagram dialog).
enum class MotorSource { Typed, List, Diagram };
// The soft-starter dialog's choice; None until the user has made one.
enum class SoftStarterMode { None, CurrentLimit, SelectedTime };
// The load dialog's choice: which of T0, T1, T2 it uses.
enum class LoadKind { None, Constant, Proportional, Squared };

struct EquivalentCircuit {
    double Rs = 0, Rr = 0, Xssigma = 0, Xrsigma = 0, Xh = 0, Riron = 0; // ohms per phase
    double Rr2 = 0, Xr2sigma = 0; // the second cage; both 0 without one
};

// A typed motor's data sheet: its double cage is identified again whenever the study is opened.
struct StudyDatasheet {
    double LockedRotorCurrentRatio = 0; // Ia/In
    double LockedRotorTorqueRatio = 0;  // Ta/Tn
    double BreakdownTorqueRatio = 0;    // Tk/Tn
    FitPriority Priority = FitPriority::Torque;
};

struct StudyMotor {
    MotorSource Source = MotorSource::Typed;
    std::string ConstructorName, MotorSize; // UTF-8
    double MechanicalPower = 0;             // W
    double LineVoltage = 0;                 // V
    double LineCurrent = 0;                 // A
    double PowerFactor = 0;
    double Frequency = 0;         // Hz
    double RatedSpeed = 0;        // rpm
    double NoLoadLineCurrent = 0; // A; not an input of a typed motor with the approximation (0 there)
    bool StarCoupling = true;
    bool ApproximationWithoutNoLoadCurrent = false;
    EquivalentCircuit Circuit; // used unless typed (zero there: the computation identifies it)
    std::optional<StudyDatasheet> Datasheet; // typed motors only
};

// Defaults: those that the main window presets.
struct StudySoftStarter {
    double EstimatedStartTime = 10; // s
    double Preset = 0.1;            // fraction of the phase voltage
    SoftStarterMode Mode = SoftStarterMode::None;
    double DesiredImaxIn = 1.5;
    double RampTime = 5; // s, the ramp time typed for the selected-time mode
};

struct StudyLoad {
    LoadKind Kind = LoadKind::None;
    double T0 = 0, T1 = 0, T2 = 0; // those the kind does not use are 0
};

struct Study {
    std::optional<Language> StudyLanguage; // unset: the file names none
    StudyMotor Motor;
    StudySoftStarter SoftStarter;
    StudyLoad Load;
    DynamicSettings Dynamic; // mechanical data, supply network, dip limit, methods, starter
    bool ShowStaticCurves = false;
};

// The words of the file for the enumerations ("typed", "current-limit", "squared", ...), and back.
const char* MotorSourceKey(MotorSource source);
const char* SoftStarterModeKey(SoftStarterMode mode);
const char* LoadKindKey(LoadKind kind);
std::optional<LoadKind> LoadKindFromKey(std::string_view key);
// Whether the load kind uses coefficient T<index> (index 0, 1 or 2).
bool LoadKindUses(LoadKind kind, int index);

// ---- Between a study and the program's settings ------------------------------------------------

// What the data set does not hold. Unset fields are taken from the data set: the language from its
// language flags; the source typed, or list when MotorFromList; the load kind the simplest that uses
// every non-zero coefficient; the ramp time SoftStarterTime (in current-limit mode that is the
// searched ramp, so a caller that knows the typed one passes it).
struct StudyChoices {
    std::optional<Language> language{};
    std::optional<MotorSource> source{};
    std::optional<LoadKind> loadKind{};
    std::optional<double> rampTime{};
};

Study StudyFromSettings(const MotorDataSet& ds, const DynamicSettings& settings,
                        const StudyChoices& choices = {});

// Puts the study into the data set as the dialogs would have set it, each after its own checks: the
// rated values dialog (typed: texts, ConfirmRatedValues) or the selection and diagram dialogs (list,
// diagram: CheckRatedValues, CheckCircuit, the circuit, MotorFromList), the soft-starter dialog
// (fields, mode flags, error 51 in selected-time mode), the load dialog (the coefficients of the
// kind, CheckComputable). The result is a fresh data set as after the load dialog (results
// mode, no results yet) that keeps only the language flags and the catalogue rows of the old one;
// settings becomes the study's dynamic settings. Returns the first refusal, and then changes neither.
[[nodiscard]] Refusal ApplyStudy(const Study& study, MotorDataSet& ds, DynamicSettings& settings);

// ---- Text and files -----------------------------------------------------------------------------

// A refused study: the message number with what fills its "%1", and the line of the file it
// concerns (0 when none does). Numbers 150-164 and 234 name the line in their argument already; numbers of
// the program's own checks (e.g. 87 for a mechanical power of 0) keep their message.
struct StudyRefusal {
    Refusal refusal;
    int line = 0;
    // The language the file names, when that much of it could be read (its messages may speak it).
    std::optional<Language> language{};
    explicit operator bool() const { return refusal.number != 0; }
    int number() const { return refusal.number; }
};

// The message, and for a check's own message the line: "... (study file, line 12)".
std::string StudyRefusalText(const StudyRefusal& refusal, Language language);

// The dynamic settings' own refusals (pass CheckDynamicSettings), judged on the data set that
// ApplyStudy makes; an empty function judges nothing more.
using StudySettingsCheck = std::function<Refusal(const DynamicSettings&, const MotorDataSet&)>;

// Reads a study: JSON syntax, the format and its version, every key and value, then ApplyStudy's
// checks and the settings check. On a refusal out is left as it was.
StudyRefusal ParseStudy(const std::string& text, Study& out, const StudySettingsCheck& check = {});

// The file text: ordered keys, two-space indentation, a final newline, shortest round-trip numbers.
// Texts must be UTF-8 and numbers finite (SaveStudyFile refuses others; here invalid bytes would
// become U+FFFD and a non-finite number null).
std::string StudyText(const Study& study);

// Refuses what StudyText cannot write faithfully or a reader would refuse before any check: a
// number that is not finite, a text that is not UTF-8 or holds a control character (error 164).
Refusal CheckStudyWritable(const Study& study);

// Reads a regular file of at most MaxStudyFileSize bytes, then ParseStudy.
StudyRefusal LoadStudyFile(const std::filesystem::path& path, Study& out,
                           const StudySettingsCheck& check = {});

// Writes atomically: a temporary file in the target's folder, written, flushed to disk, renamed onto
// the target (through a symbolic link onto the file it points to). On any failure the temporary file
// is removed, the old file stays as it was and the refusal gives the system's reason. An existing
// file the user may not write is refused, although the folder would allow the rename.
Refusal SaveStudyFile(const std::filesystem::path& path, const Study& study);
