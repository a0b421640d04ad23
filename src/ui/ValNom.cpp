#include "ValNom.h"

#include "Aff_Err.h"
#include "Checks.h"
#include "Datasheet.h"
#include "DatasheetMotor.h"
#include "DynamicTexts.h"
#include "Forms.h"
#include "MotorList.h"
#include "Pictures.h"
#include "TextToReal.h"
#include "UiCommon.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

TForm2::TForm2()
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Rated Values"));
    // The designed form, with the data sheet group below it and OK and Cancel moved under that.
    SetClientSize(557, 652);
    const QFont f = SansFont(11);
    setFont(f);

    Label9 = MakeLabel(this, "Label9", QStringLiteral("Rated Values"), 176, 16, SansFont(19));
    Image1 = new TPicture(TPicture::Logo, this, "Image1", 472, 8, 74, 49);

    Label16 = MakeLabel(this, "Label16", QStringLiteral("Constructor"), 24, 68, f);
    Edit9 = MakeEdit(this, "Edit9", 160, 64, 121, f);
    Label17 = MakeLabel(this, "Label17", QStringLiteral("Motor Size"), 24, 100, f);
    Edit8 = MakeEdit(this, "Edit8", 160, 96, 121, f);

    struct Row {
        QLabel** label;
        const char* labelName;
        const char* caption;
        QLineEdit** edit;
        const char* editName;
        int y;
        QLabel** unit;
        const char* unitName;
        const char* unitText;
    };
    const Row rows[] = {
        {&Label1, "Label1", "Mechanical Power", &Edit1, "Edit1", 152, &Label2, "Label2", "W"},
        {&Label3, "Label3", "Line Voltage", &Edit2, "Edit2", 184, &Label6, "Label6", "V"},
        {&Label10, "Label10", "Frequency", &Edit5, "Edit5", 216, &Label11, "Label11", "Hz"},
        {&Label4, "Label4", "Line Current", &Edit3, "Edit3", 248, &Label7, "Label7", "A"},
        {&Label5, "Label5", "Power Factor", &Edit4, "Edit4", 280, &Label8, "Label8", "--"},
        {&Label14, "Label14", "Rated Speed", &Edit7, "Edit7", 312, &Label15, "Label15", "rpm"},
        {&Label12, "Label12", "No Load Line Current", &Edit6, "Edit6", 408, &Label13, "Label13", "A"},
    };
    for (const Row& r : rows) {
        *r.label = MakeLabel(this, r.labelName, QString::fromLatin1(r.caption), 24, r.y + 4, f);
        *r.edit = MakeEdit(this, r.editName, 160, r.y, 73, f);
        *r.unit = MakeLabel(this, r.unitName, QString::fromLatin1(r.unitText), 240, r.y + 4, f);
    }

    CheckBox1 = MakeCheck(this, "CheckBox1", QStringLiteral("Approximation without no load current"), 48, 384,
                          257, 17, f);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(280, 184, 113, 81);
    Panel1->setFrameShape(QFrame::Panel);
    Panel1->setFrameShadow(QFrame::Raised);
    Label18 = MakeLabel(Panel1, "Label18", QStringLiteral("Coupling"), 8, 6, f);
    RadioButton1 = MakeRadio(Panel1, "RadioButton1", QStringLiteral("Star"), 16, 26, 90, 17, f);
    RadioButton2 = MakeRadio(Panel1, "RadioButton2", QStringLiteral("Delta"), 16, 50, 90, 17, f);
    RadioButton1->setChecked(true);

    DatasheetGroup = new QGroupBox(QStringLiteral("Data sheet"), this);
    DatasheetGroup->setObjectName(QStringLiteral("DatasheetGroup"));
    DatasheetGroup->setFont(f);
    DatasheetGroup->setGeometry(16, 448, 525, 120);
    const struct {
        QLabel** label;
        const char* labelName;
        QLineEdit** edit;
        const char* editName;
    } ratios[] = {{&LockedCurrentLabel, "LockedCurrentLabel", &LockedCurrentEdit, "LockedCurrentEdit"},
                  {&LockedTorqueLabel, "LockedTorqueLabel", &LockedTorqueEdit, "LockedTorqueEdit"},
                  {&BreakdownTorqueLabel, "BreakdownTorqueLabel", &BreakdownTorqueEdit, "BreakdownTorqueEdit"}};
    for (int i = 0; i < 3; ++i) {
        // The fields carry the names the data sheet's messages give them.
        const int y = 24 + 28 * i;
        *ratios[i].label = MakeLabel(DatasheetGroup, ratios[i].labelName,
                                     FromStd(DatasheetRatioName(i).english), 8, y + 4, f);
        *ratios[i].edit = MakeEdit(DatasheetGroup, ratios[i].editName, 184, y, 57, f);
        connect(*ratios[i].edit, &QLineEdit::textEdited, this, [this] {
            fitShown_ = false;
            ShowFit();
        });
    }
    PriorityLabel = MakeLabel(DatasheetGroup, "PriorityLabel", QStringLiteral("Fit priority"), 280, 24, f);
    TorquePriorityRadio = MakeRadio(DatasheetGroup, "TorquePriorityRadio", QStringLiteral("torque"), 292, 42, 110, 17, f);
    CurrentPriorityRadio =
        MakeRadio(DatasheetGroup, "CurrentPriorityRadio", QStringLiteral("current"), 292, 62, 110, 17, f);
    TorquePriorityRadio->setChecked(true);
    for (QRadioButton* r : {TorquePriorityRadio, CurrentPriorityRadio})
        connect(r, &QRadioButton::clicked, this, [this] {
            fitShown_ = false;
            ShowFit();
        });
    PriorityNote = MakeLabel(DatasheetGroup, "PriorityNote",
                             QStringLiteral("For a voltage-dip study choose \"current\"."), 280, 82, f);
    PriorityNote->setWordWrap(true);
    PriorityNote->setGeometry(280, 82, 237, 30);
    FitLabel = MakeLabel(this, "FitLabel", QString(), 24, 574, f);
    FitLabel->setWordWrap(true);
    FitLabel->setTextFormat(Qt::PlainText);
    FitLabel->setGeometry(24, 576, 384, 44);
    FitLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    Button1 = MakeButton(this, "Button1", QStringLiteral("OK"), 424, 578, 75, 25, f);
    Button2 = MakeButton(this, "Button2", QStringLiteral("Cancel"), 424, 614, 75, 25, f);
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &TForm2::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm2::Button2Click);

    // tab order of the design, the data sheet before OK
    QWidget* order[] = {Edit9, Edit8, Edit1, Edit2, Edit5, Edit3, Edit4, Edit7, Edit6, LockedCurrentEdit,
                        LockedTorqueEdit, BreakdownTorqueEdit, TorquePriorityRadio, Button1, Button2,
                        CheckBox1, RadioButton1};
    for (size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);
}

