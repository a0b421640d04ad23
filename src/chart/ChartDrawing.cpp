// The scaling pass and the full draw of a chart; see ChartDrawing.h.

#include "ChartDrawing.h"

#include <QFontMetrics>
#include <QImage>
#include <QLocale>
#include <QPaintEngine>
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

bool AxisHasData(const std::vector<TSeries*>& series, TAxis::Kind kind) {
    for (const TSeries* s : series) {
        if (!s->Active() || !s->HasRange()) continue;
        if (kind == TAxis::Kind::X) return true;
        if ((kind == TAxis::Kind::Y) == s->FirstAxis()) return true;
    }
    return false;
}

// The data ranges of the active series; an axis without series keeps its previous one.
void GatherRanges(const std::vector<TSeries*>& series, TChartScales& sc) {
    bool haveX = false, haveY = false, haveY2 = false;
    double xMin = 0, xMax = 0, yMin = 0, yMax = 0, y2Min = 0, y2Max = 0;
    for (const TSeries* s : series) {
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
    if (haveX) {
        sc.X.oMin = xMin;
        sc.X.oMax = xMax;
    }
    if (haveY) {
        sc.Y.oMin = yMin;
        sc.Y.oMax = yMax;
    }
    if (haveY2) {
        sc.Y2.oMin = y2Min;
        sc.Y2.oMax = y2Max;
    }
}

} // namespace

// --- layout and scaling -----------------------------------------------------------------------

TDrawLayout TDrawLayout::Screen(const TxyGraph& chart) {
    TDrawLayout l;
    l.Width = chart.width();
    l.Height = chart.height();
    l.Dim = chart.Dimensions().AllValues();
    const TAppearance& a = chart.Appearance();
    l.CaptionFont = a.CaptionFont();
    l.TitleFont = a.TitleFont();
    l.LabelFont = a.LabelFont();
    l.LegendFont = chart.Legend().font();
    return l;
}

bool ScaleChart(const TxyGraph& chart, TChartScales& sc, const TDrawLayout& layout) {
    const std::vector<TSeries*> series = chart.SeriesList();
    if (chart.Plotting()) {
        bool anyPoints = false;
        for (const TSeries* s : series)
            anyPoints = anyPoints || s->PointCount() > 0;
        if (anyPoints) GatherRanges(series, sc);
    }
    const StepLimits lim = chart.Appearance().Limits();
    const double now = DateNow();
    bool changed = false;
    const std::pair<const TAxis*, AxisScale*> axes[] = {
        {&chart.XAxis(), &sc.X}, {&chart.YAxis(), &sc.Y}, {&chart.YAxis_Second(), &sc.Y2}};
    for (const auto& [axis, s] : axes) {
        try {
            changed = ScaleAxis(*s, AxisHasData(series, axis->AxisKind()), lim, now) || changed;
        } catch (const ChartError&) {
            // The fits guard their inputs; a range beyond them is shown as inconsistent.
            s->Valid = false;
        }
    }
    const int plotWidth = layout.PlotRight() - layout.PlotLeft();
    const int plotHeight = layout.PlotBottom() - layout.PlotTop();
    for (const auto& [axis, s] : axes) {
        if (!s->Valid) continue;
        try {
            ComputeScaleFactor(*s, axis->AxisKind() == TAxis::Kind::X ? plotWidth : plotHeight,
                               axis->Title().toStdString());
        } catch (const ChartError&) {
            // A span beyond the doubles (say -1e308 ... 1e308) cannot be scaled either.
            s->Valid = false;
        }
    }
    sc.Valid = sc.X.Valid && sc.Y.Valid && sc.Y2.Valid;
    return changed;
}

// --- texts ------------------------------------------------------------------------------------

const QStaticText& TTextCache::Table::Get(const QFont& font, const QString& text) {
    auto it = m_texts.find(text);
    if (it == m_texts.end()) {
        if (m_texts.size() > 1000) m_texts.clear();
        QStaticText st(text);
        st.setTextFormat(Qt::PlainText);
        st.prepare(QTransform(), font);
        it = m_texts.insert(text, st);
    }
    return it.value();
}

