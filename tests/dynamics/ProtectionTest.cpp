// The overload relay and the motor's thermal limit along the dynamic start: closed forms, exact
// ratios, monotone trends and limits of the model.

#include <array>
#include <cmath>
#include <vector>

#include "DynamicsFixtures.h"
#include "RelayImage.h"

namespace {
constexpr double K2 = RelayTripLevel * RelayTripLevel;

void FanLoad(MotorDataSet& ds) {
    ds.T0 = ds.T1 = 0;
    ds.T2 = ds.RatedTorque / (ds.SynchronousSpeed * ds.SynchronousSpeed);
}

DynamicSettings Relay(TripClass c, std::optional<double> ir = {}, double j = 0.12, double cold = 0,
                      double hot = 0) {
    DynamicSettings s = WithInertia(j);
    ProtectionSettings p;
    p.Class = c;
    p.RelaySetting = ir;
    if (cold > 0) p.WithstandCold = cold, p.WithstandHot = hot;
    s.Protection = p;
    return s;
}

// The double-cage motor held at standstill by a constant load above its starting torque (2.36 Tn)
// and below its largest (2.85 Tn): a locked rotor at a constant current.
MotorDataSet LockedRotor() {
    MotorDataSet ds = ExampleDoubleCageMotor();
    EXPECT_EQ(RunStartComputation(ds, nullptr, nullptr), 0);
    ds.T0 = 2.6 * ds.RatedTorque, ds.T1 = ds.T2 = 0;
    return ds;
}
} // namespace

TEST(Protection, ClassBandsAndClosedForms) {
    const std::array<std::array<double, 2>, TripClassCount> bands{{{2, 10}, {4, 10}, {6, 20}, {9, 30}}};
    for (int c = 0; c < TripClassCount; ++c) {
        const TripBand b = ClassBand(static_cast<TripClass>(c));
        EXPECT_EQ(TripClassOfKey(TripClassKey(static_cast<TripClass>(c))), static_cast<TripClass>(c));
        for (int edge = 0; edge < 2; ++edge) {
            const double t72 = edge ? b.Latest : b.Earliest;
            EXPECT_DOUBLE_EQ(t72, bands[c][edge]);
            const double tau = RelayTimeConstant(t72);
            EXPECT_NEAR(tau, t72 / std::log(7.2 * 7.2 / (7.2 * 7.2 - K2)), 1e-12 * tau);
            // The cold trip time at 7.2 Ir is the band's bound itself.
            EXPECT_NEAR(*RelayTripTime(tau, 7.2, 0), t72, 1e-12 * t72);
            // Hot from rated current trips earlier; at or below k never.
            EXPECT_LT(*RelayTripTime(tau, 7.2, 1), t72);
            EXPECT_FALSE(RelayTripTime(tau, RelayTripLevel, 0));
            EXPECT_FALSE(RelayTripTime(tau, 1.05, 1));
        }
    }
    EXPECT_FALSE(TripClassOfKey("10a"));
    EXPECT_FALSE(TripClassOfKey("5"));
}

// The image over stretches of any length against the closed form of a constant current, and the
// quadrature against a fine Euler-free reference of a current that falls as e^(-t).
TEST(Protection, RelayImageStretches) {
    const double tau = RelayTimeConstant(10);
    for (double h : {1e-6, 1e-3, 0.3, 5.0, 400.0}) {
        const double x2 = 36, theta = RelayImage::Theta(0.4, tau, h, x2, x2, x2, x2 * h);
        EXPECT_NEAR(theta, x2 + (0.4 - x2) * std::exp(-h / tau), 1e-13 * x2) << h;
    }
    // x² = e^(-2t/3) over [0, 2] in 200 stretches: θ by the exact convolution.
    const double a = 2.0 / 3;
    auto x2 = [&](double t) { return std::exp(-a * t); };
    double theta = 0;
    const int n = 200;
    for (int i = 0; i < n; ++i) {
        const double t0 = 2.0 * i / n, t1 = 2.0 * (i + 1) / n, h = t1 - t0;
        const double q = (std::exp(-a * t0) - std::exp(-a * t1)) / a;
        theta = RelayImage::Theta(theta, tau, h, x2(t0), x2(t0 + h / 2), x2(t1), q);
    }
    // (1/τ) ∫ e^(-a s) e^(-(2-s)/τ) ds = (e^(-2a) − e^(-2/τ)) / (τ (1/τ − a)).
    const double exact = (std::exp(-2 * a) - std::exp(-2 / tau)) / (tau * (1 / tau - a));
    EXPECT_NEAR(theta, exact, 1e-12 * exact);
}

