#include "MainCharts.h"

#include "StartSimulation.h"
#include "UiCommon.h"
#include "xyGraph.h"

#include <QLabel>

namespace {

struct ChartDesign {
    const char* title;
    const char* xTitle;
    const char* yTitle;
};

ChartDesign DesignOf(MainChart kind)
{
    switch (kind) {
    case MainChart::CurrentTime:
        return {"Current", "t [s]", "Id/In"};
    case MainChart::TorqueTime:
        return {"Torque", "t [s]", "Td/Tn"};
    case MainChart::CurrentSpeed:
        return {"Current", "n/ns", "I/In"};
    case MainChart::TorqueSpeed:
        break;
    }
    return {"Torque", "n/ns", "T/Tn"};
}

void RebuildSeries(TxyGraph* chart)
{
    chart->DestroySeries(chart->GetSeries(1));
    chart->DestroySeries(chart->GetSeries(2));
}

} // namespace

TxyGraph* NewMainChart(QWidget* parent, const char* name, int x, int y, MainChart kind)
{
    auto* chart = new TxyGraph(parent);
    chart->setObjectName(QString::fromLatin1(name));
    chart->setGeometry(x, y, 369, 121);
    const ChartDesign d = DesignOf(kind);
    const bool speedChart = kind == MainChart::CurrentSpeed || kind == MainChart::TorqueSpeed;
    TAppearance& a = chart->Appearance();
    a.SetGraphTitle(QString::fromLatin1(d.title));
    chart->XAxis().SetTitle(QString::fromLatin1(d.xTitle));
    chart->YAxis().SetTitle(QString::fromLatin1(d.yTitle));
    chart->XAxis().SetStepSize(0.2);
    chart->YAxis().SetStepSize(kind == MainChart::CurrentSpeed ? 0.1 : 0.2);
    chart->XAxis().SetAutoSizing(kind == MainChart::CurrentTime);
    chart->XAxis().SetAutoStepping(kind == MainChart::CurrentTime);
    a.SetPrintBkgndColor(!speedChart);
    a.SetTitleFont(TFont::Arial(speedChart ? -11 : -9));
    a.SetCaptionFont(TFont::Arial(-16, true));
    a.SetLabelFont(TFont::Arial(-7));
    a.SetCrossColor(Qt::black);
    a.SetBackgroundColor(Qt::white);
    a.SetMarginColor(Qt::white);
    chart->Legend().setVisible(kind == MainChart::CurrentSpeed);
    chart->Legend().setFont(TFont::Arial(-9));
    return chart;
}

QWidget* AsWidget(TxyGraph* chart)
{
    return chart;
}

std::pair<QLabel*, QLabel*> AddSeriesCaptions(TxyGraph* chart, const char* dolName, const char* softStarterName)
{
    auto caption = [chart](const char* name, const QString& text, int x, const QColor& colour) {
        QLabel* l = MakeLabel(chart, name, text, x, 104, SansFont(11, true));
        QPalette pal = l->palette();
        pal.setColor(QPalette::WindowText, colour);
        l->setPalette(pal);
        return l;
    };
    return {caption(dolName, QStringLiteral("DOL"), 236, QColor(0, 0, 255)),
            caption(softStarterName, QStringLiteral("With Soft-Starter"), 266, QColor(255, 0, 0))};
}

void PlotCurves(TxyGraph* currentChart, TxyGraph* torqueChart, const std::vector<CurvePoint>& points)
{
    for (TxyGraph* chart : {currentChart, torqueChart}) {
        chart->SetPlotting(false);
        chart->SetVisible(false);
    }
    RebuildSeries(currentChart);
    RebuildSeries(torqueChart);
    TSeries& dolCurrent = currentChart->GetSeries(1);
    TSeries& dolTorque = torqueChart->GetSeries(1);
    TSeries& ssCurrent = currentChart->GetSeries(2);
    TSeries& ssTorque = torqueChart->GetSeries(2);
    for (const CurvePoint& p : points) {
        dolCurrent.AddPoint(p.x, p.dolCurrent);
        dolTorque.AddPoint(p.x, p.dolTorque);
        ssCurrent.AddPoint(p.x, p.ssCurrent);
        ssTorque.AddPoint(p.x, p.ssTorque);
    }
}

void SetPlotting(TxyGraph* chart, bool on)
{
    chart->SetPlotting(on);
}

void StyleChart(TxyGraph* chart)
{
    chart->SetVisible(true);
    chart->Appearance().SetPrintLineStyle(true);
    for (TAxis* axis : {&chart->XAxis(), &chart->YAxis()}) {
        // Each setter repaints: the axis is fitted to the data once, then its minimum pinned at 0.
        axis->SetAutoSizing(true);
        axis->SetAutoStepping(true);
        axis->SetMin(0);
    }
    TSeries& dol = chart->GetSeries(1);
    dol.SetLineColor(ColorFromBGR(0xFF0000));
    dol.SetDrawPoints(false);
    dol.SetLineStyle(psSolid);
    TSeries& soft = chart->GetSeries(2);
    soft.SetLineColor(ColorFromBGR(0x0000FF));
    soft.SetPointColor(ColorFromBGR(0x0000FF));
    soft.SetDrawPoints(true);
    soft.SetLineStyle(psSolid);
    soft.SetPointStyle(2);
}

void SetChartTitle(TxyGraph* chart, const QString& title)
{
    chart->Appearance().SetGraphTitle(title);
}

QString ChartTitle(TxyGraph* chart)
{
    return chart->Appearance().GraphTitle();
}

void PrintChart(TxyGraph* chart)
{
    chart->Print();
}

std::vector<std::pair<double, double>> SeriesPoints(TxyGraph* chart, int series)
{
    std::vector<std::pair<double, double>> result;
    if (const TSeries* s = chart->FindSeries(series))
        for (const TxyPoint& p : s->Points())
            result.emplace_back(p.x, p.y);
    return result;
}
