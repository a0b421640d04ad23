#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "Checks.h"
#include "MotorFixtures.h"
#include "OperatingPoint.h"
#include "StartSimulation.h"

namespace {
// The largest torque over [lo, hi] on a grid of 20 000 steps, and where.
TorquePeak Scanned(const MotorDataSet& ds, double lo, double hi) {
    TorquePeak best{lo, -1};
    for (int k = 0; k <= 20000; ++k) {
        const double s = lo + (hi - lo) * k / 20000, t = s > 0 ? MotorTorque(ds, s, ds.PhaseVoltage) : 0;
        if (t > best.torque) best = {s, t};
    }
    return best;
}
} // namespace

TEST(DoubleCage, CurrentAndTorqueFollowTheDefinitions) {
    for (const CageCircuit& c : DoubleCages) {
        const MotorDataSet ds = WithCircuit(c);
        const CircuitEvaluator circuit(ds);
        for (double s : {1.0, 0.5, 0.1, 0.0467, 0.01, 1e-4, 1e-7}) {
            const double u = ds.PhaseVoltage, current = StatorCurrent(ds, s, u), torque = MotorTorque(ds, s, u);
            EXPECT_REL(current, Reference(ds, s, u).first, 1e-12) << c.rr2 << " " << s;
            EXPECT_REL(torque, Reference(ds, s, u).second, 1e-12) << c.rr2 << " " << s;
            RangeWatch watch; // the evaluator, plain or watched, gives the very digits
            EXPECT_EQ(CircuitEvaluator::Current(circuit.InputImpedance(s, &watch), u, &watch), current);
            EXPECT_EQ(circuit.Torque(s, u, &watch), torque);
            EXPECT_FALSE(watch.overflowed || watch.vanished);
        }
        EXPECT_TRUE(circuit.StaysInRange(ds.PhaseVoltage, 1e-4));
        MotorDataSet far = ds; // the range judged once covers the second cage
        far.Xr2sigma = 1e-25;
        EXPECT_FALSE(CircuitEvaluator(far).StaysInRange(ds.PhaseVoltage, 1e-4));
    }
}

TEST(DoubleCage, AnInertSecondCageGivesTheSingleCagesResults) {
    // A second cage of 1e9 ohms carries a billionth of the rotor current.
    for (const bool fan : {true, false}) {
        MotorDataSet one = ExampleDoubleCageMotor();
        one.Rr2 = one.Xr2sigma = 0, one.LimitCurrentMode = fan, one.DesiredImaxIn = 3, one.ShowStaticCurves = true;
        (fan ? one.T2 : one.T0) = one.RatedTorque / (fan ? std::pow(one.SynchronousSpeed, 2) : 2);
        MotorDataSet two = one;
        two.Rr2 = 1e9, two.Xr2sigma = 0.8;
        CurveBuffer a, b;
        ASSERT_EQ(RunStartComputation(one, &a, &a), 0);
        ASSERT_EQ(RunStartComputation(two, &b, &b), 0);
        EXPECT_EQ(two.SoftStarterTime, one.SoftStarterTime);
        ASSERT_EQ(a.points.size(), b.points.size());
        for (std::size_t k = 0; k < a.points.size(); ++k) {
            const CurvePoint &p = a.points[k], &q = b.points[k];
            const double pairs[][2] = {{p.x, q.x}, {p.dolCurrent, q.dolCurrent}, {p.dolTorque, q.dolTorque},
                                       {p.ssCurrent, q.ssCurrent}, {p.ssTorque, q.ssTorque}};
            for (const auto& v : pairs) EXPECT_REL(v[1], v[0], 1e-8) << k;
        }
        bool none1 = true, none2 = true;
        EXPECT_REL(OperatingSlip(two, 20, two.PhaseVoltage, none2), OperatingSlip(one, 20, one.PhaseVoltage, none1), 1e-8);
        EXPECT_FALSE(none1 || none2);
    }
}

TEST(DoubleCage, OperatingSlipIsTheSmallestRootOfTheTorqueBalance) {
    struct Case {
        int circuit;
        double load; // Tn
        bool none;
    } const cases[] = {{0, 1, false},   {0, 2.5, false}, {0, 2.9, true}, {0, -1, true},   {1, 4.45, false},
                       {1, 4.6, false}, // between the humps, on the rise to the one near standstill
                       {1, 5.6, true},  {2, 7.0, false}, {2, 7.6, true}, {3, 0.5, false}, {3, 0, false}};
    for (const Case& c : cases) {
        const MotorDataSet ds = WithCircuit(DoubleCages[c.circuit]);
        const double load = c.load * ds.RatedTorque, u = ds.PhaseVoltage, target = c.load == 0 ? 1e-6 : load;
        bool none = false;
        const double s = OperatingSlip(ds, load, u, none);
        ASSERT_EQ(none, c.none) << c.circuit << " " << c.load;
        if (c.none) {
            EXPECT_TRUE(load < 0 || Scanned(ds, 0, 1).torque < load);
            continue;
        }
        // A root to the last digits, and none below it.
        EXPECT_LT(MotorTorque(ds, s * (1 - 1e-14), u), target) << c.circuit << " " << c.load;
        EXPECT_GT(MotorTorque(ds, s * (1 + 1e-14), u), target) << c.circuit << " " << c.load;
        for (int k = 1; k < 5000; ++k) ASSERT_LT(MotorTorque(ds, s * k / 5000, u), target) << c.load << " " << k;
    }
}

