#include "UiCommon.h"

#include "DatasheetMotor.h"
#include "Forms.h"
#include "MotorDataSet.h"
#include "Pictures.h"
#include "TextToReal.h"

#include <QCheckBox>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

QFont SansFont(int heightPx, bool bold)
{
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPixelSize(heightPx);
    f.setBold(bold);
    return f;
}

QFont SerifFont(int heightPx, bool bold)
{
    QFont f(QStringLiteral("Liberation Serif"));
    f.setPixelSize(heightPx);
    f.setBold(bold);
    return f;
}

char SystemDecimalSeparator()
{
    const QString point = QLocale::system().decimalPoint();
    if (point.size() == 1 && point.at(0).unicode() < 128 && point.at(0) != QChar('\0'))
        return static_cast<char>(point.at(0).unicode());
    return '.';
}

QString FixedText(double value, int decimals)
{
    return FromStd(FormatFixed(value, decimals, SystemDecimalSeparator()));
}

QString FixedTextOrEmpty(double value, int decimals)
{
    return value == 0 ? QString() : FixedText(value, decimals);
}

bool EnglishChosen() { return MotorData.LanguageEnglish; }
bool FrenchChosen() { return !MotorData.LanguageEnglish && MotorData.LanguageFrench; }

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, int x, int y, const QFont& font)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setFont(font);
    l->move(x, y);
    l->adjustSize();
    return l;
}

QLineEdit* MakeEdit(QWidget* parent, const char* name, int x, int y, int w, const QFont& font, int h)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setFont(font);
    e->setGeometry(x, y, w, h);
    return e;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& text, int x, int y, int w, int h,
                        const QFont& font)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setFont(font);
    b->setGeometry(x, y, w, h);
    return b;
}

QRadioButton* MakeRadio(QWidget* parent, const char* name, const QString& text, int x, int y, int w, int h,
                        const QFont& font)
{
    auto* r = new QRadioButton(text, parent);
    r->setObjectName(QString::fromLatin1(name));
    r->setFont(font);
    r->setGeometry(x, y, w, h);
    return r;
}

QCheckBox* MakeCheck(QWidget* parent, const char* name, const QString& text, int x, int y, int w, int h,
                     const QFont& font)
{
    auto* c = new QCheckBox(text, parent);
    c->setObjectName(QString::fromLatin1(name));
    c->setFont(font);
    c->setGeometry(x, y, w, h);
    return c;
}

void SetCaption(QLabel* label, const QString& text)
{
    label->setText(text);
    // A label placed by hand fits its text; one in a layout gets its size from the layout.
    const QWidget* parent = label->parentWidget();
    if (!label->wordWrap() && !(parent && parent->layout()))
        label->adjustSize();
}

QLabel* NewLabel(QWidget* parent, const char* name, const QFont& font, bool wrap, bool plainText)
{
    auto* l = new QLabel(parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setFont(font);
    l->setWordWrap(wrap);
    if (plainText)
        l->setTextFormat(Qt::PlainText);
    return l;
}

void SetPaletteColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour)
{
    QPalette pal = widget->palette();
    pal.setColor(role, colour);
    widget->setPalette(pal);
}

QFrame* NewSilverPanel(QWidget* parent, const char* name)
{
    auto* panel = new QFrame(parent);
    panel->setObjectName(QString::fromLatin1(name));
    panel->setFrameShape(QFrame::Box);
    panel->setFrameShadow(QFrame::Plain);
    panel->setAutoFillBackground(true);
    SetPaletteColour(panel, QPalette::Window, QColor(0xC0, 0xC0, 0xC0));
    return panel;
}

void ShowConvertError(QWidget* parent, const char* what)
{
    // Non-blocking, like every other window of the program; it deletes itself when dismissed.
    auto* box = new QMessageBox(QMessageBox::Critical, QStringLiteral("Tarvello"), QString::fromUtf8(what),
                                QMessageBox::Ok, parent ? parent->window() : nullptr);
    box->setObjectName(QStringLiteral("ConvertErrorBox"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
    box->raise();
    box->activateWindow();
}

void ShowNote(QWidget* parent, const QString& english, const QString& french)
{
    QString text;
    if (MotorData.LanguageEnglish)
        text = english;
    else if (MotorData.LanguageFrench)
        text = french;
    else
        text = english + QStringLiteral("\n\n") + french;
    auto* box = new QMessageBox(QMessageBox::Information, QStringLiteral("Tarvello"), text, QMessageBox::Ok,
                                parent ? parent->window() : nullptr);
    box->setObjectName(QStringLiteral("NoteBox"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
    box->raise();
    box->activateWindow();
}

void CentreOnScreen(QWidget* window)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const QSize size = window->frameGeometry().size().isValid() ? window->frameGeometry().size() : window->size();
    window->move(area.x() + (area.width() - size.width()) / 2, area.y() + (area.height() - size.height()) / 2);
}

void AddHeading(QWidget* form, QBoxLayout* outer, QLabel*& title, const QString& text, TPicture*& logo,
                const char* logoName)
{
    auto* top = new QHBoxLayout;
    title = MakeLabel(form, "Title", text, 0, 0, SansFont(19));
    top->addWidget(title, 1);
    logo = new TPicture(TPicture::Logo, form, logoName, 0, 0, 74, 49);
    logo->setFixedSize(74, 49);
    top->addWidget(logo);
    outer->addLayout(top);
}

void AddOkCancel(QWidget* form, QBoxLayout* outer, QPushButton*& ok, const char* okName, QPushButton*& cancel,
                 const char* cancelName)
{
    const QFont f = SansFont(11);
    auto* buttons = new QHBoxLayout;
    ok = MakeButton(form, okName, QStringLiteral("OK"), 0, 0, 75, 25, f);
    cancel = MakeButton(form, cancelName, QStringLiteral("Cancel"), 0, 0, 75, 25, f);
    for (QPushButton* b : {ok, cancel})
        b->setFixedSize(75, 25);
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addSpacing(40);
    buttons->addWidget(cancel);
    buttons->addStretch(1);
    outer->addLayout(buttons);
    ok->setDefault(true);
}

QString CircuitText(const MotorDataSet& ds)
{
    const Language language = FrenchChosen() ? Language::French : Language::English;
    QString text = FromStd(HasDatasheet(ds) ? FitSummary(ds, language) : CircuitKind(ds, language));
    // "Ia −12.1 %": the sign follows its quantity's name, never on the next line.
    return text.replace(QStringLiteral(" \u2212"), QStringLiteral("\u00a0\u2212"))
        .replace(QStringLiteral(" +"), QStringLiteral("\u00a0+"));
}
