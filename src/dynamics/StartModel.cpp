#include "StartModel.h"

#include <algorithm>
#include <cmath>

#include <array>
#include <limits>

namespace {
using Ld = long double;
constexpr int MaxDegree = 6;
// A polynomial of this degree has at most as many roots.
static_assert(MaxDegree == StartModel::MaxAcceleratingRoots);

// A real polynomial in the slip, coefficients in ascending powers.
template <class T>
struct PolyOf {
    std::array<T, MaxDegree + 1> c{};
    int degree = 0;

    T At(T x) const {
        T v = c[degree];
        for (int i = degree - 1; i >= 0; --i)
            v = v * x + c[i];
        return v;
    }
    // Sum of the terms' moduli: the size of the rounding noise of At.
    T Magnitude(T x) const {
        T v = std::fabs(c[degree]);
        for (int i = degree - 1; i >= 0; --i)
            v = v * std::fabs(x) + std::fabs(c[i]);
        return v;
    }
    PolyOf Derivative() const {
        PolyOf d;
        d.degree = std::max(degree - 1, 0);
        for (int i = 1; i <= degree; ++i)
            d.c[i - 1] = i * c[i];
        return d;
    }
};
using Poly = PolyOf<Ld>;
Poly operator*(const Poly& a, const Poly& b) {
    Poly r;
    r.degree = a.degree + b.degree;
    for (int i = 0; i <= a.degree; ++i)
        for (int j = 0; j <= b.degree; ++j)
            r.c[i + j] += a.c[i] * b.c[j];
    return r;
}
Poly operator*(Ld k, const Poly& a);
Poly operator-(const Poly& a, const Poly& b) {
    Poly r;
    r.degree = std::max(a.degree, b.degree);
    for (int i = 0; i <= r.degree; ++i)
        r.c[i] = (i <= a.degree ? a.c[i] : 0) - (i <= b.degree ? b.c[i] : 0);
    return r;
}
Poly operator+(const Poly& a, const Poly& b) {
    return a - (-1.0L * b);
}
Poly operator*(Ld k, const Poly& a) {
    Poly r = a;
    for (int i = 0; i <= r.degree; ++i)
        r.c[i] *= k;
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

struct CxL {
    Ld re = 0, im = 0;
};
CxL operator+(CxL a, CxL b) {
    return {a.re + b.re, a.im + b.im};
}
CxL operator*(CxL a, CxL b) {
    return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re};
}
CxL operator*(Ld k, CxL a) {
    return {k * a.re, k * a.im};
}
CxL Widen(Cx z) {
    return {z.re, z.im};
}
// |a + b s|^2 as a polynomial in s.
Poly SquaredModulus(CxL a, CxL b) {
    return Quadratic(a.re * a.re + a.im * a.im, 2 * (a.re * b.re + a.im * b.im), b.re * b.re + b.im * b.im);
}

// The search for roots runs on double coefficients (the long double ones are built exactly
// enough, but their arithmetic is several times slower); each root found is then polished by
// Newton's steps on the long double polynomial.
using SearchPoly = PolyOf<double>;

// Root of a polynomial that changes sign over [a, b]: Newton's steps while they stay inside the
// bracket and at least halve the value, bisection otherwise, down to the rounding noise.
double Bracketed(const SearchPoly& p, double a, double b, double fa) {
    double x = a + (b - a) / 2, previous = HUGE_VAL;
    for (int i = 0; i < 200; ++i) {
        double f = p.c[p.degree], df = 0;
        for (int k = p.degree - 1; k >= 0; --k) {
            df = df * x + f;
            f = f * x + p.c[k];
        }
        // Within rounding noise the long double polish takes over.
        if (std::fabs(f) <= 8 * std::numeric_limits<double>::epsilon() * p.Magnitude(x)) return x;
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

// Real roots in [lo, hi], ascending: between the roots of its derivative a polynomial is
// monotone, so each sign change there is one root. A root that only touches zero is taken when
// the value at the derivative's root is within rounding noise.
int RealRoots(SearchPoly p, double lo, double hi, double* roots) {
    while (p.degree > 0 && p.c[p.degree] == 0)
        --p.degree;
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
        if (zero(a, fa))
            add(a);
        else if (!zero(b, fb) && (fa < 0) != (fb < 0))
            add(Bracketed(p, a, b, fa));
        fa = fb;
    }
    if (zero(hi, fa)) add(hi);
    return found;
}

// The roots of a long double polynomial in [lo, hi], ascending.
int RealRoots(const Poly& exact, double lo, double hi, double* roots) {
    SearchPoly p;
    p.degree = exact.degree;
    for (int i = 0; i <= p.degree; ++i)
        p.c[i] = static_cast<double>(exact.c[i]);
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

// The torque of a stage at full output as K s A(s) / (D(s) B(s)), three real quadratics; A = B = 1
// with nothing upstream. The winding voltage is U0 |Z_Y/k^2| / |Z_Y/k^2 + Z_up| with the input
// impedance (P0 + P1 s) / (Q0 + Q1 s).
struct TorqueRational {
    Ld k;
    Poly a, b, d;
};
TorqueRational Rational(const FastCircuit& c, const Stage& stage) {
    TorqueRational r;
    const Ld u0 = static_cast<Ld>(stage.tap) * stage.vwRef;
    r.k = static_cast<Ld>(c.TorqueFactor()) * u0 * u0;
    r.d = Quadratic(c.D0(), c.D1(), c.D2());
    if (!stage.upstream) {
        r.a = r.b = Quadratic(1, 0, 0);
        return r;
    }
    const CxL zs = Widen(c.StatorImpedance()), zm = Widen(c.MagnetisingImpedance());
    const Ld rr = c.RotorResistance(), xr = c.RotorReactance();
    const CxL q0{rr, 0}, q1 = zm + CxL{0, xr};
    const CxL p0 = rr * (zs + zm), p1 = zs * q1 + zm * CxL{0, xr};
    const Ld scale = (stage.delta ? 1.0L / 3 : 1.0L) / (static_cast<Ld>(stage.tap) * stage.tap);
    const CxL up = Widen(stage.zUp);
    r.a = (scale * scale) * SquaredModulus(p0, p1);
    r.b = SquaredModulus(scale * p0 + up * q0, scale * p1 + up * q1);
    return r;
}
} // namespace

StartModel::StartModel(const MotorDataSet& ds, bool network, Cx zSourceTransformer)
    : circuit_(ds), load_{ds.T0, ds.T1, ds.T2}, ns_(ds.SynchronousSpeed), network_(network),
      zKT_(zSourceTransformer) {}

int StartModel::AcceleratingRoots(const Stage& stage, double lo, double hi, double* roots) const {
    // K s A(s) - TL(s) D(s) B(s) = 0 with TL(s) = c0 + c1 s + c2 s^2 for n = ns (1 - s).
    const Ld ns = ns_, t0 = load_.t0, t1 = load_.t1, t2 = load_.t2;
    const Poly load = Quadratic(t0 + t1 * ns + t2 * ns * ns, -t1 * ns - 2 * t2 * ns * ns, t2 * ns * ns);
    const TorqueRational t = Rational(circuit_, stage);
    const Poly balance =
        stage.upstream ? t.k * (Line(0, 1) * t.a) - load * t.d * t.b : t.k * Line(0, 1) - load * t.d;
    return RealRoots(balance, lo, hi, roots);
}

double StartModel::BreakdownSlip(const Stage& stage) const {
    if (!stage.upstream) return circuit_.BreakdownSlip();
    // The largest of s A / (D B) over (0, 1]: where (A + s A') D B - s A (D' B + D B') vanishes, or 1.
    const TorqueRational t = Rational(circuit_, stage);
    const Poly s = Line(0, 1);
    const Poly slope = (t.a + s * t.a.Derivative()) * t.d * t.b -
                       s * t.a * (t.d.Derivative() * t.b + t.d * t.b.Derivative());
    double r[MaxDegree];
    const int n = RealRoots(slope, 0, 1, r);
    double best = 1, bestTorque = At(stage, 1, 1).torque;
    for (int i = 0; i < n; ++i) {
        const double x = r[i];
        if (!(x > 0)) continue;
        const double torque = At(stage, 1, x).torque;
        if (torque > bestTorque) best = x, bestTorque = torque;
    }
    return best;
}

QuasiStatic FindQuasiStatic(const StartModel& model, const Stage& running) {
    QuasiStatic q;
    const double ns = model.SynchronousSpeed();
    q.breakdownSlip = model.BreakdownSlip(running);
    double roots[StartModel::MaxAcceleratingRoots];
    const int count = model.AcceleratingRoots(running, 0, 1, roots);
    double sop;
    if (model.Load().At(ns) <= 0) {
        sop = 0;
        q.operatingSpeed = ns;
    } else {
        int i = 0;
        while (i < count && !(roots[i] > 0))
            ++i;
        if (i == count) {
            q.stallSpeed = 0; // no operating point at all
            return q;
        }
        sop = roots[i];
        q.operatingSpeed = ns * (1 - sop);
    }
    if (model.Accelerating(running, 1) <= 0) {
        q.stallSpeed = 0;
        return q;
    }
    for (int i = count - 1; i >= 0; --i)
        if (roots[i] > sop && roots[i] < 1) {
            q.stallSpeed = ns * (1 - roots[i]);
            break;
        }
    return q;
}

std::optional<double> ReducedStageStall(const StartModel& model, const Stage& stage, double maxSpeed) {
    const double ns = model.SynchronousSpeed();
    if (model.Accelerating(stage, 1) <= 0) return 0.0;
    const double sLow = 1 - maxSpeed / ns;
    double roots[StartModel::MaxAcceleratingRoots];
    const int count = model.AcceleratingRoots(stage, std::max(0.0, sLow), 1, roots);
    for (int i = count - 1; i >= 0; --i)
        if (roots[i] < 1 && roots[i] > sLow) return ns * (1 - roots[i]);
    return std::nullopt;
}
