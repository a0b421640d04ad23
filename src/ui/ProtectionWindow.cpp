#include "ProtectionWindow.h"

#include "Aff_Err.h"
#include "DynamicCharts.h"
#include "DynamicTexts.h"
#include "Forms.h"
#include "Main.h"
#include "Pictures.h"
#include "ProtectionChart.h"
#include "UiCommon.h"
#include "xyGraph.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include <cmath>

namespace {

// The starter duty's verdict colours.
const QColor Red(200, 0, 0);
const QColor Green(0, 120, 0);
// The wrapped texts of the panel take this width.
constexpr int PanelTextWidth = 380;

Language ChosenLanguage()
{
    return FrenchChosen() ? Language::French : Language::English;
}

void SetVerdict(QLabel* label, bool pass)
{
    label->setText(pass ? Pick("PASS", "RÉUSSI") : Pick("FAIL", "ÉCHEC"));
    SetPaletteColour(label, QPalette::WindowText, pass ? Green : Red);
}

QString Seconds(std::optional<double> value)
{
    return value && std::isfinite(*value) ? FixedText(*value, 2) + QStringLiteral(" s") : NoValueText();
}

QString Percent(std::optional<double> value, int decimals)
{
    return value && std::isfinite(*value) ? FixedText(*value, decimals) + QStringLiteral(" %") : NoValueText();
}

// A margin as a ratio, shown in percent with its sign.
QString Margin(std::optional<double> margin)
{
    if (!margin || !std::isfinite(*margin))
        return NoValueText();
    const double percent = *margin * 100;
    return (percent >= 0 ? QStringLiteral("+") : QString()) + FixedText(percent, 1) + QStringLiteral(" %");
}

// A grid of labels below a heading row, cells[r * columns + c] in row r and column c, the verdicts'
// column (1) bold when it has one; a stretch on its right keeps the columns together.
void AddGrid(QWidget* parent, QVBoxLayout* panel, const QString& prefix, QLabel** heads, QLabel** cells, int rows,
             int columns, bool verdicts = true)
{
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(4);
    auto cell = [&](const QString& name, int row, int column, bool bold) {
        QLabel* label = NewLabel(parent, "", SansFont(11, bold));
        label->setObjectName(name);
        grid->addWidget(label, row, column);
        return label;
    };
    for (int c = 0; c < columns; ++c)
        heads[c] = cell(QStringLiteral("%1Head%2").arg(prefix).arg(c), 0, c, true);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            cells[r * columns + c] = cell(QStringLiteral("%1%2_%3").arg(prefix).arg(r).arg(c), r + 1, c, verdicts && c == 1);
    grid->setColumnStretch(columns, 1);
    panel->addLayout(grid);
}

} // namespace

TProtectionChartForm::TProtectionChartForm()
{
    setWindowTitle(QStringLiteral("Protection"));
    QVBoxLayout* outer = NewChartWindowLayout(this, "ProtectionChartForm", Notice);
    const QFont f = font();

    auto* body = new QHBoxLayout;
    Chart = NewTimeCurrentChart(this, "TimeCurrentChart");
    body->addWidget(Chart, 1);

    Panel = NewSilverPanel(this, "Panel");
    Panel->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    auto* panel = new QVBoxLayout(Panel);
    panel->setContentsMargins(10, 6, 10, 10);
    panel->setSpacing(6);
    auto* titleRow = new QHBoxLayout;
    PanelTitle = NewLabel(Panel, "PanelTitle", SansFont(13, true));
    titleRow->addWidget(PanelTitle, 1);
    auto* logo = new TPicture(TPicture::Logo, Panel, "Image1", 0, 0, 56, 26);
    logo->setFixedSize(56, 26);
    titleRow->addWidget(logo);
    panel->addLayout(titleRow);
    RelayText = NewLabel(Panel, "RelayText", f, true);
    panel->addWidget(RelayText);

    // 1. Each start cold and hot: verdict, trip level, when the relays trip.
    PassHeading = NewLabel(Panel, "PassHeading", SansFont(11, true), true);
    panel->addWidget(PassHeading);
    AddGrid(Panel, panel, QStringLiteral("Pass"), PassHead, &Pass[0][0], StartRowCount, PassColumnCount);

    NoWithstand = NewLabel(Panel, "NoWithstand", f, true);
    panel->addWidget(NoWithstand);

    // 2. The locked rotor cold and hot: the latest relay against the motor's permitted time.
    LockedHeading = NewLabel(Panel, "LockedHeading", SansFont(11, true), true);
    panel->addWidget(LockedHeading);
    AddGrid(Panel, panel, QStringLiteral("Locked"), LockedHead, &Locked[0][0], StateRowCount, LockedColumnCount);

    // 3. The thermal capacity each start uses, and how many starts from cold it allows.
    TcuHeading = NewLabel(Panel, "TcuHeading", SansFont(11, true), true);
    panel->addWidget(TcuHeading);
    AddGrid(Panel, panel, QStringLiteral("Tcu"), TcuHead, &Tcu[0][0], TcuRowCount, TcuColumnCount, false);

    Explanation = NewLabel(Panel, "Explanation", f, true);
    panel->addSpacing(4);
    panel->addWidget(Explanation);
    for (QLabel* l : {RelayText, PassHeading, NoWithstand, LockedHeading, TcuHeading, Explanation})
        l->setFixedWidth(PanelTextWidth);
    panel->addStretch(1);
    body->addWidget(Panel);
    outer->addLayout(body, 1);

    ApplyTexts();
    ShowResultsParts(false);
    // The chart likes more room than its minimum.
    SizeByLayout(QSize(1000, 680));

    FollowMainWindow();
}

