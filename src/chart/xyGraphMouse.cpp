// Mouse handling of TxyGraph: Shift-drag zoom with a rubber band and Shift-click restore, Shift-drag
// of the legend from its corner, moving and resizing the chart from its margin corners, and the
// cross wire. Bands and the cross wire are overlays on the cached picture (see paintEvent).

#include "xyGraph.h"

#include <QMouseEvent>

#include <algorithm>
#include <cmath>

namespace {
// Below this many pixels in width or height a Shift-drag counts as a click.
constexpr int kMinZoomPixels = 5;
// A chart is not resized below this.
constexpr int kMinChartSize = 20;
} // namespace

QPoint TxyGraph::ToClient(const QPoint& widgetPos) const {
    return widgetPos - QPoint(BorderWidth(), BorderWidth());
}

void TxyGraph::SaveRanges() {
    TAxis* axes[] = {m_xAxis.get(), m_yAxis.get(), m_yAxis2.get()};
    for (int i = 0; i < 3; ++i)
        m_saved[i] = {axes[i]->AutoSizing(), axes[i]->Min(), axes[i]->Max()};
    m_rangesSaved = true;
}

void TxyGraph::RestoreRanges() {
    if (!m_rangesSaved) return;
    TAxis* axes[] = {m_xAxis.get(), m_yAxis.get(), m_yAxis2.get()};
    SetPlotting(false);
    for (int i = 0; i < 3; ++i) {
        if (!m_saved[i].AutoSizing) {
            axes[i]->SetMin(m_saved[i].Min);
            axes[i]->SetMax(m_saved[i].Max);
        }
        axes[i]->SetAutoSizing(m_saved[i].AutoSizing);
    }
    m_rangesSaved = false;
    SetPlotting(true);
}

void TxyGraph::ZoomTo(const QRect& r) {
    struct NewRange {
        TAxis* axis;
        double lo, hi;
        int saved;
    };
    std::vector<NewRange> ranges;
    if (m_xAxis->Valid()) {
        const double a = PixelToX(r.left()), b = PixelToX(r.right());
        ranges.push_back({m_xAxis.get(), std::min(a, b), std::max(a, b), 0});
    }
    if (m_yAxis->Valid()) {
        const double a = PixelToY(r.bottom()), b = PixelToY(r.top());
        ranges.push_back({m_yAxis.get(), std::min(a, b), std::max(a, b), 1});
    }
    if (m_yAxis2->Valid()) {
        const double a = PixelToY(r.bottom(), true), b = PixelToY(r.top(), true);
        ranges.push_back({m_yAxis2.get(), std::min(a, b), std::max(a, b), 2});
    }
    for (NewRange& n : ranges) {
        // Zooming stops at a thousandth of the range seen before the first zoom.
        const double minSpan = 0.001 * (m_saved[n.saved].Max - m_saved[n.saved].Min);
        if (n.hi - n.lo < minSpan) n.hi = n.lo + minSpan;
    }
    SetPlotting(false);
    for (const NewRange& n : ranges) {
        if (!std::isfinite(n.lo) || !std::isfinite(n.hi) || !(n.lo < n.hi)) continue;
        n.axis->SetMin(n.lo);
        n.axis->SetMax(n.hi);
    }
    SetPlotting(true);
}

void TxyGraph::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    const QPoint c = ToClient(event->position().toPoint());
    const Qt::KeyboardModifiers mods = event->modifiers();

    if (mods & Qt::ControlModifier) {
        if (OnWantDesigner) OnWantDesigner(*this);
        return;
    }
    if (mods & Qt::ShiftModifier) {
        const TLegend& lg = *m_legend;
        if (lg.visible() && std::abs(c.x() - (lg.left() + 3)) < 3 && std::abs(c.y() - (lg.top() + 3)) < 3) {
            m_drag = Drag::Legend;
            m_movingLegend = true;
            m_legendDragSize = QSize(lg.width(), lg.height());
            m_band = QRect(c, m_legendDragSize);
            update();
            return;
        }
        m_drag = Drag::Zoom;
        m_zooming = true;
        m_pressPos = c;
        m_band = QRect();
        setCursor(Qt::CrossCursor);
        if (!m_rangesSaved) SaveRanges();
        return;
    }
    if (m_dragAllowed) {
        // The margins are measured in the drawing, which is as large as the control.
        const TDimensions::Values& d = m_dimensions->m_v;
        Drag mode = Drag::None;
        if (c.x() > width() - d.RightMargin && c.y() > height() - d.BottomMargin) {
            mode = Drag::ResizeChart;
            setCursor(Qt::SizeFDiagCursor);
        } else if (c.x() < d.LeftMargin && c.y() < d.TopMargin) {
            mode = Drag::MoveChart;
            setCursor(Qt::SizeAllCursor);
        }
        if (mode != Drag::None) {
            m_drag = mode;
            m_pressGlobal = event->globalPosition().toPoint();
            m_pressGeometry = geometry();
            return;
        }
    }
    QWidget::mousePressEvent(event);
}

void TxyGraph::mouseMoveEvent(QMouseEvent* event) {
    const QPoint c = ToClient(event->position().toPoint());
    switch (m_drag) {
    case Drag::Legend:
        m_band = QRect(c, m_legendDragSize);
        update();
        return;
    case Drag::Zoom:
        m_band = QRect(m_pressPos, c).normalized();
        update();
        return;
    case Drag::MoveChart: {
        QPoint pos = m_pressGeometry.topLeft() + (event->globalPosition().toPoint() - m_pressGlobal);
        if (QWidget* parent = parentWidget()) {
            // The chart stays reachable: its top-left corner remains inside the parent.
            pos.setX(std::clamp(pos.x(), 0, std::max(0, parent->width() - 1)));
            pos.setY(std::clamp(pos.y(), 0, std::max(0, parent->height() - 1)));
        }
        move(pos);
        return;
    }
    case Drag::ResizeChart: {
        const QPoint delta = event->globalPosition().toPoint() - m_pressGlobal;
        resize(std::max(kMinChartSize, m_pressGeometry.width() + delta.x()),
               std::max(kMinChartSize, m_pressGeometry.height() + delta.y()));
        return;
    }
    case Drag::None:
        break;
    }

    if (m_appearance->CrossWire()) {
        const bool inside = PlotArea().contains(c);
        if (inside || m_crossShown) {
            m_crossShown = inside;
            m_crossPos = c;
            update();
        }
        return;
    }
    QWidget::mouseMoveEvent(event);
}

void TxyGraph::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || m_drag == Drag::None) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    const QPoint c = ToClient(event->position().toPoint());
    const Drag mode = m_drag;
    m_drag = Drag::None;
    m_band = QRect();
    update();

    switch (mode) {
    case Drag::Legend:
        m_movingLegend = false;
        m_legend->setLeft(c.x());
        m_legend->setTop(c.y());
        break;
    case Drag::Zoom: {
        m_zooming = false;
        unsetCursor();
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
        unsetCursor();
        break;
    case Drag::None:
        break;
    }
}

void TxyGraph::leaveEvent(QEvent* event) {
    if (m_crossShown) {
        m_crossShown = false;
        update();
    }
    QWidget::leaveEvent(event);
}
