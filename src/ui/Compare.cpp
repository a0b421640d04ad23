#include "Compare.h"

#include "Aff_Err.h"
#include "DynamicTexts.h"
#include "ComparisonCharts.h"
#include "Forms.h"
#include "Main.h"
#include "MethodSettings.h"
#include "UiCommon.h"
#include "xyGraph.h"

#include <QEvent>
#include <QFontMetrics>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

// A margin in percent with its sign.
QString Margin(std::optional<double> margin) {
    if (!margin || !std::isfinite(*margin)) return NoValueText();
    const double percent = *margin * 100;
    return (percent >= 0 ? QStringLiteral("+") : QString()) + FixedText(percent, 1) + QStringLiteral(" %");
}

// Rotor energies run from a few joules to megajoules: kJ with about three significant digits.
int EnergyDecimals(double kilojoules) {
    const double a = std::fabs(kilojoules);
    return a < 1 ? 3 : a < 100 ? 2 : 1;
}

// limit: Imax/In of the start with current limit, which its name shows.
QString MethodName(StartingMethod method, double limit) {
    switch (method) {
    case StartingMethod::Dol:
        return Pick("Direct-on-line", "Direct");
    case StartingMethod::StarDelta:
        return Pick("Star-delta", "Étoile-triangle");
    case StartingMethod::Autotransformer:
        return Pick("Autotransformer", "Autotransformateur");
    case StartingMethod::Reactor:
        return Pick("Primary reactor", "Inductances statoriques");
    case StartingMethod::SoftRamp:
        return Pick("Soft-starter, ramp", "Soft-Starter, rampe");
    case StartingMethod::SoftLimit:
        break;
    }
    return Pick("Soft-starter, current limit %1 In", "Soft-Starter, limite de courant %1 In")
        .arg(FixedText(limit, 1));
}

std::array<QString, StartingMethodCount> LegendNames() {
    return {Pick("DOL", "Direct"),
            Pick("Star-delta", "Étoile-triangle"),
            Pick("Autotransformer", "Autotransfo."),
            Pick("Reactor", "Inductances"),
            Pick("Soft ramp", "Rampe"),
            Pick("Soft limit", "Limite I")};
}

bool IsReducedVoltage(StartingMethod method) {
    return method == StartingMethod::StarDelta || method == StartingMethod::Autotransformer ||
           method == StartingMethod::Reactor;
}

bool RunsUp(const MethodOutcome& m) {
    return m.Applicable && !m.Outcome.Stalled;
}

// Whether a method runs up: the charts then end at the longest run-up, else at the start-time limit.
bool AnyRunsUp(const ComparisonResults& r) {
    return std::any_of(r.Methods.begin(), r.Methods.end(), RunsUp);
}

// The soft-starter start that the duty check judges, as the computation chooses it.
StartingMethod JudgedSoftStart(const MotorDataSet& ds) {
    return ds.LimitCurrentMode ? StartingMethod::SoftLimit : StartingMethod::SoftRamp;
}

const QColor Red(200, 0, 0);
const QColor Green(0, 120, 0);
const QColor BestBackground(200, 238, 200);

} // namespace

