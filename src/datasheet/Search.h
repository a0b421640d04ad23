#pragma once
// The searches beyond the preferred restrictions: the best fit over the (kr, kx) box under a
// priority, and the restrictions nearest (1, 0.5) that still give an exact circuit.

#include <array>
#include <optional>

#include "ExactSolve.h"
#include "MotorDataSet.h"

namespace datasheet {

// The box of restrictions searched: kr in [0.05, 20], kx in [0.05, 5].
constexpr double KrLow = 0.05, KrHigh = 20, KxLow = 0.05, KxHigh = 5;

// Model over target minus 1, in the order of DatasheetFit::Deviations.
using Deviations = std::array<double, 6>;
enum Deviation { DevCurrent, DevPowerFactor, DevRatedTorque, DevLockedTorque, DevLockedCurrent, DevBreakdown };

struct Evaluation {
    Deviations deviations{};
    Peak peak;
};
Evaluation Evaluate(const CageCircuit& c, const Targets& t);

struct FittedCircuit {
    CageCircuit circuit;
    Restrictions k;
    Evaluation evaluation;
};

// The best fit over the box, with closed bounds (R2 >= R1, X2 <= X1, Rfe <= 1e4 Xh): the largest
// deviation of the priority's own targets as small as possible, then the largest of those that give
// way, ties to the pair nearest (1, 0.5). Started from the given points of the exact solver at
// (1, 0.5). nullopt when no start leads to a circuit with a positive magnetising branch.
std::optional<FittedCircuit> BestFit(const Targets& t, FitPriority priority, const std::vector<ExactSearch::End>& starts,
                                     int maxStarts = 2);

// The restrictions nearest (1, 0.5) in log distance for which an exact circuit exists, searched
// from a circuit that meets the data sheet at some point of the box.
std::optional<FittedCircuit> NearestExact(const Targets& t, const FittedCircuit& feasible);

} // namespace datasheet