// A locked rotor on the stiff supply: the integrated trip times are the closed form, the thermal
// capacity of a stall held for the withstand time is 100 %, the locked-rotor check its formula.
TEST(Protection, LockedRotorClosedForms) {
    const MotorDataSet ds = LockedRotor();
    for (int c = 0; c < TripClassCount; ++c) {
        DynamicSettings s = Relay(static_cast<TripClass>(c), {}, 0.05, 12, 9);
        s.Mechanical.StartTimeLimit = 12;
        const DynamicResults r = Computed(ds, s);
        ASSERT_TRUE(r.Dol.Stalled);
        const ProtectionResults& p = *r.Protection;
        EXPECT_NEAR(p.LockedRotorCurrent, p.LockedRotorCurrentNetwork, 1e-12 * p.LockedRotorCurrent);
        EXPECT_NEAR(p.LockedRotorCurrent, *r.Dol.StalledPeakLineCurrent, 1e-12 * p.LockedRotorCurrent);
        const double x = p.LockedRotorCurrent / ds.LineCurrent;
        for (int hot = 0; hot < 2; ++hot) {
            const RelayStart& rs = hot ? r.Protection->Dol.Hot : r.Protection->Dol.Cold;
            const double theta0 = hot ? 1 : 0;
            const auto earliest = RelayTripTime(p.TauEarliest, x, theta0), latest = RelayTripTime(p.TauLatest, x, theta0);
            // Within the 12 s of the stall, or not at all.
            for (const auto& [integrated, closed] : {std::pair{rs.EarliestTripTime, earliest},
                                                     std::pair{rs.LatestTripTime, latest}}) {
                ASSERT_EQ(integrated.has_value(), *closed <= 12) << c << hot;
                if (integrated) {
                    EXPECT_NEAR(*integrated, *closed, 1e-9);
                }
            }
            EXPECT_FALSE(rs.PassesStart);
            // Held for the cold withstand time; the hot one is 9 s: 12/9 of it.
            EXPECT_NEAR(*rs.Tcu, hot ? 100 * 12.0 / 9 : 100, 1e-9);
            // The largest θ over the 12 s: the closed form at 12 s.
            const double theta = x * x + (theta0 - x * x) * std::exp(-12 / p.TauEarliest);
            EXPECT_NEAR(rs.TripLevel, theta / K2 * 100, 1e-9);
            const LockedRotorCheck& lr = hot ? *p.LockedRotorHot : *p.LockedRotorCold;
            EXPECT_NEAR(*lr.LatestTripTime, *latest, 1e-12 * *latest);
            EXPECT_DOUBLE_EQ(lr.PermittedTime, hot ? 9 : 12);
            EXPECT_EQ(lr.Protects, *latest <= lr.PermittedTime);
            EXPECT_NEAR(*lr.Margin, lr.PermittedTime / *latest - 1, 1e-12);
        }
        EXPECT_EQ(r.Protection->Dol.StartsInSuccession, 1);
        EXPECT_DOUBLE_EQ(r.Protection->Dol.ClearTime, 12);
    }
}

