#include "Complex.h"

#include <cmath>

#include "MotorDataSet.h"

// Every operation works in extended precision and rounds where a value is stored, so that the
// circuit gives the same digits as the program always has.

double ComplexAbs(const Complex& z) {
    const Extended re = z.Re, im = z.Im;
    return static_cast<double>(std::sqrt(re * re + im * im));
}

void ComplexAdd(const Complex& a, const Complex& b, Complex& r) {
    const Complex A = a, B = b;
    r.Re = static_cast<double>(static_cast<Extended>(A.Re) + B.Re);
    r.Im = static_cast<double>(static_cast<Extended>(A.Im) + B.Im);
}

void ComplexParallel(const Complex& a, const Complex& b, Complex& r) {
    const Complex A = a, B = b;
    const Extended sRe = static_cast<Extended>(A.Re) + B.Re;
    const Extended sIm = static_cast<Extended>(A.Im) + B.Im;
    const double d = static_cast<double>(sRe * sRe + sIm * sIm);
    const double pRe = static_cast<double>(static_cast<Extended>(A.Re) * B.Re - static_cast<Extended>(A.Im) * B.Im);
    const double pIm = static_cast<double>(static_cast<Extended>(A.Re) * B.Im + static_cast<Extended>(A.Im) * B.Re);
    const double SRe = static_cast<double>(sRe);
    const double SIm = static_cast<double>(sIm);
    r.Re = static_cast<double>((static_cast<Extended>(pRe) * SRe + static_cast<Extended>(pIm) * SIm) / d);
    r.Im = static_cast<double>((static_cast<Extended>(pIm) * SRe - static_cast<Extended>(pRe) * SIm) / d);
}

void ComplexDivide(const Complex& a, const Complex& b, Complex& r) {
    const Complex A = a, B = b;
    const double d = static_cast<double>(static_cast<Extended>(B.Re) * B.Re + static_cast<Extended>(B.Im) * B.Im);
    r.Re = static_cast<double>((static_cast<Extended>(A.Re) * B.Re + static_cast<Extended>(A.Im) * B.Im) / d);
    r.Im = static_cast<double>((static_cast<Extended>(A.Im) * B.Re - static_cast<Extended>(A.Re) * B.Im) / d);
}
