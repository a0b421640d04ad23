// Printing on injected pages and to a PDF file.
#include "ChartTestUtil.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QRegularExpression>

#include <stdexcept>

namespace {

bool IsYellow(QRgb c) {
    return qRed(c) > 200 && qGreen(c) > 200 && qBlue(c) < 60;
}

// A chart whose picture is easy to find on a white page: a yellow margin, printed.
void MakeFindable(TxyGraph& g) {
    FillLikeMainWindow(g);
    g.Appearance().SetPrintBkgndColor(true);
    g.Appearance().SetMarginColor(Qt::yellow);
}

struct ScreenState {
    TDimensions::Values dims;
    TFont caption, title, label, legend, chart;
    QImage picture;
};

ScreenState Capture(TxyGraph& g) {
    const TDimensions& d = g.Dimensions();
    TDimensions::Values v;
    v.LeftMargin = d.LeftMargin();
    v.RightMargin = d.RightMargin();
    v.TopMargin = d.TopMargin();
    v.BottomMargin = d.BottomMargin();
    v.TickLength = d.TickLength();
    v.XAxisTitleOffset = d.XAxisTitleOffset();
    v.XAxisLabelOffset = d.XAxisLabelOffset();
    v.YAxisTitleOffset = d.YAxisTitleOffset();
    v.YAxisLabelOffset = d.YAxisLabelOffset();
    v.GraphTitleOffset = d.GraphTitleOffset();
    return {v,
            g.Appearance().CaptionFont(),
            g.Appearance().TitleFont(),
            g.Appearance().LabelFont(),
            g.Legend().font(),
            g.ChartFont(),
            g.RenderImage()};
}

void ExpectSameScreen(const ScreenState& a, const ScreenState& b) {
    EXPECT_EQ(a.dims.LeftMargin, b.dims.LeftMargin);
    EXPECT_EQ(a.dims.RightMargin, b.dims.RightMargin);
    EXPECT_EQ(a.dims.TopMargin, b.dims.TopMargin);
    EXPECT_EQ(a.dims.BottomMargin, b.dims.BottomMargin);
    EXPECT_EQ(a.dims.TickLength, b.dims.TickLength);
    EXPECT_EQ(a.dims.XAxisTitleOffset, b.dims.XAxisTitleOffset);
    EXPECT_EQ(a.dims.YAxisLabelOffset, b.dims.YAxisLabelOffset);
    EXPECT_EQ(a.dims.GraphTitleOffset, b.dims.GraphTitleOffset);
    EXPECT_EQ(a.caption, b.caption);
    EXPECT_EQ(a.title, b.title);
    EXPECT_EQ(a.label, b.label);
    EXPECT_EQ(a.legend, b.legend);
    EXPECT_EQ(a.chart, b.chart);
    EXPECT_TRUE(a.picture == b.picture) << "the chart on screen changed";
}

} // namespace

// A wide chart on an upright page: 90 % of the page width, 5 % from the left, 20 % from the top.
TEST(Printing, PlacementOnAnUprightPage) {
    TxyGraph g;
    MakeFindable(g);
    TImagePrintService page(QSize(1000, 1400), 300);
    ASSERT_TRUE(g.Print(page));
    EXPECT_EQ(page.JobsStarted(), 1);
    EXPECT_EQ(page.JobsEnded(), 1);
    EXPECT_EQ(page.JobsAborted(), 0);

    // Client 367 x 119: rx = 2.72 < ry = 11.76, scale = 0.9 rx. The picture is the whole
    // control's 369 x 121 at that scale.
    const double scale = 1000.0 / 367 * 0.9;
    const QRect frame = PixelBox(page.Page(), IsYellow);
    ASSERT_FALSE(frame.isNull());
    EXPECT_EQ(frame.left(), 50);
    EXPECT_EQ(frame.top(), 280);
    EXPECT_EQ(frame.width(), static_cast<int>(std::lround(369 * scale)));
    EXPECT_EQ(frame.height(), static_cast<int>(std::lround(121 * scale)));
    // The percentages needed no correction.
    EXPECT_EQ(g.Dimensions().PrintXOffsetPct(), 5);
    EXPECT_EQ(g.Dimensions().PrintYOffsetPct(), 20);
    // The curves are on the page, inside the picture.
    const QRect blue = PixelBox(page.Page(), IsPureBlue);
    ASSERT_FALSE(blue.isNull());
    EXPECT_TRUE(frame.contains(blue));
}