// The thermal capacity is the start's own ∫ I² dt (its RMS current) over I_LR² t_LR, the relay's
// θ that of a brute-force convolution of the sampled current, and a start with a relay gives the
// very results and curves of one without.
TEST(Protection, RunningStartsAgainstTheirOwnCurrent) {
    MotorDataSet ds = FourKilowatt();
    FanLoad(ds);
    const DynamicResults plain = Computed(ds, WithInertia(0.12), 2001, 300);
    const DynamicResults r = Computed(ds, Relay(TripClass::Class10, {}, 0.12, 15, 10), 2001, 300);
    EXPECT_EQ(plain.DolCurves.Current, r.DolCurves.Current);
    EXPECT_EQ(plain.SoftStarterChart.Values.Current, r.SoftStarterChart.Values.Current);
    EXPECT_EQ(plain.Dol.RunUpTime, r.Dol.RunUpTime);
    EXPECT_EQ(plain.SoftStarter.RmsCurrent, r.SoftStarter.RmsCurrent);
    const ProtectionResults& p = *r.Protection;
    for (const auto& [o, sp] : {std::pair{r.Dol, p.Dol}, std::pair{r.SoftStarter, p.SoftStarter}}) {
        const double i2t = *o.RmsCurrent * *o.RmsCurrent * *o.RunUpTime;
        EXPECT_NEAR(*sp.Cold.Tcu, i2t / (p.LockedRotorCurrent * p.LockedRotorCurrent * 15) * 100, 1e-9 * *sp.Cold.Tcu);
        EXPECT_NEAR(*sp.Hot.Tcu / *sp.Cold.Tcu, 1.5, 1e-12);
        EXPECT_TRUE(sp.Cold.PassesStart);
        EXPECT_FALSE(sp.Cold.EarliestTripTime);
        EXPECT_GT(sp.Hot.TripLevel, sp.Cold.TripLevel);
        EXPECT_GE(sp.ClearTime, *o.RunUpTime);
        EXPECT_EQ(*sp.StartsInSuccession, static_cast<long long>(std::floor(100 / *sp.Cold.Tcu)));
    }
    // With Ir = 3 In the soft-starter's current is below k Ir at its run-up: its largest θ is θ(t_a),
    // the convolution of its own curve (the curves end at its run-up), taken by trapezoids.
    const DynamicResults w = Computed(ds, Relay(TripClass::Class10, 3 * ds.LineCurrent, 0.12), 40001);
    ASSERT_EQ(w.Protection->SoftStarter.ClearTime, *w.SoftStarter.RunUpTime);
    ASSERT_EQ(w.Times.back(), *w.SoftStarter.RunUpTime);
    // θ cold and hot by the exact exponential of trapezoids over the 40 001 samples, their largest.
    const double tau = w.Protection->TauEarliest, decay = std::exp(-(w.Times[1] - w.Times[0]) / tau);
    std::array<double, 2> theta{0, 1.0 / 9}, largest = theta;
    for (std::size_t k = 1; k < w.Times.size(); ++k) {
        auto x2 = [&](std::size_t j) { return std::pow(w.SoftStarterCurves.Current[j] / 3, 2); };
        const double h = w.Times[k] - w.Times[k - 1];
        for (double& t : theta)
            t = t * decay + h / (2 * tau) * (x2(k) + x2(k - 1) * decay);
        for (int s = 0; s < 2; ++s)
            largest[s] = std::max(largest[s], theta[s]);
    }
    EXPECT_NEAR(w.Protection->SoftStarter.Cold.TripLevel, largest[0] / K2 * 100, 1e-6);
    EXPECT_NEAR(w.Protection->SoftStarter.Hot.TripLevel, largest[1] / K2 * 100, 1e-6);
}

// Trends no fault may break: more inertia never uses less capacity, a higher class never trips
// earlier nor shows a higher level, a relay set far above the current never trips.
TEST(Protection, MonotoneTrendsAndLimits) {
    MotorDataSet ds = FourKilowatt();
    FanLoad(ds);
    std::array<double, 2> tcu{0, 0};
    for (double j : {0.02, 0.05, 0.12, 0.3, 1.0, 3.0}) {
        const DynamicResults r = Computed(ds, Relay(TripClass::Class10, {}, j, 15, 10));
        const std::array<double, 2> now{*r.Protection->Dol.Cold.Tcu, *r.Protection->SoftStarter.Cold.Tcu};
        for (int k = 0; k < 2; ++k) {
            EXPECT_GE(now[k], tcu[k]) << j;
            tcu[k] = now[k];
        }
    }
    const MotorDataSet locked = LockedRotor();
    std::optional<double> trip[2] = {0.0, 0.0};
    double level = HUGE_VAL;
    for (int c = 0; c < TripClassCount; ++c) {
        DynamicSettings s = Relay(static_cast<TripClass>(c), {}, 0.05);
        s.Mechanical.StartTimeLimit = 600;
        const DynamicResults r = Computed(locked, s);
        const std::optional<double> now[2] = {r.Protection->Dol.Cold.EarliestTripTime,
                                              r.Protection->Dol.Hot.LatestTripTime};
        for (int k = 0; k < 2; ++k) {
            ASSERT_TRUE(now[k]);
            EXPECT_GE(*now[k], *trip[k]); // 10A and 10 share their latest relay
            trip[k] = now[k];
        }
        const double running = Computed(ds, Relay(static_cast<TripClass>(c), {}, 1.0)).Protection->Dol.Hot.TripLevel;
        EXPECT_LT(running, level);
        level = running;
    }
    const DynamicResults far = Computed(ds, Relay(TripClass::Class10A, 10 * ds.LineCurrent, 3.0));
    for (const StartProtection& p : {far.Protection->Dol, far.Protection->SoftStarter})
        for (const RelayStart& s : {p.Cold, p.Hot}) {
            EXPECT_FALSE(s.EarliestTripTime || s.LatestTripTime);
            EXPECT_TRUE(s.PassesStart);
            EXPECT_LT(s.TripLevel, 100);
        }
}

