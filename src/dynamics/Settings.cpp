// Settings of the dynamic start: the typical inertia, the refusals of settings that cannot be
// computed with, the starter's rating code and its duty check.

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <iterator>

#include "Dynamics.h"
#include "TextToReal.h"

namespace {
bool Finite(double v) {
    return std::isfinite(v);
}

// Rotor inertia of typical 4-pole motors: rated power in kW, inertia in kg m2.
struct InertiaPoint {
    double kilowatts, inertia;
};
constexpr std::array<InertiaPoint, 22> FourPoleInertia{{
    {0.75, 0.0024}, {1.1, 0.0032}, {1.5, 0.0040}, {2.2, 0.0069}, {3, 0.0082},  {4, 0.013},
    {5.5, 0.024},   {7.5, 0.032},  {11, 0.065},   {15, 0.085},   {18.5, 0.15}, {22, 0.18},
    {30, 0.29},     {37, 0.41},    {45, 0.49},    {55, 0.72},    {75, 1.15},   {90, 1.4},
    {110, 2.1},     {132, 2.5},    {160, 2.9},    {200, 3.5},
}};

// Linear in log J against log P between two table points, also beyond them.
double LogLogLine(const InertiaPoint& a, const InertiaPoint& b, double kilowatts) {
    const double slope = std::log(b.inertia / a.inertia) / std::log(b.kilowatts / a.kilowatts);
    return a.inertia * std::exp(slope * std::log(kilowatts / a.kilowatts));
}

double FourPoleTypicalInertia(double kilowatts) {
    const auto& t = FourPoleInertia;
    if (kilowatts <= t.front().kilowatts) return LogLogLine(t[0], t[1], kilowatts);
    for (std::size_t i = 1; i < t.size(); ++i)
        if (kilowatts <= t[i].kilowatts) return LogLogLine(t[i - 1], t[i], kilowatts);
    return LogLogLine(t[t.size() - 2], t[t.size() - 1], kilowatts);
}

// A 2-pole motor has about half the 4-pole rotor's inertia, a 6-pole one 1.75 times, 8 poles and more 2.5
// times.
double PoleFactor(double pairOfPoles) {
    if (pairOfPoles < 1.5) return 0.5;
    if (pairOfPoles < 2.5) return 1;
    if (pairOfPoles < 3.5) return 1.75;
    return 2.5;
}

// ---- Ranges ---------------------------------------------------------------------------------------

// A setting's physical range and how a refusal states it: both bounds with the unit after the
// high one, "0 and 100 000 kg·m²"; a power held in VA shows each bound in a unit of its size.
struct Range {
    double low, high;
    bool aboveLow = false; // the low bound itself is refused
    const char* unit = ""; // "" for a ratio
    double lowScale = 1, highScale = 1;
    const char* lowUnit = ""; // shown after the low bound too when given
};

// Kept together with what stands before it, in both languages.
constexpr const char* NoBreak = "\u00a0";

// A bound as messages show it: the shortest digits that read back, groups of three from 10 000 up
// joined by no-break spaces, the language's decimal separator.
std::string BoundText(double value, char decimal) {
    char buffer[400];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed).ptr;
    const std::string digits(buffer, end);
    const std::size_t point = std::min(digits.find('.'), digits.size());
    std::string text;
    for (std::size_t i = 0; i < point; ++i) {
        if (point >= 5 && i > 0 && (point - i) % 3 == 0) text += NoBreak;
        text += digits[i];
    }
    if (point < digits.size()) text += decimal + digits.substr(point + 1);
    return text;
}

std::string WithUnit(const std::string& number, const char* unit) {
    return *unit ? number + NoBreak + unit : number;
}

// "0 and 100 000 kg·m²", "0 and at most 100 %", in each language.
ErrorArgument RangeText(const ErrorArgument& field, const Range& r) {
    ErrorArgument a = field;
    for (const bool english : {true, false}) {
        const char decimal = english ? '.' : ',';
        const std::string low = WithUnit(BoundText(r.low / r.lowScale, decimal), r.lowUnit);
        const std::string high = WithUnit(BoundText(r.high / r.highScale, decimal), r.unit);
        std::string& text = english ? a.english2 : a.french2;
        if (english)
            text = low + (r.aboveLow ? " and at most " : " and ") + high;
        else
            text = low + (r.aboveLow ? " et inférieure ou égale à " : " et ") + high;
    }
    return a;
}

