// Scaling pass and full draw of TxyGraph: background, axes with gridlines, ticks and labels,
// titles, origin cross, series, legend. One routine serves the screen, images and printer pages;
// TDrawState carries the page placement while printing.

#include "xyGraph.h"

#include <QFontMetrics>
#include <QLocale>
#include <QPaintEngine>
#include <QPaintEvent>
#include <QPainter>
#include <QPolygon>

#include <algorithm>
#include <cmath>

namespace {

// Raster targets (screen, images) get cached text layouts and marker stamps; vector targets
// (printers, PDF) get the plain calls so that they stay vectors.
bool IsRaster(const QPainter& p) {
    const QPaintEngine* e = p.paintEngine();
    return e && e->type() == QPaintEngine::Raster;
}

char DecimalPoint() {
    const QString dp = QLocale().decimalPoint();
    return dp.size() == 1 && dp.at(0).unicode() < 128 ? static_cast<char>(dp.at(0).unicode()) : '.';
}

QPen MakePen(const QColor& c, int width, Qt::PenStyle style = Qt::SolidLine) {
    QPen pen(c, std::max(1, width), style);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    return pen;
}

// Scope guard: clears a flag on every way out.
struct FlagGuard {
    bool& flag;
    explicit FlagGuard(bool& f) : flag(f) { flag = true; }
    ~FlagGuard() { flag = false; }
};

} // namespace

// --- geometry ---------------------------------------------------------------------------------

// The drawing is as large as the control, border included; it starts at the client area's
// corner and what lies beyond the client area is cut off.
TDrawState TxyGraph::ScreenState() const {
    TDrawState st;
    st.Width = width();
    st.Height = height();
    return st;
}

int TxyGraph::PlotLeft() const {
    return m_dimensions->m_v.LeftMargin + m_draw.XOffset;
}
int TxyGraph::PlotTop() const {
    return m_dimensions->m_v.TopMargin + m_draw.YOffset;
}
int TxyGraph::PlotRight() const {
    return m_draw.Width - m_dimensions->m_v.RightMargin + m_draw.XOffset;
}
int TxyGraph::PlotBottom() const {
    return m_draw.Height - m_dimensions->m_v.BottomMargin + m_draw.YOffset;
}

QRect TxyGraph::PlotArea() const {
    return QRect(QPoint(PlotLeft(), PlotTop()), QPoint(PlotRight(), PlotBottom()));
}

int TxyGraph::XToPixel(double x) const {
    return ValueToPixel(m_xAxis->m_s, x, false, m_dimensions->m_v.LeftMargin, m_draw.XOffset);
}

int TxyGraph::YToPixel(double y, bool secondAxis) const {
    const TAxis& a = secondAxis ? *m_yAxis2 : *m_yAxis;
    return ValueToPixel(a.m_s, y, true, m_dimensions->m_v.TopMargin, m_draw.YOffset);
}

double TxyGraph::PixelToX(int px) const {
    return PixelToValue(m_xAxis->m_s, px, false, m_dimensions->m_v.LeftMargin, m_draw.XOffset);
}

double TxyGraph::PixelToY(int py, bool secondAxis) const {
    const TAxis& a = secondAxis ? *m_yAxis2 : *m_yAxis;
    return PixelToValue(a.m_s, py, true, m_dimensions->m_v.TopMargin, m_draw.YOffset);
}

QFont TxyGraph::DrawFont(const TFont& f) const {
    return f.ToQFont();
}

// Laying a text out costs more than drawing it, and the labels of a chart rarely change between
// draws: keep the layouts, keyed by font and text.
const QStaticText& TxyGraph::StaticText(const QFont& font, const QString& text) {
    const QString key = font.key() + QChar(0x1F) + text;
    auto it = m_textCache.find(key);
    if (it == m_textCache.end()) {
        if (m_textCache.size() > 1000) m_textCache.clear();
        QStaticText st(text);
        st.setTextFormat(Qt::PlainText);
        st.prepare(QTransform(), font);
        it = m_textCache.insert(key, st);
    }
    return it.value();
}

int TxyGraph::TextWidth(QPainter& p, const QString& text) {
    if (IsRaster(p)) return static_cast<int>(std::lround(StaticText(p.font(), text).size().width()));
    return QFontMetrics(p.font(), p.device()).horizontalAdvance(text);
}

