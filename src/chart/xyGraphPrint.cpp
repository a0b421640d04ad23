// Printing a TxyGraph on one page: the picture is scaled to a share of the page, placed by the
// print percentages and drawn by the same full draw as the screen, from copies of the sizes,
// fonts and scaling, so that the screen state is left alone.

#include "xyGraph.h"

#include "ChartDrawing.h"

#include <QGuiApplication>
#include <QPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

// Rounded a * b / c, as designed font sizes are converted between points and pixels.
int MulDiv(int a, int b, int c) {
    return c == 0 ? 0 : static_cast<int>(std::lround(double(a) * b / c));
}

int Scaled(int v, double f) {
    return static_cast<int>(std::lround(v * f));
}

// Font height on a canvas of printerDpi for a picture scaled by `scale`: the size in points is
// scaled by screen/printer dpi so that text keeps its proportion to the picture.
int PrintFontHeight(const TFont& f, double scale, int screenDpi, int printerDpi) {
    const int points = MulDiv(f.PixelSize(), 72, screenDpi);
    const int printPoints = static_cast<int>(std::lround(points * scale * screenDpi / double(printerDpi)));
    return -std::max(1, MulDiv(printPoints, printerDpi, 72));
}

} // namespace

bool TxyGraph::Print() {
    if (m_printService) return Print(*m_printService);
    TPrinterService service(PrintFallbackFile());
    return Print(service);
}

bool TxyGraph::Print(const QString& pdfFileWhenNoPrinter) {
    TPrinterService service(pdfFileWhenNoPrinter);
    return Print(service);
}

bool TxyGraph::Print(TPrintService& service) {
    if (m_printing) return false; // one page at a time
    const QString jobName =
        m_appearance->GraphTitle().isEmpty() ? QStringLiteral("xyGraph") : m_appearance->GraphTitle();
    QPaintDevice* page = service.BeginJob(jobName);
    if (!page) return false;
    PrintPage(*page, service);
    return true;
}

void TxyGraph::PrintPage(QPaintDevice& page, TPrintService& service) {
    // The page is drawn from copies (the scaled sizes and fonts in the layout, the axes' scaling
    // in `scales`): the screen state stays as it is, also when the drawing throws.
    struct Busy {
        bool& printing;
        explicit Busy(bool& p) : printing(p) { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
        ~Busy() {
            printing = false;
            QGuiApplication::restoreOverrideCursor();
        }
    } busy(m_printing);

    QPainter p;
    if (!p.begin(&page)) {
        service.AbortJob();
        return;
    }

    const QSize client = ClientSize();
    const int pageW = page.width();
    const int pageH = page.height();
    if (client.isEmpty() || pageW <= 0 || pageH <= 0) {
        // Nothing to scale from: the job ends with an empty page.
        p.end();
        service.EndJob();
        return;
    }

    // The page is measured against the client area; the percentages are corrected to fit it
    // and keep their corrections.
    TDimensions& dims = *m_dimensions;
    const int scalePct = dims.PrintScalePct();
    int xPct = dims.PrintXOffsetPct();
    int yPct = dims.PrintYOffsetPct();
    const double rx = double(pageW) / client.width();
    const double ry = double(pageH) / client.height();
    double scale;
    if (rx >= ry) {
        scale = ry * scalePct / 100.0;
        if (scalePct + yPct > 100) yPct = 50 - scalePct / 2;
        if (scalePct + xPct > 100.0 * rx / ry)
            xPct = (static_cast<int>(std::lround(100.0 * rx / ry)) - scalePct) / 2;
    } else {
        scale = rx * scalePct / 100.0;
        if (scalePct + xPct > 100) xPct = 50 - scalePct / 2;
        if (scalePct + yPct > 100.0 * ry / rx)
            yPct = (static_cast<int>(std::lround(100.0 * ry / rx)) - scalePct) / 2;
    }
    dims.SetPrintXOffsetPct(xPct);
    dims.SetPrintYOffsetPct(yPct);

    // The picture is the whole control's size at that scale, its sizes and fonts scaled with it.
    TDrawLayout layout = ScreenLayout();
    layout.Printing = true;
    layout.Scale = scale;
    layout.XOffset = static_cast<int>(std::lround(pageW * xPct / 100.0));
    layout.YOffset = static_cast<int>(std::lround(pageH * yPct / 100.0));
    layout.Width = Scaled(width(), scale);
    layout.Height = Scaled(height(), scale);
    layout.PenWidth = std::max(1, Scaled(1, scale));
    TDimensions::Values& d = layout.Dim;
    for (int* v :
         {&d.LeftMargin, &d.RightMargin, &d.TopMargin, &d.BottomMargin, &d.TickLength, &d.XAxisTitleOffset,
          &d.XAxisLabelOffset, &d.YAxisTitleOffset, &d.YAxisLabelOffset, &d.GraphTitleOffset})
        *v = Scaled(*v, scale);
    const int printerDpi = page.logicalDpiY() > 0 ? page.logicalDpiY() : m_screenDpi;
    for (TFont* f : {&layout.CaptionFont, &layout.TitleFont, &layout.LabelFont, &layout.LegendFont})
        f->Height = PrintFontHeight(*f, scale, m_screenDpi, printerDpi);
    TChartScales scales = m_scales;

    m_printing = true;
    p.setClipping(false);
    try {
        FullDraw(p, layout, scales, false);
    } catch (...) {
        service.AbortJob();
        p.end();
        throw;
    }
    // The full draw ends with OnPaintEnd as on screen; the page then gets one more call, whose
    // failure does not spoil it.
    try {
        if (OnPaintEnd) OnPaintEnd(*this, p);
    } catch (...) {
    }
    p.end();
    m_printing = false;
    service.EndJob();
}
