#pragma once
// The reading of typed numbers as it was before exponents and very long fractions were read as
// correctly rounded decimals. Texts without an exponent must still read exactly like this; the
// differential test and the TextToReal fuzz target compare against it.

#include <cmath>
#include <cstdlib>
#include <string>

#include "MotorDataSet.h"
#include "TextToReal.h"

namespace previous {

inline Extended ConvertPlain(const std::string& text) {
    std::size_t b = 0, e = text.size();
    while (b < e && text[b] == ' ')
        ++b;
    while (e > b && text[e - 1] == ' ')
        --e;
    std::size_t i = b;
    std::string clean;
    if (i < e && (text[i] == '+' || text[i] == '-')) clean += text[i++];
    const std::size_t digitsStart = i;
    while (i < e && text[i] >= '0' && text[i] <= '9')
        clean += text[i++];
    if (i == digitsStart) throw EConvertError(text);
    if (i < e && (text[i] == 'e' || text[i] == 'E')) {
        clean += 'e';
        ++i;
        if (i < e && (text[i] == '+' || text[i] == '-')) clean += text[i++];
        const std::size_t expStart = i;
        while (i < e && text[i] >= '0' && text[i] <= '9')
            clean += text[i++];
        if (i == expStart) throw EConvertError(text);
    }
    if (i != e) throw EConvertError(text);
    return std::strtold(clean.c_str(), nullptr);
}

inline std::size_t TrimmedLength(const std::string& text) {
    std::size_t b = 0, e = text.size();
    while (b < e && text[b] == ' ')
        ++b;
    while (e > b && text[e - 1] == ' ')
        --e;
    return e - b;
}

inline double TextToReal(const std::string& text) {
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
    if (!std::isfinite(result)) throw EConvertError(text);
    return result;
}

} // namespace previous
