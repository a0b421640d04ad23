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
    if (const std::optional<double> value = TryReadField(edit))
        return *value;
    const std::string text = Excerpt(ToStd(edit->text()));
    const ErrorArgument name = SettingName(field);
    throw Refusal{notANumber,
                  {"The value \"" + text + "\" of \"" + name.english + "\"",
                   "La valeur «\u00a0" + text + "\u00a0» de «\u00a0" + name.french + "\u00a0»"}};
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