// Draws text with its top-left corner at (x, y), as the label and title positions are given.
void TxyGraph::TextAt(QPainter& p, int x, int y, const QString& text) {
    if (!IsRaster(p) || p.transform().type() > QTransform::TxTranslate) {
        const QFontMetrics fm(p.font(), p.device());
        p.drawText(x, y + fm.ascent(), text);
        return;
    }
    // A cached layout draws no background box of its own: fill it first, then draw transparent.
    const QStaticText& st = StaticText(p.font(), text);
    const Qt::BGMode mode = p.backgroundMode();
    if (mode == Qt::OpaqueMode) {
        const QFontMetrics fm(p.font(), p.device());
        p.fillRect(QRect(x, y, static_cast<int>(std::lround(st.size().width())), fm.height()),
                   p.background());
        p.setBackgroundMode(Qt::TransparentMode);
    }
    p.drawStaticText(QPoint(x, y), st);
    p.setBackgroundMode(mode);
}

void TxyGraph::TitleBackground(QPainter& p) const {
    // Titles sit on a box of the margin colour, unless the page is printed without background.
    if (m_draw.Printing && !m_appearance->PrintBkgndColor()) {
        p.setBackgroundMode(Qt::TransparentMode);
        return;
    }
    p.setBackgroundMode(Qt::OpaqueMode);
    p.setBackground(m_appearance->MarginColor());
}

// --- scaling ----------------------------------------------------------------------------------

bool TxyGraph::AxisHasData(const TAxis& a) const {
    for (const auto& s : m_series) {
        if (!s->Active() || !s->HasRange()) continue;
        if (a.m_kind == TAxis::Kind::X) return true;
        if ((a.m_kind == TAxis::Kind::Y) == s->FirstAxis()) return true;
    }
    return false;
}

void TxyGraph::GatherRanges() {
    bool haveX = false, haveY = false, haveY2 = false;
    double xMin = 0, xMax = 0, yMin = 0, yMax = 0, y2Min = 0, y2Max = 0;
    for (const auto& s : m_series) {
        if (!s->Active() || !s->HasRange()) continue;
        if (!haveX) {
            xMin = s->XMin();
            xMax = s->XMax();
            haveX = true;
        } else {
            xMin = std::min(xMin, s->XMin());
            xMax = std::max(xMax, s->XMax());
        }
        bool& have = s->FirstAxis() ? haveY : haveY2;
        double& lo = s->FirstAxis() ? yMin : y2Min;
        double& hi = s->FirstAxis() ? yMax : y2Max;
        if (!have) {
            lo = s->YMin();
            hi = s->YMax();
            have = true;
        } else {
            lo = std::min(lo, s->YMin());
            hi = std::max(hi, s->YMax());
        }
    }
    // An axis without series keeps its previous data range.
    if (haveX) {
        m_xAxis->m_s.oMin = xMin;
        m_xAxis->m_s.oMax = xMax;
    }
    if (haveY) {
        m_yAxis->m_s.oMin = yMin;
        m_yAxis->m_s.oMax = yMax;
    }
    if (haveY2) {
        m_yAxis2->m_s.oMin = y2Min;
        m_yAxis2->m_s.oMax = y2Max;
    }
}

void TxyGraph::ScaleAxes() {
    if (m_inRescale) return;
    FlagGuard guard(m_inRescale);

    if (m_plotting) {
        bool anyPoints = false;
        for (const auto& s : m_series)
            anyPoints = anyPoints || s->PointCount() > 0;
        if (anyPoints) GatherRanges();
    }
    const StepLimits lim = m_appearance->Limits();
    const double now = DateNow();
    bool changed = false;
    TAxis* axes[] = {m_xAxis.get(), m_yAxis.get(), m_yAxis2.get()};
    for (TAxis* a : axes) {
        try {
            changed = ScaleAxis(a->m_s, AxisHasData(*a), lim, now) || changed;
        } catch (const ChartError&) {
            // The fits guard their inputs; a range beyond them is shown as inconsistent.
            a->m_s.Valid = false;
        }
    }
    const int plotWidth = PlotRight() - PlotLeft();
    const int plotHeight = PlotBottom() - PlotTop();
    for (TAxis* a : axes) {
        if (!a->m_s.Valid) continue;
        try {
            ComputeScaleFactor(a->m_s, a->m_kind == TAxis::Kind::X ? plotWidth : plotHeight,
                               a->m_title.toStdString());
        } catch (const ChartError&) {
            // A span beyond the doubles (say -1e308 ... 1e308) cannot be scaled either.
            a->m_s.Valid = false;
        }
    }
    m_scalesValid = m_xAxis->Valid() && m_yAxis->Valid() && m_yAxis2->Valid();
    if (m_scalesValid && changed && OnRescale && !m_draw.Printing) OnRescale(*this);
}

