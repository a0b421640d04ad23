#include "DynamicCharts.h"

#include "Dynamics.h"
#include "UiCommon.h"
#include "ToleranceCorners.h"
#include "xyGraph.h"

#include <QLabel>
#include <QSizePolicy>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

const std::vector<double>* Values(const StartCurves& curves, DynamicChart kind, bool extra)
{
    switch (kind) {
    case DynamicChart::Speed:
        return extra ? nullptr : &curves.Speed;
    case DynamicChart::Current:
        return extra ? nullptr : &curves.Current;
    case DynamicChart::Torque:
        return extra ? &curves.LoadTorque : &curves.Torque;
    case DynamicChart::Voltage:
        break;
    }
    return extra ? &curves.BusVoltage : &curves.Voltage;
}

// Adds the points of one curve; returns the smallest value added (+inf when none).
double AddCurve(TSeries& series, const std::vector<double>& times, const std::vector<double>* values)
{
    double lowest = HUGE_VAL;
    if (!values)
        return lowest;
    const std::size_t n = std::min(times.size(), values->size());
    for (std::size_t k = 0; k < n; ++k) {
        const double t = times[k], y = (*values)[k];
        if (!std::isfinite(t) || !std::isfinite(y))
            continue;
        series.AddPoint(t, y);
        lowest = std::min(lowest, y);
    }
    return lowest;
}

void StyleSeries(TSeries& series, bool dol, bool extra, bool corner = false)
{
    // The main window's colours: 0x00BBGGRR, blue for direct-on-line, red for the soft-starter.
    const QColor colour = ColorFromBGR(dol ? 0xFF0000 : 0x0000FF);
    series.SetLineColor(colour);
    series.SetPointColor(colour);
    series.SetLineStyle(corner ? psDot : extra ? psDash : psSolid);
    series.SetDrawPoints(!dol && !extra && !corner);
    series.SetPointStyle(2);
}

// The corners of both starts, dotted; returns the smallest value added.
double AddCorners(TxyGraph* chart, DynamicChart kind, const ToleranceCorners& corners)
{
    double lowest = HUGE_VAL;
    for (const bool dol : {true, false})
        for (const bool weak : {true, false}) {
            const ToleranceCorner& corner = weak ? corners.Weak : corners.Heavy;
            if (corner.Error != 0)
                continue;
            const ChartCurves& samples = dol ? corner.Dynamic.DolChart : corner.Dynamic.SoftStarterChart;
            const int index = dol ? (weak ? DynamicSeries::DolWeak : DynamicSeries::DolHeavy)
                                  : (weak ? DynamicSeries::SoftWeak : DynamicSeries::SoftHeavy);
            TSeries& series = chart->GetSeries(index);
            lowest = std::min(lowest, AddCurve(series, samples.Times, Values(samples.Values, kind, false)));
            StyleSeries(series, dol, false, true);
        }
    return lowest;
}

} // namespace

QVBoxLayout* NewChartWindowLayout(QWidget* window, const char* name, QLabel*& notice)
{
    window->setObjectName(QString::fromLatin1(name));
    window->setWindowFlags(window->windowFlags() | Qt::WindowMinMaxButtonsHint);
    window->setFont(SansFont(11));
    auto* outer = new QVBoxLayout(window);
    outer->setContentsMargins(8, 8, 8, 8);
    outer->setSpacing(6);
    notice = NewLabel(window, "Notice", SansFont(13, true), true);
    outer->addWidget(notice);
    return outer;
}

QLabel* NewLegendLabel(QWidget* parent, const char* name, const QColor& colour)
{
    QLabel* label = NewLabel(parent, name, SansFont(11, true));
    SetPaletteColour(label, QPalette::WindowText, colour);
    return label;
}

TxyGraph* NewDynamicChart(QWidget* parent, const char* name, DynamicChart kind)
{
    auto* chart = new TxyGraph(parent);
    chart->setObjectName(QString::fromLatin1(name));
    chart->SetDragAllowed(false);
    chart->setMinimumSize(280, 150);
    chart->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    TAppearance& a = chart->Appearance();
    a.SetTitleFont(TFont::Arial(-11));
    a.SetCaptionFont(TFont::Arial(-13, true));
    a.SetLabelFont(TFont::Arial(-10));
    a.SetCrossColor(Qt::black);
    a.SetBackgroundColor(Qt::white);
    a.SetMarginColor(Qt::white);
    a.SetPrintBkgndColor(true);
    chart->XAxis().SetTitle(QStringLiteral("t [s]"));
    const char* yTitle = kind == DynamicChart::Speed     ? "n/ns"
                         : kind == DynamicChart::Current ? "I/In"
                         : kind == DynamicChart::Torque  ? "T/Tn"
                                                         : "U/Un";
    chart->YAxis().SetTitle(QString::fromLatin1(yTitle));
    chart->Dimensions().SetLeftMargin(48);
    chart->Dimensions().SetRightMargin(18);
    chart->Dimensions().SetTopMargin(26);
    chart->Legend().setVisible(false);
    return chart;
}

void PlotDynamicChart(TxyGraph* chart, DynamicChart kind, const DynamicResults& results, bool network,
                      const ToleranceCorners* corners)
{
    chart->SetPlotting(false);
    for (int index = DynamicSeries::Dol; index <= DynamicSeries::SoftHeavy; ++index)
        chart->DestroySeries(chart->FindSeries(index));
    const bool extras = kind == DynamicChart::Torque || (kind == DynamicChart::Voltage && network);
    double lowest = HUGE_VAL;
    if (corners && (kind == DynamicChart::Speed || kind == DynamicChart::Current))
        lowest = AddCorners(chart, kind, *corners);
    for (const bool dol : {true, false}) {
        const ChartCurves& samples = dol ? results.DolChart : results.SoftStarterChart;
        for (const bool extra : {false, true}) {
            if (extra && !extras)
                continue;
            const int index = extra ? (dol ? DynamicSeries::DolExtra : DynamicSeries::SoftExtra)
                                    : (dol ? DynamicSeries::Dol : DynamicSeries::SoftStarter);
            TSeries& series = chart->GetSeries(index);
            lowest = std::min(lowest, AddCurve(series, samples.Times, Values(samples.Values, kind, extra)));
            StyleSeries(series, dol, extra);
        }
    }
    chart->SetPlotting(true);
    chart->Appearance().SetPrintLineStyle(true);
    for (TAxis* axis : {&chart->XAxis(), &chart->YAxis()}) {
        axis->SetAutoSizing(true);
        axis->SetAutoStepping(true);
    }
    // Time from 0; values from 0 too unless some are negative (a load that drives), which would
    // then be cut off.
    chart->XAxis().SetMin(0);
    if (lowest >= 0)
        chart->YAxis().SetMin(0);
    // The voltages end at 1.0 or just below: headroom keeps them off the plot's top border.
    if (kind == DynamicChart::Voltage) {
        const double top = std::max(VoltageAxisTop, 1.05 * chart->YAxis().DataMax());
        if (chart->YAxis().Max() < top)
            chart->YAxis().SetMax(top);
    }
}

void SetDynamicChartTexts(TxyGraph* chart, const QString& title, const QString& yTitle)
{
    // Each setter rescales and drops the drawn picture: the window sets its texts on every
    // activation, so only a text that changes may cost a redraw.
    if (chart->Appearance().GraphTitle() != title)
        chart->Appearance().SetGraphTitle(title);
    if (chart->YAxis().Title() != yTitle)
        chart->YAxis().SetTitle(yTitle);
}
