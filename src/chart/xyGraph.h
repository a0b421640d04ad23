#pragma once
// TxyGraph, the x-y chart control: numbered series of points sorted by x, drawn as lines and
// markers against an X axis and two Y axes, with titles, tick labels, gridlines and a legend.
// It scales its axes to the data, paints itself on screen, on an image or on a printer page, and
// handles its own mouse zoom, legend dragging and moving/resizing within its parent.
//
// Property access follows one pattern: Name() reads, SetName(v) writes (the legend keeps its
// lower-case names: left(), setLeft(v)). Every setter repaints when the chart is plotting.

#include "AxisScaling.h"
#include "DataSeries.h"
#include "PrintService.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

class QPainter;
class TxyGraph;
class TSeries;
class TChartMouse;
class TTextCache;
struct TDrawLayout;

// Colours come in the platform's 0x00BBGGRR form in designs and data files.
QColor ColorFromBGR(unsigned bgr);
unsigned ColorToBGR(const QColor& c);

// Line styles by their stored codes.
enum TPenStyle { psSolid = 0, psDash = 1, psDot = 2, psDashDot = 3, psDashDotDot = 4, psClear = 5 };
Qt::PenStyle ToQtPenStyle(TPenStyle s);

enum TBorderStyle { bsNone, bsSingle };
enum TLegendStyle { lsAcross, lsDown };

// A font as designed: Height < 0 is the character height in pixels (-9 is 9 pixels); a positive
// height is taken the same way.
struct TFont {
    QString Name = QStringLiteral("Arial");
    int Height = -9;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    QColor Color = Qt::black;

    int PixelSize() const { return Height == 0 ? 1 : (Height < 0 ? -Height : Height); }
    QFont ToQFont() const;
    static TFont Arial(int height, bool bold = false, QColor color = Qt::black);
    bool operator==(const TFont&) const = default;
};

// The name under which charts put their data on the clipboard.
inline constexpr const char* kxyGraphClipboardFormat = "Internal xyGraph Format";
// Registers the chart clipboard format once per process (the application calls it at start-up)
// and returns its identifier; later calls return the same identifier.
int RegisterxyGraphClipboardFormat();
// Whether a format of that name was registered.
bool IsClipboardFormatRegistered(const QString& name);

// What the owned parts of a chart tell it. TxyGraph implements it; the parts know their chart
// only through this and its public interface.
class TChartHost {
public:
    // A property changed: rescale and repaint while plotting.
    virtual void PartChanged() = 0;
    // Min, Max or StepSize changed: as PartChanged, then OnRescale when the scales are valid.
    virtual void RangeChanged() = 0;
    // AllowDuplicates changed: every series takes the rule; always repaints.
    virtual void DuplicatesChanged(bool allowed) = 0;
    virtual void CrossWireChanged() = 0;
    // A series changed (kind as TDataSeries::kPointAdded ...), or went over its point limit.
    virtual void SeriesChanged(TSeries& series, int kind) = 0;
    virtual void TooManyPoints(TSeries& series) = 0;

protected:
    ~TChartHost() = default;
};

// The scaling state of a chart's three axes: settings and results (AxisScaling.h). The chart
// owns it; each TAxis edits its part, and a drawing works on it (or on a copy, for a page).
struct TChartScales {
    AxisScale X, Y, Y2;
    bool Valid = false; // all three axes are valid
};

class TAxis {
public:
    enum class Kind { X, Y, YSecond };

    // `scale` is the chart's scaling state of this axis.
    TAxis(TxyGraph& owner, Kind kind, AxisScale& scale);
    TAxis(const TAxis&) = delete;
    TAxis& operator=(const TAxis&) = delete;

    Kind AxisKind() const { return m_kind; }

