// Drawing on an image: layers, clipping, invalid scales, legend, labels, cross.
#include "ChartTestUtil.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QPainter>
#include <QPicture>
#include <QTest>

#include <cfloat>
#include <limits>

namespace {

// The plot area in image coordinates (the image has the 1-pixel border around the client area).
QRect PlotInImage(const TxyGraph& g) {
    return g.PlotArea().translated(g.BorderWidth(), g.BorderWidth());
}

bool IsDark(QRgb c) {
    return qRed(c) < 100 && qGreen(c) < 100 && qBlue(c) < 100;
}

} // namespace

TEST(Drawing, SeriesStayInsideThePlotArea) {
    TxyGraph g;
    FillLikeMainWindow(g);
    g.Appearance().SetCrossColor(Qt::black);
    // Pull the Y axis below the data so that the blue curve leaves the plot at the top.
    g.YAxis().SetMax(4.0);
    const QImage img = g.RenderImage();
    const QRect plot = PlotInImage(g);

    // Lines are clipped to the plot area; markers (red, half-size r = 1) are centred on points
    // inside the ranges and so may reach r pixels beyond its edges.
    const int r = g.GetSeries(2).PointStyle() / 2;
    const QRect markerArea = plot.adjusted(-r, -r, r, r);

    const QRect blue = PixelBox(img, IsPureBlue);
    const QRect red = PixelBox(img, IsPureRed);
    ASSERT_FALSE(blue.isNull());
    ASSERT_FALSE(red.isNull());
    EXPECT_TRUE(plot.contains(blue)) << "blue outside the plot area";
    EXPECT_TRUE(markerArea.contains(red)) << "red outside the plot area";
    EXPECT_EQ(CountPixels(img, img.rect(), IsBlueish) - CountPixels(img, plot, IsBlueish), 0);
    EXPECT_EQ(CountPixels(img, img.rect(), IsReddish) - CountPixels(img, markerArea, IsReddish), 0);
    // The clipped blue curve (6 exp(-t) + 1 > 4 until t = ln 2) meets the top edge there.
    EXPECT_EQ(blue.top(), plot.top());
    EXPECT_NEAR(blue.left(), g.XToPixel(std::log(2.0)) + 1, 2);
    EXPECT_NEAR(blue.right(), g.XToPixel(2.277) + 1, 2);
    // The red curve runs from t = 0 to the last point.
    EXPECT_NEAR(red.left(), plot.left() - r, 1);
    EXPECT_NEAR(red.right(), g.XToPixel(2.277) + 1 + r, 2);
}

TEST(Drawing, PlotOffGraphDrawsBeyondThePlotArea) {
    TxyGraph g;
    FillLikeMainWindow(g);
    g.YAxis().SetMax(4.0);
    g.Appearance().SetPlotOffGraph(true);
    const QImage img = g.RenderImage();
    EXPECT_GT(CountPixels(img, img.rect(), IsPureBlue) - CountPixels(img, PlotInImage(g), IsPureBlue), 0);
}

TEST(Drawing, InvalidYRangeShowsTheErrorCaptionAndNoSeries) {
    TxyGraph g;
    FillLikeMainWindow(g);
    g.resize(369, 300); // room for the caption written upwards
    g.YAxis().SetTitle("Id/In");
    g.YAxis().SetMin(3);
    g.YAxis().SetMax(3);
    const QImage img = g.RenderImage();
    EXPECT_FALSE(g.ScalesValid());
    EXPECT_FALSE(g.YAxis().Valid());
    EXPECT_EQ(CountPixels(img, img.rect(), IsBlueish), 0);
    EXPECT_EQ(CountPixels(img, img.rect(), IsReddish), 0);

    // The Y title column holds a text as long as the caption, not the short title.
    const QRect plot = PlotInImage(g);
    const QRect titleColumn(2, 2, plot.left() - 10, plot.bottom() - 2);
    const QRect ink = PixelBox(img.copy(titleColumn), IsDark);
    const QFontMetrics fm(g.Appearance().TitleFont().ToQFont());
    const int captionLength = fm.horizontalAdvance("MAX/MIN VALUES INCONSISTENT");
    ASSERT_FALSE(ink.isNull());
    EXPECT_NEAR(ink.height(), captionLength, 4);
    EXPECT_GT(ink.height(), fm.horizontalAdvance("Id/In") * 2);
    // The frame is there: the X axis line runs along the plot's bottom.
    EXPECT_GT(CountPixels(img, QRect(plot.left(), plot.bottom(), plot.width(), 1), IsDark), plot.width() / 2);
}