void TxyGraph::Rescale() {
    if (m_inRescale || m_draw.Printing) return;
    m_draw = ScreenState();
    try {
        ScaleAxes();
    } catch (const ChartError&) {
        m_scalesValid = false;
    }
    m_scalingFresh = true;
    m_scaledSize = QSize(m_draw.Width, m_draw.Height);
}

// --- full draw --------------------------------------------------------------------------------

void TxyGraph::FullDraw(QPainter& p) {
    if (OnPaintStart) OnPaintStart(*this, p);
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    m_draw.PenWidth = std::max(1, m_draw.PenWidth);
    int pen = m_draw.PenWidth;

    // A repaint scales once: the drawing that follows a setter's rescaling uses its results.
    // (Scaling is not always idempotent: an axis without data may be reversed by one pass and
    // put back in order by the next.)
    if (m_draw.Printing || !m_scalingFresh || m_scaledSize != QSize(m_draw.Width, m_draw.Height)) ScaleAxes();
    if (!m_draw.Printing) m_scalingFresh = false;
    DrawBackground(p);
    DrawXAxis(p);
    DrawYAxis(p, *m_yAxis);
    DrawYAxis(p, *m_yAxis2);
    if (m_appearance->ShowGraphLabels()) DrawGraphTitle(p);

    if (m_scalesValid) {
        if (m_appearance->CrossAtZero() && !m_xAxis->LogScale() && !m_yAxis->LogScale()) DrawCross(p);
        if (m_plotting) {
            if (pen > 2) pen = (pen + 1) / 2;
            const int saved = m_draw.PenWidth;
            m_draw.PenWidth = pen;
            DrawSeriesLayer(p);
            if (m_legend->visible()) DrawLegend(p);
            m_draw.PenWidth = saved;
            p.restore();
            if (OnPaintEnd) OnPaintEnd(*this, p);
            return;
        }
    }
    p.restore();
}

void TxyGraph::DrawBackground(QPainter& p) {
    if (m_draw.Printing && !m_appearance->PrintBkgndColor()) return;
    p.fillRect(QRect(m_draw.XOffset, m_draw.YOffset, m_draw.Width, m_draw.Height),
               m_appearance->MarginColor());
    p.fillRect(PlotArea(), m_appearance->BackgroundColor());
}

void TxyGraph::DrawGraphTitle(QPainter& p) {
    const QString& text = m_appearance->GraphTitle();
    if (text.isEmpty()) return;
    const TFont& f = m_appearance->CaptionFont();
    p.setFont(DrawFont(f));
    const QFontMetrics fm(p.font(), p.device());
    const int w = TextWidth(p, text);
    const int x = (PlotLeft() + PlotRight()) / 2 - w / 2;
    const int y =
        m_dimensions->m_v.TopMargin - m_dimensions->m_v.GraphTitleOffset - fm.height() + m_draw.YOffset;
    p.setPen(f.Color);
    TitleBackground(p);
    TextAt(p, x, y, text);
    p.setBackgroundMode(Qt::TransparentMode);
}

