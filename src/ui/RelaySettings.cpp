#include "RelaySettings.h"

#include "Aff_Err.h"
#include "DynamicTexts.h"
#include "Dynamics.h"
#include "Forms.h"
#include "Main.h"
#include "Pictures.h"
#include "TextToReal.h"
#include "UiCommon.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

namespace {

// The rated current the relay setting defaults to, once a motor's rated values are known.
std::optional<double> RatedCurrent()
{
    const double in = MotorData.LineCurrent;
    return in > 0 && std::isfinite(in) ? std::optional<double>(in) : std::nullopt;
}

// An optional field: empty is none, a number is itself; anything else is refused naming the field,
// with the "is not a number" message the mechanical data dialog gives.
std::optional<double> OptionalField(const QLineEdit* edit, ProtectionField field)
{
    if (edit->text().trimmed().isEmpty())
        return std::nullopt;
    return ReadField(edit, ProtectionFieldName(field), ErrMechanicalNotANumber);
}

QString FieldName(ProtectionField field)
{
    const ErrorArgument name = ProtectionFieldName(field);
    return QString::fromStdString(FrenchChosen() ? name.french : name.english);
}

} // namespace

TProtectionForm::TProtectionForm()
{
    setObjectName(QStringLiteral("ProtectionForm"));
    setWindowTitle(QStringLiteral("Protection"));
    const QFont f = SansFont(11);
    setFont(f);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(16, 10, 16, 14);
    AddHeading(this, outer, Title, QStringLiteral("Protection"), Image1, "Image1");

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(8);
    ClassLabel = MakeLabel(this, "ClassLabel", QString(), 0, 0, f);
    SettingLabel = MakeLabel(this, "SettingLabel", QString(), 0, 0, f);
    ColdLabel = MakeLabel(this, "ColdLabel", QString(), 0, 0, f);
    HotLabel = MakeLabel(this, "HotLabel", QString(), 0, 0, f);
    ClassBox = new QComboBox(this);
    ClassBox->setObjectName(QStringLiteral("ClassBox"));
    ClassBox->setFont(f);
    ClassBox->addItem(QString());
    for (int i = 0; i < TripClassCount; ++i)
        ClassBox->addItem(QString::fromLatin1(TripClassKey(static_cast<TripClass>(i))));
    SettingEdit = MakeEdit(this, "SettingEdit", 0, 0, 90, f);
    ColdEdit = MakeEdit(this, "ColdEdit", 0, 0, 90, f);
    HotEdit = MakeEdit(this, "HotEdit", 0, 0, 90, f);
    SettingUnit = MakeLabel(this, "SettingUnit", QStringLiteral("A"), 0, 0, f);
    ColdUnit = MakeLabel(this, "ColdUnit", QStringLiteral("s"), 0, 0, f);
    HotUnit = MakeLabel(this, "HotUnit", QStringLiteral("s"), 0, 0, f);
    SettingNote = MakeLabel(this, "SettingNote", QString(), 0, 0, f);
    WithstandNote = MakeLabel(this, "WithstandNote", QString(), 0, 0, f);
    for (QLabel* note : {SettingNote, WithstandNote}) {
        note->setWordWrap(true);
        // A fixed width lets the layout give the wrapped note the height of its lines.
        note->setFixedWidth(440);
        note->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }

    const auto row = [&](int at, QLabel* label, QWidget* field, QLabel* unit) {
        grid->addWidget(label, at, 0, Qt::AlignLeft | Qt::AlignVCenter);
        grid->addWidget(field, at, 1);
        if (unit)
            grid->addWidget(unit, at, 2, Qt::AlignLeft | Qt::AlignVCenter);
    };
    for (QLineEdit* e : {SettingEdit, ColdEdit, HotEdit})
        e->setFixedWidth(90);
    row(0, ClassLabel, ClassBox, nullptr);
    row(1, SettingLabel, SettingEdit, SettingUnit);
    grid->addWidget(SettingNote, 2, 0, 1, 4);
    row(3, ColdLabel, ColdEdit, ColdUnit);
    row(4, HotLabel, HotEdit, HotUnit);
    grid->addWidget(WithstandNote, 5, 0, 1, 4);
    grid->setColumnStretch(3, 1);
    outer->addLayout(grid);
    outer->addSpacing(10);
    // An enlarged window keeps the rows together: the extra room goes below them.
    outer->addStretch(1);

    AddOkCancel(this, outer, Button1, "Button1", Button2, "Button2");
    UpdateTexts();
    SizeByLayout();

    // Without a relay the fields keep what was typed but take no part.
    connect(ClassBox, &QComboBox::currentIndexChanged, this, [this](int index) {
        for (QWidget* w : {static_cast<QWidget*>(SettingEdit), static_cast<QWidget*>(ColdEdit),
                           static_cast<QWidget*>(HotEdit)})
            w->setEnabled(index > 0);
    });
    connect(Button1, &QPushButton::clicked, this, &TProtectionForm::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TProtectionForm::Button2Click);
}

