#include "Study.h"

#include <utility>

#include "Checks.h"
#include "DatasheetMotor.h"
#include "Identification.h"
#include "MotorList.h"

const char* MotorSourceKey(MotorSource source) {
    switch (source) {
    case MotorSource::List:
        return "list";
    case MotorSource::Diagram:
        return "diagram";
    case MotorSource::Typed:
        break;
    }
    return "typed";
}

const char* SoftStarterModeKey(SoftStarterMode mode) {
    switch (mode) {
    case SoftStarterMode::CurrentLimit:
        return "current-limit";
    case SoftStarterMode::SelectedTime:
        return "selected-time";
    case SoftStarterMode::None:
        break;
    }
    return "none";
}

const char* LoadKindKey(LoadKind kind) {
    switch (kind) {
    case LoadKind::Constant:
        return "constant";
    case LoadKind::Proportional:
        return "proportional";
    case LoadKind::Squared:
        return "squared";
    case LoadKind::None:
        break;
    }
    return "none";
}

std::optional<LoadKind> LoadKindFromKey(std::string_view key) {
    for (LoadKind kind : {LoadKind::None, LoadKind::Constant, LoadKind::Proportional, LoadKind::Squared})
        if (key == LoadKindKey(kind)) return kind;
    return std::nullopt;
}

bool LoadKindUses(LoadKind kind, int index) {
    switch (kind) {
    case LoadKind::None:
        return false;
    case LoadKind::Constant:
        return index == 0;
    case LoadKind::Proportional:
        return index == 0 || index == 1;
    case LoadKind::Squared:
        return index >= 0 && index <= 2;
    }
    return false;
}

Study StudyFromSettings(const MotorDataSet& ds, const DynamicSettings& settings,
                        const StudyChoices& choices) {
    Study s;
    if (choices.language)
        s.StudyLanguage = choices.language;
    else if (ds.LanguageEnglish)
        s.StudyLanguage = Language::English;
    else if (ds.LanguageFrench)
        s.StudyLanguage = Language::French;

    StudyMotor& m = s.Motor;
    m.Source = choices.source.value_or(ds.MotorFromList ? MotorSource::List : MotorSource::Typed);
    m.ConstructorName = ds.ConstructorName;
    m.MotorSize = ds.MotorSize;
    m.MechanicalPower = ds.MechanicalPower;
    m.LineVoltage = ds.LineVoltage;
    m.LineCurrent = ds.LineCurrent;
    m.PowerFactor = ds.PowerFactor;
    m.Frequency = ds.Frequency;
    m.RatedSpeed = ds.RatedSpeed;
    m.StarCoupling = ds.StarCoupling;
    m.ApproximationWithoutNoLoadCurrent = ds.ApproximationWithoutNoLoadCurrent;
    // With the approximation the identification computes the no-load current: it is a result there.
    const bool typed = m.Source == MotorSource::Typed;
    m.NoLoadLineCurrent = typed && ds.ApproximationWithoutNoLoadCurrent ? 0 : ds.NoLoadLineCurrent;
    if (!typed) m.Circuit = {ds.Rs, ds.Rr, ds.Xssigma, ds.Xrsigma, ds.Xh, ds.Riron, ds.Rr2, ds.Xr2sigma};
    if (typed && HasDatasheet(ds)) {
        // The data sheet alone: the circuit and the no-load current come from its identification.
        m.Datasheet = StudyDatasheet{ds.LockedRotorCurrentRatio, ds.LockedRotorTorqueRatio, ds.BreakdownTorqueRatio,
                                     ds.Priority};
        m.ApproximationWithoutNoLoadCurrent = true;
        m.NoLoadLineCurrent = 0;
    }

    StudySoftStarter& ss = s.SoftStarter;
    ss.EstimatedStartTime = ds.EstimatedStartTime;
    ss.Preset = ds.Preset;
    ss.DesiredImaxIn = ds.DesiredImaxIn;
    ss.Mode = ds.LimitCurrentMode   ? SoftStarterMode::CurrentLimit
              : ds.SelectedTimeMode ? SoftStarterMode::SelectedTime
                                    : SoftStarterMode::None;
    ss.RampTime = choices.rampTime.value_or(ds.SoftStarterTime);

    LoadKind kind = LoadKind::None;
    if (choices.loadKind)
        kind = *choices.loadKind;
    else if (ds.T2 != 0)
        kind = LoadKind::Squared;
    else if (ds.T1 != 0)
        kind = LoadKind::Proportional;
    else if (ds.T0 != 0)
        kind = LoadKind::Constant;
    s.Load.Kind = kind;
    if (LoadKindUses(kind, 0)) s.Load.T0 = ds.T0;
    if (LoadKindUses(kind, 1)) s.Load.T1 = ds.T1;
    if (LoadKindUses(kind, 2)) s.Load.T2 = ds.T2;

    s.Dynamic = settings;
    s.ShowStaticCurves = ds.ShowStaticCurves;
    return s;
}

