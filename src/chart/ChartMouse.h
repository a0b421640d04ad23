#pragma once
// The mouse side of TxyGraph, apart from the widget: Shift-drag zoom with a rubber band and
// Shift-click restore, Shift-drag of the legend from its corner, moving and resizing the chart
// from its margin corners, and the cross wire. It works through the chart's public interface;
// the widget hands it its mouse events and lets it draw its overlays over the cached picture.

#include <QPoint>
#include <QRect>
#include <QSize>

class QMouseEvent;
class QPainter;
class TxyGraph;

class TChartMouse {
public:
    explicit TChartMouse(TxyGraph& chart) : m_chart(chart) {}

    // Each returns false when the event is not the chart's, for the widget's default handling.
    bool Press(QMouseEvent* event);
    bool Move(QMouseEvent* event);
    bool Release(QMouseEvent* event);
    void Leave();
    // CrossWire was switched: an off switch takes the cross wire away.
    void CrossWireChanged();

    // The rubber band and the cross wire, in client coordinates. Both combine with the picture
    // (exclusive-or, inversion), so they leave no trace once they are no longer drawn.
    void DrawOverlays(QPainter& p) const;

    bool Zooming() const { return m_drag == Drag::Zoom; }
    bool MovingLegend() const { return m_drag == Drag::Legend; }
    bool RangesSaved() const { return m_rangesSaved; }
    QRect RubberBand() const { return m_band; }

private:
    enum class Drag { None, Zoom, Legend, MoveChart, ResizeChart };

    QPoint ToClient(const QPoint& widgetPos) const;
    void SaveRanges();
    void RestoreRanges();
    void ZoomTo(const QRect& r);

    TxyGraph& m_chart;
    Drag m_drag = Drag::None;
    QPoint m_pressPos;    // client coordinates
    QPoint m_pressGlobal; // for moving and resizing the chart
    QRect m_pressGeometry;
    QSize m_legendDragSize;
    QRect m_band; // rubber band, client coordinates; null when none
    bool m_crossShown = false;
    QPoint m_crossPos;
    // The ranges before the first zoom, kept until a restore.
    struct SavedRange {
        bool AutoSizing = false;
        double Min = 0.0;
        double Max = 1.0;
    };
    SavedRange m_saved[3];
    bool m_rangesSaved = false;
};