TEST(Drawing, WithoutPlottingAxesButNoSeries) {
    TxyGraph g;
    FillLikeMainWindow(g);
    g.SetPlotting(false);
    const QImage img = g.RenderImage();
    EXPECT_EQ(CountPixels(img, img.rect(), IsBlueish), 0);
    EXPECT_EQ(CountPixels(img, img.rect(), IsReddish), 0);
    const QRect plot = PlotInImage(g);
    // Axis lines along the bottom and the left of the plot area, and labels under it.
    EXPECT_GT(CountPixels(img, QRect(plot.left(), plot.bottom(), plot.width(), 1), IsDark),
              plot.width() * 9 / 10);
    EXPECT_GE(CountPixels(img, QRect(plot.left(), plot.top(), 1, plot.height()), IsDark),
              plot.height() * 9 / 10);
    EXPECT_GT(CountPixels(img, QRect(plot.left() - 10, plot.bottom() + 5, plot.width() + 20, 12), IsDark),
              20);
    g.SetPlotting(true);
    const QImage with = g.RenderImage();
    EXPECT_GT(CountPixels(with, with.rect(), IsBlueish), 50);
}

TEST(Drawing, LegendOnlyWhenASeriesShowsInIt) {
    TxyGraph g;
    FillLikeMainWindow(g);
    g.resize(369, 200);
    g.Legend().setVisible(true);
    g.Legend().setColor(Qt::yellow);
    auto isYellow = [](QRgb c) { return qRed(c) > 200 && qGreen(c) > 200 && qBlue(c) < 60; };
    EXPECT_EQ(CountPixels(g.RenderImage(), QRect(0, 0, 369, 200), isYellow), 0);

    g.GetSeries(1).SetShowInLegend(4);
    g.GetSeries(2).SetShowInLegend(1);
    const QImage img = g.RenderImage();
    const QRect box = PixelBox(img, isYellow);
    ASSERT_FALSE(box.isNull());
    const TLegend& l = g.Legend();
    EXPECT_NEAR(box.left(), l.left() + 1, 1);
    EXPECT_NEAR(box.top(), l.top() + 1, 1);
    EXPECT_NEAR(box.width(), l.width(), 2);
    EXPECT_NEAR(box.height(), l.height(), 2);
    // The line sample of series 1 is drawn in the legend.
    EXPECT_GT(CountPixels(img, box, IsPureBlue), 10);
}

TEST(Drawing, OverlappingXLabelsAreSkippedExceptTheLast) {
    TxyGraph g;
    g.resize(200, 121);
    g.Appearance().SetLabelFont(TFont::Arial(-14));
    g.XAxis().SetMin(0);
    g.XAxis().SetMax(5000); // labels 0, 500 ... 5000: far wider than their 14 px spacing
    g.XAxis().SetStepSize(500);
    const QImage img = g.RenderImage();
    const auto& labels = g.DrawnXLabels();
    ASSERT_GE(labels.size(), 3u);
    EXPECT_LT(labels.size(), 11u);
    EXPECT_EQ(labels.front().Text, "0");
    EXPECT_EQ(labels.back().Text, "5000");
    for (std::size_t i = 1; i + 1 < labels.size(); ++i)
        EXPECT_GT(labels[i].Box.left(), labels[i - 1].Box.right()) << i;
    // Drawn where claimed.
    for (const auto& l : labels)
        EXPECT_GT(CountPixels(img, l.Box.translated(1, 1), IsDark), 3) << l.Text.toStdString();

    // Wide enough, every label is drawn.
    g.resize(900, 121);
    g.RenderImage();
    EXPECT_EQ(g.DrawnXLabels().size(), 11u);
}

