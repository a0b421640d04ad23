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

// A residual that turns the solver back: the magnetising branch is not positive there.
constexpr double Outside = 1e3;
// The largest iron resistance of a best fit, in magnetising reactances.
constexpr double IronBound = 1e4;
// Weights of the best fit's least squares: the priority's own targets far above those that give
// way, these far above the pull toward (1, 0.5) that only settles ties.
constexpr double Own = 1e4, GiveWay = 1e2, Tie = 1e-6;

// The best fit's unknowns: log(R1/Zb), log(Xs/Zb), X1 = X2 (1 + z2^2), R2 = R1 (1 + z3^2) (the
// cages may become equal), kr and kx through their box angles, and the bound on the deviations
// that give way.
constexpr int FitUnknowns = 7;

struct FitFunctor : Eigen::DenseFunctor<double> {
    const Targets& t;
    FitPriority priority;
    FitFunctor(const Targets& targets, FitPriority p)
        : Eigen::DenseFunctor<double>(FitUnknowns, FitUnknowns), t(targets), priority(p) {}

    std::optional<CageCircuit> CircuitOf(const Eigen::VectorXd& z, Restrictions& k) const {
        const double zb = t.U / t.I;
        k = {KrAxis.K(z[4]), KxAxis.K(z[5])};
        CageCircuit c;
        c.R1 = zb * std::exp(z[0]);
        c.Xs = zb * std::exp(z[1]);
        c.Rs = k.kr * c.R1;
        c.X2 = k.kx * c.Xs;
        c.X1 = c.X2 * (1 + z[2] * z[2]);
        c.R2 = c.R1 * (1 + z[3] * z[3]);
        if (!CompleteMagnetisingBranch(c, t) || c.Rfe > IronBound * c.Xh) return std::nullopt;
        return c;
    }

    void Residuals(const Measured& m, Restrictions k, double bound, Eigen::VectorXd& f) const {
        const auto giveWay = [bound](double model, double target) {
            return GiveWay * std::max(0.0, std::abs(model / target - 1) - bound);
        };
        f[0] = Own * std::log(m.ratedTorque / t.TN);
        if (priority == FitPriority::Torque) {
            f[1] = Own * std::log(m.lockedTorque / t.Ta);
            f[2] = Own * std::log(m.peakTorque / t.Tk);
            f[3] = giveWay(m.lockedCurrent, t.Ia);
        } else {
            f[1] = Own * std::log(m.lockedCurrent / t.Ia);
            f[2] = giveWay(m.lockedTorque, t.Ta);
            f[3] = giveWay(m.peakTorque, t.Tk);
        }
        f[4] = bound;
        f[5] = Tie * LogKr(k);
        f[6] = Tie * LogKx(k);
    }

    int operator()(const Eigen::VectorXd& z, Eigen::VectorXd& f) const {
        Restrictions k;
        const auto c = CircuitOf(z, k);
        if (!c) {
            f.setConstant(Outside);
            return 0;
        }
        Residuals(Measure(*c, t), k, z[6], f);
        return 0;
    }

    int df(const Eigen::VectorXd& z, JacobianType& jac) const {
        Restrictions k;
        const auto c = CircuitOf(z, k);
        if (!c) {
            jac.setIdentity();
            return 0;
        }
        const Measured base = Measure(*c, t);
        Eigen::VectorXd f0(FitUnknowns), f1(FitUnknowns);
        Residuals(base, k, z[6], f0);
        for (int j = 0; j < FitUnknowns; ++j) {
            Eigen::VectorXd moved = z;
            double step = 1e-7;
            moved[j] += step;
            auto cm = CircuitOf(moved, k);
            if (!cm) {
                step = -step;
                moved[j] = z[j] + step;
                cm = CircuitOf(moved, k);
            }
            if (!cm) {
                jac.col(j).setZero();
                continue;
            }
            Residuals(MeasureAtSlip(*cm, t, base.peakSlip), k, moved[6], f1);
            jac.col(j) = (f1 - f0) / step;
        }
        return 0;
    }
};