void TForm2::SetRatedValuesTexts()
{
    struct Text {
        QLabel* label;
        const char* english;
        const char* french;
    };
    const Text texts[] = {
        {Label9, "Rated Value", "Valeurs nominales"},
        {Label16, "Constructor", "Fabricant"},
        {Label17, "Motor Size", "Dimensions du moteur"},
        {Label1, "Mechanical Power", "Puissance mécanique"},
        {Label3, "Line Voltage", "Tension de ligne"},
        {Label10, "Frequency", "Fréquence"},
        {Label4, "Line Current", "Courant de ligne"},
        {Label5, "Power Factor", "Facteur de puissance"},
        {Label14, "Rated Speed", "Vitesse nominale"},
        {Label12, "No Load Line Current", "Courant de ligne à vide"},
        {Label18, "Coupling", "Couplage"},
    };
    if (EnglishChosen()) {
        setWindowTitle(QStringLiteral("Rated Values"));
        for (const Text& t : texts)
            SetCaption(t.label, QString::fromUtf8(t.english));
        CheckBox1->setText(QStringLiteral("Approximation without no Load Current"));
        RadioButton1->setText(QStringLiteral("Star"));
        RadioButton2->setText(QStringLiteral("Delta"));
        Button2->setText(QStringLiteral("Cancel"));
        DatasheetGroup->setTitle(QStringLiteral("Data sheet"));
        SetCaption(PriorityLabel, QStringLiteral("Fit priority"));
        TorquePriorityRadio->setText(QStringLiteral("torque"));
        CurrentPriorityRadio->setText(QStringLiteral("current"));
        PriorityNote->setText(QStringLiteral("For a voltage-dip study choose \"current\"."));
    } else if (FrenchChosen()) {
        setWindowTitle(QStringLiteral("Valeurs nominales"));
        for (const Text& t : texts)
            SetCaption(t.label, QString::fromUtf8(t.french));
        CheckBox1->setText(QString::fromUtf8("Calcul approximatif sans le courant à vide"));
        RadioButton1->setText(QStringLiteral("Etoile"));
        RadioButton2->setText(QStringLiteral("Triangle"));
        Button2->setText(QStringLiteral("Annuler"));
        DatasheetGroup->setTitle(QStringLiteral("Catalogue constructeur"));
        SetCaption(PriorityLabel, QStringLiteral("Priorité de l'ajustement"));
        TorquePriorityRadio->setText(QStringLiteral("couples"));
        CurrentPriorityRadio->setText(QStringLiteral("courant"));
        PriorityNote->setText(QStringLiteral("Pour une étude de creux de tension, choisir «\u00a0courant\u00a0»."));
    }
    QLabel* const ratioLabels[] = {LockedCurrentLabel, LockedTorqueLabel, BreakdownTorqueLabel};
    for (int i = 0; i < 3; ++i) {
        const ErrorArgument& name = DatasheetRatioName(i);
        if (EnglishChosen())
            SetCaption(ratioLabels[i], FromStd(name.english));
        else if (FrenchChosen())
            SetCaption(ratioLabels[i], FromStd(name.french));
    }
    ShowFit();
}

