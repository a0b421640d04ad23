#include "Characteristics.h"

#include "DatasheetMotor.h"
#include "DynamicCharts.h"
#include "DynamicTexts.h"
#include "Forms.h"
#include "Main.h"
#include "OperatingPoint.h"
#include "UiCommon.h"
#include "xyGraph.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const QColor CurveColour(0, 0, 255); // the direct-on-line blue of the main window: rated voltage
const QColor MarkColour(0, 128, 0);

// The slip of the curves' last point: at synchronous speed itself the rotor branch is R'r/0.
constexpr double SmallestSlip = 1e-9;

Language ChosenLanguage()
{
    return FrenchChosen() ? Language::French : Language::English;
}

void PlotCharacteristic(TxyGraph* chart, const std::vector<double>& speed, const std::vector<double>& values,
                        const std::vector<MotorCharacteristics::Mark>& marks)
{
    chart->SetPlotting(false);
    for (int index : {TCharacteristicsForm::CurveSeries, TCharacteristicsForm::MarkSeries})
        chart->DestroySeries(chart->FindSeries(index));
    TSeries& curve = chart->GetSeries(TCharacteristicsForm::CurveSeries);
    for (std::size_t k = 0; k < speed.size(); ++k)
        curve.AddPoint(speed[k], values[k]);
    curve.SetLineColor(CurveColour);
    curve.SetLineStyle(psSolid);
    curve.SetDrawPoints(false);
    if (!marks.empty()) {
        // Open circles, so that a curve through a point is seen to pass through its centre.
        TSeries& points = chart->GetSeries(TCharacteristicsForm::MarkSeries);
        for (const MotorCharacteristics::Mark& m : marks)
            points.AddPoint(m.Speed, m.Value);
        points.SetDrawLine(false);
        points.SetDrawPoints(true);
        points.SetPointShape(1);
        points.SetFillPoints(false);
        points.SetPointStyle(10);
        points.SetLineColor(MarkColour);
        points.SetPointColor(MarkColour);
    }
    chart->SetPlotting(true);
    chart->Appearance().SetPrintLineStyle(true);
    chart->XAxis().SetMin(0);
    chart->XAxis().SetMax(1);
    chart->XAxis().SetStepSize(0.1);
    TAxis& y = chart->YAxis();
    y.SetAutoSizing(true);
    y.SetAutoStepping(true);
    y.SetMin(0);
    // A mark at the highest value is drawn whole inside the plot.
    if (y.Max() < 1.08 * y.DataMax())
        y.SetMax(1.08 * y.DataMax());
}

} // namespace

MotorCharacteristics ComputeCharacteristics(const MotorDataSet& ds)
{
    MotorCharacteristics c;
    const double voltage = ds.PhaseVoltage;
    const double ratedSlip = 1 - ds.RatedSpeed / (60 * ds.SynchronousSpeed);
    const TorquePeak peak = TorqueMaximum(ds, 0, 1, voltage);
    c.BreakdownSpeed = 1 - peak.slip;
    c.BreakdownTorque = peak.torque / ds.RatedTorque;

    std::vector<double> slips;
    slips.reserve(CharacteristicPoints + 3);
    for (int k = 0; k < CharacteristicPoints; ++k)
        slips.push_back(1 - static_cast<double>(k) / CharacteristicPoints);
    slips.push_back(SmallestSlip);
    slips.push_back(peak.slip);
    slips.push_back(ratedSlip);
    std::sort(slips.begin(), slips.end(), std::greater<>());
    slips.erase(std::unique(slips.begin(), slips.end()), slips.end());
    for (const double s : slips) {
        if (!(s > 0) || s > 1)
            continue;
        c.Speed.push_back(1 - s);
        c.Torque.push_back(MotorTorque(ds, s, voltage) / ds.RatedTorque);
        c.Current.push_back(StatorCurrent(ds, s, voltage) / ds.PhaseCurrent);
    }

    if (HasDatasheet(ds)) {
        const double rated = 1 - ratedSlip;
        c.TorqueMarks = {{0, ds.LockedRotorTorqueRatio}, {1 - ds.Fit.BreakdownSlip, ds.BreakdownTorqueRatio}, {rated, 1}};
        c.CurrentMarks = {{0, ds.LockedRotorCurrentRatio}, {rated, 1}};
    }
    return c;
}

TCharacteristicsForm::TCharacteristicsForm()
{
    setWindowTitle(QStringLiteral("Motor Characteristics"));
    QVBoxLayout* outer = NewChartWindowLayout(this, "CharacteristicsForm", Notice);

    auto* legend = new QHBoxLayout;
    LegendCurve = NewLegendLabel(this, "LegendCurve", CurveColour);
    LegendMarks = NewLegendLabel(this, "LegendMarks", MarkColour);
    legend->addWidget(LegendCurve);
    legend->addSpacing(24);
    legend->addWidget(LegendMarks);
    legend->addStretch(1);
    outer->addLayout(legend);

    auto* charts = new QHBoxLayout;
    charts->setSpacing(6);
    TorqueChart = NewDynamicChart(this, "TorqueChart", DynamicChart::Torque);
    CurrentChart = NewDynamicChart(this, "CurrentChart", DynamicChart::Current);
    for (TxyGraph* chart : {TorqueChart, CurrentChart}) {
        chart->XAxis().SetTitle(QStringLiteral("n/ns"));
        chart->setMinimumSize(300, 220);
        charts->addWidget(chart);
    }
    outer->addLayout(charts, 1);

    Caption = NewLabel(this, "Caption", font(), true);
    outer->addWidget(Caption);

    ApplyTexts();
    SizeByLayout(QSize(900, 520));

    // Created after the main window, whose results carry the motor.
    if (Form1)
        connect(Form1, &TForm1::ResultsComputed, this, &TCharacteristicsForm::ResultsChanged);
}

