#include "DynStart.h"

#include "Aff_Err.h"
#include "DatasheetMotor.h"
#include "DynamicCharts.h"
#include "DynamicTexts.h"
#include "Forms.h"
#include "Main.h"
#include "Pictures.h"
#include "UiCommon.h"
#include "xyGraph.h"

#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

const QColor Blue(0, 0, 255);
const QColor Red(255, 0, 0);
// A value of a start that does not run up: its peak over the limit, the speed it never reaches.
const QColor Grey(100, 100, 100);

// A read-only result field like those of the main window's panels: no keyboard focus, so that the
// window's keys are not taken.
QLineEdit* NewDisplay(QWidget* parent, const QString& name, const QFont& font)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setFont(font);
    e->setReadOnly(true);
    e->setFocusPolicy(Qt::NoFocus);
    e->setFixedWidth(84);
    return e;
}

// "Stalls at 624.8 rpm" or "Too long: 1234.5 rpm at 60 s" ("tr/min" in French); empty for a start
// that runs up.
QString StallText(const StartOutcome& o, double limit)
{
    if (!o.Stalled)
        return {};
    const QString speed = ResultText(o.StallSpeed, 1);
    if (o.TooLong)
        return Pick("Too long: %1 rpm at the %2 s limit", "Trop long : %1 tr/min à la limite de %2 s")
            .arg(speed, EditText(limit));
    return Pick("Stalls at %1 rpm", "Cale à %1 tr/min").arg(speed);
}

} // namespace