    const QString& Title() const { return m_title; }
    void SetTitle(const QString& v);
    int LabelDecimals() const { return m_s.LabelDecimals; }
    void SetLabelDecimals(int v);
    bool AutoLabelDecimals() const { return m_s.AutoLabelDecimals; }
    void SetAutoLabelDecimals(bool v);
    int LogCycleDivisions() const { return m_s.LogCycleDivisions; }
    void SetLogCycleDivisions(int v);
    bool LogScale() const { return m_s.LogScale; }
    void SetLogScale(bool v);
    // Min, Max: turn AutoSizing off; StepSize: turns AutoStepping off.
    double Max() const { return m_s.Max; }
    void SetMax(double v);
    double Min() const { return m_s.Min; }
    void SetMin(double v);
    double StepSize() const { return m_s.StepSize; }
    void SetStepSize(double v);
    double MinScaleLength() const { return m_s.MinScaleLength; }
    void SetMinScaleLength(double v);
    bool ShowAsTime() const { return m_s.ShowAsTime; }
    void SetShowAsTime(bool v);
    const QString& DateTimeFormat() const { return m_dateTimeFormat; }
    void SetDateTimeFormat(const QString& v);
    Dateticks DateTickType() const { return m_s.DateTickType; }
    void SetDateTickType(Dateticks v);
    bool ShowAxis() const { return m_showAxis; }
    void SetShowAxis(bool v);
    bool Reversed() const { return m_reversed; }
    void SetReversed(bool v);
    TAxisOffsetType OffsetType() const { return m_offsetType; }
    void SetOffsetType(TAxisOffsetType v);
    double Offset() const { return m_offset; }
    void SetOffset(double v);
    bool Gridlines() const { return m_gridlines; }
    void SetGridlines(bool v);
    bool AutoSizing() const { return m_s.AutoSizing; }
    void SetAutoSizing(bool v);
    bool AutoStepping() const { return m_s.AutoStepping; }
    void SetAutoStepping(bool v);

    // Results of the last scaling.
    const AxisScale& Scaling() const { return m_s; }
    bool Valid() const { return m_s.Valid; }
    double ScaleFactor() const { return m_s.Scale; }
    double DataMin() const { return m_s.oMin; }
    double DataMax() const { return m_s.oMax; }

private:
    void Changed();
    void RangeChanged();

    TxyGraph& m_graph;
    Kind m_kind;
    AxisScale& m_s;
    QString m_title;
    QString m_dateTimeFormat = QStringLiteral("dd-mmm");
    bool m_showAxis = true;
    bool m_reversed = false;
    TAxisOffsetType m_offsetType = ao_Minimum;
    double m_offset = 0.0;
    bool m_gridlines = true;
};

class TDimensions {
public:
    struct Values {
        int LeftMargin = 40;
        int RightMargin = 15;
        int TopMargin = 30;
        int BottomMargin = 40;
        int TickLength = 4;
        int XAxisTitleOffset = 4;
        int XAxisLabelOffset = 2;
        int YAxisTitleOffset = 4;
        int YAxisLabelOffset = 2;
        int GraphTitleOffset = 7;
        int PrintXOffsetPct = 5;
        int PrintYOffsetPct = 20;
        int PrintScalePct = 90;
    };

    explicit TDimensions(TxyGraph& owner) : m_graph(owner) {}
    // All of them at once.
    const Values& AllValues() const { return m_v; }
    TDimensions(const TDimensions&) = delete;
    TDimensions& operator=(const TDimensions&) = delete;

    int LeftMargin() const { return m_v.LeftMargin; }
    void SetLeftMargin(int v);
    int RightMargin() const { return m_v.RightMargin; }
    void SetRightMargin(int v);
    int TopMargin() const { return m_v.TopMargin; }
    void SetTopMargin(int v);
    int BottomMargin() const { return m_v.BottomMargin; }
    void SetBottomMargin(int v);
    // 0 also switches the ticks off (Appearance().ShowTicks()).
    int TickLength() const { return m_v.TickLength; }
    void SetTickLength(int v);
    int XAxisTitleOffset() const { return m_v.XAxisTitleOffset; }
    void SetXAxisTitleOffset(int v);
    int XAxisLabelOffset() const { return m_v.XAxisLabelOffset; }
    void SetXAxisLabelOffset(int v);
    int YAxisTitleOffset() const { return m_v.YAxisTitleOffset; }
    void SetYAxisTitleOffset(int v);
    int YAxisLabelOffset() const { return m_v.YAxisLabelOffset; }
    void SetYAxisLabelOffset(int v);
    int GraphTitleOffset() const { return m_v.GraphTitleOffset; }
    void SetGraphTitleOffset(int v);
    // The print placement, in percent of the page; they only matter when printing.
    int PrintXOffsetPct() const { return m_v.PrintXOffsetPct; }
    void SetPrintXOffsetPct(int v);
    int PrintYOffsetPct() const { return m_v.PrintYOffsetPct; }
    void SetPrintYOffsetPct(int v);
    // Clamped to 20 ... 100.
    int PrintScalePct() const { return m_v.PrintScalePct; }
    void SetPrintScalePct(int v);

private:
    void Set(int& field, int v);