// Every method of the comparison: its relay current is the motor's line current (the winding
// current times sqrt 3 in star-delta), so that the capacity used equals the supply's ∫ I² dt for
// direct-on-line, soft-starter and reactor, and exceeds it where the motor draws more than the
// supply (the star stage seen by the relay in the windings, the autotransformer's motor side).
TEST(Protection, ComparisonMethods) {
    MotorDataSet ds = FiveKilowattDelta();
    FanLoad(ds);
    DynamicSettings s = Relay(TripClass::Class20, {}, 0.2, 20, 15);
    ComparisonResults c;
    ASSERT_EQ(ComputeComparison(ds, s, c, 0), 0);
    const double ilr = c.Protection->LockedRotorCurrent;
    for (const MethodOutcome& m : c.Methods) {
        ASSERT_TRUE(m.Protection) << MethodKey(m.Method);
        const StartOutcome& o = m.Outcome;
        ASSERT_FALSE(o.Stalled) << MethodKey(m.Method);
        const double supply = *o.RmsCurrent * *o.RmsCurrent * *o.RunUpTime / (ilr * ilr * 20) * 100;
        const double tcu = *m.Protection->Cold.Tcu;
        if (m.Method == StartingMethod::StarDelta || m.Method == StartingMethod::Autotransformer)
            EXPECT_GT(tcu, supply * 1.01) << MethodKey(m.Method);
        else
            EXPECT_NEAR(tcu, supply, 1e-9 * supply) << MethodKey(m.Method);
    }
    EXPECT_EQ(c.Protection->Dol.Cold.Tcu, c.Methods[0].Protection->Cold.Tcu);
    DynamicResults d;
    ASSERT_EQ(ComputeDynamicStart(ds, s, d, 0), 0);
    EXPECT_NEAR(d.Protection->Dol.Cold.TripLevel, c.Protection->Dol.Cold.TripLevel, 1e-9);
}

TEST(Protection, Refusals) {
    const MotorDataSet ds = FourKilowatt();
    const double in = ds.LineCurrent;
    struct Case {
        std::optional<double> ir, cold, hot;
        int number;
    };
    const Case cases[] = {
        {in / 1.05, 3600, 3600, 0},     {10 * in, 1e-9, 1e-9, 0},   {{}, {}, {}, 0},
        {in / 1.05 * 0.9999, {}, {}, 170}, {10.001 * in, {}, {}, 171}, {NAN, {}, {}, 170},
        {{}, 0, 0, 172},                {{}, 3600.5, 10, 172},      {{}, 10, -1, 172},
        {{}, 10, 12, 173},              {{}, 10, {}, 174},          {{}, {}, 5, 174},
    };
    for (const Case& k : cases) {
        ProtectionSettings p;
        p.RelaySetting = k.ir, p.WithstandCold = k.cold, p.WithstandHot = k.hot;
        const Refusal r = CheckProtection(p, ds);
        EXPECT_EQ(r.number, k.number) << k.ir.value_or(0) << " " << k.cold.value_or(0) << " " << k.hot.value_or(0);
        DynamicSettings s = WithInertia(0.1);
        s.Protection = p;
        DynamicResults out;
        EXPECT_EQ(ComputeDynamicStart(ds, s, out, 0), k.number);
    }
    ProtectionSettings low;
    low.RelaySetting = 1;
    EXPECT_EQ(ErrorText(CheckProtection(low, ds), Language::English),
              "The value of \"Relay Current Setting Ir\" must be at least 8.096\u00a0A: the relay must carry the "
              "motor's rated current (Ir at least In / 1.05)!");
    ProtectionSettings swapped;
    swapped.WithstandCold = 7.5, swapped.WithstandHot = 9;
    EXPECT_EQ(ErrorText(CheckProtection(swapped, ds), Language::French),
              "Le temps de blocage admissible à chaud (9\u00a0s) ne doit pas dépasser celui à froid (7,5\u00a0s)\u00a0!");
}