TDynamicStartForm::TDynamicStartForm()
{
    setWindowTitle(QStringLiteral("Dynamic Start"));
    QVBoxLayout* outer = NewChartWindowLayout(this, "DynamicStartForm", Notice);
    const QFont f = font();

    auto* legend = new QHBoxLayout;
    LegendDol = NewLegendLabel(this, "LegendDol", Blue);
    LegendSoft = NewLegendLabel(this, "LegendSoft", Red);
    LegendDashed = NewLabel(this, "LegendDashed", f);
    legend->addWidget(LegendDol);
    legend->addSpacing(16);
    legend->addWidget(LegendSoft);
    legend->addSpacing(24);
    legend->addWidget(LegendDashed);
    legend->addStretch(1);
    outer->addLayout(legend);

    auto* body = new QHBoxLayout;
    auto* charts = new QGridLayout;
    charts->setSpacing(6);
    SpeedChart = NewDynamicChart(this, "SpeedChart", DynamicChart::Speed);
    CurrentChart = NewDynamicChart(this, "CurrentChart", DynamicChart::Current);
    TorqueChart = NewDynamicChart(this, "TorqueChart", DynamicChart::Torque);
    VoltageChart = NewDynamicChart(this, "VoltageChart", DynamicChart::Voltage);
    charts->addWidget(SpeedChart, 0, 0);
    charts->addWidget(CurrentChart, 0, 1);
    charts->addWidget(TorqueChart, 1, 0);
    charts->addWidget(VoltageChart, 1, 1);
    body->addLayout(charts, 1);

    // The silver result panel of the main window.
    Panel = NewSilverPanel(this, "Panel");
    Panel->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    auto* panel = new QVBoxLayout(Panel);
    panel->setContentsMargins(10, 6, 10, 10);
    auto* titleRow = new QHBoxLayout;
    PanelTitle = NewLabel(Panel, "PanelTitle", SansFont(13, true));
    titleRow->addWidget(PanelTitle, 1);
    auto* logo = new TPicture(TPicture::Logo, Panel, "Image1", 0, 0, 56, 26);
    logo->setFixedSize(56, 26);
    titleRow->addWidget(logo);
    panel->addLayout(titleRow);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(5);
    HeadDol = NewLabel(Panel, "HeadDol", SansFont(11, true));
    SetPaletteColour(HeadDol, QPalette::WindowText, Blue);
    HeadSoft = NewLabel(Panel, "HeadSoft", SansFont(11, true), true);
    SetPaletteColour(HeadSoft, QPalette::WindowText, Red);
    grid->addWidget(HeadDol, 0, 1);
    grid->addWidget(HeadSoft, 0, 2);
    StatusDol = NewLabel(Panel, "StatusDol", SansFont(11, true), true);
    StatusSoft = NewLabel(Panel, "StatusSoft", SansFont(11, true), true);
    StatusDol->setFixedWidth(84);
    StatusSoft->setFixedWidth(84);
    grid->addWidget(StatusDol, 1, 1);
    grid->addWidget(StatusSoft, 1, 2);
    const char* units[RowCount] = {"s", "A", "--", "T/Tn", "J", "J", "rpm", "%", "%"};
    for (int row = 0; row < RowCount; ++row) {
        RowName[row] = NewLabel(Panel, "", f, true);
        RowName[row]->setObjectName(QStringLiteral("RowName%1").arg(row));
        DolValue[row] = NewDisplay(Panel, QStringLiteral("DolValue%1").arg(row), f);
        SoftValue[row] = NewDisplay(Panel, QStringLiteral("SoftValue%1").arg(row), f);
        RowUnit[row] = NewLabel(Panel, "", f);
        RowUnit[row]->setObjectName(QStringLiteral("RowUnit%1").arg(row));
        RowUnit[row]->setText(QString::fromLatin1(units[row]));
        grid->addWidget(RowName[row], row + 2, 0);
        grid->addWidget(DolValue[row], row + 2, 1);
        grid->addWidget(SoftValue[row], row + 2, 2);
        grid->addWidget(RowUnit[row], row + 2, 3);
    }
    RelayName = NewLabel(Panel, "RelayName", f, true);
    TcuName = NewLabel(Panel, "TcuName", f, true);
    RelayUnit = NewLabel(Panel, "RelayUnit", f);
    TcuUnit = NewLabel(Panel, "TcuUnit", f);
    TcuUnit->setText(QStringLiteral("%"));
    RelayDol = NewDisplay(Panel, QStringLiteral("RelayDol"), f);
    RelaySoft = NewDisplay(Panel, QStringLiteral("RelaySoft"), f);
    TcuDol = NewDisplay(Panel, QStringLiteral("TcuDol"), f);
    TcuSoft = NewDisplay(Panel, QStringLiteral("TcuSoft"), f);
    // A verdict with its trip level, in bold, is longer than a number: the columns keep one width.
    QFont bold = f;
    bold.setBold(true);
    const int width = std::max(RelayDol->width(),
                               QFontMetrics(bold).horizontalAdvance(QString::fromUtf8("RÉUSSI 99.9 %")) + 12);
    for (QLineEdit* e : {RelayDol, RelaySoft, TcuDol, TcuSoft})
        e->setFixedWidth(width);
    for (int row = 0; row < RowCount; ++row) {
        DolValue[row]->setFixedWidth(width);
        SoftValue[row]->setFixedWidth(width);
    }
    grid->addWidget(RelayName, RowCount + 2, 0);
    grid->addWidget(RelayDol, RowCount + 2, 1);
    grid->addWidget(RelaySoft, RowCount + 2, 2);
    grid->addWidget(RelayUnit, RowCount + 2, 3);
    grid->addWidget(TcuName, RowCount + 3, 0);
    grid->addWidget(TcuDol, RowCount + 3, 1);
    grid->addWidget(TcuSoft, RowCount + 3, 2);
    grid->addWidget(TcuUnit, RowCount + 3, 3);
    grid->setColumnMinimumWidth(0, 150);
    panel->addLayout(grid);
    panel->addSpacing(8);
    CornersBox = new QCheckBox(Panel);
    CornersBox->setObjectName(QStringLiteral("CornersBox"));
    CornersBox->setFont(f);
    CornersBox->hide();
    panel->addWidget(CornersBox);
    connect(CornersBox, &QCheckBox::toggled, this, &TDynamicStartForm::CornersToggled);
    CornersDol = NewLabel(Panel, "CornersDol", f, true);
    SetPaletteColour(CornersDol, QPalette::WindowText, Blue);
    CornersSoft = NewLabel(Panel, "CornersSoft", f, true);
    SetPaletteColour(CornersSoft, QPalette::WindowText, Red);
    StallNote = NewLabel(Panel, "StallNote", SansFont(11, true), true);
    SetPaletteColour(StallNote, QPalette::WindowText, Red);
    ProtectionText = NewLabel(Panel, "ProtectionText", f, true);
    InertiaText = NewLabel(Panel, "InertiaText", f, true);
    SupplyText = NewLabel(Panel, "SupplyText", f, true);
    FitText = NewLabel(Panel, "FitText", f, true);
    for (QLabel* l : {CornersDol, CornersSoft, StallNote, ProtectionText, InertiaText, SupplyText, FitText}) {
        l->setFixedWidth(370);
        panel->addWidget(l);
    }
    panel->addStretch(1);
    body->addWidget(Panel);
    outer->addLayout(body, 1);

    ApplyTexts();
    ShowResultsParts(false);
    // The charts like more room than their minimum.
    SizeByLayout(QSize(1000, 640));

    FollowMainWindow();
}

