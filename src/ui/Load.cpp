#include "Load.h"

#include "Aff_Err.h"
#include "Checks.h"
#include "Forms.h"
#include "Pictures.h"
#include "TextToReal.h"
#include "UiCommon.h"

#include <QButtonGroup>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

TForm5::TForm5()
{
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(QStringLiteral("Load"));
    SetClientSize(700, 481);
    const QFont f = SansFont(11);
    setFont(f);
    const QFont radioFont = SansFont(13, true);

    RadioButton1 = MakeRadio(this, "RadioButton1", QStringLiteral("No Load"), 112, 24, 330, 21, radioFont);
    RadioButton2 = MakeRadio(this, "RadioButton2", QStringLiteral("Constant Load"), 112, 92, 330, 21, radioFont);
    RadioButton3 =
        MakeRadio(this, "RadioButton3", QStringLiteral("Proportional Load"), 112, 196, 330, 21, radioFont);
    RadioButton4 = MakeRadio(this, "RadioButton4", QStringLiteral("Squared Load"), 112, 300, 330, 21, radioFont);
    RadioButton1->setChecked(true);
    auto* group = new QButtonGroup(this);
    for (QRadioButton* r : {RadioButton1, RadioButton2, RadioButton3, RadioButton4})
        group->addButton(r);

    Image2 = new TPicture(TPicture::ConstantLoad, this, "Image2", 12, 84, 90, 73);
    Image3 = new TPicture(TPicture::ProportionalLoad, this, "Image3", 12, 188, 90, 73);
    Image4 = new TPicture(TPicture::SquaredLoad, this, "Image4", 12, 292, 90, 73);
    Image1 = new TPicture(TPicture::Logo, this, "Image1", 618, 8, 74, 49);

    auto makeExamples = [this, &f](const char* name, const char* text, int y) {
        auto* l = new QLabel(QString::fromLatin1(text), this);
        l->setObjectName(QString::fromLatin1(name));
        l->setFont(f);
        l->setWordWrap(true);
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        l->setGeometry(132, y, 320, 56);
        return l;
    };
    Ex1 = makeExamples("Ex1", "Ex1", 120);
    EX2 = makeExamples("EX2", "Ex2", 224);
    ex3 = makeExamples("ex3", "Ex3", 328);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(472, 164, 209, 161);
    Panel1->setFrameShape(QFrame::Panel);
    Panel1->setFrameShadow(QFrame::Raised);
    Label2 = MakeLabel(Panel1, "Label2", QStringLiteral("T0"), 16, 20, f);
    Edit1 = MakeEdit(Panel1, "Edit1", 48, 16, 73, f);
    Label3 = MakeLabel(Panel1, "Label3", QStringLiteral("Nm"), 128, 20, f);
    Label4 = MakeLabel(Panel1, "Label4", QStringLiteral("T1"), 16, 52, f);
    Edit2 = MakeEdit(Panel1, "Edit2", 48, 48, 73, f);
    Label5 = MakeLabel(Panel1, "Label5", QStringLiteral("Nms"), 128, 52, f);
    Label6 = MakeLabel(Panel1, "Label6", QStringLiteral("T2"), 16, 84, f);
    Edit3 = MakeEdit(Panel1, "Edit3", 48, 80, 73, f);
    Label7 = MakeLabel(Panel1, "Label7", QStringLiteral("Nms"), 128, 84, f);
    Label8 = MakeLabel(Panel1, "Label8", QStringLiteral("2"), 128 + Label7->width(), 80, SansFont(8));
    for (QLineEdit* e : {Edit1, Edit2, Edit3})
        e->setText(QStringLiteral("0"));
    Label10 = MakeLabel(Panel1, "Label10", QStringLiteral("Tload = T0 + T1*n"), 16, 124, SansFont(12, true));
    Label1 = MakeLabel(Panel1, "Label1", QStringLiteral("Tload = T0 + T1*n + T2*n"), 16, 124, SansFont(12, true));
    Label9 = MakeLabel(Panel1, "Label9", QStringLiteral("2"), 16 + Label1->width(), 119, SansFont(9, true));
    Panel1->hide();

    Button1 = MakeButton(this, "Button1", QStringLiteral("OK"), 248, 432, 75, 25, f);
    Button2 = MakeButton(this, "Button2", QStringLiteral("Cancel"), 376, 432, 75, 25, f);
    Button1->setDefault(true);

    connect(RadioButton1, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            RadioButton1Click();
    });
    connect(RadioButton2, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            RadioButton2Click();
    });
    connect(RadioButton3, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            RadioButton3Click();
    });
    connect(RadioButton4, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            RadioButton4Click();
    });
    connect(Button1, &QPushButton::clicked, this, &TForm5::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm5::Button2Click);
}

void TForm5::ShowRows(bool panel, bool t1, bool t2)
{
    Panel1->setVisible(panel);
    for (QWidget* w : {static_cast<QWidget*>(Label4), static_cast<QWidget*>(Edit2), static_cast<QWidget*>(Label5)})
        w->setVisible(t1);
    for (QWidget* w : {static_cast<QWidget*>(Label6), static_cast<QWidget*>(Edit3), static_cast<QWidget*>(Label7),
                       static_cast<QWidget*>(Label8), static_cast<QWidget*>(Label1), static_cast<QWidget*>(Label9)})
        w->setVisible(t2);
    Label10->setVisible(t1 && !t2);
}

