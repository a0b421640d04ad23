// Full draws of the main window's charts: one 369 x 121 chart with two 100-point series, and the
// four charts together, each onto an image as the screen paint does.
#include "xyGraph.h"

#include <QApplication>
#include <QPainter>
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

namespace {

void Fill(TxyGraph& g, int variant) {
    g.resize(369, 121);
    g.Appearance().SetTitleFont(TFont::Arial(variant < 2 ? -11 : -9));
    g.Appearance().SetCaptionFont(TFont::Arial(-16, true));
    g.Appearance().SetLabelFont(TFont::Arial(-7));
    g.Appearance().SetCrossColor(Qt::black);
    g.Appearance().SetGraphTitle(variant % 2 == 0 ? "Current" : "Torque");
    g.XAxis().SetTitle(variant < 2 ? "t [s]" : "n/ns");
    g.YAxis().SetTitle(variant % 2 == 0 ? "I/In" : "T/Tn");
    g.SetPlotting(false);
    for (int k = 1; k <= 100; ++k) {
        const double t = 2.3 * 0.01 * (k - 1);
        g.GetSeries(1).AddPoint(t, 6.0 * std::exp(-t) + 1.0 + 0.1 * variant);
        g.GetSeries(2).AddPoint(t, 3.0 * (1.0 - std::exp(-3.0 * t)));
    }
    g.SetPlotting(true);
    g.Appearance().SetPrintLineStyle(true);
    for (TAxis* a : {&g.XAxis(), &g.YAxis()}) {
        a->SetAutoSizing(true);
        a->SetAutoStepping(true);
        a->SetMin(0);
    }
    g.GetSeries(1).SetLineColor(Qt::blue);
    g.GetSeries(1).SetDrawPoints(false);
    g.GetSeries(1).SetLineStyle(psSolid);
    g.GetSeries(2).SetLineColor(Qt::red);
    g.GetSeries(2).SetPointColor(Qt::red);
    g.GetSeries(2).SetLineStyle(psSolid);
    g.GetSeries(2).SetPointStyle(2);
}

void BM_DrawOneChart(benchmark::State& state) {
    TxyGraph g;
    Fill(g, 0);
    QImage img(g.size(), QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter p(&img);
        g.Render(p, QPoint(0, 0));
        p.end();
        benchmark::DoNotOptimize(img.constBits());
    }
}
BENCHMARK(BM_DrawOneChart)->Unit(benchmark::kMicrosecond);

void BM_DrawFourCharts(benchmark::State& state) {
    std::vector<std::unique_ptr<TxyGraph>> charts;
    for (int i = 0; i < 4; ++i) {
        charts.push_back(std::make_unique<TxyGraph>());
        Fill(*charts.back(), i);
        charts.back()->move(8, 120 * i);
    }
    QImage img(377, 481, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter p(&img);
        for (auto& c : charts)
            c->Render(p, c->pos());
        p.end();
        benchmark::DoNotOptimize(img.constBits());
    }
}
BENCHMARK(BM_DrawFourCharts)->Unit(benchmark::kMicrosecond);

// What the main window does per computation: rebuild the series, refit, draw.
void BM_RebuildAndDrawOneChart(benchmark::State& state) {
    TxyGraph g;
    Fill(g, 0);
    QImage img(g.size(), QImage::Format_RGB32);
    for (auto _ : state) {
        g.SetPlotting(false);
        g.DestroySeries(g.GetSeries(1));
        g.DestroySeries(g.GetSeries(2));
        Fill(g, 0);
        QPainter p(&img);
        g.Render(p, QPoint(0, 0));
        p.end();
        benchmark::DoNotOptimize(img.constBits());
    }
}
BENCHMARK(BM_RebuildAndDrawOneChart)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
