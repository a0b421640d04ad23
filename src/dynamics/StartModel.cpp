#include "StartModel.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {
using namespace polynomial;
// A polynomial of degree 10, the torque balance of a double cage through an impedance, has at most
// as many roots.
static_assert(StartModel::MaxAcceleratingRoots >= 10 && StartModel::MaxAcceleratingRoots <= MaxDegree);

CxL Widen(Cx z) {
    return {z.re, z.im};
}
std::array<CxL, 3> Widen(const CxQuadratic& c) {
    return {Widen(c[0]), Widen(c[1]), Widen(c[2])};
}
// |a + b s|^2 as a polynomial in s.
Poly SquaredModulus(CxL a, CxL b) {
    return polynomial::SquaredModulus(std::array<CxL, 2>{a, b});
}

// The torque of a stage at full output as K s A(s) / (D(s) B(s)): with one cage three real
// quadratics, A = B = 1 with nothing upstream. The winding voltage is U0 |Z_Y/k^2| / |Z_Y/k^2 + Z_up|
// with the input impedance P(s) / Q(s), P and Q linear. With two cages the rotor's own A is a
// quadratic and D a quartic (TorqueRational), P and Q are quadratics, and A takes |P|^2 on.
struct StageTorque {
    Ld k;
    Poly a, b, d;
};

StageTorque TwoCageRational(const FastCircuit& c, const Stage& stage) {
    StageTorque r;
    const FastCircuit::Quadratics& cage = c.TwoCages();
    const Ld u0 = static_cast<Ld>(stage.tap) * stage.vwRef;
    r.k = static_cast<Ld>(c.TorqueFactor()) * u0 * u0;
    r.a = Quadratic(cage.a0, 0, cage.a2);
    r.d = polynomial::SquaredModulus(Widen(cage.c));
    r.b = Quadratic(1, 0, 0);
    if (!stage.upstream) return r;
    const Ld scale = (stage.delta ? 1.0L / 3 : 1.0L) / (static_cast<Ld>(stage.tap) * stage.tap);
    const CxL up = Widen(stage.zUp);
    const std::array<CxL, 3> p = Widen(cage.p), q = Widen(cage.q);
    std::array<CxL, 3> behind;
    for (int i = 0; i < 3; ++i)
        behind[i] = scale * p[i] + up * q[i];
    r.a = (scale * scale) * (r.a * polynomial::SquaredModulus(p));
    r.b = polynomial::SquaredModulus(behind);
    return r;
}

StageTorque Rational(const FastCircuit& c, const Stage& stage) {
    if (c.SecondCage()) return TwoCageRational(c, stage);
    StageTorque r;
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
    const StageTorque t = Rational(circuit_, stage);
    const Poly balance = stage.upstream || circuit_.SecondCage() ? t.k * (Line(0, 1) * t.a) - load * t.d * t.b
                                                                 : t.k * Line(0, 1) - load * t.d;
    return RealRoots(balance, lo, hi, roots);
}

double StartModel::BreakdownSlip(const Stage& stage) const {
    if (!stage.upstream) return circuit_.BreakdownSlip();
    // The largest of s A / (D B) over (0, 1]: where (A + s A') D B - s A (D' B + D B') vanishes, or 1.
    // Every root of that polynomial in (0, 1] is looked at: the global maximum, on either hump.
    const StageTorque t = Rational(circuit_, stage);
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
