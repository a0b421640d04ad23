#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "Checks.h"
#include "MotorFixtures.h"
#include "OperatingPoint.h"
#include "StartSimulation.h"

namespace {
// The largest torque over [lo, hi] on a grid of n + 1 slips, and where.
TorquePeak Scanned(const MotorDataSet& ds, double lo, double hi, int n = 20000) {
    TorquePeak best{lo, -1};
    for (int k = 0; k <= n; ++k) {
        const double s = lo + (hi - lo) * k / n;
        const double t = s > 0 ? MotorTorque(ds, s, ds.PhaseVoltage) : 0;
        if (t > best.torque) best = {s, t};
    }
    return best;
}
} // namespace

TEST(DoubleCage, CurrentAndTorqueFollowTheDefinitions) {
    for (const CageCircuit& c : DoubleCages) {
        const MotorDataSet ds = WithCircuit(c);
        const CircuitEvaluator circuit(ds);
        ASSERT_TRUE(circuit.SecondCage());
        const TorqueRational rational = circuit.TorqueAsRational();
        for (double s : {1.0, 0.9, 0.5, 0.318, 0.1, 0.0467, 0.01, 1e-4, 1e-7}) {
            for (double u : {ds.PhaseVoltage, 0.3 * ds.PhaseVoltage}) {
                const ReferencePoint r = Reference(ds, s, u);
                const double current = StatorCurrent(ds, s, u), torque = MotorTorque(ds, s, u);
                EXPECT_REL(current, r.current, 1e-12) << c.name << " " << s;
                EXPECT_REL(torque, r.torque, 1e-12) << c.name << " " << s;
                EXPECT_REL(rational.factor * u * u * s * rational.a.At(s) / rational.d.At(s), r.torque, 1e-12)
                    << c.name << " " << s;
                // The evaluator, plain or watched, gives the very digits of the direct functions.
                RangeWatch watch;
                EXPECT_EQ(CircuitEvaluator::Current(circuit.InputImpedance(s), u), current);
                EXPECT_EQ(CircuitEvaluator::Current(circuit.InputImpedance(s, &watch), u, &watch), current);
                EXPECT_EQ(circuit.Torque(s, u), torque);
                EXPECT_EQ(circuit.Torque(s, u, &watch), torque);
                EXPECT_FALSE(watch.overflowed || watch.vanished);
            }
        }
        EXPECT_TRUE(circuit.StaysInRange(ds.PhaseVoltage, 1e-4)) << c.name;
    }
    // The range judged once covers the second cage's elements.
    for (auto [rr2, xr2] : {std::pair{1e25, 1.1}, std::pair{9.0, 1e-25}}) {
        MotorDataSet ds = ExampleDoubleCageMotor();
        ds.Rr2 = rr2, ds.Xr2sigma = xr2;
        EXPECT_FALSE(CircuitEvaluator(ds).StaysInRange(ds.PhaseVoltage, 1e-4)) << rr2 << " " << xr2;
    }
}

TEST(DoubleCage, AnInertSecondCageGivesTheSingleCagesResults) {
    // A second cage of 1e9 ohms carries a billionth of the rotor current: every result of the
    // quasi-static start is the single cage's to that order.
    struct Case {
        bool limitMode;
        double t0, t2; // in Tn, and Tn at synchronous speed
    };
    for (const Case c : {Case{true, 0, 1}, Case{false, 0.5, 0}, Case{true, 0.2, 0.5}}) {
        MotorDataSet one = ExampleDoubleCageMotor();
        one.Rr2 = one.Xr2sigma = 0;
        one.LimitCurrentMode = c.limitMode, one.DesiredImaxIn = 3, one.ShowStaticCurves = true;
        one.T0 = c.t0 * one.RatedTorque, one.T2 = c.t2 * one.RatedTorque / std::pow(one.SynchronousSpeed, 2);
        MotorDataSet two = one;
        two.Rr2 = 1e9, two.Xr2sigma = 0.8;
        CurveBuffer oneTime, oneStatic, twoTime, twoStatic;
        ASSERT_EQ(RunStartComputation(one, &oneTime, &oneStatic), 0);
        ASSERT_EQ(RunStartComputation(two, &twoTime, &twoStatic), 0);
        EXPECT_EQ(two.SoftStarterTime, one.SoftStarterTime);
        EXPECT_REL(two.ImaxIn, one.ImaxIn, 1e-8);
        for (auto [a, b] : {std::pair{&oneTime, &twoTime}, std::pair{&oneStatic, &twoStatic}}) {
            ASSERT_EQ(a->points.size(), b->points.size());
            for (std::size_t k = 0; k < a->points.size(); ++k) {
                const CurvePoint &p = a->points[k], &q = b->points[k];
                EXPECT_REL(q.x, p.x, 1e-8) << k;
                EXPECT_REL(q.dolCurrent, p.dolCurrent, 1e-8) << k;
                EXPECT_REL(q.dolTorque, p.dolTorque, 1e-8) << k;
                EXPECT_REL(q.ssCurrent, p.ssCurrent, 1e-8) << k;
                EXPECT_REL(q.ssTorque, p.ssTorque, 1e-8) << k;
            }
        }
        for (double load : {0.0, 0.5, 1.0, 2.0}) {
            bool noneOne = true, noneTwo = true;
            const double s1 = OperatingSlip(one, load * one.RatedTorque, one.PhaseVoltage, noneOne);
            const double s2 = OperatingSlip(two, load * one.RatedTorque, one.PhaseVoltage, noneTwo);
            ASSERT_FALSE(noneOne || noneTwo) << load;
            EXPECT_REL(s2, s1, 1e-8) << load;
        }
    }
}

