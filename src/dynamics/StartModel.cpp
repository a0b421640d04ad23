#include "StartModel.h"

#include <algorithm>
#include <cmath>

#include <boost/math/tools/minima.hpp>
#include <boost/math/tools/toms748_solve.hpp>

namespace {
using Ld = long double;

Ld Horner(const Ld* c, int degree, Ld x) {
    Ld v = c[degree];
    for (int i = degree - 1; i >= 0; --i)
        v = v * x + c[i];
    return v;
}
// Sum of the terms' moduli: the size of the rounding noise of Horner's result.
Ld Magnitude(const Ld* c, int degree, Ld x) {
    Ld v = std::fabs(c[degree]);
    for (int i = degree - 1; i >= 0; --i)
        v = v * std::fabs(x) + std::fabs(c[i]);
    return v;
}

// Root of a polynomial that changes sign over [a, b]: Newton's steps while they stay inside the
// bracket and at least halve the value, bisection otherwise, down to adjacent numbers.
Ld Bisect(const Ld* c, int degree, Ld a, Ld b, Ld fa) {
    Ld x = a + (b - a) / 2, previous = HUGE_VALL;
    for (int i = 0; i < 200; ++i) {
        Ld f = c[degree], df = 0;
        for (int k = degree - 1; k >= 0; --k) {
            df = df * x + f;
            f = f * x + c[k];
        }
        if (f == 0) return x;
        if ((f < 0) == (fa < 0)) {
            a = x;
            fa = f;
        } else {
            b = x;
        }
        Ld next = df != 0 ? x - f / df : a;
        if (!(next > a && next < b) || std::fabs(f) > previous / 2) next = a + (b - a) / 2;
        previous = std::fabs(f);
        if (next == x || !(next > a && next < b)) break;
        x = next;
    }
    return x;
}

// Real roots in [lo, hi], ascending, of the polynomial of this degree (at most 4): between the
// roots of its derivative it is monotone, so each sign change there is one root. A root that only
// touches zero is taken when the value at the derivative's root is within rounding noise.
int RealRoots(const Ld* coefficients, int degree, Ld lo, Ld hi, Ld* roots) {
    while (degree > 0 && coefficients[degree] == 0)
        --degree;
    if (degree == 0) return 0;
    const Ld* c = coefficients;
    if (degree == 1) {
        const Ld r = -c[0] / c[1];
        if (r >= lo && r <= hi) {
            roots[0] = r;
            return 1;
        }
        return 0;
    }
    Ld d[4] = {};
    for (int i = 0; i < degree; ++i)
        d[i] = (i + 1) * c[i + 1];
    Ld points[6] = {};
    int count = 0;
    points[count++] = lo;
    Ld critical[4] = {};
    const int nc = RealRoots(d, degree - 1, lo, hi, critical);
    for (int i = 0; i < nc; ++i)
        if (critical[i] > points[count - 1] && critical[i] < hi) points[count++] = critical[i];
    points[count++] = hi;

    const Ld noise = 64 * std::numeric_limits<Ld>::epsilon();
    int found = 0;
    auto add = [&](Ld r) {
        if (found == 0 || r > roots[found - 1]) roots[found++] = r;
    };
    Ld fa = Horner(c, degree, points[0]);
    for (int i = 0; i + 1 < count; ++i) {
        const Ld a = points[i], b = points[i + 1];
        const Ld fb = Horner(c, degree, b);
        if (fa == 0 || std::fabs(fa) <= noise * Magnitude(c, degree, a)) {
            add(a);
        } else if (fb != 0 && (fa < 0) != (fb < 0) && std::fabs(fb) > noise * Magnitude(c, degree, b)) {
            add(Bisect(c, degree, a, b, fa));
        }
        fa = fb;
    }
    const Ld fhi = Horner(c, degree, hi);
    if (fhi == 0 || std::fabs(fhi) <= noise * Magnitude(c, degree, hi)) add(hi);
    return found;
}

// Slips of the scan: dense near synchronous speed, where operating points lie, then even steps.
struct ScanGrid {
    static constexpr int LogPoints = 80, EvenPoints = 320, Count = LogPoints + EvenPoints + 1;
    std::array<double, Count> s{};
    ScanGrid() {
        const double first = 1e-7, split = 0.05;
        s[0] = 0;
        for (int i = 0; i < LogPoints; ++i)
            s[i + 1] = first * std::pow(split / first, double(i) / LogPoints);
        for (int i = 0; i < EvenPoints; ++i)
            s[LogPoints + 1 + i] = split + (1 - split) * (i + 1) / EvenPoints;
        s[Count - 1] = 1;
    }
};
const ScanGrid Grid;

double Refine(const StartModel& model, const Stage& stage, double a, double b, double fa, double fb) {
    if (fa == 0) return a;
    if (fb == 0) return b;
    auto f = [&](double s) { return model.Accelerating(stage, s); };
    boost::uintmax_t iterations = 200;
    const auto r = boost::math::tools::toms748_solve(
        f, a, b, fa, fb, boost::math::tools::eps_tolerance<double>(53), iterations);
    return r.first + (r.second - r.first) / 2;
}
} // namespace

