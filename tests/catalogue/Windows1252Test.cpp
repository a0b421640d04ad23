#include <gtest/gtest.h>

#include "Windows1252.h"

TEST(Windows1252, EveryByteReadsAndWritesBackUnchanged) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    std::string back;
    const EncodeResult result = EncodeWindows1252(DecodeWindows1252(all), back);
    EXPECT_EQ(result.problem, EncodeProblem::None);
    EXPECT_EQ(back, all);
}

TEST(Windows1252, HighBytesAreTheirWesternCharacters) {
    EXPECT_EQ(DecodeWindows1252("\x80"), "€");
    EXPECT_EQ(DecodeWindows1252("\x8A"), "Š");
    EXPECT_EQ(DecodeWindows1252("\x8C"), "Œ");
    EXPECT_EQ(DecodeWindows1252("\x93\x94"), "“”");
    EXPECT_EQ(DecodeWindows1252("\x96\x97"), "–—");
    EXPECT_EQ(DecodeWindows1252("\x99"), "™");
    EXPECT_EQ(DecodeWindows1252("\x9F"), "Ÿ");
    EXPECT_EQ(DecodeWindows1252("\xE9\xFC\xE0\xC7\xDF"), "éüàÇß");
    EXPECT_EQ(DecodeWindows1252("\xA0"), "\u00A0");
    // Bytes without a character keep their value as a control character.
    EXPECT_EQ(DecodeWindows1252("\x81"), "\u0081");
    EXPECT_EQ(DecodeWindows1252("\x9D"), "\u009D");
}

TEST(Windows1252, AccentedTextEncodesToSingleBytes) {
    std::string bytes;
    ASSERT_EQ(EncodeWindows1252("Société Müller €", bytes).problem, EncodeProblem::None);
    EXPECT_EQ(bytes, "Soci\xE9t\xE9 M\xFCller \x80");
}

TEST(Windows1252, CharacterOutsideTheCodePageIsRefused) {
    std::string bytes;
    EncodeResult r = EncodeWindows1252("3 Ω", bytes);
    EXPECT_EQ(r.problem, EncodeProblem::NotRepresentable);
    EXPECT_EQ(r.codePoint, U'Ω');
    EXPECT_EQ(r.offset, 2u);
    // U+0080 has no byte: 0x80 is the euro sign.
    EXPECT_EQ(EncodeWindows1252("\u0080", bytes).problem, EncodeProblem::NotRepresentable);
    EXPECT_EQ(EncodeWindows1252("电机", bytes).problem, EncodeProblem::NotRepresentable);
    EXPECT_EQ(EncodeWindows1252("😀", bytes).problem, EncodeProblem::NotRepresentable);
    EXPECT_FALSE(IsWindows1252Text("Ω"));
    EXPECT_TRUE(IsWindows1252Text("Œuvre €"));
}

TEST(Windows1252, InvalidUtf8IsRefused) {
    std::string bytes;
    for (const char* bad : {"\xC3", "a\xE9z", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE2\x82"})
        EXPECT_EQ(EncodeWindows1252(bad, bytes).problem, EncodeProblem::InvalidUtf8) << bad;
}

TEST(Windows1252, Utf8IsStrict) {
    EXPECT_TRUE(IsUtf8(""));
    EXPECT_TRUE(IsUtf8("Soci\xc3\xa9t\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80 \xf4\x8f\xbf\xbf"));
    for (const char* bad :
         {"\xe9", "\xc0\xaf", "\xc1\xbf", "\xe0\x80\xaf", "\xf0\x80\x80\xaf", "\xed\xa0\x80",
          "\xf4\x90\x80\x80", "\xf5\x80\x80\x80", "\xff", "\x80", "\xc3", "\xe2\x82", "a\xc3(b"})
        EXPECT_FALSE(IsUtf8(bad)) << bad;
}

TEST(Windows1252, DescribeCodePoint) {
    EXPECT_EQ(DescribeCodePoint(U'Ω'), "U+03A9 \"Ω\"");
    EXPECT_EQ(DescribeCodePoint(0x1F600), "U+1F600 \"😀\"");
    EXPECT_EQ(DescribeCodePoint(0x85), "U+0085");
}

TEST(Windows1252, VisibleTextMarksControlsAndStrayBytes) {
    EXPECT_EQ(VisibleText("Größe 132 M €"), "Größe 132 M €");
    EXPECT_EQ(VisibleText("a\x1A"), "a<0x1A>");
    EXPECT_EQ(VisibleText(std::string("\0\t\r\n\x7F", 5)), "<0x00><0x09><0x0D><0x0A><0x7F>");
    // The C1 controls that bytes 0x81, 0x8D, 0x8F, 0x90 and 0x9D decode to.
    EXPECT_EQ(VisibleText(DecodeWindows1252("\x81\x9D")), "<0x81><0x9D>");
    // Bytes that are no UTF-8, one mark each; the valid text around them stays.
    EXPECT_EQ(VisibleText("bad \xC3 and \xFF\xFE é"), "bad <0xC3> and <0xFF><0xFE> é");
    EXPECT_EQ(VisibleText(""), "");
}