// The page relatively twice as wide as the chart: 90 % of the page height; the Y offset 20 %
// does not fit below and is corrected to 5 %, and stays so.
TEST(Printing, TwiceAsWidePageCorrectsTheYOffset) {
    TxyGraph g;
    MakeFindable(g);
    TImagePrintService page(QSize(2 * 3 * 367, 3 * 119), 300); // rx = 6, ry = 3
    ASSERT_TRUE(g.Print(page));
    EXPECT_EQ(g.Dimensions().PrintYOffsetPct(), 5);
    EXPECT_EQ(g.Dimensions().PrintXOffsetPct(), 5);

    const QRect frame = PixelBox(page.Page(), IsYellow);
    ASSERT_FALSE(frame.isNull());
    EXPECT_EQ(frame.height(), static_cast<int>(std::lround(121 * 2.7)));
    EXPECT_EQ(frame.width(), static_cast<int>(std::lround(369 * 2.7)));
    EXPECT_EQ(frame.top(), static_cast<int>(std::lround(357 * 0.05)));
    EXPECT_EQ(frame.left(), static_cast<int>(std::lround(2202 * 0.05)));
}

TEST(Printing, ScreenUnchangedAfterPrinting) {
    TxyGraph g;
    MakeFindable(g);
    g.Legend().setVisible(true);
    g.GetSeries(1).SetShowInLegend(3);
    const ScreenState before = Capture(g);
    const auto labels = g.DrawnXLabels();
    const double xScale = g.XAxis().ScaleFactor();
    TImagePrintService page(QSize(2480, 3508), 300);
    ASSERT_TRUE(g.Print(page));
    EXPECT_FALSE(g.Printing());
    EXPECT_EQ(g.XAxis().ScaleFactor(), xScale);
    ASSERT_EQ(g.DrawnXLabels().size(), labels.size());
    for (std::size_t i = 0; i < labels.size(); ++i)
        EXPECT_EQ(g.DrawnXLabels()[i].Box, labels[i].Box);
    ExpectSameScreen(before, Capture(g));
}

TEST(Printing, FontsAndPenAreScaledToThePage) {
    TxyGraph g;
    FillLikeMainWindow(g);
    g.Appearance().SetGraphTitle("TITLE");
    g.Appearance().SetCaptionFont(TFont::Arial(-16, true));
    // Screen height of the caption's ink.
    auto titleInk = [](const QImage& img, QRect area) {
        return PixelBox(img.copy(area), [](QRgb c) { return qGray(c) < 128; });
    };
    const QImage screen = g.RenderImage();
    const QRect onScreen = titleInk(screen, QRect(60, 2, 250, 24));
    ASSERT_FALSE(onScreen.isNull());

    TImagePrintService page(QSize(1000, 1400), 96); // same dpi as the screen: scale = pixels
    ASSERT_TRUE(g.Print(page));
    const double scale = 1000.0 / 367 * 0.9;
    const QRect area(50 + static_cast<int>(60 * scale), 280, static_cast<int>(250 * scale),
                     static_cast<int>(24 * scale));
    const QRect printed = titleInk(page.Page(), area);
    ASSERT_FALSE(printed.isNull());
    EXPECT_NEAR(printed.height() / double(onScreen.height()), scale, 0.25 * scale);
    EXPECT_NEAR(printed.width() / double(onScreen.width()), scale, 0.25 * scale);
}

TEST(Printing, FailureInTheDrawingRestoresAndPassesOn) {
    TxyGraph g;
    MakeFindable(g);
    const ScreenState before = Capture(g);
    bool throwing = true;
    g.OnPaintStart = [&](TxyGraph& sender, QPainter&) {
        if (throwing && sender.Printing()) throw std::runtime_error("printer on fire");
    };
    TImagePrintService page(QSize(1000, 1400), 300);
    EXPECT_THROW(g.Print(page), std::runtime_error);
    EXPECT_EQ(page.JobsAborted(), 1);
    EXPECT_EQ(page.JobsEnded(), 0);
    EXPECT_FALSE(g.Printing());
    throwing = false;
    ExpectSameScreen(before, Capture(g));
}

// The page's full draw ends with OnPaintEnd as a screen draw does; the print then calls it once
// more, and a failure of that last call is ignored.
TEST(Printing, PaintEndEndsTheDrawingAndThePage) {
    TxyGraph g;
    MakeFindable(g);
    int ends = 0;
    g.OnPaintEnd = [&](TxyGraph& sender, QPainter&) {
        if (!sender.Printing()) return;
        if (++ends == 2) throw std::runtime_error("ignored");
    };
    TImagePrintService page(QSize(1000, 1400), 300);
    EXPECT_NO_THROW(EXPECT_TRUE(g.Print(page)));
    EXPECT_EQ(ends, 2);
    EXPECT_EQ(page.JobsEnded(), 1);
    EXPECT_EQ(page.JobsAborted(), 0);

    // A drawing that stops early (the scales are invalid) has no end of its own: only the
    // page's call remains.
    ends = 0;
    g.YAxis().SetMin(3);
    g.YAxis().SetMax(3);
    ASSERT_TRUE(g.Print(page));
    EXPECT_EQ(ends, 1);
    g.YAxis().SetMax(9);
    g.SetPlotting(false);
    ASSERT_TRUE(g.Print(page));
    EXPECT_EQ(ends, 2);
}