// The chart's curves: each relay curve is its trip-time formula, the motor's lines are equal I²t
// from the locked-rotor point down to 2 In, and the axes hold every point.
TEST(Protection, TimeCurrentCurves) {
    MotorDataSet ds = FourKilowatt();
    FanLoad(ds);
    const double in = ds.LineCurrent, ir = 1.1 * in;
    const DynamicResults r = Computed(ds, Relay(TripClass::Class10, ir, 0.12, 15, 10), 0, 200);
    const TimeCurrentCurves c = ComputeTimeCurrentCurves(r, in);
    const ProtectionResults& p = *r.Protection;
    struct Relay {
        const TimeCurrentCurve& curve;
        double tau, theta0;
    };
    for (const Relay& k : {Relay{c.EarliestCold, p.TauEarliest, 0}, Relay{c.EarliestHot, p.TauEarliest, p.HotStart},
                           Relay{c.LatestCold, p.TauLatest, 0}, Relay{c.LatestHot, p.TauLatest, p.HotStart}}) {
        ASSERT_EQ(k.curve.Current.size(), 100u);
        // From 10 000 s on the asymptote at k Ir (to the doubles for a short τ) to 20 In.
        EXPECT_EQ(k.curve.Time.front(), 1e4);
        EXPECT_NEAR(k.curve.Current.front(), RelayTripLevel * ir / in, 1e-5);
        EXPECT_EQ(k.curve.Current.back(), 20);
        for (std::size_t i = 1; i < k.curve.Current.size(); ++i) {
            EXPECT_LT(k.curve.Time[i], k.curve.Time[i - 1]);
            const double x = k.curve.Current[i] * in / ir;
            if (x * x > K2 * (1 + 1e-6)) {
                EXPECT_NEAR(k.curve.Time[i], *RelayTripTime(k.tau, x, k.theta0), 1e-7 * k.curve.Time[i]);
            }
        }
    }
    const double lr = p.LockedRotorCurrent / in;
    EXPECT_EQ(c.MotorColdPoint, (std::pair{lr, 15.0}));
    EXPECT_DOUBLE_EQ(c.MotorHot.Current.front(), 2);
    EXPECT_NEAR(c.MotorHot.Time.front(), 10 * lr * lr / 4, 1e-9);
    EXPECT_NEAR(c.MotorHot.Time.back(), 10, 1e-12);
    ASSERT_FALSE(c.DolStart.Current.empty());
    // The chart samples but the instant 0, which a logarithmic axis cannot show.
    ASSERT_EQ(c.DolStart.Current.size(), r.DolChart.Times.size() - 1);
    EXPECT_EQ(c.DolStart.Time[0], r.DolChart.Times[1]);
    EXPECT_EQ(c.DolStart.Current[0], r.DolChart.Values.Current[1]);
    for (const TimeCurrentCurve* curve : {&c.DolStart, &c.SoftStarterStart, &c.MotorCold, &c.LatestHot})
        for (std::size_t i = 0; i < curve->Current.size(); ++i) {
            EXPECT_TRUE(curve->Current[i] >= c.CurrentMin && curve->Current[i] <= c.CurrentMax);
            EXPECT_TRUE(curve->Time[i] >= c.TimeMin && curve->Time[i] <= c.TimeMax);
        }
    EXPECT_LE(c.TimeMin, 0.1);
    EXPECT_EQ(c.CurrentMax, 20);
    EXPECT_TRUE(ComputeTimeCurrentCurves(Computed(ds, WithInertia(0.12)), in).EarliestCold.Current.empty());
}
