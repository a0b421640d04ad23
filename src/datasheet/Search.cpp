#include "Search.h"

#include <algorithm>
#include <cmath>

#include "Minimise.h"

namespace datasheet {

Evaluation Evaluate(const CageCircuit& c, const Targets& t) {
    const CageModel m(c, t.U, t.omegaS);
    const Cx rated = m.Current(t.sN);
    const double magnitude = std::abs(rated);
    Evaluation e;
    e.peak = m.Maximum(t.sN);
    e.deviations = {magnitude / t.I - 1,
                    rated.real() / magnitude / t.cosPhi - 1,
                    m.Torque(t.sN) / t.TN - 1,
                    m.Torque(1) / t.Ta - 1,
                    std::abs(m.Current(1)) / t.Ia - 1,
                    e.peak.torque / t.Tk - 1};
    return e;
}

namespace {
// A residual that turns the solver back: the magnetising branch is not positive there.
constexpr double Outside = 1e3;

// log k = centre + half sin(theta) keeps k inside its closed range whatever theta.
struct BoxAxis {
    double centre, half;
    double K(double theta) const { return std::exp(centre + half * std::sin(theta)); }
    double Theta(double k) const { return std::asin(std::clamp((std::log(k) - centre) / half, -1.0, 1.0)); }
};
const BoxAxis KrAxis{0.5 * (std::log(KrLow) + std::log(KrHigh)), 0.5 * (std::log(KrHigh) - std::log(KrLow))};
const BoxAxis KxAxis{0.5 * (std::log(KxLow) + std::log(KxHigh)), 0.5 * (std::log(KxHigh) - std::log(KxLow))};

// Log distance from the preferred restrictions (1, 0.5), per axis.
double LogKr(Restrictions k) { return std::log(k.kr); }
double LogKx(Restrictions k) { return std::log(2 * k.kx); }

// The penalty's factor: the targets are met to about its square at the minimum.
constexpr double Weight = 1e-3;
// Weight of the log distance from (1, 0.5) beside a best fit's deviations: it only settles ties.
constexpr double Tie = 1e-7;

// The targets a best fit lets give way, and how far: the locked-rotor current for the torque
// priority (a relative change d), both torques for the current priority (d_a = tau sin(alpha),
// d_k = tau sin(beta), so that tau bounds the larger of the two and minimising tau minimises it).
struct Relaxation {
    FitPriority priority;
    int Count() const { return priority == FitPriority::Torque ? 1 : 3; }
    double Magnitude(const double* v) const { return v[0]; }
    Targets Apply(const Targets& t, const double* v) const {
        Targets moved = t;
        if (priority == FitPriority::Torque) {
            moved.Ia *= 1 + v[0];
        } else {
            moved.Ta *= 1 + v[0] * std::sin(v[1]);
            moved.Tk *= 1 + v[0] * std::sin(v[2]);
        }
        return moved;
    }
};

// The exact solver's four unknowns and the restrictions' box angles, with or without a relaxation
// of the data sheet; residuals: the four targets (as relaxed) and the iron edge, the relaxation
// weighted by the penalty's factor, the log distance of the restrictions from (1, 0.5) weighted
// likewise (when nothing is relaxed) or by Tie. With a small factor the Gauss-Newton steps keep
// the targets met and move along them to the smallest relaxation, or the nearest restrictions,
// that allows it (the penalty method).
struct PenaltyFunctor : Eigen::DenseFunctor<double> {
    const Targets& t;
    std::optional<Relaxation> relax;
    bool closed; // the cages may become equal

    static int Unknowns(const std::optional<Relaxation>& r) { return 6 + (r ? r->Count() : 0); }
    // The residuals of the exact solver, the relaxation's or distance's, the tie's (rows of zeros
    // when the unknowns outnumber them).
    static int Values(const std::optional<Relaxation>& r) { return std::max(Unknowns(r), r ? 8 : 7); }
    PenaltyFunctor(const Targets& targets, std::optional<Relaxation> r, bool closedBounds)
        : Eigen::DenseFunctor<double>(Unknowns(r), Values(r)), t(targets), relax(r), closed(closedBounds) {}

    static Restrictions RestrictionsOf(const Eigen::VectorXd& z) { return {KrAxis.K(z[4]), KxAxis.K(z[5])}; }
    // The exact solver's log unknowns, or with closed bounds X1 = X2 (1 + z2^2) and
    // R2 = R1 (1 + z3^2) instead, which reach equal cages.
    CageCircuit CircuitAt(const Eigen::VectorXd& z) const {
        const Restrictions k = RestrictionsOf(z);
        CageCircuit c = CircuitOf({z[0], z[1], z[2], z[3]}, t, k);
        if (!closed) return c;
        c.X1 = c.X2 * (1 + z[2] * z[2]);
        c.R2 = c.R1 * (1 + z[3] * z[3]);
        return c;
    }
    // The unknowns of a circuit with these restrictions (cages apart by at least a hair when the
    // bounds are open).
    Eigen::VectorXd UnknownsOf(const CageCircuit& c, Restrictions k) const {
        Eigen::VectorXd z = Eigen::VectorXd::Zero(inputs());
        const double zb = t.U / t.I;
        if (closed) {
            z.head(4) << std::log(c.R1 / zb), std::log(c.Xs / zb), std::sqrt(std::max(0.0, c.X1 / c.X2 - 1)),
                std::sqrt(std::max(0.0, c.R2 / c.R1 - 1));
        } else {
            const Params p = ParamsApart(c, t);
            z.head(4) << p[0], p[1], p[2], p[3];
        }
        z[4] = KrAxis.Theta(k.kr);
        z[5] = KxAxis.Theta(k.kx);
        // The torques' relaxation starts off the sines' flat tops.
        if (relax && relax->priority == FitPriority::Current) z[7] = z[8] = 0.5;
        return z;
    }
    Targets TargetsOf(const Eigen::VectorXd& z) const { return relax ? relax->Apply(t, z.data() + 6) : t; }

