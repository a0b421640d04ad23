#include "SoftStar.h"

#include "Aff_Err.h"
#include "Checks.h"
#include "DynamicTexts.h"
#include "Dynamics.h"
#include "ErrorMessages.h"
#include "Forms.h"
#include "Identification.h"
#include "Pictures.h"
#include "TextToReal.h"
#include "UiCommon.h"

#include <QButtonGroup>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

TForm6::TForm6()
{
    setObjectName(QStringLiteral("Form6"));
    setWindowTitle(QStringLiteral("Soft-Starter Parameters"));
    SetClientSize(680, 284);
    const QFont f = SansFont(11);
    setFont(f);

    Label30 = MakeLabel(this, "Label30", QStringLiteral("1. Estimated Time to Start Motor with Load :"), 16, 24,
                        SansFont(13, true));
    Edit1 = MakeEdit(this, "Edit1", 400, 20, 73, f);
    Edit1->setText(QStringLiteral("10"));
    Label31 = MakeLabel(this, "Label31", QStringLiteral("s"), 480, 24, f);
    Image1 = new TPicture(TPicture::Logo, this, "Image1", 598, 8, 74, 49);
    // Below the estimated time, which it fills; what it found, or why nothing, in the free band
    // above OK.
    Button3 = MakeButton(this, "Button3", QStringLiteral("Dynamic DOL Run-Up Time"), 320, 45, 270, 23, f);
    Label10 = new QLabel(this);
    Label10->setObjectName(QStringLiteral("Label10"));
    Label10->setFont(f);
    Label10->setWordWrap(true);
    Label10->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Label10->setGeometry(16, 189, 650, 42);

    Label7 = MakeLabel(this, "Label7", QStringLiteral("2. Choose how you want the calculation done :"), 16, 72,
                       SansFont(13, true));
    RadioButton1 = MakeRadio(this, "RadioButton1", QStringLiteral("Desired Limit Maximum Current"), 40, 108, 250,
                             17, f);
    RadioButton2 = MakeRadio(this, "RadioButton2", QStringLiteral("Selected Time Soft-Starter"), 40, 148, 250,
                             17, f);
    auto* group = new QButtonGroup(this);
    group->addButton(RadioButton1);
    group->addButton(RadioButton2);

    auto makePanel = [this](const char* name) {
        auto* p = new QFrame(this);
        p->setObjectName(QString::fromLatin1(name));
        p->setGeometry(320, 96, 265, 89);
        p->setFrameShape(QFrame::Panel);
        p->setFrameShadow(QFrame::Raised);
        p->hide();
        return p;
    };
    Panel1 = makePanel("Panel1");
    Label1 = MakeLabel(Panel1, "Label1", QStringLiteral("Preset"), 16, 20, f);
    Edit2 = MakeEdit(Panel1, "Edit2", 128, 16, 73, f);
    Edit2->setText(QStringLiteral("10"));
    Label2 = MakeLabel(Panel1, "Label2", QStringLiteral("%"), 208, 20, f);
    Label3 = MakeLabel(Panel1, "Label3", QStringLiteral("Imax/In"), 16, 56, f);
    Edit3 = MakeEdit(Panel1, "Edit3", 128, 52, 73, f);
    Edit3->setText(QStringLiteral("1.5"));
    Label4 = MakeLabel(Panel1, "Label4", QStringLiteral("--"), 208, 56, f);

    Panel2 = makePanel("Panel2");
    Label5 = MakeLabel(Panel2, "Label5", QStringLiteral("Preset"), 16, 20, f);
    Edit4 = MakeEdit(Panel2, "Edit4", 128, 16, 73, f);
    Edit4->setText(QStringLiteral("10"));
    Label6 = MakeLabel(Panel2, "Label6", QStringLiteral("%"), 208, 20, f);
    Label8 = MakeLabel(Panel2, "Label8", QStringLiteral("Time Soft-Starter"), 16, 56, f);
    Edit5 = MakeEdit(Panel2, "Edit5", 128, 52, 73, f);
    Edit5->setText(QStringLiteral("5"));
    Label9 = MakeLabel(Panel2, "Label9", QStringLiteral("s"), 208, 56, f);

    Button1 = MakeButton(this, "Button1", QStringLiteral("OK"), 232, 236, 75, 25, f);
    Button2 = MakeButton(this, "Button2", QStringLiteral("Cancel"), 360, 236, 75, 25, f);
    Button1->setDefault(true);

    // A radio button checked by the program runs its click like one checked by the user.
    connect(RadioButton1, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            RadioButton1Click();
    });
    connect(RadioButton2, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            RadioButton2Click();
    });
    connect(Button1, &QPushButton::clicked, this, &TForm6::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm6::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TForm6::Button3Click);
}

