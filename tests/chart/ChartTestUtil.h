#pragma once
// Shared helpers of the chart tests: charts set up as in the main window, pixel searches.

#include "Watchdog.h"
#include "xyGraph.h"

#include <QImage>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

// A 369 x 121 chart with two 100-point series, styled as the main window styles its charts.
inline void FillLikeMainWindow(TxyGraph& g, double tEnd = 2.3) {
    g.resize(369, 121);
    g.SetPlotting(false);
    g.DestroySeries(g.GetSeries(1));
    g.DestroySeries(g.GetSeries(2));
    for (int k = 1; k <= 100; ++k) {
        const double t = tEnd * 0.01 * (k - 1);
        g.GetSeries(1).AddPoint(t, 6.0 * std::exp(-t) + 1.0);
        g.GetSeries(2).AddPoint(t, 3.0 * (1.0 - std::exp(-3.0 * t)));
    }
    g.SetPlotting(true);
    g.Appearance().SetCrossColor(Qt::black);
    g.Appearance().SetPrintLineStyle(true);
    for (TAxis* a : {&g.XAxis(), &g.YAxis()}) {
        a->SetAutoSizing(true);
        a->SetAutoStepping(true);
        a->SetMin(0);
    }
    TSeries& s1 = g.GetSeries(1);
    s1.SetLineColor(ColorFromBGR(0xFF0000));
    s1.SetDrawPoints(false);
    s1.SetLineStyle(psSolid);
    TSeries& s2 = g.GetSeries(2);
    s2.SetLineColor(ColorFromBGR(0x0000FF));
    s2.SetPointColor(ColorFromBGR(0x0000FF));
    s2.SetDrawPoints(true);
    s2.SetLineStyle(psSolid);
    s2.SetPointStyle(2);
}

// Bounding box of the pixels for which pred holds; null when none.
inline QRect PixelBox(const QImage& img, const std::function<bool(QRgb)>& pred) {
    int l = img.width(), t = img.height(), r = -1, b = -1;
    for (int y = 0; y < img.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < img.width(); ++x)
            if (pred(line[x])) {
                l = std::min(l, x);
                r = std::max(r, x);
                t = std::min(t, y);
                b = std::max(b, y);
            }
    }
    if (r < 0) return QRect();
    return QRect(QPoint(l, t), QPoint(r, b));
}

inline int CountPixels(const QImage& img, const QRect& area, const std::function<bool(QRgb)>& pred) {
    int n = 0;
    const QRect a = area.intersected(img.rect());
    for (int y = a.top(); y <= a.bottom(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = a.left(); x <= a.right(); ++x)
            if (pred(line[x])) ++n;
    }
    return n;
}

inline bool IsPureBlue(QRgb c) {
    return qRed(c) < 60 && qGreen(c) < 60 && qBlue(c) > 200;
}
inline bool IsPureRed(QRgb c) {
    return qRed(c) > 200 && qGreen(c) < 60 && qBlue(c) < 60;
}
inline bool IsBlueish(QRgb c) {
    return qBlue(c) > qRed(c) + 80 && qBlue(c) > qGreen(c) + 80;
}
inline bool IsReddish(QRgb c) {
    return qRed(c) > qBlue(c) + 80 && qRed(c) > qGreen(c) + 80;
}
