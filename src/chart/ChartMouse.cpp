// Mouse handling of TxyGraph; see ChartMouse.h.

#include "ChartMouse.h"

#include "xyGraph.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {
// Below this many pixels in width or height a Shift-drag counts as a click.
constexpr int kMinZoomPixels = 5;
// A chart is not resized below this.
constexpr int kMinChartSize = 20;
} // namespace

QPoint TChartMouse::ToClient(const QPoint& widgetPos) const {
    return widgetPos - QPoint(m_chart.BorderWidth(), m_chart.BorderWidth());
}

void TChartMouse::SaveRanges() {
    const TAxis* axes[] = {&m_chart.XAxis(), &m_chart.YAxis(), &m_chart.YAxis_Second()};
    for (int i = 0; i < 3; ++i)
        m_saved[i] = {axes[i]->AutoSizing(), axes[i]->Min(), axes[i]->Max()};
    m_rangesSaved = true;
}

void TChartMouse::RestoreRanges() {
    if (!m_rangesSaved) return;
    TAxis* axes[] = {&m_chart.XAxis(), &m_chart.YAxis(), &m_chart.YAxis_Second()};
    m_chart.SetPlotting(false);
    for (int i = 0; i < 3; ++i) {
        if (!m_saved[i].AutoSizing) {
            axes[i]->SetMin(m_saved[i].Min);
            axes[i]->SetMax(m_saved[i].Max);
        }
        axes[i]->SetAutoSizing(m_saved[i].AutoSizing);
    }
    m_rangesSaved = false;
    m_chart.SetPlotting(true);
}

void TChartMouse::ZoomTo(const QRect& r) {
    struct NewRange {
        TAxis* axis;
        double lo, hi;
        int saved;
    };
    std::vector<NewRange> ranges;
    if (m_chart.XAxis().Valid()) {
        const double a = m_chart.PixelToX(r.left()), b = m_chart.PixelToX(r.right());
        ranges.push_back({&m_chart.XAxis(), std::min(a, b), std::max(a, b), 0});
    }
    if (m_chart.YAxis().Valid()) {
        const double a = m_chart.PixelToY(r.bottom()), b = m_chart.PixelToY(r.top());
        ranges.push_back({&m_chart.YAxis(), std::min(a, b), std::max(a, b), 1});
    }
    if (m_chart.YAxis_Second().Valid()) {
        const double a = m_chart.PixelToY(r.bottom(), true), b = m_chart.PixelToY(r.top(), true);
        ranges.push_back({&m_chart.YAxis_Second(), std::min(a, b), std::max(a, b), 2});
    }
    for (NewRange& n : ranges) {
        // Zooming stops at a thousandth of the range seen before the first zoom.
        const double minSpan = 0.001 * (m_saved[n.saved].Max - m_saved[n.saved].Min);
        if (n.hi - n.lo < minSpan) n.hi = n.lo + minSpan;
    }
    m_chart.SetPlotting(false);
    for (const NewRange& n : ranges) {
        if (!std::isfinite(n.lo) || !std::isfinite(n.hi) || !(n.lo < n.hi)) continue;
        n.axis->SetMin(n.lo);
        n.axis->SetMax(n.hi);
    }
    m_chart.SetPlotting(true);
}

bool TChartMouse::Press(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return false;
    const QPoint c = ToClient(event->position().toPoint());
    const Qt::KeyboardModifiers mods = event->modifiers();

    if (mods & Qt::ControlModifier) {
        if (m_chart.OnWantDesigner) m_chart.OnWantDesigner(m_chart);
        return true;
    }
    if (mods & Qt::ShiftModifier) {
        const TLegend& lg = m_chart.Legend();
        if (lg.visible() && std::abs(c.x() - (lg.left() + 3)) < 3 && std::abs(c.y() - (lg.top() + 3)) < 3) {
            m_drag = Drag::Legend;
            m_legendDragSize = QSize(lg.width(), lg.height());
            m_band = QRect(c, m_legendDragSize);
            m_chart.update();
            return true;
        }
        m_drag = Drag::Zoom;
        m_pressPos = c;
        m_band = QRect();
        m_chart.setCursor(Qt::CrossCursor);
        if (!m_rangesSaved) SaveRanges();
        return true;
    }
    if (m_chart.DragAllowed()) {
        // The margins are measured in the drawing, which is as large as the control.
        const TDimensions& d = m_chart.Dimensions();
        Drag mode = Drag::None;
        if (c.x() > m_chart.width() - d.RightMargin() && c.y() > m_chart.height() - d.BottomMargin()) {
            mode = Drag::ResizeChart;
            m_chart.setCursor(Qt::SizeFDiagCursor);
        } else if (c.x() < d.LeftMargin() && c.y() < d.TopMargin()) {
            mode = Drag::MoveChart;
            m_chart.setCursor(Qt::SizeAllCursor);
        }
        if (mode != Drag::None) {
            m_drag = mode;
            m_pressGlobal = event->globalPosition().toPoint();
            m_pressGeometry = m_chart.geometry();
            return true;
        }
    }
    return false;
}