namespace {

// Pen width for ticks and gridlines, derived from the canvas pen.
int ThinPen(int width, bool printLineStyle) {
    if (width <= 1) return width;
    if (printLineStyle) return 1;
    return width > 3 ? width / 2 + 1 : width;
}

// The labels of one axis: their texts, from the tick values.
std::vector<QString> LabelTexts(AxisScale& s, const std::vector<Tick>& ticks, double step,
                                const QString& dateFormat, char dp) {
    std::vector<QString> texts(ticks.size());
    const bool date = s.ShowAsTime && s.DateTickType != dt_custom && !s.LogScale;
    if (s.AutoLabelDecimals && !s.LogScale && !date) s.LabelDecimals = AutoDecimals(step);
    const double range = s.Max - s.Min;
    int decimals = s.LabelDecimals;
    for (std::size_t i = 0; i < ticks.size(); ++i) {
        const double v = ticks[i].Value;
        if (date) {
            texts[i] = QString::fromStdString(FormatDateTime(dateFormat.toStdString(), v));
            continue;
        }
        if (s.LogScale && !s.ShortRange && s.AutoLabelDecimals) {
            // Each decade takes its decimals from its first tick.
            const double mant = v / std::pow(10.0, std::floor(std::log10(v) + 1e-9));
            if (i == 0 || std::fabs(mant - 1.0) < 1e-6) decimals = LogDecimals(s, v);
        }
        if (ticks[i].Labelled) texts[i] = QString::fromStdString(FormatLabel(v, decimals, range, dp));
    }
    return texts;
}

// Whether the first tick lies on Min (within 1 % of a step), where the axis line already is.
bool FirstTickOnMin(const AxisScale& s, const std::vector<Tick>& ticks) {
    if (ticks.empty()) return false;
    double step;
    if (ticks.size() > 1)
        step = s.LogScale ? std::log(ticks[1].Value) - std::log(ticks[0].Value)
                          : ticks[1].Value - ticks[0].Value;
    else
        step = s.LogScale ? std::log(s.Max) - std::log(s.Min) : s.Max - s.Min;
    const double dist = s.LogScale ? std::log(ticks[0].Value) - std::log(s.Min) : ticks[0].Value - s.Min;
    return std::fabs(dist) < 0.01 * std::fabs(step);
}

} // namespace

void TxyGraph::DrawXAxis(QPainter& p) {
    TAxis& ax = *m_xAxis;
    AxisScale& s = ax.m_s;
    const TAxis& other = *m_yAxis;
    const TDimensions::Values& d = m_dimensions->m_v;
    const TAppearance& app = *m_appearance;

    const int yLine =
        other.Valid() ? YToPixel(AxisCrossValue(ax.m_offsetType, ax.m_offset, other.m_s)) : PlotBottom();
    const int axisPen = m_draw.PenWidth;
    const int thin = ThinPen(axisPen, app.PrintLineStyle());

    std::vector<Tick> ticks;
    double step = 0.0;
    m_drawnXLabels.clear();
    if (s.Valid) {
        try {
            // The drawing step is returned, not stored: StepSize keeps its value.
            step = DrawStep(s, app.Limits(), PlotRight() - PlotLeft(), ax.m_title.toStdString());
            ticks = TickSequence(s, step);
        } catch (const ChartError&) {
            ticks.clear();
        }
    }

    if (ax.m_gridlines && other.Valid() && s.Valid) {
        p.setPen(MakePen(app.GridColor(), thin, ToQtPenStyle(app.GridStyle())));
        const int y0 = YToPixel(other.m_s.Min);
        const int y1 = YToPixel(other.m_s.Max);
        const bool skipFirst = FirstTickOnMin(s, ticks);
        for (std::size_t i = 0; i < ticks.size(); ++i) {
            if (i == 0 && skipFirst) continue;
            const int x = XToPixel(ticks[i].Value);
            p.drawLine(x, y0, x, y1);
        }
    }

    if (ax.m_showAxis) {
        if (app.ShowTicks() && s.Valid) {
            p.setPen(MakePen(app.AxesColor(), thin));
            const int dy = ax.m_reversed ? -d.TickLength : d.TickLength;
            for (const Tick& t : ticks) {
                const int x = XToPixel(t.Value);
                p.drawLine(x, yLine, x, yLine + dy);
            }
        }

        int band = 0;
        if (app.ShowGraphLabels() && s.Valid && !ticks.empty()) {
            const TFont& f = app.LabelFont();
            p.setFont(DrawFont(f));
            p.setPen(f.Color);
            p.setBackgroundMode(Qt::TransparentMode);
            const QFontMetrics fm(p.font(), p.device());
            const std::vector<QString> texts =
                LabelTexts(s, ticks, step, ax.m_dateTimeFormat, DecimalPoint());
            std::vector<std::pair<int, int>> extents;
            std::vector<std::size_t> index;
            for (std::size_t i = 0; i < ticks.size(); ++i) {
                if (!ticks[i].Labelled || texts[i].isEmpty()) continue;
                const int w = TextWidth(p, texts[i]);
                const int left = XToPixel(ticks[i].Value) - w / 2;
                extents.push_back({left, left + w});
                index.push_back(i);
            }
            const std::vector<bool> draw = SelectXLabels(extents);
            const int h = fm.height();
            const int top = ax.m_reversed ? yLine - d.TickLength - d.XAxisLabelOffset - h
                                          : yLine + d.TickLength + d.XAxisLabelOffset;
            for (std::size_t k = 0; k < extents.size(); ++k) {
                if (!draw[k]) continue;
                TextAt(p, extents[k].first, top, texts[index[k]]);
                m_drawnXLabels.push_back(
                    {texts[index[k]], QRect(extents[k].first, top, extents[k].second - extents[k].first, h)});
            }
            if (!extents.empty()) band = h;
        }

        p.setPen(MakePen(app.AxesColor(), axisPen));
        if (s.Valid)
            p.drawLine(XToPixel(s.Min), yLine, XToPixel(s.Max), yLine);
        else
            p.drawLine(PlotLeft(), yLine, PlotRight(), yLine);

        const QString title = s.Valid ? ax.m_title : app.ErrorCaption();
        if (!title.isEmpty()) {
            const TFont& f = app.TitleFont();
            p.setFont(DrawFont(f));
            p.setPen(f.Color);
            const QFontMetrics fm(p.font(), p.device());
            const int w = TextWidth(p, title);
            const int x = (PlotLeft() + PlotRight()) / 2 - w / 2;
            const int gap = d.TickLength + d.XAxisTitleOffset + band;
            const int y = ax.m_reversed ? yLine - gap - fm.height() : yLine + gap;
            TitleBackground(p);
            TextAt(p, x, y, title);
            p.setBackgroundMode(Qt::TransparentMode);
        }
    }
}