Refusal TDynamicStartForm::Recompute()
{
    if (!ReadyToCompute()) return ErrNoMotor;
    DynamicResults computed;
    const Refusal refusal = ComputeDynamicStart(data_, DynamicData, computed, 0, DynamicChartPoints);
    if (refusal != 0) {
        refusal_ = refusal.number;
        ApplyTexts();
        RaiseErrorOver(this, refusal);
        return refusal;
    }
    refusal_ = 0;
    results_ = std::move(computed);
    settings_ = DynamicData;
    shownData_ = data_;
    ComputeCorners();
    ShowResultsParts(true);
    Plot();
    ApplyTexts();
    return 0;
}

void TDynamicStartForm::ComputeCorners()
{
    corners_.reset();
    if (results_ && CornersBox->isChecked() && HasDatasheet(shownData_))
        corners_ = ComputeToleranceCorners(shownData_, settings_, 0, DynamicChartPoints);
}

void TDynamicStartForm::CornersToggled()
{
    if (!results_)
        return;
    ComputeCorners();
    Plot();
    ApplyTexts();
}

void TDynamicStartForm::ShowResultsParts(bool shown)
{
    for (TxyGraph* chart : {SpeedChart, CurrentChart, TorqueChart, VoltageChart})
        chart->setVisible(shown);
    for (QWidget* w : {static_cast<QWidget*>(Panel), static_cast<QWidget*>(LegendDol),
                       static_cast<QWidget*>(LegendSoft), static_cast<QWidget*>(LegendDashed)})
        w->setVisible(shown);
}

void TDynamicStartForm::Plot()
{
    const bool network = settings_.Network.Enabled;
    const ToleranceCorners* corners = corners_ ? &*corners_ : nullptr;
    PlotDynamicChart(SpeedChart, DynamicChart::Speed, *results_, network, corners);
    PlotDynamicChart(CurrentChart, DynamicChart::Current, *results_, network, corners);
    PlotDynamicChart(TorqueChart, DynamicChart::Torque, *results_, network);
    PlotDynamicChart(VoltageChart, DynamicChart::Voltage, *results_, network);
}

