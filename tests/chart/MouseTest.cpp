// Mouse handling: zoom, restore, legend dragging, chart moving/resizing, overlays.
#include "ChartTestUtil.h"

#include <QTest>

namespace {

// Widget position of a client point (the border is one pixel wide).
QPoint W(const TxyGraph& g, int x, int y) {
    return QPoint(x + g.BorderWidth(), y + g.BorderWidth());
}

void ShiftMove(TxyGraph& g, QPoint client) {
    QTest::mouseEvent(QTest::MouseMove, &g, Qt::NoButton, Qt::ShiftModifier, W(g, client.x(), client.y()));
}

void ShiftDrag(TxyGraph& g, QPoint from, QPoint to) {
    QTest::mousePress(&g, Qt::LeftButton, Qt::ShiftModifier, W(g, from.x(), from.y()));
    ShiftMove(g, (from + to) / 2);
    ShiftMove(g, to);
    QTest::mouseRelease(&g, Qt::LeftButton, Qt::ShiftModifier, W(g, to.x(), to.y()));
}

QImage Grab(TxyGraph& g) {
    return g.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

int Differences(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) return -1;
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y)) ++n;
    return n;
}

class MouseTest : public ::testing::Test {
protected:
    void SetUp() override {
        FillLikeMainWindow(g);
        g.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&g));
    }
    TxyGraph g;
};

} // namespace

TEST_F(MouseTest, ShiftDragZoomsIntoTheRectangle) {
    g.XAxis().SetAutoSizing(true);
    g.YAxis().SetAutoSizing(true);
    const QPoint a(100, 40), b(200, 70);
    const double x0 = g.PixelToX(100), x1 = g.PixelToX(200);
    const double y0 = g.PixelToY(70), y1 = g.PixelToY(40);
    ASSERT_LT(x0, x1);
    ASSERT_LT(y0, y1);

    ShiftDrag(g, a, b);
    EXPECT_FALSE(g.Zooming());
    EXPECT_DOUBLE_EQ(g.XAxis().Min(), x0);
    EXPECT_DOUBLE_EQ(g.XAxis().Max(), x1);
    EXPECT_DOUBLE_EQ(g.YAxis().Min(), y0);
    EXPECT_DOUBLE_EQ(g.YAxis().Max(), y1);
    EXPECT_FALSE(g.XAxis().AutoSizing());
    EXPECT_FALSE(g.YAxis().AutoSizing());
    EXPECT_TRUE(g.RangesSaved());
    EXPECT_TRUE(g.Plotting());
}

TEST_F(MouseTest, ShiftClickRestoresTheRangesBeforeTheFirstZoom) {
    g.XAxis().SetAutoSizing(true);
    g.YAxis().SetAutoSizing(true);
    const double xMin = g.XAxis().Min(), xMax = g.XAxis().Max();
    const double yMin = g.YAxis().Min(), yMax = g.YAxis().Max();

    ShiftDrag(g, QPoint(100, 40), QPoint(200, 70));
    ShiftDrag(g, QPoint(60, 35), QPoint(300, 75)); // a second zoom, inside the first
    EXPECT_NE(g.XAxis().Max(), xMax);

    QTest::mouseClick(&g, Qt::LeftButton, Qt::ShiftModifier, W(g, 150, 50));
    EXPECT_TRUE(g.XAxis().AutoSizing());
    EXPECT_TRUE(g.YAxis().AutoSizing());
    EXPECT_DOUBLE_EQ(g.XAxis().Min(), xMin);
    EXPECT_DOUBLE_EQ(g.XAxis().Max(), xMax);
    EXPECT_DOUBLE_EQ(g.YAxis().Min(), yMin);
    EXPECT_DOUBLE_EQ(g.YAxis().Max(), yMax);
    EXPECT_FALSE(g.RangesSaved());
}

TEST_F(MouseTest, AThreePixelBandRestoresInsteadOfZooming) {
    const double xMin = g.XAxis().Min(), xMax = g.XAxis().Max();
    const double yMin = g.YAxis().Min(), yMax = g.YAxis().Max();
    ShiftDrag(g, QPoint(100, 40), QPoint(200, 70));
    ASSERT_NE(g.XAxis().Min(), xMin);

    ShiftDrag(g, QPoint(60, 50), QPoint(300, 53)); // 3 pixels high
    EXPECT_DOUBLE_EQ(g.XAxis().Min(), xMin);
    EXPECT_DOUBLE_EQ(g.XAxis().Max(), xMax);
    EXPECT_DOUBLE_EQ(g.YAxis().Min(), yMin);
    EXPECT_DOUBLE_EQ(g.YAxis().Max(), yMax);
    EXPECT_FALSE(g.XAxis().AutoSizing());
}

