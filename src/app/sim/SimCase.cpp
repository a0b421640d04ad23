#include "SimCase.h"

#include <charconv>
#include <optional>
#include <utility>
#include <exception>
#include <string>
#include <vector>

#include "Checks.h"
#include "DatasheetMotor.h"
#include "Identification.h"
#include "MotorList.h"
#include "TextToReal.h"

namespace {

const char* const CircuitUsage = "--circuit takes six values: RS,RR,XSSIGMA,XRSIGMA,XH,RIRON, or eight with a "
                                 "second cage: RS,RR,XSSIGMA,XRSIGMA,XH,RIRON,RR2,XR2SIGMA";

// A second cage's element that is empty or not a number, named as the diagram names it.
Refusal SecondCageFieldRefusal(bool resistance) {
    const std::string name = resistance ? "R'r2" : "X'r2sigma";
    return {ErrDatasheetNotANumber, {name + " of --circuit", name + " de --circuit"}};
}

std::vector<std::string> SplitCircuit(const std::string& text) {
    const char sep = text.find(';') != std::string::npos ? ';' : ',';
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t p = text.find(sep, start);
        parts.push_back(text.substr(start, p == std::string::npos ? std::string::npos : p - start));
        if (p == std::string::npos) break;
        start = p + 1;
    }
    return parts;
}

// A number option's text as the dialogs read it. A text that is no number is refused naming the
// option and quoting the text as typed: the dynamic start's settings with their group's message,
// the options of the original program with the command line's own.
double Number(const std::string& text, Opt id) {
    try {
        return TextToReal(text);
    } catch (const EConvertError&) {
        const int group = OptionOf(id).notANumber;
        const std::string name = OptionOf(id).name, shown = Excerpt(text);
        throw Refusal{group != 0 ? group : ErrOptionNotANumber,
                      {"The value \"" + shown + "\" of " + name, "La valeur « " + shown + " » de " + name}};
    }
}
double Number(const CaseTexts& t, Opt id) {
    return Number(*t.Text(id), id);
}

// The option's number when it is given, else the fallback.
double NumberOr(const CaseTexts& t, Opt id, double fallback) {
    return t.Has(id) ? Number(t, id) : fallback;
}