void TForm5::RadioButton1Click() { ShowRows(false, false, false); }
void TForm5::RadioButton2Click() { ShowRows(true, false, false); }
void TForm5::RadioButton3Click() { ShowRows(true, true, false); }
void TForm5::RadioButton4Click() { ShowRows(true, true, true); }

void TForm5::FormActivate()
{
    if (EnglishChosen()) {
        setWindowTitle(QStringLiteral("Load Parameters"));
        RadioButton1->setText(QStringLiteral("No Load"));
        RadioButton2->setText(QStringLiteral("Constant Load"));
        RadioButton3->setText(QStringLiteral("Proportional Load"));
        RadioButton4->setText(QStringLiteral("Squared Load"));
        Button2->setText(QStringLiteral("Cancel"));
        Ex1->setText(QStringLiteral("Examples : Conveyors, liftting gears, compressors, kneaded machines, piston "
                                    "pumps, rolling mills, machines tools, etc."));
        EX2->setText(QStringLiteral("Examples : Calander drives, press, etc."));
        ex3->setText(QStringLiteral(
            "Examples : Ventilators/fans, centrifugal pumps, screw pumps, propeller pumps, etc."));
    } else if (FrenchChosen()) {
        setWindowTitle(QString::fromUtf8("Paramètres de la charge"));
        RadioButton1->setText(QStringLiteral("Sans charge"));
        RadioButton2->setText(QStringLiteral("Charge constante"));
        RadioButton3->setText(QString::fromUtf8("Charge proportionnelle à la vitesse"));
        RadioButton4->setText(QString::fromUtf8("Charge au carré de la vitesse"));
        Button2->setText(QStringLiteral("Annuler"));
        Ex1->setText(QString::fromUtf8("Exemples : Convoyeurs, ponts de levage, compresseurs, machine à pétrir, "
                                       "pompes à piston, moulin à roue, machines-outils, etc."));
        EX2->setText(QStringLiteral("Exemples : Calandres, presses, etc."));
        ex3->setText(QString::fromUtf8(
            "Exemples : Ventillateurs, centifugeuses, pompes à vis, pompes à hélice, etc."));
    }
}

void TForm5::FormShow()
{
    QRadioButton* const kinds[] = {RadioButton1, RadioButton2, RadioButton3, RadioButton4};
    for (int k = 0; k < 4; ++k)
        if (kinds[k]->isChecked())
            openedKind_ = k;
    QLineEdit* const fields[] = {Edit1, Edit2, Edit3};
    for (int k = 0; k < 3; ++k)
        openedTexts_[k] = fields[k]->text();
    // Each opening starts on the chosen kind with OK as the default button, whichever button had
    // the focus when the dialog was last closed.
    kinds[openedKind_]->setFocus();
    Button1->setDefault(true);
}

void TForm5::Button1Click()
{
    // The coefficients of the checked kind, the others zero; nothing is stored before the load is
    // accepted, so that a refused load never replaces the last accepted one.
    double t0 = 0, t1 = 0, t2 = 0;
    try {
        auto read = [](QLineEdit* edit) { return TextToReal(ToStd(edit->text())); };
        if (!RadioButton1->isChecked())
            t0 = read(Edit1);
        if (RadioButton3->isChecked() || RadioButton4->isChecked())
            t1 = read(Edit2);
        if (RadioButton4->isChecked())
            t2 = read(Edit3);
    } catch (const EConvertError& e) {
        ShowConvertError(this, e.what());
        return;
    }

    // The load is judged on the circuit the computation will use (a typed motor identified on a
    // copy): a load the motor cannot carry is refused with 70.
    MotorDataSet judged = WithoutRows(MotorData);
    judged.T0 = t0;
    judged.T1 = t1;
    judged.T2 = t2;
    if (const Refusal refusal = CheckComputable(judged)) {
        RaiseError(refusal);
        return;
    }
    MotorData.T0 = t0;
    MotorData.T1 = t1;
    MotorData.T2 = t2;
    ChoicesData.Kind = RadioButton2->isChecked()   ? LoadKind::Constant
                       : RadioButton3->isChecked() ? LoadKind::Proportional
                       : RadioButton4->isChecked() ? LoadKind::Squared
                                                   : LoadKind::None;
    MotorData.DataChanged = true;
    MotorData.ResultsMode = true;
    MotorData.StartStep = 0;
    CloseForm();
}

void TForm5::Button2Click()
{
    // Back to the load as it was at the opening, in the fields as in the data set.
    QRadioButton* const kinds[] = {RadioButton1, RadioButton2, RadioButton3, RadioButton4};
    kinds[openedKind_]->setChecked(true);
    QLineEdit* const fields[] = {Edit1, Edit2, Edit3};
    for (int k = 0; k < 3; ++k)
        fields[k]->setText(openedTexts_[k]);
    CloseForm();
}

void TForm5::reject()
{
    Button2Click();
}
