#include "ChartImage.h"

#include <QApplication>
#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QWidget>

#include <memory>

#include "MainCharts.h"

// The chart component is a widget: it needs an application object, which runs on the offscreen
// platform here so that no display is ever needed.
void EnsureApplication() {
    if (QCoreApplication::instance()) return;
    static int argc = 3;
    static char arg0[] = "tarvello-sim", arg1[] = "-platform", arg2[] = "offscreen";
    static char* argv[] = {arg0, arg1, arg2, nullptr};
    static std::unique_ptr<QApplication> app = std::make_unique<QApplication>(argc, argv);
}

std::string PngBytes(const QImage& image) {
    if (image.isNull()) return {};
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG")) return {};
    return bytes.toStdString();
}

std::string ChartImagePng(const std::vector<CurvePoint>& timePoints,
                          const std::vector<CurvePoint>* staticPoints, Language language) {
    EnsureApplication();
    const bool french = language == Language::French;
    const int chartCount = staticPoints ? 4 : 2;
    // The charts lie at x 8 and y 0, 120, 240, 360 of the main window, 369 x 121 each.
    QWidget sheet;
    sheet.setAttribute(Qt::WA_DontShowOnScreen);
    sheet.resize(8 + 369 + 8, 120 * chartCount + 1 + 8);
    const MainChart kinds[] = {MainChart::CurrentTime, MainChart::TorqueTime, MainChart::CurrentSpeed,
                               MainChart::TorqueSpeed};
    const char* names[] = {"xyGraph3", "xyGraph4", "xyGraph1", "xyGraph2"};
    TxyGraph* charts[4] = {};
    for (int i = 0; i < chartCount; ++i) {
        charts[i] = NewMainChart(&sheet, names[i], 8, 120 * i, kinds[i]);
        QLabel* softStarter = AddSeriesCaptions(charts[i], "DOL", "WithSoftStarter").second;
        if (french) {
            softStarter->setText(QString::fromUtf8("Avec Soft-Starter"));
            softStarter->adjustSize();
        }
        SetChartTitle(charts[i], i % 2 == 0 ? (french ? "Courant" : "Current") : (french ? "Couple" : "Torque"));
    }
    PlotCurves(charts[0], charts[1], timePoints);
    SetPlotting(charts[0], true);
    SetPlotting(charts[1], true);
    if (staticPoints) {
        PlotCurves(charts[2], charts[3], *staticPoints);
        SetPlotting(charts[2], true);
        SetPlotting(charts[3], true);
    }
    for (int i = 0; i < chartCount; ++i) StyleChart(charts[i]);
    sheet.show();
    return PngBytes(sheet.grab().toImage());
}