// The motor, as the rated values dialog confirms it: presence (1 to 7; an empty value is missing,
// as an empty field is), then the plausibility checks; then a circuit given as the equivalent
// diagram dialog takes it. The study's motor, when there is one, fills what the options leave out.
MotorSource ReadMotor(const CaseTexts& t, const StudyMotor* study, MotorDataSet& ds) {
    auto missing = [&](Opt id) { return t.Has(id) ? t.Text(id)->empty() : study == nullptr; };
    const std::pair<Opt, int> required[] = {{Opt::Power, 1},   {Opt::Voltage, 2},     {Opt::Frequency, 5},
                                            {Opt::Current, 3}, {Opt::PowerFactor, 4}, {Opt::Speed, 7}};
    for (const auto& [id, error] : required)
        if (missing(id)) throw Refusal{error};
    // A data sheet given by its options, or the study's when none of them is given.
    bool ratioGiven = false;
    for (Opt id : DatasheetOptions)
        ratioGiven = ratioGiven || t.Has(id);
    const StudyDatasheet* studySheet = study && study->Datasheet && !ratioGiven ? &*study->Datasheet : nullptr;
    const bool datasheet = ratioGiven || studySheet;
    ds.ApproximationWithoutNoLoadCurrent =
        t.Has(Opt::Approximate) ||
        (!t.Has(Opt::NoLoadCurrent) && study && study->ApproximationWithoutNoLoadCurrent);
    // The data sheet's identification does not use the no-load current.
    if (!datasheet && !ds.ApproximationWithoutNoLoadCurrent && missing(Opt::NoLoadCurrent)) throw Refusal{6};

    ds.ConstructorName = t.Has(Opt::Maker) ? *t.Text(Opt::Maker) : study ? study->ConstructorName : "";
    ds.MotorSize = t.Has(Opt::Size) ? *t.Text(Opt::Size) : study ? study->MotorSize : "";
    ds.MechanicalPower = NumberOr(t, Opt::Power, study ? study->MechanicalPower : 0);
    ds.LineVoltage = NumberOr(t, Opt::Voltage, study ? study->LineVoltage : 0);
    ds.LineCurrent = NumberOr(t, Opt::Current, study ? study->LineCurrent : 0);
    ds.PowerFactor = NumberOr(t, Opt::PowerFactor, study ? study->PowerFactor : 0);
    ds.Frequency = NumberOr(t, Opt::Frequency, study ? study->Frequency : 0);
    ds.RatedSpeed = NumberOr(t, Opt::Speed, study ? study->RatedSpeed : 0);
    ds.StarCoupling = t.Has(Opt::Delta)  ? false
                      : t.Has(Opt::Star) ? true
                      : study            ? study->StarCoupling
                                         : true;
    if (!ds.ApproximationWithoutNoLoadCurrent)
        ds.NoLoadLineCurrent = NumberOr(t, Opt::NoLoadCurrent, study ? study->NoLoadLineCurrent : 0);
    // Without a no-load current, a data sheet's motor takes its fitted circuit's.
    if (datasheet && !ds.ApproximationWithoutNoLoadCurrent && !(ds.NoLoadLineCurrent > 0))
        ds.ApproximationWithoutNoLoadCurrent = true;
    if (datasheet) {
        ds.LockedRotorCurrentRatio = NumberOr(t, Opt::LockedRotorCurrent, studySheet ? studySheet->LockedRotorCurrentRatio : 0);
        ds.LockedRotorTorqueRatio = NumberOr(t, Opt::LockedRotorTorque, studySheet ? studySheet->LockedRotorTorqueRatio : 0);
        ds.BreakdownTorqueRatio = NumberOr(t, Opt::BreakdownTorque, studySheet ? studySheet->BreakdownTorqueRatio : 0);
    }
    if (const std::string* priority = t.Text(Opt::FitPriority))
        ds.Priority = *priority == "current" ? FitPriority::Current : FitPriority::Torque;
    else if (study && study->Datasheet)
        ds.Priority = study->Datasheet->Priority;
    if (Refusal e = datasheet ? ConfirmDatasheetMotor(ds) : ConfirmRatedValues(ds)) throw e;
    ds.MotorIdentified = true;

    const std::string* circuit = t.Text(Opt::Circuit);
    if (!circuit) {
        ds.MotorFromList = false;
        return MotorSource::Typed;
    }
    const std::vector<std::string> v = SplitCircuit(*circuit);
    if (v.size() != 6 && v.size() != 8) throw UsageError{CircuitUsage};
    // As the equivalent diagram dialog: a value empty or not a number is refused naming its
    // element, and the circuit is judged before the computation.
    double* const elements[] = {&ds.Rs, &ds.Rr, &ds.Xssigma, &ds.Xrsigma, &ds.Xh, &ds.Riron, &ds.Rr2, &ds.Xr2sigma};
    for (std::size_t i = 0; i < v.size(); ++i) {
        const Refusal empty = i < 6 ? Refusal{ErrRsField + static_cast<int>(i)} : SecondCageFieldRefusal(i == 6);
        try {
            if (v[i].empty()) throw empty;
            *elements[i] = TextToReal(v[i]);
        } catch (const EConvertError&) {
            throw empty;
        }
    }
    if (v.size() == 6) ds.Rr2 = ds.Xr2sigma = 0;
    if (Refusal e = CheckCircuit(ds)) throw e;
    ds.MotorFromList = true;
    return MotorSource::Diagram;
}

