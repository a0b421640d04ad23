#include "Mechanical.h"

#include "Aff_Err.h"
#include "DynamicTexts.h"
#include "Dynamics.h"
#include "Forms.h"
#include "Main.h"
#include "Pictures.h"
#include "TextToReal.h"
#include "UiCommon.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The typical inertia needs the motor's power and its pole pairs, known once its rated values are.
bool MotorKnown()
{
    return MotorData.MechanicalPower > 0 && MotorData.PairOfPoles >= 1 &&
           TypicalMotorInertia(MotorData.MechanicalPower, MotorData.PairOfPoles) > 0;
}

} // namespace

TMechanicalForm::TMechanicalForm()
{
    setObjectName(QStringLiteral("MechanicalForm"));
    setWindowTitle(QStringLiteral("Mechanical Data"));
    const QFont f = SansFont(11);
    setFont(f);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(16, 10, 16, 14);
    AddHeading(this, outer, Title, QStringLiteral("Mechanical Data"), Image1, "Image1");

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(8);
    Label1 = MakeLabel(this, "Label1", QStringLiteral("Motor Inertia"), 0, 0, f);
    Label2 = MakeLabel(this, "Label2", QStringLiteral("Load Inertia (referred to the motor shaft)"), 0, 0, f);
    Label3 = MakeLabel(this, "Label3", QStringLiteral("Start-Time Limit"), 0, 0, f);
    Edit1 = MakeEdit(this, "Edit1", 0, 0, 90, f);
    Edit2 = MakeEdit(this, "Edit2", 0, 0, 90, f);
    Edit3 = MakeEdit(this, "Edit3", 0, 0, 90, f);
    Unit1 = MakeLabel(this, "Unit1", QString::fromUtf8("kg·m²"), 0, 0, f);
    Unit2 = MakeLabel(this, "Unit2", QString::fromUtf8("kg·m²"), 0, 0, f);
    Unit3 = MakeLabel(this, "Unit3", QStringLiteral("s"), 0, 0, f);
    QLabel* labels[] = {Label1, Label2, Label3};
    QLineEdit* edits[] = {Edit1, Edit2, Edit3};
    QLabel* units[] = {Unit1, Unit2, Unit3};
    for (int row = 0; row < 3; ++row) {
        edits[row]->setFixedWidth(90);
        grid->addWidget(labels[row], row * 2, 0, Qt::AlignLeft | Qt::AlignVCenter);
        grid->addWidget(edits[row], row * 2, 1);
        grid->addWidget(units[row], row * 2, 2, Qt::AlignLeft | Qt::AlignVCenter);
    }
    Note = MakeLabel(this, "Note", QString(), 0, 0, f);
    Note->setWordWrap(true);
    // A fixed width lets the layout give the wrapped note the height of its lines.
    Note->setFixedWidth(440);
    Note->setMinimumHeight(3 * QFontMetrics(f).lineSpacing());
    Note->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    grid->addWidget(Note, 1, 0, 1, 4);
    grid->setColumnStretch(3, 1);
    outer->addLayout(grid);
    outer->addSpacing(10);
    // An enlarged window keeps the rows together: the extra room goes below them.
    outer->addStretch(1);

    AddOkCancel(this, outer, Button1, "Button1", Button2, "Button2");
    SizeByLayout();

    connect(Edit1, &QLineEdit::textChanged, this, [this] { UpdateNote(); });
    connect(Button1, &QPushButton::clicked, this, &TMechanicalForm::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TMechanicalForm::Button2Click);
}

void TMechanicalForm::FormActivate()
{
    struct Text {
        QLabel* label;
        const char* english;
        const char* french;
    };
    const Text texts[] = {
        {Title, "Mechanical Data", "Données mécaniques"},
        {Label1, "Motor Inertia", "Inertie du moteur"},
        {Label2, "Load Inertia (referred to the motor shaft)",
         "Inertie de la charge (ramenée à l'arbre du moteur)"},
        {Label3, "Start-Time Limit", "Limite du temps de démarrage"},
    };
    if (!EnglishChosen() && !FrenchChosen())
        return;
    setWindowTitle(Pick("Mechanical Data", "Données mécaniques"));
    for (const Text& t : texts)
        SetCaption(t.label, Pick(t.english, t.french));
    Button2->setText(Pick("Cancel", "Annuler"));
    UpdateNote();
}