// The refusal of a value outside its range (NaN included): the range's own message unless given.
Refusal CheckRange(double value, const ErrorArgument& field, const Range& r, int number = 0) {
    const bool low = r.aboveLow ? value > r.low : value >= r.low;
    if (low && value <= r.high) return 0;
    return {number ? number : r.aboveLow ? ErrValueAboveAtMost : ErrValueOutOfRange, RangeText(field, r)};
}

struct Setting {
    SettingField id;
    ErrorArgument field;
    Range range;
};

constexpr double MinTotalInertia = 1e-5; // kg m2: below it the start's mechanical time constant is
                                         // shorter than any real drive's
const ErrorArgument TotalInertiaField{"Total Inertia", "Inertie totale"};

// The ranges of the settings; the README's table gives them with their reasons.
const Setting Settings[] = {
    {SettingField::MotorInertia, {"Motor Inertia", "Inertie du moteur"}, {1e-5, 1e5, false, "kg·m²"}},
    {SettingField::LoadInertia, {"Load Inertia", "Inertie de la charge"}, {0, 1e5, false, "kg·m²"}},
    {SettingField::StartTimeLimit,
     {"Start-Time Limit", "Limite du temps de démarrage"},
     {0.01, MaxStartTimeLimit, false, "s"}},
    {SettingField::SourceVoltage, {"Source Voltage", "Tension de la source"}, {10, 1e5, false, "V"}},
    {SettingField::ShortCircuitPower,
     {"Short-Circuit Power", "Puissance de court-circuit"},
     {1e3, 1e11, false, "GVA", 1e3, 1e9, "kVA"}},
    {SettingField::SourceRX, {"Source R/X", "R/X de la source"}, {0, 10}},
    {SettingField::TransformerPower,
     {"Transformer Power", "Puissance du transformateur"},
     {1e3, 1e9, false, "MVA", 1e3, 1e6, "kVA"}},
    {SettingField::TransformerUk, {"Transformer u_k", "u_k du transformateur"}, {1, 30, false, "%"}},
    {SettingField::TransformerUr, {"Transformer u_R", "u_R du transformateur"}, {0, 30, false, "%"}},
    {SettingField::CableLength, {"Cable Length", "Longueur du câble"}, {0, 1e5, false, "m"}},
    {SettingField::CableSection, {"Cable Cross-Section", "Section du câble"}, {0.5, 2500, false, "mm²"}},
    {SettingField::CableParallel, {"Parallel Cable Runs", "Câbles en parallèle"}, {1, MaxCableParallel}},
    {SettingField::CableReactance, {"Cable Reactance", "Réactance du câble"}, {0, 1, false, "Ω/km"}},
    {SettingField::DipLimit,
     {"Busbar Voltage Dip Limit", "Limite du creux de tension au jeu de barres"},
     {0, 100, true, "%"}},
    {SettingField::ChangeoverSpeed, {"Changeover Speed", "Vitesse de commutation"}, {0.1, 0.99}},
    {SettingField::AutotransformerTap, {"Autotransformer Tap", "Prise de l'autotransformateur"}, {0.2, 0.95}},
    {SettingField::ReactorVoltage,
     {"Reactor Starting Voltage", "Tension de démarrage avec inductance"},
     {0.2, 0.95}},
    {SettingField::ComparisonCurrentLimit,
     {"Current Limit for the Comparison", "Limite de courant pour la comparaison"},
     {1, 10, true, "In"}},
    {SettingField::StarterCurrent,
     {"Starter Rated Current Ie", "Courant assigné Ie du démarreur"},
     {0, 1e5, true, "A"}},
    {SettingField::StartsPerHour, {"Starts per Hour", "Démarrages par heure"}, {0.001, 1000, false, "1/h"}},
    {SettingField::RatingX,
     {"Rating X (start current / Ie)", "Classe X (courant de démarrage / Ie)"},
     {1, 20}},
    {SettingField::RatingTx,
     {"Rating Tx (start time)", "Classe Tx (temps de démarrage)"},
     {0.1, MaxStartTimeLimit, false, "s"}},
    {SettingField::RatingF,
     {"Rating F (on-load factor)", "Classe F (facteur de marche)"},
     {0, 100, false, "%"}},
    {SettingField::RatingS,
     {"Rating S (starts per hour)", "Classe S (démarrages par heure)"},
     {0.001, 1000, false, "1/h"}},
};
static_assert(std::size(Settings) == SettingFieldCount, "one range per setting");

const Setting& Of(SettingField id) {
    return *std::find_if(std::begin(Settings), std::end(Settings),
                         [id](const Setting& s) { return s.id == id; });
}

Refusal Check(double value, SettingField id, int number = 0) {
    return CheckRange(value, Of(id).field, Of(id).range, number);
}