std::pair<int, int> TTextCache::Table::Metrics(const QFont& font, const QPaintDevice* device) {
    const qint64 key = (qint64(device->logicalDpiX()) << 32) | quint32(device->logicalDpiY());
    auto it = m_metrics.find(key);
    if (it == m_metrics.end()) {
        const QFontMetrics fm(font, device);
        it = m_metrics.insert(key, {fm.height(), fm.ascent()});
    }
    return it.value();
}

std::shared_ptr<TTextCache::Table> TTextCache::TableFor(const QFont& font) {
    const QString key = font.key();
    auto it = m_tables.find(key);
    if (it == m_tables.end()) {
        if (m_tables.size() > 64) m_tables.clear(); // drawings hold on to the tables they use
        it = m_tables.insert(key, std::make_shared<Table>());
    }
    return it.value();
}

TScaleDraw::TScaleDraw(QPainter& p, const TDrawLayout& layout, const TAppearance& appearance,
                       TTextCache& texts)
    : m_p(p), m_layout(layout), m_app(appearance), m_texts(texts), m_raster(IsRaster(p)) {}

QPen TScaleDraw::Pen(const QColor& c, int width, Qt::PenStyle style) {
    QPen pen(c, std::max(1, width), style);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    return pen;
}

void TScaleDraw::SetFont(const TFont& f) {
    m_p.setFont(f.ToQFont());
    m_table.reset();
}

TTextCache::Table& TScaleDraw::Texts() {
    if (!m_table) {
        m_font = m_p.font();
        m_table = m_texts.TableFor(m_font);
    }
    return *m_table;
}

const QStaticText& TScaleDraw::TextLayout(const QString& text) {
    return Texts().Get(m_font, text);
}

// Measuring a font on a device costs as much as laying out a text: on raster targets the
// figures are kept with the font's texts.
std::pair<int, int> TScaleDraw::FontMetrics() {
    if (m_raster) return Texts().Metrics(m_font, m_p.device());
    const QFontMetrics fm(m_p.font(), m_p.device());
    return {fm.height(), fm.ascent()};
}

int TScaleDraw::TextWidth(const QString& text) {
    if (m_raster) return static_cast<int>(std::lround(TextLayout(text).size().width()));
    return QFontMetrics(m_p.font(), m_p.device()).horizontalAdvance(text);
}

void TScaleDraw::TextAt(int x, int y, const QString& text) {
    if (!m_raster || m_p.transform().type() > QTransform::TxTranslate) {
        m_p.drawText(x, y + TextAscent(), text);
        return;
    }
    // A cached layout draws no background box of its own: fill it first, then draw transparent.
    const QStaticText& st = TextLayout(text);
    const Qt::BGMode mode = m_p.backgroundMode();
    if (mode == Qt::OpaqueMode) {
        m_p.fillRect(QRect(x, y, static_cast<int>(std::lround(st.size().width())), TextHeight()),
                     m_p.background());
        m_p.setBackgroundMode(Qt::TransparentMode);
    }
    m_p.drawStaticText(QPoint(x, y), st);
    m_p.setBackgroundMode(mode);
}

void TScaleDraw::TitleBackground() {
    if (m_layout.Printing && !m_app.PrintBkgndColor()) {
        m_p.setBackgroundMode(Qt::TransparentMode);
        return;
    }
    m_p.setBackgroundMode(Qt::OpaqueMode);
    m_p.setBackground(m_app.MarginColor());
}

// --- axes -------------------------------------------------------------------------------------

