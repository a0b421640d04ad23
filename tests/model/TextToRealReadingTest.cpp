// Numbers with an exponent and very long fractions read as the correctly rounded double of the
// decimal they write; every other text reads exactly as before (differential test).

#include <gtest/gtest.h>

#include <cfloat>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include "OldTextToReal.h"
#include "TextToReal.h"

namespace {
// What a reading gives: the value's bits, or the error's message.
std::string Outcome(double (*read)(const std::string&), const std::string& text) {
    try {
        const double v = read(text);
        std::uint64_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        return "value " + std::to_string(bits);
    } catch (const EConvertError& e) {
        return std::string("error ") + e.what();
    }
}

double Current(const std::string& text) {
    return TextToReal(text);
}
double Previous(const std::string& text) {
    return previous::TextToReal(text);
}

// strtod in the C locale, the reference for a decimal number with "," read as ".".
double Strtod(std::string text) {
    for (char& c : text)
        if (c == ',') c = '.';
    return std::strtod(text.c_str(), nullptr);
}

std::string RandomDigits(std::mt19937_64& rng, int n) {
    std::string s;
    for (int i = 0; i < n; ++i)
        s += static_cast<char>('0' + rng() % 10);
    return s;
}
} // namespace

TEST(TextToRealReading, TextsWithoutExponentReadExactlyAsBefore) {
    std::mt19937_64 rng(20240611);
    // Texts built from the characters a typed number is made of, including the odd ones.
    const char alphabet[] = "0123456789012345678901234567890123456789.,-+ ";
    for (int n = 0; n < 40000; ++n) {
        std::string text;
        const int length = static_cast<int>(rng() % 14);
        for (int i = 0; i < length; ++i)
            text += alphabet[rng() % (sizeof alphabet - 1)];
        ASSERT_EQ(Outcome(Current, text), Outcome(Previous, text)) << '"' << text << '"';
    }
    // Well-formed numbers with many digits on either side, and fractions up to the longest
    // whose power of ten the old reading could still form.
    for (int n = 0; n < 10000; ++n) {
        std::string text = (rng() % 3 == 0 ? "-" : "") + RandomDigits(rng, static_cast<int>(rng() % 40));
        if (rng() % 4) text += (rng() % 2 ? "." : ",") + RandomDigits(rng, 1 + static_cast<int>(rng() % 60));
        if (rng() % 8 == 0) text = " " + text + "  ";
        ASSERT_EQ(Outcome(Current, text), Outcome(Previous, text)) << '"' << text << '"';
    }
    for (int length : {100, 4000, LDBL_MAX_10_EXP}) {
        const std::string text = "12," + RandomDigits(rng, length);
        EXPECT_EQ(Outcome(Current, text), Outcome(Previous, text)) << length;
    }
}

TEST(TextToRealReading, ExponentTextsAreTheCorrectlyRoundedDecimal) {
    // The worked cases: the exponent once applied to the fraction digits only.
    EXPECT_EQ(TextToReal("1.5e3"), 1500);
    EXPECT_EQ(TextToReal("8.5e-74"), 8.5e-74);
    EXPECT_EQ(TextToReal("1,5E3"), 1500);
    EXPECT_EQ(TextToReal(" -2,25e+2 "), -225);
    EXPECT_EQ(TextToReal("+4.0e3"), 4000);
    EXPECT_EQ(TextToReal("5.e3"), 5000); // as strtod reads it
    EXPECT_EQ(TextToReal(",5e2"), 50);
    EXPECT_EQ(TextToReal("2e3"), 2000);
    EXPECT_EQ(TextToReal("1e-400"), 0); // below the smallest double: zero of its sign
    EXPECT_TRUE(std::signbit(TextToReal("-1e-400")));
    EXPECT_EQ(TextToReal("4.9406564584124654e-324"), 4.9406564584124654e-324);
    EXPECT_EQ(TextToReal("0e99999999999999999999"), 0);
    EXPECT_EQ(TextToReal("1e-99999999999999999999"), 0);
    // Halfway cases and long mantissas that a digit-by-digit reading gets wrong.
    EXPECT_EQ(TextToReal("9007199254740993e0"), 9007199254740992.0);
    EXPECT_EQ(TextToReal("0.1000000000000000055511151231257827021181583404541015625e0"), 0.1);
    EXPECT_EQ(TextToReal("2.2250738585072011e-308"), 2.2250738585072011e-308);

    ASSERT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
    std::mt19937_64 rng(7);
    for (int n = 0; n < 40000; ++n) {
        std::string text = (rng() % 4 == 0 ? "-" : "") + RandomDigits(rng, 1 + static_cast<int>(rng() % 25));
        if (rng() % 2) text += (rng() % 2 ? "." : ",") + RandomDigits(rng, static_cast<int>(rng() % 25));
        text += rng() % 2 ? 'e' : 'E';
        const int exponent = static_cast<int>(rng() % 700) - 350;
        text += (exponent >= 0 && rng() % 2 ? "+" : "") + std::to_string(exponent);
        const double expected = Strtod(text);
        if (std::isinf(expected)) {
            EXPECT_THROW(TextToReal(text), EConvertError) << text;
        } else {
            const double got = TextToReal(text);
            ASSERT_TRUE(got == expected && std::signbit(got) == std::signbit(expected)) << text;
        }
    }
}

TEST(TextToRealReading, AFractionTooLongForItsPowerOfTenIsReadWhole) {
    std::mt19937_64 rng(11);
    for (int length : {LDBL_MAX_10_EXP + 1, 4950, 6000, 20000}) {
        for (const char* head : {"0.", "1.", "-37,", ",", " 400."}) {
            const std::string text = head + RandomDigits(rng, length);
            EXPECT_EQ(TextToReal(text), Strtod(text)) << head << length;
        }
    }
    // 400 followed by zeros: exactly 400, as the user meant.
    EXPECT_EQ(TextToReal("400." + std::string(5000, '0')), 400);
    EXPECT_EQ(TextToReal("0." + std::string(6000, '0') + "1"), 0);
}

TEST(TextToRealReading, MalformedExponentTextsAreRefusedWhole) {
    for (const char* text : {"1e3.5", "1.5e", "1.5e+", "e5", "1.5e999", "-1e309", "1.2.3e4", "1.-5e3",
                             "1e5e3", "1 .5e3", "1.5e 3", "0x1p3", "e"}) {
        try {
            TextToReal(text);
            ADD_FAILURE() << text << " was read";
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Part(), text);
        }
    }
}
