#pragma once
// Complex impedances of the per-phase equivalent circuit. Operands are copied before the result
// is written, so the result may be one of the operands.

#include <cfloat>
#include <cmath>

struct Complex {
    double Re = 0;
    double Im = 0;
};

// Notes that a value stored on the way left the range of the doubles: it overflowed to infinity,
// or a value that was not 0 vanished below the smallest normal double (to 0, or to a subnormal
// that has lost its digits). A later division by such a value gives a finite but wrong result,
// or none, so a computation that has noted either must be refused even when everything it
// returns is finite. Passing no watch costs nothing and changes no digit.
struct RangeWatch {
    bool overflowed = false;
    bool vanished = false;

    // The stored (rounded) value of an extended-precision result, noted.
    double Store(long double exact) {
        const double stored = static_cast<double>(exact);
        if (std::isinf(stored) && !std::isinf(exact)) overflowed = true;
        else if (exact != 0 && std::isfinite(exact) && std::fabs(stored) < DBL_MIN) vanished = true;
        return stored;
    }
};

double ComplexAbs(const Complex& z, RangeWatch* watch = nullptr);
void ComplexAdd(const Complex& a, const Complex& b, Complex& r, RangeWatch* watch = nullptr);
// a*b/(a+b)
void ComplexParallel(const Complex& a, const Complex& b, Complex& r, RangeWatch* watch = nullptr);
void ComplexDivide(const Complex& a, const Complex& b, Complex& r, RangeWatch* watch = nullptr);