// The soft-starter dialog; returns the ramp time typed for the selected-time mode.
double ReadSoftStarter(const CaseTexts& t, const StudySoftStarter* study, MotorDataSet& ds) {
    ds.EstimatedStartTime = t.Has(Opt::EstimatedTime) ? Number(t, Opt::EstimatedTime)
                            : study                   ? study->EstimatedStartTime
                                                      : TextToReal("10");
    if (t.Has(Opt::Preset) || !study) {
        const double preset = t.Has(Opt::Preset) ? Number(t, Opt::Preset) : TextToReal("10");
        if (!(preset >= 0 && preset <= 100)) throw Refusal{ErrPresetRange};
        ds.Preset = static_cast<double>(static_cast<Extended>(preset) * 0.01L);
    } else {
        ds.Preset = study->Preset;
    }
    if (study) ds.DesiredImaxIn = study->DesiredImaxIn;
    // Only the selected mode's values are read and checked; a mode option switches the mode, and
    // a study that chose none runs in the selected-time mode as a command without one does.
    const bool limit = t.Has(Opt::CurrentLimit) ||
                       (!t.Has(Opt::RampTime) && study && study->Mode == SoftStarterMode::CurrentLimit);
    double ramp = study ? study->RampTime : 5;
    if (limit) {
        ds.LimitCurrentMode = true;
        ds.SelectedTimeMode = false;
        if (t.Has(Opt::CurrentLimit)) ds.DesiredImaxIn = Number(t, Opt::CurrentLimit);
        ds.SoftStarterTime = ramp;
    } else {
        ramp = t.Has(Opt::RampTime) ? Number(t, Opt::RampTime) : study ? ramp : TextToReal("5");
        if (ramp > 30) throw Refusal{51};
        ds.SelectedTimeMode = true;
        ds.LimitCurrentMode = false;
        ds.SoftStarterTime = ramp;
    }
    return ramp;
}

// The load dialog: the kind in force (the option's, else the study's) uses only its own
// coefficients; one given for a kind that does not use it is refused.
LoadKind ReadLoad(const CaseTexts& t, const StudyLoad* study, MotorDataSet& ds) {
    const LoadKind kind = t.Has(Opt::Load) ? *LoadKindFromKey(*t.Text(Opt::Load))
                          : study          ? study->Kind
                                           : LoadKind::None;
    const Opt options[] = {Opt::T0, Opt::T1, Opt::T2};
    const double fallback[] = {study ? study->T0 : 0, study ? study->T1 : 0, study ? study->T2 : 0};
    double* const fields[] = {&ds.T0, &ds.T1, &ds.T2};
    for (int i = 0; i < 3; ++i) {
        if (t.Has(options[i]) && !LoadKindUses(kind, i)) {
            const std::string text = std::string(OptionOf(options[i]).name) + " (" + LoadKindKey(kind) + ")";
            throw Refusal{ErrUnusedLoadCoefficient, {text, text}};
        }
        *fields[i] = LoadKindUses(kind, i) ? (t.Has(options[i]) ? Number(t, options[i]) : fallback[i]) : 0;
    }
    return kind;
}

