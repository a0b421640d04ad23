#include "ProtectionChart.h"

#include "ComparisonCharts.h"
#include "DynamicCharts.h"
#include "xyGraph.h"

#include <algorithm>
#include <vector>

namespace {

namespace S = TimeCurrentSeries;

// The main window's colours for the two starts; a colour per thermal state for the relays' bands
// and one for the motor, apart from both starts.
const QColor DolColour = ColorFromBGR(0xFF0000);
const QColor SoftColour = ColorFromBGR(0x0000FF);
const QColor ColdColour(0, 128, 0);
const QColor HotColour(230, 120, 0);
const QColor MotorColour(128, 0, 128);

struct SeriesLook {
    int index;
    const char *english, *french;
    QColor colour;
    TPenStyle style;
    bool line, points, filled;
};

const SeriesLook Looks[] = {
    {S::DolStart, "DOL start", "Démarrage DOL", DolColour, psSolid, true, false, false},
    {S::SoftStarterStart, "Soft-Starter start", "Démarrage avec Soft-Starter", SoftColour, psSolid, true, true, true},
    {S::EarliestCold, "Relay cold, earliest", "Relais à froid, rapide", ColdColour, psSolid, true, false, false},
    {S::LatestCold, "Relay cold, latest", "Relais à froid, lent", ColdColour, psDash, true, false, false},
    {S::EarliestHot, "Relay hot, earliest", "Relais à chaud, rapide", HotColour, psSolid, true, false, false},
    {S::LatestHot, "Relay hot, latest", "Relais à chaud, lent", HotColour, psDash, true, false, false},
    {S::MotorCold, "Motor limit, cold", "Limite du moteur à froid", MotorColour, psSolid, true, false, false},
    {S::MotorHot, "Motor limit, hot", "Limite du moteur à chaud", MotorColour, psDot, true, false, false},
    {S::MotorColdPoint, "Locked rotor, cold", "Rotor bloqué à froid", MotorColour, psSolid, false, true, true},
    {S::MotorHotPoint, "Locked rotor, hot", "Rotor bloqué à chaud", MotorColour, psSolid, false, true, false},
};

const SeriesLook& LookOf(int index)
{
    for (const SeriesLook& look : Looks)
        if (look.index == index)
            return look;
    return Looks[0];
}

void Style(TSeries& series, const SeriesLook& look, Language language, bool inLegend)
{
    series.SetLineColor(look.colour);
    series.SetPointColor(look.colour);
    series.SetLineStyle(look.style);
    series.SetDrawLine(look.line);
    series.SetDrawPoints(look.points);
    series.SetFillPoints(look.filled);
    series.SetPointShape(1);
    // The locked-rotor points stand out; the soft-starter's marks are as in the dynamic charts.
    series.SetPointStyle(look.line ? 2 : 10);
    series.SetSeriesName(QString::fromUtf8(language == Language::French ? look.french : look.english));
    series.SetShowInLegend(!inLegend ? 0 : look.line && look.points ? 4 : look.line ? 3 : 2);
}

void Add(TSeries& series, const TimeCurrentCurve& curve)
{
    const std::size_t n = std::min(curve.Current.size(), curve.Time.size());
    // A current that holds (a current limit) gives points of one x: all of them are kept.
    series.SetDuplicatesAllowed(true);
    series.BeginUpdate();
    for (std::size_t k = 0; k < n; ++k)
        series.AddPoint(curve.Current[k], curve.Time[k]);
    series.EndUpdate();
}

void AddCurve(TxyGraph* chart, int index, const TimeCurrentCurve& curve, Language language)
{
    if (curve.Current.empty())
        return;
    TSeries& series = chart->GetSeries(index);
    Add(series, curve);
    Style(series, LookOf(index), language, true);
}

// A path split where its current turns, each stretch running one way to within a relative
// tolerance: the chart sorts a series by current, so a stretch must not come back on itself by more
// than a fraction of a pixel. Neighbouring stretches share their end point.
std::vector<TimeCurrentCurve> MonotoneStretches(const TimeCurrentCurve& path, double tolerance = 1e-3)
{
    std::vector<TimeCurrentCurve> stretches;
    const std::size_t n = std::min(path.Current.size(), path.Time.size());
    if (n == 0)
        return stretches;
    TimeCurrentCurve piece;
    int direction = 0; // +1 rising, -1 falling, 0 not yet known
    double low = 0, high = 0;
    auto begin = [&](std::size_t k) {
        piece = {};
        direction = 0;
        low = high = path.Current[k];
        piece.Current.push_back(path.Current[k]);
        piece.Time.push_back(path.Time[k]);
    };
    begin(0);
    for (std::size_t k = 1; k < n; ++k) {
        const double x = path.Current[k];
        if ((direction > 0 && x < high * (1 - tolerance)) || (direction < 0 && x > low * (1 + tolerance))) {
            stretches.push_back(std::move(piece));
            begin(k - 1);
        }
        if (direction == 0)
            direction = x > low * (1 + tolerance) ? 1 : x < high * (1 - tolerance) ? -1 : 0;
        low = std::min(low, x);
        high = std::max(high, x);
        piece.Current.push_back(x);
        piece.Time.push_back(path.Time[k]);
    }
    stretches.push_back(std::move(piece));
    return stretches;
}

void AddPath(TxyGraph* chart, int first, int more, const TimeCurrentCurve& path, Language language)
{
    const std::vector<TimeCurrentCurve> stretches = MonotoneStretches(path);
    for (std::size_t k = 0; k < stretches.size(); ++k) {
        const int extra = std::min(static_cast<int>(k), S::MaxMore);
        TSeries& series = chart->GetSeries(extra == 0 ? first : more + extra);
        Add(series, stretches[k]);
        Style(series, LookOf(first), language, extra == 0);
    }
}

void AddPoint(TxyGraph* chart, int index, const std::optional<std::pair<double, double>>& point, Language language)
{
    if (!point)
        return;
    TSeries& series = chart->GetSeries(index);
    Add(series, {{point->first}, {point->second}});
    Style(series, LookOf(index), language, true);
}

void SetRange(TAxis& axis, double low, double high)
{
    // In the order that never puts Min above Max on the way.
    if (low >= axis.Max()) {
        axis.SetMax(high);
        axis.SetMin(low);
    } else {
        axis.SetMin(low);
        axis.SetMax(high);
    }
}

} // namespace

