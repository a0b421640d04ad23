// Settings of the dynamic start: the typical inertia, the refusals of settings that cannot be
// computed with, the starter's rating code and its duty check.

#include <array>
#include <cctype>
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

const ErrorArgument MotorInertiaField{"Motor Inertia", "Inertie du moteur"};
const ErrorArgument LoadInertiaField{"Load Inertia", "Inertie de la charge"};
const ErrorArgument TotalInertiaField{"Total Inertia", "Inertie totale"};

Refusal CheckInertia(double value, const ErrorArgument& field) {
    if (!Finite(value)) return {ErrMechanicalNotFinite, field};
    if (value < 0) return {ErrMechanicalNegative, field};
    return 0;
}

// A value that must be finite and above zero, or finite and not negative.
Refusal CheckPositive(double value, const ErrorArgument& field) {
    if (!Finite(value)) return {ErrNetworkNotFinite, field};
    if (!(value > 0)) return {ErrNetworkNotPositive, field};
    return 0;
}
Refusal CheckNotNegative(double value, const ErrorArgument& field) {
    if (!Finite(value)) return {ErrNetworkNotFinite, field};
    if (value < 0) return {ErrNetworkNegative, field};
    return 0;
}

Refusal CheckFraction(double value, const ErrorArgument& field) {
    if (!(value > 0 && value < 1)) return {ErrMethodFraction, field};
    return 0;
}

Refusal CheckStarterValue(double value, const ErrorArgument& field) {
    if (!(value > 0) || !Finite(value)) return {ErrStarterNotPositive, field};
    return 0;
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

Refusal CheckMechanicalData(const MechanicalData& mechanical, const MotorDataSet& ds) {
    if (mechanical.MotorInertia)
        if (Refusal e = CheckInertia(*mechanical.MotorInertia, MotorInertiaField)) return e;
    if (Refusal e = CheckInertia(mechanical.LoadInertia, LoadInertiaField)) return e;
    const double total = UsedMotorInertia(mechanical, ds) + mechanical.LoadInertia;
    if (!Finite(total)) return {ErrMechanicalNotFinite, TotalInertiaField};
    if (!(total > 0)) return ErrTotalInertiaZero;
    if (!(mechanical.StartTimeLimit > 0 && mechanical.StartTimeLimit <= MaxStartTimeLimit))
        return {ErrStartTimeLimitRange,
                {FormatFixed(MaxStartTimeLimit, 0), FormatFixed(MaxStartTimeLimit, 0, ',')}};
    return 0;
}

Refusal CheckSupplyNetwork(const SupplyNetwork& network) {
    if (!network.Enabled) return 0;
    if (network.SourceVoltage)
        if (Refusal e = CheckPositive(*network.SourceVoltage, {"Source Voltage", "Tension de la source"}))
            return e;
    if (network.ShortCircuitPower)
        if (Refusal e = CheckPositive(*network.ShortCircuitPower,
                                      {"Short-Circuit Power", "Puissance de court-circuit"}))
            return e;
    if (Refusal e = CheckNotNegative(network.SourceRX, {"Source R/X", "R/X de la source"})) return e;
    if (network.HasTransformer) {
        if (Refusal e =
                CheckPositive(network.TransformerPower, {"Transformer Power", "Puissance du transformateur"}))
            return e;
        if (Refusal e = CheckPositive(network.TransformerUk, {"Transformer u_k", "u_k du transformateur"}))
            return e;
        if (Refusal e = CheckNotNegative(network.TransformerUr, {"Transformer u_R", "u_R du transformateur"}))
            return e;
        if (network.TransformerUr > network.TransformerUk) return ErrTransformerUrAboveUk;
    }
    if (network.HasCable) {
        if (Refusal e = CheckNotNegative(network.CableLength, {"Cable Length", "Longueur du câble"}))
            return e;
        if (Refusal e = CheckPositive(network.CableSection, {"Cable Cross-Section", "Section du câble"}))
            return e;
        if (network.CableParallel < 1) return ErrCableParallel;
        if (Refusal e = CheckNotNegative(network.CableReactance, {"Cable Reactance", "Réactance du câble"}))
            return e;
    }
    return 0;
}

Refusal CheckMethodSettings(const MethodSettings& methods) {
    if (Refusal e = CheckFraction(methods.ChangeoverSpeed, {"Changeover Speed", "Vitesse de commutation"}))
        return e;
    if (Refusal e = CheckFraction(methods.AutotransformerTap,
                                  {"Autotransformer Tap", "Prise de l'autotransformateur"}))
        return e;
    if (Refusal e =
            CheckFraction(methods.ReactorVoltage, {"Reactor Starting Voltage", "Tension de démarrage avec "
                                                                               "inductance"}))
        return e;
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
    if (Refusal e =
            CheckStarterValue(read.CurrentMultiple, {"Rating X (start current / Ie)", "Classe X (courant "
                                                                                      "de démarrage / Ie)"}))
        return e;
    if (Refusal e =
            CheckStarterValue(read.StartTime, {"Rating Tx (start time)", "Classe Tx (temps de démarrage)"}))
        return e;
    if (!(read.OnLoadFactor >= 0 && read.OnLoadFactor <= 100)) return ErrStarterOnLoadFactor;
    if (Refusal e =
            CheckStarterValue(read.StartsPerHour, {"Rating S (starts per hour)", "Classe S (démarrages par "
                                                                                 "heure)"}))
        return e;
    out = read;
    return 0;
}

Refusal CheckStarterDuty(const StarterDuty& starter) {
    if (Refusal e =
            CheckStarterValue(starter.RatedCurrent, {"Starter Rated Current Ie", "Courant assigné Ie du "
                                                                                 "démarreur"}))
        return e;
    StarterRatingCode code;
    if (Refusal e = ParseStarterRating(starter.RatingCode, code)) return e;
    if (Refusal e = CheckStarterValue(starter.StartsPerHour, {"Starts per Hour", "Démarrages par heure"}))
        return e;
    return 0;
}

Refusal CheckDynamicStartSettings(const DynamicSettings& settings, const MotorDataSet& ds) {
    if (Refusal e = CheckMechanicalData(settings.Mechanical, ds)) return e;
    return CheckSupplySettings(settings, ds);
}

Refusal CheckSupplySettings(const DynamicSettings& settings, const MotorDataSet& ds) {
    if (Refusal e = CheckSupplyNetwork(settings.Network)) return e;
    if (!(settings.DipLimit >= 0 && settings.DipLimit <= 100)) return ErrDipLimitRange;
    if (settings.Network.Enabled) {
        const NetworkImpedances z = SupplyImpedances(settings.Network, ds);
        for (double v : {z.SourceVoltage, z.Source.R, z.Source.X, z.Transformer.R, z.Transformer.X, z.Cable.R,
                         z.Cable.X, z.SourceVoltage * z.SourceVoltage})
            if (!Finite(v)) return ErrNetworkNotComputable;
        if (!(z.SourceVoltage > 0))
            return {ErrNetworkNotPositive, {"Source Voltage", "Tension de la source"}};
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
