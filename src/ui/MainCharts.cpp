#include "MainCharts.h"

#include "StartSimulation.h"
#include "UiCommon.h"
#include "xyGraph.h"

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
    chart->Appearance.GraphTitle = QString::fromLatin1(d.title);
    chart->XAxis.Title = QString::fromLatin1(d.xTitle);
    chart->YAxis.Title = QString::fromLatin1(d.yTitle);
    return chart;
}

QWidget* AsWidget(TxyGraph* chart)
{
    return chart;
}

void PlotCurves(TxyGraph* currentChart, TxyGraph* torqueChart, const std::vector<CurvePoint>& points)
{
    for (TxyGraph* chart : {currentChart, torqueChart}) {
        chart->SetPlotting(false);
        chart->hide();
    }
    RebuildSeries(currentChart);
    RebuildSeries(torqueChart);
    for (const CurvePoint& p : points) {
        currentChart->GetSeries(1)->AddPoint(p.x, p.dolCurrent);
        torqueChart->GetSeries(1)->AddPoint(p.x, p.dolTorque);
        currentChart->GetSeries(2)->AddPoint(p.x, p.ssCurrent);
        torqueChart->GetSeries(2)->AddPoint(p.x, p.ssTorque);
    }
}

void SetPlotting(TxyGraph* chart, bool on)
{
    chart->SetPlotting(on);
}

void StyleChart(TxyGraph* chart)
{
    chart->show();
    chart->Appearance.PrintLineStyle = true;
    for (TAxis* axis : {&chart->XAxis, &chart->YAxis}) {
        axis->AutoSizing = true;
        axis->AutoStepping = true;
        axis->Min = 0;
    }
    TSeries* dol = chart->GetSeries(1);
    dol->LineColor = QColor(0, 0, 255);
    dol->DrawPoints = false;
    dol->LineStyle = 0;
    TSeries* soft = chart->GetSeries(2);
    soft->LineColor = QColor(255, 0, 0);
    soft->PointColor = QColor(255, 0, 0);
    soft->DrawPoints = true;
    soft->LineStyle = 0;
    soft->PointStyle = 2;
}

void SetChartTitle(TxyGraph* chart, const QString& title)
{
    chart->Appearance.GraphTitle = title;
}

QString ChartTitle(TxyGraph* chart)
{
    return chart->Appearance.GraphTitle;
}

void PrintChart(TxyGraph* chart)
{
    chart->Print();
}

std::vector<std::pair<double, double>> SeriesPoints(TxyGraph* chart, int series)
{
    std::vector<std::pair<double, double>> result;
    for (const TxyPoint& p : chart->GetSeries(series)->Points())
        result.emplace_back(p.x, p.y);
    return result;
}