void TForm2::ShowFit()
{
    FitLabel->setText(fitShown_ ? CircuitText(MotorData) : QString());
}

void TForm2::FormActivate()
{
    SetRatedValuesTexts();
}

void TForm2::FormShow()
{
    Edit9->setText(FromStd(MotorData.ConstructorName));
    Edit8->setText(FromStd(MotorData.MotorSize));
    Edit1->setText(FixedTextOrEmpty(MotorData.MechanicalPower, 0));
    Edit2->setText(FixedTextOrEmpty(MotorData.LineVoltage, 0));
    Edit3->setText(FixedTextOrEmpty(MotorData.LineCurrent, 1));
    Edit4->setText(FixedTextOrEmpty(MotorData.PowerFactor, 2));
    Edit5->setText(FixedTextOrEmpty(MotorData.Frequency, 0));
    Edit6->setText(FixedTextOrEmpty(MotorData.NoLoadLineCurrent, 1));
    Edit7->setText(FixedTextOrEmpty(MotorData.RatedSpeed, 0));
    if (MotorData.StarCoupling)
        RadioButton1->setChecked(true);
    else
        RadioButton2->setChecked(true);
    CheckBox1->setChecked(false);
    // A data sheet's motor: its ratios and priority, and no no-load current where its circuit gave it.
    const bool sheet = HasDatasheet(MotorData);
    LockedCurrentEdit->setText(sheet ? EditText(MotorData.LockedRotorCurrentRatio) : QString());
    LockedTorqueEdit->setText(sheet ? EditText(MotorData.LockedRotorTorqueRatio) : QString());
    BreakdownTorqueEdit->setText(sheet ? EditText(MotorData.BreakdownTorqueRatio) : QString());
    (sheet && MotorData.Priority == FitPriority::Current ? CurrentPriorityRadio : TorquePriorityRadio)
        ->setChecked(true);
    if (sheet && MotorData.ApproximationWithoutNoLoadCurrent)
        Edit6->clear();
    fitShown_ = sheet && MotorData.MotorIdentified;
    ShowFit();
    MotorData.DataChanged = false;
    MotorData.ErrorNumber = 0;
    Edit9->setFocus();
}

