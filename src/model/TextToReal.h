#pragma once
// Reading typed decimal numbers with either "," or "." as the separator, whatever the locale,
// and writing numbers in the fixed-point form the dialogs, panels and catalogue show.

#include <stdexcept>
#include <string>

// The invalid-number error; what() is "'<text>' n'est pas une valeur flottante correcte".
class EConvertError : public std::runtime_error {
public:
    explicit EConvertError(const std::string& part);
    const std::string& Part() const { return part_; }

private:
    std::string part_;
};

// Throws EConvertError for text that is not a number (also for an empty text).
double TextToReal(const std::string& text);

// Fixed-point text with at most 7 significant digits and the given number of decimals, using
// decimalSeparator; a value with more than 7 integer digits comes out in exponent form.
std::string FormatFixed(double value, int decimals, char decimalSeparator = '.');