    TxyGraph& m_graph;
    Values m_v;
};

class TAppearance {
public:
    explicit TAppearance(TxyGraph& owner);
    TAppearance(const TAppearance&) = delete;
    TAppearance& operator=(const TAppearance&) = delete;

    // Also given to every existing series; always repaints.
    bool AllowDuplicates() const { return m_allowDuplicates; }
    void SetAllowDuplicates(bool v);
    QColor AxesColor() const { return m_axesColor; }
    void SetAxesColor(const QColor& v);
    QColor BackgroundColor() const { return m_backgroundColor; }
    void SetBackgroundColor(const QColor& v);
    QColor MarginColor() const { return m_marginColor; }
    void SetMarginColor(const QColor& v);
    bool PrintBkgndColor() const { return m_printBkgndColor; }
    void SetPrintBkgndColor(bool v);
    const QString& ErrorCaption() const { return m_errorCaption; }
    void SetErrorCaption(const QString& v);
    QColor GridColor() const { return m_gridColor; }
    void SetGridColor(const QColor& v);
    TPenStyle GridStyle() const { return m_gridStyle; }
    void SetGridStyle(TPenStyle v);
    bool ShowGraphLabels() const { return m_showGraphLabels; }
    void SetShowGraphLabels(bool v);
    bool PlotOffGraph() const { return m_plotOffGraph; }
    void SetPlotOffGraph(bool v);
    bool ShowMarks() const { return m_showMarks; }
    void SetShowMarks(bool v);
    bool ShowTicks() const { return m_showTicks; }
    void SetShowTicks(bool v);
    const QString& GraphTitle() const { return m_graphTitle; }
    void SetGraphTitle(const QString& v);
    // MinSteps is taken only when not 0 and below 0.4 x MaxSteps; MaxSteps only when above
    // 2.5 x MinSteps and at most 90. Other values are ignored.
    int MinSteps() const { return m_minSteps; }
    void SetMinSteps(int v);
    int MaxSteps() const { return m_maxSteps; }
    void SetMaxSteps(int v);
    const TFont& TitleFont() const { return m_titleFont; }
    void SetTitleFont(const TFont& v);
    const TFont& CaptionFont() const { return m_captionFont; }
    void SetCaptionFont(const TFont& v);
    const TFont& LabelFont() const { return m_labelFont; }
    void SetLabelFont(const TFont& v);
    bool CrossAtZero() const { return m_crossAtZero; }
    void SetCrossAtZero(bool v);
    QColor CrossColor() const { return m_crossColor; }
    void SetCrossColor(const QColor& v);
    int Crosslength() const { return m_crosslength; }
    void SetCrosslength(int v);
    bool PrintLineStyle() const { return m_printLineStyle; }
    void SetPrintLineStyle(bool v);
    bool PreventFlicker() const { return m_preventFlicker; }
    void SetPreventFlicker(bool v);
    double MinPointClearance() const { return m_minPointClearance; }
    void SetMinPointClearance(double v);
    bool CrossWire() const { return m_crossWire; }
    void SetCrossWire(bool v);

    StepLimits Limits() const { return {m_minSteps, m_maxSteps}; }

private:
    void Changed();

