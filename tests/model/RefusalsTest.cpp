// Refusals of motors and settings that would give wrong, infinite or vanished values: a power
// factor of 1, a no-load current beyond In sin phi, negative values, derived values beyond the
// doubles, circuits whose evaluation overflows, and a preset outside 0-100 %.

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <tuple>

#include "Checks.h"
#include "ErrorMessages.h"
#include "MotorFixtures.h"
#include "OperatingPoint.h"
#include "StartSimulation.h"

namespace {
// A nameplate as typed, not confirmed yet.
MotorDataSet Nameplate(double power, double voltage, double current, double powerFactor, double frequency,
                       double speed, double noLoad, bool star = true, bool approximate = false) {
    MotorDataSet ds;
    PresetStartInputs(ds);
    ds.MechanicalPower = power;
    ds.LineVoltage = voltage;
    ds.LineCurrent = current;
    ds.PowerFactor = powerFactor;
    ds.Frequency = frequency;
    ds.RatedSpeed = speed;
    ds.NoLoadLineCurrent = noLoad;
    ds.StarCoupling = star;
    ds.ApproximationWithoutNoLoadCurrent = approximate;
    return ds;
}

MotorDataSet Listed() {
    MotorDataSet ds = IdentifiedFourKilowattMotor();
    ds.MotorFromList = true;
    return ds;
}

// Every stored number of the data set and its curves is finite.
void ExpectAllFinite(const MotorDataSet& ds) {
    for (double v :
         {ds.PairOfPoles, ds.SynchronousSpeed, ds.PhaseVoltage, ds.PhaseCurrent, ds.NoLoadPhaseCurrent,
          ds.NoLoadLineCurrent, ds.ElectricalPower, ds.RatedTorque, ds.Efficiency, ds.Rs, ds.Xssigma, ds.Rr,
          ds.Xrsigma, ds.Xh, ds.Riron, ds.ImaxIn, ds.SoftStarterTime})
        ASSERT_TRUE(std::isfinite(v));
    for (const Curve* c : {&ds.TimeAxis, &ds.DolCurrentCurve, &ds.DolTorqueCurve, &ds.SoftStarterCurrentCurve,
                           &ds.SoftStarterTorqueCurve, &ds.SpeedAxis})
        for (double v : *c)
            ASSERT_TRUE(std::isfinite(v));
}
} // namespace

TEST(PowerFactorOne, IsRefusedWith20InBothModesForEveryNameplate) {
    // Half of such nameplates once failed with 92, the others gave negative leakage reactances.
    for (bool approximate : {false, true})
        for (bool star : {true, false}) {
            MotorDataSet ds = Nameplate(1000, 230, 8.5, 1, 50, 1440, 4.5, star, approximate);
            EXPECT_EQ(ConfirmRatedValues(ds), 20) << star << approximate;
        }
    std::mt19937_64 rng(3);
    std::uniform_real_distribution<double> unit(0, 1);
    for (int n = 0; n < 2000; ++n) {
        const double voltage = 100 + 900 * unit(rng), current = 0.5 + 200 * unit(rng);
        const double electrical = std::sqrt(3.0) * voltage * current;
        MotorDataSet ds = Nameplate(electrical * (0.5 + 0.45 * unit(rng)), voltage, current, 1, 50, 1450,
                                    current * unit(rng), rng() % 2, rng() % 2);
        const Refusal r = ConfirmRatedValues(ds);
        ASSERT_EQ(r.number, 20) << n;
        EXPECT_EQ(CheckIdentification(ds), 20); // the computation's own check agrees
    }
}