TEST(DoubleCage, TorqueMaximumIsTheGlobalOneOnEitherHump) {
    struct Case {
        int circuit; // -1: the single-cage reference motor
        double lo, hi, slip;
    } const cases[] = {{0, 0, 1, 0.318},   {0, 0.4, 1, 0.4}, {1, 0, 1, 0.742},   {1, 0, 0.15, 0.087},
                       {1, 0.2, 0.5, 0.5}, {2, 0, 1, 0.111}, {2, 0.5, 1, 0.971}, {2, 0.1, 0.1, 0.1},
                       {3, 0, 1, 0.1074},  {-1, 0, 1, 0.740}};
    for (const Case& c : cases) {
        const MotorDataSet ds = c.circuit < 0 ? IdentifiedFourKilowattMotor() : WithCircuit(DoubleCages[c.circuit]);
        const TorquePeak peak = TorqueMaximum(ds, c.lo, c.hi, ds.PhaseVoltage), grid = Scanned(ds, c.lo, c.hi);
        EXPECT_NEAR(peak.slip, c.slip, 1e-3) << c.circuit << " " << c.lo;
        EXPECT_EQ(peak.torque, MotorTorque(ds, peak.slip, ds.PhaseVoltage));
        EXPECT_GE(peak.torque, grid.torque) << c.circuit << " " << c.lo;
        EXPECT_LT(peak.torque, grid.torque * (1 + 1e-6)) << c.circuit << " " << c.lo;
    }
}

TEST(DoubleCage, SecondCageRefusalsAndWhoseCircuitIsGiven) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        double rr2, xr2;
        int number;
        const char* element;
    } const cases[] = {{nan, 1.1, ErrCircuitNotFinite, ""},   {9, HUGE_VAL, ErrCircuitNotFinite, ""},
                       {-1, 1.1, ErrNegativeElement, "R'r2"}, {9, -0.1, ErrNegativeElement, "X'r2sigma"},
                       {0, 1.1, ErrValueAboveAtMost, "R'r2"}, {9, 0, 0, ""}};
    for (const Case& c : cases) {
        MotorDataSet ds = ExampleDoubleCageMotor();
        ds.Rr2 = c.rr2, ds.Xr2sigma = c.xr2;
        const Refusal r = CheckCircuit(ds);
        EXPECT_EQ(r.number, c.number) << c.rr2 << " " << c.xr2;
        EXPECT_EQ(r.argument.english, c.element);
        EXPECT_EQ(r.argument.french, c.element);
        EXPECT_EQ(RunStartComputation(ds, nullptr, nullptr).number, c.number);
    }
    MotorDataSet ds = ExampleDoubleCageMotor();
    ds.Rr2 = 0;
    EXPECT_EQ(ErrorText(CheckCircuit(ds), Language::French),
              "La valeur de «\u00a0R'r2\u00a0» doit être supérieure à 0\u00a0Ω\u00a0!");

    // A data-sheet motor keeps its circuit; a typed one gets the nameplate's, with one cage, and a
    // refused computation leaves the circuit as it was.
    const MotorDataSet given = ExampleDoubleCageMotor();
    MotorDataSet sheet = given, typed = given;
    sheet.MotorFromList = typed.MotorFromList = false;
    sheet.LockedRotorCurrentRatio = 5, sheet.LockedRotorTorqueRatio = 2.36, sheet.BreakdownTorqueRatio = 2.85;
    ASSERT_EQ(RunStartComputation(sheet, nullptr, nullptr), 0);
    EXPECT_TRUE(sheet.Rs == given.Rs && sheet.Rr2 == given.Rr2 && sheet.Xr2sigma == given.Xr2sigma);
    typed.LimitCurrentMode = true, typed.DesiredImaxIn = 0.5;
    EXPECT_EQ(RunStartComputation(typed, nullptr, nullptr), ErrLimitUnreachable);
    EXPECT_TRUE(typed.Rs == given.Rs && typed.Rr2 == given.Rr2 && typed.Xr2sigma == given.Xr2sigma);
    typed.DesiredImaxIn = 3;
    ASSERT_EQ(RunStartComputation(typed, nullptr, nullptr), 0);
    EXPECT_TRUE(typed.Rr2 == 0 && typed.Xr2sigma == 0 && typed.Rr == typed.Rs);
}
