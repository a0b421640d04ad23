#include "Init_Mot.h"

#include "Aff_Err.h"
#include "Forms.h"
#include "Main.h"
#include "UiCommon.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

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
    Label1 = new QLabel(QStringLiteral("XXX"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(16, 29, 593, 25);
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setFont(SerifFont(19, true));
    OKBtn = MakeButton(this, "OKBtn", QStringLiteral("OK"), 230, 100, 75, 25, f);
    CancelBtn = MakeButton(this, "CancelBtn", QStringLiteral("Cancel"), 318, 100, 75, 25, f);
    OKBtn->setDefault(true);
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
            Label1->setText(QString::fromUtf8("Voulez-vous sauver les paramètres dans la liste de moteur?"));
    }
}

void TOKBottomDlg1::OKBtnClick()
{
    const int action = MotorData.ListAction;
    if (action == 2 && !MotorData.MotorIdentified) {
        RaiseError(200);
        CloseForm();
        return;
    }
    if (action == 1 || action == 2) {
        // The list file operations are not built yet: say so rather than pretend to have written.
        ShowNote(Form1 ? static_cast<QWidget*>(Form1) : static_cast<QWidget*>(this),
                 QStringLiteral("The motor catalogue is not available yet: nothing was written."),
                 QString::fromUtf8("Le catalogue des moteurs n'est pas encore disponible : rien n'a été écrit."));
        CloseForm();
    }
}

void TOKBottomDlg1::CancelBtnClick()
{
    CloseForm();
}