void TDynamicStartForm::ApplyTexts()
{
    setWindowTitle(Pick("Dynamic Start", "Démarrage dynamique"));
    if (!results_) {
        Notice->setText(
            haveData_ && refusal_ != 0
                ? Pick("The dynamic start could not be computed (error %1): correct the setting "
                       "the message names.",
                       "Le démarrage dynamique n'a pas pu être calculé (erreur %1) : corrigez le "
                       "paramètre indiqué par le message.")
                      .arg(refusal_)
                : Pick("No results yet. First choose the motor, the soft-starter and the load (start "
                       "menu, steps 1 to 3): the dynamic start is computed from the main window's "
                       "results, with the inertia of Parameters › Mechanical Data and the supply of "
                       "Parameters › Supply Network.",
                       "Pas encore de résultats. Choisissez d'abord le moteur, le soft-starter et la "
                       "charge (menu de démarrage, étapes 1 à 3) : le démarrage dynamique est calculé "
                       "à partir des résultats de la fenêtre principale, avec l'inertie de Paramètres "
                       "› Données mécaniques et l'alimentation de Paramètres › Réseau "
                       "d'alimentation."));
        SetPaletteColour(Notice, QPalette::WindowText, haveData_ && refusal_ != 0 ? Red : QColor(Qt::black));
        Notice->show();
    } else if (refusal_ != 0) {
        Notice->setText(
            Pick("The last change was refused (error %1): the results shown are those from before it.",
                 "La dernière modification a été refusée (erreur %1) : les résultats affichés sont "
                 "ceux d'avant.")
                .arg(refusal_));
        SetPaletteColour(Notice, QPalette::WindowText, Red);
        Notice->show();
    } else {
        Notice->hide();
    }

    LegendDol->setText(Pick("DOL", "DOL"));
    LegendSoft->setText(Pick("With Soft-Starter", "Avec Soft-Starter"));
    const bool network = results_ && settings_.Network.Enabled;
    QString legend = network ? Pick("Dashed: load torque; busbar voltage",
                                    "En tirets : couple de la charge ; tension du jeu de barres")
                             : Pick("Dashed: load torque", "En tirets : couple de la charge");
    if (corners_)
        legend += Pick("; dotted: tolerance corners", " ; en pointillés : coins de tolérance");
    LegendDashed->setText(legend);
    CornersBox->setText(Pick("Tolerance corners (IEC 60034-1)", "Coins de tolérance (CEI 60034-1)"));
    // Only a motor identified from its data sheet has tolerances to move to.
    CornersBox->setVisible(results_ && HasDatasheet(shownData_));
    SetDynamicChartTexts(SpeedChart, Pick("Speed", "Vitesse"), QStringLiteral("n/ns"));
    SetDynamicChartTexts(CurrentChart, Pick("Current", "Courant"), QStringLiteral("I/In"));
    SetDynamicChartTexts(TorqueChart, Pick("Torque", "Couple"), QStringLiteral("T/Tn"));
    SetDynamicChartTexts(VoltageChart,
                         network ? Pick("Voltage: motor and busbar", "Tension : moteur et jeu de barres")
                                 : Pick("Motor Voltage", "Tension du moteur"),
                         QStringLiteral("U/Un"));

    PanelTitle->setText(Pick("Dynamic Start", "Démarrage dynamique"));
    HeadDol->setText(Pick("DOL", "DOL"));
    HeadSoft->setText(Pick("With Soft-Starter", "Avec Soft-Starter"));
    const char* names[RowCount][2] = {
        {"Run-up time", "Temps de démarrage"},
        {"Peak current", "Courant de crête"},
        {"Peak current I/In", "Courant de crête I/In"},
        {"Lowest accelerating torque", "Couple d'accélération minimal"},
        {"Rotor energy", "Énergie dans le rotor"},
        {"Stator energy", "Énergie dans le stator"},
        {"Operating speed", "Vitesse de fonctionnement"},
        {"Largest busbar dip", "Creux max. au jeu de barres"},
        {"Lowest motor voltage", "Tension minimale du moteur"},
    };
    for (int row = 0; row < RowCount; ++row)
        RowName[row]->setText(Pick(names[row][0], names[row][1]));
    RowUnit[OperatingSpeed]->setText(Pick("rpm", "tr/min"));
    RelayName->setText(Pick("Overload relay, cold start", "Relais de surcharge, à froid"));
    TcuName->setText(Pick("Thermal capacity used, cold", "Capacité thermique, à froid"));
    FillPanel();
}