TEST(PowerFactorOne, JustBelowOneIsRefusedOrGivesPositiveReactances) {
    std::mt19937_64 rng(5);
    std::uniform_real_distribution<double> unit(0, 1);
    const double belowOne = std::nextafter(1.0, 0.0);
    for (int n = 0; n < 2000; ++n) {
        const double voltage = 100 + 900 * unit(rng), current = 0.5 + 200 * unit(rng);
        MotorDataSet ds = Nameplate(std::sqrt(3.0) * voltage * current * 0.8, voltage, current, belowOne, 50,
                                    1450, 1e-9 * current, rng() % 2, rng() % 2);
        const Refusal r = ConfirmRatedValues(ds);
        if (r.number != 0) {
            ASSERT_TRUE(r.number == 20 || r.number == ErrNoLoadCurrentTooBig) << r.number;
            continue;
        }
        IdentifyEquivalentDiagram(ds);
        ASSERT_GT(ds.Xssigma, 0) << n;
        ASSERT_GT(ds.Xh, 0) << n;
    }
}

TEST(NoLoadCurrentLimit, AtOrAboveInSinPhiIsRefusedGivingTheLimit) {
    // 8.5 A x sqrt(1 - 0.82^2) = 4.865 A, the same limit for the line values in star and delta.
    for (bool star : {true, false}) {
        MotorDataSet ds = Nameplate(4000, 400, 8.5, 0.82, 50, 1440, 4.9, star);
        const Refusal r = ConfirmRatedValues(ds);
        EXPECT_EQ(r.number, ErrNoLoadCurrentTooBig) << star;
        EXPECT_EQ(ErrorText(r, Language::English),
                  "No load line current must be less than 4.87\u00A0A (line current x sin phi)!");
        EXPECT_EQ(ErrorText(r, Language::French),
                  "Le courant de ligne à vide doit être plus petit que 4.87\u00A0A (courant de ligne x sin phi)\u00A0!");
        ds = Nameplate(4000, 400, 8.5, 0.82, 50, 1440, 4.85, star);
        ASSERT_EQ(ConfirmRatedValues(ds), 0);
        IdentifyEquivalentDiagram(ds);
        EXPECT_GT(ds.Xssigma, 0);
    }
    // Whatever is accepted identifies positive leakage reactances; what is refused lies at the limit.
    std::mt19937_64 rng(9);
    std::uniform_real_distribution<double> unit(0, 1);
    for (int n = 0; n < 5000; ++n) {
        const double current = 1 + 50 * unit(rng), pf = 0.5 + 0.49 * unit(rng);
        const double limit = current * std::sqrt(1 - pf * pf);
        MotorDataSet ds =
            Nameplate(2000, 400, current, pf, 50, 1440, limit * (0.98 + 0.04 * unit(rng)), rng() % 2);
        ds.MechanicalPower = std::sqrt(3.0) * 400 * current * pf * 0.8;
        const Refusal r = ConfirmRatedValues(ds);
        if (r.number == 0) {
            IdentifyEquivalentDiagram(ds);
            ASSERT_GT(ds.Xssigma, 0);
        } else {
            ASSERT_EQ(r.number, ErrNoLoadCurrentTooBig);
            ASSERT_GT(ds.NoLoadLineCurrent, limit * (1 - 1e-12));
        }
    }
}

TEST(NegativeValues, AreRefusedWithTheMessageThatSaysGreaterThanZero) {
    struct Case {
        void (*change)(MotorDataSet&);
        int error;
    };
    const Case cases[] = {
        {[](MotorDataSet& d) { d.MechanicalPower = -4000; }, ErrMechanicalPowerZero},
        {[](MotorDataSet& d) { d.LineVoltage = -400; }, ErrLineVoltageZero},
        {[](MotorDataSet& d) { d.Frequency = -50; }, ErrFrequencyZero},
        {[](MotorDataSet& d) { d.LineCurrent = -8.5; }, ErrLineCurrentZero},
        {[](MotorDataSet& d) { d.RatedSpeed = -1440; }, ErrRatedSpeedZero},
        {[](MotorDataSet& d) { d.NoLoadLineCurrent = -4.5; }, ErrNoLoadCurrentZero},
    };
    for (const Case& c : cases) {
        MotorDataSet ds = Nameplate(4000, 400, 8.5, 0.82, 50, 1440, 4.5);
        c.change(ds);
        EXPECT_EQ(ConfirmRatedValues(ds), c.error);
    }
    MotorDataSet ds = FourKilowattMotor();
    ds.EstimatedStartTime = -10;
    EXPECT_EQ(CheckComputable(ds), ErrEstimatedTimeZero);
}