Refusal ApplyStudy(const Study& study, MotorDataSet& ds, DynamicSettings& settings) {
    MotorDataSet d;
    PresetStartInputs(d);
    d.LanguageEnglish = ds.LanguageEnglish;
    d.LanguageFrench = ds.LanguageFrench;

    // The motor, as the rated values dialog or the selection and diagram dialogs take it.
    const StudyMotor& m = study.Motor;
    d.ConstructorName = m.ConstructorName;
    d.MotorSize = m.MotorSize;
    d.MechanicalPower = m.MechanicalPower;
    d.LineVoltage = m.LineVoltage;
    d.LineCurrent = m.LineCurrent;
    d.PowerFactor = m.PowerFactor;
    d.Frequency = m.Frequency;
    d.RatedSpeed = m.RatedSpeed;
    d.NoLoadLineCurrent = m.NoLoadLineCurrent;
    d.StarCoupling = m.StarCoupling;
    d.ApproximationWithoutNoLoadCurrent = m.ApproximationWithoutNoLoadCurrent;
    // Texts that the motor list could not hold are refused when typed; listed ones always pass.
    if (const int e = CheckListTexts(d)) return e;
    if (m.Source == MotorSource::Typed && m.Datasheet) {
        d.MotorFromList = false;
        d.LockedRotorCurrentRatio = m.Datasheet->LockedRotorCurrentRatio;
        d.LockedRotorTorqueRatio = m.Datasheet->LockedRotorTorqueRatio;
        d.BreakdownTorqueRatio = m.Datasheet->BreakdownTorqueRatio;
        d.Priority = m.Datasheet->Priority;
        d.ApproximationWithoutNoLoadCurrent = true;
        if (Refusal e = ConfirmDatasheetMotor(d)) return e;
    } else if (m.Source == MotorSource::Typed) {
        d.MotorFromList = false;
        if (Refusal e = ConfirmRatedValues(d)) return e;
    } else {
        d.MotorFromList = true;
        d.Rs = m.Circuit.Rs;
        d.Rr = m.Circuit.Rr;
        d.Xssigma = m.Circuit.Xssigma;
        d.Xrsigma = m.Circuit.Xrsigma;
        d.Xh = m.Circuit.Xh;
        d.Riron = m.Circuit.Riron;
        d.Rr2 = m.Circuit.Rr2;
        d.Xr2sigma = m.Circuit.Xr2sigma;
        if (Refusal e = CheckRatedValues(d)) return e;
        if (Refusal e = CheckCircuit(d)) return e;
        DeriveRatedValues(d);
    }
    d.MotorIdentified = true;

    // The soft-starter dialog.
    const StudySoftStarter& ss = study.SoftStarter;
    d.EstimatedStartTime = ss.EstimatedStartTime;
    d.Preset = ss.Preset;
    d.DesiredImaxIn = ss.DesiredImaxIn;
    d.SoftStarterTime = ss.RampTime;
    d.LimitCurrentMode = ss.Mode == SoftStarterMode::CurrentLimit;
    d.SelectedTimeMode = ss.Mode == SoftStarterMode::SelectedTime;
    if (d.SelectedTimeMode && ss.RampTime > 30) return 51;

    // The load dialog: the kind's coefficients, the others zero, then its judgement on the circuit
    // the computation will use.
    const StudyLoad& load = study.Load;
    d.T0 = LoadKindUses(load.Kind, 0) ? load.T0 : 0;
    d.T1 = LoadKindUses(load.Kind, 1) ? load.T1 : 0;
    d.T2 = LoadKindUses(load.Kind, 2) ? load.T2 : 0;
    if (Refusal e = CheckComputable(d)) return e;

    d.ShowStaticCurves = study.ShowStaticCurves;
    d.DataChanged = true;
    d.ResultsMode = true;
    d.StartStep = 0;

    // Accepted: only now is anything of the caller's replaced.
    const auto from = ds.ListColumns();
    const auto to = d.ListColumns();
    for (std::size_t k = 0; k < from.size(); ++k)
        *to[k] = std::move(*from[k]);
    ds = std::move(d);
    settings = study.Dynamic;
    return 0;
}