// The dynamic start's settings over those of the study (or the defaults), judged as the
// mechanical data, network and methods dialogs judge them.
void ReadDynamicSettings(const CaseTexts& t, const MotorDataSet& ds, DynamicSettings& s) {
    MechanicalData& m = s.Mechanical;
    if (t.Has(Opt::MotorInertia)) m.MotorInertia = Number(t, Opt::MotorInertia);
    if (t.Has(Opt::LoadInertia)) m.LoadInertia = Number(t, Opt::LoadInertia);
    if (t.Has(Opt::StartTimeLimit)) m.StartTimeLimit = Number(t, Opt::StartTimeLimit);

    // The supply network: any of its options puts it in place; the transformer and the cable are
    // there when one of their options is given.
    SupplyNetwork& n = s.Network;
    auto network = [&](Opt id, double& field) {
        if (!t.Has(id)) return false;
        field = Number(t, id);
        n.Enabled = true;
        return true;
    };
    double value = 0;
    if (network(Opt::SupplyPower, value)) n.ShortCircuitPower = value;
    network(Opt::SupplyRx, n.SourceRX);
    if (network(Opt::SupplyVoltage, value)) n.SourceVoltage = value;
    for (auto [id, field] :
         {std::pair{Opt::TransformerPower, &n.TransformerPower},
          std::pair{Opt::TransformerUk, &n.TransformerUk}, std::pair{Opt::TransformerUr, &n.TransformerUr}})
        if (network(id, *field)) n.HasTransformer = true;
    for (auto [id, field] :
         {std::pair{Opt::CableLength, &n.CableLength}, std::pair{Opt::CableSection, &n.CableSection},
          std::pair{Opt::CableReactance, &n.CableReactance}})
        if (network(id, *field)) n.HasCable = true;
    if (const std::string* material = t.Text(Opt::CableMaterial)) {
        n.Material = *material == "aluminium" ? CableMaterial::Aluminium : CableMaterial::Copper;
        n.Enabled = n.HasCable = true;
    }
    if (network(Opt::CableParallel, value)) {
        // A whole number of runs, as the network dialog takes it.
        if (Refusal e = CableParallelRuns(value, n.CableParallel)) throw e;
        n.HasCable = true;
    }
    if (t.Has(Opt::DipLimit)) s.DipLimit = Number(t, Opt::DipLimit);

    // The starting methods and the starter.
    if (t.Has(Opt::ChangeoverSpeed)) s.Methods.ChangeoverSpeed = Number(t, Opt::ChangeoverSpeed);
    if (t.Has(Opt::AutotransformerTap)) s.Methods.AutotransformerTap = Number(t, Opt::AutotransformerTap);
    if (t.Has(Opt::ReactorVoltage)) s.Methods.ReactorVoltage = Number(t, Opt::ReactorVoltage);
    if (t.Has(Opt::CompareCurrentLimit)) s.Methods.CurrentLimit = Number(t, Opt::CompareCurrentLimit);
    const Opt starterOptions[] = {Opt::StarterCurrent, Opt::StarterRating, Opt::StartsPerHour};
    bool anyStarter = false;
    for (Opt id : starterOptions)
        anyStarter = anyStarter || t.Has(id);
    if (anyStarter) {
        // The duty check needs the whole starter: the three options, or a study's starter to change.
        if (!s.Starter) {
            std::string english, french;
            for (Opt id : starterOptions)
                if (!t.Has(id)) {
                    english += (english.empty() ? "" : " and ") + std::string(OptionOf(id).name);
                    french += (french.empty() ? "" : " et ") + std::string(OptionOf(id).name);
                }
            if (!english.empty()) throw Refusal{ErrStarterIncomplete, {english, french}};
            s.Starter = StarterDuty{};
        }
        if (t.Has(Opt::StarterCurrent)) s.Starter->RatedCurrent = Number(t, Opt::StarterCurrent);
        if (t.Has(Opt::StarterRating)) s.Starter->RatingCode = *t.Text(Opt::StarterRating);
        if (t.Has(Opt::StartsPerHour)) s.Starter->StartsPerHour = Number(t, Opt::StartsPerHour);
    }

    // The overload relay: a class puts it in place (over a study's, whose other values stay); its
    // other options change it and mean nothing without one.
    if (const std::string* key = t.Text(Opt::RelayClass)) {
        const std::optional<TripClass> tripClass = TripClassOfKey(*key);
        if (!tripClass)
            throw Refusal{ErrRelayClassUnknown,
                          {"--relay-class \"" + Excerpt(*key) + "\"", "--relay-class « " + Excerpt(*key) + " »"}};
        if (!s.Protection) s.Protection = ProtectionSettings{};
        s.Protection->Class = *tripClass;
    }
    for (auto [id, field] : {std::pair{Opt::RelaySetting, &ProtectionSettings::RelaySetting},
                             std::pair{Opt::LockedRotorTimeCold, &ProtectionSettings::WithstandCold},
                             std::pair{Opt::LockedRotorTimeHot, &ProtectionSettings::WithstandHot}}) {
        if (!t.Has(id)) continue;
        const double value = Number(t, id);
        if (!s.Protection) throw Refusal{ErrRelayWithoutClass, {OptionOf(id).name, OptionOf(id).name}};
        (*s.Protection).*field = value;
    }
    for (Opt id : {Opt::TccCsv, Opt::TccPng})
        if (t.Has(id) && !s.Protection) throw Refusal{ErrRelayWithoutClass, {OptionOf(id).name, OptionOf(id).name}};

    // The comparison and a study to save need every setting usable, the dynamic start its own.
    const SimOptions& o = t.Options();
    if (o.Has(Opt::Compare) || o.Has(Opt::SaveStudy)) {
        if (Refusal e = CheckDynamicSettings(s, ds)) throw e;
    } else if (o.Has(Opt::Dynamic)) {
        if (Refusal e = CheckDynamicStartSettings(s, ds)) throw e;
    }
}

} // namespace

