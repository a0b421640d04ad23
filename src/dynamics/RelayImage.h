#pragma once
// The overload relay's thermal image followed along a start, stretch by stretch of the start's own
// steps: dθ/dt = (x² − θ) / τ for the earliest and the latest relay of a class, cold (θ(0) = 0);
// a hot start is the cold one plus θ0 e^(−t/τ), the equation being linear. Over a stretch [a, b]
//   θ(b) = θ(a) e^(−h/τ) + (1/τ) ∫ x²(s) e^(−(b−s)/τ) ds,
// the integral taken as the exact ∫ x² (the start's own integral of the squared current) less
// ∫ x² (1 − e^(−(b−s)/τ)), whose small weight lets the quadratic through x² at a, the middle and
// b stand for x², integrated against the weight in closed form: a constant current gives the
// closed form exactly, whatever the step. Trip times and the largest θ are located within a
// stretch on the start's dense output, to the full precision of the doubles.

#include <array>
#include <cmath>
#include <optional>

#include <boost/math/tools/toms748_solve.hpp>

#include "Protection.h"

// What the start's integration needs to follow the relay.
struct RelayInput {
    std::array<double, 2> tau{}; // s: the earliest relay, the latest relay
    double hotStart = 0;         // θ(0) of a hot start
    // Per stage of the start: x² over the squared supply line current, (relay current / line
    // current)² / Ir².
    std::array<double, 2> ratio{};
};

// What the relay saw over [0, t_e]; relay 0 the earliest, 1 the latest; state 0 cold, 1 hot.
struct RelayTrack {
    std::array<std::array<std::optional<double>, 2>, 2> trip; // [relay][state], s
    std::array<double, 2> largest{};                          // the earliest relay's largest θ [state]
    double squareIntegral = 0; // ∫ x² dt up to the run-up (all of it while there is none), s
    std::optional<double> clearTime; // t_e
};

class RelayImage {
  public:
    static constexpr double K2 = RelayTripLevel * RelayTripLevel;

    explicit RelayImage(const RelayInput& input) : in_(input) {
        track_.largest = {0, input.hotStart};
        hot_ = {input.hotStart, input.hotStart};
    }

    const RelayTrack& Track() const { return track_; }
    bool Clear() const { return track_.clearTime.has_value(); }
    // The start has run up: its thermal capacity is counted to here, t_e looked for from here.
    void RunUp() { runUp_ = true; }
    // The end of the computed interval without t_e: it is taken there.
    void End(double t) {
        if (!Clear()) track_.clearTime = t;
    }

    // What `inside(t)` gives for a time within the stretch being looked at.
    struct Inside {
        double x2Middle = 0, x2End = 0; // x² at (a + t) / 2 and at t
        double integral = 0;            // ∫_a^t x² ds
    };

    // A stretch [a, b] of one law: x² at a, the middle and b, q = ∫_a^b x² exactly; inside(t)
    // gives the same for [a, t].
    template <class InsideAt>
    void Stretch(double a, double b, double x2a, double x2m, double x2b, double q, InsideAt inside) {
        if (Clear() || !(b > a)) return;
        if (runUp_) {
            if (x2a <= K2) {
                track_.clearTime = a;
                return;
            }
            // x falls to k within the stretch: the stretch ends there.
            if (x2m <= K2 || x2b <= K2) {
                const double lo = x2m <= K2 ? a : a + (b - a) / 2, hi = x2m <= K2 ? a + (b - a) / 2 : b;
                const double flo = (lo == a ? x2a : x2m) - K2, fhi = (hi == b ? x2b : x2m) - K2;
                const double te = Root([&](double t) { return inside(t).x2End - K2; }, lo, hi, flo, fhi);
                const Inside cut = inside(te);
                Advance(a, te, x2a, cut.x2Middle, cut.x2End, cut.integral, inside);
                track_.clearTime = te;
                return;
            }
        } else {
            track_.squareIntegral += q;
        }
        Advance(a, b, x2a, x2m, x2b, q, inside);
    }

    // θ(a + h) of a relay of time constant tau from θ(a) = theta, x² as in Stretch.
    static double Theta(double theta, double tau, double h, double x2a, double x2m, double x2b, double q) {
        const Weights w(h / tau);
        return Theta(theta, tau, h, x2a, x2m, x2b, q, w);
    }

  private:
    // Below z = 0.5 the series has converged to the doubles within 30 terms.
    static constexpr int Terms = 30;
    static constexpr std::array<double, Terms + 3> Reciprocal = [] {
        std::array<double, Terms + 3> r{};
        for (int n = 1; n < Terms + 3; ++n)
            r[n] = 1.0 / n;
        return r;
    }();

