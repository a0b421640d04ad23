#include "Aff_Err.h"

#include "ErrorMessages.h"
#include "Forms.h"
#include "UiCommon.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>

namespace {
// What fills the pending message's "%1"; the number itself stays in the data set.
ErrorArgument PendingArgument;
// What follows the pending message, in each language (empty for most messages).
ErrorArgument PendingNote;
} // namespace

TOKBottomDlg::TOKBottomDlg()
{
    setObjectName(QStringLiteral("OKBottomDlg"));
    setWindowTitle(QStringLiteral("Error"));
    SetClientSize(600, 221);
    setFont(SansFont(11));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0, 128, 0));
    setPalette(pal);
    setAutoFillBackground(true);

    Label1 = new QLabel(QStringLiteral("Error"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(40, 32, 521, 113);
    Label1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Label1->setWordWrap(true);
    Label1->setFont(SansFont(19));
    QPalette lp = Label1->palette();
    lp.setColor(QPalette::WindowText, QColor(255, 255, 0));
    Label1->setPalette(lp);

    OKBtn = MakeButton(this, "OKBtn", QStringLiteral("OK"), 262, 176, 75, 25, SansFont(11));
    OKBtn->setDefault(true);
    connect(OKBtn, &QPushButton::clicked, this, &TOKBottomDlg::OKBtnClick);
}

void TOKBottomDlg::FormActivate()
{
    Language language;
    if (MotorData.LanguageEnglish) {
        setWindowTitle(QStringLiteral("Error"));
        language = Language::English;
    } else if (MotorData.LanguageFrench) {
        setWindowTitle(QStringLiteral("Erreur"));
        language = Language::French;
    } else {
        // No language chosen yet: the designed language is English. A bare "Error" would not
        // tell the user what to correct.
        language = Language::English;
    }
    const std::string message = ErrorText(MotorData.ErrorNumber, language, PendingArgument);
    if (!message.empty())
        Label1->setText(QString::fromStdString(
            message + (language == Language::English ? PendingNote.english : PendingNote.french)));
}

void TOKBottomDlg::OKBtnClick()
{
    MotorData.ErrorNumber = 0;
    CloseForm();
}

void RaiseError(int number, const ErrorArgument& argument)
{
    MotorData.ErrorNumber = number;
    PendingArgument = argument;
    PendingNote = {};
    if (OKBottomDlg)
        OKBottomDlg->ShowForm();
}

void RaiseError(const Refusal& refusal, const ErrorArgument& note)
{
    MotorData.ErrorNumber = refusal.number;
    PendingArgument = refusal.argument;
    PendingNote = note;
    if (OKBottomDlg)
        OKBottomDlg->ShowForm();
}

void RaiseErrorOver(QWidget* window, const Refusal& refusal)
{
    RaiseError(refusal);
    QTimer::singleShot(0, window, [] {
        if (MotorData.ErrorNumber != 0)
            ShowPendingError();
    });
}

void ShowPendingError()
{
    if (OKBottomDlg)
        OKBottomDlg->ShowForm();
}
