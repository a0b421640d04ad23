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
// of the data sheet; residuals: the four targets (as relaxed), the relaxation weighted by the
// penalty's factor, the log distance of the restrictions from (1, 0.5) weighted likewise (when
// nothing is relaxed) or by Tie. The penalty method lowers the factor step by step, each minimum
// the start of the next: the targets are met ever more closely at the smallest relaxation, or the
// nearest restrictions, that allows it.
struct PenaltyFunctor : Eigen::DenseFunctor<double> {
    const Targets& t;
    std::optional<Relaxation> relax;
    double weight = 1;

    static int Unknowns(const std::optional<Relaxation>& r) { return 6 + (r ? r->Count() : 0); }
    // The residuals of the exact solver, the relaxation's or distance's, the tie's (rows of zeros
    // when the unknowns outnumber them).
    static int Values(const std::optional<Relaxation>& r) { return std::max(Unknowns(r), r ? 8 : 7); }
    PenaltyFunctor(const Targets& targets, std::optional<Relaxation> r)
        : Eigen::DenseFunctor<double>(Unknowns(r), Values(r)), t(targets), relax(r) {}

    static Params ParamsOf(const Eigen::VectorXd& z) { return {z[0], z[1], z[2], z[3]}; }
    static Restrictions RestrictionsOf(const Eigen::VectorXd& z) { return {KrAxis.K(z[4]), KxAxis.K(z[5])}; }
    Targets TargetsOf(const Eigen::VectorXd& z) const { return relax ? relax->Apply(t, z.data() + 6) : t; }

    // The residuals, and the slip of the torque maximum (0 when outside).
    double Residuals(const Eigen::VectorXd& z, Eigen::VectorXd& f, double peakSlip = 0) const {
        const Restrictions k = RestrictionsOf(z);
        const Targets moved = TargetsOf(z);
        const bool valid = moved.Ia > 0 && moved.Ta > 0 && moved.Tk > 0;
        const auto e = valid ? ExactResiduals(ParamsOf(z), moved, k, relax ? IronFloor : 0, peakSlip) : std::nullopt;
        f.setZero();
        for (int i = 0; i < 5; ++i) f[i] = e ? e->r[i] : Outside;
        if (relax) {
            f[5] = weight * relax->Magnitude(z.data() + 6);
            f[6] = Tie * LogKr(k);
            f[7] = Tie * LogKx(k);
        } else {
            f[5] = weight * LogKr(k);
            f[6] = weight * LogKx(k);
        }
        return e ? e->peakSlip : 0;
    }

    int operator()(const Eigen::VectorXd& z, Eigen::VectorXd& f) const {
        Residuals(z, f);
        return 0;
    }

    int df(const Eigen::VectorXd& z, JacobianType& jac) const {
        Eigen::VectorXd f0(values()), f1(values());
        const double peakSlip = Residuals(z, f0);
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

// The penalty's factors, from the start's (the distance or relaxation weighs as much as the
// targets) to the last (the targets met to about its square).
constexpr double Weights[] = {1e-1, 1e-2, 1e-3};

// After the penalty method: the exact circuit at the restrictions and relaxation it ended with, or
// a hair farther out (its minimum lies just beyond the edge of what can be met exactly).
std::optional<FittedCircuit> Settle(const Targets& t, const PenaltyFunctor& f, const Eigen::VectorXd& z) {
    const Params end = PenaltyFunctor::ParamsOf(z);
    const Restrictions k = PenaltyFunctor::RestrictionsOf(z);
    for (double outward : {0.0, 1e-5, 1e-3, 1e-2, 3e-2, 0.1}) {
        Eigen::VectorXd moved = z;
        Restrictions km = k;
        if (f.relax) {
            moved[6] *= 1 + outward;
        } else {
            km = {std::clamp(std::exp(LogKr(k) * (1 + outward)), KrLow, KrHigh),
                  std::clamp(0.5 * std::exp(LogKx(k) * (1 + outward)), KxLow, KxHigh)};
        }
        const Targets moved_t = f.TargetsOf(moved);
        if (const auto s = SolveExactFrom(end, moved_t, km)) return FittedCircuit{s->circuit, km, Evaluate(s->circuit, t)};
    }
    if (!f.relax) return std::nullopt;
    // No relaxation of the giving-way targets alone lets the priority's own be met: the penalty's
    // end is the best fit (its magnetising branch kept within the closed bound).
    CageCircuit c = CircuitOf(end, t, k);
    const auto iron = CompleteMagnetisingBranch(c, t);
    if (!iron) return std::nullopt;
    if (*iron < IronFloor) c.Rfe = c.Xh / IronFloor;
    return FittedCircuit{c, k, Evaluate(c, t)};
}

std::optional<FittedCircuit> RunPenalty(const Targets& t, std::optional<Relaxation> relax, const Params& p,
                                        Restrictions k) {
    PenaltyFunctor f(t, relax);
    Eigen::VectorXd z = Eigen::VectorXd::Zero(f.inputs());
    z << p[0], p[1], p[2], p[3], KrAxis.Theta(k.kr), KxAxis.Theta(k.kx), Eigen::VectorXd::Zero(f.inputs() - 6);
    if (relax && relax->priority == FitPriority::Current) z[7] = z[8] = 0.5; // off the sines' flat tops
    for (double weight : Weights) {
        f.weight = weight;
        Minimise(f, z, 0.0, 60);
    }
    return Settle(t, f, z);
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
    std::optional<FittedCircuit> best;
    for (int i = 0; i < std::min<int>(maxStarts, starts.size()); ++i) {
        const auto fit = RunPenalty(t, Relaxation{priority}, starts[i].params, {1, 0.5});
        if (fit && (!best || ScoreOf(*fit, priority) < ScoreOf(*best, priority))) best = fit;
    }
    return best;
}

std::optional<FittedCircuit> NearestExact(const Targets& t, const FittedCircuit& feasible) {
    const CageCircuit& c = feasible.circuit;
    const double floor = 1e-12 * t.U / t.I;
    CageCircuit ordered = c;
    ordered.X1 = std::max(c.X1, c.X2 + floor);
    ordered.R2 = std::max(c.R2, c.R1 + floor);
    return RunPenalty(t, std::nullopt, ParamsOf(ordered, t), feasible.k);
}

} // namespace datasheet