std::string Trimmed(const std::string& text) {
    std::size_t b = 0, e = text.size();
    while (b < e && std::isspace(static_cast<unsigned char>(text[b])))
        ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(text[e - 1])))
        --e;
    return text.substr(b, e - b);
}

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) !=
            std::tolower(static_cast<unsigned char>(prefix[i])))
            return false;
    return true;
}

// Splits "a-b" at its one separating dash: the first dash after the first number's first
// character that does not belong to an exponent.
bool SplitPair(const std::string& text, std::string& first, std::string& second) {
    const std::string t = Trimmed(text);
    for (std::size_t i = 1; i < t.size(); ++i) {
        if (t[i] != '-' || t[i - 1] == 'e' || t[i - 1] == 'E') continue;
        first = Trimmed(t.substr(0, i));
        second = Trimmed(t.substr(i + 1));
        return !first.empty() && !second.empty();
    }
    return false;
}

bool ReadNumber(const std::string& text, double& value) {
    try {
        value = TextToReal(text);
    } catch (const EConvertError&) {
        return false;
    }
    return true;
}
} // namespace

double TypicalMotorInertia(double mechanicalPower, double pairOfPoles) {
    if (!(mechanicalPower > 0) || !Finite(mechanicalPower)) return 0;
    return FourPoleTypicalInertia(mechanicalPower / 1000) * PoleFactor(pairOfPoles);
}

double UsedMotorInertia(const MechanicalData& mechanical, const MotorDataSet& ds) {
    return mechanical.MotorInertia ? *mechanical.MotorInertia
                                   : TypicalMotorInertia(ds.MechanicalPower, ds.PairOfPoles);
}

const char* MethodKey(StartingMethod method) {
    switch (method) {
    case StartingMethod::Dol:
        return "dol";
    case StartingMethod::StarDelta:
        return "star-delta";
    case StartingMethod::Autotransformer:
        return "autotransformer";
    case StartingMethod::Reactor:
        return "reactor";
    case StartingMethod::SoftRamp:
        return "soft-ramp";
    case StartingMethod::SoftLimit:
        return "soft-limit";
    }
    return "";
}

ErrorArgument SettingName(SettingField id) {
    return Of(id).field;
}

bool WithinRange(SettingField id, double value) {
    return Check(value, id).number == 0;
}

double ComparisonCurrentLimit(const MethodSettings& methods, const MotorDataSet& ds) {
    if (methods.CurrentLimit) return *methods.CurrentLimit;
    return ds.LimitCurrentMode ? ds.DesiredImaxIn : DefaultComparisonCurrentLimit;
}

Refusal CableParallelRuns(double typed, int& runs) {
    const Setting& s = Of(SettingField::CableParallel);
    if (typed != std::floor(typed) || Check(typed, SettingField::CableParallel))
        return {ErrCableParallel, RangeText(s.field, s.range)};
    runs = static_cast<int>(typed);
    return 0;
}

Refusal CheckMechanicalData(const MechanicalData& mechanical, const MotorDataSet& ds) {
    if (mechanical.MotorInertia)
        if (Refusal e = Check(*mechanical.MotorInertia, SettingField::MotorInertia)) return e;
    if (Refusal e = Check(mechanical.LoadInertia, SettingField::LoadInertia)) return e;
    // The typical inertia of an absurd motor may be anything; the total must still be usable.
    const double total = UsedMotorInertia(mechanical, ds) + mechanical.LoadInertia;
    if (!Finite(total)) return {ErrMechanicalNotFinite, TotalInertiaField};
    if (!(total >= MinTotalInertia))
        return {ErrTotalInertiaZero,
                {TotalInertiaField.english, TotalInertiaField.french,
                 WithUnit(BoundText(MinTotalInertia, '.'), "kg·m²"),
                 WithUnit(BoundText(MinTotalInertia, ','), "kg·m²")}};
    return Check(mechanical.StartTimeLimit, SettingField::StartTimeLimit, ErrStartTimeLimitRange);
}