TEST_F(MouseTest, ZoomStopsAtAThousandthOfTheRange) {
    const double span = g.XAxis().Max() - g.XAxis().Min();
    // Zoom in five times into a 10 % corner: the span would reach 1e-5 of the original.
    for (int i = 0; i < 5; ++i)
        ShiftDrag(g, QPoint(41, 31), QPoint(72, 36));
    EXPECT_GE(g.XAxis().Max() - g.XAxis().Min(), 0.001 * span * (1 - 1e-9));
    EXPECT_LT(g.XAxis().Max() - g.XAxis().Min(), 0.0011 * span);
    EXPECT_TRUE(g.XAxis().Valid());
}

TEST_F(MouseTest, RubberBandLeavesNoTrace) {
    const QImage before = Grab(g);
    QTest::mousePress(&g, Qt::LeftButton, Qt::ShiftModifier, W(g, 100, 40));
    ShiftMove(g, QPoint(250, 75));
    EXPECT_TRUE(g.Zooming());
    EXPECT_FALSE(g.RubberBand().isNull());
    const QImage during = Grab(g);
    // Every changed pixel lies on the dotted outline and is the picture's inverse.
    const QRect band(W(g, 100, 40), W(g, 250, 75));
    int changed = 0;
    for (int y = 0; y < before.height(); ++y)
        for (int x = 0; x < before.width(); ++x) {
            if (before.pixel(x, y) == during.pixel(x, y)) continue;
            ++changed;
            const bool onOutline =
                ((x == band.left() || x == band.right()) && y >= band.top() && y <= band.bottom()) ||
                ((y == band.top() || y == band.bottom()) && x >= band.left() && x <= band.right());
            EXPECT_TRUE(onOutline) << x << "," << y;
            EXPECT_EQ(during.pixel(x, y) & 0xFFFFFF, (before.pixel(x, y) ^ 0xFFFFFF) & 0xFFFFFF);
        }
    EXPECT_GT(changed, 2 * (150 + 35) / 4); // dotted: at least every fourth pixel

    ShiftMove(g, QPoint(102, 41));
    QTest::mouseRelease(&g, Qt::LeftButton, Qt::ShiftModifier, W(g, 102, 41));
    EXPECT_TRUE(g.RubberBand().isNull());
    EXPECT_EQ(Differences(before, Grab(g)), 0);
}

TEST_F(MouseTest, LegendIsMovedFromItsCorner) {
    g.resize(369, 200);
    g.Legend().setVisible(true);
    g.GetSeries(1).SetShowInLegend(4);
    const QImage before = Grab(g);
    QTest::mousePress(&g, Qt::LeftButton, Qt::ShiftModifier,
                      W(g, g.Legend().left() + 3, g.Legend().top() + 3));
    EXPECT_TRUE(g.MovingLegend());
    EXPECT_FALSE(g.Zooming());
    ShiftMove(g, QPoint(120, 90));
    EXPECT_EQ(g.RubberBand(), QRect(QPoint(120, 90), QSize(g.Legend().width(), g.Legend().height())));
    QTest::mouseRelease(&g, Qt::LeftButton, Qt::ShiftModifier, W(g, 150, 100));
    EXPECT_FALSE(g.MovingLegend());
    EXPECT_EQ(g.Legend().left(), 150);
    EXPECT_EQ(g.Legend().top(), 100);
    EXPECT_GT(Differences(before, Grab(g)), 0);
}

TEST_F(MouseTest, AwayFromTheLegendCornerShiftStartsAZoom) {
    g.Legend().setVisible(true);
    QTest::mousePress(&g, Qt::LeftButton, Qt::ShiftModifier,
                      W(g, g.Legend().left() + 7, g.Legend().top() + 3));
    EXPECT_FALSE(g.MovingLegend());
    EXPECT_TRUE(g.Zooming());
    QTest::mouseRelease(&g, Qt::LeftButton, Qt::ShiftModifier,
                        W(g, g.Legend().left() + 7, g.Legend().top() + 3));
}