TEST(DerivedValues, BeyondTheDoublesAreRefusedNamingTheField) {
    struct Case {
        const char* what;
        MotorDataSet ds;
        int error;
        const char* english;
        const char* french;
    };
    auto listed = [](void (*change)(MotorDataSet&)) {
        MotorDataSet ds = Listed();
        change(ds);
        return ds;
    };
    const Case cases[] = {
        {"line current 1e308: infinite electrical power", Nameplate(4000, 400, 1e308, 0.82, 50, 1440, 4.5),
         ErrValueOverflows, "Line Current", "Courant de ligne"},
        {"rated speed 1e-307: infinite pole pairs", Nameplate(4000, 400, 8.5, 0.82, 50, 1e-307, 4.5),
         ErrValueSmallOverflows, "Rated Speed", "Vitesse nominale"},
        {"frequency 1e308 at 1 rpm", Nameplate(4000, 400, 8.5, 0.82, 1e308, 1, 4.5), ErrValueOverflows,
         "Frequency", "Fréquence"},
        {"subnormal line voltage", Nameplate(4000, 1e-310, 8.5, 0.82, 50, 1440, 4.5), ErrValueVanishes,
         "Line Voltage", "Tension de ligne"},
        {"listed power factor 5e-324: electrical power vanishes",
         listed([](MotorDataSet& d) { d.PowerFactor = 5e-324; }), ErrValueVanishes, "Power Factor",
         "Facteur de puissance"},
        {"listed power factor 1e-307: infinite efficiency",
         listed([](MotorDataSet& d) { d.PowerFactor = 1e-307; }), ErrValueSmallOverflows, "Power Factor",
         "Facteur de puissance"},
        {"listed power 1e-320: rated torque vanishes",
         listed([](MotorDataSet& d) { d.MechanicalPower = 1e-320; }), ErrValueVanishes, "Mechanical Power",
         "Puissance mécanique"},
    };
    for (const Case& c : cases) {
        MotorDataSet ds = c.ds;
        const Refusal r = c.ds.MotorFromList ? CheckRatedValues(ds) : ConfirmRatedValues(ds);
        EXPECT_EQ(r.number, c.error) << c.what;
        EXPECT_EQ(r.argument.english, c.english) << c.what;
        EXPECT_EQ(r.argument.french, c.french) << c.what;
        // The computation meets the same refusal for a listed motor, typed or not.
        MotorDataSet computed = c.ds;
        if (c.ds.MotorFromList) {
            EXPECT_EQ(RunStartComputation(computed, nullptr, nullptr).number, c.error) << c.what;
        }
    }
    const Refusal r = CheckRatedValues(Nameplate(4000, 400, 1e308, 0.82, 50, 1440, 4.5));
    EXPECT_EQ(ErrorText(r, Language::English),
              "The value of \"Line Current\" is so large that a derived value overflows!");
    EXPECT_EQ(
        ErrorText(r, Language::French),
        "La valeur de «\u00A0Courant de ligne\u00A0» est si grande qu'une grandeur calculée dépasse les limites des "
        "nombres\u00A0!");
}

TEST(DerivedValues, EstimatedTimeWhoseTimeLawLeavesTheDoublesIsRefused) {
    for (const auto& [time, error] :
         {std::pair{5e-324, ErrValueVanishes}, std::pair{1e-306, ErrValueVanishes},
          std::pair{1.7e308, ErrValueOverflows}}) {
        MotorDataSet ds = FourKilowattMotor();
        ds.EstimatedStartTime = time;
        const Refusal r = RunStartComputation(ds, nullptr, nullptr);
        EXPECT_EQ(r.number, error) << time;
        EXPECT_EQ(r.argument.english, "Estimated Time to Start Motor with Load");
        EXPECT_EQ(r.argument.french, "Temps estimé pour le démarrage du moteur en charge");
    }
    // The smallest and largest times whose grid stays normal are computed with finite results.
    for (double time : {1e-300, 1e300}) {
        MotorDataSet ds = FourKilowattMotor();
        ds.EstimatedStartTime = time;
        ds.ShowStaticCurves = true;
        ASSERT_EQ(RunStartComputation(ds, nullptr, nullptr), 0) << time;
        ExpectAllFinite(ds);
    }
}

