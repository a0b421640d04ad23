#pragma once
// The drawing side of TxyGraph, apart from the widget: the scaling pass and one full draw of a
// chart on any painter (screen, image or printer page).
//
// - TDrawLayout says where the picture goes and how large its parts are: the chart's own sizes
//   on screen, the page placement and scaled sizes and fonts on a printer page.
// - TChartScales (xyGraph.h) is the axes' scaling the drawing works on: the chart's own on
//   screen, a copy for a page, so that printing leaves the screen state alone.
// - TScaleDraw carries the painter, the layout, pens and texts for one drawing. It is shared by
//   the axes, which it draws with one routine for both orientations, and by the plot items.
// - The plot items (TSeriesPlot, TOriginCross, TLegendBox) draw themselves with a TScaleDraw,
//   placing values through ScaleMaps.
// - TChartDrawing puts the layers together in their order.
// The chart is read through its public interface only.

#include "AxisScaling.h"
#include "xyGraph.h"

#include <QColor>
#include <QFont>
#include <QHash>
#include <QPen>
#include <QRect>
#include <QStaticText>
#include <QString>

#include <memory>
#include <utility>
#include <vector>

class QPaintDevice;
class QPainter;

// Where one drawing goes and how large its parts are.
struct TDrawLayout {
    double Scale = 1.0; // applied to marker sizes, the legend box and the cross
    int XOffset = 0;    // the picture's top-left corner on its target
    int YOffset = 0;
    int Width = 0; // the picture's size
    int Height = 0;
    bool Printing = false;
    int PenWidth = 1;
    // Margins, tick length and text offsets (the print percentages are not used here).
    TDimensions::Values Dim;
    TFont CaptionFont, TitleFont, LabelFont, LegendFont;

    int PlotLeft() const { return Dim.LeftMargin + XOffset; }
    int PlotTop() const { return Dim.TopMargin + YOffset; }
    int PlotRight() const { return Width - Dim.RightMargin + XOffset; }
    int PlotBottom() const { return Height - Dim.BottomMargin + YOffset; }
    // Its right and bottom edges included.
    QRect PlotArea() const { return QRect(QPoint(PlotLeft(), PlotTop()), QPoint(PlotRight(), PlotBottom())); }

    // The chart on screen: its own sizes, as large as the control.
    static TDrawLayout Screen(const TxyGraph& chart);
    // The maps of the three axes.
    ScaleMap XMap(const TChartScales& s) const { return ScaleMap(s.X, false, Dim.LeftMargin, XOffset); }
    ScaleMap YMap(const TChartScales& s) const { return ScaleMap(s.Y, true, Dim.TopMargin, YOffset); }
    ScaleMap Y2Map(const TChartScales& s) const { return ScaleMap(s.Y2, true, Dim.TopMargin, YOffset); }
};

// Gathers the data ranges of the active series (when plotting) and scales the three axes for the
// layout's plot area. Returns true when an autosize moved a range away from its data range.
bool ScaleChart(const TxyGraph& chart, TChartScales& scales, const TDrawLayout& layout);

// Laying a text out costs more than drawing it, and the labels of a chart rarely change between
// draws: the layouts are kept, by font and text, with the font's measures on each resolution of
// device. A drawing looks a font's table up once after setting the font: working out a font's
// key, or measuring it, costs more than drawing a label.
class TTextCache {
public:
    class Table {
    public:
        const QStaticText& Get(const QFont& font, const QString& text);
        // Height and ascent of the font on a device of that resolution.
        std::pair<int, int> Metrics(const QFont& font, const QPaintDevice* device);

    private:
        QHash<QString, QStaticText> m_texts;
        QHash<qint64, std::pair<int, int>> m_metrics;
    };
    std::shared_ptr<Table> TableFor(const QFont& font);

private:
    QHash<QString, std::shared_ptr<Table>> m_tables;
};

// One axis as one drawing sees it.
struct TAxisView {
    const TAxis& Axis;      // its settings: title, placement, gridlines, ticks side, date format
    AxisScale& Scale;       // its scaling; choosing the drawing step may update it
    const ScaleMap& Along;  // its values to pixels
    const ScaleMap& Across; // values to pixels of the axis it is placed against
    bool Horizontal;
};