std::vector<TxyGraph::DrawnLabel> TScaleDraw::DrawAxis(const TAxisView& v) {
    const TAxis& ax = v.Axis;
    AxisScale& s = v.Scale;
    const AxisScale& other = v.Across.Scale();
    const TDimensions::Values& d = m_layout.Dim;
    const bool h = v.Horizontal;
    std::vector<TxyGraph::DrawnLabel> drawn;

    // A horizontal axis has its ticks, labels and title below its line, a vertical one left of
    // it; Reversed puts them on the other side. `out` is the direction away from the line.
    const int out = (h ? 1 : -1) * (ax.Reversed() ? -1 : 1);
    // A line across the axis at `along` (gridline, tick), and the axis line itself at `at`.
    auto acrossLine = [&](int along, int from, int to) {
        if (h)
            m_p.drawLine(along, from, along, to);
        else
            m_p.drawLine(from, along, to, along);
    };
    auto alongLine = [&](int from, int to, int at) {
        if (h)
            m_p.drawLine(from, at, to, at);
        else
            m_p.drawLine(at, from, at, to);
    };
    // The plot's extent along the axis, from its Min end to its Max end.
    const int plotFrom = h ? m_layout.PlotLeft() : m_layout.PlotBottom();
    const int plotTo = h ? m_layout.PlotRight() : m_layout.PlotTop();
    const int plotLength =
        h ? m_layout.PlotRight() - m_layout.PlotLeft() : m_layout.PlotBottom() - m_layout.PlotTop();
    // Without a valid axis to place it against, the line runs along the plot's lower left edge.
    const int line = other.Valid ? v.Across.ToPixel(AxisCrossValue(ax.OffsetType(), ax.Offset(), other))
                                 : (h ? m_layout.PlotBottom() : m_layout.PlotLeft());
    const int axisPen = m_penWidth;
    const int thin = ThinPen(axisPen, m_app.PrintLineStyle());

    std::vector<Tick> ticks;
    double step = 0.0;
    if (s.Valid) {
        try {
            // The drawing step is returned, not stored: StepSize keeps its value.
            step = DrawStep(s, m_app.Limits(), plotLength, ax.Title().toStdString());
            ticks = TickSequence(s, step);
        } catch (const ChartError&) {
            ticks.clear();
        }
    }

    if (ax.Gridlines() && other.Valid && s.Valid) {
        m_p.setPen(Pen(m_app.GridColor(), thin, ToQtPenStyle(m_app.GridStyle())));
        const int from = v.Across.ToPixel(other.Min);
        const int to = v.Across.ToPixel(other.Max);
        const bool skipFirst = FirstTickOnMin(s, ticks);
        for (std::size_t i = 0; i < ticks.size(); ++i) {
            if (i == 0 && skipFirst) continue;
            acrossLine(v.Along.ToPixel(ticks[i].Value), from, to);
        }
    }
    if (!ax.ShowAxis()) return drawn;

    if (m_app.ShowTicks() && s.Valid) {
        m_p.setPen(Pen(m_app.AxesColor(), thin));
        for (const Tick& t : ticks)
            acrossLine(v.Along.ToPixel(t.Value), line, line + out * d.TickLength);
    }

    // Labels centred on their ticks. Along a horizontal axis a label that would not start right
    // of the last one drawn is left out (the last always shows); a vertical axis labels every
    // tick. The band is the label's depth away from the line.
    int band = 0;
    if (m_app.ShowGraphLabels() && s.Valid && !ticks.empty()) {
        const TFont& f = m_layout.LabelFont;
        SetFont(f);
        m_p.setPen(f.Color);
        m_p.setBackgroundMode(Qt::TransparentMode);
        const std::vector<QString> texts = LabelTexts(s, ticks, step, ax.DateTimeFormat(), DecimalPoint());
        const int textHeight = TextHeight();
        const int gap = d.TickLength + (h ? d.XAxisLabelOffset : d.YAxisLabelOffset);
        std::vector<std::pair<int, int>> extents; // along the axis
        std::vector<std::size_t> index;
        std::vector<int> widths;
        for (std::size_t i = 0; i < ticks.size(); ++i) {
            if (!ticks[i].Labelled || texts[i].isEmpty()) continue;
            const int w = TextWidth(texts[i]);
            const int size = h ? w : textHeight;
            const int start = v.Along.ToPixel(ticks[i].Value) - size / 2;
            extents.push_back({start, start + size});
            index.push_back(i);
            widths.push_back(w);
        }
        const std::vector<bool> show = h ? SelectXLabels(extents) : std::vector<bool>(extents.size(), true);
        for (std::size_t k = 0; k < extents.size(); ++k) {
            if (!show[k]) continue;
            const int depth = h ? textHeight : widths[k];
            const int from = out > 0 ? line + gap : line - gap - depth;
            const int x = h ? extents[k].first : from;
            const int y = h ? from : extents[k].first;
            TextAt(x, y, texts[index[k]]);
            drawn.push_back({texts[index[k]], QRect(x, y, widths[k], textHeight)});
            band = depth;
        }
    }

    m_p.setPen(Pen(m_app.AxesColor(), axisPen));
    if (s.Valid)
        alongLine(v.Along.ToPixel(s.Min), v.Along.ToPixel(s.Max), line);
    else
        alongLine(plotFrom, plotTo, line);

    // The title beyond the labels, centred on the plot; a vertical one is written bottom to
    // top, and on the left it stays inside the picture.
    const QString title = s.Valid ? ax.Title() : m_app.ErrorCaption();
    if (!title.isEmpty()) {
        const TFont& f = m_layout.TitleFont;
        SetFont(f);
        m_p.setPen(f.Color);
        const int w = TextWidth(title);
        const int textHeight = TextHeight();
        const int gap = d.TickLength + (h ? d.XAxisTitleOffset : d.YAxisTitleOffset) + band;
        int from = out > 0 ? line + gap : line - gap - textHeight;
        if (!h && out < 0) from = std::max(m_layout.XOffset, from);
        if (h) {
            TitleBackground();
            TextAt((m_layout.PlotLeft() + m_layout.PlotRight()) / 2 - w / 2, from, title);
            m_p.setBackgroundMode(Qt::TransparentMode);
        } else {
            // Rotated about the text's left end, which ends up at the bottom.
            m_p.save();
            m_p.translate(from, (m_layout.PlotTop() + m_layout.PlotBottom()) / 2 + w / 2);
            m_p.rotate(-90.0);
            TitleBackground();
            TextAt(0, 0, title);
            m_p.restore();
        }
    }
    return drawn;
}