TEST(CircuitOverflow, IsRefusedWherePathsMeetTheCircuit) {
    // Riron 1e155: Riron^2 + Xh^2 overflows, and the currents once came out finite but wrong.
    MotorDataSet ds = Listed();
    ds.Riron = 1e155;
    EXPECT_EQ(CheckCircuit(ds), ErrCircuitOverflow);
    EXPECT_EQ(RunStartComputation(ds, nullptr, nullptr), ErrCircuitOverflow);

    // A huge Xh once read as "Loaded Torque is too big!" without any load.
    ds = Listed();
    ds.Xh = 1e200;
    EXPECT_EQ(CheckComputable(ds), ErrCircuitOverflow);

    // R'r 1e152 passes at standstill but overflows at the small slips near the end of the start:
    // only the computation sees it, and leaves the data set as it was.
    ds = Listed();
    ds.Rr = 1e152;
    EXPECT_EQ(CheckComputable(ds), 0);
    const MotorDataSet before = ds;
    EXPECT_EQ(RunStartComputation(ds, nullptr, nullptr), ErrCircuitOverflow);
    EXPECT_EQ(ds.TimeAxis, before.TimeAxis);
    EXPECT_EQ(ds.SoftStarterTime, before.SoftStarterTime);

    EXPECT_EQ(
        ErrorText(ErrCircuitOverflow, Language::English),
        "The equivalent diagram's values are so large that the current or torque computation overflows!");
}

TEST(CircuitOverflow, TheWatchChangesNoValue) {
    const MotorDataSet ds = IdentifiedFourKilowattMotor();
    RangeWatch watch;
    const CircuitEvaluator plain(ds), watched(ds, &watch);
    for (double slip = 1; slip > 1e-4; slip *= 0.9) {
        ASSERT_EQ(plain.InputImpedance(slip), watched.InputImpedance(slip, &watch));
        ASSERT_EQ(plain.Torque(slip, 100), watched.Torque(slip, 100, &watch));
        ASSERT_EQ(CircuitEvaluator::Current(plain.InputImpedance(slip), ds.PhaseVoltage),
                  CircuitEvaluator::Current(plain.InputImpedance(slip), ds.PhaseVoltage, &watch));
    }
    bool none = false;
    EXPECT_EQ(OperatingSlip(ds, 20, ds.PhaseVoltage, none),
              OperatingSlip(ds, 20, ds.PhaseVoltage, none, &watch));
    EXPECT_FALSE(watch.overflowed);
    EXPECT_FALSE(watch.vanished);
    // A tiny load only drives the slip to 0; it is no overflow of the circuit.
    EXPECT_EQ(OperatingSlip(ds, 1e-310, ds.PhaseVoltage, none, &watch), 0);
    EXPECT_FALSE(none);
    EXPECT_FALSE(watch.overflowed);
}

