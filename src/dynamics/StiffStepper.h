#pragma once
// Odeint's Rosenbrock stepper (rosenbrock4, L-stable, fourth order, with dense output) for the
// state of a start, for the stretches where the explicit stepper's steps would be held by the
// speed's time constant rather than by accuracy: a tiny inertia, whose speed follows the torque
// balance far faster than the law changes. The rates may depend on the first component of the
// state (the speed) and the time only; the others are quadratures. The Jacobian is that one
// column, taken by finite differences, as is the rates' time derivative.
//
// Odeint's Rosenbrock stepper works on Boost 1.74's uBLAS, which still calls the allocator
// members C++20 removed: StiffStepper.cpp alone is compiled as C++17, behind this plain interface.

#include <array>
#include <functional>
#include <memory>
#include <utility>

class StiffStepper {
  public:
    using State = std::array<double, 4>;
    using Rates = std::function<void(const State& y, State& rates, double t)>;

    StiffStepper(double tolerance, Rates rates);
    ~StiffStepper();

    void Initialize(const State& x, double t, double dt);
    // One accepted step (rejected ones are retried smaller): its start and end time.
    std::pair<double, double> Step();
    const State& Current() const { return current_; }
    // The dense output within the last step.
    void StateAt(double t, State& y) const;
    double StepSize() const;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    State current_{};
};