TCompareForm::TCompareForm() {
    setObjectName(QStringLiteral("CompareForm"));
    setWindowTitle(QStringLiteral("Compare Starting Methods"));
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);
    setFont(SansFont(11));
    setSizeGripEnabled(true);

    auto* top = new QVBoxLayout(this);
    top->setContentsMargins(8, 8, 8, 8);
    top->setSpacing(5);

    auto* head = new QHBoxLayout;
    Caption = NewLabel(this, "Caption", SansFont(13, true), false, true);
    SettingsButton =
        MakeButton(this, "SettingsButton", QStringLiteral("Settings..."), 0, 0, 150, 25, SansFont(11));
    CloseButton = MakeButton(this, "CloseButton", QStringLiteral("Close"), 0, 0, 75, 25, SansFont(11));
    SettingsButton->setMinimumWidth(150);
    head->addWidget(Caption, 1);
    head->addWidget(SettingsButton);
    head->addWidget(CloseButton);
    top->addLayout(head);

    Status = NewLabel(this, "Status", SansFont(11, true), true, true);
    top->addWidget(Status);

    Table = new QTableWidget(StartingMethodCount, ColumnCount, this);
    Table->setObjectName(QStringLiteral("Table"));
    Table->setFont(SansFont(11));
    Table->horizontalHeader()->setFont(SansFont(11, true));
    Table->verticalHeader()->hide();
    Table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Table->setSelectionMode(QAbstractItemView::NoSelection);
    Table->setFocusPolicy(Qt::NoFocus);
    Table->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    Table->verticalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    // The viewport's own resize: the table's comes before the viewport has its new width.
    Table->viewport()->installEventFilter(this);
    Table->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    Table->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    for (int r = 0; r < StartingMethodCount; ++r)
        for (int c = 0; c < ColumnCount; ++c)
            Table->setItem(r, c, new QTableWidgetItem);
    top->addWidget(Table, 2);

    SettingsLine = NewLabel(this, "SettingsLine", SansFont(11), true, true);
    Notes = NewLabel(this, "Notes", SansFont(11), true, true);
    top->addWidget(SettingsLine);
    top->addWidget(Notes);

    // The duty check on a silver panel like the main window's results.
    DutyPanel = NewSilverPanel(this, "DutyPanel");
    auto* duty = new QGridLayout(DutyPanel);
    duty->setContentsMargins(8, 6, 8, 6);
    duty->setHorizontalSpacing(14);
    duty->setVerticalSpacing(2);
    DutyTitle = NewLabel(DutyPanel, "DutyTitle", SansFont(13, true), false, true);
    DutyRule = NewLabel(DutyPanel, "DutyRule", SansFont(11), true, true);
    DutyHint = NewLabel(DutyPanel, "DutyHint", SansFont(11), true, true);
    duty->addWidget(DutyTitle, 0, 0, 1, 5);
    duty->addWidget(DutyRule, 1, 0, 1, 5);
    duty->addWidget(DutyHint, 2, 0, 1, 5);
    static const char* const names[4][4] = {
        {"DutyCriterionCurrent", "DutyConditionCurrent", "DutyMarginCurrent", "DutyVerdictCurrent"},
        {"DutyCriterionTime", "DutyConditionTime", "DutyMarginTime", "DutyVerdictTime"},
        {"DutyCriterionStarts", "DutyConditionStarts", "DutyMarginStarts", "DutyVerdictStarts"},
        {"DutyCriterionRated", "DutyConditionRated", "DutyMarginRated", "DutyVerdictRated"},
    };
    for (int i = 0; i < 4; ++i) {
        DutyCriterion[i] = NewLabel(DutyPanel, names[i][0], SansFont(11), false, true);
        DutyCondition[i] = NewLabel(DutyPanel, names[i][1], SansFont(11), false, true);
        DutyMargin[i] = NewLabel(DutyPanel, names[i][2], SansFont(11), false, true);
        DutyVerdict[i] = NewLabel(DutyPanel, names[i][3], SansFont(11, true), false, true);
        duty->addWidget(DutyCriterion[i], 3 + i, 0);
        duty->addWidget(DutyCondition[i], 3 + i, 1);
        duty->addWidget(DutyMargin[i], 3 + i, 2);
        duty->addWidget(DutyVerdict[i], 3 + i, 3);
    }
    duty->setColumnStretch(4, 1); // the criteria keep together at the left
    DutyRms = NewLabel(DutyPanel, "DutyRms", SansFont(11), true, true);
    DutySmallest = NewLabel(DutyPanel, "DutySmallest", SansFont(11), true, true);
    DutyOnLoadFactor = NewLabel(DutyPanel, "DutyOnLoadFactor", SansFont(11), true, true);
    DutyOverall = NewLabel(DutyPanel, "DutyOverall", SansFont(11, true), false, true);
    duty->addWidget(DutyRms, 7, 0, 1, 5);
    duty->addWidget(DutySmallest, 8, 0, 1, 5);
    duty->addWidget(DutyOnLoadFactor, 9, 0, 1, 5);
    duty->addWidget(DutyOverall, 10, 0, 1, 5);
    top->addWidget(DutyPanel);

    auto* charts = new QHBoxLayout;
    CurrentChart = NewComparisonChart(this, "CurrentChart", ComparisonChart::Current);
    SpeedChart = NewComparisonChart(this, "SpeedChart", ComparisonChart::Speed);
    charts->addWidget(CurrentChart);
    charts->addWidget(SpeedChart);
    top->addLayout(charts, 5);

    connect(SettingsButton, &QPushButton::clicked, this, [] {
        if (MethodSettingsForm) MethodSettingsForm->ShowForm();
    });
    connect(CloseButton, &QPushButton::clicked, this, &TCompareForm::CloseForm);
    if (Form1) {
        connect(Form1, &TForm1::ResultsComputed, this, [this] {
            TakeResults();
            InputsChanged();
        });
        connect(Form1, &TForm1::DynamicInputsChanged, this, &TCompareForm::InputsChanged);
    }

    // The charts like more room than their minimum.
    SizeByLayout(QSize(1000, 740));
    Fill();
}