void TMechanicalForm::FormShow()
{
    const MechanicalData& m = DynamicData.Mechanical;
    typical_ = MotorKnown() ? TypicalMotorInertia(MotorData.MechanicalPower, MotorData.PairOfPoles) : 0;
    suggested_ = typical_ > 0 ? RoundedText(typical_) : QString();
    Edit1->setText(m.MotorInertia ? EditText(*m.MotorInertia) : suggested_);
    Edit2->setText(EditText(m.LoadInertia));
    Edit3->setText(EditText(m.StartTimeLimit));
    UpdateNote();
    Edit1->setFocus();
    Button1->setDefault(true);
}

void TMechanicalForm::UpdateNote()
{
    const QString text = Edit1->text().trimmed();
    if (typical_ <= 0) {
        Note->setText(
            text.isEmpty()
                ? Pick("Unknown: once a motor is chosen, the typical value for its power and number of "
                       "poles is used.",
                       "Inconnue : dès qu'un moteur est choisi, la valeur typique pour sa puissance et "
                       "son nombre de pôles est utilisée.")
                : Pick("The value of the motor's data sheet. Empty the field if it is unknown: the typical "
                       "value for the motor's power and number of poles is then used.",
                       "La valeur de la fiche technique du moteur. Videz le champ si elle est inconnue : "
                       "la valeur typique pour la puissance et le nombre de pôles du moteur est alors "
                       "utilisée."));
        return;
    }
    const QString motor = MotorDescription(MotorData.MechanicalPower, MotorData.PairOfPoles);
    if (text == suggested_)
        Note->setText(
            Pick("Typical value for %1, not the motor's own: keep it, or type the value of the motor's "
                 "data sheet.",
                 "Valeur typique pour %1, pas celle du moteur : gardez-la ou entrez la valeur de la fiche "
                 "technique du moteur.")
                .arg(motor));
    else if (text.isEmpty())
        Note->setText(Pick("Unknown: the typical value for %1, %2 kg·m², is used.",
                           "Inconnue : la valeur typique pour %1, %2 kg·m², est utilisée.")
                          .arg(motor, suggested_));
    else
        Note->setText(
            Pick("The value of the motor's data sheet (the typical value for %1 is %2 kg·m²; empty the "
                 "field to use it).",
                 "La valeur de la fiche technique du moteur (la valeur typique pour %1 est %2 kg·m² ; "
                 "videz le champ pour l'utiliser).")
                .arg(motor, suggested_));
}

void TMechanicalForm::Button1Click()
{
    MechanicalData m = DynamicData.Mechanical;
    try {
        // The suggestion left as it is stays the typical value, which follows the motor.
        const bool typical = Edit1->text().trimmed().isEmpty() ||
                             (!suggested_.isEmpty() && Edit1->text().trimmed() == suggested_);
        m.MotorInertia = typical ? std::nullopt
                                 : std::optional<double>(
                                       ReadField(Edit1, SettingField::MotorInertia, ErrMechanicalNotANumber));
        m.LoadInertia = ReadField(Edit2, SettingField::LoadInertia, ErrMechanicalNotANumber);
        m.StartTimeLimit = ReadField(Edit3, SettingField::StartTimeLimit, ErrMechanicalNotANumber);
    } catch (const Refusal& refusal) {
        RaiseError(refusal);
        return;
    }
    // Without a motor the typical inertia is not known yet: the total is judged once it is, by
    // the computation; every other check applies now.
    MechanicalData judged = m;
    if (!judged.MotorInertia && !MotorKnown())
        judged.MotorInertia = 1;
    if (const Refusal refusal = CheckMechanicalData(judged, MotorData)) {
        RaiseError(refusal);
        return;
    }
    DynamicData.Mechanical = m;
    CloseForm();
    if (Form1)
        Form1->NotifyDynamicInputsChanged();
}

void TMechanicalForm::Button2Click()
{
    CloseForm();
}