// The unknowns of the exact solver as the best fit's (which allow the cages to become equal).
Eigen::VectorXd FitUnknownsOf(const Params& p, const Targets& t, Restrictions k) {
    const CageCircuit c = CircuitOf(p, t, k);
    Eigen::VectorXd z(FitUnknowns);
    z << p[0], p[1], std::sqrt(c.X1 / c.X2 - 1), std::sqrt(c.R2 / c.R1 - 1), KrAxis.Theta(k.kr),
        KxAxis.Theta(k.kx), 0.0;
    return z;
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

std::optional<FittedCircuit> BestFit(const Targets& t, FitPriority priority, const std::vector<Params>& starts) {
    std::optional<FittedCircuit> best;
    FitFunctor f(t, priority);
    for (const Params& start : starts) {
        Eigen::VectorXd z = FitUnknownsOf(start, t, {1, 0.5});
        Minimise(f, z, 0.0, 200);
        Restrictions k;
        const auto c = f.CircuitOf(z, k);
        if (!c) continue;
        FittedCircuit fit{*c, k, Evaluate(*c, t)};
        if (!best || ScoreOf(fit, priority) < ScoreOf(*best, priority)) best = fit;
    }
    return best;
}

namespace {
// The exact solver's unknowns and the restrictions' box angles; residuals: the four targets and the
// log distance of the restrictions from (1, 0.5), weighted by the penalty's factor.
struct NearestFunctor : Eigen::DenseFunctor<double> {
    const Targets& t;
    double weight;
    NearestFunctor(const Targets& targets, double w) : Eigen::DenseFunctor<double>(6, 6), t(targets), weight(w) {}

    static Params ParamsOf(const Eigen::VectorXd& z) { return {z[0], z[1], z[2], z[3]}; }
    static Restrictions RestrictionsOf(const Eigen::VectorXd& z) { return {KrAxis.K(z[4]), KxAxis.K(z[5])}; }

    int operator()(const Eigen::VectorXd& z, Eigen::VectorXd& f) const {
        const Restrictions k = RestrictionsOf(z);
        const auto r = ExactResiduals(ParamsOf(z), t, k);
        for (int i = 0; i < 4; ++i) f[i] = r ? (*r)[i] : Outside;
        f[4] = weight * LogKr(k);
        f[5] = weight * LogKx(k);
        return 0;
    }

    int df(const Eigen::VectorXd& z, JacobianType& jac) const {
        Eigen::VectorXd f0(6), f1(6);
        (*this)(z, f0);
        for (int j = 0; j < 6; ++j) {
            Eigen::VectorXd moved = z;
            const double step = 1e-7;
            moved[j] += step;
            (*this)(moved, f1);
            jac.col(j) = (f1 - f0) / step;
        }
        return 0;
    }
};
} // namespace

std::optional<FittedCircuit> NearestExact(const Targets& t, const FittedCircuit& feasible) {
    // The penalty method: the distance's weight lowered step by step, each minimum the start of the
    // next, ends near the restrictions nearest (1, 0.5) at which the targets are met; the exact
    // solver then settles there, or a hair farther out when the penalty's minimum lies just beyond
    // the edge of the restrictions that have an exact circuit.
    const CageCircuit& c = feasible.circuit;
    const double floor = 1e-12 * t.U / t.I;
    CageCircuit ordered = c;
    ordered.X1 = std::max(c.X1, c.X2 + floor);
    ordered.R2 = std::max(c.R2, c.R1 + floor);
    const Params p = ParamsOf(ordered, t);
    Eigen::VectorXd z(6);
    z << p[0], p[1], p[2], p[3], KrAxis.Theta(feasible.k.kr), KxAxis.Theta(feasible.k.kx);
    for (double weight : {1e-1, 1e-2, 1e-3, 1e-4, 1e-5}) {
        NearestFunctor f(t, weight);
        Minimise(f, z, 0.0, 100);
    }
    const Params end = NearestFunctor::ParamsOf(z);
    const Restrictions k = NearestFunctor::RestrictionsOf(z);
    for (double outward : {0.0, 1e-6, 1e-5, 1e-4, 1e-3, 1e-2}) {
        const Restrictions moved{std::clamp(std::exp(LogKr(k) * (1 + outward)), KrLow, KrHigh),
                                 std::clamp(0.5 * std::exp(LogKx(k) * (1 + outward)), KxLow, KxHigh)};
        if (const auto s = SolveExactFrom(end, t, moved)) return FittedCircuit{s->circuit, moved, Evaluate(s->circuit, t)};
    }
    return std::nullopt;
}

} // namespace datasheet
