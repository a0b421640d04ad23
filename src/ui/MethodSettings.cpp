#include "MethodSettings.h"

#include "Aff_Err.h"
#include "DynamicTexts.h"
#include "Dynamics.h"
#include "Forms.h"
#include "Main.h"
#include "Pictures.h"
#include "TextToReal.h"
#include "UiCommon.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

namespace {

// One row of a group: caption, field, unit.
void AddRow(QGridLayout* grid, int row, QLabel*& label, const char* labelName, QLineEdit*& edit,
            const char* editName, QLabel*& unit, const char* unitName, QWidget* parent) {
    const QFont f = SansFont(11);
    label = MakeLabel(parent, labelName, QString(), 0, 0, f);
    edit = MakeEdit(parent, editName, 0, 0, 90, f);
    // A long caption in French must not squeeze the value.
    edit->setMinimumWidth(90);
    unit = MakeLabel(parent, unitName, QString(), 0, 0, f);
    grid->addWidget(label, row, 0);
    grid->addWidget(edit, row, 1);
    grid->addWidget(unit, row, 2);
}

} // namespace

TMethodSettingsForm::TMethodSettingsForm() {
    setObjectName(QStringLiteral("MethodSettingsForm"));
    setWindowTitle(QStringLiteral("Starting Methods and Starter"));
    setFont(SansFont(11));

    auto* top = new QVBoxLayout(this);
    top->setContentsMargins(12, 10, 12, 12);

    AddHeading(this, top, Title, QStringLiteral("Starting Methods and Starter"), Logo, "Logo");

    MethodsGroup = new QGroupBox(this);
    MethodsGroup->setObjectName(QStringLiteral("MethodsGroup"));
    MethodsGroup->setFont(SansFont(11, true));
    auto* methods = new QGridLayout(MethodsGroup);
    AddRow(methods, 0, ChangeoverLabel, "ChangeoverLabel", ChangeoverEdit, "ChangeoverEdit", ChangeoverUnit,
           "ChangeoverUnit", MethodsGroup);
    AddRow(methods, 1, TapLabel, "TapLabel", TapEdit, "TapEdit", TapUnit, "TapUnit", MethodsGroup);
    AddRow(methods, 2, ReactorLabel, "ReactorLabel", ReactorEdit, "ReactorEdit", ReactorUnit, "ReactorUnit",
           MethodsGroup);
    AddRow(methods, 3, LimitLabel, "LimitLabel", LimitEdit, "LimitEdit", LimitUnit, "LimitUnit",
           MethodsGroup);
    methods->setColumnStretch(0, 1);
    top->addWidget(MethodsGroup);

    StarterGroup = new QGroupBox(this);
    StarterGroup->setObjectName(QStringLiteral("StarterGroup"));
    StarterGroup->setFont(SansFont(11, true));
    StarterGroup->setCheckable(true);
    StarterGroup->setChecked(false);
    auto* starter = new QGridLayout(StarterGroup);
    AddRow(starter, 0, RatedCurrentLabel, "RatedCurrentLabel", RatedCurrentEdit, "RatedCurrentEdit",
           RatedCurrentUnit, "RatedCurrentUnit", StarterGroup);
    AddRow(starter, 1, RatingLabel, "RatingLabel", RatingEdit, "RatingEdit", RatingUnit, "RatingUnit",
           StarterGroup);
    AddRow(starter, 2, StartsLabel, "StartsLabel", StartsEdit, "StartsEdit", StartsUnit, "StartsUnit",
           StarterGroup);
    RatingEdit->setMinimumWidth(170);
    RatingEdit->setPlaceholderText(QStringLiteral("AC-53a: 3.5-17: 90-5"));
    StarterNote = new QLabel(StarterGroup);
    StarterNote->setObjectName(QStringLiteral("StarterNote"));
    StarterNote->setFont(SansFont(11));
    StarterNote->setWordWrap(true);
    starter->addWidget(StarterNote, 3, 0, 1, 3);
    starter->setColumnStretch(0, 1);
    top->addWidget(StarterGroup);

    AddOkCancel(this, top, OkButton, "OkButton", CancelButton, "CancelButton");
    SizeByLayout();

    // The texts are held by the fields from one opening to the next; the stored settings are
    // loaded into them by FormShow.
    ChangeoverEdit->setText(EditText(MethodSettings{}.ChangeoverSpeed));
    TapEdit->setText(EditText(MethodSettings{}.AutotransformerTap));
    ReactorEdit->setText(EditText(MethodSettings{}.ReactorVoltage));

    connect(OkButton, &QPushButton::clicked, this, &TMethodSettingsForm::OkClick);
    connect(CancelButton, &QPushButton::clicked, this, &TMethodSettingsForm::CancelClick);
    FormActivate();
}