TEST(DoubleCage, OperatingSlipIsTheSmallestRootOfTheTorqueBalance) {
    struct Case {
        int circuit;
        double load; // Tn
        bool none;
    };
    const Case cases[] = {
        {0, 1, false},    {0, 2.5, false},   // above the torque at standstill, below the largest
        {0, 2.9, true},   {0, -1, true},     // above the largest, a driving load
        {1, 4.45, false},                    // below the running hump
        {1, 4.6, false},                     // between the humps: on the rise to the starting one
        {1, 5.6, true},   {2, 7.0, false}, {2, 7.6, true}, {3, 0.5, false},
    };
    for (const Case& c : cases) {
        const MotorDataSet ds = WithCircuit(DoubleCages[c.circuit]);
        const double load = c.load * ds.RatedTorque, u = ds.PhaseVoltage;
        bool none = false;
        const double s = OperatingSlip(ds, load, u, none);
        const std::string name = std::string(DoubleCages[c.circuit].name) + " " + std::to_string(c.load);
        EXPECT_EQ(none, c.none) << name;
        if (c.none) {
            EXPECT_EQ(s, 0);
            // A load above the largest torque; a driving one has no balance at all.
            EXPECT_TRUE(load < 0 || Scanned(ds, 0, 1).torque < load) << name;
            continue;
        }
        // A root to the last digits, and none below it.
        EXPECT_LT(MotorTorque(ds, s * (1 - 1e-14), u), load) << name;
        EXPECT_GT(MotorTorque(ds, s * (1 + 1e-14), u), load) << name;
        for (int k = 1; k < 5000; ++k) ASSERT_LT(MotorTorque(ds, s * k / 5000, u), load) << name << " " << k;
    }
    // No load: the slip of a millionth of a newton metre.
    const MotorDataSet ds = WithCircuit(DoubleCages[0]);
    bool none = true;
    const double s0 = OperatingSlip(ds, 0, ds.PhaseVoltage, none);
    EXPECT_FALSE(none);
    EXPECT_REL(MotorTorque(ds, s0, ds.PhaseVoltage), 1e-6, 1e-9);
}

TEST(DoubleCage, TorqueMaximumIsTheGlobalOneOnEitherHump) {
    struct Case {
        int circuit; // -1: the single-cage reference motor
        double lo, hi, slip;
    };
    const Case cases[] = {
        {0, 0, 1, 0.318}, {0, 0.0467, 1, 0.318}, {0, 0.4, 1, 0.4},   // at the interval's end
        {1, 0, 1, 0.742}, {1, 0, 0.15, 0.087}, {1, 0.2, 0.5, 0.5},   // the starting hump higher
        {2, 0, 1, 0.111}, {2, 0.5, 1, 0.971},  {2, 0.1, 0.1, 0.1},   // the running hump higher
        {3, 0, 1, -1},    {-1, 0, 1, 0.740},   {-1, 0.8, 1, 0.8},
    };
    for (const Case& c : cases) {
        const MotorDataSet ds = c.circuit < 0 ? IdentifiedFourKilowattMotor() : WithCircuit(DoubleCages[c.circuit]);
        const TorquePeak peak = TorqueMaximum(ds, c.lo, c.hi, ds.PhaseVoltage);
        const TorquePeak grid = Scanned(ds, c.lo, c.hi);
        const std::string name = std::to_string(c.circuit) + " " + std::to_string(c.lo) + " " + std::to_string(c.hi);
        EXPECT_EQ(peak.torque, MotorTorque(ds, peak.slip, ds.PhaseVoltage)) << name;
        EXPECT_GE(peak.torque, grid.torque) << name;
        EXPECT_LT(peak.torque, grid.torque * (1 + 1e-6)) << name;
        EXPECT_NEAR(peak.slip, grid.slip, 1e-4) << name;
        if (c.slip > 0) {
            EXPECT_NEAR(peak.slip, c.slip, 1e-3) << name;
        }
        // At a maximum inside the interval the torque falls to both sides.
        for (double f : {1 - 1e-6, 1 + 1e-6}) {
            if (peak.slip > c.lo && peak.slip < c.hi) {
                EXPECT_GT(peak.torque, MotorTorque(ds, peak.slip * f, ds.PhaseVoltage)) << name;
            }
        }
    }
}

