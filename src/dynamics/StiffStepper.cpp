#include "StiffStepper.h"

#include <algorithm>
#include <cmath>

#include <boost/numeric/odeint.hpp>

namespace odeint = boost::numeric::odeint;

namespace {
// Hairer and Wanner's RODAS coefficients as Odeint has them, but for the weight of the time
// derivative in the fourth stage: Boost 1.74 has it with the wrong sign (+0.0362), which leaves
// every law that changes with time (a ramp) with a wrong fourth stage, and the steps tiny.
struct Coefficients : odeint::default_rosenbrock_coefficients<double> {
    const double d4 = -0.3620000000000023e-01;
};
using Rosenbrock = odeint::rosenbrock4<double, Coefficients>;
using Controller = odeint::rosenbrock4_controller<Rosenbrock>;
using Dense = odeint::rosenbrock4_dense_output<Controller>;
using Vector = Rosenbrock::state_type;
using Matrix = Rosenbrock::matrix_type;
using State = StiffStepper::State;

State ToState(const Vector& v) {
    State x;
    std::copy(v.begin(), v.end(), x.begin());
    return x;
}
Vector ToVector(const State& x) {
    Vector v(x.size());
    std::copy(x.begin(), x.end(), v.begin());
    return v;
}

// Relative step of the finite differences: about the square root of the rounding, for a
// derivative good to about 1e-8 of its size.
constexpr double Difference = 1e-7;
} // namespace

struct StiffStepper::Impl {
    Impl(double tolerance, Rates r)
        : stepper(Controller(tolerance, tolerance)), rates(std::move(r)), work(4) {}

    void Derivatives(const Vector& v, Vector& d, double t) const {
        State y = ToState(v), r;
        rates(y, r, t);
        std::copy(r.begin(), r.end(), d.begin());
    }

    void Jacobian(const Vector& v, Matrix& j, double t, Vector& dfdt) const {
        const State y = ToState(v);
        State base, shifted, moved = y;
        rates(y, base, t);
        const double dn = Difference * std::max(1.0, std::fabs(y[0]));
        moved[0] += dn;
        rates(moved, shifted, t);
        j.clear();
        for (std::size_t i = 0; i < y.size(); ++i)
            j(i, 0) = (shifted[i] - base[i]) / dn;
        const double dt = Difference * std::max(1.0, std::fabs(t));
        rates(y, shifted, t + dt);
        for (std::size_t i = 0; i < y.size(); ++i)
            dfdt[i] = (shifted[i] - base[i]) / dt;
    }

    Dense stepper;
    Rates rates;
    Vector work;
};

StiffStepper::StiffStepper(double tolerance, Rates rates)
    : impl_(std::make_unique<Impl>(tolerance, std::move(rates))) {}
StiffStepper::~StiffStepper() = default;

void StiffStepper::Initialize(const State& x, double t, double dt) {
    impl_->stepper.initialize(ToVector(x), t, dt);
    current_ = x;
}

std::pair<double, double> StiffStepper::Step() {
    Impl& m = *impl_;
    auto rates = [&m](const Vector& v, Vector& d, double t) { m.Derivatives(v, d, t); };
    auto jacobian = [&m](const Vector& v, Matrix& j, double t, Vector& dfdt) { m.Jacobian(v, j, t, dfdt); };
    const auto step = m.stepper.do_step(std::make_pair(rates, jacobian));
    current_ = ToState(m.stepper.current_state());
    return step;
}

void StiffStepper::StateAt(double t, State& y) const {
    impl_->stepper.calc_state(t, impl_->work);
    y = ToState(impl_->work);
}

double StiffStepper::StepSize() const {
    return impl_->stepper.current_time_step();
}
