#pragma once
// Real polynomials in the slip and their real roots, found exactly: the circuit's torque is a
// rational function of the slip, so torque balances and the torque's extremes are polynomial roots.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>

namespace polynomial {
// Enough for the derivative of a double-cage torque behind an upstream impedance.
constexpr int MaxDegree = 14;

// Coefficients in ascending powers.
template <class T> struct PolyOf {
    std::array<T, MaxDegree + 1> c{};
    int degree = 0;

    T At(T x) const {
        T v = c[degree];
        for (int i = degree - 1; i >= 0; --i) v = v * x + c[i];
        return v;
    }
    // Sum of the terms' moduli: the size of the rounding noise of At.
    T Magnitude(T x) const {
        T v = std::fabs(c[degree]);
        for (int i = degree - 1; i >= 0; --i) v = v * std::fabs(x) + std::fabs(c[i]);
        return v;
    }
    PolyOf Derivative() const {
        PolyOf d;
        d.degree = std::max(degree - 1, 0);
        for (int i = 1; i <= degree; ++i) d.c[i - 1] = i * c[i];
        return d;
    }
};
using Ld = long double;
using Poly = PolyOf<Ld>;

// The product's degree must stay within MaxDegree.
Poly operator*(const Poly& a, const Poly& b);
Poly operator*(Ld k, const Poly& a);
Poly operator-(const Poly& a, const Poly& b);
Poly operator+(const Poly& a, const Poly& b);
Poly Line(Ld c0, Ld c1);
Poly Quadratic(Ld c0, Ld c1, Ld c2);

struct CxL {
    Ld re = 0, im = 0;
};
inline CxL operator+(CxL a, CxL b) { return {a.re + b.re, a.im + b.im}; }
inline CxL operator*(CxL a, CxL b) { return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re}; }
inline CxL operator*(Ld k, CxL a) { return {k * a.re, k * a.im}; }

// |c0 + c1 s + ... + cn s^n|^2 as a real polynomial in s.
template <std::size_t N> Poly SquaredModulus(const std::array<CxL, N>& c) {
    Poly p;
    p.degree = 2 * (static_cast<int>(N) - 1);
    for (std::size_t i = 0; i < N; ++i)
        for (std::size_t j = 0; j < N; ++j) p.c[i + j] += c[i].re * c[j].re + c[i].im * c[j].im;
    return p;
}

// The real roots in [lo, hi], ascending, each refined to full precision; roots has room for the
// polynomial's degree. Between the roots of its derivative a polynomial is monotone, so each sign
// change there is one root: none is missed, however close two lie. A root that only touches zero
// is taken when the value there is within rounding noise.
int RealRoots(const Poly& p, double lo, double hi, double* roots);
} // namespace polynomial