void TScaleDraw::DrawGraphTitle(const QString& text) {
    if (text.isEmpty()) return;
    const TFont& f = m_layout.CaptionFont;
    SetFont(f);
    const int w = TextWidth(text);
    const int x = (m_layout.PlotLeft() + m_layout.PlotRight()) / 2 - w / 2;
    const int y = m_layout.Dim.TopMargin - m_layout.Dim.GraphTitleOffset - TextHeight() + m_layout.YOffset;
    m_p.setPen(f.Color);
    TitleBackground();
    TextAt(x, y, text);
    m_p.setBackgroundMode(Qt::TransparentMode);
}

void TScaleDraw::DrawMarker(QPainter& p, int shape, int x, int y, int r) {
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

// --- plot items -------------------------------------------------------------------------------

void TOriginCross::Draw(TScaleDraw& d) const {
    const AxisScale& x = m_x.Scale();
    const AxisScale& y = m_y.Scale();
    if (!d.Appearance().PlotOffGraph() && !(x.Min <= 0.0 && 0.0 <= x.Max && y.Min <= 0.0 && 0.0 <= y.Max))
        return;
    const int a = static_cast<int>(std::lround(d.Appearance().Crosslength() * d.Layout().Scale));
    const int x0 = m_x.ToPixel(0.0);
    const int y0 = m_y.ToPixel(0.0);
    QPainter& p = d.Painter();
    p.setPen(TScaleDraw::Pen(d.Appearance().CrossColor(), d.PenWidth()));
    // A flat-capped line leaves out the pixel at its lower or right end: each arm ends one
    // pixel beyond a there.
    p.drawLine(x0, y0 - a, x0, y0 + a + 1);
    p.drawLine(x0 - a, y0, x0 + a + 1, y0);
}

void TSeriesPlot::Draw(TScaleDraw& d) const {
    TSeries& s = m_s;
    if (!s.Active() || s.PointCount() == 0) return;
    const AxisScale& xs = m_x.Scale();
    const AxisScale& ys = m_y.Scale();
    if (!xs.Valid || !ys.Valid) return;
    TxyGraph& chart = s.Owner();
    if (s.HasRange() && ((xs.LogScale && !(s.XMin() > 0.0)) || (ys.LogScale && !(s.YMin() > 0.0)))) {
        if (chart.OnLogError) chart.OnLogError(s, s.Index());
        return;
    }

    QPainter& p = d.Painter();
    const TAppearance& app = d.Appearance();
    const TDrawLayout& layout = d.Layout();
    const int pen = d.PenWidth();
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
            runs.back().append(QPoint(m_x.ToPixel(pt.x), m_y.ToPixel(pt.y - zero)));
        }
        // The plot area's right and bottom edges included, nothing beyond.
        p.save();
        if (clip) p.setClipRect(layout.PlotArea(), Qt::IntersectClip);
        if (s.Highlighted()) {
            p.setPen(TScaleDraw::Pen(Qt::black, pen, Qt::DotLine));
            for (const QPolygon& run : runs)
                if (run.size() > 1) p.drawPolyline(run.translated(0, 2));
        }
        p.setPen(TScaleDraw::Pen(s.LineColor(), pen, ToQtPenStyle(s.LineStyle())));
        for (const QPolygon& run : runs)
            if (run.size() > 1) p.drawPolyline(run);
        p.restore();
    }

    if (!s.DrawPoints()) return;
    const QColor paper = chart.Color();
    const int r = static_cast<int>(std::lround(s.PointStyle() / 2.0 * layout.Scale));
    const int shape = s.PointShape();
    const QColor inverse(255 - paper.red(), 255 - paper.green(), 255 - paper.blue());
    const QPen markerPen = TScaleDraw::Pen(s.PointColor(), pen);
    const QBrush brush(s.FillPoints() ? s.PointColor() : paper);
    const double clearance = std::trunc(r * app.MinPointClearance() * 2.0);
    int lastX = -99, lastY = -99;

    // On a raster target at whole-pixel positions every marker of the series is stamped from one
    // small picture of it: the same pixels as drawing each one, for a fraction of the cost.
    QImage stamp;
    int centre = 0;
    if (shape <= 3 && r <= 64 && IsRaster(p) && p.transform().type() <= QTransform::TxTranslate &&
        p.device()->devicePixelRatioF() == 1.0) {
        centre = r + 2 + pen;
        stamp = QImage(2 * centre + 1, 2 * centre + 1, QImage::Format_ARGB32_Premultiplied);
        stamp.fill(Qt::transparent);
        QPainter sp(&stamp);
        if (s.Highlighted()) {
            sp.setPen(TScaleDraw::Pen(inverse, pen));
            sp.setBrush(Qt::NoBrush);
            TScaleDraw::DrawMarker(sp, shape, centre, centre, r + 1);
        }
        sp.setPen(markerPen);
        sp.setBrush(brush);
        TScaleDraw::DrawMarker(sp, shape, centre, centre, r);
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
        const int px = m_x.ToPixel(pt.x);
        const int py = m_y.ToPixel(y);

        if (shape == 4) {
            double nextX = xs.Max;
            if (i + 1 < pts.size()) nextX = pts[i + 1].x;
            p.setPen(TScaleDraw::Pen(s.PointColor(), std::max(1, r)));
            p.drawLine(px, py, m_x.ToPixel(nextX), py);
            continue;
        }
        if (shape == 5) {
            const int x0 = m_x.ToPixel(pt.x + s.BarOffset());
            const int x1 = m_x.ToPixel(pt.x + s.BarOffset() + s.BarWidth());
            p.drawRect(QRect(QPoint(std::min(x0, x1), py), QPoint(std::max(x0, x1), layout.PlotBottom())));
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
            p.setPen(TScaleDraw::Pen(inverse, pen));
            p.setBrush(Qt::NoBrush);
            TScaleDraw::DrawMarker(p, shape, px, py, r + 1);
            p.setPen(markerPen);
            p.setBrush(brush);
        }
        TScaleDraw::DrawMarker(p, shape, px, py, r);
    }
    p.setBrush(paper);
}

