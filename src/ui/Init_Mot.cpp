#include "Init_Mot.h"

#include "Aff_Err.h"
#include "Forms.h"
#include "MotorList.h"
#include "UiCommon.h"

#include <QFrame>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

#include <exception>

TOKBottomDlg1::TOKBottomDlg1()
{
    setObjectName(QStringLiteral("OKBottomDlg1"));
    setWindowTitle(QStringLiteral("Message"));
    SetClientSize(623, 142);
    const QFont f = SansFont(11);
    setFont(f);
    Bevel1 = new QFrame(this);
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setGeometry(8, 8, 609, 65);
    Bevel1->setFrameShape(QFrame::Box);
    Bevel1->setFrameShadow(QFrame::Sunken);
    // From its designed left edge to the same distance from the box's right edge, so that the
    // centred question stays in the middle of the box whatever its length.
    Label1 = new QLabel(QStringLiteral("XXX"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(46, 29, 609 - 2 * (46 - 8), 25);
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setFont(SerifFont(19, true));
    QPalette lp = Label1->palette();
    lp.setColor(QPalette::WindowText, Qt::black);
    Label1->setPalette(lp);
    OKBtn = MakeButton(this, "OKBtn", QStringLiteral("OK"), 230, 100, 75, 25, f);
    CancelBtn = MakeButton(this, "CancelBtn", QStringLiteral("Cancel"), 318, 100, 75, 25, f);
    OKBtn->setDefault(true);
    CancelBtn->setAutoDefault(false);
    connect(OKBtn, &QPushButton::clicked, this, &TOKBottomDlg1::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &TOKBottomDlg1::CancelBtnClick);
}

void TOKBottomDlg1::FormActivate()
{
    const int action = MotorData.ListAction;
    if (EnglishChosen()) {
        CancelBtn->setText(QStringLiteral("Cancel"));
        if (action == 1)
            Label1->setText(QStringLiteral("Your recorded motors will be delete!"));
        else if (action == 2)
            Label1->setText(QStringLiteral("Do vou want to save parameters in the list?"));
    } else if (FrenchChosen()) {
        CancelBtn->setText(QStringLiteral("Annuler"));
        if (action == 1)
            Label1->setText(QStringLiteral("Les moteurs que vous avez enregistrer seront effacer!"));
        else if (action == 2)
            Label1->setText(QStringLiteral("Voulez-vous sauver les paramètres dans la liste de moteur?"));
    }
}

void TOKBottomDlg1::OKBtnClick()
{
    const int action = MotorData.ListAction;
    if (action != 1 && action != 2)
        return;
    if (action == 2 && !MotorData.MotorIdentified) {
        // Hidden first, so that the main window it gives the activation back to does not
        // cover the error.
        CloseForm();
        RaiseError(200);
        return;
    }
    // The motor may have changed since the question was asked: a second cage still never reaches the list.
    if (action == 2 && (HasSecondCage(MotorData) || HasDatasheet(MotorData))) {
        CloseForm();
        RaiseError(ErrListSecondCage);
        return;
    }
    // Both operations leave the list exactly as it was when they fail; the window then stays
    // open so that the user can put the cause right and try again, or cancel.
    try {
        if (action == 1)
            RestoreListFromBackup(ListFileName, BackupFileName);
        else
            AppendMotorRecord(MotorData, SystemDecimalSeparator(), ListFileName);
    } catch (const ListFileError& e) {
        ReportFileError(QString::fromStdString(e.MessageWithNumber(Language::English)),
                        QString::fromStdString(e.MessageWithNumber(Language::French)));
        return;
    } catch (const std::exception& e) {
        const QString what = QString::fromLocal8Bit(e.what());
        ReportFileError(QStringLiteral("The motor list \"%1\" was not changed: %2").arg(ListFileName, what),
                        QStringLiteral("La liste des moteurs « %1 » n'a pas été modifiée : %2").arg(ListFileName, what));
        return;
    }
    lastFileError_.clear();
    CloseForm();
}

void TOKBottomDlg1::ReportFileError(const QString& english, const QString& french)
{
    if (EnglishChosen())
        lastFileError_ = english;
    else if (FrenchChosen())
        lastFileError_ = french;
    else
        lastFileError_ = english + QStringLiteral("\n\n") + french;
    auto* box = new QMessageBox(QMessageBox::Critical, QStringLiteral("Tarvello"), lastFileError_, QMessageBox::Ok,
                                this);
    box->setObjectName(QStringLiteral("ListFileErrorBox"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
    box->raise();
    box->activateWindow();
}

void TOKBottomDlg1::CancelBtnClick()
{
    CloseForm();
}