void TxyGraph::DrawYAxis(QPainter& p, TAxis& ax) {
    AxisScale& s = ax.m_s;
    const TAxis& other = *m_xAxis;
    const TDimensions::Values& d = m_dimensions->m_v;
    const TAppearance& app = *m_appearance;
    const bool second = ax.m_kind == TAxis::Kind::YSecond;

    const int xLine =
        other.Valid() ? XToPixel(AxisCrossValue(ax.m_offsetType, ax.m_offset, other.m_s)) : PlotLeft();
    const int axisPen = m_draw.PenWidth;
    const int thin = ThinPen(axisPen, app.PrintLineStyle());

    std::vector<Tick> ticks;
    double step = 0.0;
    if (s.Valid) {
        try {
            step = DrawStep(s, app.Limits(), PlotBottom() - PlotTop(), ax.m_title.toStdString());
            ticks = TickSequence(s, step);
        } catch (const ChartError&) {
            ticks.clear();
        }
    }

    if (ax.m_gridlines && other.Valid() && s.Valid) {
        p.setPen(MakePen(app.GridColor(), thin, ToQtPenStyle(app.GridStyle())));
        const int x0 = XToPixel(other.m_s.Min);
        const int x1 = XToPixel(other.m_s.Max);
        const bool skipFirst = FirstTickOnMin(s, ticks);
        for (std::size_t i = 0; i < ticks.size(); ++i) {
            if (i == 0 && skipFirst) continue;
            const int y = YToPixel(ticks[i].Value, second);
            p.drawLine(x0, y, x1, y);
        }
    }

    if (ax.m_showAxis) {
        if (app.ShowTicks() && s.Valid) {
            p.setPen(MakePen(app.AxesColor(), thin));
            const int dx = ax.m_reversed ? d.TickLength : -d.TickLength;
            for (const Tick& t : ticks) {
                const int y = YToPixel(t.Value, second);
                p.drawLine(xLine, y, xLine + dx, y);
            }
        }

        int band = 0;
        if (app.ShowGraphLabels() && s.Valid && !ticks.empty()) {
            const TFont& f = app.LabelFont();
            p.setFont(DrawFont(f));
            p.setPen(f.Color);
            p.setBackgroundMode(Qt::TransparentMode);
            const QFontMetrics fm(p.font(), p.device());
            const std::vector<QString> texts =
                LabelTexts(s, ticks, step, ax.m_dateTimeFormat, DecimalPoint());
            const int h = fm.height();
            const int gap = d.TickLength + d.YAxisLabelOffset;
            for (std::size_t i = 0; i < ticks.size(); ++i) {
                if (!ticks[i].Labelled || texts[i].isEmpty()) continue;
                const int w = TextWidth(p, texts[i]);
                const int y = YToPixel(ticks[i].Value, second) - h / 2;
                const int x = ax.m_reversed ? xLine + gap : xLine - gap - w;
                TextAt(p, x, y, texts[i]);
                band = w;
            }
        }

        p.setPen(MakePen(app.AxesColor(), axisPen));
        if (s.Valid)
            p.drawLine(xLine, YToPixel(s.Min, second), xLine, YToPixel(s.Max, second));
        else
            p.drawLine(xLine, PlotBottom(), xLine, PlotTop());

        const QString title = s.Valid ? ax.m_title : app.ErrorCaption();
        if (!title.isEmpty()) {
            const TFont& f = app.TitleFont();
            p.setFont(DrawFont(f));
            p.setPen(f.Color);
            const QFontMetrics fm(p.font(), p.device());
            const int w = TextWidth(p, title);
            const int h = fm.height();
            const int gap = d.TickLength + d.YAxisTitleOffset + band;
            int left = ax.m_reversed ? xLine + gap : std::max(m_draw.XOffset, xLine - gap - h);
            const int centre = (PlotTop() + PlotBottom()) / 2;
            // Written bottom to top: rotate about the text's left end, which ends up at the bottom.
            p.save();
            p.translate(left, centre + w / 2);
            p.rotate(-90.0);
            TitleBackground(p);
            TextAt(p, 0, 0, title);
            p.restore();
        }
    }
}