void TLegendBox::Draw(TScaleDraw& d) const {
    if (m_entries.empty()) return;
    QPainter& p = d.Painter();
    const TDrawLayout& layout = d.Layout();
    const TLegend& lg = m_legend;
    const double sc = layout.Scale;
    auto scaled = [sc](int v) { return static_cast<int>(std::lround(v * sc)); };
    const int L = scaled(lg.left()) + layout.XOffset;
    const int T = scaled(lg.top()) + layout.YOffset;
    const int W = scaled(lg.width());
    const int H = scaled(lg.height());
    p.setPen(TScaleDraw::Pen(lg.borderStyle() == bsSingle ? QColor(Qt::black) : lg.color(), 1));
    p.setBrush(lg.color());
    p.drawRect(QRect(L, T, std::max(0, W - 1), std::max(0, H - 1)));

    const int xm = scaled(lg.XMargin());
    const int ym = scaled(lg.YMargin());
    const int sym = scaled(lg.SymbolSpace());
    const int n = static_cast<int>(m_entries.size());
    const int advance = lg.Layout() == lsAcross ? (W - 2 * xm) / n : (H - 2 * ym) / n;
    const int symbolPen = d.Appearance().PrintLineStyle() ? 1 : d.PenWidth();

    d.SetFont(layout.LegendFont);
    const int mid = d.TextHeight() / 2;
    p.setBackgroundMode(Qt::TransparentMode);
    for (int i = 0; i < n; ++i) {
        const TSeries& s = *m_entries[static_cast<std::size_t>(i)];
        const int ex = L + xm + (lg.Layout() == lsAcross ? i * advance : 0);
        const int ey = T + ym + (lg.Layout() == lsDown ? i * advance : 0);
        const int show = s.ShowInLegend();
        if ((show == 3 || show == 4) && s.DrawLine()) {
            p.setPen(TScaleDraw::Pen(s.LineColor(), symbolPen, ToQtPenStyle(s.LineStyle())));
            p.drawLine(ex, ey + mid, ex + sym, ey + mid);
        }
        if ((show == 2 || show == 4) && s.DrawPoints()) {
            p.setPen(TScaleDraw::Pen(s.PointColor(), symbolPen));
            p.setBrush(s.FillPoints() ? s.PointColor() : m_paper);
            TScaleDraw::DrawMarker(p, s.PointShape(), ex + sym / 2, ey + mid,
                                   static_cast<int>(std::lround(s.PointStyle() / 2.0 * sc)));
        }
        p.setPen(layout.LegendFont.Color);
        d.TextAt(ex + sym + scaled(2), ey, s.SeriesName());
    }
    p.setBrush(m_paper);
}