TEST_F(MouseTest, CrossWireFollowsTheMouseInsideThePlot) {
    g.Appearance().SetCrossWire(true);
    const QImage before = Grab(g);
    QTest::mouseMove(&g, W(g, 150, 50));
    const QImage with = Grab(g);
    const int changed = Differences(before, with);
    const QRect plot = g.PlotArea();
    EXPECT_GE(changed, plot.width() + plot.height() - 5);
    EXPECT_NE(with.pixel(W(g, plot.left() + 3, 50)), before.pixel(W(g, plot.left() + 3, 50)));
    EXPECT_NE(with.pixel(W(g, 150, plot.top() + 3)), before.pixel(W(g, 150, plot.top() + 3)));
    QTest::mouseMove(&g, W(g, 5, 5)); // outside the plot area: gone
    EXPECT_EQ(Differences(before, Grab(g)), 0);
}

TEST(MouseDrag, ChartMovesAndResizesWithinItsParent) {
    QWidget parent;
    parent.resize(800, 600);
    TxyGraph g(&parent);
    g.setGeometry(8, 0, 369, 121);
    FillLikeMainWindow(g);
    parent.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));

    // Top-left margin corner: move.
    QTest::mousePress(&g, Qt::LeftButton, Qt::NoModifier, W(g, 5, 5));
    QTest::mouseMove(&g, W(g, 35, 25));
    QTest::mouseRelease(&g, Qt::LeftButton, Qt::NoModifier, W(g, 5, 5));
    EXPECT_EQ(g.pos(), QPoint(38, 20));
    EXPECT_EQ(g.size(), QSize(369, 121));

    // Bottom-right margin corner: resize.
    QTest::mousePress(&g, Qt::LeftButton, Qt::NoModifier, W(g, 360, 110));
    QTest::mouseMove(&g, W(g, 400, 130));
    QTest::mouseRelease(&g, Qt::LeftButton, Qt::NoModifier, W(g, 400, 130));
    EXPECT_EQ(g.pos(), QPoint(38, 20));
    EXPECT_EQ(g.size(), QSize(409, 141));

    // Not while dragging is forbidden, and not from inside the plot.
    g.SetDragAllowed(false);
    QTest::mousePress(&g, Qt::LeftButton, Qt::NoModifier, W(g, 5, 5));
    QTest::mouseMove(&g, W(g, 45, 45));
    QTest::mouseRelease(&g, Qt::LeftButton, Qt::NoModifier, W(g, 45, 45));
    g.SetDragAllowed(true);
    QTest::mousePress(&g, Qt::LeftButton, Qt::NoModifier, W(g, 150, 50));
    QTest::mouseMove(&g, W(g, 190, 90));
    QTest::mouseRelease(&g, Qt::LeftButton, Qt::NoModifier, W(g, 190, 90));
    EXPECT_EQ(g.pos(), QPoint(38, 20));
}

TEST_F(MouseTest, CtrlClickAsksForTheDesigner) {
    int asked = 0;
    g.OnWantDesigner = [&](TxyGraph& sender) {
        EXPECT_EQ(&sender, &g);
        ++asked;
    };
    QTest::mouseClick(&g, Qt::LeftButton, Qt::ControlModifier, W(g, 150, 50));
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(g.Zooming());
}

TEST_F(MouseTest, OtherButtonsDoNothing) {
    const double xMax = g.XAxis().Max();
    QTest::mousePress(&g, Qt::RightButton, Qt::ShiftModifier, W(g, 100, 40));
    EXPECT_FALSE(g.Zooming());
    QTest::mouseRelease(&g, Qt::RightButton, Qt::ShiftModifier, W(g, 200, 70));
    EXPECT_EQ(g.XAxis().Max(), xMax);
}

// The margin corners are measured in the drawing, as large as the control: the resizing corner
// starts right of width - RightMargin and below height - BottomMargin.
TEST(MouseDrag, ResizeCornerLiesBeyondTheDrawingsMargins) {
    QWidget parent;
    parent.resize(800, 600);
    TxyGraph g(&parent);
    g.setGeometry(0, 0, 300, 200);
    parent.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
    // Client x 285 is width - RightMargin: not yet the corner.
    QTest::mousePress(&g, Qt::LeftButton, Qt::NoModifier, W(g, 285, 170));
    QTest::mouseMove(&g, W(g, 305, 190));
    QTest::mouseRelease(&g, Qt::LeftButton, Qt::NoModifier, W(g, 305, 190));
    EXPECT_EQ(g.size(), QSize(300, 200));
    // One pixel further it is (inside the client area, which ends at 297).
    QTest::mousePress(&g, Qt::LeftButton, Qt::NoModifier, W(g, 286, 161));
    QTest::mouseMove(&g, W(g, 306, 191));
    QTest::mouseRelease(&g, Qt::LeftButton, Qt::NoModifier, W(g, 306, 191));
    EXPECT_EQ(g.size(), QSize(320, 230));
}