// The painter, the layout, pens and texts of one drawing.
class TScaleDraw {
public:
    TScaleDraw(QPainter& p, const TDrawLayout& layout, const TAppearance& appearance, TTextCache& texts);

    QPainter& Painter() { return m_p; }
    const TDrawLayout& Layout() const { return m_layout; }
    const TAppearance& Appearance() const { return m_app; }
    // The canvas pen width of the current stage of the drawing.
    int PenWidth() const { return m_penWidth; }
    void SetPenWidth(int w) { m_penWidth = w; }

    static QPen Pen(const QColor& c, int width, Qt::PenStyle style = Qt::SolidLine);
    void SetFont(const TFont& f);
    int TextWidth(const QString& text);
    // Height and ascent of the painter's font.
    int TextHeight() { return FontMetrics().first; }
    int TextAscent() { return FontMetrics().second; }
    // Draws text with its top-left corner at (x, y), as label and title positions are given.
    void TextAt(int x, int y, const QString& text);
    // Titles sit on a box of the margin colour, unless the page is printed without background.
    void TitleBackground();

    // Gridlines, ticks, labels, line and title of one axis, either orientation. Returns the
    // labels drawn, with their boxes.
    std::vector<TxyGraph::DrawnLabel> DrawAxis(const TAxisView& axis);
    // The chart title over the plot area.
    void DrawGraphTitle(const QString& text);
    // A marker of shape 0 ... 3 (larger codes draw a square) with half-size r, in the painter's
    // pen and brush.
    static void DrawMarker(QPainter& p, int shape, int x, int y, int r);

private:
    // The table of the painter's font (raster targets).
    TTextCache::Table& Texts();
    // The cached layout of a text in the painter's font.
    const QStaticText& TextLayout(const QString& text);
    std::pair<int, int> FontMetrics();

    QPainter& m_p;
    const TDrawLayout& m_layout;
    const TAppearance& m_app;
    TTextCache& m_texts;
    int m_penWidth = 1;
    bool m_raster;
    // The painter's font when a text was first laid out since it was set, and its table.
    QFont m_font;
    std::shared_ptr<TTextCache::Table> m_table;
};

// A series: its line, clipped to the plot area, and its markers.
class TSeriesPlot {
public:
    TSeriesPlot(TSeries& series, const ScaleMap& x, const ScaleMap& y) : m_s(series), m_x(x), m_y(y) {}
    void Draw(TScaleDraw& d) const;

private:
    TSeries& m_s;
    const ScaleMap& m_x;
    const ScaleMap& m_y;
};

// The small cross at the origin.
class TOriginCross {
public:
    TOriginCross(const ScaleMap& x, const ScaleMap& y) : m_x(x), m_y(y) {}
    void Draw(TScaleDraw& d) const;

private:
    const ScaleMap& m_x;
    const ScaleMap& m_y;
};

// The legend box with an entry for each series shown in it.
class TLegendBox {
public:
    // `paper` fills the markers of series drawn unfilled: the chart's colour.
    TLegendBox(const TLegend& legend, std::vector<const TSeries*> entries, const QColor& paper)
        : m_legend(legend), m_entries(std::move(entries)), m_paper(paper) {}
    void Draw(TScaleDraw& d) const;

private:
    const TLegend& m_legend;
    std::vector<const TSeries*> m_entries;
    QColor m_paper;
};

// One full draw after the scaling: background, axes, chart title, then (with valid scales) the
// cross, and (while plotting) the series and the legend.
class TChartDrawing {
public:
    TChartDrawing(TxyGraph& chart, const TDrawLayout& layout, TChartScales& scales, TTextCache& texts);
    // Returns true when the drawing went through to the legend, false when it stopped early
    // (invalid scales, not plotting).
    bool Draw(QPainter& p);
    // Only the series, over an existing picture.
    void DrawSeriesLayer(QPainter& p);
    // The X labels the drawing drew, handed over.
    std::vector<TxyGraph::DrawnLabel> TakeDrawnXLabels() { return std::move(m_xLabels); }

private:
    void DrawBackground(QPainter& p);
    void DrawSeries(TScaleDraw& d);

    TxyGraph& m_chart;
    const TDrawLayout& m_layout;
    TChartScales& m_scales;
    TTextCache& m_texts;
    ScaleMap m_x, m_y, m_y2;
    std::vector<TxyGraph::DrawnLabel> m_xLabels;
};