void TForm6::RadioButton1Click()
{
    MotorData.LimitCurrentMode = true;
    MotorData.SelectedTimeMode = false;
    Panel1->show();
    Panel2->hide();
}

void TForm6::RadioButton2Click()
{
    MotorData.SelectedTimeMode = true;
    MotorData.LimitCurrentMode = false;
    Panel2->show();
    Panel1->hide();
}

void TForm6::FormActivate()
{
    if (EnglishChosen()) {
        setWindowTitle(QStringLiteral("Soft-Starter Parameters"));
        SetCaption(Label30, QStringLiteral("1. Estimated Time to Start Motor with Load :"));
        SetCaption(Label7, QStringLiteral("2. Choose how you want the calculation done :"));
        RadioButton1->setText(QStringLiteral("Desired Limit Maximum Current"));
        RadioButton2->setText(QStringLiteral("Selected Time Soft-Starter"));
        Button2->setText(QStringLiteral("Cancel"));
        Button3->setText(QStringLiteral("Dynamic DOL Run-Up Time"));
    } else if (FrenchChosen()) {
        setWindowTitle(QString::fromUtf8("Paramètres du Soft-Starter"));
        SetCaption(Label30, QString::fromUtf8("1. Temps estimé pour le démarrage du moteur en charge :"));
        SetCaption(Label7, QStringLiteral("2. Comment voulez-vous que le calcul se fasse :"));
        RadioButton1->setText(QString::fromUtf8("Limite maximale désirée pour le courant"));
        RadioButton2->setText(QStringLiteral("Choisir le temps du Soft-Starter"));
        Button2->setText(QStringLiteral("Annuler"));
        Button3->setText(QString::fromUtf8("Temps de démarrage direct dynamique"));
    }
}

void TForm6::FormShow()
{
    Edit1->setText(FixedText(MotorData.EstimatedStartTime, 2));
    Edit2->setText(FixedText(MotorData.Preset * 100, 2));
    Edit4->setText(FixedText(MotorData.Preset * 100, 2));
    // The user's desired limit, not the peak the last computation reached: reopening and
    // confirming must not change the setting.
    Edit3->setText(FixedText(MotorData.DesiredImaxIn, 2));
    Edit5->setText(FixedText(MotorData.SoftStarterTime, 2));
    Label10->clear();
    if (MotorData.LimitCurrentMode)
        RadioButton1->setChecked(true);
    if (MotorData.SelectedTimeMode)
        RadioButton2->setChecked(true);
    // Each opening starts at the first field with OK as the default button, whichever button
    // had the focus when the dialog was last closed.
    Edit1->setFocus();
    Button1->setDefault(true);
}

