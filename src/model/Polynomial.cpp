#include "Polynomial.h"

#include <limits>

namespace polynomial {
Poly operator*(const Poly& a, const Poly& b) {
    Poly r;
    r.degree = a.degree + b.degree;
    for (int i = 0; i <= a.degree; ++i)
        for (int j = 0; j <= b.degree; ++j) r.c[i + j] += a.c[i] * b.c[j];
    return r;
}
Poly operator-(const Poly& a, const Poly& b) {
    Poly r;
    r.degree = std::max(a.degree, b.degree);
    for (int i = 0; i <= r.degree; ++i) r.c[i] = (i <= a.degree ? a.c[i] : 0) - (i <= b.degree ? b.c[i] : 0);
    return r;
}
Poly operator+(const Poly& a, const Poly& b) { return a - (-1.0L * b); }
Poly operator*(Ld k, const Poly& a) {
    Poly r = a;
    for (int i = 0; i <= r.degree; ++i) r.c[i] *= k;
    return r;
}
Poly Line(Ld c0, Ld c1) {
    Poly p;
    p.degree = 1;
    p.c[0] = c0, p.c[1] = c1;
    return p;
}
Poly Quadratic(Ld c0, Ld c1, Ld c2) {
    Poly p;
    p.degree = 2;
    p.c[0] = c0, p.c[1] = c1, p.c[2] = c2;
    return p;
}

namespace {
// The search for roots runs on double coefficients (the long double ones are built exactly
// enough, but their arithmetic is several times slower); each root found is then polished by
// Newton's steps on the long double polynomial.
using SearchPoly = PolyOf<double>;

// Root of a polynomial that changes sign over [a, b]: Newton's steps while they stay inside the
// bracket and at least halve the value, bisection otherwise, down to the rounding noise.
double Bracketed(const SearchPoly& p, double a, double b, double fa) {
    double x = a + (b - a) / 2, previous = HUGE_VAL;
    for (int i = 0; i < 200; ++i) {
        // The value, its slope and the size of its rounding noise (Magnitude) in one pass.
        double f = p.c[p.degree], df = 0, magnitude = std::fabs(f);
        for (int k = p.degree - 1; k >= 0; --k) {
            df = df * x + f;
            f = f * x + p.c[k];
            magnitude = magnitude * std::fabs(x) + std::fabs(p.c[k]);
        }
        // Within rounding noise the long double polish takes over.
        if (std::fabs(f) <= 8 * std::numeric_limits<double>::epsilon() * magnitude) return x;
        if ((f < 0) == (fa < 0)) {
            a = x;
            fa = f;
        } else {
            b = x;
        }
        double next = df != 0 ? x - f / df : a;
        if (!(next > a && next < b) || std::fabs(f) > previous / 2) next = a + (b - a) / 2;
        previous = std::fabs(f);
        if (next == x || !(next > a && next < b)) break;
        x = next;
    }
    return x;
}

int RealRoots(SearchPoly p, double lo, double hi, double* roots) {
    while (p.degree > 0 && p.c[p.degree] == 0) --p.degree;
    if (p.degree == 0) return 0;
    if (p.degree == 1) {
        const double r = -p.c[0] / p.c[1];
        if (!(r >= lo && r <= hi)) return 0;
        roots[0] = r;
        return 1;
    }
    double points[MaxDegree + 2] = {};
    int count = 0;
    points[count++] = lo;
    double critical[MaxDegree] = {};
    const int nc = RealRoots(p.Derivative(), lo, hi, critical);
    for (int i = 0; i < nc; ++i)
        if (critical[i] > points[count - 1] && critical[i] < hi) points[count++] = critical[i];
    points[count++] = hi;

    const double noise = 64 * std::numeric_limits<double>::epsilon();
    auto zero = [&](double x, double f) { return f == 0 || std::fabs(f) <= noise * p.Magnitude(x); };
    int found = 0;
    auto add = [&](double r) {
        if (found == 0 || r > roots[found - 1]) roots[found++] = r;
    };
    double fa = p.At(points[0]);
    for (int i = 0; i + 1 < count; ++i) {
        const double a = points[i], b = points[i + 1];
        const double fb = p.At(b);
        if (zero(a, fa)) add(a);
        else if (!zero(b, fb) && (fa < 0) != (fb < 0)) add(Bracketed(p, a, b, fa));
        fa = fb;
    }
    if (zero(hi, fa)) add(hi);
    return found;
}
} // namespace

int RealRoots(const Poly& exact, double lo, double hi, double* roots) {
    SearchPoly p;
    p.degree = exact.degree;
    for (int i = 0; i <= p.degree; ++i) p.c[i] = static_cast<double>(exact.c[i]);
    const int n = RealRoots(p, lo, hi, roots);
    const Poly slope = exact.Derivative();
    for (int i = 0; i < n; ++i) {
        Ld x = roots[i];
        for (int k = 0; k < 2; ++k) {
            const Ld d = slope.At(x);
            if (d == 0) break;
            const Ld next = x - exact.At(x) / d;
            if (!(std::fabs(next - roots[i]) <= 1e-9L * (1 + std::fabs(x)))) break;
            x = next;
        }
        roots[i] = std::clamp(static_cast<double>(x), lo, hi);
    }
    return n;
}
} // namespace polynomial
