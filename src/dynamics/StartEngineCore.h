#pragma once
// The integration behind StartIntegrator, for StartEngine.cpp (one rotor cage) and
// StartEngineTwoCages.cpp (two): each file compiles one Engine, so that the compiler inlines the
// integration of either as it did when there was only one.

#include "StartEngine.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include <boost/math/tools/minima.hpp>
#include <boost/math/tools/toms748_solve.hpp>
#include <boost/numeric/odeint.hpp>

#include "StiffStepper.h"

namespace odeint = boost::numeric::odeint;

// The interface of an Engine, and what an Engine of either kind works with.
struct StartIntegrator::Impl {
    // n / ns, rotor energy, stator copper energy and integral of the squared line current, each
    // scaled to about 1 so that one tolerance fits them all.
    using State = std::array<double, 4>;
    using Dopri = odeint::runge_kutta_dopri5<State>;
    using Dense = odeint::result_of::make_dense_output<Dopri>::type;

    enum class Branch { One, Ramp, Cap };

    struct Law {
        int stage = 0;
        Branch branch = Branch::One;
        bool resting = false;
        bool beforeRampEnd = false;
    };

    // Everything of one instant that the results, the events and the curves look at.
    struct Point {
        double t = 0, n = 0, s = 1, dn = 0; // dn: dn/dt
        double alpha = 1, capAlpha = 0, nominalAlpha = 1;
        double uw = 0, iw = 0, iline = 0, torque = 0, load = 0, accel = 0, bus = 1;
    };

    enum class Event { Breakaway, ComesToRest, CapTakesOver, CapLetsGo, Changeover, RunUp, Breakdown };
    static constexpr int MaxEvents = 7;

    // Per step: both ends and the middle. Extremes and events between them are found on the dense output.
    static constexpr int Samples = 3;
    using Points = std::array<Point, Samples>;

    // A controller output this large is no limit at all; finite so that differences stay finite.
    static constexpr double NoCap = 1e6;
    // A start still taking explicit steps after this many, each held by the speed's own time
    // constant (the step times the slope of the speed's rate above StiffStepRatio), goes on with the
    // stiff stepper. Starts of ordinary inertia take a few hundred steps and never get there.
    static constexpr long StiffAfter = 1000;
    static constexpr double StiffStepRatio = 1;
    // A guard only: no start comes near it with the stiff stepper (a few thousand steps at most).
    static constexpr long MaxSteps = 400000;
    // Implausible steps retried one after the other, each 16 times shorter, before giving up.
    static constexpr int MaxRetries = 12;

    // Tolerances tighter than this only measure rounding; looser ones are no result.
    static double Tolerance(double requested) {
        if (!(requested > 0)) return 1e-8;
        return std::clamp(requested, 1e-13, 1e-5);
    }

    // A step as the curves need it: the speed at both ends and the middle, its slope at both ends.
    struct Record {
        double t0, t1;
        double n0, nm, n1, d0, d1;
        Law law;

        // Quartic through the three speeds with the two slopes.
        double Speed(double time) const {
            const double h = t1 - t0;
            if (!(h > 0)) return n1;
            const double u = std::clamp((time - t0) / h, 0.0, 1.0);
            const double u2 = u * u, u3 = u2 * u;
            const double hermite = (2 * u3 - 3 * u2 + 1) * n0 + (u3 - 2 * u2 + u) * h * d0 +
                                   (-2 * u3 + 3 * u2) * n1 + (u3 - u2) * h * d1;
            const double middle = (n0 + n1) / 2 + h * (d0 - d1) / 8;
            // The rotor never turns backwards; near a rotor at rest the quartic may dip a hair below 0.
            return std::max(0.0, hermite + 16 * (nm - middle) * u2 * (1 - u) * (1 - u));
        }
    };

