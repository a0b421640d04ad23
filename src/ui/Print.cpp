#include "Print.h"

#include "Forms.h"
#include "Main.h"
#include "UiCommon.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

TOKBottomDlg2::TOKBottomDlg2()
{
    setObjectName(QStringLiteral("OKBottomDlg2"));
    setWindowTitle(QStringLiteral("Print Graphs"));
    SetClientSize(421, 219);
    const QFont f = SansFont(11);
    setFont(f);
    Label1 = MakeLabel(this, "Label1", QStringLiteral("Select Graphs to print"), 121, 24, SansFont(16, true));
    CheckBox1 = MakeCheck(this, "CheckBox1", QStringLiteral("Current = f(t)"), 94, 72, 130, 17, f);
    CheckBox2 = MakeCheck(this, "CheckBox2", QStringLiteral("Torque = f(t)"), 94, 96, 130, 17, f);
    CheckBox3 = MakeCheck(this, "CheckBox3", QStringLiteral("Current = f(n/ns)"), 230, 72, 130, 17, f);
    CheckBox4 = MakeCheck(this, "CheckBox4", QStringLiteral("Torque = f(n/ns)"), 230, 96, 130, 17, f);
    OKBtn = MakeButton(this, "OKBtn", QStringLiteral("OK"), 121, 148, 75, 25, f);
    CancelBtn = MakeButton(this, "CancelBtn", QStringLiteral("Cancel"), 225, 148, 75, 25, f);
    OKBtn->setDefault(true);
    Label2 = MakeLabel(this, "Label2", QStringLiteral("Warning, only one graph will be printed on each page!"), 83,
                       192, f);
    connect(OKBtn, &QPushButton::clicked, this, &TOKBottomDlg2::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &TOKBottomDlg2::CancelBtnClick);
}

void TOKBottomDlg2::FormActivate()
{
    if (EnglishChosen()) {
        setWindowTitle(QStringLiteral("Print Graphs"));
        SetCaption(Label1, QStringLiteral("Select Graphs to print"));
        SetCaption(Label2, QStringLiteral("Warning, only one graph will be printed on each page!"));
        CheckBox1->setText(QStringLiteral("Current = f(t)"));
        CheckBox2->setText(QStringLiteral("Torque = f(t)"));
        CheckBox3->setText(QStringLiteral("Current = f(n/ns)"));
        CheckBox4->setText(QStringLiteral("Torque = f(n/ns)"));
        CancelBtn->setText(QStringLiteral("Cancel"));
    } else if (FrenchChosen()) {
        setWindowTitle(QStringLiteral("Imprimer Graphiques"));
        SetCaption(Label1, QString::fromUtf8("Choisir les graphiques à imprimer"));
        SetCaption(Label2, QString::fromUtf8("Attention, un seul graphique par page sera imprimé!"));
        CheckBox1->setText(QStringLiteral("Courant = f(t)"));
        CheckBox2->setText(QStringLiteral("Couple = f(t)"));
        CheckBox3->setText(QStringLiteral("Courant = f(n/ns)"));
        CheckBox4->setText(QStringLiteral("Couple = f(n/ns)"));
        CancelBtn->setText(QStringLiteral("Annuler"));
    }
    for (QCheckBox* c : {CheckBox1, CheckBox2, CheckBox3, CheckBox4})
        c->setChecked(false);
    CheckBox3->setVisible(MotorData.ShowStaticCurves);
    CheckBox4->setVisible(MotorData.ShowStaticCurves);
}

void TOKBottomDlg2::OKBtnClick()
{
    if (Form1) {
        const std::pair<QCheckBox*, int> boxes[] = {{CheckBox1, 3}, {CheckBox2, 4}, {CheckBox3, 1}, {CheckBox4, 2}};
        for (const auto& [box, graph] : boxes)
            if (box->isChecked() && !box->isHidden())
                Form1->PrintGraph(graph);
    }
    CloseForm();
}

void TOKBottomDlg2::CancelBtnClick()
{
    CloseForm();
}
