#include <gtest/gtest.h>

#include <clocale>
#include <cmath>

#include "Complex.h"
#include "TextToReal.h"

TEST(Complex, OperationsOnKnownValues) {
    EXPECT_DOUBLE_EQ(ComplexAbs({3, 4}), 5);

    const double R = 7, X = 3;
    Complex r;
    ComplexParallel({R, 0}, {0, X}, r);
    EXPECT_DOUBLE_EQ(r.Re, R * X * X / (R * R + X * X));
    EXPECT_DOUBLE_EQ(r.Im, R * R * X / (R * R + X * X));

    const Complex a{1.25, -2.5};
    ComplexDivide(a, {1, 0}, r);
    EXPECT_DOUBLE_EQ(r.Re, a.Re);
    EXPECT_DOUBLE_EQ(r.Im, a.Im);
    ComplexDivide(a, a, r);
    EXPECT_DOUBLE_EQ(r.Re, 1);
    EXPECT_DOUBLE_EQ(r.Im, 0);

    ComplexAdd(a, {0.75, 0.5}, r);
    EXPECT_DOUBLE_EQ(r.Re, 2);
    EXPECT_DOUBLE_EQ(r.Im, -2);
}

TEST(Complex, ResultMayBeAnOperand) {
    Complex a{2, 1};
    ComplexParallel(a, {2, 1}, a); // half of the impedance
    EXPECT_DOUBLE_EQ(a.Re, 1);
    EXPECT_DOUBLE_EQ(a.Im, 0.5);
    Complex b{1, 1};
    ComplexDivide(b, b, b);
    EXPECT_DOUBLE_EQ(b.Re, 1);
    EXPECT_DOUBLE_EQ(b.Im, 0);
}

TEST(TextToReal, ReadsBothSeparators) {
    const std::pair<const char*, double> table[] = {
        {"380", 380}, {"0.85", 0.85}, {"0,85", 0.85}, {",5", 0.5},    {"1.05", 1.05}, {"-1.5", -1.5},
        {"2e3", 2000}, {" 7.5 ", 7.5}, {"12,5", 12.5}, {"12.5", 12.5}, {"1", 1},      {"0.0", 0},
        {"-0.5", -0.5}, {"0.05", 0.05}, {"+3", 3},     {"1E2", 100}};
    for (const auto& [text, value] : table) EXPECT_DOUBLE_EQ(TextToReal(text), value) << text;
}

TEST(TextToReal, FailsWithTheFailingPartNamed) {
    auto messageOf = [](const char* text) {
        try {
            TextToReal(text);
        } catch (const EConvertError& e) {
            return std::string(e.what());
        }
        return std::string("no error");
    };
    EXPECT_EQ(messageOf("5."), "'' n'est pas une valeur flottante correcte");
    EXPECT_EQ(messageOf("."), "'' n'est pas une valeur flottante correcte");
    EXPECT_EQ(messageOf("abc"), "'abc' n'est pas une valeur flottante correcte");
    EXPECT_EQ(messageOf("a.5"), "'a' n'est pas une valeur flottante correcte");
    EXPECT_EQ(messageOf("1.x"), "'x' n'est pas une valeur flottante correcte");
    EXPECT_EQ(messageOf("-"), "'-' n'est pas une valeur flottante correcte");
    EXPECT_EQ(messageOf(""), "'' n'est pas une valeur flottante correcte");
    EXPECT_EQ(messageOf("1.2.3"), "'2.3' n'est pas une valeur flottante correcte");
    EXPECT_EQ(messageOf("1e999"), "'1e999' n'est pas une valeur flottante correcte"); // not finite as a double
    EXPECT_EQ(messageOf("   "), "'   ' n'est pas une valeur flottante correcte");
}

TEST(TextToReal, FractionWithSignFollowsTheRule) {
    // The fraction text's own value divided by 10 to the power of its length.
    EXPECT_DOUBLE_EQ(TextToReal("2.-5"), 2 - 5.0 / 100); // "-5" has length 2
    // With an exponent the text is one decimal number (it once read as 1 + 50 / 1000).
    EXPECT_EQ(TextToReal("1.5e1"), 15);
}

class FrenchLocale : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = std::setlocale(LC_ALL, nullptr);
        french_ = std::setlocale(LC_ALL, "fr_FR.UTF-8") != nullptr;
    }
    void TearDown() override { std::setlocale(LC_ALL, previous_.c_str()); }
    std::string previous_;
    bool french_ = false;
};

TEST_F(FrenchLocale, ResultsDoNotDependOnTheProcessLocale) {
    ASSERT_TRUE(french_) << "fr_FR.UTF-8 locale missing (locales-all)";
    EXPECT_DOUBLE_EQ(TextToReal("0.85"), 0.85);
    EXPECT_DOUBLE_EQ(TextToReal("0,85"), 0.85);
    EXPECT_DOUBLE_EQ(TextToReal("2e3"), 2000);
    EXPECT_EQ(FormatFixed(123456.789, 2), "123456.80");
    EXPECT_EQ(FormatFixed(12.34, 1, ','), "12,3");
}

TEST(FormatFixed, SevenSignificantDigitsAndDecimals) {
    EXPECT_EQ(FormatFixed(0.1 * 100, 2), "10.00");
    EXPECT_EQ(FormatFixed(0.85, 2), "0.85");
    EXPECT_EQ(FormatFixed(12.34, 1), "12.3");
    EXPECT_EQ(FormatFixed(5500, 0), "5500");
    EXPECT_EQ(FormatFixed(1.5, 2), "1.50");
    EXPECT_EQ(FormatFixed(26.5258, 0), "27");
    EXPECT_EQ(FormatFixed(123456.789, 2), "123456.80"); // rounded to 7 digits first
    EXPECT_EQ(FormatFixed(0.004, 2), "0.00");
    EXPECT_EQ(FormatFixed(-0.001, 2), "0.00");
    EXPECT_EQ(FormatFixed(-1.5, 1), "-1.5");
    EXPECT_EQ(FormatFixed(61.4, 0), "61");
    EXPECT_EQ(FormatFixed(12.5, 1, ','), "12,5");
    EXPECT_EQ(FormatFixed(123456789, 0), "1.234568E+08");
}