    // The explicit Dormand-Prince stepper, and from the segment where a start turns out stiff the
    // Rosenbrock stepper (StiffStepper.h): both with dense output, behind the calls the segment loop
    // makes.
    class Steppers {
      public:
        Steppers(double tolerance, StiffStepper::Rates rates)
            : explicit_(odeint::make_dense_output(tolerance, tolerance, Dopri())),
              stiff_(tolerance, std::move(rates)) {}

        bool Stiff() const { return stiff || turning; }
        // The next segment begins with the stiff stepper.
        void MakeStiff() { turning = true; }

        void initialize(const State& x, double t, double dt) {
            stiff = stiff || turning;
            if (stiff) return stiff_.Initialize(x, t, dt);
            explicit_.initialize(x, t, dt);
        }
        template <class System> std::pair<double, double> do_step(System system) {
            return stiff ? stiff_.Step() : explicit_.do_step(system);
        }
        const State& current_state() const { return stiff ? stiff_.Current() : explicit_.current_state(); }
        void calc_state(double t, State& y) const {
            if (stiff) return stiff_.StateAt(t, y);
            explicit_.calc_state(t, y);
        }
        double current_time_step() const { return stiff ? stiff_.StepSize() : explicit_.current_time_step(); }

      private:
        Dense explicit_;
        StiffStepper stiff_;
        bool stiff = false, turning = false;
    };

    virtual ~Impl() = default;
    virtual void Run(double tStop, bool stopAtRunUp, bool untilRelayClear) = 0;
    virtual const RelayTrack* Relay() const = 0;
    virtual double Time() const = 0;
    virtual double Speed() const = 0;
    virtual const StartTrack& Track() const = 0;
    virtual bool Stiff() const = 0;
    virtual long Steps() const = 0;
    virtual void Sample(const std::vector<double>& times, StartCurves& out) const = 0;
    virtual void ChartSample(double tEnd, int points, std::vector<double>& times, StartCurves& out) const = 0;
};

