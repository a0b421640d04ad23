#include "Complex.h"

#include <cmath>

#include "MotorDataSet.h"

// Every operation works in extended precision and rounds where a value is stored, so that the
// circuit gives the same digits as the program always has.

namespace {
double Store(Extended v, RangeWatch* watch) { return watch ? watch->Store(v) : static_cast<double>(v); }
} // namespace

double ComplexAbs(const Complex& z, RangeWatch* watch) {
    const Extended re = z.Re, im = z.Im;
    return Store(std::sqrt(re * re + im * im), watch);
}

void ComplexAdd(const Complex& a, const Complex& b, Complex& r, RangeWatch* watch) {
    const Complex A = a, B = b;
    r.Re = Store(static_cast<Extended>(A.Re) + B.Re, watch);
    r.Im = Store(static_cast<Extended>(A.Im) + B.Im, watch);
}

void ComplexParallel(const Complex& a, const Complex& b, Complex& r, RangeWatch* watch) {
    const Complex A = a, B = b;
    const Extended sRe = static_cast<Extended>(A.Re) + B.Re;
    const Extended sIm = static_cast<Extended>(A.Im) + B.Im;
    const double d = Store(sRe * sRe + sIm * sIm, watch);
    const double pRe = Store(static_cast<Extended>(A.Re) * B.Re - static_cast<Extended>(A.Im) * B.Im, watch);
    const double pIm = Store(static_cast<Extended>(A.Re) * B.Im + static_cast<Extended>(A.Im) * B.Re, watch);
    const double SRe = Store(sRe, watch);
    const double SIm = Store(sIm, watch);
    r.Re = Store((static_cast<Extended>(pRe) * SRe + static_cast<Extended>(pIm) * SIm) / d, watch);
    r.Im = Store((static_cast<Extended>(pIm) * SRe - static_cast<Extended>(pRe) * SIm) / d, watch);
}

void ComplexDivide(const Complex& a, const Complex& b, Complex& r, RangeWatch* watch) {
    const Complex A = a, B = b;
    const double d = Store(static_cast<Extended>(B.Re) * B.Re + static_cast<Extended>(B.Im) * B.Im, watch);
    r.Re = Store((static_cast<Extended>(A.Re) * B.Re + static_cast<Extended>(A.Im) * B.Im) / d, watch);
    r.Im = Store((static_cast<Extended>(A.Im) * B.Re - static_cast<Extended>(A.Re) * B.Im) / d, watch);
}