    TxyGraph& m_graph;
    bool m_allowDuplicates = false;
    QColor m_axesColor = Qt::black;
    QColor m_backgroundColor = Qt::white;
    QColor m_marginColor = Qt::white;
    bool m_printBkgndColor = false;
    QString m_errorCaption = QStringLiteral("MAX/MIN VALUES INCONSISTENT");
    QColor m_gridColor = QColor(0xC0, 0xC0, 0xC0);
    TPenStyle m_gridStyle = psDot;
    bool m_showGraphLabels = true;
    bool m_plotOffGraph = false;
    bool m_showMarks = false;
    bool m_showTicks = true;
    QString m_graphTitle;
    int m_minSteps = 5;
    int m_maxSteps = 50;
    TFont m_titleFont, m_captionFont, m_labelFont;
    bool m_crossAtZero = true;
    QColor m_crossColor = Qt::red;
    int m_crosslength = 4;
    bool m_printLineStyle = true;
    bool m_preventFlicker = false;
    double m_minPointClearance = 0.0;
    bool m_crossWire = false;
};

class TLegend {
public:
    explicit TLegend(TxyGraph& owner);
    TLegend(const TLegend&) = delete;
    TLegend& operator=(const TLegend&) = delete;

    bool visible() const { return m_visible; }
    void setVisible(bool v);
    QColor color() const { return m_color; }
    void setColor(const QColor& v);
    TBorderStyle borderStyle() const { return m_borderStyle; }
    void setBorderStyle(TBorderStyle v);
    TLegendStyle Layout() const { return m_layout; }
    void SetLayout(TLegendStyle v);
    int top() const { return m_top; }
    void setTop(int v);
    int left() const { return m_left; }
    void setLeft(int v);
    int width() const { return m_width; }
    void setWidth(int v);
    int height() const { return m_height; }
    void setHeight(int v);
    const TFont& font() const { return m_font; }
    void setFont(const TFont& v);
    int SymbolSpace() const { return m_symbolSpace; }
    void SetSymbolSpace(int v);
    int XMargin() const { return m_xMargin; }
    void SetXMargin(int v);
    int YMargin() const { return m_yMargin; }
    void SetYMargin(int v);

private:
    template <class T> void Set(T& field, const T& v);

    TxyGraph& m_graph;
    bool m_visible = false;
    QColor m_color = Qt::white;
    TBorderStyle m_borderStyle = bsNone;
    TLegendStyle m_layout = lsAcross;
    int m_top = 10;
    int m_left = 10;
    int m_width = 180;
    int m_height = 20;
    TFont m_font;
    int m_symbolSpace = 20;
    int m_xMargin = 10;
    int m_yMargin = 5;
};

// A drawable series. Created only by TxyGraph::GetSeries and owned by its chart.
class TSeries : public TDataSeries {
public:
    TSeries(TxyGraph& owner, int index);
    ~TSeries() override;

    TxyGraph& Owner() const { return m_graph; }
    int Index() const { return m_index; }

    const QString& SeriesName() const { return m_name; }
    void SetSeriesName(const QString& v);
    bool Active() const { return m_active; }
    void SetActive(bool v);
    bool DrawLine() const { return m_drawLine; }
    void SetDrawLine(bool v);
    bool DrawPoints() const { return m_drawPoints; }
    void SetDrawPoints(bool v);
    bool FillPoints() const { return m_fillPoints; }
    void SetFillPoints(bool v);
    QColor LineColor() const { return m_lineColor; }
    void SetLineColor(const QColor& v);
    QColor PointColor() const { return m_pointColor; }
    void SetPointColor(const QColor& v);
    // 0 square, 1 circle, 2 diamond, 3 cross, 4 steps, 5 bars.
    int PointShape() const { return m_pointShape; }
    void SetPointShape(int v);
    TPenStyle LineStyle() const { return m_lineStyle; }
    void SetLineStyle(TPenStyle v);
    // Marker size in pixels; except for steps, at least 2 and even.
    int PointStyle() const { return m_pointStyle; }
    void SetPointStyle(int v);
    // True when drawn against YAxis, false for YAxis_Second.
    bool FirstAxis() const { return m_firstAxis; }
    void SetFirstAxis(bool v);
    // 0 none, 1 name, 2 name and marker, 3 name and line, 4 name, line and marker.
    int ShowInLegend() const { return m_showInLegend; }
    void SetShowInLegend(int v);
    bool Highlighted() const { return m_highlighted; }
    void SetHighlighted(bool v);
    // Bars (shape 5) run from x + BarOffset to x + BarOffset + BarWidth.
    double BarWidth() const { return m_barWidth; }
    void SetBarWidth(double v);
    double BarOffset() const { return m_barOffset; }
    void SetBarOffset(double v);

protected:
    void Notify(int kind) override;
    void TooManyPoints() override;

private:
    void Attribute();
    void NormaliseSize();

