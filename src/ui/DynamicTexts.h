#pragma once
// Texts shared by the windows of the dynamic start and the supply network: numbers for fields the
// user edits (every digit kept, so that reopening and confirming changes nothing), numbers for
// result panels (null or not finite shown as a dash), and the words of the chosen language.

#include <QColor>
#include <QString>

#include <optional>

#include "Dynamics.h"

class QLineEdit;

// English, else French; before the choice the English text.
QString Pick(const char* english, const char* french);

// The shortest text that reads back as exactly this value, in fixed-point form for usual sizes,
// with the regional decimal separator; empty for a value that is not finite.
QString EditText(double value);
// A value to show, rounded to 3 significant digits (fixed-point, regional separator).
QString RoundedText(double value);
// A result: FixedText of a finite value, else the dash that stands for "none".
QString ResultText(std::optional<double> value, int decimals);
// The dash shown where a result has no value.
QString NoValueText();
// What a stalled start's peak current is: the largest current of a start that does not run up,
// over its start-time limit (s), which the dynamic start's charts show in full (`shown`).
QString StalledPeakText(double limit, bool shown);

// The field's number (TextToReal). A text that is none throws the Refusal notANumber ("%1 is not a
// number!"), naming the setting and quoting the text (at most 60 characters of it).
double ReadField(const QLineEdit* edit, SettingField field, int notANumber);
// The same for a field named in both languages.
double ReadField(const QLineEdit* edit, const ErrorArgument& name, int notANumber);
// The number of a field when it holds one, else no value; never throws.
std::optional<double> TryReadField(const QLineEdit* edit);

// The overload relay on a start (the cold start in the panels): "PASS 62.3 %" or "FAIL 134 %"
// ("RÉUSSI", "ÉCHEC"), the verdict with the earliest relay's trip level.
QString RelayVerdictText(const RelayStart& start);
// Its colour, green or red as the starter's duty check shows its verdicts.
QColor VerdictColour(bool pass);
// What the trip level is, and when the relays trip on the start: the verdict's tooltip.
QString RelayVerdictTip(const RelayStart& start);
// The thermal capacity the start uses, %, one decimal; the dash without withstand times.
QString TcuText(const RelayStart& start);
// The relay in a sentence: "Overload relay class 10 at Ir = 8.5 A (the rated current), cold start
// judged: ..." and how the thermal capacity is judged, or that it is not without withstand times.
QString RelayDescription(const ProtectionResults& relay, const ProtectionSettings& settings);

// "a 4 kW motor with 2 pairs of poles" in the chosen language (power in W).
QString MotorDescription(double mechanicalPower, double pairOfPoles);
