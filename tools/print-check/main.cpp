// tarvello-print-check: prints the main window's four charts on the default printer, one job
// each, so that tools/print-check/run.sh can look at what a real print system made of them.
//
//   tarvello-print-check print EXPECTED_PRINTER FALLBACK_DIR
//       computes the 4 kW example motor (with the static curves), builds the four charts as the
//       main window does and prints them in the order Current=f(t), Torque=f(t),
//       Current=f(n/ns), Torque=f(n/ns). Fails when the default printer is not EXPECTED_PRINTER
//       or when a page went to the PDF fallback in FALLBACK_DIR instead of the printer.
//       For each chart it also tells where its ink should land on the paper ("expect" lines):
//       the screen picture mapped onto the page as the print places it, 5 % from the left and
//       20 % from the top of the printable area, 90 % of its width.
//   tarvello-print-check measure PNG...
//       prints, per page image, the box of its non-white pixels as fractions of the page.

#include "ExampleMotor.h"
#include "MainCharts.h"
#include "MotorDataSet.h"
#include "StartSimulation.h"
#include "xyGraph.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPrinter>
#include <QPrinterInfo>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <exception>

namespace {

// The nameplate of the worked examples' motor, prepared as the main window prepares a new motor.
MotorDataSet FourKilowattMotor() {
    MotorDataSet ds = ExampleFourKilowattMotor();
    ds.ShowStaticCurves = true;
    return ds;
}

int Fail(const char* what) {
    std::fprintf(stderr, "print-check: %s\n", what);
    return 1;
}

// The box of clearly inked pixels within `area` (anti-aliased edges are light grey and do not
// count); empty when there is none.
QRect InkBox(const QImage& anyImage, QRect area) {
    const QImage image = anyImage.convertToFormat(QImage::Format_RGB32);
    area = area.intersected(image.rect());
    int left = area.right() + 1, top = area.bottom() + 1, right = -1, bottom = -1;
    for (int row = area.top(); row <= area.bottom(); ++row) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(row));
        for (int col = area.left(); col <= area.right(); ++col) {
            if (qGray(line[col]) >= 224) continue;
            left = std::min(left, col);
            right = std::max(right, col);
            top = std::min(top, row);
            bottom = std::max(bottom, row);
        }
    }
    return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

// The box the print draws the chart into, in points on the paper: placed by the print
// percentages within the printable area and scaled to fill PrintScalePct of it.
QRectF DrawingBox(const TxyGraph& chart, const QPageLayout& layout) {
    const QRectF paint = layout.paintRectPoints();
    const QSize client = chart.ClientSize();
    if (client.isEmpty()) return QRectF();
    const TDimensions& d = chart.Dimensions();
    const double scale = std::min(paint.width() / client.width(), paint.height() / client.height()) *
                         d.PrintScalePct() / 100.0;
    return QRectF(paint.left() + paint.width() * d.PrintXOffsetPct() / 100.0,
                  paint.top() + paint.height() * d.PrintYOffsetPct() / 100.0, client.width() * scale,
                  client.height() * scale);
}

QRectF AsPaperFraction(const QRectF& r, const QPageLayout& layout) {
    const QRectF paper = layout.fullRectPoints();
    return QRectF(r.left() / paper.width(), r.top() / paper.height(), r.width() / paper.width(),
                  r.height() / paper.height());
}

// Where the chart's ink should land on the paper, as fractions of the paper: the screen picture
// (without its border, which the print leaves out) scaled into the drawing box.
QRectF ExpectedInk(TxyGraph& chart, const QPageLayout& layout) {
    const QRectF box = DrawingBox(chart, layout);
    const QSize client = chart.ClientSize();
    const int border = chart.BorderWidth();
    const QRect ink = InkBox(chart.RenderImage(), QRect(QPoint(border, border), client));
    if (ink.isEmpty() || box.isEmpty()) return QRectF();
    const double scale = box.width() / client.width();
    const QRectF onPaper(box.left() + (ink.left() - border) * scale, box.top() + (ink.top() - border) * scale,
                         ink.width() * scale, ink.height() * scale);
    return AsPaperFraction(onPaper, layout);
}

