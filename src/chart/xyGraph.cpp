// The chart model: owned parts, their properties and setter rules, series and their points.
// The parts report their changes through TChartHost. Scaling and the widget's painting live in
// xyGraphDraw.cpp, the drawing itself in ChartDrawing.cpp, printing in xyGraphPrint.cpp, the
// mouse in ChartMouse.cpp.

#include "xyGraph.h"

#include "ChartDrawing.h"
#include "ChartMouse.h"

#include <QMouseEvent>
#include <QResizeEvent>

#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>

namespace {

const char* const kGraphTitle = "TxyGraph 1.0";

int Clamp16(int v) {
    return std::clamp(v, 0, 65535);
}

// The chart as its parts see it.
TChartHost& Host(TxyGraph& chart) {
    return chart;
}

} // namespace

QColor ColorFromBGR(unsigned bgr) {
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

unsigned ColorToBGR(const QColor& c) {
    return static_cast<unsigned>(c.red()) | (static_cast<unsigned>(c.green()) << 8) |
           (static_cast<unsigned>(c.blue()) << 16);
}

Qt::PenStyle ToQtPenStyle(TPenStyle s) {
    switch (s) {
    case psSolid:
        return Qt::SolidLine;
    case psDash:
        return Qt::DashLine;
    case psDot:
        return Qt::DotLine;
    case psDashDot:
        return Qt::DashDotLine;
    case psDashDotDot:
        return Qt::DashDotDotLine;
    case psClear:
        return Qt::NoPen;
    }
    return Qt::SolidLine;
}

QFont TFont::ToQFont() const {
    QFont f(Name);
    f.setPixelSize(PixelSize());
    f.setBold(Bold);
    f.setItalic(Italic);
    f.setUnderline(Underline);
    return f;
}

TFont TFont::Arial(int height, bool bold, QColor color) {
    TFont f;
    f.Height = height;
    f.Bold = bold;
    f.Color = color;
    return f;
}

// A process-wide table stands in for the platform's clipboard format registry.
namespace {
std::mutex& RegistryMutex() {
    static std::mutex m;
    return m;
}
std::map<QString, int>& Registry() {
    static std::map<QString, int> r;
    return r;
}
} // namespace

int RegisterxyGraphClipboardFormat() {
    std::lock_guard<std::mutex> lock(RegistryMutex());
    auto& r = Registry();
    const QString name = QString::fromLatin1(kxyGraphClipboardFormat);
    auto it = r.find(name);
    if (it != r.end()) return it->second;
    // Private formats are numbered from 0xC000 up, as private clipboard formats usually are.
    const int id = 0xC000 + static_cast<int>(r.size());
    r.emplace(name, id);
    return id;
}

bool IsClipboardFormatRegistered(const QString& name) {
    std::lock_guard<std::mutex> lock(RegistryMutex());
    return Registry().count(name) != 0;
}

// --- TAxis ------------------------------------------------------------------------------------

TAxis::TAxis(TxyGraph& owner, Kind kind, AxisScale& scale) : m_graph(owner), m_kind(kind), m_s(scale) {
    switch (kind) {
    case Kind::X:
        m_title = QStringLiteral("X axis");
        break;
    case Kind::Y:
        m_title = QStringLiteral("Y axis");
        break;
    case Kind::YSecond:
        m_title = QStringLiteral("Second Y axis");
        m_s.AutoLabelDecimals = false;
        m_showAxis = false;
        m_reversed = true;
        m_offsetType = ao_Maximum;
        m_gridlines = false;
        break;
    }
    ::SetLogCycleDivisions(m_s, 2);
}

void TAxis::Changed() {
    Host(m_graph).PartChanged();
}

void TAxis::SetTitle(const QString& v) {
    m_title = v;
    Changed();
}
void TAxis::SetLabelDecimals(int v) {
    m_s.LabelDecimals = std::clamp(v, 0, 15);
    Changed();
}
void TAxis::SetAutoLabelDecimals(bool v) {
    m_s.AutoLabelDecimals = v;
    Changed();
}
void TAxis::SetLogCycleDivisions(int v) {
    ::SetLogCycleDivisions(m_s, Clamp16(v));
    Changed();
}
void TAxis::SetLogScale(bool v) {
    m_s.LogScale = v;
    Changed();
}

void TAxis::RangeChanged() {
    Host(m_graph).RangeChanged();
}

void TAxis::SetMax(double v) {
    m_s.AutoSizing = false;
    if (v == m_s.Max) return;
    m_s.Max = v;
    RangeChanged();
}
void TAxis::SetMin(double v) {
    m_s.AutoSizing = false;
    if (v == m_s.Min) return;
    m_s.Min = v;
    RangeChanged();
}
void TAxis::SetStepSize(double v) {
    m_s.AutoStepping = false;
    if (v == m_s.StepSize) return;
    m_s.StepSize = v;
    RangeChanged();
}
void TAxis::SetMinScaleLength(double v) {
    m_s.MinScaleLength = std::isfinite(v) ? v : 0.0;
    Changed();
}
void TAxis::SetShowAsTime(bool v) {
    m_s.ShowAsTime = v;
    Changed();
}
void TAxis::SetDateTimeFormat(const QString& v) {
    m_dateTimeFormat = v;
    Changed();
}
void TAxis::SetDateTickType(Dateticks v) {
    m_s.DateTickType = v;
    Changed();
}
void TAxis::SetShowAxis(bool v) {
    m_showAxis = v;
    Changed();
}
void TAxis::SetReversed(bool v) {
    m_reversed = v;
    Changed();
}
void TAxis::SetOffsetType(TAxisOffsetType v) {
    m_offsetType = v;
    Changed();
}
void TAxis::SetOffset(double v) {
    m_offset = v;
    Changed();
}
void TAxis::SetGridlines(bool v) {
    m_gridlines = v;
    Changed();
}
void TAxis::SetAutoSizing(bool v) {
    m_s.AutoSizing = v;
    Changed();
}
void TAxis::SetAutoStepping(bool v) {
    m_s.AutoStepping = v;
    Changed();
}

// --- TDimensions ------------------------------------------------------------------------------

void TDimensions::Set(int& field, int v) {
    field = Clamp16(v);
    Host(m_graph).PartChanged();
}
void TDimensions::SetLeftMargin(int v) {
    Set(m_v.LeftMargin, v);
}
void TDimensions::SetRightMargin(int v) {
    Set(m_v.RightMargin, v);
}
void TDimensions::SetTopMargin(int v) {
    Set(m_v.TopMargin, v);
}
void TDimensions::SetBottomMargin(int v) {
    Set(m_v.BottomMargin, v);
}
void TDimensions::SetTickLength(int v) {
    m_v.TickLength = Clamp16(v);
    if (m_v.TickLength == 0) m_graph.Appearance().SetShowTicks(false);
    Host(m_graph).PartChanged();
}
void TDimensions::SetXAxisTitleOffset(int v) {
    m_v.XAxisTitleOffset = v;
    Host(m_graph).PartChanged();
}
void TDimensions::SetXAxisLabelOffset(int v) {
    m_v.XAxisLabelOffset = v;
    Host(m_graph).PartChanged();
}
void TDimensions::SetYAxisTitleOffset(int v) {
    m_v.YAxisTitleOffset = v;
    Host(m_graph).PartChanged();
}
void TDimensions::SetYAxisLabelOffset(int v) {
    m_v.YAxisLabelOffset = v;
    Host(m_graph).PartChanged();
}
void TDimensions::SetGraphTitleOffset(int v) {
    m_v.GraphTitleOffset = v;
    Host(m_graph).PartChanged();
}
void TDimensions::SetPrintXOffsetPct(int v) {
    m_v.PrintXOffsetPct = Clamp16(v);
}
void TDimensions::SetPrintYOffsetPct(int v) {
    m_v.PrintYOffsetPct = Clamp16(v);
}
void TDimensions::SetPrintScalePct(int v) {
    m_v.PrintScalePct = std::clamp(v, 20, 100);
}

// --- TAppearance ------------------------------------------------------------------------------

TAppearance::TAppearance(TxyGraph& owner)
    : m_graph(owner), m_graphTitle(QString::fromLatin1(kGraphTitle)), m_titleFont(owner.ChartFont()),
      m_captionFont(owner.ChartFont()), m_labelFont(owner.ChartFont()) {
    m_backgroundColor = owner.Color();
    m_marginColor = owner.Color();
}

void TAppearance::Changed() {
    Host(m_graph).PartChanged();
}

void TAppearance::SetAllowDuplicates(bool v) {
    m_allowDuplicates = v;
    Host(m_graph).DuplicatesChanged(v);
}
void TAppearance::SetAxesColor(const QColor& v) {
    m_axesColor = v;
    Changed();
}
void TAppearance::SetBackgroundColor(const QColor& v) {
    m_backgroundColor = v;
    Changed();
}
void TAppearance::SetMarginColor(const QColor& v) {
    m_marginColor = v;
    Changed();
}
void TAppearance::SetPrintBkgndColor(bool v) {
    m_printBkgndColor = v;
    Changed();
}
void TAppearance::SetErrorCaption(const QString& v) {
    m_errorCaption = v;
    Changed();
}
void TAppearance::SetGridColor(const QColor& v) {
    m_gridColor = v;
    Changed();
}
void TAppearance::SetGridStyle(TPenStyle v) {
    m_gridStyle = v;
    Changed();
}
void TAppearance::SetShowGraphLabels(bool v) {
    m_showGraphLabels = v;
    Changed();
}
void TAppearance::SetPlotOffGraph(bool v) {
    m_plotOffGraph = v;
    Changed();
}
void TAppearance::SetShowMarks(bool v) {
    m_showMarks = v;
    Changed();
}
void TAppearance::SetShowTicks(bool v) {
    m_showTicks = v;
    Changed();
}
void TAppearance::SetGraphTitle(const QString& v) {
    m_graphTitle = v;
    Changed();
}
void TAppearance::SetMinSteps(int v) {
    if (v <= 0 || v > 65535 || !(v < 0.4 * m_maxSteps)) return;
    m_minSteps = v;
    Changed();
}
void TAppearance::SetMaxSteps(int v) {
    if (!(v > 2.5 * m_minSteps) || v > 90) return;
    m_maxSteps = v;
    Changed();
}
void TAppearance::SetTitleFont(const TFont& v) {
    m_titleFont = v;
    Changed();
}
void TAppearance::SetCaptionFont(const TFont& v) {
    m_captionFont = v;
    Changed();
}
void TAppearance::SetLabelFont(const TFont& v) {
    m_labelFont = v;
    Changed();
}
void TAppearance::SetCrossAtZero(bool v) {
    m_crossAtZero = v;
    Changed();
}
void TAppearance::SetCrossColor(const QColor& v) {
    m_crossColor = v;
    Changed();
}
void TAppearance::SetCrosslength(int v) {
    m_crosslength = Clamp16(v);
    Changed();
}
void TAppearance::SetPrintLineStyle(bool v) {
    m_printLineStyle = v;
    Changed();
}
void TAppearance::SetPreventFlicker(bool v) {
    m_preventFlicker = v;
    Changed();
}
void TAppearance::SetMinPointClearance(double v) {
    m_minPointClearance = std::isfinite(v) && v > 0.0 ? v : 0.0;
    Changed();
}
void TAppearance::SetCrossWire(bool v) {
    m_crossWire = v;
    Host(m_graph).CrossWireChanged();
    Changed();
}

// --- TLegend ----------------------------------------------------------------------------------

TLegend::TLegend(TxyGraph& owner)
    : m_graph(owner), m_color(owner.Appearance().BackgroundColor()), m_width(owner.width() - 20),
      m_font(owner.ChartFont()) {}

template <class T> void TLegend::Set(T& field, const T& v) {
    field = v;
    Host(m_graph).PartChanged();
}
void TLegend::setVisible(bool v) {
    Set(m_visible, v);
}
void TLegend::setColor(const QColor& v) {
    Set(m_color, v);
}
void TLegend::setBorderStyle(TBorderStyle v) {
    Set(m_borderStyle, v);
}
void TLegend::SetLayout(TLegendStyle v) {
    Set(m_layout, v);
}
void TLegend::setTop(int v) {
    Set(m_top, v);
}
void TLegend::setLeft(int v) {
    Set(m_left, v);
}
void TLegend::setWidth(int v) {
    Set(m_width, std::max(0, v));
}
void TLegend::setHeight(int v) {
    Set(m_height, std::max(0, v));
}
void TLegend::setFont(const TFont& v) {
    Set(m_font, v);
}
void TLegend::SetSymbolSpace(int v) {
    Set(m_symbolSpace, std::max(0, v));
}
void TLegend::SetXMargin(int v) {
    Set(m_xMargin, v);
}
void TLegend::SetYMargin(int v) {
    Set(m_yMargin, v);
}

// --- TSeries ----------------------------------------------------------------------------------

TSeries::TSeries(TxyGraph& owner, int index) : m_graph(owner), m_index(index) {
    m_name = QStringLiteral("Series ") + QString::number(index);
    m_fillPoints = index < 5;
    switch (index) {
    case 2:
        m_pointColor = ColorFromBGR(0xFF0000);
        break;
    case 3:
        m_pointColor = ColorFromBGR(0x0000FF);
        break;
    case 4:
        m_pointColor = ColorFromBGR(0x808080);
        break;
    case 5:
        m_pointColor = ColorFromBGR(0x000080);
        break;
    default:
        m_pointColor = ColorFromBGR(0x008000);
        break;
    }
    m_lineColor = m_pointColor;
    switch (index) {
    case 1:
    case 5:
        m_pointShape = 0;
        break;
    case 3:
        m_pointShape = 2;
        break;
    case 4:
        m_pointShape = 3;
        break;
    default:
        m_pointShape = 1;
        break;
    }
    switch (index) {
    case 2:
        m_lineStyle = psDash;
        break;
    case 3:
        m_lineStyle = psDot;
        break;
    case 4:
        m_lineStyle = psDashDot;
        break;
    case 5:
        m_lineStyle = psDashDotDot;
        break;
    default:
        m_lineStyle = psSolid;
        break;
    }
    m_pointStyle = 4;
    // Set without notifying: the series is not linked into its chart yet.
    BeginUpdate();
    SetDuplicatesAllowed(owner.Appearance().AllowDuplicates());
    EndUpdate();
}

TSeries::~TSeries() = default;

void TSeries::Attribute() {
    Changed(kAttributeChanged);
}

void TSeries::NormaliseSize() {
    if (m_pointShape == 4) return;
    if (m_pointStyle < 2) m_pointStyle = 2;
    if (m_pointStyle % 2 != 0) ++m_pointStyle;
}

void TSeries::SetSeriesName(const QString& v) {
    m_name = v;
    Attribute();
}
void TSeries::SetActive(bool v) {
    m_active = v;
    Attribute();
}
void TSeries::SetDrawLine(bool v) {
    m_drawLine = v;
    Attribute();
}
void TSeries::SetDrawPoints(bool v) {
    m_drawPoints = v;
    Attribute();
}
void TSeries::SetFillPoints(bool v) {
    m_fillPoints = v;
    Attribute();
}
void TSeries::SetLineColor(const QColor& v) {
    m_lineColor = v;
    Attribute();
}
void TSeries::SetPointColor(const QColor& v) {
    m_pointColor = v;
    Attribute();
}
void TSeries::SetPointShape(int v) {
    m_pointShape = std::clamp(v, 0, 5);
    NormaliseSize();
    Attribute();
}
void TSeries::SetLineStyle(TPenStyle v) {
    m_lineStyle = v;
    Attribute();
}
void TSeries::SetPointStyle(int v) {
    m_pointStyle = Clamp16(v);
    NormaliseSize();
    Attribute();
}
void TSeries::SetFirstAxis(bool v) {
    m_firstAxis = v;
    Attribute();
}
void TSeries::SetShowInLegend(int v) {
    m_showInLegend = std::clamp(v, 0, 4);
    Attribute();
}
void TSeries::SetHighlighted(bool v) {
    m_highlighted = v;
    Attribute();
}
void TSeries::SetBarWidth(double v) {
    m_barWidth = std::isfinite(v) ? v : 0.0;
    Attribute();
}
void TSeries::SetBarOffset(double v) {
    m_barOffset = std::isfinite(v) ? v : 0.0;
    Attribute();
}

void TSeries::Notify(int kind) {
    Host(m_graph).SeriesChanged(*this, kind);
}
void TSeries::TooManyPoints() {
    Host(m_graph).TooManyPoints(*this);
}

// --- TxyGraph ---------------------------------------------------------------------------------

TxyGraph::TxyGraph(QWidget* parent)
    : QWidget(parent), m_textCache(std::make_unique<TTextCache>()),
      m_mouse(std::make_unique<TChartMouse>(*this)) {
    resize(200, 200);
    m_chartFont = TFont::Arial(-9);
    m_xAxis = std::make_unique<TAxis>(*this, TAxis::Kind::X, m_scales.X);
    m_yAxis = std::make_unique<TAxis>(*this, TAxis::Kind::Y, m_scales.Y);
    m_yAxis2 = std::make_unique<TAxis>(*this, TAxis::Kind::YSecond, m_scales.Y2);
    m_dimensions = std::make_unique<TDimensions>(*this);
    m_appearance = std::make_unique<TAppearance>(*this);
    m_legend = std::make_unique<TLegend>(*this);
    m_screenDpi = logicalDpiY() > 0 ? logicalDpiY() : 96;
    setAttribute(Qt::WA_OpaquePaintEvent);
}

TxyGraph::~TxyGraph() {
    // Series go first: they notify the chart while being freed.
    m_plotting = false;
    m_series.clear();
}

TSeries* TxyGraph::FindSeries(int index) const {
    for (const auto& s : m_series)
        if (s->Index() == index) return s.get();
    return nullptr;
}

TSeries& TxyGraph::GetSeries(int index) {
    if (TSeries* s = FindSeries(index)) return *s;
    auto created = std::make_unique<TSeries>(*this, index);
    TSeries& ref = *created;
    if (index > m_highestIndex) m_highestIndex = index;
    auto pos = std::find_if(m_series.begin(), m_series.end(),
                            [index](const std::unique_ptr<TSeries>& s) { return s->Index() > index; });
    m_series.insert(pos, std::move(created));
    if (OnNewSeries) OnNewSeries(*this, index);
    return ref;
}

void TxyGraph::DestroySeries(TSeries& series) {
    auto it = std::find_if(m_series.begin(), m_series.end(),
                           [&series](const std::unique_ptr<TSeries>& s) { return s.get() == &series; });
    if (it == m_series.end()) return;
    std::unique_ptr<TSeries> owned = std::move(*it);
    m_series.erase(it);
    if (OnDeleteSeries) OnDeleteSeries(*owned, owned->Index());
    owned.reset();
    // Drawn without it at the next paint.
    MarkDirty();
    update();
}

void TxyGraph::DestroySeries(TSeries* series) {
    if (series) DestroySeries(*series);
}

void TxyGraph::DestroySeries(int index) {
    DestroySeries(FindSeries(index));
}

std::vector<TSeries*> TxyGraph::SeriesList() const {
    std::vector<TSeries*> list;
    list.reserve(m_series.size());
    for (const auto& s : m_series)
        list.push_back(s.get());
    return list;
}

void TxyGraph::SetPlotting(bool v) {
    m_plotting = v;
    MarkDirty();
    if (v) {
        Rescale();
        if (m_scales.Valid && OnRescale && !m_printing) OnRescale(*this);
    }
    update();
}

void TxyGraph::SetColor(const QColor& c) {
    m_color = c;
    PartChanged();
}

void TxyGraph::SetBorderStyle(TBorderStyle b) {
    m_borderStyle = b;
    PartChanged();
}

void TxyGraph::SetChartFont(const TFont& f) {
    m_chartFont = f;
    PartChanged();
}

QSize TxyGraph::ClientSize() const {
    const int b = BorderWidth();
    return QSize(std::max(0, width() - 2 * b), std::max(0, height() - 2 * b));
}

void TxyGraph::MarkDirty() {
    m_pictureDirty = true;
    m_scalingFresh = false;
}

// A setter "repaints at once" while plotting. A Qt paint is deferred to the event loop, so the
// scaling half of that repaint (gathering the data ranges, autosizing, autostepping) runs here,
// synchronously, and only the painting is scheduled. That keeps sequences such as
// AutoSizing := true; Min := 0 deterministic: the first fits the axis, the second pins Min while
// Max keeps the fitted value, with or without an event loop in between.
void TxyGraph::PartChanged() {
    MarkDirty();
    if (!m_plotting || m_printing) return;
    Rescale();
    update();
}

void TxyGraph::RangeChanged() {
    PartChanged(); // rescales and schedules the paint while plotting
    if (m_plotting && m_scales.Valid && OnRescale && !m_printing) OnRescale(*this);
}

void TxyGraph::DuplicatesChanged(bool allowed) {
    for (TSeries* s : SeriesList()) {
        s->BeginUpdate();
        s->SetDuplicatesAllowed(allowed);
        s->EndUpdate();
    }
    MarkDirty();
    if (m_plotting) Rescale();
    update();
}

void TxyGraph::SeriesChanged(TSeries& s, int kind) {
    if (kind == 0 || !m_plotting || m_printing || FindSeries(s.Index()) != &s) {
        // Not drawn now (or not linked yet): the next paint draws the new state.
        MarkDirty();
        return;
    }
    if (m_appearance->PreventFlicker() && kind == TDataSeries::kPointAdded && s.HasLastPoint() &&
        !m_pictureDirty && !m_picture.isNull()) {
        const TxyPoint p = s.LastPoint();
        const TAxis& ya = s.FirstAxis() ? *m_yAxis : *m_yAxis2;
        const double y = p.y - s.ZeroValue();
        const bool xInside = !m_xAxis->AutoSizing() || (p.x >= m_xAxis->Min() && p.x <= m_xAxis->Max());
        const bool yInside = !ya.AutoSizing() || (y >= ya.Min() && y <= ya.Max());
        if (xInside && yInside) {
            PartialDraw();
            return;
        }
    }
    MarkDirty();
    Rescale();
    update();
}

void TxyGraph::TooManyPoints(TSeries& s) {
    if (OnTooManyPoints) OnTooManyPoints(*this, s.Index());
}

void TxyGraph::CrossWireChanged() {
    setMouseTracking(m_appearance->CrossWire());
    m_mouse->CrossWireChanged();
}

QString TxyGraph::PrintFallbackFile() const {
    if (!m_printFallbackFile.isEmpty()) return m_printFallbackFile;
    const QString base = objectName().isEmpty() ? QStringLiteral("xyGraph") : objectName();
    return base + QStringLiteral(".pdf");
}

void TxyGraph::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    MarkDirty();
    if (m_plotting && !m_printing) Rescale();
}

// --- mouse ------------------------------------------------------------------------------------

void TxyGraph::mousePressEvent(QMouseEvent* event) {
    if (!m_mouse->Press(event)) QWidget::mousePressEvent(event);
}

void TxyGraph::mouseMoveEvent(QMouseEvent* event) {
    if (!m_mouse->Move(event)) QWidget::mouseMoveEvent(event);
}

void TxyGraph::mouseReleaseEvent(QMouseEvent* event) {
    if (!m_mouse->Release(event)) QWidget::mouseReleaseEvent(event);
}

void TxyGraph::leaveEvent(QEvent* event) {
    m_mouse->Leave();
    QWidget::leaveEvent(event);
}

bool TxyGraph::Zooming() const {
    return m_mouse->Zooming();
}

bool TxyGraph::MovingLegend() const {
    return m_mouse->MovingLegend();
}

bool TxyGraph::RangesSaved() const {
    return m_mouse->RangesSaved();
}

QRect TxyGraph::RubberBand() const {
    return m_mouse->RubberBand();
}