void TCharacteristicsForm::ResultsChanged()
{
    motor_ = WithoutRows(MotorData);
    haveMotor_ = true;
    curves_ = ComputeCharacteristics(motor_);
    Plot();
    ApplyTexts();
}

void TCharacteristicsForm::FormShow()
{
    ApplyTexts();
}

void TCharacteristicsForm::FormActivate()
{
    ApplyTexts();
}

void TCharacteristicsForm::Plot()
{
    PlotCharacteristic(TorqueChart, curves_.Speed, curves_.Torque, curves_.TorqueMarks);
    PlotCharacteristic(CurrentChart, curves_.Speed, curves_.Current, curves_.CurrentMarks);
}

void TCharacteristicsForm::ApplyTexts()
{
    setWindowTitle(Pick("Motor Characteristics", "Caractéristiques du moteur"));
    Notice->setText(Pick("No motor yet. First choose the motor, the soft-starter and the load (start menu, steps "
                         "1 to 3): the characteristics are those of the motor of the main window's results.",
                         "Pas encore de moteur. Choisissez d'abord le moteur, le soft-starter et la charge (menu "
                         "de démarrage, étapes 1 à 3) : les caractéristiques sont celles du moteur des résultats "
                         "de la fenêtre principale."));
    Notice->setVisible(!haveMotor_);
    const bool datasheet = haveMotor_ && HasDatasheet(motor_);
    for (QWidget* w : {static_cast<QWidget*>(TorqueChart), static_cast<QWidget*>(CurrentChart),
                       static_cast<QWidget*>(LegendCurve), static_cast<QWidget*>(Caption)})
        w->setVisible(haveMotor_);
    LegendMarks->setVisible(datasheet);
    SetDynamicChartTexts(TorqueChart, Pick("Torque", "Couple"), QStringLiteral("T/Tn"));
    SetDynamicChartTexts(CurrentChart, Pick("Current", "Courant"), QStringLiteral("I/In"));
    if (!haveMotor_)
        return;

    const MotorDataSet& m = motor_;
    LegendCurve->setText(Pick("Motor at rated voltage (%1 V)", "Moteur sous tension nominale (%1 V)")
                             .arg(FixedText(m.LineVoltage, 0)));
    LegendMarks->setText(Pick("○ Data sheet", "○ Catalogue constructeur"));
    const QString breakdown = FixedText(curves_.BreakdownSpeed, 3);
    if (!datasheet) {
        const double ta = curves_.Torque.front(), ia = curves_.Current.front();
        Caption->setText(
            Pick("No data sheet: the curves of the motor's %1 alone. At standstill Ta/Tn %2 and Ia/In %3; "
                 "breakdown torque Tk/Tn %4 at n/ns %5.",
                 "Pas de catalogue constructeur : les courbes du schéma %1 du moteur seules. À l'arrêt Ta/Tn "
                 "%2 et Ia/In %3 ; couple maximal Tk/Tn %4 à n/ns %5.")
                .arg(HasSecondCage(m) ? Pick("double-cage circuit", "à double cage")
                                      : Pick("single-cage circuit", "à simple cage"),
                     FixedText(ta, 2), FixedText(ia, 2), FixedText(curves_.BreakdownTorque, 2), breakdown));
        return;
    }
    const QString rated = FixedText(m.RatedSpeed / (60 * m.SynchronousSpeed), 3);
    QString text =
        Pick("Circles: the data sheet. Rated point T/Tn 1 and I/In 1 at n/ns %1; at standstill the locked-rotor "
             "torque Ta/Tn %2 and current Ia/In %3; the breakdown torque Tk/Tn %4 at the fitted motor's "
             "breakdown speed n/ns %5.",
             "Cercles : le catalogue constructeur. Point nominal T/Tn 1 et I/In 1 à n/ns %1 ; à l'arrêt le "
             "couple Ta/Tn %2 et le courant Ia/In %3 à rotor bloqué ; le couple maximal Tk/Tn %4 à la vitesse "
             "de décrochage du moteur ajusté, n/ns %5.")
            .arg(rated, FixedText(m.LockedRotorTorqueRatio, 2), FixedText(m.LockedRotorCurrentRatio, 2),
                 FixedText(m.BreakdownTorqueRatio, 2), FixedText(1 - m.Fit.BreakdownSlip, 3));
    text += QLatin1Char('\n') + Pick("Circuit: ", "Schéma : ") + FromStd(FitSummary(m, ChosenLanguage()));
    if (!m.Fit.Exact)
        text += Pick(" — the curves pass beside the marks of the values that give way.",
                     " — les courbes passent à côté des cercles des valeurs qui cèdent.");
    Caption->setText(text);
}