bool TForm2::CheckRatedValuesPresent()
{
    const std::pair<QLineEdit*, int> required[] = {{Edit1, 1}, {Edit2, 2}, {Edit5, 5}, {Edit3, 3},
                                                   {Edit4, 4}, {Edit7, 7}};
    for (const auto& [edit, number] : required) {
        if (edit->text().isEmpty()) {
            RaiseError(number);
            return false;
        }
    }
    if (!MotorData.ApproximationWithoutNoLoadCurrent && Edit6->text().isEmpty()) {
        RaiseError(6);
        return false;
    }
    MotorData.ErrorNumber = 0;
    return true;
}

void TForm2::ReadRatedValues()
{
    MotorData.ConstructorName = ToStd(Edit9->text());
    MotorData.MotorSize = ToStd(Edit8->text());
    const std::pair<QLineEdit*, double*> fields[] = {
        {Edit1, &MotorData.MechanicalPower}, {Edit2, &MotorData.LineVoltage}, {Edit3, &MotorData.LineCurrent},
        {Edit4, &MotorData.PowerFactor},     {Edit5, &MotorData.Frequency},   {Edit7, &MotorData.RatedSpeed},
    };
    for (const auto& [edit, field] : fields) {
        if (!edit->text().isEmpty())
            *field = TextToReal(ToStd(edit->text()));
    }
    MotorData.StarCoupling = RadioButton1->isChecked();
    if (!MotorData.ApproximationWithoutNoLoadCurrent && !Edit6->text().isEmpty())
        MotorData.NoLoadLineCurrent = TextToReal(ToStd(Edit6->text()));
}

bool TForm2::DatasheetTyped() const
{
    for (const QLineEdit* e : {LockedCurrentEdit, LockedTorqueEdit, BreakdownTorqueEdit})
        if (!e->text().trimmed().isEmpty())
            return true;
    return false;
}