    // The residuals, and the slip of the torque maximum (0 when outside).
    double Residuals(const Eigen::VectorXd& z, Eigen::VectorXd& f, double peakSlip = 0) const {
        const Restrictions k = RestrictionsOf(z);
        const Targets moved = TargetsOf(z);
        const bool valid = moved.Ia > 0 && moved.Ta > 0 && moved.Tk > 0;
        const auto e = valid ? CircuitResiduals(CircuitAt(z), moved, relax ? IronFloor : 0, peakSlip) : std::nullopt;
        f.setZero();
        for (int i = 0; i < 5; ++i) f[i] = e ? e->r[i] : Outside;
        if (relax) {
            f[5] = Weight * relax->Magnitude(z.data() + 6);
            f[6] = Tie * LogKr(k);
            f[7] = Tie * LogKx(k);
        } else {
            f[5] = Weight * LogKr(k);
            f[6] = Weight * LogKx(k);
        }
        return e ? e->peakSlip : 0;
    }

    // The solver asks for the derivatives where it last evaluated: that evaluation is kept.
    mutable Eigen::VectorXd lastZ, lastF;
    mutable double lastPeakSlip = 0;
    double At(const Eigen::VectorXd& z, Eigen::VectorXd& f) const {
        if (lastZ.size() != z.size() || lastZ != z) {
            lastF.resize(f.size());
            lastPeakSlip = Residuals(z, lastF);
            lastZ = z;
        }
        f = lastF;
        return lastPeakSlip;
    }

    int operator()(const Eigen::VectorXd& z, Eigen::VectorXd& f) const {
        At(z, f);
        return 0;
    }

