#include "ChartImage.h"

#include <QWidget>

#include "ProtectionChart.h"
#include "xyGraph.h"

std::string TimeCurrentChartPng(const TimeCurrentCurves& curves, Language language) {
    EnsureApplication();
    QWidget sheet;
    sheet.setAttribute(Qt::WA_DontShowOnScreen);
    sheet.resize(TimeCurrentImageWidth, TimeCurrentImageHeight);
    TxyGraph* chart = NewTimeCurrentChart(&sheet, "TimeCurrentChart");
    chart->setGeometry(0, 0, TimeCurrentImageWidth, TimeCurrentImageHeight);
    PlotTimeCurrentChart(chart, curves, language);
    sheet.show();
    return PngBytes(chart->RenderImage());
}
