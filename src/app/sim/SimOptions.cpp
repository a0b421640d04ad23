#include "SimOptions.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <charconv>

#include "Study.h" // the load kinds' words, as a study file writes them

namespace {

constexpr OptionEntry Table[] = {
    {Opt::Catalogue, "--catalogue", OptKind::Text},
    {Opt::Record, "--record", OptKind::Text},
    {Opt::Power, "--power", OptKind::Number},
    {Opt::Voltage, "--voltage", OptKind::Number},
    {Opt::Current, "--current", OptKind::Number},
    {Opt::PowerFactor, "--power-factor", OptKind::Number},
    {Opt::Frequency, "--frequency", OptKind::Number},
    {Opt::Speed, "--speed", OptKind::Number},
    {Opt::NoLoadCurrent, "--no-load-current", OptKind::Number},
    {Opt::Approximate, "--approximate", OptKind::Flag},
    {Opt::Star, "--star", OptKind::Flag},
    {Opt::Delta, "--delta", OptKind::Flag},
    {Opt::LockedRotorCurrent, "--locked-rotor-current", OptKind::Number, 186},
    {Opt::LockedRotorTorque, "--locked-rotor-torque", OptKind::Number, 186},
    {Opt::BreakdownTorque, "--breakdown-torque", OptKind::Number, 186},
    {Opt::FitPriority, "--fit-priority", OptKind::Text},
    {Opt::Maker, "--maker", OptKind::Text},
    {Opt::Size, "--size", OptKind::Text},
    {Opt::Circuit, "--circuit", OptKind::Text},
    {Opt::EstimatedTime, "--estimated-time", OptKind::Number},
    {Opt::Preset, "--preset", OptKind::Number},
    {Opt::CurrentLimit, "--current-limit", OptKind::Number},
    {Opt::RampTime, "--ramp-time", OptKind::Number},
    {Opt::Load, "--load", OptKind::Text},
    {Opt::T0, "--t0", OptKind::Number},
    {Opt::T1, "--t1", OptKind::Number},
    {Opt::T2, "--t2", OptKind::Number},
    {Opt::Dynamic, "--dynamic", OptKind::Flag},
    {Opt::MotorInertia, "--motor-inertia", OptKind::Number, 115},
    {Opt::LoadInertia, "--load-inertia", OptKind::Number, 115},
    {Opt::StartTimeLimit, "--start-time-limit", OptKind::Number, 115},
    {Opt::DynamicCurves, "--dynamic-curves", OptKind::Text},
    {Opt::SupplyPower, "--supply-power", OptKind::Number, 127},
    {Opt::SupplyRx, "--supply-rx", OptKind::Number, 127},
    {Opt::SupplyVoltage, "--supply-voltage", OptKind::Number, 127},
    {Opt::TransformerPower, "--transformer-power", OptKind::Number, 127},
    {Opt::TransformerUk, "--transformer-uk", OptKind::Number, 127},
    {Opt::TransformerUr, "--transformer-ur", OptKind::Number, 127},
    {Opt::CableLength, "--cable-length", OptKind::Number, 127},
    {Opt::CableSection, "--cable-section", OptKind::Number, 127},
    {Opt::CableMaterial, "--cable-material", OptKind::Text},
    {Opt::CableParallel, "--cable-parallel", OptKind::Number, 127},
    {Opt::CableReactance, "--cable-reactance", OptKind::Number, 127},
    {Opt::DipLimit, "--dip-limit", OptKind::Number, 127},
    {Opt::Compare, "--compare", OptKind::Flag},
    {Opt::ChangeoverSpeed, "--changeover-speed", OptKind::Number, 144},
    {Opt::AutotransformerTap, "--autotransformer-tap", OptKind::Number, 144},
    {Opt::ReactorVoltage, "--reactor-voltage", OptKind::Number, 144},
    {Opt::CompareCurrentLimit, "--compare-current-limit", OptKind::Number, 144},
    {Opt::StarterCurrent, "--starter-current", OptKind::Number, 144},
    {Opt::StarterRating, "--starter-rating", OptKind::Text},
    {Opt::StartsPerHour, "--starts-per-hour", OptKind::Number, 144},
    {Opt::CompareCsv, "--compare-csv", OptKind::Text},
    {Opt::RelayClass, "--relay-class", OptKind::Text},
    {Opt::RelaySetting, "--relay-setting", OptKind::Number},
    {Opt::LockedRotorTimeCold, "--locked-rotor-time-cold", OptKind::Number},
    {Opt::LockedRotorTimeHot, "--locked-rotor-time-hot", OptKind::Number},
    {Opt::TccPng, "--tcc-png", OptKind::Text},
    {Opt::TccCsv, "--tcc-csv", OptKind::Text},
    {Opt::Study, "--study", OptKind::Text},
    {Opt::SaveStudy, "--save-study", OptKind::Text},
    {Opt::Sweep, "--sweep", OptKind::Text},
    {Opt::SweepCsv, "--sweep-csv", OptKind::Text},
    {Opt::SweepPng, "--sweep-png", OptKind::Text},
    {Opt::SweepY, "--sweep-y", OptKind::Text},
    {Opt::Threads, "--threads", OptKind::Text},
    {Opt::FitDatasheets, "--fit-datasheets", OptKind::Text},
    {Opt::FitOut, "--fit-out", OptKind::Text},
    {Opt::Row, "--row", OptKind::Text},
    {Opt::ToleranceCorners, "--tolerance-corners", OptKind::Flag},
    {Opt::Static, "--static", OptKind::Flag},
    {Opt::Curves, "--curves", OptKind::Text},
    {Opt::Json, "--json", OptKind::Flag},
    {Opt::Png, "--png", OptKind::Text},
    {Opt::Lang, "--lang", OptKind::Text},
    {Opt::Help, "--help", OptKind::Flag},
};
static_assert(std::size(Table) == OptCount, "one entry per option");

constexpr bool InEnumOrder() {
    for (std::size_t i = 0; i < std::size(Table); ++i)
        if (static_cast<std::size_t>(Table[i].id) != i) return false;
    return true;
}
static_assert(InEnumOrder(), "the table follows the enumeration");

std::string Name(Opt id) {
    return OptionOf(id).name;
}

// The option a sweep text names ("t2=0:0.04:100" names --t2), when it names a number option.
std::optional<Opt> SweptOption(const std::string& sweep) {
    const auto id = FindOption("--" + sweep.substr(0, sweep.find('=')));
    if (id && OptionOf(*id).kind == OptKind::Number) return id;
    return std::nullopt;
}

// The judgement of options that cannot go together, in the order in which they were always judged.
// A swept option counts as given.
void CheckCombinations(const SimOptions& o) {
    std::array<bool, OptCount> swept{};
    for (const std::string& sweep : o.sweeps)
        if (auto id = SweptOption(sweep)) swept[static_cast<std::size_t>(*id)] = true;
    auto given = [&](Opt id) { return o.Has(id) || swept[static_cast<std::size_t>(id)]; };

    if (o.Has(Opt::Catalogue) != o.Has(Opt::Record)) throw UsageError{"--catalogue and --record go together"};
    if (o.Has(Opt::Catalogue))
        for (Opt motorOption : MotorOptions)
            if (given(motorOption))
                throw UsageError{Name(motorOption) +
                                 " does not go with --catalogue: the record gives the motor"};
    if (given(Opt::NoLoadCurrent) && o.Has(Opt::Approximate))
        throw UsageError{"--no-load-current and --approximate exclude each other"};
    if (o.Has(Opt::Star) && o.Has(Opt::Delta)) throw UsageError{"--star and --delta exclude each other"};
    if (given(Opt::CurrentLimit) && given(Opt::RampTime))
        throw UsageError{"--current-limit and --ramp-time exclude each other"};

    // Two outputs on standard output would mix; the JSON object is named first, as it always was.
    Opt onStandardOutput[] = {Opt::Json,   Opt::Curves,    Opt::DynamicCurves, Opt::CompareCsv, Opt::Png,
                              Opt::TccCsv, Opt::TccPng, Opt::SaveStudy,     Opt::FitOut};
    std::vector<Opt> writers;
    for (Opt w : onStandardOutput)
        if (w == Opt::Json ? o.Has(w) : o.Text(w) && *o.Text(w) == "-") writers.push_back(w);
    if (writers.size() > 1) {
        const std::string second = writers[1] == Opt::Json ? Name(writers[1]) : Name(writers[1]) + " -";
        const std::string first = writers[0] == Opt::Json ? Name(writers[0]) : Name(writers[0]) + " -";
        throw UsageError{first + " and " + second + " both write to standard output"};
    }
    if (auto l = o.Text(Opt::Lang); l && *l != "en" && *l != "fr") throw UsageError{"--lang takes en or fr"};
    if (auto l = o.Text(Opt::Load); l && !LoadKindFromKey(*l))
        throw UsageError{"--load takes none, constant, proportional or squared"};

    if (auto p = o.Text(Opt::FitPriority); p && *p != "torque" && *p != "current")
        throw UsageError{"--fit-priority takes torque or current"};
    for (Opt d : DatasheetOptions)
        if (given(d) && given(Opt::Circuit)) throw UsageError{Name(d) + " does not go with --circuit"};
    if (o.Has(Opt::ToleranceCorners) && !o.Has(Opt::Dynamic))
        throw UsageError{"--tolerance-corners goes with --dynamic"};
    // A table of data sheets gives the motors: a batch writes its table and nothing else, one row
    // (--row) makes one case as the motor options would.
    if (o.Has(Opt::FitDatasheets)) {
        for (Opt motorOption : MotorOptions)
            if (given(motorOption) && motorOption != Opt::FitPriority)
                throw UsageError{Name(motorOption) + " does not go with --fit-datasheets: the table gives the motor"};
        for (Opt other : {Opt::Catalogue, Opt::Study})
            if (o.Has(other)) throw UsageError{Name(other) + " does not go with --fit-datasheets"};
        if (!o.sweeps.empty()) throw UsageError{"--sweep does not go with --fit-datasheets"};
        if (o.Has(Opt::Row)) {
            if (o.Has(Opt::FitOut)) throw UsageError{"--fit-out does not go with --row"};
        } else {
            for (Opt single : {Opt::Json, Opt::Curves, Opt::Png, Opt::DynamicCurves, Opt::CompareCsv,
                               Opt::TccCsv, Opt::TccPng, Opt::SaveStudy, Opt::Dynamic, Opt::Static})
                if (o.Has(single)) throw UsageError{Name(single) + " goes with --fit-datasheets only with --row"};
        }
    } else {
        for (Opt f : {Opt::FitOut, Opt::Row})
            if (o.Has(f)) throw UsageError{Name(f) + " goes with --fit-datasheets"};
    }
    if (const std::string* row = o.Text(Opt::Row)) {
        int n = 0;
        const auto [end, ec] = std::from_chars(row->data(), row->data() + row->size(), n);
        if (ec != std::errc() || end != row->data() + row->size() || n < 1)
            throw UsageError{"--row takes a whole number from 1"};
    }

    if (auto m = o.Text(Opt::CableMaterial); m && *m != "copper" && *m != "aluminium")
        throw UsageError{"--cable-material takes copper or aluminium"};

    // The dynamic start's settings and outputs mean nothing without it, the methods' settings
    // nothing without the comparison; a study keeps them all.
    const bool saving = o.Has(Opt::SaveStudy);
    for (Opt d :
         {Opt::MotorInertia, Opt::LoadInertia, Opt::StartTimeLimit, Opt::SupplyPower, Opt::SupplyRx,
          Opt::SupplyVoltage, Opt::TransformerPower, Opt::TransformerUk, Opt::TransformerUr, Opt::CableLength,
          Opt::CableSection, Opt::CableMaterial, Opt::CableParallel, Opt::CableReactance, Opt::DipLimit})
        if (given(d) && !o.Has(Opt::Dynamic) && !saving) throw UsageError{Name(d) + " goes with --dynamic"};
    for (Opt d : {Opt::DynamicCurves, Opt::Compare})
        if (o.Has(d) && !o.Has(Opt::Dynamic)) throw UsageError{Name(d) + " goes with --dynamic"};
    // The relay is judged on the dynamic start: its settings go with --dynamic (or into a study);
    // its chart without one is refused by number (177), as is a setting without a class (176).
    for (Opt d : {Opt::RelayClass, Opt::RelaySetting, Opt::LockedRotorTimeCold, Opt::LockedRotorTimeHot})
        if (given(d) && !o.Has(Opt::Dynamic) && !saving) throw UsageError{Name(d) + " goes with --dynamic"};
    for (Opt c : {Opt::ChangeoverSpeed, Opt::AutotransformerTap, Opt::ReactorVoltage,
                  Opt::CompareCurrentLimit, Opt::StarterCurrent, Opt::StarterRating, Opt::StartsPerHour})
        if (given(c) && !o.Has(Opt::Compare) && !saving) throw UsageError{Name(c) + " goes with --compare"};
    if (o.Has(Opt::CompareCsv) && !o.Has(Opt::Compare)) throw UsageError{"--compare-csv goes with --compare"};

    // A sweep writes its table and nothing else.
    if (!o.sweeps.empty()) {
        for (Opt single :
             {Opt::Json, Opt::Curves, Opt::Png, Opt::DynamicCurves, Opt::CompareCsv, Opt::TccCsv, Opt::TccPng,
              Opt::SaveStudy})
            if (o.Has(single)) throw UsageError{Name(single) + " does not go with --sweep"};
        if (const std::string* png = o.Text(Opt::SweepPng);
            png && *png == "-" && (!o.Has(Opt::SweepCsv) || *o.Text(Opt::SweepCsv) == "-"))
            throw UsageError{
                "--sweep-csv (standard output unless given) and --sweep-png - both write to standard "
                "output"};
    } else {
        for (Opt s : {Opt::SweepCsv, Opt::SweepPng, Opt::SweepY})
            if (o.Has(s)) throw UsageError{Name(s) + " goes with --sweep"};
        if (o.Has(Opt::Threads) && !o.Has(Opt::FitDatasheets)) throw UsageError{"--threads goes with --sweep"};
        if (o.Has(Opt::Threads) && o.Has(Opt::Row)) throw UsageError{"--threads does not go with --row"};
    }
    if (const std::string* threads = o.Text(Opt::Threads)) {
        int n = 0;
        const auto [end, ec] = std::from_chars(threads->data(), threads->data() + threads->size(), n);
        if (ec != std::errc() || end != threads->data() + threads->size() || n < 1 || n > MaxThreads)
            throw UsageError{"--threads takes a whole number from 1 to " + std::to_string(MaxThreads)};
    }
}

} // namespace