int PrintCharts(const QString& expectedPrinter, const QString& fallbackDir) {
    const QPrinterInfo printer = QPrinterInfo::defaultPrinter();
    const QString name = printer.isNull() ? QStringLiteral("(none)") : printer.printerName();
    std::printf("default printer: %s\n", qPrintable(name));
    if (printer.isNull() || name != expectedPrinter)
        return Fail(qPrintable(QStringLiteral("the default printer is not %1").arg(expectedPrinter)));

    MotorDataSet ds = FourKilowattMotor();
    CurveBuffer timePoints, staticPoints;
    const int error = RunStartComputation(ds, &timePoints, &staticPoints);
    std::printf("computation: error %d, %zu time points, %zu static points\n", error,
                timePoints.points.size(), staticPoints.points.size());
    if (error != 0 || timePoints.points.empty() || staticPoints.points.empty())
        return Fail("the 4 kW motor's curves could not be computed");

    // The same charts, positions and sequence of calls as the main window after a computation.
    QWidget window;
    window.resize(385, 490);
    TxyGraph* currentTime = NewMainChart(&window, "xyGraph3", 8, 0, MainChart::CurrentTime);
    TxyGraph* torqueTime = NewMainChart(&window, "xyGraph4", 8, 120, MainChart::TorqueTime);
    TxyGraph* currentSpeed = NewMainChart(&window, "xyGraph1", 8, 240, MainChart::CurrentSpeed);
    TxyGraph* torqueSpeed = NewMainChart(&window, "xyGraph2", 8, 360, MainChart::TorqueSpeed);
    PlotCurves(currentTime, torqueTime, timePoints.points);
    SetPlotting(currentTime, true);
    SetPlotting(torqueTime, true);
    PlotCurves(currentSpeed, torqueSpeed, staticPoints.points);
    SetPlotting(currentSpeed, true);
    SetPlotting(torqueSpeed, true);
    for (TxyGraph* chart : {currentTime, torqueTime, currentSpeed, torqueSpeed})
        StyleChart(chart);
    window.show();
    QApplication::processEvents();

    const struct {
        TxyGraph* chart;
        const char* label;
    } jobs[] = {{currentTime, "Current=f(t)"},
                {torqueTime, "Torque=f(t)"},
                {currentSpeed, "Current=f(n/ns)"},
                {torqueSpeed, "Torque=f(n/ns)"}};
    {
        // The page as the print service will get it: the default printer at 1200 dpi.
        QPrinter probe(printer, QPrinter::HighResolution);
        probe.setResolution(1200);
        const QPageLayout layout = probe.pageLayout();
        const QRectF paper = layout.fullRectPoints();
        const QRectF paint = layout.paintRectPoints();
        std::printf(
            "page: %s, paper %.0f x %.0f pt, printable %.0f,%.0f %.0f x %.0f pt, %d x %d device pixels\n",
            qPrintable(layout.pageSize().name()), paper.width(), paper.height(), paint.left(), paint.top(),
            paint.width(), paint.height(), probe.width(), probe.height());
        const TDimensions& d = currentTime->Dimensions();
        const QRectF box = AsPaperFraction(DrawingBox(*currentTime, layout), layout);
        std::printf("drawing box: %d %% from the left and %d %% from the top of the printable area, %d %% of "
                    "its width; on the paper: left %.4f top %.4f right %.4f bottom %.4f\n",
                    d.PrintXOffsetPct(), d.PrintYOffsetPct(), d.PrintScalePct(), box.left(), box.top(),
                    box.right(), box.bottom());
        for (const auto& job : jobs) {
            const QRectF e = ExpectedInk(*job.chart, layout);
            std::printf("expect %s left %.4f top %.4f right %.4f bottom %.4f\n", job.label, e.left(), e.top(),
                        e.right(), e.bottom());
        }
    }

    int failures = 0;
    for (const auto& job : jobs) {
        TxyGraph* chart = job.chart;
        const QString fallback = QDir(fallbackDir).filePath(chart->objectName() + QStringLiteral(".pdf"));
        TPrinterService service(fallback, TPrinterService::Target::DefaultPrinter);
        bool printed = false;
        try {
            printed = chart->Print(service);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "print-check: %s: the drawing failed: %s\n", job.label, e.what());
        }
        const AxisScale& x = chart->XAxis().Scaling();
        const AxisScale& y = chart->YAxis().Scaling();
        std::printf("job %-16s title \"%s\", x \"%s\" %g..%g, y \"%s\" %g..%g, %zu + %zu points: %s\n",
                    job.label, qPrintable(chart->Appearance().GraphTitle()),
                    qPrintable(chart->XAxis().Title()), x.Min, x.Max, qPrintable(chart->YAxis().Title()),
                    y.Min, y.Max, SeriesPoints(chart, 1).size(), SeriesPoints(chart, 2).size(),
                    !printed                ? "NOT PRINTED"
                    : service.PrintsToPdf() ? "WENT TO THE PDF FALLBACK"
                                            : "sent");
        if (!printed || service.PrintsToPdf()) ++failures;
    }
    std::fflush(stdout);
    return failures == 0 ? 0 : Fail("not every chart reached the printer");
}

// Fractions of the page: left, top, right, bottom of everything that is not paper-white.
int Measure(const QStringList& files) {
    int failures = 0;
    for (const QString& file : files) {
        const QImage image(file);
        if (image.isNull()) {
            std::fprintf(stderr, "print-check: cannot read %s\n", qPrintable(file));
            ++failures;
            continue;
        }
        const QRect ink = InkBox(image, image.rect());
        if (ink.isEmpty()) {
            std::printf("%s: blank\n", qPrintable(file));
            continue;
        }
        std::printf("%s: %dx%d left %.4f top %.4f right %.4f bottom %.4f\n", qPrintable(file), image.width(),
                    image.height(), double(ink.left()) / image.width(), double(ink.top()) / image.height(),
                    double(ink.right() + 1) / image.width(), double(ink.bottom() + 1) / image.height());
    }
    return failures == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    // No display here: the charts draw off screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() == 4 && args[1] == QLatin1String("print")) return PrintCharts(args[2], args[3]);
    if (args.size() >= 3 && args[1] == QLatin1String("measure")) return Measure(args.mid(2));
    std::fprintf(stderr,
                 "usage: %s print EXPECTED_PRINTER FALLBACK_DIR\n"
                 "       %s measure PNG...\n",
                 argv[0], argv[0]);
    return 2;
}