void TMethodSettingsForm::FormActivate() {
    setWindowTitle(Pick("Starting Methods and Starter", "Modes de démarrage et démarreur"));
    SetCaption(Title, Pick("Starting Methods and Starter", "Modes de démarrage et démarreur"));
    MethodsGroup->setTitle(Pick("Starting methods", "Modes de démarrage"));
    SetCaption(ChangeoverLabel,
               Pick("Changeover speed (star-delta, autotransformer, reactor)",
                    "Vitesse de commutation (étoile-triangle, autotransformateur, inductances)"));
    SetCaption(ChangeoverUnit, QStringLiteral("× ns"));
    SetCaption(TapLabel, Pick("Autotransformer tap k", "Prise k de l'autotransformateur"));
    SetCaption(TapUnit, QStringLiteral("× Un"));
    SetCaption(ReactorLabel,
               Pick("Reactor: motor voltage at standstill", "Inductances : tension du moteur à l'arrêt"));
    SetCaption(ReactorUnit, QStringLiteral("× Un"));
    SetCaption(LimitLabel, Pick("Current limit for the comparison", "Limite de courant pour la comparaison"));
    SetCaption(LimitUnit, QStringLiteral("× In"));
    LimitEdit->setToolTip(
        Pick("Imax/In of the soft-starter start with current limit in the comparison. Empty: "
             "the soft-starter's limit in current-limit mode, else 3.",
             "Imax/In du démarrage par Soft-Starter avec limite de courant dans la "
             "comparaison. Vide : la limite du Soft-Starter en mode limite de courant, "
             "sinon 3."));
    StarterGroup->setTitle(Pick("Check the duty of a soft-starter", "Vérifier le service d'un démarreur"));
    SetCaption(RatedCurrentLabel, Pick("Rated current Ie", "Courant assigné Ie"));
    SetCaption(RatedCurrentUnit, QStringLiteral("A"));
    SetCaption(RatingLabel, Pick("Rating code X-Tx:F-S", "Classe X-Tx:F-S"));
    SetCaption(RatingUnit, QString());
    SetCaption(StartsLabel, Pick("Starts per hour needed N", "Démarrages par heure demandés N"));
    SetCaption(StartsUnit, QStringLiteral("1/h"));
    StarterNote->setText(
        Pick("The rating \"Ie AC-53a: X-Tx: F-S\" allows a start current of X times Ie for Tx "
             "seconds, F % on-load factor and S starts per hour; \"AC-53a:\" may be left out. "
             "Without a tick, no starter is judged.",
             "La classe « Ie AC-53a: X-Tx: F-S » admet un courant de démarrage de X fois Ie "
             "pendant Tx secondes, un facteur de marche de F % et S démarrages par heure ; "
             "« AC-53a: » peut être omis. Sans coche, aucun démarreur n'est jugé."));
    CancelButton->setText(Pick("Cancel", "Annuler"));
}

void TMethodSettingsForm::FormShow() {
    const MethodSettings& m = DynamicData.Methods;
    ChangeoverEdit->setText(EditText(m.ChangeoverSpeed));
    TapEdit->setText(EditText(m.AutotransformerTap));
    ReactorEdit->setText(EditText(m.ReactorVoltage));
    LimitEdit->setText(m.CurrentLimit ? EditText(*m.CurrentLimit) : QString());
    // Empty, the field shows the limit that then applies.
    LimitEdit->setPlaceholderText(EditText(ComparisonCurrentLimit(MethodSettings{}, MotorData)));
    StarterGroup->setChecked(DynamicData.Starter.has_value());
    // Without a starter the fields keep what was last typed there, ready to be ticked again.
    if (const auto& s = DynamicData.Starter) {
        RatedCurrentEdit->setText(EditText(s->RatedCurrent));
        RatingEdit->setText(QString::fromStdString(s->RatingCode));
        StartsEdit->setText(EditText(s->StartsPerHour));
    }
    ChangeoverEdit->setFocus();
    OkButton->setDefault(true);
}

void TMethodSettingsForm::OkClick() {
    // Everything is read and checked before anything is stored.
    MethodSettings methods;
    StarterDuty starter;
    const bool judged = StarterGroup->isChecked();
    try {
        methods.ChangeoverSpeed =
            ReadField(ChangeoverEdit, SettingField::ChangeoverSpeed, ErrMethodNotANumber);
        methods.AutotransformerTap =
            ReadField(TapEdit, SettingField::AutotransformerTap, ErrMethodNotANumber);
        methods.ReactorVoltage = ReadField(ReactorEdit, SettingField::ReactorVoltage, ErrMethodNotANumber);
        if (!LimitEdit->text().trimmed().isEmpty())
            methods.CurrentLimit =
                ReadField(LimitEdit, SettingField::ComparisonCurrentLimit, ErrMethodNotANumber);
        if (judged) {
            starter.RatedCurrent =
                ReadField(RatedCurrentEdit, SettingField::StarterCurrent, ErrMethodNotANumber);
            starter.StartsPerHour = ReadField(StartsEdit, SettingField::StartsPerHour, ErrMethodNotANumber);
        }
    } catch (const Refusal& refusal) {
        RaiseError(refusal);
        return;
    }
    if (const Refusal refusal = CheckMethodSettings(methods)) {
        RaiseError(refusal);
        return;
    }
    if (judged) {
        starter.RatingCode = ToStd(RatingEdit->text());
        if (const Refusal refusal = CheckStarterDuty(starter)) {
            RaiseError(refusal);
            return;
        }
    }
    DynamicData.Methods = methods;
    DynamicData.Starter = judged ? std::optional<StarterDuty>(starter) : std::nullopt;
    CloseForm();
    if (Form1) Form1->NotifyDynamicInputsChanged();
}

void TMethodSettingsForm::CancelClick() {
    CloseForm();
}