Refusal CheckSupplyNetwork(const SupplyNetwork& network) {
    if (!network.Enabled) return 0;
    if (network.SourceVoltage)
        if (Refusal e = Check(*network.SourceVoltage, SettingField::SourceVoltage)) return e;
    if (network.ShortCircuitPower)
        if (Refusal e = Check(*network.ShortCircuitPower, SettingField::ShortCircuitPower)) return e;
    if (Refusal e = Check(network.SourceRX, SettingField::SourceRX)) return e;
    if (network.HasTransformer) {
        if (Refusal e = Check(network.TransformerPower, SettingField::TransformerPower)) return e;
        if (Refusal e = Check(network.TransformerUk, SettingField::TransformerUk)) return e;
        if (Refusal e = Check(network.TransformerUr, SettingField::TransformerUr)) return e;
        if (network.TransformerUr > network.TransformerUk) return ErrTransformerUrAboveUk;
    }
    if (network.HasCable) {
        if (Refusal e = Check(network.CableLength, SettingField::CableLength)) return e;
        if (Refusal e = Check(network.CableSection, SettingField::CableSection)) return e;
        if (Refusal e = Check(network.CableParallel, SettingField::CableParallel, ErrCableParallel)) return e;
        if (Refusal e = Check(network.CableReactance, SettingField::CableReactance)) return e;
    }
    return 0;
}

Refusal CheckMethodSettings(const MethodSettings& methods) {
    if (Refusal e = Check(methods.ChangeoverSpeed, SettingField::ChangeoverSpeed)) return e;
    if (Refusal e = Check(methods.AutotransformerTap, SettingField::AutotransformerTap)) return e;
    if (Refusal e = Check(methods.ReactorVoltage, SettingField::ReactorVoltage)) return e;
    if (methods.CurrentLimit)
        if (Refusal e = Check(*methods.CurrentLimit, SettingField::ComparisonCurrentLimit)) return e;
    return 0;
}

Refusal ParseStarterRating(const std::string& code, StarterRatingCode& out) {
    const Refusal syntax{ErrStarterRatingSyntax, {Excerpt(code), Excerpt(code)}};
    std::string rest = Trimmed(code);
    if (StartsWithNoCase(rest, "AC-53a")) {
        rest = Trimmed(rest.substr(6));
        if (rest.empty() || rest[0] != ':') return syntax;
        rest = rest.substr(1);
    }
    const std::size_t colon = rest.find(':');
    if (colon == std::string::npos || rest.find(':', colon + 1) != std::string::npos) return syntax;
    std::string x, tx, f, s;
    if (!SplitPair(rest.substr(0, colon), x, tx) || !SplitPair(rest.substr(colon + 1), f, s)) return syntax;
    StarterRatingCode read;
    if (!ReadNumber(x, read.CurrentMultiple) || !ReadNumber(tx, read.StartTime) ||
        !ReadNumber(f, read.OnLoadFactor) || !ReadNumber(s, read.StartsPerHour))
        return syntax;
    if (Refusal e = Check(read.CurrentMultiple, SettingField::RatingX)) return e;
    if (Refusal e = Check(read.StartTime, SettingField::RatingTx)) return e;
    if (Refusal e = Check(read.OnLoadFactor, SettingField::RatingF, ErrStarterOnLoadFactor)) return e;
    if (Refusal e = Check(read.StartsPerHour, SettingField::RatingS)) return e;
    out = read;
    return 0;
}

Refusal CheckStarterDuty(const StarterDuty& starter) {
    if (Refusal e = Check(starter.RatedCurrent, SettingField::StarterCurrent)) return e;
    StarterRatingCode code;
    if (Refusal e = ParseStarterRating(starter.RatingCode, code)) return e;
    return Check(starter.StartsPerHour, SettingField::StartsPerHour);
}

Refusal CheckDynamicStartSettings(const DynamicSettings& settings, const MotorDataSet& ds) {
    if (Refusal e = CheckMechanicalData(settings.Mechanical, ds)) return e;
    if (Refusal e = CheckSupplySettings(settings, ds)) return e;
    if (settings.Protection)
        if (Refusal e = CheckProtection(*settings.Protection, ds)) return e;
    return 0;
}

namespace {
const ErrorArgument ProtectionFields[] = {
    {"Relay Current Setting Ir", "Réglage du courant du relais Ir"},
    {"Locked-Rotor Withstand Time, Cold", "Temps de blocage admissible à froid"},
    {"Locked-Rotor Withstand Time, Hot", "Temps de blocage admissible à chaud"},
};

// A current limit as a refusal gives it: four significant digits, rounded away from the accepted
// side so that the value shown is itself accepted.
ErrorArgument CurrentBound(ProtectionField field, double amperes, bool low) {
    const double scale = std::pow(10.0, 3 - std::floor(std::log10(amperes)));
    const double shown = (low ? std::ceil(amperes * scale) : std::floor(amperes * scale)) / scale;
    ErrorArgument a = ProtectionFieldName(field);
    a.english2 = WithUnit(BoundText(shown, '.'), "A");
    a.french2 = WithUnit(BoundText(shown, ','), "A");
    return a;
}

std::string Seconds(double value, char decimal) {
    char buffer[64];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    std::string text(buffer, end);
    std::replace(text.begin(), text.end(), '.', decimal);
    return WithUnit(text, "s");
}
} // namespace