    TxyGraph& m_graph;
    int m_index;
    QString m_name;
    bool m_active = true;
    bool m_drawLine = true;
    bool m_drawPoints = true;
    bool m_fillPoints = true;
    QColor m_lineColor;
    QColor m_pointColor;
    int m_pointShape = 1;
    TPenStyle m_lineStyle = psSolid;
    int m_pointStyle = 4;
    bool m_firstAxis = true;
    int m_showInLegend = 0;
    bool m_highlighted = false;
    double m_barWidth = 0.0;
    double m_barOffset = 0.0;
};

class TxyGraph : public QWidget, public TChartHost {
    Q_OBJECT

public:
    explicit TxyGraph(QWidget* parent = nullptr);
    ~TxyGraph() override;

    // Owned parts.
    TAxis& XAxis() { return *m_xAxis; }
    TAxis& YAxis() { return *m_yAxis; }
    TAxis& YAxis_Second() { return *m_yAxis2; }
    const TAxis& XAxis() const { return *m_xAxis; }
    const TAxis& YAxis() const { return *m_yAxis; }
    const TAxis& YAxis_Second() const { return *m_yAxis2; }
    TDimensions& Dimensions() { return *m_dimensions; }
    const TDimensions& Dimensions() const { return *m_dimensions; }
    TAppearance& Appearance() { return *m_appearance; }
    const TAppearance& Appearance() const { return *m_appearance; }
    TLegend& Legend() { return *m_legend; }
    const TLegend& Legend() const { return *m_legend; }

    // Series n, created with its initial looks when there is none yet.
    TSeries& GetSeries(int index);
    // Series n when it exists, else nullptr; creates nothing.
    TSeries* FindSeries(int index) const;
    // Unlinks the series, calls OnDeleteSeries and frees it.
    void DestroySeries(TSeries& series);
    void DestroySeries(TSeries* series);
    void DestroySeries(int index);
    int SeriesCount() const { return static_cast<int>(m_series.size()); }
    // The series in ascending index order.
    std::vector<TSeries*> SeriesList() const;
    int HighestSeriesIndex() const { return m_highestIndex; }

    // While false nothing draws the series; setting true draws everything once.
    bool Plotting() const { return m_plotting; }
    void SetPlotting(bool v);
    // Moving and resizing by dragging the margin corners.
    bool DragAllowed() const { return m_dragAllowed; }
    void SetDragAllowed(bool v) { m_dragAllowed = v; }
    // The control's own visibility flag (a hidden parent does not clear it).
    bool Visible() const { return !isHidden(); }
    void SetVisible(bool v) { setVisible(v); }

    // The panel: its colour (used for unfilled markers and rubber bands), border and font.
    QColor Color() const { return m_color; }
    void SetColor(const QColor& c);
    TBorderStyle BorderStyle() const { return m_borderStyle; }
    void SetBorderStyle(TBorderStyle b);
    const TFont& ChartFont() const { return m_chartFont; }
    void SetChartFont(const TFont& f);
    // Width of the border on each side, and the drawing area inside it.
    int BorderWidth() const { return m_borderStyle == bsSingle ? 1 : 0; }
    QSize ClientSize() const;

    // Gathers the data ranges and scales the axes now, as a full draw would. Every setter does
    // this while plotting, so the ranges are settled before the deferred screen paint (see
    // PartChanged in the implementation).
    void Rescale();
    bool ScalesValid() const { return m_scales.Valid; }

    // Conversions between values and pixels of the client area, as last drawn on screen.
    int XToPixel(double x) const;
    int YToPixel(double y, bool secondAxis = false) const;
    double PixelToX(int px) const;
    double PixelToY(int py, bool secondAxis = false) const;
    QRect PlotArea() const;