CaseSource PrepareCases(const SimOptions& options) {
    CaseSource source;
    source.options = &options;
    const std::string* lang = options.Text(Opt::Lang);
    source.language = lang && *lang == "fr" ? Language::French : Language::English;
    if (const std::string* file = options.Text(Opt::Study)) {
        // Studies are judged on opening with every check of the dynamic start's settings too.
        Study study;
        StudyRefusal r = LoadStudyFile(*file, study, CheckDynamicSettings);
        // A refused study speaks its language too, when it could be read that far.
        const std::optional<Language> named = r ? r.language : study.StudyLanguage;
        if (!lang && named) source.language = *named;
        if (r) throw StudyLoadError{r, source.language};
        DynamicSettings settings;
        if (Refusal e = ApplyStudy(study, source.studyData, settings))
            throw StudyLoadError{{e, 0}, source.language};
        source.study = std::move(study);
    }
    if (const std::string* file = options.Text(Opt::Catalogue)) {
        // The motor of a catalogue record, as the selection dialog takes it: rated values and
        // circuit as listed, then the derived values.
        const std::string& recordText = *options.Text(Opt::Record);
        int record = 0;
        const auto [end, ec] =
            std::from_chars(recordText.data(), recordText.data() + recordText.size(), record);
        if (ec != std::errc() || end != recordText.data() + recordText.size() || record < 1)
            throw UsageError{"--record takes a whole number from 1"};
        MotorDataSet ds;
        CopyRecordToDataSet(ReadListRecord(record, *file), ds);
        ds.MotorFromList = true;
        if (Refusal e = CheckRatedValues(ds)) throw e;
        // A list may hold any circuit; the one of the chosen motor must be usable.
        if (Refusal e = CheckCircuit(ds)) throw e;
        DeriveRatedValues(ds);
        ds.MotorIdentified = true;
        source.catalogueMotor = std::move(ds);
    }
    return source;
}

namespace {
// The motor: the catalogue record's, the study's as it was set, or typed (over the study's rated
// values, then identified again unless a circuit is given).
MotorSource ReadCaseMotor(const CaseSource& source, const CaseTexts& texts, MotorDataSet& ds) {
    const Study* study = source.study ? &*source.study : nullptr;
    bool ratedValueGiven = texts.Has(Opt::Circuit);
    for (Opt id : RatedValueOptions)
        ratedValueGiven = ratedValueGiven || texts.Has(id);
    MotorSource from = MotorSource::Typed;
    if (source.catalogueMotor) {
        ds = *source.catalogueMotor;
        from = MotorSource::List;
    } else if (study && !ratedValueGiven) {
        ds = source.studyData;
        from = study->Motor.Source;
        if (texts.Has(Opt::Maker)) ds.ConstructorName = *texts.Text(Opt::Maker);
        if (texts.Has(Opt::Size)) ds.MotorSize = *texts.Text(Opt::Size);
    } else {
        ds = MotorDataSet{};
    }
    PresetStartInputs(ds);
    ds.LanguageEnglish = source.language == Language::English;
    ds.LanguageFrench = !ds.LanguageEnglish;
    if (!source.catalogueMotor && (!study || ratedValueGiven))
        from = ReadMotor(texts, study ? &study->Motor : nullptr, ds);
    return from;
}
} // namespace