void TCompareForm::TakeResults() {
    latest_ = WithoutRows(MotorData);
}

void TCompareForm::InputsChanged() {
    stale_ = true;
    if (isVisible()) Recompute();
}

void TCompareForm::FormShow() {
    if (stale_) Recompute();
}

bool TCompareForm::Recompute() {
    stale_ = false;
    if (!latest_) {
        Fill();
        return false;
    }
    const DynamicSettings settings = DynamicData;
    ComparisonResults results;
    const Refusal refusal = ComputeComparison(*latest_, settings, results, 0, ComparisonChartPoints);
    if (refusal) {
        // The last results stay on show; the message says why the new inputs give none.
        refused_ = refusal.number;
        Fill();
        RaiseErrorOver(this, refusal);
        return false;
    }
    refused_ = 0;
    shown_ = latest_;
    shownSettings_ = settings;
    results_ = std::move(results);
    plottedLanguage_ = -1;
    Fill();
    return true;
}

void TCompareForm::FormActivate() {
    Fill();
}

void TCompareForm::ShowContents(bool on) {
    for (QWidget* w : {static_cast<QWidget*>(Table), static_cast<QWidget*>(SettingsLine),
                       static_cast<QWidget*>(Notes), static_cast<QWidget*>(DutyPanel),
                       static_cast<QWidget*>(CurrentChart), static_cast<QWidget*>(SpeedChart)})
        w->setVisible(on);
}