    // Prints on one page of a job of its own. Returns false when no job could be started;
    // an error raised while drawing is passed on after the screen state is restored.
    bool Print();
    bool Print(TPrintService& service);
    bool Print(const QString& pdfFileWhenNoPrinter);
    // The service used by Print(); by default the platform printer with PrintFallbackFile().
    void SetPrintService(std::shared_ptr<TPrintService> service) { m_printService = std::move(service); }
    std::shared_ptr<TPrintService> PrintService() const { return m_printService; }
    QString PrintFallbackFile() const;
    void SetPrintFallbackFile(const QString& f) { m_printFallbackFile = f; }
    bool Printing() const { return m_printing; }

    // The chart as on screen (border included), without needing a window.
    QImage RenderImage();
    bool SavePng(const QString& fileName);
    // Draws the chart as on screen with its top-left corner at `at`.
    void Render(QPainter& painter, QPoint at);
    // Several charts in one picture, each at its position within the common parent.
    static QImage RenderCharts(const std::vector<TxyGraph*>& charts, const QColor& background = Qt::white);

    // Events. The sender is the chart for OnNewSeries and OnTooManyPoints, the series for
    // OnDeleteSeries and OnLogError; the int is the series index.
    std::function<void(TxyGraph&, int)> OnNewSeries;
    std::function<void(TSeries&, int)> OnDeleteSeries;
    std::function<void(TxyGraph&, int)> OnTooManyPoints;
    std::function<void(TSeries&, int)> OnLogError;
    std::function<void(TxyGraph&)> OnRescale;
    std::function<void(TxyGraph&)> OnScaleError; // kept for designs; nothing calls it
    std::function<void(TxyGraph&)> OnWantDesigner;
    std::function<void(TxyGraph&, QPainter&)> OnPaintStart;
    std::function<void(TxyGraph&, QPainter&)> OnPaintEnd;

    // The X tick labels of the last draw, where they were drawn (overlapping ones are left out).
    struct DrawnLabel {
        QString Text;
        QRect Box;
    };
    const std::vector<DrawnLabel>& DrawnXLabels() const { return m_drawnXLabels; }

    // Mouse state, for tools and tests.
    bool Zooming() const;
    bool MovingLegend() const;
    bool RangesSaved() const;
    QRect RubberBand() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    // TChartHost: the parts' changes.
    void PartChanged() override;
    void RangeChanged() override;
    void DuplicatesChanged(bool allowed) override;
    void CrossWireChanged() override;
    void SeriesChanged(TSeries& s, int kind) override;
    void TooManyPoints(TSeries& s) override;

    // Scaling and drawing (xyGraphDraw.cpp; the drawing itself is ChartDrawing.h).
    void MarkDirty();
    TDrawLayout ScreenLayout() const;
    void ScaleAxes(TChartScales& scales, const TDrawLayout& layout, bool screen);
    void FullDraw(QPainter& p, const TDrawLayout& layout, TChartScales& scales, bool screen);
    void PaintPanel(QPainter& p);
    void RenderPicture();
    void PartialDraw();

    // Printing (xyGraphPrint.cpp).
    void PrintPage(QPaintDevice& page, TPrintService& service);

    TChartScales m_scales; // before the axes, which refer to it
    std::unique_ptr<TAxis> m_xAxis, m_yAxis, m_yAxis2;
    std::unique_ptr<TDimensions> m_dimensions;
    std::unique_ptr<TAppearance> m_appearance;
    std::unique_ptr<TLegend> m_legend;
    std::vector<std::unique_ptr<TSeries>> m_series; // ascending index
    int m_highestIndex = 0;

    bool m_plotting = true;
    bool m_dragAllowed = true;
    QColor m_color = Qt::white;
    TBorderStyle m_borderStyle = bsSingle;
    TFont m_chartFont;

    bool m_printing = false;
    std::vector<DrawnLabel> m_drawnXLabels;
    // The last rescaling is still current (nothing changed since) for a drawing of this size.
    bool m_scalingFresh = false;
    QSize m_scaledSize;
    bool m_inRescale = false;
    bool m_inPaint = false;
    int m_screenDpi = 96;

    std::unique_ptr<TTextCache> m_textCache;
    // The last full picture of the widget; the mouse overlays are drawn over it.
    QImage m_picture;
    bool m_pictureDirty = true;

    std::shared_ptr<TPrintService> m_printService;
    QString m_printFallbackFile;

    std::unique_ptr<TChartMouse> m_mouse;
};