ErrorArgument ProtectionFieldName(ProtectionField field) {
    return ProtectionFields[static_cast<int>(field)];
}

Refusal CheckProtection(const ProtectionSettings& p, const MotorDataSet& ds) {
    if (p.RelaySetting) {
        const double ir = *p.RelaySetting, in = ds.LineCurrent;
        if (!(ir >= in / MinRelayFactor))
            return {ErrRelaySettingLow, CurrentBound(ProtectionField::RelaySetting, in / MinRelayFactor, true)};
        if (!(ir <= MaxRelayFactor * in))
            return {ErrRelaySettingHigh, CurrentBound(ProtectionField::RelaySetting, MaxRelayFactor * in, false)};
    }
    const Range withstand{0, MaxWithstandTime, true, "s", 1, 1, "s"};
    for (const auto& [value, field] : {std::pair{p.WithstandCold, ProtectionField::WithstandCold},
                                       std::pair{p.WithstandHot, ProtectionField::WithstandHot}})
        if (value)
            if (Refusal e = CheckRange(*value, ProtectionFieldName(field), withstand, ErrWithstandRange)) return e;
    if (p.WithstandCold.has_value() != p.WithstandHot.has_value()) return ErrWithstandOnlyOne;
    if (p.WithstandCold && *p.WithstandHot > *p.WithstandCold)
        return {ErrWithstandHotAboveCold,
                {Seconds(*p.WithstandHot, '.'), Seconds(*p.WithstandHot, ','), Seconds(*p.WithstandCold, '.'),
                 Seconds(*p.WithstandCold, ',')}};
    return 0;
}

Refusal CheckSupplySettings(const DynamicSettings& settings, const MotorDataSet& ds) {
    if (Refusal e = CheckSupplyNetwork(settings.Network)) return e;
    if (Refusal e = Check(settings.DipLimit, SettingField::DipLimit, ErrDipLimitRange)) return e;
    // A source voltage left to the motor's waits for the motor (a dialog may set the network first).
    const SupplyNetwork& n = settings.Network;
    if (n.Enabled && (n.SourceVoltage || ds.LineVoltage != 0)) {
        const NetworkImpedances z = SupplyImpedances(settings.Network, ds);
        for (double v : {z.SourceVoltage, z.Source.R, z.Source.X, z.Transformer.R, z.Transformer.X, z.Cable.R,
                         z.Cable.X, z.SourceVoltage * z.SourceVoltage})
            if (!Finite(v)) return ErrNetworkNotComputable;
        if (!(z.SourceVoltage > 0)) return {ErrNetworkNotPositive, SettingName(SettingField::SourceVoltage)};
    }
    return 0;
}

Refusal CheckDynamicSettings(const DynamicSettings& settings, const MotorDataSet& ds) {
    if (Refusal e = CheckDynamicStartSettings(settings, ds)) return e;
    if (Refusal e = CheckMethodSettings(settings.Methods)) return e;
    if (settings.Starter)
        if (Refusal e = CheckStarterDuty(*settings.Starter)) return e;
    return 0;
}

StarterDutyResult JudgeStarterDuty(const StarterDuty& starter, const StarterRatingCode& code,
                                   const StartOutcome& softStart, double ratedLineCurrent) {
    StarterDutyResult r;
    const double ie = starter.RatedCurrent;
    r.StartsPass = starter.StartsPerHour <= code.StartsPerHour;
    r.StartsMargin = code.StartsPerHour / starter.StartsPerHour - 1;
    r.RatedCurrentPass = ratedLineCurrent <= ie;
    r.RatedCurrentMargin = ie / ratedLineCurrent - 1;
    if (softStart.Stalled || !softStart.RmsCurrent || !softStart.RunUpTime) return r;
    const double rms = *softStart.RmsCurrent, ta = *softStart.RunUpTime;
    r.RmsCurrent = rms;
    r.RunUpTime = ta;
    r.CurrentPass = rms <= code.CurrentMultiple * ie;
    r.TimePass = ta <= code.StartTime;
    r.CurrentMargin = code.CurrentMultiple * ie / rms - 1;
    r.TimeMargin = code.StartTime / ta - 1;
    if (r.TimePass && r.StartsPass) r.SmallestIe = std::max(rms / code.CurrentMultiple, ratedLineCurrent);
    r.Pass = r.CurrentPass && r.TimePass && r.StartsPass && r.RatedCurrentPass;
    return r;
}
