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

// log(model/target) of the rated torque, the locked-rotor torque and current, the breakdown
// torque (the global maximum over [s_N, 1]); nullopt when no positive magnetising branch meets
// the rated point.
std::optional<std::array<double, 4>> ExactResiduals(const Params& p, const Targets& t, Restrictions k);

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

// Starting points of the solver for these restrictions, the most promising first.
std::vector<Params> ExactStarts(const Targets& t, Restrictions k);

// The first exact circuit the starts lead to (at most maxStarts of them), and where each start
// tried went, in the order tried.
struct ExactSearch {
    std::optional<ExactCircuit> found;
    std::vector<Params> ends;
};
ExactSearch SearchExact(const Targets& t, Restrictions k, int maxStarts = 6);
std::optional<ExactCircuit> SolveExact(const Targets& t, Restrictions k);

} // namespace datasheet