void TDynamicStartForm::FillProtection()
{
    const std::optional<ProtectionResults>& relay = results_->Protection;
    const bool shown = relay && settings_.Protection;
    for (QWidget* w : std::initializer_list<QWidget*>{RelayName, RelayUnit, TcuName, TcuUnit, RelayDol, RelaySoft,
                                                      TcuDol, TcuSoft, ProtectionText})
        w->setVisible(shown);
    if (!shown)
        return;
    const auto fill = [](const StartProtection& p, QLineEdit* verdict, QLineEdit* tcu) {
        verdict->setText(RelayVerdictText(p.Cold));
        verdict->setToolTip(RelayVerdictTip(p.Cold));
        SetPaletteColour(verdict, QPalette::Text, VerdictColour(p.Cold.PassesStart));
        QFont bold = verdict->font();
        bold.setBold(true);
        verdict->setFont(bold);
        tcu->setText(TcuText(p.Cold));
        tcu->setToolTip(p.Cold.Tcu ? QString() : Pick("No withstand times", "Pas de temps de blocage admissibles"));
    };
    fill(relay->Dol, RelayDol, TcuDol);
    fill(relay->SoftStarter, RelaySoft, TcuSoft);
    ProtectionText->setText(RelayDescription(*relay, *settings_.Protection));
}