TEST(Drawing, CrossAtTheOriginOnlyWhenItIsInRange) {
    TxyGraph g;
    g.resize(300, 200);
    g.XAxis().SetMin(0);
    g.XAxis().SetMax(10);
    g.YAxis().SetMin(0);
    g.YAxis().SetMax(10);
    g.Appearance().SetCrossColor(Qt::red);
    const QImage img = g.RenderImage();
    const QRect red = PixelBox(img, IsPureRed);
    const QRect plot = PlotInImage(g);
    ASSERT_FALSE(red.isNull());
    EXPECT_TRUE(red.contains(plot.bottomLeft()));
    EXPECT_LE(red.width(), 2 * 4 + 2);

    g.XAxis().SetMin(1);
    EXPECT_TRUE(PixelBox(g.RenderImage(), IsPureRed).isNull());
}

TEST(Drawing, MarkerClearanceSkipsCrowdedMarkers) {
    TxyGraph g;
    g.resize(369, 121);
    TSeries& s = g.GetSeries(3); // red diamonds
    s.SetDrawLine(false);
    for (int i = 0; i <= 200; ++i)
        s.AddPoint(i * 0.01, 0.5);
    g.XAxis().SetMin(0);
    g.XAxis().SetMax(2);
    const int dense = CountPixels(g.RenderImage(), QRect(0, 0, 369, 121), IsPureRed);
    g.Appearance().SetMinPointClearance(3.0); // 2 x r x 3 = 12 px apart at least
    const int sparse = CountPixels(g.RenderImage(), QRect(0, 0, 369, 121), IsPureRed);
    EXPECT_GT(dense, 0);
    EXPECT_LT(sparse, dense / 2);
    EXPECT_GT(sparse, 0);
}

TEST(Drawing, MarkerShapes) {
    for (int shape = 0; shape <= 5; ++shape) {
        TxyGraph g;
        g.resize(200, 150);
        TSeries& s = g.GetSeries(3);
        s.SetDrawLine(false);
        s.SetPointShape(shape);
        s.SetPointStyle(8);
        s.SetBarWidth(0.1);
        s.AddPoint(0.5, 0.5);
        const QImage img = g.RenderImage();
        EXPECT_GT(CountPixels(img, img.rect(), IsPureRed), 4) << "shape " << shape;
    }
}

TEST(Drawing, PaintEventsBracketTheDrawing) {
    TxyGraph g;
    FillLikeMainWindow(g);
    std::vector<std::string> calls;
    g.OnPaintStart = [&](TxyGraph&, QPainter&) { calls.push_back("start"); };
    g.OnPaintEnd = [&](TxyGraph&, QPainter&) { calls.push_back("end"); };
    g.RenderImage();
    EXPECT_EQ(calls, (std::vector<std::string>{"start", "end"}));
}

TEST(Drawing, LogErrorLeavesTheSeriesOut) {
    TxyGraph g;
    g.resize(300, 200);
    TSeries& s = g.GetSeries(3);
    s.AddPoint(1, 0);
    s.AddPoint(2, 5);
    g.YAxis().SetLogScale(true);
    g.YAxis().SetMin(1);
    g.YAxis().SetMax(10);
    g.XAxis().SetMin(0);
    g.XAxis().SetMax(3);
    int errors = 0;
    g.OnLogError = [&](TSeries& sender, int n) {
        EXPECT_EQ(&sender, &s);
        EXPECT_EQ(n, 3);
        ++errors;
    };
    const QImage img = g.RenderImage();
    EXPECT_EQ(errors, 1);
    EXPECT_EQ(CountPixels(img, img.rect(), IsPureRed), 0);
}