void TxyGraph::DrawCross(QPainter& p) {
    const AxisScale& x = m_xAxis->m_s;
    const AxisScale& y = m_yAxis->m_s;
    if (!m_appearance->PlotOffGraph() && !(x.Min <= 0.0 && 0.0 <= x.Max && y.Min <= 0.0 && 0.0 <= y.Max))
        return;
    const int a = static_cast<int>(std::lround(m_appearance->Crosslength() * m_draw.Scale));
    const int x0 = XToPixel(0.0);
    const int y0 = YToPixel(0.0);
    p.setPen(MakePen(m_appearance->CrossColor(), m_draw.PenWidth));
    // A flat-capped line leaves out the pixel at its lower or right end: each arm ends one
    // pixel beyond a there.
    p.drawLine(x0, y0 - a, x0, y0 + a + 1);
    p.drawLine(x0 - a, y0, x0 + a + 1, y0);
}

// --- series -----------------------------------------------------------------------------------

void TxyGraph::DrawSeriesLayer(QPainter& p) {
    const int saved = m_draw.PenWidth;
    if (m_appearance->PrintLineStyle()) m_draw.PenWidth = 1;
    for (const auto& s : m_series)
        DrawSeries(p, *s);
    m_draw.PenWidth = saved;
}

void TxyGraph::DrawMarker(QPainter& p, int shape, int x, int y, int r) {
    switch (shape) {
    case 0:
        p.drawRect(QRect(x - r, y - r, 2 * r, 2 * r));
        break;
    case 1:
        p.drawEllipse(QRect(x - r, y - r, 2 * r, 2 * r));
        break;
    case 2: {
        const QPoint pts[4] = {QPoint(x, y - r), QPoint(x + r, y), QPoint(x, y + r), QPoint(x - r, y)};
        p.drawPolygon(pts, 4);
        break;
    }
    case 3:
        p.drawLine(x - r, y, x + r, y);
        p.drawLine(x, y - r, x, y + r);
        break;
    default: // steps and bars have no marker of their own: a small square stands for them
        p.drawRect(QRect(x - r, y - r, 2 * r, 2 * r));
        break;
    }
}