void TCompareForm::Fill() {
    setWindowTitle(Pick("Compare Starting Methods", "Comparer les modes de démarrage"));
    SettingsButton->setText(Pick("Settings...", "Réglages..."));
    CloseButton->setText(Pick("Close", "Fermer"));

    if (!shown_) {
        Caption->setText(Pick("Comparison of starting methods", "Comparaison des modes de démarrage"));
        Status->setText(
            Pick("No results yet: first choose the motor, the soft-starter and the load (steps 1 to 3 "
                 "of the start menu). The comparison is then computed from the main window's results "
                 "and follows each of its computations.",
                 "Pas encore de résultats : choisissez d'abord le moteur, le Soft-Starter et la charge "
                 "(étapes 1 à 3 du menu de démarrage). La comparaison est alors calculée à partir des "
                 "résultats de la fenêtre principale et suit chacun de ses calculs."));
        SetPaletteColour(Status, QPalette::WindowText, Qt::black);
        if (refused_) {
            Status->setText(
                Pick("The comparison was refused (message %1): correct what the message names; it is "
                     "computed again with every confirmed change.",
                     "La comparaison a été refusée (message %1) : corrigez ce que nomme le message ; "
                     "elle est recalculée à chaque modification confirmée.")
                    .arg(refused_));
            SetPaletteColour(Status, QPalette::WindowText, Red);
        }
        Status->show();
        ShowContents(false);
        return;
    }

    const MotorDataSet& d = *shown_;
    const bool delta = !d.StarCoupling;
    QString motor = QString::fromStdString(d.ConstructorName + " " + d.MotorSize).trimmed();
    if (!motor.isEmpty()) motor += QStringLiteral(", ");
    motor += FixedText(d.MechanicalPower, 0) + QStringLiteral(" W, ") + FixedText(d.LineVoltage, 0) +
             QStringLiteral(" V, In = ") + FixedText(d.LineCurrent, 1) + QStringLiteral(" A, ") +
             (delta ? Pick("delta", "triangle") : Pick("star", "étoile"));
    Caption->setText(Pick("Starting methods of the motor: ", "Modes de démarrage du moteur : ") + motor);

    if (refused_) {
        Status->setText(
            Pick("The last computation was refused (message %1): the results shown are those of the inputs "
                 "before.",
                 "Le dernier calcul a été refusé (message %1) : les résultats affichés sont ceux des données "
                 "précédentes.")
                .arg(refused_));
        SetPaletteColour(Status, QPalette::WindowText, Red);
        Status->show();
    } else {
        Status->hide();
    }
    ShowContents(true);

    const DynamicSettings& s = shownSettings_;
    const double inertia = UsedMotorInertia(s.Mechanical, d) + s.Mechanical.LoadInertia;
    QString line =
        Pick("Changeover at %1 ns; autotransformer tap %2; reactor sized for %3 of the rated voltage at "
             "standstill; soft-starter ramp of %4 s from %5 %",
             "Commutation à %1 ns ; prise de l'autotransformateur %2 ; inductances dimensionnées pour %3 de "
             "la "
             "tension nominale à l'arrêt ; rampe du Soft-Starter de %4 s depuis %5 %")
            .arg(FixedText(s.Methods.ChangeoverSpeed, 2), FixedText(s.Methods.AutotransformerTap, 2),
                 FixedText(s.Methods.ReactorVoltage, 2), FixedText(d.SoftStarterTime, 2),
                 FixedText(d.Preset * 100, 0));
    if (d.LimitCurrentMode)
        line += Pick(", current limit %1 In", ", limite de courant %1 In").arg(FixedText(d.DesiredImaxIn, 2));
    line += Pick("; total inertia %1 kg m²", " ; inertie totale %1 kg m²").arg(FixedText(inertia, 4));
    if (!s.Mechanical.MotorInertia) line += Pick(" (typical motor inertia)", " (inertie typique du moteur)");
    line += s.Network.Enabled ? Pick("; through the supply network.", " ; par le réseau d'alimentation.")
                              : Pick("; stiff supply.", " ; réseau infiniment puissant.");
    SettingsLine->setText(line);
    Notes->setText(Pick(
        "Bold on green: the best value of its column among the methods that run up (lowest current, time, "
        "energy and dip; highest torque). At a changeover the current and torque jump to the steady-state "
        "values of the new connection: the electrical transients of an open transition are not modelled.",
        "En gras sur vert : la meilleure valeur de sa colonne parmi les modes qui démarrent (courant, temps, "
        "énergie et creux les plus bas ; couple le plus haut). À la commutation, le courant et le couple "
        "sautent aux valeurs établies du nouveau couplage : les transitoires électriques d'une transition "
        "ouverte ne sont pas modélisés."));
    if (results_.Protection && s.Protection)
        Notes->setText(Notes->text() + QLatin1Char(' ') + RelayDescription(*results_.Protection, *s.Protection));
    const bool stalls = std::any_of(results_.Methods.begin(), results_.Methods.end(),
                                    [](const MethodOutcome& m) { return m.Applicable && m.Outcome.Stalled; });
    if (stalls)
        Notes->setText(Notes->text() +
                       Pick(" Peak current in italics: %1.", " Courant de crête en italique : %1.")
                           .arg(StalledPeakText(s.Mechanical.StartTimeLimit, !AnyRunsUp(results_))));

    FillTable();
    FillDuty();
    const int language = FrenchChosen() ? 1 : 0;
    if (plottedLanguage_ != language) {
        PlotCharts();
        plottedLanguage_ = language;
    }
}

