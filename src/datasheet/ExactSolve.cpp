#include "ExactSolve.h"

#include "Minimise.h"

#include <algorithm>
#include <cmath>

namespace datasheet {

CageCircuit CircuitOf(const Params& p, const Targets& t, Restrictions k) {
    const double zb = t.U / t.I;
    CageCircuit c;
    c.R1 = zb * std::exp(p[0]);
    c.Xs = zb * std::exp(p[1]);
    c.Rs = k.kr * c.R1;
    c.X2 = k.kx * c.Xs;
    c.X1 = c.X2 + zb * std::exp(p[2]);
    c.R2 = c.R1 + zb * std::exp(p[3]);
    return c;
}

Params ParamsOf(const CageCircuit& c, const Targets& t) {
    const double zb = t.U / t.I;
    return {std::log(c.R1 / zb), std::log(c.Xs / zb), std::log((c.X1 - c.X2) / zb), std::log((c.R2 - c.R1) / zb)};
}

Params ParamsApart(const CageCircuit& c, const Targets& t) {
    CageCircuit apart = c;
    apart.X1 = std::max(c.X1, c.X2 * (1 + 1e-12));
    apart.R2 = std::max(c.R2, c.R1 * (1 + 1e-12));
    return ParamsOf(apart, t);
}

namespace {
// Weight of the iron edge's residual beside the targets' logs.
constexpr double EdgeWeight = 10;
// A residual that turns the solver back: no positive magnetising reactance there.
constexpr double Outside = 1e3;

Residuals ResidualsOf(const Measured& m, const Targets& t, double ironShare, double ironFloor) {
    return {std::log(m.ratedTorque / t.TN), std::log(m.lockedTorque / t.Ta), std::log(m.lockedCurrent / t.Ia),
            std::log(m.peakTorque / t.Tk), EdgeWeight * std::max(0.0, ironFloor - ironShare)};
}

std::optional<Evaluated> EvaluateCircuit(CageCircuit c, const Targets& t, double ironFloor, double peakSlip) {
    const auto iron = CompleteMagnetisingBranch(c, t);
    if (!iron) return std::nullopt;
    const Measured m = peakSlip > 0 ? MeasureAtSlip(c, t, peakSlip) : Measure(c, t);
    return Evaluated{ResidualsOf(m, t, *iron, ironFloor), m.peakSlip};
}

std::optional<Evaluated> Evaluate(const Params& p, const Targets& t, Restrictions k, double ironFloor,
                                  double peakSlip = 0) {
    return EvaluateCircuit(CircuitOf(p, t, k), t, ironFloor, peakSlip);
}

struct ExactFunctor : Eigen::DenseFunctor<double> {
    const Targets& t;
    Restrictions k;
    ExactFunctor(const Targets& targets, Restrictions restrictions)
        : Eigen::DenseFunctor<double>(4, 5), t(targets), k(restrictions) {}

    static Params ToParams(const Eigen::VectorXd& x) { return {x[0], x[1], x[2], x[3]}; }

    // The solver asks for the derivatives where it last evaluated: that evaluation is kept.
    mutable Eigen::VectorXd lastX;
    mutable std::optional<Evaluated> last;
    std::optional<Evaluated> At(const Eigen::VectorXd& x) const {
        if (lastX.size() != x.size() || lastX != x) {
            lastX = x;
            last = Evaluate(ToParams(x), t, k, 0);
        }
        return last;
    }

    int operator()(const Eigen::VectorXd& x, Eigen::VectorXd& f) const {
        const auto e = At(x);
        for (int i = 0; i < 5; ++i) f[i] = e ? e->r[i] : Outside;
        return 0;
    }