void TxyGraph::DrawSeries(QPainter& p, TSeries& s) {
    if (!s.Active() || s.PointCount() == 0) return;
    const TAxis& ya = s.FirstAxis() ? *m_yAxis : *m_yAxis2;
    const bool second = !s.FirstAxis();
    const AxisScale& xs = m_xAxis->m_s;
    const AxisScale& ys = ya.m_s;
    if (!xs.Valid || !ys.Valid) return;
    if (s.HasRange() && ((xs.LogScale && !(s.XMin() > 0.0)) || (ys.LogScale && !(s.YMin() > 0.0)))) {
        if (OnLogError) OnLogError(s, s.Index());
        return;
    }

    const TAppearance& app = *m_appearance;
    const bool clip = !app.PlotOffGraph();
    const double zero = s.ZeroValue();
    const std::vector<TxyPoint>& pts = s.Points();

    if (s.DrawLine()) {
        // Non-finite values break the line instead of being drawn.
        std::vector<QPolygon> runs(1);
        runs.back().reserve(static_cast<int>(pts.size()));
        for (const TxyPoint& pt : pts) {
            if (!std::isfinite(pt.y)) {
                if (!runs.back().isEmpty()) runs.emplace_back();
                continue;
            }
            runs.back().append(QPoint(XToPixel(pt.x), YToPixel(pt.y - zero, second)));
        }
        // The plot area's right and bottom edges included, nothing beyond.
        p.save();
        if (clip) p.setClipRect(PlotArea(), Qt::IntersectClip);
        if (s.Highlighted()) {
            p.setPen(MakePen(Qt::black, m_draw.PenWidth, Qt::DotLine));
            for (const QPolygon& run : runs)
                if (run.size() > 1) p.drawPolyline(run.translated(0, 2));
        }
        p.setPen(MakePen(s.LineColor(), m_draw.PenWidth, ToQtPenStyle(s.LineStyle())));
        for (const QPolygon& run : runs)
            if (run.size() > 1) p.drawPolyline(run);
        p.restore();
    }

    if (!s.DrawPoints()) return;
    const int r = static_cast<int>(std::lround(s.PointStyle() / 2.0 * m_draw.Scale));
    const int shape = s.PointShape();
    const QColor inverse(255 - m_color.red(), 255 - m_color.green(), 255 - m_color.blue());
    const QPen markerPen = MakePen(s.PointColor(), m_draw.PenWidth);
    const QBrush brush(s.FillPoints() ? s.PointColor() : m_color);
    const double clearance = std::trunc(r * app.MinPointClearance() * 2.0);
    int lastX = -99, lastY = -99;

    // On a raster target at whole-pixel positions every marker of the series is stamped from one
    // small picture of it: the same pixels as drawing each one, for a fraction of the cost.
    QImage stamp;
    int centre = 0;
    if (shape <= 3 && r <= 64 && IsRaster(p) && p.transform().type() <= QTransform::TxTranslate &&
        p.device()->devicePixelRatioF() == 1.0) {
        centre = r + 2 + m_draw.PenWidth;
        stamp = QImage(2 * centre + 1, 2 * centre + 1, QImage::Format_ARGB32_Premultiplied);
        stamp.fill(Qt::transparent);
        QPainter sp(&stamp);
        if (s.Highlighted()) {
            sp.setPen(MakePen(inverse, m_draw.PenWidth));
            sp.setBrush(Qt::NoBrush);
            DrawMarker(sp, shape, centre, centre, r + 1);
        }
        sp.setPen(markerPen);
        sp.setBrush(brush);
        DrawMarker(sp, shape, centre, centre, r);
    }

    p.setPen(markerPen);
    p.setBrush(brush);
    for (std::size_t i = 0; i < pts.size(); ++i) {
        const TxyPoint& pt = pts[i];
        if (!std::isfinite(pt.y)) continue;
        const double y = pt.y - zero;
        if (clip) {
            if (pt.x < xs.Min) continue;
            if (pt.x > xs.Max) break;
            if (y < ys.Min || y > ys.Max) continue;
        }
        const int px = XToPixel(pt.x);
        const int py = YToPixel(y, second);

        if (shape == 4) {
            double nextX = xs.Max;
            if (i + 1 < pts.size()) nextX = pts[i + 1].x;
            p.setPen(MakePen(s.PointColor(), std::max(1, r)));
            p.drawLine(px, py, XToPixel(nextX), py);
            continue;
        }
        if (shape == 5) {
            const int x0 = XToPixel(pt.x + s.BarOffset());
            const int x1 = XToPixel(pt.x + s.BarOffset() + s.BarWidth());
            p.drawRect(QRect(QPoint(std::min(x0, x1), py), QPoint(std::max(x0, x1), PlotBottom())));
            continue;
        }

        if (clearance > 0.0 && std::hypot(double(px - lastX), double(py - lastY)) < clearance) continue;
        lastX = px;
        lastY = py;
        if (!stamp.isNull()) {
            p.drawImage(px - centre, py - centre, stamp);
            continue;
        }
        if (s.Highlighted()) {
            p.setPen(MakePen(inverse, m_draw.PenWidth));
            p.setBrush(Qt::NoBrush);
            DrawMarker(p, shape, px, py, r + 1);
            p.setPen(markerPen);
            p.setBrush(brush);
        }
        DrawMarker(p, shape, px, py, r);
    }
    p.setBrush(m_color);
}

// --- legend -----------------------------------------------------------------------------------