void TCompareForm::FillTable() {
    const char* const headers[ColumnCount][2] = {
        {"Method", "Mode"},
        {"Peak line\ncurrent [A]", "Courant de\nligne max. [A]"},
        {"Peak current\n[× In]", "Courant\nmax. [× In]"},
        {"Starting\ntorque [× Tn]", "Couple de\ndémarrage [× Tn]"},
        {"Min. accel.\ntorque [× Tn]", "Couple d'accél.\nmin. [× Tn]"},
        {"Run-up\ntime [s]", "Temps de\ndémarrage [s]"},
        {"Rotor\nenergy [kJ]", "Énergie\nrotor [kJ]"},
        {"Largest bus-\nbar dip [%]", "Creux de\ntension max. [%]"},
        {"Changeover", "Commutation"},
        {"Outcome", "Issue"},
        {"Relay\n(cold)", "Relais\n(à froid)"},
        {"TCU, cold\n[%]", "TCU à\nfroid [%]"},
    };
    QStringList header;
    for (const auto& h : headers)
        header << Pick(h[0], h[1]);
    Table->setHorizontalHeaderLabels(header);
    Table->setColumnHidden(ColDip, !shownSettings_.Network.Enabled);
    // Without a relay the two columns would hold nothing but dashes.
    const bool relay = results_.Protection.has_value() && shownSettings_.Protection.has_value();
    Table->setColumnHidden(ColRelay, !relay);
    Table->setColumnHidden(ColTcu, !relay);
    Table->horizontalHeaderItem(ColTcu)->setToolTip(
        Pick("Thermal capacity used by a cold start", "Capacité thermique utilisée par un démarrage à froid"));

    struct Criterion {
        int column;
        bool highest;
        std::optional<double> (*value)(const StartOutcome&);
    };
    const Criterion criteria[] = {
        // A start that does not run up shows its largest current over the start-time limit.
        {ColPeakCurrent, false,
         [](const StartOutcome& o) { return o.Stalled ? o.StalledPeakLineCurrent : o.PeakLineCurrent; }},
        {ColPeakRatio, false,
         [](const StartOutcome& o) { return o.Stalled ? o.StalledPeakCurrentRatio : o.PeakCurrentRatio; }},
        {ColStartingTorque, true,
         [](const StartOutcome& o) { return std::optional<double>(o.StartingTorqueRatio); }},
        {ColMinTorque, true, [](const StartOutcome& o) { return o.MinAcceleratingTorqueRatio; }},
        {ColRunUp, false, [](const StartOutcome& o) { return o.RunUpTime; }},
        {ColRotorEnergy, false,
         [](const StartOutcome& o) {
             return o.RotorEnergy ? std::optional<double>(*o.RotorEnergy / 1000) : std::nullopt;
         }},
        {ColDip, false, [](const StartOutcome& o) { return std::optional<double>(o.MaxVoltageDip); }},
    };
    const int decimals[ColumnCount] = {0, 1, 2, 2, 2, 3, 0, 2, 0, 0, 0, 1};
    const QString stalledPeakTip =
        StalledPeakText(shownSettings_.Mechanical.StartTimeLimit, !AnyRunsUp(results_));

    for (const Criterion& c : criteria) {
        // The best value among the methods that run up; every method that reaches it is marked.
        std::optional<double> best;
        for (const MethodOutcome& m : results_.Methods) {
            const std::optional<double> v = RunsUp(m) ? c.value(m.Outcome) : std::nullopt;
            if (v && std::isfinite(*v) && (!best || (c.highest ? *v > *best : *v < *best))) best = v;
        }
        for (int r = 0; r < StartingMethodCount; ++r) {
            const MethodOutcome& m = results_.Methods[r];
            QTableWidgetItem* item = Table->item(r, c.column);
            const std::optional<double> v = m.Applicable ? c.value(m.Outcome) : std::optional<double>();
            const bool shown = v && std::isfinite(*v);
            const int places = c.column == ColRotorEnergy && shown ? EnergyDecimals(*v) : decimals[c.column];
            item->setText(ResultText(v, places));
            item->setData(ValueRole, shown ? QVariant(*v) : QVariant());
            const bool isBest = shown && best && RunsUp(m) && *v == *best;
            item->setData(BestRole, isBest);
            // The peak of a start that does not run up in italics, as the notes say.
            const bool stalledPeak =
                shown && !RunsUp(m) && (c.column == ColPeakCurrent || c.column == ColPeakRatio);
            QFont f = Table->font();
            f.setBold(isBest);
            f.setItalic(stalledPeak);
            item->setFont(f);
            item->setBackground(isBest ? QBrush(BestBackground) : QBrush());
            item->setForeground(QBrush(m.Applicable && !stalledPeak ? Qt::black : Qt::gray));
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            item->setToolTip(isBest        ? Pick("Best of the column", "Meilleure valeur de la colonne")
                             : stalledPeak ? stalledPeakTip
                                           : QString());
        }
    }

    for (int r = 0; r < StartingMethodCount; ++r) {
        const MethodOutcome& m = results_.Methods[r];
        const StartOutcome& o = m.Outcome;
        QTableWidgetItem* name = Table->item(r, ColMethod);
        name->setText(MethodName(m.Method, results_.CurrentLimit));
        name->setForeground(QBrush(MethodColour(m.Method)));
        QFont bold = Table->font();
        bold.setBold(true);
        name->setFont(bold);

        QTableWidgetItem* changeover = Table->item(r, ColChangeover);
        changeover->setForeground(QBrush(Qt::black));
        if (!m.Applicable || !IsReducedVoltage(m.Method)) {
            changeover->setText(QString());
        } else if (!m.ChangeoverSpeed) {
            changeover->setText(Pick("none: cannot start", "aucune : ne démarre pas"));
        } else if (!m.ChangeoverTime) {
            changeover->setText(
                Pick("%1 rpm, not reached", "%1 tr/min, non atteinte").arg(ResultText(m.ChangeoverSpeed, 0)));
        } else {
            changeover->setText(Pick("%1 rpm at %2 s", "%1 tr/min à %2 s")
                                    .arg(ResultText(m.ChangeoverSpeed, 0), ResultText(m.ChangeoverTime, 3)));
        }
        changeover->setData(ValueRole, m.Applicable && m.ChangeoverSpeed && std::isfinite(*m.ChangeoverSpeed)
                                           ? QVariant(*m.ChangeoverSpeed)
                                           : QVariant());

        QTableWidgetItem* outcome = Table->item(r, ColOutcome);
        QFont f = Table->font();
        if (!m.Applicable) {
            outcome->setText(Pick("Not applicable (star)", "Sans objet (étoile)"));
            outcome->setToolTip(Pick("Star-delta needs a motor whose running connection is delta.",
                                     "L'étoile-triangle demande un moteur couplé en triangle en marche."));
            outcome->setForeground(QBrush(Qt::gray));
            f.setItalic(true);
            outcome->setData(ValueRole, QVariant());
        } else if (o.Stalled) {
            const QString speed = ResultText(o.StallSpeed, 0);
            const QString limit = EditText(shownSettings_.Mechanical.StartTimeLimit);
            outcome->setText(
                o.TooLong ? Pick("Too long: %1 rpm at %2 s", "Trop long : %1 tr/min à %2 s").arg(speed, limit)
                          : Pick("Stalls at %1 rpm", "Calé à %1 tr/min").arg(speed));
            outcome->setToolTip(o.TooLong
                                    ? Pick("Not run up when the start-time limit of %1 s ran out.",
                                           "Pas démarré à la fin de la limite du temps de démarrage de %1 s.")
                                          .arg(limit)
                                    : Pick("The motor stops accelerating: it cannot carry the load there.",
                                           "Le moteur cesse d'accélérer : il ne peut pas y entraîner la "
                                           "charge."));
            outcome->setForeground(QBrush(Red));
            f.setBold(true);
            outcome->setData(ValueRole, o.StallSpeed && std::isfinite(*o.StallSpeed) ? QVariant(*o.StallSpeed)
                                                                                     : QVariant());
        } else {
            outcome->setText(Pick("Runs up", "Démarre"));
            outcome->setToolTip(QString());
            outcome->setForeground(QBrush(Green));
            outcome->setData(ValueRole, QVariant());
        }
        outcome->setFont(f);

        // The relay on each method that applies; star-delta on a star motor has none.
        QTableWidgetItem* verdict = Table->item(r, ColRelay);
        QTableWidgetItem* tcu = Table->item(r, ColTcu);
        const std::optional<StartProtection>& p = m.Protection;
        verdict->setText(p ? RelayVerdictText(p->Cold) : QString());
        verdict->setToolTip(p ? RelayVerdictTip(p->Cold) : QString());
        verdict->setForeground(QBrush(VerdictColour(p && p->Cold.PassesStart)));
        verdict->setData(ValueRole, p ? QVariant(p->Cold.TripLevel) : QVariant());
        verdict->setFont(bold);
        tcu->setText(p ? TcuText(p->Cold) : QString());
        tcu->setToolTip(p && !p->Cold.Tcu ? Pick("No withstand times", "Pas de temps de blocage admissibles")
                                          : QString());
        tcu->setData(ValueRole, p && p->Cold.Tcu ? QVariant(*p->Cold.Tcu) : QVariant());
        tcu->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    // The rows are never lower than their text; the columns share any width beyond their
    // contents, and a narrower window scrolls the table.
    Table->resizeColumnsToContents();
    for (int c = 0; c < ColumnCount; ++c)
        contentWidths_[c] = Table->isColumnHidden(c) ? 0 : Table->columnWidth(c);
    const int rowHeight = QFontMetrics(Table->font()).height() + 6;
    Table->verticalHeader()->setMinimumSectionSize(rowHeight);
    // Room for the scroll bar of a window too narrow for every column, so that no row is hidden.
    Table->setMinimumHeight(2 * Table->frameWidth() + Table->horizontalHeader()->sizeHint().height() +
                            StartingMethodCount * rowHeight +
                            style()->pixelMetric(QStyle::PM_ScrollBarExtent));
    FitColumns();
}

bool TCompareForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Table->viewport() && event->type() == QEvent::Resize) FitColumns();
    return TModelessForm::eventFilter(watched, event);
}