    int df(const Eigen::VectorXd& x, JacobianType& jac) const {
        const auto base = At(x);
        if (!base) {
            jac.setZero();
            jac.topRows(4).setIdentity();
            return 0;
        }
        constexpr double h = 1e-7;
        for (int j = 0; j < 4; ++j) {
            double step = 0;
            std::optional<Evaluated> moved;
            for (double side : {h, -h}) {
                Params p = ToParams(x);
                p[j] += side;
                step = side;
                if ((moved = Evaluate(p, t, k, 0, base->peakSlip))) break;
            }
            for (int i = 0; i < 5; ++i) jac(i, j) = moved ? (moved->r[i] - base->r[i]) / step : 0;
        }
        return 0;
    }
};
} // namespace

std::optional<Evaluated> ExactResiduals(const Params& p, const Targets& t, Restrictions k, double ironFloor,
                                        double peakSlip) {
    return Evaluate(p, t, k, ironFloor, peakSlip);
}

std::optional<Evaluated> CircuitResiduals(const CageCircuit& c, const Targets& t, double ironFloor, double peakSlip) {
    return EvaluateCircuit(c, t, ironFloor, peakSlip);
}

ExactAttempt AttemptExact(const Params& start, const Targets& t, Restrictions k) {
    ExactFunctor f(t, k);
    Eigen::VectorXd x(4);
    for (int i = 0; i < 4; ++i) x[i] = start[i];
    // log(1 + d) within ExactTolerance/2 keeps d within ExactTolerance.
    constexpr double Met = 0.5 * ExactTolerance;
    const double largest = Minimise(f, x, Met, 150, 0.05, 4);
    ExactAttempt a;
    a.end = ExactFunctor::ToParams(x);
    a.largest = largest;
    if (largest < Met) {
        CageCircuit c = CircuitOf(a.end, t, k);
        const auto iron = CompleteMagnetisingBranch(c, t);
        if (iron && *iron > 0) a.found = ExactCircuit{c, a.end};
    }
    return a;
}

std::optional<ExactCircuit> SolveExactFrom(const Params& start, const Targets& t, Restrictions k) {
    return AttemptExact(start, t, k).found;
}

RotorEstimate EstimateRotor(const Targets& t) {
    // The locked-rotor current gives the leakage reactance, the locked-rotor torque through the
    // locked-rotor current the standstill resistance, the air-gap power at the rated slip the
    // running resistance (through the air-gap voltage that the stator's share of the leakage
    // leaves; the magnetising current neglected).
    RotorEstimate e;
    e.standstill = t.Ta * t.omegaS / (3 * t.Ia * t.Ia);
    const double zlocked = t.U / t.Ia;
    e.leakage = std::sqrt(std::max(zlocked * zlocked - 4 * e.standstill * e.standstill, 0.04 * zlocked * zlocked));
    const Cx ratedCurrent(t.I * t.cosPhi, -t.I * t.sinPhi);
    const double airGap = std::abs(t.U - Cx(0, 0.45 * e.leakage) * ratedCurrent);
    e.running = 3 * airGap * airGap * t.sN / (t.TN * t.omegaS);
    return e;
}

std::vector<Params> ExactStarts(const Targets& t, Restrictions k) {
    const RotorEstimate e = EstimateRotor(t);
    const double standstill = e.standstill, running = e.running, leakage = e.leakage;
    struct Candidate {
        Params p;
        double norm;
    };
    std::vector<Candidate> candidates;
    auto consider = [&](CageCircuit c) {
        if (!(c.R1 > 0 && c.R2 > c.R1 && c.X1 > c.X2 && c.Xs > 0)) return;
        // A rotor that takes more than the rated point's power leaves the magnetising branch
        // negative: higher resistances take less.
        std::optional<Residuals> r;
        Params p;
        for (int i = 0; i < 16; ++i, c.R1 *= 1.25, c.R2 *= 1.25, c.Rs *= 1.25) {
            p = ParamsOf(c, t);
            const auto e = ExactResiduals(p, t, k);
            if (e) r = e->r;
            if (r && (*r)[4] == 0) break;
        }
        if (!r) return;
        double n = 0;
        for (double v : *r) n += v * v;
        candidates.push_back({p, n});
    };
    for (double f : {0.3, 0.45, 0.6}) {
        CageCircuit c;
        c.Xs = f * leakage;
        c.X2 = k.kx * c.Xs;
        const Cx yr = 1.0 / Cx(standstill, leakage - c.Xs);
        auto runningCage = [&](double r2) {
            const Cx z1 = 1.0 / (yr - 1.0 / Cx(r2, c.X2));
            return z1;
        };
        auto mismatch = [&](double r2) {
            const Cx z1 = runningCage(r2);
            return z1.real() * r2 / (z1.real() + r2) - running;
        };
        constexpr int Steps = 24;
        const double lo = std::log(running * 1.01), hi = std::log(std::max(standstill, running) * 60);
        double prevR2 = std::exp(lo), prev = mismatch(prevR2);
        for (int i = 1; i <= Steps; ++i) {
            const double r2 = std::exp(lo + (hi - lo) * i / Steps);
            const double m = mismatch(r2);
            if (std::isfinite(m) && std::isfinite(prev) && (m > 0) != (prev > 0)) {
                double a = prevR2, b = r2, fa = prev;
                for (int it = 0; it < 40; ++it) {
                    const double mid = std::sqrt(a * b), fm = mismatch(mid);
                    if ((fm > 0) == (fa > 0)) {
                        a = mid;
                        fa = fm;
                    } else {
                        b = mid;
                    }
                }
                const Cx z1 = runningCage(std::sqrt(a * b));
                c.R1 = z1.real();
                c.X1 = z1.imag();
                c.R2 = std::sqrt(a * b);
                c.Rs = k.kr * c.R1;
                consider(c);
            }
            prevR2 = r2;
            prev = m;
        }
        // Without such an R2 (the data sheet asks for a standstill resistance at or below the
        // running one), a start with the cages apart all the same.
        c.R1 = 1.2 * running;
        c.R2 = std::max(3 * running, 2 * standstill);
        c.X1 = std::max(2 * (leakage - c.Xs), 1.5 * c.X2);
        c.Rs = k.kr * c.R1;
        consider(c);
    }
    // A running cage of so much reactance that only the starting cage carries current at
    // standstill: the leakage there is the stator's and the starting cage's, the standstill
    // resistance the starting cage's own; at the rated slip the running cage's reactance still
    // counts, so its resistance is below the running estimate.
    for (double share : {0.4, 1.0})
        for (double reactance : {4.0, 12.0}) {
            CageCircuit c;
            c.Xs = leakage / (1 + k.kx);
            c.X2 = k.kx * c.Xs;
            c.R1 = share * running;
            c.R2 = std::max(standstill, 1.5 * c.R1);
            c.X1 = reactance * leakage;
            c.Rs = k.kr * c.R1;
            consider(c);
        }
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const Candidate& a, const Candidate& b) { return a.norm < b.norm; });
    std::vector<Params> starts;
    for (const Candidate& c : candidates) starts.push_back(c.p);
    return starts;
}

ExactSearch SearchExact(const Targets& t, Restrictions k, int maxStarts) {
    ExactSearch search;
    for (const Params& start : ExactStarts(t, k)) {
        if (static_cast<int>(search.ends.size()) >= maxStarts) break;
        ExactAttempt a = AttemptExact(start, t, k);
        search.ends.push_back({a.end, a.largest});
        if (a.found) {
            search.found = a.found;
            break;
        }
    }
    std::stable_sort(search.ends.begin(), search.ends.end(),
                     [](const ExactSearch::End& a, const ExactSearch::End& b) { return a.largest < b.largest; });
    return search;
}

} // namespace datasheet