const OptionEntry& OptionOf(Opt id) {
    return Table[static_cast<std::size_t>(id)];
}

std::optional<Opt> FindOption(std::string_view name) {
    for (const OptionEntry& s : Table)
        if (name == s.name) return s.id;
    return std::nullopt;
}

SimOptions ParseSimOptions(const std::vector<std::string>& args) {
    CLI::App app;
    app.set_help_flag(); // --help is an option of its own, answered with the usage text
    app.allow_extras();  // unknown words are collected and named below
    std::array<CLI::Option*, OptCount> cliOptions{};
    for (const OptionEntry& s : Table) {
        CLI::Option* option = nullptr;
        if (s.kind == OptKind::Flag) {
            option = app.add_flag(s.name)->disable_flag_override();
        } else {
            // One text per occurrence, taken as it is even when it starts with a dash; the last wins.
            option = app.add_option(s.name)->expected(1)->allow_extra_args(false);
            option->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
        }
        cliOptions[static_cast<std::size_t>(s.id)] = option;
    }

    std::vector<std::string> reversed(args.rbegin(), args.rend()); // CLI11 takes them from the back
    try {
        app.parse(reversed);
    } catch (const CLI::ArgumentMismatch& e) {
        // Every option takes its text whatever it looks like, so only the last word can lack one.
        const std::string& last = args.back();
        const std::string lastName = last.substr(0, last.find('='));
        if (auto id = FindOption(lastName); id && OptionOf(*id).kind != OptKind::Flag)
            throw UsageError{"missing value for " + lastName};
        for (const std::string& a : args)
            if (auto id = FindOption(a.substr(0, a.find('=')));
                id && OptionOf(*id).kind == OptKind::Flag && a != Name(*id))
                throw UsageError{Name(*id) + " takes no value"};
        throw UsageError{e.what()};
    } catch (const CLI::ParseError& e) {
        throw UsageError{e.what()};
    }
    const std::vector<std::string> unknown = app.remaining();
    if (!unknown.empty()) throw UsageError{"unknown option " + unknown.front()};

    SimOptions o;
    for (const OptionEntry& s : Table) {
        const CLI::Option* option = cliOptions[static_cast<std::size_t>(s.id)];
        if (option->count() == 0) continue;
        o.given[static_cast<std::size_t>(s.id)] =
            s.kind == OptKind::Flag ? std::string() : option->results().back();
    }
    o.sweeps = cliOptions[static_cast<std::size_t>(Opt::Sweep)]->results();
    CheckCombinations(o);
    return o;
}