TEST(CircuitRange, ValuesThatVanishOrRatiosThatOverflowAreRefusedNamingTheCause) {
    // Elements of 1e-160 square below the doubles: divisions by 0 or by digits that are gone.
    MotorDataSet tiny = Listed();
    tiny.Rs = tiny.Rr = tiny.Xssigma = tiny.Xrsigma = tiny.Xh = 1e-160;
    tiny.Riron = 1e-170;
    Refusal r = CheckCircuit(tiny);
    EXPECT_EQ(r.number, ErrValueVanishes);
    EXPECT_EQ(r.argument.english, "Riron"); // the smallest element
    EXPECT_EQ(r.argument.french, "Rfer");
    EXPECT_EQ(RunStartComputation(tiny, nullptr, nullptr).number, ErrValueVanishes);

    // A typed motor whose identified circuit is that small: the line current set its scale.
    MotorDataSet typed = FourKilowattMotor();
    typed.LineCurrent = 8.5e298;
    r = ConfirmRatedValues(typed);
    EXPECT_EQ(r.number, ErrValueLargeVanishes);
    EXPECT_EQ(r.argument.english, "Line Current");
    EXPECT_EQ(ErrorText(r, Language::English),
              "The value of \"Line Current\" is so large that a derived value vanishes!");

    // A circuit in range, but a rated torque or current so small that the ratios overflow.
    for (const auto& [power, current, english] :
         {std::tuple{4e-306, 8.5, "Mechanical Power"}, std::tuple{1e-300, 1e-307, "Line Current"}}) {
        MotorDataSet ds = Listed();
        ds.MechanicalPower = power;
        ds.LineCurrent = current;
        DeriveRatedValues(ds);
        ASSERT_EQ(CheckComputable(ds), 0) << english;
        ds.LimitCurrentMode = true; // the search does not run on such ratios either
        r = RunStartComputation(ds, nullptr, nullptr);
        EXPECT_EQ(r.number, ErrValueSmallOverflows) << english;
        EXPECT_EQ(r.argument.english, english);
    }
}

TEST(NegativeElement, IsRefusedNamingTheFirstInCircuitOrder) {
    const char* const english[] = {"Rs", "R'r", "Xssigma", "X'rsigma", "Xh", "Riron"};
    const char* const french[] = {"Rs", "R'r", "Xssigma", "X'rsigma", "Xh", "Rfer"};
    for (int i = 0; i < 6; ++i) {
        MotorDataSet ds = Listed();
        double* const elements[] = {&ds.Rs, &ds.Rr, &ds.Xssigma, &ds.Xrsigma, &ds.Xh, &ds.Riron};
        *elements[i] = -0.5;
        if (i < 5) *elements[5] = -1; // a later negative element is not the one named
        const Refusal r = CheckCircuit(ds);
        EXPECT_EQ(r.number, ErrNegativeElement);
        EXPECT_EQ(r.argument.english, english[i]);
        EXPECT_EQ(ErrorText(r, Language::English), std::string(english[i]) + " must not be negative!");
        EXPECT_EQ(ErrorText(r, Language::French), std::string(french[i]) + " ne doit pas être négative\u00A0!");
        EXPECT_EQ(RunStartComputation(ds, nullptr, nullptr).number, ErrNegativeElement);
    }
    MotorDataSet zero = Listed();
    zero.Xssigma = zero.Xrsigma = 0; // zero is a valid element
    EXPECT_EQ(CheckCircuit(zero), 0);
}

TEST(Preset, MustLieBetweenZeroAndOneHundredPercent) {
    for (double preset : {-0.1, -1e-300, 1.0000000000000002, 50.0}) {
        MotorDataSet ds = FourKilowattMotor();
        ds.Preset = preset;
        EXPECT_EQ(RunStartComputation(ds, nullptr, nullptr), ErrPresetRange) << preset;
    }
    EXPECT_EQ(ErrorText(ErrPresetRange, Language::English), "Preset must lie between 0 and 100\u00A0%!");

    // Both bounds are accepted: no voltage at the start, or the full voltage from the start.
    MotorDataSet none = FourKilowattMotor();
    none.Preset = 0;
    ASSERT_EQ(RunStartComputation(none, nullptr, nullptr), 0);
    EXPECT_EQ(none.SoftStarterCurrentCurve[0], 0);
    MotorDataSet full = FourKilowattMotor();
    full.Preset = 1;
    ASSERT_EQ(RunStartComputation(full, nullptr, nullptr), 0);
    EXPECT_EQ(full.SoftStarterCurrentCurve, full.DolCurrentCurve);
    EXPECT_EQ(full.ImaxIn, PeakValue(full.DolCurrentCurve));
}
