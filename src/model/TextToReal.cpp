#include "TextToReal.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <system_error>

#include "MotorDataSet.h"

EConvertError::EConvertError(const std::string& part)
    : std::runtime_error("'" + part + "' n'est pas une valeur flottante correcte"), part_(part) {}

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The text without the spaces (only spaces) around it, as [begin, end).
struct Span {
    std::size_t begin, end;
};
Span Trimmed(const std::string& text) {
    std::size_t b = 0, e = text.size();
    while (b < e && text[b] == ' ') ++b;
    while (e > b && text[e - 1] == ' ') --e;
    return {b, e};
}

// The plain number conversion: blanks (spaces only) around an optional sign and digits (a text with
// an exponent never comes here). No decimal mark is accepted here, which keeps the result
// independent of the locale; the separators are handled by TextToReal itself.
Extended ConvertPlain(const std::string& text) {
    const auto [b, e] = Trimmed(text);
    std::size_t i = b;
    std::string clean;
    if (i < e && (text[i] == '+' || text[i] == '-')) clean += text[i++];
    const std::size_t digitsStart = i;
    while (i < e && IsDigit(text[i])) clean += text[i++];
    if (i == digitsStart) throw EConvertError(text);
    if (i != e) throw EConvertError(text);
    // clean holds only sign and digits: strtold has nothing locale-dependent to interpret.
    return std::strtold(clean.c_str(), nullptr);
}

// A decimal number in the form strtod reads in the C locale: sign, digits with at most one
// separator, optionally an exponent, split into its parts.
struct DecimalText {
    bool negative = false;
    std::string integer, fraction; // digits only
    bool hasExponent = false;
    bool exponentNegative = false;
    std::string exponent; // digits only
};

// Parses [b, e) of text; false when it is not such a number.
bool ParseDecimal(const std::string& text, std::size_t b, std::size_t e, DecimalText& d) {
    std::size_t i = b;
    if (i < e && (text[i] == '+' || text[i] == '-')) d.negative = text[i++] == '-';
    while (i < e && IsDigit(text[i])) d.integer += text[i++];
    if (i < e && (text[i] == '.' || text[i] == ',')) {
        ++i;
        while (i < e && IsDigit(text[i])) d.fraction += text[i++];
    }
    if (d.integer.empty() && d.fraction.empty()) return false;
    if (i < e && (text[i] == 'e' || text[i] == 'E')) {
        d.hasExponent = true;
        ++i;
        if (i < e && (text[i] == '+' || text[i] == '-')) d.exponentNegative = text[i++] == '-';
        while (i < e && IsDigit(text[i])) d.exponent += text[i++];
        if (d.exponent.empty()) return false;
    }
    return i == e;
}

// The correctly rounded double of the decimal number; throws EConvertError(original) when it is
// beyond the range of a double. A number too small for a double reads as zero of its sign.
double CorrectlyRounded(const DecimalText& d, const std::string& original) {
    std::string clean;
    if (d.negative) clean += '-';
    clean += d.integer.empty() ? "0" : d.integer;
    if (!d.fraction.empty()) clean += '.' + d.fraction;
    if (d.hasExponent) clean += (d.exponentNegative ? "e-" : "e") + d.exponent;
    double value = 0;
    // from_chars is locale-free and correctly rounded for any number of digits.
    const auto [end, ec] = std::from_chars(clean.data(), clean.data() + clean.size(), value);
    if (ec == std::errc() && end == clean.data() + clean.size() && std::isfinite(value)) return value;
    if (ec != std::errc::result_out_of_range || end != clean.data() + clean.size()) throw EConvertError(original);

    // Out of range: too large, or so small that it rounds to zero. The decimal exponent of the
    // first significant digit tells which (saturated: the exponent text may be of any length).
    const std::string digits = d.integer + d.fraction;
    const std::size_t first = digits.find_first_not_of('0');
    if (first == std::string::npos) return d.negative ? -0.0 : 0.0;
    constexpr long long Cap = 1'000'000'000'000LL;
    long long exponent = 0;
    for (char c : d.exponent) {
        exponent = exponent * 10 + (c - '0');
        if (exponent > Cap) {
            exponent = Cap;
            break;
        }
    }
    if (d.exponentNegative) exponent = -exponent;
    const long long leading = static_cast<long long>(d.integer.size()) - static_cast<long long>(first) - 1;
    if (exponent + leading < 0) return d.negative ? -0.0 : 0.0;
    throw EConvertError(original);
}

} // namespace