// Failing inside the full draw, OnPaintEnd fails the drawing like any other error.
TEST(Printing, AFailingPaintEndInsideTheDrawingPassesOn) {
    TxyGraph g;
    MakeFindable(g);
    const ScreenState before = Capture(g);
    bool throwing = true;
    g.OnPaintEnd = [&](TxyGraph& sender, QPainter&) {
        if (throwing && sender.Printing()) throw std::runtime_error("printer on fire");
    };
    TImagePrintService page(QSize(1000, 1400), 300);
    EXPECT_THROW(g.Print(page), std::runtime_error);
    EXPECT_EQ(page.JobsAborted(), 1);
    EXPECT_EQ(page.JobsEnded(), 0);
    EXPECT_FALSE(g.Printing());
    throwing = false;
    ExpectSameScreen(before, Capture(g));
}

TEST(Printing, WithoutBackgroundColourThePaperStaysWhite) {
    TxyGraph g;
    MakeFindable(g);
    g.Appearance().SetPrintBkgndColor(false);
    TImagePrintService page(QSize(1000, 1400), 300);
    ASSERT_TRUE(g.Print(page));
    EXPECT_TRUE(PixelBox(page.Page(), IsYellow).isNull());
    EXPECT_FALSE(PixelBox(page.Page(), IsPureBlue).isNull());
}

TEST(Printing, InjectedServiceIsUsedByPrint) {
    TxyGraph g;
    MakeFindable(g);
    auto page = std::make_shared<TImagePrintService>(QSize(800, 1100), 150);
    g.SetPrintService(page);
    g.Appearance().SetGraphTitle("Current");
    ASSERT_TRUE(g.Print());
    EXPECT_EQ(page->JobsEnded(), 1);
    EXPECT_EQ(page->LastJobName(), "Current");
    EXPECT_FALSE(PixelBox(page->Page(), IsYellow).isNull());
}

TEST(Printing, ToAPdfFile) {
    TxyGraph g;
    FillLikeMainWindow(g);
    const QString file = QDir::temp().filePath("tarvello_chart_print_test.pdf");
    QFile::remove(file);
    TPrinterService pdf(file, TPrinterService::Target::PdfFile);
    ASSERT_TRUE(g.Print(pdf));
    EXPECT_TRUE(pdf.PrintsToPdf());
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF"));
    // One A4 page.
    const QString text = QString::fromLatin1(bytes);
    EXPECT_EQ(text.count(QRegularExpression("/Type\\s*/Page(?!s)")), 1);
    EXPECT_TRUE(text.contains(QRegularExpression("/MediaBox\\s*\\[0 0 595(\\.0+)? 842(\\.0+)?\\]")));
    f.close();
    QFile::remove(file);
}

TEST(Printing, NoPrinterFallsBackToThePdfFile) {
    if (TPrinterService::HasDefaultPrinter()) GTEST_SKIP() << "a printer is installed here";
    TxyGraph g;
    FillLikeMainWindow(g);
    const QString file = QDir::temp().filePath("tarvello_chart_fallback_test.pdf");
    QFile::remove(file);
    ASSERT_TRUE(g.Print(file));
    EXPECT_TRUE(QFile::exists(file));
    QFile::remove(file);
    // Without a file name there is nowhere to print.
    TPrinterService none{QString()};
    EXPECT_FALSE(g.Print(none));
}

// Text layouts and font measures are kept between draws. Pages of other resolutions, and the
// screen between them, must each get their own: the same chart prints and shows as a fresh one.
TEST(Printing, KeptTextLayoutsFollowTheTarget) {
    auto fresh = [](auto draw) {
        TxyGraph g;
        FillLikeMainWindow(g);
        g.Legend().setVisible(true);
        g.GetSeries(1).SetShowInLegend(4);
        return draw(g);
    };
    auto page = [](TxyGraph& g, int dpi) {
        TImagePrintService p(QSize(827, 1169), dpi);
        EXPECT_TRUE(g.Print(p));
        return p.Page();
    };
    const QImage screen = fresh([](TxyGraph& g) { return g.RenderImage(); });
    const QImage low = fresh([&](TxyGraph& g) { return page(g, 72); });
    const QImage high = fresh([&](TxyGraph& g) { return page(g, 300); });
    ASSERT_NE(low, high); // the resolutions do draw differently

    TxyGraph g;
    FillLikeMainWindow(g);
    g.Legend().setVisible(true);
    g.GetSeries(1).SetShowInLegend(4);
    EXPECT_EQ(g.RenderImage(), screen);
    EXPECT_EQ(page(g, 72), low);
    EXPECT_EQ(g.RenderImage(), screen);
    EXPECT_EQ(page(g, 300), high);
    EXPECT_EQ(page(g, 72), low);
    EXPECT_EQ(g.RenderImage(), screen);
}
