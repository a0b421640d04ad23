#pragma once
// Small pieces every window uses: the design fonts, fixed-point texts with the regional decimal
// separator, widget placement in design pixels, and the two kinds of message that are not numbered
// errors (a text that is not a number, and notes such as a missing help file).

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QString>

#include <string>

class QWidget;
class QBoxLayout;
class TPicture;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QCheckBox;
class QFrame;

// "MS Sans Serif" and "Arial" stand-in (metric-compatible Liberation Sans); heightPx is the
// absolute value of the designed font height.
QFont SansFont(int heightPx, bool bold = false);
// "Times New Roman" stand-in.
QFont SerifFont(int heightPx, bool bold = false);

// The decimal separator of the user's regional settings ("." when it is not a plain character).
char SystemDecimalSeparator();
// Fixed-point text of a stored value with the regional separator.
QString FixedText(double value, int decimals);
// Same, but a stored 0 gives an empty text (the rated values dialog's convention).
QString FixedTextOrEmpty(double value, int decimals);

inline std::string ToStd(const QString& s) { return s.toStdString(); }
inline QString FromStd(const std::string& s) { return QString::fromStdString(s); }

// Texts by the language flags: English, else French, else nothing (the designed texts stay).
bool EnglishChosen();
bool FrenchChosen();

// Design-time widgets at pixel positions; each gets its designer name as object name.
QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, int x, int y, const QFont& font);
QLineEdit* MakeEdit(QWidget* parent, const char* name, int x, int y, int w, const QFont& font, int h = 21);
QPushButton* MakeButton(QWidget* parent, const char* name, const QString& text, int x, int y, int w, int h,
                        const QFont& font);
QRadioButton* MakeRadio(QWidget* parent, const char* name, const QString& text, int x, int y, int w, int h,
                        const QFont& font);
QCheckBox* MakeCheck(QWidget* parent, const char* name, const QString& text, int x, int y, int w, int h,
                     const QFont& font);
// Sets a label's text; a label placed by hand (its parent has no layout) is fitted to it.
void SetCaption(QLabel* label, const QString& text);

// A label for layouts; `plainText` for texts that must never be read as markup.
QLabel* NewLabel(QWidget* parent, const char* name, const QFont& font, bool wrap = false, bool plainText = false);
// Sets one colour of a widget's palette: a label's text, a panel's background.
void SetPaletteColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour);
// The boxed silver panel of the main window's results, for layouts.
QFrame* NewSilverPanel(QWidget* parent, const char* name);

// The heading of a dialog laid out by layouts: the title on the left, the logo on the right.
void AddHeading(QWidget* form, QBoxLayout* outer, QLabel*& title, const QString& text, TPicture*& logo,
                const char* logoName);
// OK and Cancel of a dialog laid out by layouts, centred 40 px apart; OK is the default button.
void AddOkCancel(QWidget* form, QBoxLayout* outer, QPushButton*& ok, const char* okName, QPushButton*& cancel,
                 const char* cancelName);

// The invalid-number error of a typed field: a standard, non-blocking message box over `parent`.
void ShowConvertError(QWidget* parent, const char* what);
// A non-blocking note in the chosen language; before the choice both languages are shown.
void ShowNote(QWidget* parent, const QString& english, const QString& french);

// How the motor's circuit came about, in the chosen language: for a data sheet's motor its fit
// ("double cage, best fit within the IEC tolerances: Ia −12.1 % …"), each deviation kept on one
// line with its quantity; "double cage" for another circuit with a second cage; else empty.
struct MotorDataSet;
QString CircuitText(const MotorDataSet& ds);

// Centres a top-level window on the primary screen.
void CentreOnScreen(QWidget* window);