bool TChartMouse::Move(QMouseEvent* event) {
    const QPoint c = ToClient(event->position().toPoint());
    switch (m_drag) {
    case Drag::Legend:
        m_band = QRect(c, m_legendDragSize);
        m_chart.update();
        return true;
    case Drag::Zoom:
        m_band = QRect(m_pressPos, c).normalized();
        m_chart.update();
        return true;
    case Drag::MoveChart: {
        QPoint pos = m_pressGeometry.topLeft() + (event->globalPosition().toPoint() - m_pressGlobal);
        if (QWidget* parent = m_chart.parentWidget()) {
            // The chart stays reachable: its top-left corner remains inside the parent.
            pos.setX(std::clamp(pos.x(), 0, std::max(0, parent->width() - 1)));
            pos.setY(std::clamp(pos.y(), 0, std::max(0, parent->height() - 1)));
        }
        m_chart.move(pos);
        return true;
    }
    case Drag::ResizeChart: {
        const QPoint delta = event->globalPosition().toPoint() - m_pressGlobal;
        m_chart.resize(std::max(kMinChartSize, m_pressGeometry.width() + delta.x()),
                       std::max(kMinChartSize, m_pressGeometry.height() + delta.y()));
        return true;
    }
    case Drag::None:
        break;
    }

    if (m_chart.Appearance().CrossWire()) {
        const bool inside = m_chart.PlotArea().contains(c);
        if (inside || m_crossShown) {
            m_crossShown = inside;
            m_crossPos = c;
            m_chart.update();
        }
        return true;
    }
    return false;
}

bool TChartMouse::Release(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || m_drag == Drag::None) return false;
    const QPoint c = ToClient(event->position().toPoint());
    const Drag mode = m_drag;
    m_drag = Drag::None;
    m_band = QRect();
    m_chart.update();

    switch (mode) {
    case Drag::Legend:
        m_chart.Legend().setLeft(c.x());
        m_chart.Legend().setTop(c.y());
        break;
    case Drag::Zoom: {
        m_chart.unsetCursor();
        const int x1 = std::min(m_pressPos.x(), c.x()), x2 = std::max(m_pressPos.x(), c.x());
        const int y1 = std::min(m_pressPos.y(), c.y()), y2 = std::max(m_pressPos.y(), c.y());
        if (x2 - x1 < kMinZoomPixels || y2 - y1 < kMinZoomPixels)
            RestoreRanges();
        else
            ZoomTo(QRect(QPoint(x1, y1), QPoint(x2, y2)));
        break;
    }
    case Drag::MoveChart:
    case Drag::ResizeChart:
        m_chart.unsetCursor();
        break;
    case Drag::None:
        break;
    }
    return true;
}

void TChartMouse::Leave() {
    if (m_crossShown) {
        m_crossShown = false;
        m_chart.update();
    }
}

void TChartMouse::CrossWireChanged() {
    if (!m_chart.Appearance().CrossWire()) Leave();
}

void TChartMouse::DrawOverlays(QPainter& p) const {
    const QColor paper = m_chart.Color();
    if (!m_band.isNull()) {
        p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        QPen pen(paper.rgb() == QColor(Qt::black).rgb() ? QColor(Qt::white) : paper, 1, Qt::DotLine);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        // A stroked QRect reaches one pixel past right() and bottom(): take that pixel back.
        p.drawRect(m_band.normalized().adjusted(0, 0, -1, -1));
    }
    if (m_crossShown) {
        p.setCompositionMode(QPainter::RasterOp_NotDestination);
        p.setPen(QPen(Qt::black, 1));
        const QRect plot = m_chart.PlotArea();
        p.drawLine(plot.left(), m_crossPos.y(), plot.right(), m_crossPos.y());
        p.drawLine(m_crossPos.x(), plot.top(), m_crossPos.x(), plot.bottom());
    }
}
