#include "Windows1252.h"

#include <array>
#include <cstdio>

namespace {

// Unicode characters of bytes 0x80 to 0x9F. The bytes without a character keep their own value.
constexpr std::array<char32_t, 32> High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 98-9F
};

char32_t ByteToCodePoint(unsigned char b) {
    if (b >= 0x80 && b <= 0x9F) return High[b - 0x80];
    return b;
}

// -1 when the character has no byte.
int CodePointToByte(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<int>(c);
    for (std::size_t i = 0; i < High.size(); ++i)
        if (High[i] == c) return static_cast<int>(0x80 + i);
    return -1;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Decodes one strict UTF-8 sequence at pos; false for malformed, overlong, surrogate or
// out-of-range sequences.
bool NextCodePoint(const std::string& s, std::size_t& pos, char32_t& c) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char b0 = byte(pos);
    int length;
    char32_t minimum;
    if (b0 < 0x80) {
        c = b0;
        ++pos;
        return true;
    } else if ((b0 & 0xE0) == 0xC0) {
        length = 2;
        c = b0 & 0x1F;
        minimum = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        length = 3;
        c = b0 & 0x0F;
        minimum = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        length = 4;
        c = b0 & 0x07;
        minimum = 0x10000;
    } else {
        return false;
    }
    if (s.size() - pos < static_cast<std::size_t>(length)) return false;
    for (int i = 1; i < length; ++i) {
        const unsigned char b = byte(pos + i);
        if ((b & 0xC0) != 0x80) return false;
        c = (c << 6) | (b & 0x3F);
    }
    if (c < minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
    pos += length;
    return true;
}

} // namespace

bool IsUtf8(const std::string& text) {
    char32_t c;
    for (std::size_t pos = 0; pos < text.size();)
        if (!NextCodePoint(text, pos, c)) return false;
    return true;
}

EncodeResult EncodeWindows1252(const std::string& utf8, std::string& out) {
    out.clear();
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const std::size_t start = pos;
        char32_t c = 0;
        if (!NextCodePoint(utf8, pos, c)) return {EncodeProblem::InvalidUtf8, 0, start};
        const int b = CodePointToByte(c);
        if (b < 0) return {EncodeProblem::NotRepresentable, c, start};
        out += static_cast<char>(b);
    }
    return {};
}

std::string DecodeWindows1252(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 4);
    for (const char ch : bytes)
        AppendUtf8(out, ByteToCodePoint(static_cast<unsigned char>(ch)));
    return out;
}

bool IsWindows1252Text(const std::string& utf8) {
    std::string ignored;
    return EncodeWindows1252(utf8, ignored).problem == EncodeProblem::None;
}

std::string DescribeCodePoint(char32_t codePoint) {
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(codePoint));
    std::string text = code;
    const bool printable = codePoint >= 0x20 && !(codePoint >= 0x7F && codePoint < 0xA0) &&
                           !(codePoint >= 0xD800 && codePoint <= 0xDFFF) && codePoint <= 0x10FFFF;
    if (printable) {
        text += " \"";
        AppendUtf8(text, codePoint);
        text += "\"";
    }
    return text;
}

std::string VisibleText(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    const auto shown = [&out](unsigned value) {
        char code[16];
        std::snprintf(code, sizeof code, "<0x%02X>", value);
        out += code;
    };
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t start = pos;
        char32_t c = 0;
        if (!NextCodePoint(text, pos, c)) {
            shown(static_cast<unsigned char>(text[start]));
            pos = start + 1;
        } else if (c < 0x20 || (c >= 0x7F && c < 0xA0)) {
            shown(static_cast<unsigned>(c));
        } else {
            out.append(text, start, pos - start);
        }
    }
    return out;
}
