#include "ComparisonCharts.h"

#include "xyGraph.h"

#include <QEvent>
#include <QFontMetrics>

#include <algorithm>
#include <cmath>

namespace {

constexpr int LegendGap = 8; // between the plot area, the legend and the chart's edge

// Keeps the legend at the chart's right edge, in the right margin, whatever the chart's width.
class LegendKeeper : public QObject {
  public:
    explicit LegendKeeper(TxyGraph* chart) : QObject(chart), chart_(chart) {
        chart->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == chart_ && event->type() == QEvent::Resize) Place(*chart_);
        return false;
    }

    static void Place(TxyGraph& chart) {
        TLegend& legend = chart.Legend();
        legend.setLeft(std::max(0, chart.width() - legend.width() - LegendGap));
    }

  private:
    TxyGraph* chart_;
};

} // namespace

void KeepLegendAtRight(TxyGraph* chart) {
    TLegend& legend = chart->Legend();
    legend.setFont(TFont::Arial(-11));
    legend.SetLayout(lsDown);
    legend.setBorderStyle(bsSingle);
    legend.setTop(chart->Dimensions().TopMargin());
    legend.setVisible(true);
    new LegendKeeper(chart);
}

void FitLegendAtRight(TxyGraph* chart) {
    TLegend& legend = chart->Legend();
    const QFontMetrics metrics(legend.font().ToQFont());
    int widest = 0, entries = 0;
    for (const TSeries* s : chart->SeriesList())
        if (s->ShowInLegend() != 0) {
            widest = std::max(widest, metrics.horizontalAdvance(s->SeriesName()));
            ++entries;
        }
    legend.setWidth(2 * legend.XMargin() + legend.SymbolSpace() + 2 + widest + 4);
    legend.setHeight(2 * legend.YMargin() + std::max(1, entries) * (metrics.height() + 2));
    legend.setVisible(entries > 0);
    chart->Dimensions().SetRightMargin(entries > 0 ? legend.width() + 2 * LegendGap : 15);
    LegendKeeper::Place(*chart);
}

QColor MethodColour(StartingMethod method) {
    switch (method) {
    case StartingMethod::Dol:
        return QColor(0, 0, 255);
    case StartingMethod::StarDelta:
        return QColor(0, 140, 0);
    case StartingMethod::Autotransformer:
        return QColor(150, 0, 170);
    case StartingMethod::Reactor:
        return QColor(230, 120, 0);
    case StartingMethod::SoftRamp:
        return QColor(255, 0, 0);
    case StartingMethod::SoftLimit:
        break;
    }
    return QColor(0, 150, 160);
}

TxyGraph* NewComparisonChart(QWidget* parent, const char* name, ComparisonChart kind) {
    auto* chart = new TxyGraph(parent);
    chart->setObjectName(QString::fromLatin1(name));
    chart->setMinimumSize(300, 170);
    chart->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    // The window's layout places the charts; dragging them about would fight it.
    chart->SetDragAllowed(false);
    TAppearance& a = chart->Appearance();
    a.SetTitleFont(TFont::Arial(-11));
    a.SetCaptionFont(TFont::Arial(-14, true));
    a.SetLabelFont(TFont::Arial(-9));
    a.SetCrossColor(Qt::black);
    a.SetBackgroundColor(Qt::white);
    a.SetMarginColor(Qt::white);
    a.SetPrintLineStyle(true);
    // A changeover is drawn as its jump: two points at the same time.
    a.SetAllowDuplicates(true);
    chart->XAxis().SetTitle(QStringLiteral("t [s]"));
    chart->YAxis().SetTitle(kind == ComparisonChart::Current ? QStringLiteral("I/In")
                                                             : QStringLiteral("n/ns"));
    KeepLegendAtRight(chart);
    return chart;
}

void PlotComparison(TxyGraph* chart, ComparisonChart kind, const ComparisonResults& results,
                    const std::array<QString, StartingMethodCount>& names) {
    chart->SetPlotting(false);
    while (chart->SeriesCount() > 0)
        chart->DestroySeries(chart->SeriesList().front());

    for (const MethodOutcome& m : results.Methods) {
        if (!m.Applicable) continue;
        const std::vector<double>& t = m.Chart.Times;
        const std::vector<double>& y =
            kind == ComparisonChart::Current ? m.Chart.Values.Current : m.Chart.Values.Speed;
        const int index = static_cast<int>(m.Method);
        TSeries& s = chart->GetSeries(index + 1);
        s.SetSeriesName(names[static_cast<std::size_t>(index)]);
        s.SetLineColor(MethodColour(m.Method));
        s.SetPointColor(MethodColour(m.Method));
        s.SetDrawPoints(false);
        // The two soft-starter starts coincide while the cap does not act: the limit is dashed so
        // that the ramp shows through.
        s.SetLineStyle(m.Method == StartingMethod::SoftLimit ? psDash : psSolid);
        s.SetShowInLegend(3);
        const std::size_t n = std::min(t.size(), y.size());
        for (std::size_t k = 0; k < n; ++k)
            if (std::isfinite(t[k]) && std::isfinite(y[k])) s.AddPoint(t[k], y[k]);
    }
    FitLegendAtRight(chart);

    chart->SetPlotting(true);
    for (TAxis* axis : {&chart->XAxis(), &chart->YAxis()}) {
        // Each setter rescales: the axis is fitted to the data, then its minimum pinned at 0.
        axis->SetAutoSizing(true);
        axis->SetAutoStepping(true);
        axis->SetMin(0);
    }
}

void SetComparisonChartTexts(TxyGraph* chart, ComparisonChart kind, bool french) {
    const bool current = kind == ComparisonChart::Current;
    chart->Appearance().SetGraphTitle(
        current ? (french ? QStringLiteral("Courant de ligne") : QStringLiteral("Line current"))
                : (french ? QStringLiteral("Vitesse") : QStringLiteral("Speed")));
}
