#include "TextToReal.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

#include "MotorDataSet.h"

EConvertError::EConvertError(const std::string& part)
    : std::runtime_error("'" + part + "' n'est pas une valeur flottante correcte"), part_(part) {}

namespace {

// The plain number conversion: blanks (spaces only) around an optional sign, digits and an
// optional exponent. No decimal mark is accepted here, which keeps the result independent of the
// locale; the separators are handled by TextToReal itself.
Extended ConvertPlain(const std::string& text) {
    std::size_t b = 0, e = text.size();
    while (b < e && text[b] == ' ') ++b;
    while (e > b && text[e - 1] == ' ') --e;
    std::size_t i = b;
    std::string clean;
    if (i < e && (text[i] == '+' || text[i] == '-')) clean += text[i++];
    const std::size_t digitsStart = i;
    while (i < e && text[i] >= '0' && text[i] <= '9') clean += text[i++];
    if (i == digitsStart) throw EConvertError(text);
    if (i < e && (text[i] == 'e' || text[i] == 'E')) {
        clean += 'e';
        ++i;
        if (i < e && (text[i] == '+' || text[i] == '-')) clean += text[i++];
        const std::size_t expStart = i;
        while (i < e && text[i] >= '0' && text[i] <= '9') clean += text[i++];
        if (i == expStart) throw EConvertError(text);
    }
    if (i != e) throw EConvertError(text);
    // clean holds only sign, digits and 'e': strtold has nothing locale-dependent to interpret.
    return std::strtold(clean.c_str(), nullptr);
}

std::size_t TrimmedLength(const std::string& text) {
    std::size_t b = 0, e = text.size();
    while (b < e && text[b] == ' ') ++b;
    while (e > b && text[e - 1] == ' ') --e;
    return e - b;
}

} // namespace

double TextToReal(const std::string& text) {
    if (text.empty()) throw EConvertError(text);
    const std::size_t sep = text.find_first_of(",.");
    std::string intText = sep == std::string::npos ? text : text.substr(0, sep);
    const std::string fracText = sep == std::string::npos ? std::string("0") : text.substr(sep + 1);
    if (intText.empty()) intText = "0";

    const double intValue = static_cast<double>(ConvertPlain(intText));
    const Extended fracValue = ConvertPlain(fracText);
    const double quotient =
        static_cast<double>(fracValue / std::pow(10.0L, static_cast<Extended>(TrimmedLength(fracText))));

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