TxyGraph* NewTimeCurrentChart(QWidget* parent, const char* name)
{
    TxyGraph* chart = NewDynamicChart(parent, name, DynamicChart::Current);
    chart->setMinimumSize(500, 360);
    chart->Dimensions().SetLeftMargin(56);
    chart->Dimensions().SetBottomMargin(42);
    chart->Appearance().SetPrintLineStyle(true);
    KeepLegendAtRight(chart);
    return chart;
}

void PlotTimeCurrentChart(TxyGraph* chart, const TimeCurrentCurves& curves, Language language)
{
    const bool french = language == Language::French;
    chart->SetPlotting(false);
    for (TSeries* series : chart->SeriesList())
        chart->DestroySeries(series);
    // The relays and the motor first, so that the starts are drawn over them.
    AddCurve(chart, S::EarliestCold, curves.EarliestCold, language);
    AddCurve(chart, S::LatestCold, curves.LatestCold, language);
    AddCurve(chart, S::EarliestHot, curves.EarliestHot, language);
    AddCurve(chart, S::LatestHot, curves.LatestHot, language);
    AddCurve(chart, S::MotorCold, curves.MotorCold, language);
    AddCurve(chart, S::MotorHot, curves.MotorHot, language);
    AddPoint(chart, S::MotorColdPoint, curves.MotorColdPoint, language);
    AddPoint(chart, S::MotorHotPoint, curves.MotorHotPoint, language);
    AddPath(chart, S::DolStart, S::DolMore, curves.DolStart, language);
    AddPath(chart, S::SoftStarterStart, S::SoftMore, curves.SoftStarterStart, language);

    chart->Appearance().SetGraphTitle(french ? QString::fromUtf8("Diagramme temps-courant")
                                             : QStringLiteral("Time-Current Chart"));
    chart->XAxis().SetTitle(french ? QStringLiteral("Courant (I/In)") : QStringLiteral("Current (I/In)"));
    chart->YAxis().SetTitle(french ? QStringLiteral("Temps (s)") : QStringLiteral("Time (s)"));
    FitLegendAtRight(chart);
    chart->SetPlotting(true);
    for (TAxis* axis : {&chart->XAxis(), &chart->YAxis()}) {
        axis->SetLogScale(true);
        axis->SetAutoStepping(true);
    }
    SetRange(chart->XAxis(), curves.CurrentMin, curves.CurrentMax);
    SetRange(chart->YAxis(), curves.TimeMin, curves.TimeMax);
}