void TForm6::Button1Click()
{
    // Only the fields of the selected mode count: the other panel is hidden, and what it holds
    // (a ramp time found by the last search, say) is not the user's choice.
    const bool limitMode = RadioButton1->isChecked();
    if (!limitMode && !RadioButton2->isChecked()) {
        RaiseError(50);
        return;
    }
    double estimated = 0, preset = 0, imax = 0, time = 0;
    try {
        // Every field of the mode is read before anything is stored.
        estimated = TextToReal(ToStd(Edit1->text()));
        if (limitMode) {
            preset = TextToReal(ToStd(Edit2->text()));
            imax = TextToReal(ToStd(Edit3->text()));
        } else {
            preset = TextToReal(ToStd(Edit4->text()));
            time = TextToReal(ToStd(Edit5->text()));
        }
    } catch (const EConvertError& e) {
        ShowConvertError(this, e.what());
        return;
    }
    // A preset outside 0 ... 100 % gives a ramp that starts below zero or above the full voltage.
    if (!(preset >= 0 && preset <= 100)) {
        RaiseError(ErrPresetRange);
        return;
    }
    if (!limitMode && time > 30) {
        RaiseError(51);
        return;
    }
    // A pending error, from here or from any other dialog, blocks storing until acknowledged;
    // its window comes to the front so that the refusal is not a silent one.
    if (MotorData.ErrorNumber != 0) {
        ShowPendingError();
        return;
    }
    MotorData.EstimatedStartTime = estimated;
    MotorData.Preset = preset * 0.01;
    if (limitMode)
        MotorData.DesiredImaxIn = imax;
    else
        MotorData.SoftStarterTime = ChoicesData.RampTime = time;
    MotorData.DataChanged = true;
    MotorData.StartStep = 2;
    CloseForm();
}

void TForm6::Button2Click()
{
    CloseForm();
}

void TForm6::Button3Click()
{
    // Offered, never imposed: the time goes into the field, and only OK stores it.
    const bool french = FrenchChosen();
    auto why = [this](const QString& text) {
        Label10->setText(text);
        QPalette pal = Label10->palette();
        pal.setColor(QPalette::WindowText, QColor(255, 0, 0));
        Label10->setPalette(pal);
    };
    // The motor and load in memory, its circuit identified as the computation would (on a copy).
    MotorDataSet judged = WithoutRows(MotorData);
    MethodOutcome dol;
    Refusal refusal = CheckComputable(judged);
    if (refusal == 0) {
        if (!CircuitGiven(judged)) // a listed, typed-in or data-sheet circuit is used as it stands
            IdentifyEquivalentDiagram(judged);
        refusal = ComputeMethodStart(judged, DynamicData, StartingMethod::Dol, dol);
    }
    const StartOutcome& o = dol.Outcome;
    if (refusal != 0) {
        why(Pick("No run-up time: %1", "Pas de temps de démarrage : %1")
                .arg(FromStd(ErrorText(refusal, french ? Language::French : Language::English))));
        return;
    }
    if (o.Stalled || !o.RunUpTime) {
        const QString speed = o.StallSpeed ? FixedText(*o.StallSpeed, 1) : QStringLiteral("0");
        why(o.TooLong ? Pick("No run-up time: direct-on-line the motor has not reached its speed by the start-time "
                             "limit of %1 s (%2 rpm).",
                             "Pas de temps de démarrage : en direct, le moteur n'atteint pas sa vitesse avant la "
                             "limite de %1 s (%2 tr/min).")
                            .arg(EditText(DynamicData.Mechanical.StartTimeLimit), speed)
                      : Pick("No run-up time: direct-on-line the motor stalls at %1 rpm with this load.",
                             "Pas de temps de démarrage : en direct, le moteur cale à %1 tr/min avec cette charge.")
                            .arg(speed));
        return;
    }
    Edit1->setText(FixedText(*o.RunUpTime, 2));
    // What it was computed with: in the guided order the load comes after this dialog.
    const double inertia = UsedMotorInertia(DynamicData.Mechanical, judged) + DynamicData.Mechanical.LoadInertia;
    const bool noLoad = judged.T0 == 0 && judged.T1 == 0 && judged.T2 == 0;
    Label10->setText(Pick("Direct-on-line run-up time with a total inertia of %1 kg·m² (%2) and %3.",
                          "Temps de démarrage direct avec une inertie totale de %1 kg·m² (%2) et %3.")
                         .arg(FixedText(inertia, inertia < 1 ? 4 : 2),
                              DynamicData.Mechanical.MotorInertia
                                  ? Pick("motor inertia as given", "inertie du moteur donnée")
                                  : Pick("typical motor inertia", "inertie typique du moteur"),
                              noLoad ? Pick("no load torque", "sans couple de charge")
                                     : Pick("the load as set", "la charge choisie")));
    QPalette pal = Label10->palette();
    pal.setColor(QPalette::WindowText, QColor(0, 0, 0));
    Label10->setPalette(pal);
}
