#pragma once
// The options of one tarvello-sim command as typed: which were given and their texts, nothing
// read yet (plain C++, no Qt). The texts are read later by the case builder, as the dialogs read
// their fields, so that a sweep can put another text in place of one option without parsing the
// command again.

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

enum class Opt {
    // The motor.
    Catalogue,
    Record,
    Power,
    Voltage,
    Current,
    PowerFactor,
    Frequency,
    Speed,
    NoLoadCurrent,
    Approximate,
    Star,
    Delta,
    LockedRotorCurrent,
    LockedRotorTorque,
    BreakdownTorque,
    FitPriority,
    Maker,
    Size,
    Circuit,
    // The soft-starter.
    EstimatedTime,
    Preset,
    CurrentLimit,
    RampTime,
    // The load.
    Load,
    T0,
    T1,
    T2,
    // The dynamic start.
    Dynamic,
    MotorInertia,
    LoadInertia,
    StartTimeLimit,
    DynamicCurves,
    // The supply network.
    SupplyPower,
    SupplyRx,
    SupplyVoltage,
    TransformerPower,
    TransformerUk,
    TransformerUr,
    CableLength,
    CableSection,
    CableMaterial,
    CableParallel,
    CableReactance,
    DipLimit,
    // The starting methods side by side, and the starter's duty.
    Compare,
    ChangeoverSpeed,
    AutotransformerTap,
    ReactorVoltage,
    CompareCurrentLimit,
    StarterCurrent,
    StarterRating,
    StartsPerHour,
    CompareCsv,
    // The overload relay and the motor's thermal limit, and the time-current chart.
    RelayClass,
    RelaySetting,
    LockedRotorTimeCold,
    LockedRotorTimeHot,
    TccPng,
    TccCsv,
    // Study files and sweeps.
    Study,
    SaveStudy,
    Sweep,
    SweepCsv,
    SweepPng,
    SweepY,
    Threads,
    // Data sheets identified in a batch, and the tolerance corners of a dynamic start.
    FitDatasheets,
    FitOut,
    Row,
    ToleranceCorners,
    // Outputs.
    Static,
    Curves,
    Json,
    Png,
    Lang,
    Help,
    Count
};
constexpr std::size_t OptCount = static_cast<std::size_t>(Opt::Count);

// The options that give the motor, in the order their refusals are judged: the rated values with
// the no-load current's alternative, the connection and the data sheet, then the maker, the size
// and the circuit.
inline constexpr Opt MotorOptions[] = {
    Opt::Power,       Opt::Voltage,     Opt::Current,           Opt::PowerFactor,       Opt::Frequency,
    Opt::Speed,       Opt::NoLoadCurrent, Opt::Approximate,     Opt::Star,              Opt::Delta,
    Opt::LockedRotorCurrent, Opt::LockedRotorTorque, Opt::BreakdownTorque, Opt::FitPriority, Opt::Maker,
    Opt::Size,        Opt::Circuit};
// The rated values among them: any of these types the motor again over a study's.
inline constexpr auto RatedValueOptions = std::span(MotorOptions).first<14>();
// The data sheet's three ratios.
inline constexpr Opt DatasheetOptions[] = {Opt::LockedRotorCurrent, Opt::LockedRotorTorque, Opt::BreakdownTorque};

// How an option's text is read: a switch without text, a text, or a number read as the dialogs
// read one (TextToReal); only numbers can be swept.
enum class OptKind { Flag, Text, Number };

struct OptionEntry {
    Opt id;
    const char* name; // with its dashes, e.g. "--power"
    OptKind kind;
    // The message of a number text that is none: the settings' own group number, or 0 for the
    // options of the original program, which answer with ErrOptionNotANumber.
    int notANumber = 0;
};

const OptionEntry& OptionOf(Opt id);
// The option of that name (with dashes), or none.
std::optional<Opt> FindOption(std::string_view name);

// A command line that cannot be a command: exit status 2, the text and the usage on standard error.
struct UsageError {
    std::string text;
};

struct SimOptions {
    // The last text given for each option; "" for a flag that was given.
    std::array<std::optional<std::string>, OptCount> given;
    // Every --sweep text, in the order given.
    std::vector<std::string> sweeps;

    bool Has(Opt id) const { return given[static_cast<std::size_t>(id)].has_value(); }
    const std::string* Text(Opt id) const {
        const auto& t = given[static_cast<std::size_t>(id)];
        return t ? &*t : nullptr;
    }
};

// The most threads a sweep runs on.
constexpr int MaxThreads = 256;

// Parses the arguments (without the program name) and judges which options go together.
// Throws UsageError with the text to show.
SimOptions ParseSimOptions(const std::vector<std::string>& args);

// The texts of one case: the command's options, with some replaced.
class CaseTexts {
  public:
    explicit CaseTexts(const SimOptions& options) : options_(&options) {}
    // From now on the option reads this text (which must outlive this object).
    void Replace(Opt id, const std::string* text) { replaced_[static_cast<std::size_t>(id)] = text; }

    bool Has(Opt id) const { return Text(id) != nullptr; }
    const std::string* Text(Opt id) const {
        const std::string* r = replaced_[static_cast<std::size_t>(id)];
        return r ? r : options_->Text(id);
    }
    const SimOptions& Options() const { return *options_; }

  private:
    const SimOptions* options_;
    std::array<const std::string*, OptCount> replaced_{};
};