Refusal TProtectionChartForm::Recompute()
{
    if (!ReadyToCompute()) return ErrNoMotor;
    noRelay_ = !DynamicData.Protection.has_value();
    if (noRelay_) {
        // Nothing to judge: the window says where a relay is set.
        refusal_ = 0;
        results_.reset();
        ShowResultsParts(false);
        ApplyTexts();
        return 0;
    }
    DynamicResults computed;
    const Refusal refusal = ComputeDynamicStart(data_, DynamicData, computed, 0, DynamicChartPoints);
    if (refusal != 0 || !computed.Protection) {
        refusal_ = refusal.number;
        ApplyTexts();
        if (refusal != 0)
            RaiseErrorOver(this, refusal);
        return refusal;
    }
    refusal_ = 0;
    settings_ = DynamicData;
    shownData_ = data_;
    curves_ = ComputeTimeCurrentCurves(computed, shownData_.LineCurrent);
    results_ = std::move(computed);
    plottedLanguage_ = -1;
    ShowResultsParts(true);
    ApplyTexts();
    return 0;
}

void TProtectionChartForm::ShowResultsParts(bool shown)
{
    Chart->setVisible(shown);
    Panel->setVisible(shown);
}

void TProtectionChartForm::ApplyTexts()
{
    setWindowTitle(Pick("Protection", "Protection"));
    if (!haveData_) {
        Notice->setText(Pick("No results yet. First choose the motor, the soft-starter and the load (start menu, steps "
                             "1 to 3): the protection is judged on the dynamic start of the main window's results.",
                             "Pas encore de résultats. Choisissez d'abord le moteur, le soft-starter et la charge "
                             "(menu de démarrage, étapes 1 à 3) : la protection est jugée sur le démarrage "
                             "dynamique des résultats de la fenêtre principale."));
        SetPaletteColour(Notice, QPalette::WindowText, Qt::black);
        Notice->show();
    } else if (noRelay_) {
        Notice->setText(Pick("No overload relay is set. Choose its trip class, and the motor's locked-rotor withstand "
                             "times if the data sheet gives them, in Parameters › Protection.",
                             "Aucun relais de surcharge n'est défini. Choisissez sa classe de déclenchement, et les "
                             "temps de blocage admissibles du moteur si sa fiche technique les donne, dans "
                             "Paramètres › Protection."));
        SetPaletteColour(Notice, QPalette::WindowText, Qt::black);
        Notice->show();
    } else if (refusal_ != 0) {
        Notice->setText(results_ ? Pick("The last change was refused (error %1): the results shown are those from "
                                        "before it.",
                                        "La dernière modification a été refusée (erreur %1) : les résultats "
                                        "affichés sont ceux d'avant.")
                                       .arg(refusal_)
                                 : Pick("The protection could not be computed (error %1): correct the setting the "
                                        "message names.",
                                        "La protection n'a pas pu être calculée (erreur %1) : corrigez le "
                                        "paramètre indiqué par le message.")
                                       .arg(refusal_));
        SetPaletteColour(Notice, QPalette::WindowText, Red);
        Notice->show();
    } else {
        Notice->hide();
    }
    if (!results_ || noRelay_)
        return;
    const Language language = ChosenLanguage();
    if (plottedLanguage_ != static_cast<int>(language)) {
        PlotTimeCurrentChart(Chart, curves_, language);
        plottedLanguage_ = static_cast<int>(language);
    }

    PanelTitle->setText(Pick("Overload Protection", "Protection contre les surcharges"));
    PassHeading->setText(Pick("1. The relay lets the start through", "1. Le relais laisse passer le démarrage"));
    LockedHeading->setText(Pick("2. The relay protects a locked rotor", "2. Le relais protège un rotor bloqué"));
    TcuHeading->setText(Pick("3. Thermal capacity used (TCU)", "3. Capacité thermique utilisée (TCU)"));
    NoWithstand->setText(Pick("No locked-rotor withstand times given: only the relay is judged.",
                              "Aucun temps de blocage admissible donné : seul le relais est jugé."));
    const char* passHeads[4][2] = {{"", ""},
                                   {"Verdict", "Verdict"},
                                   {"Trip level", "Niveau"},
                                   {"Trips (earliest / latest)", "Déclenche (rapide / lent)"}};
    for (int c = 0; c < PassColumnCount; ++c)
        PassHead[c]->setText(Pick(passHeads[c][0], passHeads[c][1]));
    const char* startNames[StartRowCount][2] = {{"DOL, cold", "DOL, à froid"},
                                                {"DOL, hot", "DOL, à chaud"},
                                                {"Soft-Starter, cold", "Soft-Starter, à froid"},
                                                {"Soft-Starter, hot", "Soft-Starter, à chaud"}};
    for (int r = 0; r < StartRowCount; ++r)
        Pass[r][PassName]->setText(Pick(startNames[r][0], startNames[r][1]));
    const char* lockedHeads[5][2] = {{"", ""},
                                     {"Verdict", "Verdict"},
                                     {"Latest trips", "Lent déclenche"},
                                     {"Permitted", "Admissible"},
                                     {"Margin", "Marge"}};
    for (int c = 0; c < LockedColumnCount; ++c)
        LockedHead[c]->setText(Pick(lockedHeads[c][0], lockedHeads[c][1]));
    Locked[Cold][LockedName]->setText(Pick("Cold", "À froid"));
    Locked[Hot][LockedName]->setText(Pick("Hot", "À chaud"));
    const char* tcuHeads[4][2] = {
        {"", ""}, {"Cold", "À froid"}, {"Hot", "À chaud"}, {"Starts from cold", "Démarrages à froid"}};
    for (int c = 0; c < TcuColumnCount; ++c)
        TcuHead[c]->setText(Pick(tcuHeads[c][0], tcuHeads[c][1]));
    Tcu[TcuDol][TcuName]->setText(Pick("DOL", "DOL"));
    Tcu[TcuSoft][TcuName]->setText(Pick("Soft-Starter", "Soft-Starter"));
    Explanation->setText(
        Pick("Cold: the relay and the motor start from ambient; hot: after running at rated current. Trip level: "
             "the largest thermal image of the earliest relay of the class over the start, in % of the image at "
             "which it trips; a start passes below 100 % (one that does not run up never passes). A locked rotor "
             "is protected when the latest relay trips within the motor's permitted time t_LR (I_LR/I)²; margin: "
             "permitted / trip time − 1. TCU: ∫I²dt of the start / (I_LR² t_LR), at most 100 %.",
             "À froid : le relais et le moteur partent de l'ambiante ; à chaud : après marche au courant nominal. "
             "Niveau : la plus grande image thermique du relais le plus rapide de la classe pendant le démarrage, "
             "en % de l'image à laquelle il déclenche ; un démarrage réussit au-dessous de 100 % (un démarrage qui "
             "n'aboutit pas échoue toujours). Un rotor bloqué est protégé si le relais le plus lent déclenche dans "
             "le temps admissible du moteur t_LR (I_LR/I)² ; marge : temps admissible / temps de déclenchement − "
             "1. TCU : ∫I²dt du démarrage / (I_LR² t_LR), au plus 100 %."));
    FillPanel();
}

