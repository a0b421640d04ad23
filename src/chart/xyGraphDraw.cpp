// The widget side of TxyGraph's drawing: the scaling pass on its own axes, the full draw with
// its events, the cached picture, the screen paint with the mouse overlays, and images. The
// drawing itself is in ChartDrawing.cpp.

#include "xyGraph.h"

#include "ChartDrawing.h"
#include "ChartMouse.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

// Scope guard: clears a flag on every way out.
struct FlagGuard {
    bool& flag;
    explicit FlagGuard(bool& f) : flag(f) { flag = true; }
    ~FlagGuard() { flag = false; }
};

} // namespace

// --- geometry ---------------------------------------------------------------------------------

TDrawLayout TxyGraph::ScreenLayout() const {
    return TDrawLayout::Screen(*this);
}

QRect TxyGraph::PlotArea() const {
    return ScreenLayout().PlotArea();
}

int TxyGraph::XToPixel(double x) const {
    return ValueToPixel(m_scales.X, x, false, m_dimensions->LeftMargin(), 0);
}

int TxyGraph::YToPixel(double y, bool secondAxis) const {
    return ValueToPixel(secondAxis ? m_scales.Y2 : m_scales.Y, y, true, m_dimensions->TopMargin(), 0);
}

double TxyGraph::PixelToX(int px) const {
    return PixelToValue(m_scales.X, px, false, m_dimensions->LeftMargin(), 0);
}

double TxyGraph::PixelToY(int py, bool secondAxis) const {
    return PixelToValue(secondAxis ? m_scales.Y2 : m_scales.Y, py, true, m_dimensions->TopMargin(), 0);
}

// --- scaling ----------------------------------------------------------------------------------

void TxyGraph::ScaleAxes(TChartScales& scales, const TDrawLayout& layout, bool screen) {
    if (m_inRescale) return;
    FlagGuard guard(m_inRescale);
    const bool changed = ScaleChart(*this, scales, layout);
    if (screen && scales.Valid && changed && OnRescale) OnRescale(*this);
}

void TxyGraph::Rescale() {
    if (m_inRescale || m_printing) return;
    const TDrawLayout layout = ScreenLayout();
    try {
        ScaleAxes(m_scales, layout, true);
    } catch (const ChartError&) {
        m_scales.Valid = false;
    }
    m_scalingFresh = true;
    m_scaledSize = QSize(layout.Width, layout.Height);
}

// --- full draw --------------------------------------------------------------------------------

void TxyGraph::FullDraw(QPainter& p, const TDrawLayout& layout, TChartScales& scales, bool screen) {
    if (OnPaintStart) OnPaintStart(*this, p);
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    // A repaint scales once: the drawing that follows a setter's rescaling uses its results.
    // (Scaling is not always idempotent: an axis without data may be reversed by one pass and
    // put back in order by the next.)
    if (!screen || !m_scalingFresh || m_scaledSize != QSize(layout.Width, layout.Height))
        ScaleAxes(scales, layout, screen);
    if (screen) m_scalingFresh = false;
    TChartDrawing drawing(*this, layout, scales, *m_textCache);
    const bool complete = drawing.Draw(p);
    if (screen) m_drawnXLabels = drawing.TakeDrawnXLabels();
    p.restore();
    if (complete && OnPaintEnd) OnPaintEnd(*this, p);
}

// --- screen, images ---------------------------------------------------------------------------

void TxyGraph::PaintPanel(QPainter& p) {
    p.save();
    p.fillRect(QRect(0, 0, width(), height()), m_color);
    const int b = BorderWidth();
    if (b > 0) {
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRect(0, 0, width() - 1, height() - 1));
    }
    if (!m_printing) {
        // The drawing is as large as the control, border included; it starts at the client
        // area's corner and what lies beyond the client area is cut off.
        const QSize c = ClientSize();
        p.translate(b, b);
        p.setClipRect(QRect(0, 0, c.width(), c.height()));
        FullDraw(p, ScreenLayout(), m_scales, true);
    }
    p.restore();
}

void TxyGraph::RenderPicture() {
    const qreal dpr = devicePixelRatioF();
    const QSize want(static_cast<int>(std::lround(width() * dpr)),
                     static_cast<int>(std::lround(height() * dpr)));
    if (m_picture.size() != want) {
        m_picture = QImage(want, QImage::Format_RGB32);
        m_picture.setDevicePixelRatio(dpr);
    }
    m_pictureDirty = false;
    QPainter p(&m_picture);
    PaintPanel(p);
}

// A point added inside the ranges with PreventFlicker: only the series layer, over the picture.
void TxyGraph::PartialDraw() {
    if (m_pictureDirty || m_picture.isNull() || !m_plotting || !m_scales.Valid) {
        Rescale();
        m_pictureDirty = true;
        update();
        return;
    }
    m_scalingFresh = false; // the new point is not in the last scaling's data ranges
    QPainter p(&m_picture);
    const int b = BorderWidth();
    const QSize c = ClientSize();
    p.translate(b, b);
    p.setClipRect(QRect(0, 0, c.width(), c.height()));
    const TDrawLayout layout = ScreenLayout();
    TChartDrawing(*this, layout, m_scales, *m_textCache).DrawSeriesLayer(p);
    update();
}

void TxyGraph::paintEvent(QPaintEvent*) {
    const qreal dpr = devicePixelRatioF();
    const QSize want(static_cast<int>(std::lround(width() * dpr)),
                     static_cast<int>(std::lround(height() * dpr)));
    if (!m_inPaint && !m_printing && (m_pictureDirty || m_picture.size() != want)) {
        FlagGuard guard(m_inPaint);
        try {
            RenderPicture();
        } catch (...) {
            // A failing draw (an event handler that throws) leaves what was drawn so far.
        }
    }
    QPainter p(this);
    if (m_picture.isNull())
        p.fillRect(rect(), m_color);
    else
        p.drawImage(0, 0, m_picture);
    p.translate(BorderWidth(), BorderWidth());
    m_mouse->DrawOverlays(p);
}

void TxyGraph::Render(QPainter& painter, QPoint at) {
    if (m_printing) return;
    painter.save();
    painter.translate(at);
    PaintPanel(painter);
    painter.restore();
}

QImage TxyGraph::RenderImage() {
    QImage img(std::max(1, width()), std::max(1, height()), QImage::Format_RGB32);
    img.fill(m_color);
    QPainter p(&img);
    Render(p, QPoint(0, 0));
    p.end();
    return img;
}

bool TxyGraph::SavePng(const QString& fileName) {
    return RenderImage().save(fileName, "PNG");
}

QImage TxyGraph::RenderCharts(const std::vector<TxyGraph*>& charts, const QColor& background) {
    QRect bounds;
    for (TxyGraph* c : charts)
        if (c) bounds = bounds.united(c->geometry());
    if (bounds.isEmpty()) return QImage();
    QImage img(bounds.size(), QImage::Format_RGB32);
    img.fill(background);
    QPainter p(&img);
    for (TxyGraph* c : charts)
        if (c) c->Render(p, c->geometry().topLeft() - bounds.topLeft());
    p.end();
    return img;
}