// --- the full draw ----------------------------------------------------------------------------

TChartDrawing::TChartDrawing(TxyGraph& chart, const TDrawLayout& layout, TChartScales& scales,
                             TTextCache& texts)
    : m_chart(chart), m_layout(layout), m_scales(scales), m_texts(texts), m_x(layout.XMap(scales)),
      m_y(layout.YMap(scales)), m_y2(layout.Y2Map(scales)) {}

void TChartDrawing::DrawBackground(QPainter& p) {
    const TAppearance& app = m_chart.Appearance();
    if (m_layout.Printing && !app.PrintBkgndColor()) return;
    p.fillRect(QRect(m_layout.XOffset, m_layout.YOffset, m_layout.Width, m_layout.Height), app.MarginColor());
    p.fillRect(m_layout.PlotArea(), app.BackgroundColor());
}

bool TChartDrawing::Draw(QPainter& p) {
    const TAppearance& app = m_chart.Appearance();
    TScaleDraw d(p, m_layout, app, m_texts);
    int pen = std::max(1, m_layout.PenWidth);
    d.SetPenWidth(pen);

    DrawBackground(p);
    m_xLabels = d.DrawAxis({m_chart.XAxis(), m_scales.X, m_x, m_y, true});
    d.DrawAxis({m_chart.YAxis(), m_scales.Y, m_y, m_x, false});
    d.DrawAxis({m_chart.YAxis_Second(), m_scales.Y2, m_y2, m_x, false});
    if (app.ShowGraphLabels()) d.DrawGraphTitle(app.GraphTitle());
    if (!m_scales.Valid) return false;

    if (app.CrossAtZero() && !m_scales.X.LogScale && !m_scales.Y.LogScale) TOriginCross(m_x, m_y).Draw(d);
    if (!m_chart.Plotting()) return false;
    if (pen > 2) pen = (pen + 1) / 2;
    d.SetPenWidth(pen);
    DrawSeries(d);
    if (m_chart.Legend().visible()) {
        std::vector<const TSeries*> entries;
        for (const TSeries* s : m_chart.SeriesList())
            if (s->ShowInLegend() != 0) entries.push_back(s);
        TLegendBox(m_chart.Legend(), std::move(entries), m_chart.Color()).Draw(d);
    }
    return true;
}

void TChartDrawing::DrawSeries(TScaleDraw& d) {
    const int saved = d.PenWidth();
    if (m_chart.Appearance().PrintLineStyle()) d.SetPenWidth(1);
    for (TSeries* s : m_chart.SeriesList())
        TSeriesPlot(*s, m_x, s->FirstAxis() ? m_y : m_y2).Draw(d);
    d.SetPenWidth(saved);
}

void TChartDrawing::DrawSeriesLayer(QPainter& p) {
    TScaleDraw d(p, m_layout, m_chart.Appearance(), m_texts);
    d.SetPenWidth(std::max(1, m_layout.PenWidth));
    DrawSeries(d);
}
