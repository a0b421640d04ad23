// Printing a TxyGraph on one page: the picture is scaled to a share of the page, placed by the
// print percentages, drawn by the same full draw as the screen, and the screen state is put back.

#include "xyGraph.h"

#include <QGuiApplication>
#include <QPaintDevice>
#include <QPainter>

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
    if (m_draw.Printing) return false; // one page at a time
    const QString jobName =
        m_appearance->GraphTitle().isEmpty() ? QStringLiteral("xyGraph") : m_appearance->GraphTitle();
    QPaintDevice* page = service.BeginJob(jobName);
    if (!page) return false;
    PrintPage(*page, service);
    return true;
}

void TxyGraph::PrintPage(QPaintDevice& page, TPrintService& service) {
    // Everything the print changes, put back on every way out (also when the drawing throws).
    struct Restore {
        TxyGraph& g;
        TDimensions::Values dims;
        TFont chartFont, caption, title, label, legend;
        AxisScale axes[3];
        std::vector<DrawnLabel> labels;
        bool scalesValid;
        Restore(TxyGraph& graph)
            : g(graph), dims(graph.m_dimensions->m_v), chartFont(graph.m_chartFont),
              caption(graph.m_appearance->m_captionFont), title(graph.m_appearance->m_titleFont),
              label(graph.m_appearance->m_labelFont),
              legend(graph.m_legend->m_font), axes{graph.m_xAxis->m_s, graph.m_yAxis->m_s,
                                                   graph.m_yAxis2->m_s},
              labels(graph.m_drawnXLabels), scalesValid(graph.m_scalesValid) {
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        }
        ~Restore() {
            // The print percentages keep their corrections; the rest is as before.
            const int xPct = g.m_dimensions->m_v.PrintXOffsetPct;
            const int yPct = g.m_dimensions->m_v.PrintYOffsetPct;
            g.m_dimensions->m_v = dims;
            g.m_dimensions->m_v.PrintXOffsetPct = xPct;
            g.m_dimensions->m_v.PrintYOffsetPct = yPct;
            g.m_chartFont = chartFont;
            g.m_appearance->m_captionFont = caption;
            g.m_appearance->m_titleFont = title;
            g.m_appearance->m_labelFont = label;
            g.m_legend->m_font = legend;
            g.m_xAxis->m_s = axes[0];
            g.m_yAxis->m_s = axes[1];
            g.m_yAxis2->m_s = axes[2];
            g.m_drawnXLabels = labels;
            g.m_scalesValid = scalesValid;
            g.m_draw = g.ScreenState();
            QGuiApplication::restoreOverrideCursor();
        }
    } restore(*this);

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

    TDimensions::Values& d = m_dimensions->m_v;
    const double rx = double(pageW) / client.width();
    const double ry = double(pageH) / client.height();
    double scale;
    if (rx >= ry) {
        scale = ry * d.PrintScalePct / 100.0;
        if (d.PrintScalePct + d.PrintYOffsetPct > 100) d.PrintYOffsetPct = 50 - d.PrintScalePct / 2;
        if (d.PrintScalePct + d.PrintXOffsetPct > 100.0 * rx / ry)
            d.PrintXOffsetPct = (static_cast<int>(std::lround(100.0 * rx / ry)) - d.PrintScalePct) / 2;
    } else {
        scale = rx * d.PrintScalePct / 100.0;
        if (d.PrintScalePct + d.PrintXOffsetPct > 100) d.PrintXOffsetPct = 50 - d.PrintScalePct / 2;
        if (d.PrintScalePct + d.PrintYOffsetPct > 100.0 * ry / rx)
            d.PrintYOffsetPct = (static_cast<int>(std::lround(100.0 * ry / rx)) - d.PrintScalePct) / 2;
    }

    m_draw.Printing = true;
    m_draw.Scale = scale;
    m_draw.XOffset = static_cast<int>(std::lround(pageW * d.PrintXOffsetPct / 100.0));
    m_draw.YOffset = static_cast<int>(std::lround(pageH * d.PrintYOffsetPct / 100.0));
    // The page is measured against the client area, the picture is the whole control's size.
    m_draw.Width = Scaled(width(), scale);
    m_draw.Height = Scaled(height(), scale);
    m_draw.PenWidth = std::max(1, Scaled(1, scale));

    for (int* v :
         {&d.LeftMargin, &d.RightMargin, &d.TopMargin, &d.BottomMargin, &d.TickLength, &d.XAxisTitleOffset,
          &d.XAxisLabelOffset, &d.YAxisTitleOffset, &d.YAxisLabelOffset, &d.GraphTitleOffset})
        *v = Scaled(*v, scale);

    const int printerDpi = page.logicalDpiY() > 0 ? page.logicalDpiY() : m_screenDpi;
    for (TFont* f : {&m_chartFont, &m_appearance->m_captionFont, &m_appearance->m_titleFont,
                     &m_appearance->m_labelFont, &m_legend->m_font})
        f->Height = PrintFontHeight(*f, scale, m_screenDpi, printerDpi);

    p.setClipping(false);
    try {
        FullDraw(p);
    } catch (...) {
        service.AbortJob();
        p.end();
        m_draw.Printing = false;
        throw;
    }
    // The full draw ends with OnPaintEnd as on screen; the page then gets one more call, whose
    // failure does not spoil it.
    try {
        if (OnPaintEnd) OnPaintEnd(*this, p);
    } catch (...) {
    }
    p.end();
    m_draw.Printing = false;
    service.EndJob();
}