StartModel::StartModel(const MotorDataSet& ds, bool network, Cx zSourceTransformer)
    : circuit_(ds), load_{ds.T0, ds.T1, ds.T2}, ns_(ds.SynchronousSpeed), network_(network),
      zKT_(zSourceTransformer) {}

int StartModel::AcceleratingRoots(const Stage& stage, double lo, double hi, double* roots,
                                  int maxRoots) const {
    int found = 0;
    if (!stage.upstream) {
        // K u^2 R'r s - TL(s) D(s) = 0 with TL(s) = c0 + c1 s + c2 s^2, n = ns (1 - s).
        const Ld ns = ns_, t0 = load_.t0, t1 = load_.t1, t2 = load_.t2;
        const Ld c0 = t0 + t1 * ns + t2 * ns * ns, c1 = -t1 * ns - 2 * t2 * ns * ns, c2 = t2 * ns * ns;
        const Ld u = static_cast<Ld>(stage.tap) * stage.vwRef;
        const Ld k = static_cast<Ld>(circuit_.TorqueFactor()) * u * u;
        const Ld a0 = circuit_.D0(), a1 = circuit_.D1(), a2 = circuit_.D2();
        const Ld p[5] = {-c0 * a0, k - (c0 * a1 + c1 * a0), -(c0 * a2 + c1 * a1 + c2 * a0),
                         -(c1 * a2 + c2 * a1), -c2 * a2};
        Ld r[4];
        const int n = RealRoots(p, 4, lo, hi, r);
        for (int i = 0; i < n && found < maxRoots; ++i)
            roots[found++] = static_cast<double>(r[i]);
        return found;
    }
    double sa = lo, fa = Accelerating(stage, lo);
    if (fa == 0 && found < maxRoots) roots[found++] = lo;
    for (int i = 0; i < ScanGrid::Count && found < maxRoots; ++i) {
        const double sb = Grid.s[i];
        if (sb <= lo) continue;
        const double b = std::min(sb, hi);
        const double fb = Accelerating(stage, b);
        if (fb == 0)
            roots[found++] = b;
        else if (fa != 0 && (fa < 0) != (fb < 0))
            roots[found++] = Refine(*this, stage, sa, b, fa, fb);
        sa = b;
        fa = fb;
        if (b >= hi) break;
    }
    return found;
}

double StartModel::BreakdownSlip(const Stage& stage) const {
    if (!stage.upstream) return circuit_.BreakdownSlip();
    // The largest torque on the scan, then the maximum near it.
    int best = 1;
    double bestTorque = -1;
    for (int i = 1; i < ScanGrid::Count; ++i) {
        const double t = At(stage, 1, Grid.s[i]).torque;
        if (t > bestTorque) {
            bestTorque = t;
            best = i;
        }
    }
    const double a = Grid.s[best - 1], b = best + 1 < ScanGrid::Count ? Grid.s[best + 1] : 1.0;
    auto negative = [&](double s) { return -At(stage, 1, s).torque; };
    boost::uintmax_t iterations = 200;
    const auto r = boost::math::tools::brent_find_minima(negative, a, b, 40, iterations);
    // A maximum at the scan's end lies at standstill or beyond.
    if (best == ScanGrid::Count - 1 && r.first > 1 - 1e-7) return 1;
    return r.first;
}

QuasiStatic FindQuasiStatic(const StartModel& model, const Stage& running) {
    QuasiStatic q;
    const double ns = model.SynchronousSpeed();
    q.breakdownSlip = model.BreakdownSlip(running);
    double roots[16];
    const int count = model.AcceleratingRoots(running, 0, 1, roots, 16);
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
    double roots[16];
    const int count = model.AcceleratingRoots(stage, std::max(0.0, sLow), 1, roots, 16);
    for (int i = count - 1; i >= 0; --i)
        if (roots[i] < 1 && roots[i] > sLow) return ns * (1 - roots[i]);
    return std::nullopt;
}