    // g[j] = ∫_0^1 U^j (1 − e^(−zU)) dU, and e^(−z) − 1.
    struct Weights {
        std::array<double, 3> g{};
        double decayLess1 = 0;
        explicit Weights(double z) {
            if (z < 0.5) {
                // −Σ_{n≥1} (−z)^n / (n! (n + j + 1)): no cancellation for the short stretches of a
                // start, and no exponential to take; reciprocals from a table, as divisions would
                // cost more than the rest of the image.
                double power = 1; // (−z)^n / n!
                for (int n = 1; n < Terms; ++n) {
                    power *= -z * Reciprocal[n];
                    decayLess1 += power;
                    g[0] -= power * Reciprocal[n + 1];
                    g[1] -= power * Reciprocal[n + 2];
                    g[2] -= power * Reciprocal[n + 3];
                    if (std::fabs(power) <= 1e-18 * std::fabs(decayLess1)) break;
                }
                return;
            }
            const double e = std::exp(-z), z2 = z * z;
            decayLess1 = e - 1;
            g[0] = 1 - (1 - e) / z;
            g[1] = 0.5 - (1 - e * (1 + z)) / z2;
            g[2] = 1.0 / 3 - (2 - e * (2 + 2 * z + z2)) / (z2 * z);
        }
    };

    static double Theta(double theta, double tau, double h, double x2a, double x2m, double x2b, double q,
                        const Weights& w) {
        // The quadratic in U = (b − s) / h through x² at U = 0, 1/2, 1.
        const double c1 = -3 * x2b + 4 * x2m - x2a, c2 = 2 * (x2b - 2 * x2m + x2a);
        const double rest = q - h * (x2b * w.g[0] + c1 * w.g[1] + c2 * w.g[2]);
        return theta + theta * w.decayLess1 + rest / tau;
    }

    template <class F> static double Root(F f, double lo, double hi, double flo, double fhi) {
        if (flo == 0) return lo;
        if (fhi == 0 || (flo < 0) == (fhi < 0)) return hi;
        boost::uintmax_t iterations = 100;
        const auto r = boost::math::tools::toms748_solve(f, lo, hi, flo, fhi,
                                                         boost::math::tools::eps_tolerance<double>(52), iterations);
        return (r.first + r.second) / 2;
    }

    // θ0 e^(−t/τ), the hot start's excess, at a time within the stretch that begins with hotA.
    double Hot(int relay, double a, double hotA, double t) const {
        return hotA * std::exp(-(t - a) / in_.tau[relay]);
    }

    // θ over [a, b]: trips and the earliest relay's largest θ, then the state at b.
    template <class InsideAt>
    void Advance(double a, double b, double x2a, double x2m, double x2b, double q, InsideAt inside) {
        for (int r = 0; r < 2; ++r) {
            const double tau = in_.tau[r];
            const Weights w((b - a) / tau);
            const double ca = cold_[r], cb = Theta(ca, tau, b - a, x2a, x2m, x2b, q, w);
            const double ha = hot_[r], hb = ha + ha * w.decayLess1;
            auto coldAt = [&](double t) {
                if (t == b) return cb;
                const Inside i = inside(t);
                return Theta(ca, tau, t - a, x2a, i.x2Middle, i.x2End, i.integral);
            };
            for (int s = 0; s < 2; ++s) {
                const double ta = ca + (s ? ha : 0), tb = cb + (s ? hb : 0);
                auto theta = [&](double t) { return coldAt(t) + (s ? (t == b ? hb : Hot(r, a, ha, t)) : 0); };
                if (!track_.trip[r][s] && tb >= K2)
                    track_.trip[r][s] = ta >= K2 ? a : Root([&](double t) { return theta(t) - K2; }, a, b, ta - K2, tb - K2);
                if (r != 0) continue;
                double& largest = track_.largest[s];
                largest = std::max({largest, ta, tb});
                // θ rises while x² > θ: a fall from rising to falling inside holds the largest.
                if (x2a > ta && x2b < tb) {
                    const double at = Root([&](double t) { return (t == b ? x2b : inside(t).x2End) - theta(t); }, a,
                                           b, x2a - ta, x2b - tb);
                    largest = std::max(largest, theta(at));
                }
            }
            cold_[r] = cb;
            hot_[r] = hb;
        }
    }

    RelayInput in_;
    RelayTrack track_;
    std::array<double, 2> cold_{}, hot_{}; // θ of the cold start, the hot start's excess θ0 e^(−t/τ)
    bool runUp_ = false;
};
