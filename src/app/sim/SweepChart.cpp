#include "SweepChart.h"

#include <QImage>
#include <QString>
#include <QWidget>

#include <algorithm>

#include "ChartImage.h"
#include "xyGraph.h"

namespace {
// Distinct colours for up to MaxPlotSeries series, the first two those of the main window.
const QColor Palette[] = {QColor(0, 0, 255),   QColor(255, 0, 0),   QColor(0, 128, 0),  QColor(255, 128, 0),
                          QColor(128, 0, 128), QColor(0, 160, 160), QColor(128, 64, 0), QColor(255, 0, 255),
                          QColor(96, 96, 96),  QColor(128, 128, 0)};
static_assert(std::size(Palette) >= MaxPlotSeries);
} // namespace

std::string SweepChartPng(const SweepPlot& plot, Language language) {
    EnsureApplication();
    const bool french = language == Language::French;
    const int legendWidth = 230, lineHeight = 15;
    const int entries =
        static_cast<int>(plot.series.size()) + (plot.series.size() < plot.seriesInSweep ? 1 : 0);
    const int height = std::max(420, 40 + entries * lineHeight + 20);

    QWidget sheet;
    sheet.setAttribute(Qt::WA_DontShowOnScreen);
    sheet.resize(720, height);
    auto* chart = new TxyGraph(&sheet);
    chart->setGeometry(0, 0, 720, height);
    chart->SetPlotting(false);
    TAppearance& a = chart->Appearance();
    a.SetGraphTitle(QString::fromStdString(plot.yName));
    a.SetTitleFont(TFont::Arial(-13, true));
    a.SetLabelFont(TFont::Arial(-10));
    a.SetCaptionFont(TFont::Arial(-11));
    a.SetCrossColor(Qt::black);
    a.SetShowMarks(true);
    chart->Dimensions().SetLeftMargin(70);
    chart->Dimensions().SetRightMargin(legendWidth + 20);
    chart->Dimensions().SetBottomMargin(45);
    chart->XAxis().SetTitle(QString::fromStdString(plot.xName));
    chart->YAxis().SetTitle(QString::fromStdString(plot.yName));

    int index = 1;
    for (const SweepPlot::Series& s : plot.series) {
        TSeries& series = chart->GetSeries(index);
        const QColor colour = Palette[(index - 1) % std::size(Palette)];
        series.SetSeriesName(QString::fromStdString(s.name));
        series.SetLineColor(colour);
        series.SetPointColor(colour);
        series.SetPointShape(1);
        series.SetPointStyle(4);
        series.SetLineStyle(psSolid);
        series.SetFillPoints(true);
        series.SetShowInLegend(4);
        for (const auto& [x, y] : s.points)
            series.AddPoint(x, y);
        ++index;
    }
    if (plot.series.size() < plot.seriesInSweep) {
        // A series without points only names how many combinations the legend shows.
        TSeries& note = chart->GetSeries(index);
        note.SetSeriesName(QString::fromStdString(
            french ? std::to_string(plot.series.size()) + " séries sur " + std::to_string(plot.seriesInSweep)
                   : std::to_string(plot.series.size()) + " of " + std::to_string(plot.seriesInSweep) +
                         " series"));
        note.SetShowInLegend(1);
    }
    TLegend& legend = chart->Legend();
    legend.setVisible(true);
    legend.SetLayout(lsDown);
    legend.setFont(TFont::Arial(-11));
    legend.setLeft(720 - legendWidth - 10);
    legend.setTop(30);
    legend.setWidth(legendWidth);
    legend.setHeight(10 + entries * lineHeight);
    legend.setBorderStyle(bsSingle);
    legend.SetYMargin(5);

    chart->SetPlotting(true);
    chart->XAxis().SetAutoSizing(true);
    chart->XAxis().SetAutoStepping(true);
    chart->YAxis().SetAutoSizing(true);
    chart->YAxis().SetAutoStepping(true);
    // Swept values that are none of them negative are drawn from 0, as the main window's axes are.
    bool anyPoint = false, negative = false;
    for (const SweepPlot::Series& s : plot.series)
        for (const auto& point : s.points) {
            anyPoint = true;
            negative = negative || point.first < 0;
        }
    if (anyPoint && !negative) chart->XAxis().SetMin(0);
    sheet.show();
    return PngBytes(chart->RenderImage());
}
