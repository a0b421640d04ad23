#pragma once
// Circuits that meet a data sheet's six targets exactly for given restrictions Rs = kr R1 and
// X2 = kx Xs: four unknowns (R1, Xs, X1, R2) in log form, targets 1 and 2 by the magnetising branch
// that the rated point gives, four equations left (rated torque, locked-rotor torque and current,
// breakdown torque) solved by Levenberg-Marquardt from a few physically estimated starts.

#include <array>
#include <optional>
#include <vector>

#include "CageModel.h"

namespace datasheet {

using Params = std::array<double, 4>;

struct Restrictions {
    double kr = 1, kx = 0.5;
};

// log(R1/Zb), log(Xs/Zb), log((X1 - X2)/Zb), log((R2 - R1)/Zb), Zb = U/I: every element positive and
// the cages ordered (R2 > R1, X2 < X1) whatever the numbers.
CageCircuit CircuitOf(const Params& p, const Targets& t, Restrictions k);
Params ParamsOf(const CageCircuit& c, const Targets& t);
// The log unknowns of a circuit whose cages may be equal (a best fit's): kept apart by a hair.
Params ParamsApart(const CageCircuit& c, const Targets& t);

// The least Xh/Rfe of a best fit's circuit (Rfe <= 1e4 Xh); an exact one only needs it positive.
constexpr double IronFloor = 1e-4;

// log(model/target) of the rated torque, the locked-rotor torque and current, the breakdown
// torque (the global maximum over [s_N, 1]), and how far Xh/Rfe falls short of the floor given
// (weighted so that a solver sees that edge); nullopt when the rated point leaves no positive
// magnetising reactance. With a peak slip given, the breakdown torque is taken there (for the
// derivatives, see MeasureAtSlip).
using Residuals = std::array<double, 5>;
struct Evaluated {
    Residuals r;
    double peakSlip;
};
std::optional<Evaluated> ExactResiduals(const Params& p, const Targets& t, Restrictions k, double ironFloor = 0,
                                        double peakSlip = 0);
// The same for a circuit's stator and rotor (its magnetising branch found from the rated point).
std::optional<Evaluated> CircuitResiduals(const CageCircuit& c, const Targets& t, double ironFloor = 0,
                                          double peakSlip = 0);

struct ExactCircuit {
    CageCircuit circuit;
    Params params{};
};

// Relative deviation of every target that counts as met.
constexpr double ExactTolerance = 1e-10;

// Where the solver went from one start: the exact circuit it found, or where it stopped short.
struct ExactAttempt {
    std::optional<ExactCircuit> found;
    Params end{};
    double largest = 0; // largest residual there
};
ExactAttempt AttemptExact(const Params& start, const Targets& t, Restrictions k);
std::optional<ExactCircuit> SolveExactFrom(const Params& start, const Targets& t, Restrictions k);

// A motor's rotor roughly as its data sheet describes it: the resistance at standstill and near
// synchronous speed (R1 || R2), and the leakage reactance of stator and rotor together. A double
// cage's standstill resistance is never below its running one.
struct RotorEstimate {
    double standstill = 0, running = 0, leakage = 0;
};
RotorEstimate EstimateRotor(const Targets& t);

// Starting points of the solver for these restrictions, the most promising first: for a share of
// the leakage in the stator, the rotor whose standstill impedance and running resistance are the
// estimates.
std::vector<Params> ExactStarts(const Targets& t, Restrictions k);

// The first exact circuit the starts lead to (at most maxStarts of them), and where each start
// tried went, the closest to the targets first.
struct ExactSearch {
    std::optional<ExactCircuit> found;
    struct End {
        Params params;
        double largest; // residual
    };
    std::vector<End> ends;
};
ExactSearch SearchExact(const Targets& t, Restrictions k, int maxStarts = 6);

} // namespace datasheet
