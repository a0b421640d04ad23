#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>

#include "CurveFile.h"
#include "MotorFixtures.h"
#include "StartSimulation.h"

namespace {
std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t p; (p = text.find("\r\n", start)) != std::string::npos; start = p + 2)
        lines.push_back(text.substr(start, p - start));
    EXPECT_EQ(start, text.size()) << "nothing follows the last line end";
    return lines;
}
} // namespace

TEST(CurveFile, NumberFormat) {
    EXPECT_EQ(FormatCurveNumber(0), " 0.00000000000000E+0000");
    EXPECT_EQ(FormatCurveNumber(1.5), " 1.50000000000000E+0000");
    EXPECT_EQ(FormatCurveNumber(0.015), " 1.50000000000000E-0002");
    EXPECT_EQ(FormatCurveNumber(14.85), " 1.48500000000000E+0001");
    EXPECT_EQ(FormatCurveNumber(-2.5e-12), "-2.50000000000000E-0012");
    EXPECT_EQ(FormatCurveNumber(123456.789), " 1.23456789000000E+0005");
    EXPECT_EQ(FormatCurveNumber(-0.0), " 0.00000000000000E+0000");
    EXPECT_EQ(FormatCurveNumber(1.5).size(), 23u);
}

TEST(CurveFile, BeforeAnyComputationAllZero) {
    MotorDataSet ds;
    const std::vector<std::string> lines = Lines(CurveFileText(ds));
    ASSERT_EQ(lines.size(), 101u);
    EXPECT_EQ(lines[0], "Time;Id/In DOL;Td/Tn DOL;Id/In SS;Td/Tn SS");
    const std::string zero = " 0.00000000000000E+0000";
    EXPECT_EQ(lines[1], zero + ";" + zero + ";" + zero + ";" + zero + ";" + zero);
}

TEST(CurveFile, ColumnsAndStaticHeader) {
    MotorDataSet ds = FourKilowattMotor();
    ds.ShowStaticCurves = true;
    ASSERT_EQ(RunStartComputation(ds, nullptr, nullptr), 0);
    std::vector<std::string> lines = Lines(CurveFileText(ds));
    ASSERT_EQ(lines.size(), 101u);
    EXPECT_EQ(lines[0], "Time;Id/In DOL;Td/Tn DOL;Id/In SS;Td/Tn SS;n/ns");
    for (std::size_t i = 1; i < lines.size(); ++i) ASSERT_EQ(lines[i].size(), 143u);
    EXPECT_EQ(lines[1].substr(0, 23), " 0.00000000000000E+0000");
    EXPECT_EQ(lines[100].substr(0, 24), " 1.48500000000000E+0001;");
    EXPECT_EQ(lines[2].substr(24, 23), FormatCurveNumber(ds.DolCurrentCurve[1]));
    EXPECT_EQ(lines[2].substr(120, 23), FormatCurveNumber(ds.SpeedAxis[1]));

    // The header follows the flag at writing time, not at computing time.
    ds.ShowStaticCurves = false;
    lines = Lines(CurveFileText(ds));
    EXPECT_EQ(lines[0], "Time;Id/In DOL;Td/Tn DOL;Id/In SS;Td/Tn SS");
    for (std::size_t i = 1; i < lines.size(); ++i) ASSERT_EQ(lines[i].size(), 119u);
}

TEST(CurveFile, BytesIgnoreTheLocale) {
    MotorDataSet ds = FourKilowattMotor();
    ASSERT_EQ(RunStartComputation(ds, nullptr, nullptr), 0);
    const std::string expected = CurveFileText(ds);
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    ASSERT_NE(std::setlocale(LC_ALL, "fr_FR.UTF-8"), nullptr);
    const std::string french = CurveFileText(ds);
    std::setlocale(LC_ALL, previous.c_str());
    EXPECT_EQ(french, expected);
    EXPECT_EQ(expected.find(','), std::string::npos);
}