void TDynamicStartForm::FillPanel()
{
    if (!results_)
        return;
    const DynamicResults& r = *results_;
    const double limit = settings_.Mechanical.StartTimeLimit;
    auto fillStart = [&](const StartOutcome& o, QLabel* status, QLineEdit* const* values) {
        if (o.Stalled) {
            status->setText(StallText(o, limit));
            SetPaletteColour(status, QPalette::WindowText, Red);
        } else {
            status->setText(Pick("Runs up", "Démarre"));
            SetPaletteColour(status, QPalette::WindowText, QColor(0, 100, 0));
        }
        values[RunUpTime]->setText(ResultText(o.RunUpTime, 3));
        values[PeakCurrent]->setText(ResultText(o.Stalled ? o.StalledPeakLineCurrent : o.PeakLineCurrent, 1));
        values[PeakCurrentRatio]->setText(
            ResultText(o.Stalled ? o.StalledPeakCurrentRatio : o.PeakCurrentRatio, 2));
        values[MinTorque]->setText(ResultText(o.MinAcceleratingTorqueRatio, 2));
        values[RotorEnergy]->setText(ResultText(o.RotorEnergy, 0));
        values[StatorEnergy]->setText(ResultText(o.StatorEnergy, 0));
        values[OperatingSpeed]->setText(ResultText(o.OperatingSpeed, 1));
        values[MaxDip]->setText(ResultText(o.MaxVoltageDip, 2));
        values[MinVoltage]->setText(ResultText(o.MinMotorVoltage, 2));
        // A dip beyond the limit is flagged like a stall.
        SetPaletteColour(values[MaxDip], QPalette::Text, o.VoltageDipExceeded ? Red : QColor(Qt::black));
        QFont dipFont = values[MaxDip]->font();
        dipFont.setBold(o.VoltageDipExceeded);
        values[MaxDip]->setFont(dipFont);
        // A start that does not run up: its peak in italics, the operating speed struck out.
        const bool speedMissed = o.Stalled && o.OperatingSpeed;
        for (int row : {PeakCurrent, PeakCurrentRatio, OperatingSpeed}) {
            const bool marked = row == OperatingSpeed ? speedMissed : o.Stalled;
            QFont font = values[row]->font();
            font.setItalic(marked && row != OperatingSpeed);
            font.setStrikeOut(marked && row == OperatingSpeed);
            values[row]->setFont(font);
            SetPaletteColour(values[row], QPalette::Text, marked ? Grey : QColor(Qt::black));
            const QString tip =
                row == OperatingSpeed ? Pick("Not reached", "Non atteinte") : StalledPeakText(limit, true);
            values[row]->setToolTip(marked ? tip : QString());
        }
    };
    fillStart(r.Dol, StatusDol, DolValue);
    fillStart(r.SoftStarter, StatusSoft, SoftValue);

    QStringList notes;
    if (r.Dol.Stalled || r.SoftStarter.Stalled)
        notes << Pick("Peak current in italics: %1; operating speed struck out: not reached.",
                      "Courant de crête en italique : %1 ; vitesse de fonctionnement barrée : non atteinte.")
                     .arg(StalledPeakText(limit, true));
    // The stall speed is where the torque at full voltage meets the load; a start may end lower.
    auto reached = [&](const StartOutcome& o, const StartCurves& c, const char* english, const char* french) {
        if (!o.Stalled || o.TooLong || !o.StallSpeed || c.Speed.empty())
            return;
        const double rpm = c.Speed.back() * shownData_.SynchronousSpeed * 60;
        if (std::isfinite(rpm) && FixedText(rpm, 1) != FixedText(*o.StallSpeed, 1) && rpm < *o.StallSpeed)
            notes << Pick(english, french).arg(FixedText(rpm, 1), EditText(limit));
    };
    reached(r.Dol, r.DolChart.Values, "DOL: the rotor reaches only %1 rpm by the start-time limit of %2 s.",
            "Direct : le rotor n'atteint que %1 tr/min à la limite du temps de démarrage de %2 s.");
    reached(r.SoftStarter, r.SoftStarterChart.Values,
            "With Soft-Starter: the rotor reaches only %1 rpm by the start-time limit of %2 s.",
            "Avec Soft-Starter : le rotor n'atteint que %1 tr/min à la limite du temps de démarrage de %2 s.");
    StallNote->setText(notes.join(QLatin1Char('\n')));
    StallNote->setVisible(!notes.isEmpty());

    const Language language = FrenchChosen() ? Language::French : Language::English;
    for (const bool soft : {false, true}) {
        QLabel* label = soft ? CornersSoft : CornersDol;
        label->setVisible(corners_.has_value());
        if (corners_)
            label->setText(QStringLiteral("%1 (%2) : %3")
                               .arg(Pick("Tolerance Corners", "Coins de tolérance"),
                                    soft ? Pick("With Soft-Starter", "Avec Soft-Starter") : Pick("DOL", "DOL"),
                                    FromStd(CornerRange(*corners_, soft, language, SystemDecimalSeparator()))));
    }

    FillProtection();

    const double load = settings_.Mechanical.LoadInertia;
    const QString motorInertia = r.TypicalInertia ? RoundedText(r.MotorInertia) : EditText(r.MotorInertia);
    const QString origin =
        r.TypicalInertia ? Pick("the typical value for %1, not the motor's own; type the data-sheet value in "
                                "Parameters › Mechanical Data",
                                "valeur typique pour %1, pas celle du moteur ; entrez la valeur de sa fiche "
                                "technique dans Paramètres › Données mécaniques")
                               .arg(MotorDescription(shownData_.MechanicalPower, shownData_.PairOfPoles))
                         : Pick("as given", "valeur donnée");
    InertiaText->setText(
        Pick("Inertia: motor %1 kg·m² (%2), load %3 kg·m², total %4 kg·m². Start-time limit "
             "%5 s.",
             "Inertie : moteur %1 kg·m² (%2), charge %3 kg·m², totale %4 kg·m². Limite du temps "
             "de démarrage %5 s.")
            .arg(motorInertia, origin, EditText(load), RoundedText(r.MotorInertia + load), EditText(limit)));
    SupplyText->setText(
        settings_.Network.Enabled
            ? Pick("Supply: through the network of Parameters › Supply Network; a busbar dip above "
                   "%1 % is shown in red.",
                   "Alimentation : par le réseau de Paramètres › Réseau d'alimentation ; un creux "
                   "de tension au-dessus de %1 % est affiché en rouge.")
                  .arg(EditText(settings_.DipLimit))
            : Pick("Supply: stiff (no network between the source and the motor: no voltage dip).",
                   "Alimentation : réseau rigide (rien entre la source et le moteur : pas de creux "
                   "de tension)."));
    // A dip computed for a fitted motor depends on the priority it was fitted with.
    const bool fitted = settings_.Network.Enabled && HasDatasheet(shownData_);
    FitText->setVisible(fitted);
    if (fitted)
        FitText->setText(QStringLiteral("%1 : %2").arg(Pick("Data-Sheet Fit", "Ajustement au catalogue"),
                                                       FromStd(FitPriorityNote(shownData_.Priority, language))));
}