void TProtectionForm::FormActivate()
{
    if (!EnglishChosen() && !FrenchChosen())
        return;
    UpdateTexts();
}

void TProtectionForm::UpdateTexts()
{
    setWindowTitle(QStringLiteral("Protection"));
    SetCaption(Title, QStringLiteral("Protection"));
    SetCaption(ClassLabel, Pick("Overload Relay Trip Class", "Classe de déclenchement du relais"));
    SetCaption(SettingLabel, FieldName(ProtectionField::RelaySetting));
    SetCaption(ColdLabel, FieldName(ProtectionField::WithstandCold));
    SetCaption(HotLabel, FieldName(ProtectionField::WithstandHot));
    ClassBox->setItemText(0, Pick("none", "aucune"));
    Button2->setText(Pick("Cancel", "Annuler"));
    const std::optional<double> in = RatedCurrent();
    // The default as the field's placeholder, and said in the note.
    SettingEdit->setPlaceholderText(in ? EditText(*in) : QString());
    SettingNote->setText(in ? Pick("Empty for the default: the motor's rated current, %1 A.",
                                   "Vide pour la valeur par défaut : le courant assigné du moteur, %1 A.")
                                  .arg(EditText(*in))
                            : Pick("Empty for the default: the motor's rated current.",
                                   "Vide pour la valeur par défaut : le courant assigné du moteur."));
    WithstandNote->setText(Pick("The safe stall times of the motor's data sheet, both or neither. Without "
                                "them only the relay is judged.",
                                "Les temps de blocage sûrs de la fiche technique du moteur, les deux ou "
                                "aucun. Sans eux, seul le relais est jugé."));
    // The grid does not ask a spanning label for the height of its lines: each note keeps them.
    for (QLabel* note : {SettingNote, WithstandNote})
        note->setMinimumHeight(note->heightForWidth(note->width()));
}

void TProtectionForm::FormShow()
{
    const std::optional<ProtectionSettings>& p = DynamicData.Protection;
    ClassBox->setCurrentIndex(p ? 1 + static_cast<int>(p->Class) : 0);
    const auto text = [](const std::optional<double>& v) { return v ? EditText(*v) : QString(); };
    SettingEdit->setText(p ? text(p->RelaySetting) : QString());
    ColdEdit->setText(p ? text(p->WithstandCold) : QString());
    HotEdit->setText(p ? text(p->WithstandHot) : QString());
    for (QWidget* w : {static_cast<QWidget*>(SettingEdit), static_cast<QWidget*>(ColdEdit),
                       static_cast<QWidget*>(HotEdit)})
        w->setEnabled(p.has_value());
    UpdateTexts();
    ClassBox->setFocus();
    Button1->setDefault(true);
}

void TProtectionForm::Button1Click()
{
    if (ClassBox->currentIndex() <= 0) {
        DynamicData.Protection.reset();
    } else {
        ProtectionSettings p;
        p.Class = static_cast<TripClass>(ClassBox->currentIndex() - 1);
        try {
            p.RelaySetting = OptionalField(SettingEdit, ProtectionField::RelaySetting);
            p.WithstandCold = OptionalField(ColdEdit, ProtectionField::WithstandCold);
            p.WithstandHot = OptionalField(HotEdit, ProtectionField::WithstandHot);
        } catch (const Refusal& refusal) {
            RaiseError(refusal);
            return;
        }
        // Without a motor the setting's range is not known yet: it is judged once it is, by the
        // computation; the withstand times are judged now.
        ProtectionSettings judged = p;
        if (!RatedCurrent())
            judged.RelaySetting.reset();
        if (const Refusal refusal = CheckProtection(judged, MotorData)) {
            RaiseError(refusal);
            return;
        }
        DynamicData.Protection = p;
    }
    CloseForm();
    if (Form1)
        Form1->NotifyDynamicInputsChanged();
}

void TProtectionForm::Button2Click()
{
    CloseForm();
}