TEST(Drawing, NonFiniteValuesBreakTheLine) {
    TxyGraph g;
    g.resize(300, 200);
    TSeries& s = g.GetSeries(2);
    s.SetDrawPoints(false);
    s.SetLineStyle(psSolid);
    s.AddPoint(0, 1);
    s.AddPoint(1, 1);
    s.AddPoint(2, NAN);
    s.AddPoint(3, 1);
    s.AddPoint(4, 1);
    g.XAxis().SetMin(0);
    g.XAxis().SetMax(4);
    g.YAxis().SetMin(0);
    g.YAxis().SetMax(2);
    const QImage img = g.RenderImage();
    const int y = g.YToPixel(1) + 1;
    // Blue on both sides of the gap, none in its middle.
    EXPECT_TRUE(IsPureBlue(img.pixel(g.XToPixel(0.5) + 1, y)));
    EXPECT_TRUE(IsPureBlue(img.pixel(g.XToPixel(3.5) + 1, y)));
    EXPECT_FALSE(IsPureBlue(img.pixel(g.XToPixel(2) + 1, y)));
}

TEST(Drawing, ComposedChartsKeepTheirPlaces) {
    QWidget parent;
    parent.resize(400, 260);
    TxyGraph a(&parent), b(&parent);
    a.setGeometry(8, 0, 369, 121);
    b.setGeometry(8, 120, 369, 121);
    FillLikeMainWindow(a);
    FillLikeMainWindow(b, 4.0);
    const QImage all = TxyGraph::RenderCharts({&a, &b});
    EXPECT_EQ(all.size(), QSize(369, 241));
    EXPECT_EQ(all.copy(0, 0, 369, 120), a.RenderImage().copy(0, 0, 369, 120));
    EXPECT_EQ(all.copy(0, 120, 369, 121), b.RenderImage());
}

TEST(Drawing, PngFile) {
    TxyGraph g;
    FillLikeMainWindow(g);
    const QString file = QDir::temp().filePath("tarvello_chart_test.png");
    ASSERT_TRUE(g.SavePng(file));
    QImage back(file);
    EXPECT_EQ(back.size(), QSize(369, 121));
    EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32), g.RenderImage());
    QFile::remove(file);
}

// Screen drawing caches text layouts and stamps markers; recorded through a picture (not a raster
// engine) the chart takes the plain drawing calls. Both must give the same pixels.
TEST(Drawing, RasterShortcutsDrawTheSamePixels) {
    TxyGraph g;
    FillLikeMainWindow(g);
    g.resize(369, 200);
    g.GetSeries(2).SetPointStyle(6);
    TSeries& s3 = g.GetSeries(3);
    s3.SetHighlighted(true);
    for (int i = 0; i < 10; ++i)
        s3.AddPoint(i * 0.2, 0.5 * i);
    g.Legend().setVisible(true);
    g.GetSeries(1).SetShowInLegend(4);
    g.GetSeries(2).SetShowInLegend(2);

    const QImage direct = g.RenderImage();
    QPicture picture;
    QPainter rec(&picture);
    g.Render(rec, QPoint(0, 0));
    rec.end();
    QImage replayed(direct.size(), QImage::Format_RGB32);
    replayed.fill(Qt::white);
    QPainter play(&replayed);
    play.drawPicture(0, 0, picture);
    play.end();

    // Markers: identical pixels.
    const int diffRed =
        CountPixels(direct, direct.rect(), IsPureRed) - CountPixels(replayed, direct.rect(), IsPureRed);
    const int diffGreen = CountPixels(direct, direct.rect(), [](QRgb c) { return c == qRgb(0, 128, 0); }) -
                          CountPixels(replayed, direct.rect(), [](QRgb c) { return c == qRgb(0, 128, 0); });
    EXPECT_EQ(diffRed, 0);
    EXPECT_EQ(diffGreen, 0);
    int differing = 0;
    for (int y = 0; y < direct.height(); ++y)
        for (int x = 0; x < direct.width(); ++x)
            if (direct.pixel(x, y) != replayed.pixel(x, y)) ++differing;
    EXPECT_EQ(differing, 0);
}

