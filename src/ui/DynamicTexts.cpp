#include "DynamicTexts.h"

#include "TextToReal.h"
#include "UiCommon.h"

#include <QLineEdit>

#include <algorithm>
#include <charconv>
#include <cmath>

QString Pick(const char* english, const char* french)
{
    return QString::fromUtf8(FrenchChosen() ? french : english);
}

QString EditText(double value)
{
    if (!std::isfinite(value))
        return {};
    char buffer[400];
    const double size = std::fabs(value);
    // Fixed-point while it stays short; beyond, the shortest exponent form (TextToReal reads both).
    const auto format =
        value == 0 || (size >= 1e-7 && size < 1e15) ? std::chars_format::fixed : std::chars_format::general;
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, format);
    if (result.ec != std::errc())
        return {};
    QString text = QString::fromLatin1(buffer, static_cast<int>(result.ptr - buffer));
    return text.replace(QLatin1Char('.'), QLatin1Char(SystemDecimalSeparator()));
}

QString RoundedText(double value)
{
    if (!std::isfinite(value))
        return NoValueText();
    if (value == 0)
        return FixedText(0, 0);
    const int magnitude = static_cast<int>(std::floor(std::log10(std::fabs(value))));
    const int decimals = std::clamp(2 - magnitude, 0, 9);
    return FixedText(value, decimals);
}

QString ResultText(std::optional<double> value, int decimals)
{
    if (!value || !std::isfinite(*value))
        return NoValueText();
    return FixedText(*value, decimals);
}

QString NoValueText()
{
    return QString::fromUtf8("\u2014");
}

QString StalledPeakText(double limit, bool shown)
{
    return (shown ? Pick("the largest current of a start that does not run up, over the %1 s shown",
                         "le plus grand courant d'un démarrage qui n'aboutit pas, sur les %1 s affichées")
                  : Pick("the largest current of a start that does not run up, over the start-time limit of %1 s",
                         "le plus grand courant d'un démarrage qui n'aboutit pas, sur la limite du temps de "
                         "démarrage de %1 s"))
        .arg(EditText(limit));
}

std::optional<double> TryReadField(const QLineEdit* edit)
{
    try {
        return TextToReal(ToStd(edit->text()));
    } catch (const EConvertError&) {
        return std::nullopt;
    }
}

double ReadField(const QLineEdit* edit, SettingField field, int notANumber)
{
    return ReadField(edit, SettingName(field), notANumber);
}

double ReadField(const QLineEdit* edit, const ErrorArgument& name, int notANumber)
{
    if (const std::optional<double> value = TryReadField(edit))
        return *value;
    const std::string text = Excerpt(ToStd(edit->text()));
    throw Refusal{notANumber,
                  {"The value \"" + text + "\" of \"" + name.english + "\"",
                   "La valeur «\u00a0" + text + "\u00a0» de «\u00a0" + name.french + "\u00a0»"}};
}

QString RelayVerdictText(const RelayStart& start)
{
    // Tenths below the trip, where they tell how close the start comes; whole percent beyond.
    const int decimals = start.TripLevel < 100 ? 1 : 0;
    return (start.PassesStart ? Pick("PASS", "RÉUSSI") : Pick("FAIL", "ÉCHEC")) + QLatin1Char(' ') +
           ResultText(start.TripLevel, decimals) + QStringLiteral(" %");
}

QColor VerdictColour(bool pass)
{
    return pass ? QColor(0, 120, 0) : QColor(200, 0, 0);
}

QString RelayVerdictTip(const RelayStart& start)
{
    QString tip = Pick("Trip level: the earliest relay's largest thermal image over the start, as a share of "
                       "the image at which it trips (it passes below 100 %).",
                       "Niveau de déclenchement : la plus grande image thermique du relais le plus rapide "
                       "pendant le démarrage, rapportée à celle où il déclenche (réussi sous 100 %).");
    if (start.EarliestTripTime)
        tip += Pick(" The earliest relay trips at %1 s", " Le relais le plus rapide déclenche à %1 s")
                   .arg(ResultText(start.EarliestTripTime, 3));
    if (start.EarliestTripTime && start.LatestTripTime)
        tip += Pick(", the latest at %1 s.", ", le plus lent à %1 s.").arg(ResultText(start.LatestTripTime, 3));
    else if (start.EarliestTripTime)
        tip += Pick("; the latest does not trip.", " ; le plus lent ne déclenche pas.");
    return tip;
}

QString TcuText(const RelayStart& start)
{
    return ResultText(start.Tcu, 1);
}

QString RelayDescription(const ProtectionResults& relay, const ProtectionSettings& settings)
{
    QString text =
        Pick("Overload relay class %1, Ir = %2 A%3: a cold start passes when the earliest relay of the class "
             "does not trip.",
             "Relais de surcharge classe %1, Ir = %2 A%3 : un démarrage à froid réussit si le relais le plus "
             "rapide de la classe ne déclenche pas.")
            .arg(QString::fromLatin1(TripClassKey(relay.Class)), ResultText(relay.RelaySetting, 2),
                 settings.RelaySetting ? QString() : Pick(" (the rated current)", " (le courant assigné)"));
    if (relay.LockedRotorCold)
        text += Pick(" Thermal capacity used by a cold start (TCU): its ∫I²dt against the locked-rotor "
                     "current %1 A held for %2 s.",
                     " Capacité thermique utilisée par un démarrage à froid : son ∫I²dt rapporté au courant "
                     "à rotor bloqué %1 A pendant %2 s.")
                    .arg(ResultText(relay.LockedRotorCurrent, 1), EditText(relay.LockedRotorCold->WithstandTime));
    else
        text += Pick(" No withstand times: the thermal capacity used is not judged (Parameters › Protection).",
                     " Pas de temps de blocage admissibles : la capacité thermique utilisée n'est pas jugée "
                     "(Paramètres › Protection).");
    return text;
}

QString MotorDescription(double mechanicalPower, double pairOfPoles)
{
    const QString power = EditText(mechanicalPower / 1000);
    const QString pairs = FixedText(pairOfPoles, 0);
    const bool one = pairOfPoles < 1.5;
    if (FrenchChosen())
        return QString::fromUtf8("un moteur de %1 kW à %2 %3")
            .arg(power, pairs,
                 one ? QString::fromUtf8("paire de pôles") : QString::fromUtf8("paires de pôles"));
    return QStringLiteral("a %1 kW motor with %2 %3")
        .arg(power, pairs, one ? QStringLiteral("pair of poles") : QStringLiteral("pairs of poles"));
}