TEST(DoubleCage, SecondCageElementsAreJudgedLikeTheOthers) {
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = HUGE_VAL;
    struct Case {
        double rr2, xr2;
        int number;
        const char* element;
    };
    const Case cases[] = {
        {nan, 1.1, ErrCircuitNotFinite, ""}, {inf, 1.1, ErrCircuitNotFinite, ""},
        {9, nan, ErrCircuitNotFinite, ""},   {-1, 1.1, ErrNegativeElement, "R'r2"},
        {9, -0.1, ErrNegativeElement, "X'r2sigma"}, {0, 1.1, ErrValueAboveAtMost, "R'r2"},
        {9, 0, 0, ""},                       // a purely resistive second cage
        {0, 0, 0, ""},                       // no second cage
    };
    for (const Case& c : cases) {
        MotorDataSet ds = ExampleDoubleCageMotor();
        ds.Rr2 = c.rr2, ds.Xr2sigma = c.xr2;
        const Refusal r = CheckCircuit(ds);
        EXPECT_EQ(r.number, c.number) << c.rr2 << " " << c.xr2;
        EXPECT_EQ(r.argument.english, c.element);
        EXPECT_EQ(r.argument.french, c.element);
        EXPECT_EQ(CheckComputable(ds).number, c.number);
        MotorDataSet computed = ds;
        EXPECT_EQ(RunStartComputation(computed, nullptr, nullptr).number, c.number);
    }
    MotorDataSet ds = ExampleDoubleCageMotor();
    ds.Rr2 = 0;
    EXPECT_EQ(ErrorText(CheckCircuit(ds), Language::English), "The value of \"R'r2\" must be above 0\u00a0Ω!");
    EXPECT_EQ(ErrorText(CheckCircuit(ds), Language::French),
              "La valeur de «\u00a0R'r2\u00a0» doit être supérieure à 0\u00a0Ω\u00a0!");
    // A vanishing value of a given circuit names its smallest element, the second cage's too.
    RangeWatch watch;
    watch.vanished = true;
    ds.Rr2 = 9, ds.Xr2sigma = 1e-200;
    EXPECT_EQ(CircuitRangeRefusal(ds, watch, false).argument.english, "X'r2sigma");
}

TEST(DoubleCage, AMotorWithADataSheetKeepsItsCircuitAndATypedOneGetsOneCage) {
    MotorDataSet listed = ExampleDoubleCageMotor(), sheet = listed;
    sheet.MotorFromList = false;
    sheet.LockedRotorCurrentRatio = 5, sheet.LockedRotorTorqueRatio = 2.36, sheet.BreakdownTorqueRatio = 2.85;
    ASSERT_EQ(RunStartComputation(listed, nullptr, nullptr), 0);
    ASSERT_EQ(RunStartComputation(sheet, nullptr, nullptr), 0);
    const MotorDataSet given = ExampleDoubleCageMotor();
    for (const MotorDataSet* m : {&listed, &sheet}) {
        EXPECT_EQ(m->Rs, given.Rs);
        EXPECT_EQ(m->Rr, given.Rr);
        EXPECT_EQ(m->Xh, given.Xh);
        EXPECT_EQ(m->Rr2, given.Rr2);
        EXPECT_EQ(m->Xr2sigma, given.Xr2sigma);
    }
    EXPECT_EQ(sheet.DolCurrentCurve, listed.DolCurrentCurve);
    EXPECT_EQ(sheet.DolTorqueCurve, listed.DolTorqueCurve);
    EXPECT_EQ(sheet.SoftStarterTime, listed.SoftStarterTime);
    // A data-sheet motor without its circuit is judged as given: there is none to compute on.
    MotorDataSet empty = sheet;
    empty.Rs = empty.Rr = empty.Xssigma = empty.Xrsigma = empty.Xh = empty.Riron = empty.Rr2 = empty.Xr2sigma = 0;
    EXPECT_EQ(CheckComputable(empty), ErrRotorResistanceZero);

    // Typed without a data sheet, the nameplate's identification gives one cage, and a refused
    // computation leaves the circuit as it was.
    MotorDataSet typed = given;
    typed.MotorFromList = false;
    typed.LimitCurrentMode = true, typed.DesiredImaxIn = 0.5;
    EXPECT_EQ(RunStartComputation(typed, nullptr, nullptr), ErrLimitUnreachable);
    EXPECT_EQ(typed.Rs, given.Rs);
    EXPECT_EQ(typed.Rr2, given.Rr2);
    EXPECT_EQ(typed.Xr2sigma, given.Xr2sigma);
    typed.DesiredImaxIn = 3;
    ASSERT_EQ(RunStartComputation(typed, nullptr, nullptr), 0);
    EXPECT_EQ(typed.Rr2, 0);
    EXPECT_EQ(typed.Xr2sigma, 0);
    EXPECT_EQ(typed.Rr, typed.Rs);
}
