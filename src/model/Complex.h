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

// How an operation stores a value: rounded, or rounded and noted by a watch.
struct PlainStore {
    double operator()(long double v) const { return static_cast<double>(v); }
};
struct WatchedStore {
    RangeWatch& watch;
    double operator()(long double v) const { return watch.Store(v); }
};

// Every operation works in extended precision and rounds where a value is stored, so that the
// circuit gives the same digits as the program always has. Written once for both ways of
// storing; the plain functions below never look at a watch, which the curves' thousands of
// evaluations would pay for.
template <class Store> double ComplexAbsWith(const Complex& z, Store store) {
    const long double re = z.Re, im = z.Im;
    return store(std::sqrt(re * re + im * im));
}

template <class Store> void ComplexAddWith(const Complex& a, const Complex& b, Complex& r, Store store) {
    const Complex A = a, B = b;
    r.Re = store(static_cast<long double>(A.Re) + B.Re);
    r.Im = store(static_cast<long double>(A.Im) + B.Im);
}

template <class Store> void ComplexParallelWith(const Complex& a, const Complex& b, Complex& r, Store store) {
    using X = long double;
    const Complex A = a, B = b;
    const X sRe = static_cast<X>(A.Re) + B.Re;
    const X sIm = static_cast<X>(A.Im) + B.Im;
    const double d = store(sRe * sRe + sIm * sIm);
    const double pRe = store(static_cast<X>(A.Re) * B.Re - static_cast<X>(A.Im) * B.Im);
    const double pIm = store(static_cast<X>(A.Re) * B.Im + static_cast<X>(A.Im) * B.Re);
    const double SRe = store(sRe);
    const double SIm = store(sIm);
    r.Re = store((static_cast<X>(pRe) * SRe + static_cast<X>(pIm) * SIm) / d);
    r.Im = store((static_cast<X>(pIm) * SRe - static_cast<X>(pRe) * SIm) / d);
}

template <class Store> void ComplexDivideWith(const Complex& a, const Complex& b, Complex& r, Store store) {
    using X = long double;
    const Complex A = a, B = b;
    const double d = store(static_cast<X>(B.Re) * B.Re + static_cast<X>(B.Im) * B.Im);
    r.Re = store((static_cast<X>(A.Re) * B.Re + static_cast<X>(A.Im) * B.Im) / d);
    r.Im = store((static_cast<X>(A.Im) * B.Re - static_cast<X>(A.Re) * B.Im) / d);
}

double ComplexAbs(const Complex& z);
void ComplexAdd(const Complex& a, const Complex& b, Complex& r);
// a*b/(a+b)
void ComplexParallel(const Complex& a, const Complex& b, Complex& r);
void ComplexDivide(const Complex& a, const Complex& b, Complex& r);
// The same, noted by the watch when one is given.
double ComplexAbs(const Complex& z, RangeWatch* watch);
void ComplexAdd(const Complex& a, const Complex& b, Complex& r, RangeWatch* watch);
void ComplexParallel(const Complex& a, const Complex& b, Complex& r, RangeWatch* watch);
void ComplexDivide(const Complex& a, const Complex& b, Complex& r, RangeWatch* watch);