void TProtectionChartForm::FillPanel()
{
    const ProtectionResults& p = *results_->Protection;
    const bool given = settings_.Protection->RelaySetting.has_value();
    QString relay =
        Pick("Relay class %1, setting Ir %2 A%3; τ %4 s (earliest) to %5 s (latest). Locked-rotor current "
             "I_LR %6 A (%7 In)",
             "Relais de classe %1, réglage Ir %2 A%3 ; τ %4 s (le plus rapide) à %5 s (le plus lent). Courant "
             "à rotor bloqué I_LR %6 A (%7 In)")
            .arg(QString::fromLatin1(TripClassKey(p.Class)), FixedText(p.RelaySetting, 2),
                 given ? QString() : Pick(" (the motor's rated current)", " (courant nominal du moteur)"),
                 FixedText(p.TauEarliest, 1), FixedText(p.TauLatest, 1), FixedText(p.LockedRotorCurrent, 1),
                 FixedText(p.LockedRotorCurrent / shownData_.LineCurrent, 2));
    if (settings_.Network.Enabled)
        relay += Pick(", through the network %1 A", ", à travers le réseau %1 A")
                     .arg(FixedText(p.LockedRotorCurrentNetwork, 1));
    const StartProtection* starts[2] = {&p.Dol, &p.SoftStarter};
    if (p.LockedRotorCold && p.LockedRotorHot)
        relay += Pick("; withstand times %1 s cold, %2 s hot.", " ; temps de blocage %1 s à froid, %2 s à chaud.")
                     .arg(EditText(p.LockedRotorCold->WithstandTime), EditText(p.LockedRotorHot->WithstandTime));
    else
        relay += QLatin1Char('.');
    RelayText->setText(relay);

    for (int r = 0; r < StartRowCount; ++r) {
        const RelayStart& s = (r % 2 == 0) ? starts[r / 2]->Cold : starts[r / 2]->Hot;
        SetVerdict(Pass[r][PassVerdict], s.PassesStart);
        Pass[r][PassLevel]->setText(Percent(s.TripLevel, 1));
        Pass[r][PassTrips]->setText(QStringLiteral("%1 / %2").arg(Seconds(s.EarliestTripTime), Seconds(s.LatestTripTime)));
    }

    const bool withstand = p.LockedRotorCold && p.LockedRotorHot;
    NoWithstand->setVisible(!withstand);
    for (QLabel* l : {LockedHeading, TcuHeading})
        l->setVisible(withstand);
    for (QLabel* l : LockedHead)
        l->setVisible(withstand);
    for (QLabel* l : TcuHead)
        l->setVisible(withstand);
    for (int c = 0; c < LockedColumnCount; ++c)
        for (int r = 0; r < StateRowCount; ++r)
            Locked[r][c]->setVisible(withstand);
    for (int c = 0; c < TcuColumnCount; ++c)
        for (int r = 0; r < TcuRowCount; ++r)
            Tcu[r][c]->setVisible(withstand);
    if (!withstand)
        return;

    for (int r = 0; r < StateRowCount; ++r) {
        const LockedRotorCheck& c = r == Cold ? *p.LockedRotorCold : *p.LockedRotorHot;
        SetVerdict(Locked[r][LockedVerdict], c.Protects);
        Locked[r][LockedTrip]->setText(c.LatestTripTime ? Seconds(c.LatestTripTime) : Pick("never", "jamais"));
        Locked[r][LockedPermitted]->setText(Seconds(c.PermittedTime));
        Locked[r][LockedMargin]->setText(Margin(c.Margin));
    }
    for (int r = 0; r < TcuRowCount; ++r) {
        const StartProtection& s = *starts[r];
        for (auto [label, tcu] : {std::pair{Tcu[r][TcuCold], s.Cold.Tcu}, std::pair{Tcu[r][TcuHot], s.Hot.Tcu}}) {
            label->setText(Percent(tcu, 1));
            SetPaletteColour(label, QPalette::WindowText, tcu && *tcu <= 100 ? Green : Red);
        }
        const std::optional<long long> n = s.StartsInSuccession;
        Tcu[r][TcuStarts]->setText(!n                     ? NoValueText()
                              : *n >= MaxStartsShown ? Pick("%1 or more", "%1 ou plus").arg(MaxStartsShown)
                                                     : QString::number(*n));
    }
}