    int df(const Eigen::VectorXd& z, JacobianType& jac) const {
        Eigen::VectorXd f0(values()), f1(values());
        const double peakSlip = At(z, f0);
        for (int j = 0; j < inputs(); ++j) {
            Eigen::VectorXd moved = z;
            double step = 1e-7;
            moved[j] += step;
            Residuals(moved, f1, peakSlip);
            if (f1[0] == Outside) {
                step = -step;
                moved[j] = z[j] + step;
                Residuals(moved, f1, peakSlip);
            }
            jac.col(j) = (f1 - f0) / step;
        }
        return 0;
    }
};

constexpr int Steps = 150;
constexpr double SlowGain = 1e-3;

// After the penalty method: the exact circuit at the restrictions and relaxation it ended with, or
// a hair farther out (its minimum lies just beyond the edge of what can be met exactly).
std::optional<FittedCircuit> Settle(const Targets& t, const PenaltyFunctor& f, const Eigen::VectorXd& z,
                                    double largest) {
    const Restrictions k = PenaltyFunctor::RestrictionsOf(z);
    const Params end = ParamsApart(f.CircuitAt(z), t);
    // Targets still missed by more than this at the penalty's end are out of the exact solver's reach.
    constexpr double Reach = 1e-2;
    for (double outward : {0.0, 1e-5, 1e-3, 1e-2, 3e-2, 0.1}) {
        if (largest > Reach) break;
        Eigen::VectorXd moved = z;
        Restrictions km = k;
        if (f.relax) {
            moved[6] *= 1 + outward;
        } else {
            km = {std::clamp(std::exp(LogKr(k) * (1 + outward)), KrLow, KrHigh),
                  std::clamp(0.5 * std::exp(LogKx(k) * (1 + outward)), KxLow, KxHigh)};
        }
        const Targets movedTargets = f.TargetsOf(moved);
        if (const auto s = SolveExactFrom(end, movedTargets, km)) {
            // The solver sees the iron bound only as a weighted residual: a best fit keeps it closed.
            CageCircuit c = s->circuit;
            if (c.Xh / c.Rfe < IronFloor) c.Rfe = c.Xh / IronFloor;
            return FittedCircuit{c, km, Evaluate(c, t)};
        }
    }
    if (!f.relax) return std::nullopt;
    // No relaxation of the giving-way targets alone lets the priority's own be met: the penalty's
    // end is the best fit (its magnetising branch kept within the closed bound).
    CageCircuit c = f.CircuitAt(z);
    const auto iron = CompleteMagnetisingBranch(c, t);
    if (!iron) return std::nullopt;
    if (*iron < IronFloor) c.Rfe = c.Xh / IronFloor;
    return FittedCircuit{c, k, Evaluate(c, t)};
}

std::optional<FittedCircuit> RunPenalty(const Targets& t, std::optional<Relaxation> relax, bool closed,
                                        const CageCircuit& start, Restrictions k) {
    PenaltyFunctor f(t, relax, closed);
    Eigen::VectorXd z = f.UnknownsOf(start, k);
    Minimise(f, z, 0.0, Steps, SlowGain);
    Eigen::VectorXd residuals(f.values());
    f(z, residuals);
    return Settle(t, f, z, residuals.head(5).cwiseAbs().maxCoeff());
}

// Which of two best fits is better: the larger deviation of the priority's own targets first, then
// of those that give way, then the distance of the restrictions from (1, 0.5).
struct FitScore {
    double own, giveWay, distance;
    bool operator<(const FitScore& o) const {
        constexpr double Same = 1e-9;
        if (std::abs(own - o.own) > Same) return own < o.own;
        if (std::abs(giveWay - o.giveWay) > Same) return giveWay < o.giveWay;
        return distance < o.distance;
    }
};

FitScore ScoreOf(const FittedCircuit& f, FitPriority priority) {
    const Deviations& d = f.evaluation.deviations;
    const auto largest = [&d](std::initializer_list<Deviation> which) {
        double m = 0;
        for (Deviation i : which) m = std::max(m, std::abs(d[i]));
        return m;
    };
    const double distance = std::hypot(LogKr(f.k), LogKx(f.k));
    if (priority == FitPriority::Torque)
        return {largest({DevCurrent, DevPowerFactor, DevRatedTorque, DevLockedTorque, DevBreakdown}),
                largest({DevLockedCurrent}), distance};
    return {largest({DevCurrent, DevPowerFactor, DevRatedTorque, DevLockedCurrent}),
            largest({DevLockedTorque, DevBreakdown}), distance};
}
} // namespace

std::optional<FittedCircuit> BestFit(const Targets& t, FitPriority priority, const std::vector<ExactSearch::End>& starts,
                                     int maxStarts) {
    // From each start with the open bounds of the exact solver (log unknowns that keep the cages
    // apart) and with closed ones (which reach equal cages): the two take different paths to
    // different local optima, the better is kept. The next start only while the priority's own
    // targets are not met.
    std::optional<FittedCircuit> best;
    for (int i = 0; i < std::min<int>(maxStarts, starts.size()); ++i) {
        for (bool closed : {false, true}) {
            const auto fit =
                RunPenalty(t, Relaxation{priority}, closed, CircuitOf(starts[i].params, t, {1, 0.5}), {1, 0.5});
            if (fit && (!best || ScoreOf(*fit, priority) < ScoreOf(*best, priority))) best = fit;
        }
        if (best && ScoreOf(*best, priority).own < 1e-9) return best;
    }
    return best;
}

namespace {
// A compass search over the restrictions: from an exact circuit, steps toward (1, 0.5) in eight
// directions of the log plane, each taken when the exact solver, started from the circuit before,
// still meets the targets there; the step halved when none is. The edge of the restrictions with
// an exact circuit has kinks (where the breakdown torque moves from one hump of the curve to the
// other) at which the penalty's minimum can stop short of the nearest point.
FittedCircuit Compass(const Targets& t, FittedCircuit at) {
    Params p = ParamsOf(at.circuit, t);
    constexpr double Directions[8][2] = {{-1, 0}, {0, -1}, {1, 0}, {0, 1}, {-1, -1}, {-1, 1}, {1, -1}, {1, 1}};
    for (double step = 0.1; step >= 1e-3; step *= 0.5) {
        for (bool moved = true; moved;) {
            moved = false;
            const double a = LogKr(at.k), b = LogKx(at.k);
            for (const auto& d : Directions) {
                const double na = a + step * d[0] * (a > 0 ? 1 : -1), nb = b + step * d[1] * (b > 0 ? 1 : -1);
                if (std::hypot(na, nb) >= std::hypot(a, b)) continue;
                const Restrictions k{std::exp(na), 0.5 * std::exp(nb)};
                if (k.kr < KrLow || k.kr > KrHigh || k.kx < KxLow || k.kx > KxHigh) continue;
                if (const auto s = SolveExactFrom(p, t, k)) {
                    at = {s->circuit, k, at.evaluation};
                    p = s->params;
                    moved = true;
                    break;
                }
            }
        }
    }
    at.evaluation = Evaluate(at.circuit, t);
    return at;
}
} // namespace

std::optional<FittedCircuit> NearestExact(const Targets& t, const FittedCircuit& feasible) {
    auto penalty = RunPenalty(t, std::nullopt, false, feasible.circuit, feasible.k);
    const bool exactStart = std::abs(feasible.evaluation.deviations[DevRatedTorque]) < 1e-9;
    if (!penalty && !exactStart) return std::nullopt;
    return Compass(t, penalty ? *penalty : feasible);
}

} // namespace datasheet
