// The time-current chart's image for the command line: a PNG of the chart's size, drawn without a
// display, with the start and the relays' bands in their colours, its texts in the language.

#include <gtest/gtest.h>

#ifdef TARVELLO_CHART_IMAGES
#include <QByteArray>

#include "ChartImage.h"
#include "ImagePixels.h"
#include "ProtectionChart.h"

namespace {

// A direct-on-line start falling from 6 In in 1.5 s against class 10 relays set at In, cold.
TimeCurrentCurves Curves() {
    TimeCurrentCurves c;
    for (double t = 0.01; t < 1.5; t += 0.01) {
        c.DolStart.Current.push_back(1 + 5 * (1 - t * t / 2.25));
        c.DolStart.Time.push_back(t);
    }
    for (auto [curve, t72] : {std::pair{&c.EarliestCold, 4.0}, std::pair{&c.LatestCold, 10.0}})
        for (double x = 1.2; x < 20; x *= 1.1) {
            curve->Current.push_back(x);
            curve->Time.push_back(*RelayTripTime(RelayTimeConstant(t72), x, 0));
        }
    return c;
}

class TimeCurrentImageTest : public ::testing::TestWithParam<Language> {};

} // namespace

TEST_P(TimeCurrentImageTest, APngOfTheChartsSizeWithTheStartAndTheRelays) {
    const std::string png = TimeCurrentChartPng(Curves(), GetParam());
    const QImage image = QImage::fromData(QByteArray::fromStdString(png), "PNG");
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(TimeCurrentImageWidth, TimeCurrentImageHeight));
    EXPECT_GT(Pixels(image, QColor(0, 0, 255)), 200); // the start
    EXPECT_GT(Pixels(image, QColor(0, 128, 0)), 400); // both relays, cold
    EXPECT_LT(Pixels(image, QColor(230, 120, 0)), 10); // no hot curves given, none drawn
    // The texts follow the language: the images differ.
    EXPECT_NE(png, TimeCurrentChartPng(Curves(), GetParam() == Language::French ? Language::English : Language::French));
}

INSTANTIATE_TEST_SUITE_P(Languages, TimeCurrentImageTest, ::testing::Values(Language::English, Language::French),
                         [](const auto& info) { return info.param == Language::French ? "French" : "English"; });
#endif
