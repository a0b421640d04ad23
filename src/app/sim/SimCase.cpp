#include "SimCase.h"

#include <charconv>
#include <string>
#include <vector>

#include "Checks.h"
#include "Identification.h"
#include "MotorList.h"
#include "TextToReal.h"

namespace {

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

double Number(const CaseTexts& t, Opt id) {
    return TextToReal(*t.Text(id));
}

// A number of the dynamic start's settings: a text that is no number is refused with the message
// of the settings' group, naming the option.
double SettingNumber(const CaseTexts& t, Opt id, int notANumber) {
    const std::string& text = *t.Text(id);
    try {
        return TextToReal(text);
    } catch (const EConvertError&) {
        const std::string name = Spec(id).name;
        throw Refusal{notANumber,
                      {"The value \"" + text + "\" of " + name, "La valeur « " + text + " » de " + name}};
    }
}

// The motor, as the rated values dialog confirms it: presence (1 to 7; an empty value is missing,
// as an empty field is), then the plausibility checks.
void ReadMotor(const CaseTexts& t, MotorDataSet& ds) {
    auto missing = [&](Opt id) { return !t.Has(id) || t.Text(id)->empty(); };
    const std::pair<Opt, int> required[] = {{Opt::Power, 1},   {Opt::Voltage, 2},     {Opt::Frequency, 5},
                                            {Opt::Current, 3}, {Opt::PowerFactor, 4}, {Opt::Speed, 7}};
    for (const auto& [id, error] : required)
        if (missing(id)) throw Refusal{error};
    ds.ApproximationWithoutNoLoadCurrent = t.Has(Opt::Approximate);
    if (!ds.ApproximationWithoutNoLoadCurrent && missing(Opt::NoLoadCurrent)) throw Refusal{6};

    ds.ConstructorName = t.Has(Opt::Maker) ? *t.Text(Opt::Maker) : "";
    ds.MotorSize = t.Has(Opt::Size) ? *t.Text(Opt::Size) : "";
    ds.MechanicalPower = Number(t, Opt::Power);
    ds.LineVoltage = Number(t, Opt::Voltage);
    ds.LineCurrent = Number(t, Opt::Current);
    ds.PowerFactor = Number(t, Opt::PowerFactor);
    ds.Frequency = Number(t, Opt::Frequency);
    ds.RatedSpeed = Number(t, Opt::Speed);
    ds.StarCoupling = !t.Has(Opt::Delta);
    if (!ds.ApproximationWithoutNoLoadCurrent) ds.NoLoadLineCurrent = Number(t, Opt::NoLoadCurrent);
    if (Refusal e = ConfirmRatedValues(ds)) throw e;
    ds.MotorIdentified = true;

    if (const std::string* circuit = t.Text(Opt::Circuit)) {
        const std::vector<std::string> v = SplitCircuit(*circuit);
        if (v.size() != 6) throw UsageError{"--circuit takes six values: RS,RR,XSSIGMA,XRSIGMA,XH,RIRON"};
        // As the equivalent diagram dialog: a value empty or not a number is refused naming its
        // element, and the circuit is judged before the computation.
        double* const elements[] = {&ds.Rs, &ds.Rr, &ds.Xssigma, &ds.Xrsigma, &ds.Xh, &ds.Riron};
        for (int i = 0; i < 6; ++i) {
            try {
                if (v[i].empty()) throw Refusal{ErrRsField + i};
                *elements[i] = TextToReal(v[i]);
            } catch (const EConvertError&) {
                throw Refusal{ErrRsField + i};
            }
        }
        if (Refusal e = CheckCircuit(ds)) throw e;
        ds.MotorFromList = true;
    } else {
        ds.MotorFromList = false;
    }
}

void ReadSoftStarter(const CaseTexts& t, MotorDataSet& ds) {
    ds.EstimatedStartTime = t.Has(Opt::EstimatedTime) ? Number(t, Opt::EstimatedTime) : TextToReal("10");
    const double preset = t.Has(Opt::Preset) ? Number(t, Opt::Preset) : TextToReal("10");
    if (!(preset >= 0 && preset <= 100)) throw Refusal{ErrPresetRange};
    ds.Preset = static_cast<double>(static_cast<Extended>(preset) * 0.01L);
    // Only the selected mode's values are read and checked.
    if (t.Has(Opt::CurrentLimit)) {
        ds.LimitCurrentMode = true;
        ds.SelectedTimeMode = false;
        ds.DesiredImaxIn = Number(t, Opt::CurrentLimit);
    } else {
        const double ramp = t.Has(Opt::RampTime) ? Number(t, Opt::RampTime) : TextToReal("5");
        if (ramp > 30) throw Refusal{51};
        ds.SelectedTimeMode = true;
        ds.LimitCurrentMode = false;
        ds.SoftStarterTime = ramp;
    }
}

void ReadLoad(const CaseTexts& t, MotorDataSet& ds) {
    const std::string kind = t.Has(Opt::Load) ? *t.Text(Opt::Load) : "none";
    auto coefficient = [&](Opt id) { return t.Has(id) ? Number(t, id) : TextToReal("0"); };
    ds.T0 = ds.T1 = ds.T2 = 0;
    if (kind != "none") ds.T0 = coefficient(Opt::T0);
    if (kind == "proportional" || kind == "squared") ds.T1 = coefficient(Opt::T1);
    if (kind == "squared") ds.T2 = coefficient(Opt::T2);
}

// The mechanical data, judged as the mechanical data dialog judges them.
void ReadDynamicSettings(const CaseTexts& t, const MotorDataSet& ds, DynamicSettings& s) {
    const SimOptions& o = t.Options();
    if (!o.Has(Opt::Dynamic)) return;
    if (t.Has(Opt::MotorInertia))
        s.Mechanical.MotorInertia = SettingNumber(t, Opt::MotorInertia, ErrMechanicalNotANumber);
    if (t.Has(Opt::LoadInertia))
        s.Mechanical.LoadInertia = SettingNumber(t, Opt::LoadInertia, ErrMechanicalNotANumber);
    if (t.Has(Opt::StartTimeLimit))
        s.Mechanical.StartTimeLimit = SettingNumber(t, Opt::StartTimeLimit, ErrMechanicalNotANumber);

    // The supply network: any of its options puts it in place; the transformer and the cable are
    // there when one of their options is given.
    SupplyNetwork& n = s.Network;
    auto network = [&](Opt id, double& field) {
        if (!t.Has(id)) return false;
        field = SettingNumber(t, id, ErrNetworkNotANumber);
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
        // A whole number of runs; anything else is the network dialog's refusal.
        if (!(value >= 1 && value <= 1e9) || value != static_cast<double>(static_cast<long long>(value)))
            throw Refusal{ErrCableParallel};
        n.CableParallel = static_cast<int>(value);
        n.HasCable = true;
    }
    if (t.Has(Opt::DipLimit)) s.DipLimit = SettingNumber(t, Opt::DipLimit, ErrNetworkNotANumber);

    // The starting methods and the starter, which only the comparison uses.
    if (!o.Has(Opt::Compare)) {
        if (Refusal e = CheckDynamicStartSettings(s, ds)) throw e;
        return;
    }
    if (t.Has(Opt::ChangeoverSpeed))
        s.Methods.ChangeoverSpeed = SettingNumber(t, Opt::ChangeoverSpeed, ErrMethodNotANumber);
    if (t.Has(Opt::AutotransformerTap))
        s.Methods.AutotransformerTap = SettingNumber(t, Opt::AutotransformerTap, ErrMethodNotANumber);
    if (t.Has(Opt::ReactorVoltage))
        s.Methods.ReactorVoltage = SettingNumber(t, Opt::ReactorVoltage, ErrMethodNotANumber);
    const Opt starterOptions[] = {Opt::StarterCurrent, Opt::StarterRating, Opt::StartsPerHour};
    bool anyStarter = false;
    for (Opt id : starterOptions)
        anyStarter = anyStarter || t.Has(id);
    if (anyStarter) {
        // The duty check needs the whole starter: the three options, or a starter to change.
        if (!s.Starter) {
            std::string english, french;
            for (Opt id : starterOptions)
                if (!t.Has(id)) {
                    english += (english.empty() ? "" : " and ") + std::string(Spec(id).name);
                    french += (french.empty() ? "" : " et ") + std::string(Spec(id).name);
                }
            if (!english.empty()) throw Refusal{ErrStarterIncomplete, {english, french}};
            s.Starter = StarterDuty{};
        }
        if (t.Has(Opt::StarterCurrent))
            s.Starter->RatedCurrent = SettingNumber(t, Opt::StarterCurrent, ErrMethodNotANumber);
        if (t.Has(Opt::StarterRating)) s.Starter->RatingCode = *t.Text(Opt::StarterRating);
        if (t.Has(Opt::StartsPerHour))
            s.Starter->StartsPerHour = SettingNumber(t, Opt::StartsPerHour, ErrMethodNotANumber);
    }
    if (Refusal e = CheckDynamicSettings(s, ds)) throw e;
}

} // namespace

CaseSource PrepareCases(const SimOptions& options, Language language) {
    CaseSource source;
    source.options = &options;
    source.language = language;
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

void BuildCase(const CaseSource& source, const CaseTexts& texts, BuiltCase& out) {
    MotorDataSet& ds = out.ds;
    ds = MotorDataSet{};
    if (source.catalogueMotor) ds = *source.catalogueMotor;
    PresetStartInputs(ds);
    ds.LanguageEnglish = source.language == Language::English;
    ds.LanguageFrench = !ds.LanguageEnglish;
    if (!source.catalogueMotor) ReadMotor(texts, ds);
    ReadSoftStarter(texts, ds);
    ReadLoad(texts, ds);
    ds.ShowStaticCurves = texts.Has(Opt::Static);
    out.settings = DynamicSettings{};
    ReadDynamicSettings(texts, ds, out.settings);
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
        if (Refusal e = ComputeDynamicStart(ds, c.settings, out.dynamic, needs.dynamicSamples)) return e;
    if (needs.compare)
        if (Refusal e = ComputeComparison(ds, c.settings, out.comparison, 0)) return e;
    return 0;
}