void ShareMotor(CaseSource& source, const std::array<bool, OptCount>& swept) {
    // A swept motor option gives each case its own motor (of these only numbers can be swept).
    for (Opt id : MotorOptions)
        if (swept[static_cast<std::size_t>(id)]) return;
    auto shared = std::make_shared<SharedMotor>();
    try {
        shared->source = ReadCaseMotor(source, CaseTexts(*source.options), shared->ds);
    } catch (...) {
        shared->failure = std::current_exception();
    }
    source.sharedMotor = std::move(shared);
}

void BuildCase(const CaseSource& source, const CaseTexts& texts, BuiltCase& out) {
    const Study* study = source.study ? &*source.study : nullptr;
    MotorDataSet& ds = out.ds;
    if (const SharedMotor* shared = source.sharedMotor.get()) {
        if (shared->failure) std::rethrow_exception(shared->failure);
        ds = shared->ds;
        out.choices.source = shared->source;
    } else {
        out.choices.source = ReadCaseMotor(source, texts, ds);
    }

    out.choices.rampTime = ReadSoftStarter(texts, study ? &study->SoftStarter : nullptr, ds);
    out.choices.loadKind = ReadLoad(texts, study ? &study->Load : nullptr, ds);
    ds.ShowStaticCurves = texts.Has(Opt::Static) || (study && study->ShowStaticCurves);
    out.settings = study ? study->Dynamic : DynamicSettings{};
    ReadDynamicSettings(texts, ds, out.settings);
}

Study CaseStudy(const CaseSource& source, const BuiltCase& c) {
    Study s = StudyFromSettings(c.ds, c.settings, c.choices);
    s.StudyLanguage.reset();
    if (const std::string* lang = source.options->Text(Opt::Lang))
        s.StudyLanguage = *lang == "fr" ? Language::French : Language::English;
    else if (source.study)
        s.StudyLanguage = source.study->StudyLanguage;
    return s;
}

void CheckSharedTexts(const SimOptions& options, const std::array<bool, OptCount>& swept) {
    for (std::size_t i = 0; i < OptCount; ++i) {
        const Opt id = static_cast<Opt>(i);
        if (OptionOf(id).kind == OptKind::Number && options.Has(id) && !swept[i]) Number(*options.Text(id), id);
    }
    if (const std::string* circuit = options.Text(Opt::Circuit);
        circuit && SplitCircuit(*circuit).size() != 6 && SplitCircuit(*circuit).size() != 8)
        throw UsageError{CircuitUsage};
}

Refusal ComputeCase(BuiltCase& c, const CaseNeeds& needs, CaseResults& out) {
    MotorDataSet& ds = c.ds;
    const bool showStatic = ds.ShowStaticCurves;
    ds.ShowStaticCurves = showStatic && needs.staticCurves;
    const Refusal r = RunStartComputation(ds, needs.points ? &out.timePoints : nullptr,
                                          needs.points ? &out.staticPoints : nullptr);
    ds.ShowStaticCurves = showStatic;
    if (r) return r;
    if (needs.dynamic)
        if (Refusal e = ComputeDynamicStart(ds, c.settings, out.dynamic, needs.dynamicSamples, needs.chartPoints))
            return e;
    if (needs.compare)
        if (Refusal e = ComputeComparison(ds, c.settings, out.comparison, 0)) return e;
    return 0;
}