// With PreventFlicker a point added inside the autosized ranges is drawn over the picture
// without a full draw; one outside them refits and redraws everything.
TEST(Drawing, PreventFlickerDrawsOnlyTheSeriesLayer) {
    TxyGraph g;
    g.resize(369, 121);
    TSeries& s = g.GetSeries(2);
    s.SetDrawPoints(false);
    s.SetLineStyle(psSolid);
    s.AddPoint(0, 0);
    s.AddPoint(10, 10);
    g.XAxis().SetAutoSizing(true);
    g.YAxis().SetAutoSizing(true);
    g.Appearance().SetPreventFlicker(true);
    int fullDraws = 0;
    g.OnPaintStart = [&](TxyGraph&, QPainter&) { ++fullDraws; };
    g.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&g));
    QCoreApplication::processEvents();
    const QImage before = g.grab().toImage();
    fullDraws = 0;

    s.AddPoint(9, 2); // inside the ranges: a dip in the line
    QCoreApplication::processEvents();
    const QImage after = g.grab().toImage();
    EXPECT_EQ(fullDraws, 0);
    EXPECT_GT(CountPixels(after, after.rect(), IsPureBlue), CountPixels(before, before.rect(), IsPureBlue));

    const double xMax = g.XAxis().Max();
    s.AddPoint(30, 5); // beyond the X range: refitted and redrawn
    QCoreApplication::processEvents();
    g.grab();
    EXPECT_GE(fullDraws, 1);
    EXPECT_GT(g.XAxis().Max(), xMax);
}

TEST(Drawing, RangesBeyondTheDoublesShowAsInconsistent) {
    TxyGraph g;
    g.resize(300, 200);
    g.YAxis().SetMin(-1e308);
    g.YAxis().SetMax(1e308); // the span overflows
    g.GetSeries(2).AddPoint(0.5, 1);
    QImage img;
    EXPECT_NO_THROW(img = g.RenderImage());
    EXPECT_FALSE(g.ScalesValid());
    EXPECT_EQ(CountPixels(img, img.rect(), IsBlueish), 0);
    g.YAxis().SetMin(0);
    g.YAxis().SetMax(2);
    img = g.RenderImage();
    EXPECT_TRUE(g.ScalesValid());
    EXPECT_GT(CountPixels(img, img.rect(), IsBlueish), 0);
}