void TCompareForm::FitColumns() {
    int total = 0;
    for (int w : contentWidths_)
        total += w;
    if (total <= 0) return;
    const int room = Table->viewport()->width();
    const int extra = std::max(0, room - total);
    int used = 0, last = -1;
    for (int c = 0; c < ColumnCount; ++c) {
        if (Table->isColumnHidden(c)) continue;
        const int w =
            contentWidths_[c] + static_cast<int>(static_cast<long long>(extra) * contentWidths_[c] / total);
        Table->setColumnWidth(c, w);
        used += w;
        last = c;
    }
    // What the rounding left goes to the last column, so that the rows end at the table's edge.
    if (last >= 0 && used < room) Table->setColumnWidth(last, Table->columnWidth(last) + room - used);
}

void TCompareForm::FillDuty() {
    const MotorDataSet& d = *shown_;
    const bool limit = JudgedSoftStart(d) == StartingMethod::SoftLimit;
    DutyTitle->setText(limit ? Pick("Duty check of the soft-starter (start with current limit)",
                                    "Vérification du service du démarreur (démarrage avec limite de courant)")
                             : Pick("Duty check of the soft-starter (ramp start)",
                                    "Vérification du service du démarreur (démarrage en rampe)"));
    const bool judged = results_.Duty.has_value() && shownSettings_.Starter.has_value();
    QList<QWidget*> details{DutyRule, DutyRms, DutySmallest, DutyOnLoadFactor, DutyOverall};
    for (int i = 0; i < 4; ++i)
        details << DutyCriterion[i] << DutyCondition[i] << DutyMargin[i] << DutyVerdict[i];
    for (QWidget* w : details)
        w->setVisible(judged);
    DutyHint->setVisible(!judged);
    if (!judged) {
        DutyHint->setText(
            Pick("No starter data: give the starter's rated current Ie, its rating code (e.g. "
                 "AC-53a: 3.5-17: 90-5) and the starts per hour in Parameters › Starting Methods and "
                 "Starter... (or the Settings button above) to check its duty.",
                 "Pas de données du démarreur : donnez son courant assigné Ie, sa classe (p. ex. "
                 "AC-53a: 3.5-17: 90-5) et le nombre de démarrages par heure dans Paramètres › Modes "
                 "de démarrage et démarreur... (ou le bouton Réglages ci-dessus) pour vérifier son "
                 "service."));
        return;
    }
    const StarterDuty& starter = *shownSettings_.Starter;
    const StarterDutyResult& r = *results_.Duty;
    StarterRatingCode code;
    ParseStarterRating(starter.RatingCode, code); // accepted by the computation

    const double ie = starter.RatedCurrent;
    DutyRule->setText(
        Pick(
            "Starter Ie = %1 A, rating %2, %3 starts per hour needed. It passes when I_rms ≤ X·Ie, t_a ≤ Tx, "
            "N ≤ S and In ≤ Ie (I_rms: the RMS line current over the run-up t_a; In: the motor's rated line "
            "current); margins X·Ie/I_rms − 1, Tx/t_a − 1, S/N − 1, Ie/In − 1.",
            "Démarreur Ie = %1 A, classe %2, %3 démarrages par heure demandés. Il convient si I_rms ≤ X·Ie, "
            "t_a ≤ Tx, N ≤ S et In ≤ Ie (I_rms : courant de ligne efficace pendant le démarrage t_a ; In : "
            "courant de ligne nominal du moteur) ; marges X·Ie/I_rms − 1, Tx/t_a − 1, S/N − 1, Ie/In − 1.")
            .arg(EditText(ie), QString::fromStdString(starter.RatingCode).trimmed(),
                 EditText(starter.StartsPerHour)));

    // A start that does not run up has neither: a dash without a unit.
    const QString rms =
        r.RmsCurrent ? ResultText(r.RmsCurrent, 1) + QStringLiteral(" A") : NoValueText();
    const QString ta = r.RunUpTime ? ResultText(r.RunUpTime, 3) + QStringLiteral(" s") : NoValueText();
    const QString conditions[4] = {
        QStringLiteral("I_rms = %1 ≤ X·Ie = %2 × %3 A = %4 A")
            .arg(rms, EditText(code.CurrentMultiple), EditText(ie),
                 ResultText(code.CurrentMultiple * ie, 1)),
        QStringLiteral("t_a = %1 ≤ Tx = %2 s").arg(ta, EditText(code.StartTime)),
        QStringLiteral("N = %1 ≤ S = %2")
            .arg(EditText(starter.StartsPerHour), EditText(code.StartsPerHour)),
        QStringLiteral("In = %1 A ≤ Ie = %2 A").arg(ResultText(d.LineCurrent, 1), EditText(ie)),
    };
    const char* const criteria[4][2] = {{"Start current", "Courant de démarrage"},
                                        {"Start time", "Temps de démarrage"},
                                        {"Starts per hour", "Démarrages par heure"},
                                        {"Rated current", "Courant assigné"}};
    const bool passes[4] = {r.CurrentPass, r.TimePass, r.StartsPass, r.RatedCurrentPass};
    const std::optional<double> margins[4] = {r.CurrentMargin, r.TimeMargin, r.StartsMargin,
                                              r.RatedCurrentMargin};
    for (int i = 0; i < 4; ++i) {
        DutyCriterion[i]->setText(Pick(criteria[i][0], criteria[i][1]));
        DutyCondition[i]->setText(conditions[i]);
        DutyMargin[i]->setText(Pick("margin %1", "marge %1").arg(Margin(margins[i])));
        DutyVerdict[i]->setText(passes[i] ? Pick("passes", "convient") : Pick("fails", "ne convient pas"));
        SetPaletteColour(DutyVerdict[i], QPalette::WindowText, passes[i] ? Green : Red);
    }
    if (r.RmsCurrent && r.RunUpTime)
        DutyRms->setText(Pick("RMS current over the run-up: %1; run-up time: %2.",
                              "Courant efficace pendant le démarrage : %1 ; temps de démarrage : %2.")
                             .arg(rms, ta));
    else
        DutyRms->setText(
            Pick("The judged start does not run up: no RMS current or run-up time.",
                 "Le démarrage jugé n'aboutit pas : ni courant efficace ni temps de démarrage."));
    if (r.SmallestIe)
        DutySmallest->setText(Pick("Smallest passing Ie: %1 A.", "Plus petit Ie qui convient : %1 A.")
                                  .arg(ResultText(r.SmallestIe, 1)));
    else
        DutySmallest->setText(
            Pick("Smallest passing Ie: none (no Ie passes the time or starts-per-hour "
                 "criterion, or the start does not run up).",
                 "Plus petit Ie qui convient : aucun (aucun Ie ne satisfait au critère de temps "
                 "ou de démarrages par heure, ou le démarrage n'aboutit pas)."));
    DutyOnLoadFactor->setText(
        Pick("F (on-load factor, %1 %) is not judged.", "F (facteur de marche, %1 %) n'est pas jugé.")
            .arg(EditText(code.OnLoadFactor)));
    DutyOverall->setText(r.Pass ? Pick("The starter passes.", "Le démarreur convient.")
                                : Pick("The starter fails.", "Le démarreur ne convient pas."));
    SetPaletteColour(DutyOverall, QPalette::WindowText, r.Pass ? Green : Red);
}

void TCompareForm::PlotCharts() {
    const bool french = FrenchChosen();
    const auto names = LegendNames();
    SetComparisonChartTexts(CurrentChart, ComparisonChart::Current, french);
    SetComparisonChartTexts(SpeedChart, ComparisonChart::Speed, french);
    PlotComparison(CurrentChart, ComparisonChart::Current, results_, names);
    PlotComparison(SpeedChart, ComparisonChart::Speed, results_, names);
}