void TForm2::ConfirmDatasheet()
{
    // As the command line reads a data sheet's motor: the nameplate's presence (the no-load current
    // is optional), the numbers, the ratios (an empty one is missing), then ConfirmDatasheetMotor.
    // Judged on a copy: a refusal stores nothing and leaves the dialog open for the correction.
    const std::pair<QLineEdit*, int> required[] = {{Edit1, 1}, {Edit2, 2}, {Edit5, 5}, {Edit3, 3},
                                                   {Edit4, 4}, {Edit7, 7}};
    for (const auto& [edit, number] : required)
        if (edit->text().isEmpty()) {
            RaiseError(number);
            return;
        }
    MotorDataSet d = WithoutRows(MotorData);
    d.ConstructorName = ToStd(Edit9->text());
    d.MotorSize = ToStd(Edit8->text());
    d.StarCoupling = RadioButton1->isChecked();
    try {
        const std::pair<QLineEdit*, double*> fields[] = {
            {Edit1, &d.MechanicalPower}, {Edit2, &d.LineVoltage}, {Edit3, &d.LineCurrent},
            {Edit4, &d.PowerFactor},     {Edit5, &d.Frequency},   {Edit7, &d.RatedSpeed},
        };
        for (const auto& [edit, field] : fields)
            *field = TextToReal(ToStd(edit->text()));
        d.ApproximationWithoutNoLoadCurrent = CheckBox1->isChecked();
        d.NoLoadLineCurrent = 0;
        if (!d.ApproximationWithoutNoLoadCurrent && !Edit6->text().isEmpty())
            d.NoLoadLineCurrent = TextToReal(ToStd(Edit6->text()));
    } catch (const EConvertError& e) {
        ShowConvertError(this, e.what());
        return;
    }
    // Without a no-load current the fitted circuit gives it.
    if (!(d.NoLoadLineCurrent > 0))
        d.ApproximationWithoutNoLoadCurrent = true;
    const std::pair<QLineEdit*, double*> ratios[] = {{LockedCurrentEdit, &d.LockedRotorCurrentRatio},
                                                     {LockedTorqueEdit, &d.LockedRotorTorqueRatio},
                                                     {BreakdownTorqueEdit, &d.BreakdownTorqueRatio}};
    for (int i = 0; i < 3; ++i) {
        const QString text = ratios[i].first->text().trimmed();
        if (text.isEmpty()) {
            *ratios[i].second = 0;
            continue;
        }
        try {
            *ratios[i].second = TextToReal(ToStd(text));
        } catch (const EConvertError&) {
            const std::string shown = Excerpt(ToStd(text));
            const ErrorArgument& name = DatasheetRatioName(i);
            ratios[i].first->setFocus();
            ratios[i].first->selectAll();
            RaiseError(ErrDatasheetNotANumber,
                       {"The value \"" + shown + "\" of \"" + name.english + "\"",
                        "La valeur «\u00a0" + shown + "\u00a0» de «\u00a0" + name.french + "\u00a0»"});
            return;
        }
    }
    d.Priority = CurrentPriorityRadio->isChecked() ? FitPriority::Current : FitPriority::Torque;
    d.MotorFromList = false;
    Refusal refusal = CheckListTexts(d);
    if (!refusal)
        refusal = ConfirmDatasheetMotor(d);
    if (refusal) {
        RaiseError(refusal);
        return;
    }
    static_cast<MotorDataValues&>(MotorData) = d;
    MotorData.MotorIdentified = true;
    MotorData.ErrorNumber = 0;
    MotorData.DataChanged = true;
    MotorData.StartStep = 1;
    ChoicesData.Source = MotorSource::Typed;
    fitShown_ = true;
    ShowFit();
    CloseForm();
}

void TForm2::Button1Click()
{
    if (DatasheetTyped()) {
        ConfirmDatasheet();
        return;
    }
    try {
        MotorData.ApproximationWithoutNoLoadCurrent = CheckBox1->isChecked();
        CheckRatedValuesPresent();
        // From here the motor in memory holds typed values: its circuit is identified from them
        // (one cage, no data sheet).
        MotorData.MotorFromList = false;
        MotorData.LockedRotorCurrentRatio = MotorData.LockedRotorTorqueRatio = MotorData.BreakdownTorqueRatio = 0;
        MotorData.Priority = FitPriority::Torque;
        MotorData.Fit = {};
        MotorData.Rr2 = MotorData.Xr2sigma = 0;
        ReadRatedValues();
        if (MotorData.ErrorNumber != 0)
            return;
        // A maker or size text that the motor list could not hold would be cut apart when the
        // saved motor is read back.
        if (const int textError = CheckListTexts(MotorData)) {
            RaiseError(textError);
            return;
        }
        // Values that the derivation would divide by are refused before it runs; such a motor
        // has no derived values and does not count as identified.
        const bool derivable = CheckRatedValues(MotorData) == 0;
        const Refusal error = ConfirmRatedValues(MotorData);
        if (error != 0)
            RaiseError(error);
        else
            MotorData.ErrorNumber = 0;
        if (derivable)
            MotorData.MotorIdentified = true;
        if (MotorData.ErrorNumber != 0)
            return;
        MotorData.DataChanged = true;
        MotorData.StartStep = 1;
        ChoicesData.Source = MotorSource::Typed;
        CloseForm();
    } catch (const EConvertError& e) {
        ShowConvertError(this, e.what());
    }
}

void TForm2::Button2Click()
{
    CloseForm();
}