// Axes no draw can step through in reasonable time: decades below the lowest positive power of
// ten, date axes over more centuries than ticks. Each draw finishes, on screen and on a page.
TEST(Drawing, NoAxisHangsTheDraw) {
    const double lowest = std::numeric_limits<double>::denorm_min();
    struct Case {
        const char* name;
        std::function<void(TxyGraph&)> set;
    } cases[] = {
        {"log Y from 5e-324",
         [](TxyGraph& g) {
             g.YAxis().SetLogScale(true);
             g.YAxis().SetMin(5e-324);
             g.YAxis().SetMax(1);
         }},
        {"log X over every double",
         [lowest](TxyGraph& g) {
             g.XAxis().SetLogScale(true);
             g.XAxis().SetLogCycleDivisions(9);
             g.XAxis().SetMin(lowest);
             g.XAxis().SetMax(DBL_MAX);
         }},
        {"autosized log Y with data at 5e-324",
         [](TxyGraph& g) {
             g.YAxis().SetLogScale(true);
             g.GetSeries(4).AddPoint(0.5, 5e-324);
             g.YAxis().SetAutoSizing(true);
             g.YAxis().SetAutoStepping(true);
         }},
        {"date X over 1e300 days",
         [](TxyGraph& g) {
             g.XAxis().SetShowAsTime(true);
             g.XAxis().SetMin(1);
             g.XAxis().SetMax(1e300);
         }},
        {"date Y from day 1e300",
         [](TxyGraph& g) {
             g.YAxis().SetShowAsTime(true);
             g.YAxis().SetDateTickType(dt_century);
             g.YAxis().SetMin(1e300);
             g.YAxis().SetMax(3e300);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TxyGraph g;
        g.resize(369, 200);
        g.GetSeries(2).AddPoint(0.5, 0.5);
        QImage img;
        FinishesWithin(20, c.name, [&] {
            c.set(g);
            img = g.RenderImage();
            TImagePrintService page(QSize(800, 1100), 150);
            EXPECT_TRUE(g.Print(page));
        });
        EXPECT_TRUE(g.ScalesValid());
        EXPECT_GT(CountPixels(img, PlotInImage(g), IsDark), 0); // ticks or labels were drawn
    }
}

// The cross at the origin covers x0 - a ... x0 + a and y0 - a ... y0 + a, nothing more.
TEST(Drawing, OriginCrossCoversExactlyItsHalfLength) {
    for (int a : {4, 7, 0}) {
        TxyGraph g;
        g.resize(300, 200);
        g.XAxis().SetMin(-10);
        g.XAxis().SetMax(10);
        g.YAxis().SetMin(-10);
        g.YAxis().SetMax(10);
        g.Appearance().SetCrossColor(Qt::red);
        g.Appearance().SetCrosslength(a);
        const QImage img = g.RenderImage();
        const int x0 = g.XToPixel(0) + g.BorderWidth();
        const int y0 = g.YToPixel(0) + g.BorderWidth();
        SCOPED_TRACE(testing::Message() << "half-length " << a);
        EXPECT_EQ(PixelBox(img, IsPureRed), QRect(QPoint(x0 - a, y0 - a), QPoint(x0 + a, y0 + a)));
        EXPECT_EQ(CountPixels(img, img.rect(), IsPureRed), 4 * a + 1);
        for (int d = -a; d <= a; ++d) {
            EXPECT_TRUE(IsPureRed(img.pixel(x0 + d, y0))) << d;
            EXPECT_TRUE(IsPureRed(img.pixel(x0, y0 + d))) << d;
        }
    }
}

// The series clip holds columns LeftMargin ... width - RightMargin and rows TopMargin ...
// height - BottomMargin of the drawing, which is as large as the control: lines running through
// the plot reach those edges and stop there.
TEST(Drawing, SeriesClipEndsAtTheEdgesOfThePlotArea) {
    for (QSize size : {QSize(300, 200), QSize(369, 121)}) {
        TxyGraph g;
        g.resize(size);
        g.Dimensions().SetLeftMargin(37);
        g.Dimensions().SetTopMargin(21);
        g.XAxis().SetMin(0);
        g.XAxis().SetMax(10);
        g.YAxis().SetMin(0);
        g.YAxis().SetMax(10);
        g.Appearance().SetCrossAtZero(false);
        TSeries& across = g.GetSeries(2); // blue, from far left to far right
        across.SetLineStyle(psSolid);
        across.SetDrawPoints(false);
        across.AddPoint(-100, 5);
        across.AddPoint(100, 5);
        TSeries& upwards = g.GetSeries(3); // red, from far below to far above
        upwards.SetLineStyle(psSolid);
        upwards.SetDrawPoints(false);
        upwards.AddPoint(5, -1000);
        upwards.AddPoint(5.000001, 1000);
        const QImage img = g.RenderImage();

        const int b = g.BorderWidth();
        const QRect plot(QPoint(37, 21), QPoint(size.width() - 15, size.height() - 40));
        EXPECT_EQ(g.PlotArea(), plot);
        const QRect blue = PixelBox(img, IsPureBlue).translated(-b, -b);
        const QRect red = PixelBox(img, IsPureRed).translated(-b, -b);
        SCOPED_TRACE(testing::Message() << size.width() << " x " << size.height());
        EXPECT_EQ(blue.left(), plot.left());
        EXPECT_EQ(blue.right(), plot.right());
        EXPECT_EQ(blue.height(), 1);
        EXPECT_EQ(red.top(), plot.top());
        EXPECT_EQ(red.bottom(), plot.bottom());
        EXPECT_LE(red.width(), 2);
        // The scale spreads Min ... Max over exactly that width and height.
        EXPECT_DOUBLE_EQ(g.XAxis().ScaleFactor(), (size.width() - 15 - 37) / 10.0);
        EXPECT_DOUBLE_EQ(g.YAxis().ScaleFactor(), (size.height() - 40 - 21) / 10.0);
        EXPECT_EQ(g.XToPixel(10), size.width() - 15);
        EXPECT_EQ(g.YToPixel(0), size.height() - 40);
    }
}

// An autosized axis without data whose Min and Max are equal and negative becomes 0 ... Min: a
// reversed range, drawn as inconsistent, that keeps its step.
TEST(Drawing, EqualNegativeLimitsWithoutDataAreInconsistent) {
    TxyGraph g;
    g.resize(369, 300); // room for the caption written upwards
    g.YAxis().SetTitle("Id/In");
    g.YAxis().SetMin(-4);
    g.YAxis().SetMax(-4);
    g.YAxis().SetStepSize(0.7);
    g.YAxis().SetAutoSizing(true);
    EXPECT_EQ(g.YAxis().Min(), 0.0);
    EXPECT_EQ(g.YAxis().Max(), -4.0);
    EXPECT_EQ(g.YAxis().StepSize(), 0.7);
    QImage img;
    EXPECT_NO_THROW(img = g.RenderImage());
    EXPECT_FALSE(g.YAxis().Valid());
    EXPECT_FALSE(g.ScalesValid());
    const QRect plot = PlotInImage(g);
    const QRect ink = PixelBox(img.copy(QRect(2, 2, plot.left() - 10, plot.bottom() - 2)), IsDark);
    const QFontMetrics fm(g.Appearance().TitleFont().ToQFont());
    ASSERT_FALSE(ink.isNull());
    EXPECT_NEAR(ink.height(), fm.horizontalAdvance("MAX/MIN VALUES INCONSISTENT"), 4);

    // The same on the X axis: its title place shows the caption.
    TxyGraph x;
    x.resize(369, 121);
    x.XAxis().SetMin(-2.5);
    x.XAxis().SetMax(-2.5);
    x.XAxis().SetAutoSizing(true);
    x.RenderImage();
    EXPECT_EQ(x.XAxis().Min(), 0.0);
    EXPECT_EQ(x.XAxis().Max(), -2.5);
    EXPECT_FALSE(x.ScalesValid());
    EXPECT_TRUE(x.DrawnXLabels().empty());
}

// A logarithmic axis set by hand to 1 ... 2 was never fitted: it is stepped by its subdivisions,
// not linearly, and labelled at its decade start.
TEST(Drawing, UnfittedShortLogarithmicAxisKeepsItsSubdivisions) {
    TxyGraph g;
    g.resize(369, 121);
    g.XAxis().SetLogScale(true);
    g.XAxis().SetMin(1);
    g.XAxis().SetMax(2);
    g.RenderImage();
    std::vector<QString> texts;
    for (const auto& l : g.DrawnXLabels())
        texts.push_back(l.Text);
    EXPECT_EQ(texts, (std::vector<QString>{"1"}));
    // Autostepped, the subdivisions are chosen for the range and each is labelled.
    g.XAxis().SetAutoStepping(true);
    g.RenderImage();
    texts.clear();
    for (const auto& l : g.DrawnXLabels())
        texts.push_back(l.Text);
    EXPECT_EQ(texts, (std::vector<QString>{"1.0", "1.2", "1.5", "2.0"}));
}