// The integration for one kind of rotor (FastCircuit::SecondCage), chosen once per start: the
// right-hand side never asks which.
// In an unnamed namespace, as each file has its own: the compiler inlines within it as freely as
// within any function of that file alone.
namespace {
template <bool TwoCages> struct Engine final : StartIntegrator::Impl {
    explicit Engine(const StartInput& s)
        : input(s), model(*s.model), ns(model.SynchronousSpeed()), invNs(1 / ns),
          stepper(Tolerance(s.tolerance),
                  [this](const State& y, State& d, double time) { Derivatives(y, d, time); }) {
        const double omega = TwoPi * ns;
        speedRate = 1 / (TwoPi * input.inertia * ns);
        energyScale = input.inertia * omega * omega;
        timeScale = TwoPi * input.inertia * ns / input.ratedTorque;
        currentScale = input.ratedLineCurrent * input.ratedLineCurrent * timeScale;
        rotorRate = TwoPi * ns / energyScale;
        statorRate = 3 * input.rs / energyScale;
        currentRate = 1 / currentScale;
        track.minAccelerating = HUGE_VAL;
        track.minWindingVoltage = HUGE_VAL;
        if (s.relay) relay.emplace(*s.relay);
    }

    StartInput input;
    const StartModel& model;
    double ns, invNs;
    double speedRate, energyScale, timeScale, currentScale, rotorRate, statorRate, currentRate;
    Steppers stepper;

    double t = 0;
    State x{};
    int stage = 0;
    Law law;
    Point last;
    std::array<Event, MaxEvents> events{};
    int eventCount = 0;
    double dtHint = 0;
    long steps = 0, settleCheck = 0;
    int retries = 0;
    bool begun = false;
    std::optional<Event> changed; // the change of law that ended the last segment

    StartTrack track;
    bool windowOpen = true;    // peak current, dip and lowest voltage: until the run-up
    bool minTorqueOpen = true; // lowest accelerating torque: until t_b
    std::vector<Record> records;
    std::optional<RelayImage> relay;

    // An instant a chart must show exactly: the speed there and the law on its side.
    struct Mark {
        double t = 0, n = 0;
        Law law;
    };
    Mark peakMark, dipMark, voltageMark; // where the track's extremes are
    std::vector<Mark> jumps;             // both sides of each changeover, when recording

    bool Running(int st) const { return st == input.stageCount - 1; }
    double RampAlpha(double time) const { return input.preset + (1 - input.preset) * time / input.rampTime; }

    Point Evaluate(const Law& l, double time, double n) const {
        Point p;
        p.t = time;
        p.n = l.resting ? 0 : n;
        p.s = 1 - p.n * invNs;
        const Stage& st = input.stages[l.stage];
        Electric e = model.Impedance<TwoCages>(p.s);
        if (Running(l.stage) && input.controller != Controller::None) {
            p.nominalAlpha = l.beforeRampEnd ? RampAlpha(time) : 1;
            if (input.controller == Controller::RampWithCap)
                p.capAlpha = std::min(model.CapAlpha(st, input.lineLimit, e), NoCap);
        }
        p.alpha = l.branch == Branch::Cap ? p.capAlpha : l.branch == Branch::Ramp ? RampAlpha(time) : 1;
        e = model.WithImpedance<TwoCages>(st, p.alpha, p.s, e);
        p.uw = e.uw;
        p.iw = e.iw;
        p.iline = e.iline;
        p.torque = e.torque;
        p.bus = e.bus;
        p.load = model.Load().At(p.n);
        p.accel = p.torque - p.load;
        p.dn = l.resting ? 0 : p.accel * speedRate * ns;
        return p;
    }

    // The right-hand side needs squares only: no square root but for the cap through a network.
    void Derivatives(const State& y, State& d, double time) const {
        const double n = law.resting ? 0 : y[0] * ns, s = 1 - n * invNs;
        const Stage& st = input.stages[law.stage];
        const Cx zin = model.Circuit().InputImpedanceOf<TwoCages>(s);
        const double norm = Norm(zin);
        double uw2, iw2;
        if (law.branch == Branch::Cap && !st.upstream) {
            const double u0 = st.tap * st.vwRef; // the winding current is held: |Zin| cancels
            iw2 = model.StiffCapAlphaSquared(st, input.lineLimit, 1) * u0 * u0;
            uw2 = iw2 * norm;
        } else {
            double alpha = law.branch == Branch::Ramp ? RampAlpha(time) : 1;
            if (law.branch == Branch::Cap) {
                Electric e;
                e.zin = zin;
                e.zabs = std::sqrt(norm);
                alpha = std::min(model.CapAlpha(st, input.lineLimit, e), NoCap);
            }
            model.Squares(st, alpha, zin, norm, uw2, iw2);
        }
        const double torque = model.Circuit().TorquePerVoltSquaredOf<TwoCages>(s) * uw2;
        d[0] = law.resting ? 0 : (torque - model.Load().At(n)) * speedRate;
        d[1] = s * torque * rotorRate;
        d[2] = iw2 * statorRate;
        d[3] = iw2 * st.lineFactor * st.lineFactor * currentRate;
    }

    struct System {
        const Engine* self;
        void operator()(const State& y, State& d, double time) const { self->Derivatives(y, d, time); }
    };

    // The law in force from this instant on.
    Law Choose(double time, double n) const {
        Law l;
        l.stage = stage;
        if (Running(stage) && input.controller != Controller::None) {
            l.beforeRampEnd = time < input.rampTime;
            l.branch = l.beforeRampEnd ? Branch::Ramp : Branch::One;
            if (input.controller == Controller::RampWithCap) {
                const Point p = Evaluate(l, time, n);
                if (p.capAlpha < p.nominalAlpha) l.branch = Branch::Cap;
            }
        }
        if (n <= 0) {
            l.resting = true;
            l.resting = !(Evaluate(l, time, 0).accel > 0);
        }
        return l;
    }

    // Events happen when their value becomes > 0 (changes of law) or >= 0 (speeds reached).
    double Value(Event k, const Point& p) const {
        switch (k) {
        case Event::Breakaway:
            return p.accel;
        case Event::ComesToRest:
            return -p.n;
        case Event::CapTakesOver:
            return p.nominalAlpha - p.capAlpha;
        case Event::CapLetsGo:
            return p.capAlpha - p.nominalAlpha;
        case Event::Changeover:
            return p.n - input.changeoverSpeed;
        case Event::RunUp:
            return p.n - *input.runUpSpeed;
        case Event::Breakdown:
            return p.n - input.breakdownSpeed;
        }
        return 0;
    }
    static bool Strict(Event k) {
        return k != Event::Changeover && k != Event::RunUp && k != Event::Breakdown;
    }
    bool Happened(Event k, const Point& p) const {
        const double v = Value(k, p);
        return Strict(k) ? v > 0 : v >= 0;
    }

    void ListEvents() {
        eventCount = 0;
        events[eventCount++] = law.resting ? Event::Breakaway : Event::ComesToRest;
        if (Running(stage) && input.controller == Controller::RampWithCap)
            events[eventCount++] = law.branch == Branch::Cap ? Event::CapLetsGo : Event::CapTakesOver;
        if (!Running(stage)) events[eventCount++] = Event::Changeover;
        if (Running(stage) && input.runUpSpeed && !track.runUpTime) events[eventCount++] = Event::RunUp;
        if (minTorqueOpen && input.minTorqueEnd == MinTorqueEnd::AtBreakdownSpeed)
            events[eventCount++] = Event::Breakdown;
    }

    State StateAt(double time, double stepEnd) const {
        if (time == stepEnd) return stepper.current_state();
        State y;
        stepper.calc_state(time, y);
        return y;
    }
    Point PointAt(double time, double stepEnd) const {
        const State y = StateAt(time, stepEnd);
        return Evaluate(law, time, y[0] * ns);
    }

    // Points at the middle and the end of [a, b]; p[0] is given.
    void Fill(Points& p, double a, double b, double stepEnd) const {
        p[1] = PointAt(a + (b - a) / 2, stepEnd);
        p[2] = PointAt(b, stepEnd);
    }

    // Whether the sampled values may hide an extreme between them that beats the best so far, and
    // where to look for it: v are the signed values (larger is better).
    static bool Bracket(const std::array<double, Samples>& v, double best, int& k) {
        k = 0;
        for (int i = 1; i < Samples; ++i)
            if (v[i] > v[k]) k = i;
        const double margin = std::fabs(v[0] - 2 * v[1] + v[2]);
        if (!(v[k] + margin > best + 1e-14 * std::fabs(best))) return false; // nothing here can do better
        // Still rising at the end: the next step holds the extreme. Falling from the start: it is the start.
        if (k == Samples - 1 && 3 * v[2] - 4 * v[1] + v[0] > 0.25 * margin) return false;
        if (k == 0 && -3 * v[0] + 4 * v[1] - v[2] < -0.25 * margin) return false;
        return true;
    }

    // Time and value of the largest of f near sample k, located on the dense output.
    template <class F> std::pair<double, double> Peak(const Points& p, int k, double stepEnd, F f) const {
        const double a = p[std::max(k - 1, 0)].t, b = p[std::min(k + 1, Samples - 1)].t;
        if (!(b > a)) return {p[k].t, f(p[k])};
        auto negative = [&](double time) { return -f(PointAt(time, stepEnd)); };
        boost::uintmax_t iterations = 100;
        const auto r = boost::math::tools::brent_find_minima(negative, a, b, 32, iterations);
        return {r.first, -r.second};
    }

    // The best value of the field over the step (largest, or smallest when !maximum); where it
    // improves on `best`, its instant goes to `at` when one is given.
    template <class Field>
    void Extreme(const Points& p, double& best, Mark* at, bool maximum, double stepEnd, Field field) const {
        const double sign = maximum ? 1 : -1;
        auto f = [&](const Point& q) { return sign * field(q); };
        std::array<double, Samples> v;
        for (int i = 0; i < Samples; ++i)
            v[i] = f(p[i]);
        double current = sign * best;
        int from = -1; // the sample that improved it
        for (int i = 0; i < Samples; ++i)
            if (v[i] > current) {
                current = v[i];
                from = i;
            }
        int k;
        if (Bracket(v, current, k)) {
            const auto [time, value] = Peak(p, k, stepEnd, f);
            if (value > current) {
                current = value;
                if (at) *at = {time, PointAt(time, stepEnd).n, law};
                from = -1;
            }
        }
        best = sign * current;
        if (at && from >= 0) *at = {p[from].t, p[from].n, law};
    }

    void Extremes(const Points& p, double stepEnd) {
        if (windowOpen) {
            Extreme(p, track.peakLineCurrent, &peakMark, true, stepEnd,
                    [](const Point& q) { return q.iline; });
            Extreme(p, track.maxDip, &dipMark, true, stepEnd, [](const Point& q) { return 1 - q.bus; });
            Extreme(p, track.minWindingVoltage, &voltageMark, false, stepEnd,
                    [](const Point& q) { return q.uw; });
            Instants();
        }
        if (minTorqueOpen && input.trackMinTorque)
            Extreme(p, track.minAccelerating, nullptr, false, stepEnd,
                    [](const Point& q) { return q.accel; });
    }

    void Instants() {
        track.peakTime = peakMark.t;
        track.maxDipTime = dipMark.t;
        track.minVoltageTime = voltageMark.t;
    }

    void Single(const Point& p) {
        if (windowOpen) {
            const Mark here{p.t, p.n, law};
            if (p.iline > track.peakLineCurrent) track.peakLineCurrent = p.iline, peakMark = here;
            if (1 - p.bus > track.maxDip) track.maxDip = 1 - p.bus, dipMark = here;
            if (p.uw < track.minWindingVoltage) track.minWindingVoltage = p.uw, voltageMark = here;
            Instants();
        }
        if (minTorqueOpen && input.trackMinTorque)
            track.minAccelerating = std::min(track.minAccelerating, p.accel);
    }

    void Keep(const Points& p) {
        if (!input.record) return;
        records.push_back({p[0].t, p[2].t, p[0].n, p[1].n, p[2].n, p[0].dn, p[2].dn, law});
    }

    // Earliest time in the step at which an event happens, if any: where the points change sign,
    // or where a change of law hides between points that show none.
    std::optional<double> EventTime(Event k, const Points& p, double stepEnd) const {
        std::array<double, Samples> v;
        for (int i = 0; i < Samples; ++i)
            v[i] = Value(k, p[i]);
        for (int i = 1; i < Samples; ++i)
            if (!Happened(k, p[i - 1]) && Happened(k, p[i]))
                return Locate(k, p[i - 1].t, p[i].t, v[i - 1], v[i], stepEnd);
        if (!Strict(k)) return std::nullopt;
        int m;
        if (!Bracket(v, 0, m)) return std::nullopt;
        const auto peak = Peak(p, m, stepEnd, [&](const Point& q) { return Value(k, q); });
        const double a = p[std::max(m - 1, 0)].t;
        if (!(peak.second > 0) || !(peak.first > a)) return std::nullopt;
        return Locate(k, a, peak.first, Value(k, PointAt(a, stepEnd)), peak.second, stepEnd);
    }

    double Locate(Event k, double a, double b, double fa, double fb, double stepEnd) const {
        if (fa == 0 || fb == 0 || (fa < 0) == (fb < 0)) return b;
        auto f = [&](double time) { return Value(k, PointAt(time, stepEnd)); };
        boost::uintmax_t iterations = 100;
        const auto r = boost::math::tools::toms748_solve(
            f, a, b, fa, fb, boost::math::tools::eps_tolerance<double>(52), iterations);
        return r.second;
    }

    void RunUpReached(double time, const State& y) {
        track.runUpTime = time;
        track.rotorEnergy = y[1] * energyScale;
        track.statorEnergy = y[2] * energyScale;
        track.currentSquareIntegral = y[3] * currentScale;
        windowOpen = false;
        if (input.minTorqueEnd == MinTorqueEnd::AtRunUp) minTorqueOpen = false;
        if (relay) relay->RunUp();
    }

    // The relay's image over the stretch [a, b] of the present law: p the points at a, the middle
    // and b, xa and xb the states there.
    void Relay(const Points& p, double a, double b, double stepEnd, const State& xa, const State& xb) {
        if (!relay || relay->Clear()) return;
        const double ratio = input.relay->ratio[law.stage], scale = currentScale * ratio;
        auto x2 = [ratio](const Point& q) { return ratio * q.iline * q.iline; };
        auto inside = [&](double time) {
            RelayImage::Inside i;
            i.x2Middle = x2(PointAt(a + (time - a) / 2, stepEnd));
            const State y = StateAt(time, stepEnd);
            i.x2End = x2(Evaluate(law, time, y[0] * ns));
            i.integral = (y[3] - xa[3]) * scale;
            return i;
        };
        relay->Stretch(a, b, x2(p[0]), x2(p[1]), x2(p[2]), (xb[3] - xa[3]) * scale, inside);
    }

    void Apply(Event k) {
        switch (k) {
        case Event::Breakaway:
        case Event::CapTakesOver:
        case Event::CapLetsGo:
            changed = k;
            break;
        case Event::ComesToRest:
            x[0] = 0;
            changed = k;
            break;
        case Event::Changeover:
            stage = input.stageCount - 1;
            track.changeoverTime = t;
            break;
        case Event::RunUp:
            RunUpReached(t, x);
            break;
        case Event::Breakdown:
            minTorqueOpen = false;
            break;
        default:
            break;
        }
    }

    void Begin() {
        const Law before = law;
        const double arrival = x[0] * ns;
        if (x[0] < 0) x[0] = 0;
        if (!Running(stage) && x[0] * ns >= input.changeoverSpeed) {
            stage = input.stageCount - 1;
            track.changeoverTime = t;
        }
        law = Choose(t, x[0] * ns);
        // At the instant of a change of law the two sides are equal to rounding: the event decides.
        if (changed) {
            switch (*changed) {
            case Event::Breakaway:
                law.resting = false;
                break;
            case Event::ComesToRest:
                law.resting = true;
                break;
            case Event::CapTakesOver:
                law.branch = Branch::Cap;
                break;
            case Event::CapLetsGo:
                law.branch = law.beforeRampEnd ? Branch::Ramp : Branch::One;
                break;
            default:
                break;
            }
            changed.reset();
        }
        if (law.resting) x[0] = 0;
        last = Evaluate(law, t, x[0] * ns);
        if (input.record && begun && law.stage != before.stage) {
            jumps.push_back({t, arrival, before});
            jumps.push_back({t, last.n, law});
        }
        if (!begun) {
            begun = true;
            track.startingTorque = last.torque;
            track.peakLineCurrent = last.iline;
            track.maxDip = 1 - last.bus;
            track.minWindingVoltage = last.uw;
            peakMark = dipMark = voltageMark = {t, last.n, law};
            dtHint = 1e-3 * TwoPi * input.inertia * ns / std::max(std::fabs(last.torque), input.ratedTorque);
        }
        Single(last);
        if (input.minTorqueEnd == MinTorqueEnd::AtStart) minTorqueOpen = false;
        if (minTorqueOpen && input.minTorqueEnd == MinTorqueEnd::AtBreakdownSpeed &&
            last.n >= input.breakdownSpeed)
            minTorqueOpen = false;
        if (Running(stage) && input.runUpSpeed && !track.runUpTime && last.n >= *input.runUpSpeed)
            RunUpReached(t, x);
        ListEvents();
        stepper.initialize(x, t, dtHint);
    }

    const RelayTrack* Relay() const override { return relay ? &relay->Track() : nullptr; }
    double Time() const override { return t; }
    double Speed() const override { return x[0] * ns; }
    const StartTrack& Track() const override { return track; }
    bool Stiff() const override { return stepper.Stiff(); }
    long Steps() const override { return steps; }

    void Run(double tStop, bool stopAtRunUp, bool untilRelayClear) override {
        while (t < tStop) {
            if (untilRelayClear && (!relay || relay->Clear())) return;
            if (stopAtRunUp && track.runUpTime) return;
            Begin();
            if (stopAtRunUp && track.runUpTime) return;
            for (bool segment = true; segment;) {
                if (++steps > MaxSteps) throw StartTooStiff();
                const auto [t0, t1] = stepper.do_step(System{this});
                if (!std::isfinite(t1) || !(t1 > t0)) throw std::runtime_error("no finite state");
                if (!Plausible(stepper.current_state()[0])) {
                    // A step far beyond the speed's time constant (the first after a resting
                    // rotor breaks away keeps the resting law's length) can blow up so far that
                    // the relative error control accepts it: retried shorter from where it began.
                    if (++retries > MaxRetries) throw std::runtime_error("no finite state");
                    stepper.initialize(x, t, (t1 - t0) / 16);
                    continue;
                }
                retries = 0;
                double hard = tStop;
                if (law.beforeRampEnd) hard = std::min(hard, input.rampTime);
                const double end = std::min(t1, hard);
                Points p;
                p[0] = last;
                Fill(p, t0, end, t1);

                std::optional<double> te;
                Event which = events[0];
                for (int e = 0; e < eventCount; ++e)
                    if (const auto at = EventTime(events[e], p, t1); at && (!te || *at < *te)) {
                        te = at;
                        which = events[e];
                    }
                if (te) {
                    Points q;
                    q[0] = last;
                    Fill(q, t0, *te, t1);
                    Extremes(q, t1);
                    Keep(q);
                    const State xe = StateAt(*te, t1);
                    Relay(q, t0, *te, t1, x, xe);
                    x = xe;
                    t = *te;
                    Apply(which);
                    segment = false;
                } else {
                    Extremes(p, t1);
                    Keep(p);
                    last = p[Samples - 1];
                    const State xe = StateAt(end, t1);
                    Relay(p, t0, end, t1, x, xe);
                    x = xe;
                    t = end;
                    if (untilRelayClear && relay->Clear()) return;
                    segment = end == t1 && end < hard;
                    if (segment && ++settleCheck % 8 == 0 && t1 - t0 < 1e-3 * (tStop - t) && Settled()) {
                        Settle(tStop);
                        return;
                    }
                    if (segment && input.stiffStepper && steps > StiffAfter && steps % 16 == 0 &&
                        HeldByTimeConstant(t1 - t0)) {
                        stepper.MakeStiff(); // from the next segment, which begins here
                        segment = false;
                    }
                }
            }
            dtHint = stepper.current_time_step();
        }
    }

    // A speed the start can reach: n / ns within +-1e6. A step that the relative error control
    // accepts although it blew up lands some 1e8 times its error estimate away, far beyond.
    static bool Plausible(double speed) { return std::fabs(speed) < 1e6; }

    // Whether an explicit step this long is held by stability rather than accuracy: it is as
    // short as the speed's own time constant, the inverse slope of its rate.
    bool HeldByTimeConstant(double step) const {
        if (stepper.Stiff() || law.resting) return false;
        State d0, d1, moved = x;
        const double dn = 1e-7 * std::max(1.0, std::fabs(x[0]));
        moved[0] += dn;
        Derivatives(x, d0, t);
        Derivatives(moved, d1, t);
        return step * std::fabs(d1[0] - d0[0]) / dn > StiffStepRatio;
    }

    // Whether the speed has settled where it stays for good: the law does not depend on time and
    // the accelerating torque changes sign across a narrow band around the speed, with no event
    // inside. A scalar autonomous equation never leaves such a band, however small the inertia.
    bool Settled() const {
        if (law.resting || law.beforeRampEnd) return false;
        const double n = x[0] * ns, band = 100 * Tolerance(input.tolerance) * ns;
        if (n < 2 * band) return false;
        const Point below = Evaluate(law, t, n - band), above = Evaluate(law, t, n + band);
        if (!(below.accel > 0 && above.accel < 0)) return false;
        for (int e = 0; e < eventCount; ++e)
            if (Happened(events[e], below) != Happened(events[e], above)) return false;
        return true;
    }

    // Jumps to tStop at the settled speed: the integrals grow at their present rates.
    void Settle(double tStop) {
        if (relay) {
            // The speed stays where it is: a constant current.
            const double x2 = input.relay->ratio[law.stage] * last.iline * last.iline, a = t;
            relay->Stretch(t, tStop, x2, x2, x2, x2 * (tStop - t), [&](double time) {
                return RelayImage::Inside{x2, x2, x2 * (time - a)};
            });
        }
        State d;
        Derivatives(x, d, t);
        for (int i = 1; i < 4; ++i)
            x[i] += d[i] * (tStop - t);
        const double n = x[0] * ns;
        if (input.record) records.push_back({t, tStop, n, n, n, 0, 0, law});
        t = tStop;
    }

    // The instant on the recorded steps; r, the step looked at, only moves forward.
    Point Recorded(double time, std::size_t& r) const {
        while (r + 1 < records.size() && records[r].t1 < time)
            ++r;
        return records.empty() ? Evaluate(law, t, x[0] * ns)
                               : Evaluate(records[r].law, time, records[r].Speed(time));
    }

    void Append(const Point& p, StartCurves& out) const {
        const double tn = input.ratedTorque, in = input.ratedLineCurrent, un = input.ratedPhaseVoltage;
        out.Speed.push_back(p.n / ns);
        out.Current.push_back(p.iline / in);
        out.Torque.push_back(p.torque / tn);
        out.LoadTorque.push_back(p.load / tn);
        out.Voltage.push_back(p.uw / un);
        out.BusVoltage.push_back(p.bus);
    }

    void Sample(const std::vector<double>& times, StartCurves& out) const override {
        out = StartCurves{};
        std::size_t r = 0;
        for (double time : times)
            Append(Recorded(time, r), out);
    }

    void ChartSample(double tEnd, int points, std::vector<double>& times, StartCurves& out) const override {
        // The marks within the interval in time order, the old connection first at a jump; the
        // peak just after a changeover is that jump's second side already.
        std::vector<Mark> marks;
        for (const Mark* m : {&peakMark, &dipMark, &voltageMark})
            if (m->t <= tEnd) marks.push_back(*m);
        for (const Mark& m : jumps)
            if (m.t <= tEnd) marks.push_back(m);
        std::sort(marks.begin(), marks.end(), [](const Mark& a, const Mark& b) {
            return a.t < b.t ||
                   (a.t == b.t && (a.law.stage < b.law.stage || (a.law.stage == b.law.stage && a.n < b.n)));
        });
        marks.erase(std::unique(marks.begin(), marks.end(),
                                [](const Mark& a, const Mark& b) {
                                    return a.t == b.t && a.n == b.n && a.law.stage == b.law.stage;
                                }),
                    marks.end());

        times.clear();
        out = StartCurves{};
        std::size_t r = 0, m = 0;
        auto exact = [&](const Mark& mark) {
            times.push_back(mark.t);
            Append(Evaluate(mark.law, mark.t, mark.n), out);
        };
        for (int k = 0; k < points; ++k) {
            const double time = k == points - 1 ? tEnd : k * tEnd / (points - 1);
            bool onMark = false;
            for (; m < marks.size() && marks[m].t <= time; ++m) {
                onMark = onMark || marks[m].t == time;
                exact(marks[m]);
            }
            if (onMark) continue;
            times.push_back(time);
            Append(Recorded(time, r), out);
        }
        for (; m < marks.size(); ++m)
            exact(marks[m]);
    }
};
} // namespace