double TextToReal(const std::string& text) {
    if (text.empty()) throw EConvertError(text);

    // With an exponent the text is one decimal number, read like strtod in the C locale.
    if (text.find_first_of("eE") != std::string::npos) {
        const auto [b, e] = Trimmed(text);
        DecimalText d;
        if (!ParseDecimal(text, b, e, d) || !d.hasExponent) throw EConvertError(text);
        return CorrectlyRounded(d, text);
    }

    const std::size_t sep = text.find_first_of(",.");
    std::string intText = sep == std::string::npos ? text : text.substr(0, sep);
    const std::string fracText = sep == std::string::npos ? std::string("0") : text.substr(sep + 1);
    if (intText.empty()) intText = "0";

    // A fraction so long that its power of ten has no extended value: the number is read whole.
    const auto [fb, fe] = Trimmed(fracText);
    if (fe - fb > static_cast<std::size_t>(LDBL_MAX_10_EXP)) {
        const auto [ib, ie] = Trimmed(intText);
        DecimalText d;
        const bool plainFraction =
            fb < fe && std::all_of(fracText.begin() + static_cast<std::ptrdiff_t>(fb),
                                   fracText.begin() + static_cast<std::ptrdiff_t>(fe), IsDigit);
        // intText holds no separator and no exponent, so a match is a plain whole number.
        if (plainFraction && ParseDecimal(intText, ib, ie, d)) {
            d.fraction = fracText.substr(fb, fe - fb);
            return CorrectlyRounded(d, text);
        }
    }

    const double intValue = static_cast<double>(ConvertPlain(intText));
    const Extended fracValue = ConvertPlain(fracText);
    const double quotient = static_cast<double>(fracValue / std::pow(10.0L, static_cast<Extended>(fe - fb)));

    const std::size_t first = intText.find_first_not_of(' ');
    const bool negative = first != std::string::npos && intText[first] == '-';
    const double result = static_cast<double>(negative ? static_cast<Extended>(intValue) - quotient
                                                        : static_cast<Extended>(intValue) + quotient);
    // Beyond the range of a stored value the number would become infinite: refuse it like a typo.
    if (!std::isfinite(result)) throw EConvertError(text);
    return result;
}
std::string FormatFixed(double value, int decimals, char decimalSeparator) {
    if (!std::isfinite(value)) return std::isnan(value) ? "NAN" : (value < 0 ? "-INF" : "INF");
    char buf[64];
    // Exponent of the value rounded to 7 significant digits.
    auto sci = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 6);
    const std::string s(buf, sci.ptr);
    const int exp10 = std::atoi(s.c_str() + s.find('e') + 1);
    std::string out;
    if (value != 0 && exp10 >= 7) {
        // Too many integer digits for the fixed form: d.dddddde+XX with 7 digits.
        out = s;
        const std::size_t epos = out.find('e');
        std::string mant = out.substr(0, epos);
        std::string ex = out.substr(epos + 1);
        const char sign = ex[0];
        ex = ex.substr(1);
        while (ex.size() < 2) ex = "0" + ex;
        out = mant + "E" + sign + ex;
    } else if (value == 0 || exp10 + 1 + decimals <= 7) {
        auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
        out.assign(buf, r.ptr);
    } else {
        // Round once to 7 significant digits, then pad to the wanted decimals.
        const int keep = 6 - exp10 < 0 ? 0 : 6 - exp10;
        double rounded = 0;
        std::from_chars(s.data(), s.data() + s.size(), rounded); // locale-free, unlike strtod
        auto r = std::to_chars(buf, buf + sizeof buf, rounded, std::chars_format::fixed, keep);
        out.assign(buf, r.ptr);
        if (decimals > keep) {
            if (keep == 0) out += '.';
            out.append(static_cast<std::size_t>(decimals - keep), '0');
        }
    }
    // A value that rounds to zero shows no minus sign.
    if (!out.empty() && out[0] == '-' && out.find_first_of("123456789") == std::string::npos) out.erase(0, 1);
    for (char& c : out)
        if (c == '.') c = decimalSeparator;
    return out;
}