void TxyGraph::DrawLegend(QPainter& p) {
    std::vector<TSeries*> entries;
    for (const auto& s : m_series)
        if (s->ShowInLegend() != 0) entries.push_back(s.get());
    if (entries.empty()) return;

    const TLegend& lg = *m_legend;
    const double sc = m_draw.Scale;
    auto scaled = [sc](int v) { return static_cast<int>(std::lround(v * sc)); };
    const int L = scaled(lg.left()) + m_draw.XOffset;
    const int T = scaled(lg.top()) + m_draw.YOffset;
    const int W = scaled(lg.width());
    const int H = scaled(lg.height());
    p.setPen(MakePen(lg.borderStyle() == bsSingle ? QColor(Qt::black) : lg.color(), 1));
    p.setBrush(lg.color());
    p.drawRect(QRect(L, T, std::max(0, W - 1), std::max(0, H - 1)));

    const int xm = scaled(lg.XMargin());
    const int ym = scaled(lg.YMargin());
    const int sym = scaled(lg.SymbolSpace());
    const int n = static_cast<int>(entries.size());
    const int advance = lg.Layout() == lsAcross ? (W - 2 * xm) / n : (H - 2 * ym) / n;
    const int symbolPen = m_appearance->PrintLineStyle() ? 1 : m_draw.PenWidth;

    p.setFont(DrawFont(lg.font()));
    const QFontMetrics fm(p.font(), p.device());
    const int mid = fm.height() / 2;
    p.setBackgroundMode(Qt::TransparentMode);
    for (int i = 0; i < n; ++i) {
        const TSeries& s = *entries[static_cast<std::size_t>(i)];
        const int ex = L + xm + (lg.Layout() == lsAcross ? i * advance : 0);
        const int ey = T + ym + (lg.Layout() == lsDown ? i * advance : 0);
        const int show = s.ShowInLegend();
        if ((show == 3 || show == 4) && s.DrawLine()) {
            p.setPen(MakePen(s.LineColor(), symbolPen, ToQtPenStyle(s.LineStyle())));
            p.drawLine(ex, ey + mid, ex + sym, ey + mid);
        }
        if ((show == 2 || show == 4) && s.DrawPoints()) {
            p.setPen(MakePen(s.PointColor(), symbolPen));
            p.setBrush(s.FillPoints() ? s.PointColor() : m_color);
            DrawMarker(p, s.PointShape(), ex + sym / 2, ey + mid,
                       static_cast<int>(std::lround(s.PointStyle() / 2.0 * sc)));
        }
        p.setPen(lg.font().Color);
        TextAt(p, ex + sym + scaled(2), ey, s.SeriesName());
    }
    p.setBrush(m_color);
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
    if (!m_draw.Printing) {
        m_draw = ScreenState();
        const QSize c = ClientSize();
        p.translate(b, b);
        p.setClipRect(QRect(0, 0, c.width(), c.height()));
        FullDraw(p);
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

void TxyGraph::PartialDraw() {
    if (m_pictureDirty || m_picture.isNull() || !m_plotting || !m_scalesValid) {
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
    m_draw = ScreenState();
    DrawSeriesLayer(p);
    update();
}

void TxyGraph::paintEvent(QPaintEvent*) {
    const qreal dpr = devicePixelRatioF();
    const QSize want(static_cast<int>(std::lround(width() * dpr)),
                     static_cast<int>(std::lround(height() * dpr)));
    if (!m_inPaint && !m_draw.Printing && (m_pictureDirty || m_picture.size() != want)) {
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

    // Overlays combine with the picture, so they vanish as soon as they are no longer drawn.
    const int b = BorderWidth();
    p.translate(b, b);
    if (!m_band.isNull()) {
        p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        QPen pen(m_color.rgb() == QColor(Qt::black).rgb() ? QColor(Qt::white) : m_color, 1, Qt::DotLine);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        // A stroked QRect reaches one pixel past right() and bottom(): take that pixel back.
        p.drawRect(m_band.normalized().adjusted(0, 0, -1, -1));
    }
    if (m_crossShown) {
        p.setCompositionMode(QPainter::RasterOp_NotDestination);
        p.setPen(QPen(Qt::black, 1));
        const QRect plot = PlotArea();
        p.drawLine(plot.left(), m_crossPos.y(), plot.right(), m_crossPos.y());
        p.drawLine(m_crossPos.x(), plot.top(), m_crossPos.x(), plot.bottom());
    }
}

void TxyGraph::Render(QPainter& painter, QPoint at) {
    if (m_draw.Printing) return;
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
