// TextToReal on any text: it either refuses the text or returns a finite value; a text without
// an exponent reads exactly as the former reading did, and a decimal number with an exponent (or
// a fraction too long for the former reading) reads as strtod reads it in the C locale.

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "FuzzCheck.h"
#include "OldTextToReal.h"
#include "TextToReal.h"

namespace {
struct Reading {
    bool ok = false;
    double value = 0;
    std::string error;
};

template <class Read> Reading Try(Read read, const std::string& text) {
    Reading r;
    try {
        r.value = read(text);
        r.ok = true;
    } catch (const EConvertError& e) {
        r.error = e.what();
    }
    return r;
}

bool SameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

std::string Trimmed(const std::string& text) {
    const std::size_t b = text.find_first_not_of(' ');
    if (b == std::string::npos) return {};
    return text.substr(b, text.find_last_not_of(' ') - b + 1);
}

// strtod in the C locale on the trimmed text with "," as ".", when the text is a plain decimal
// number that strtod reads whole (no hexadecimal, no "inf", no other blanks).
bool StrtodWhole(const std::string& text, double& value) {
    std::string t = Trimmed(text);
    if (t.empty() || t.find_first_not_of("0123456789+-.,eE") != std::string::npos) return false;
    for (char& c : t)
        if (c == ',') c = '.';
    char* end = nullptr;
    value = std::strtod(t.c_str(), &end);
    return end == t.c_str() + t.size();
}

// The trimmed length of the fraction text, as the former reading measured it.
std::size_t FractionLength(const std::string& text) {
    const std::size_t sep = text.find_first_of(",.");
    if (sep == std::string::npos) return 1;
    return Trimmed(text.substr(sep + 1)).size();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const Reading now = Try([](const std::string& t) { return TextToReal(t); }, text);
    if (now.ok) {
        FUZZ_CHECK(std::isfinite(now.value), "'%s'", text.c_str());
        for (int decimals = 0; decimals <= 2; ++decimals) {
            const std::string shown = FormatFixed(now.value, decimals);
            FUZZ_CHECK(shown.find_first_of("IN") == std::string::npos, "'%s' shows as %s", text.c_str(),
                       shown.c_str());
        }
    }

    double expected = 0;
    const bool decimal = StrtodWhole(text, expected);
    if (text.find_first_of("eE") == std::string::npos && FractionLength(text) <= LDBL_MAX_10_EXP) {
        const Reading before = Try([](const std::string& t) { return previous::TextToReal(t); }, text);
        FUZZ_CHECK(before.ok == now.ok, "'%s' read %d before, %d now", text.c_str(), before.ok, now.ok);
        if (now.ok)
            FUZZ_CHECK(SameBits(before.value, now.value), "'%s': %.17g before, %.17g now", text.c_str(),
                       before.value, now.value);
        else
            FUZZ_CHECK(before.error == now.error, "'%s': %s / %s", text.c_str(), before.error.c_str(),
                       now.error.c_str());
    } else if (text.find_first_of("eE") != std::string::npos) {
        // With an exponent the text is a number exactly when strtod reads it whole, and reads alike,
        // or it is refused when it is beyond the doubles.
        if (!decimal)
            FUZZ_CHECK(!now.ok, "'%s' read as %.17g", text.c_str(), now.value);
        else if (std::isinf(expected))
            FUZZ_CHECK(!now.ok, "'%s' beyond the doubles read as %.17g", text.c_str(), now.value);
        else
            FUZZ_CHECK(now.ok && SameBits(now.value, expected), "'%s': strtod %.17g, read %d %.17g",
                       text.c_str(), expected, now.ok, now.value);
    } else if (now.ok) {
        // A fraction too long for the former reading: the correctly rounded decimal.
        FUZZ_CHECK(decimal && SameBits(now.value, expected), "'%s': strtod %.17g, read %.17g", text.c_str(),
                   expected, now.value);
    }
    return 0;
}
