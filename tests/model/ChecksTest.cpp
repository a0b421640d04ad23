#include <gtest/gtest.h>

#include <cmath>
#include <regex>
#include <string>
#include <utility>

#include "Checks.h"
#include "ErrorMessages.h"
#include "MotorFixtures.h"
#include "StartSimulation.h"

namespace {
MotorDataSet Typed() {
    MotorDataSet ds = FourKilowattMotor(true);
    ds.PairOfPoles = ds.SynchronousSpeed = ds.PhaseVoltage = ds.PhaseCurrent = 0; // not derived yet
    return ds;
}

// Every value of every curve that a computation produced is finite.
void ExpectFiniteResults(const MotorDataSet& ds) {
    for (const Curve* c : {&ds.TimeAxis, &ds.DolCurrentCurve, &ds.DolTorqueCurve, &ds.SoftStarterCurrentCurve,
                           &ds.SoftStarterTorqueCurve, &ds.SpeedAxis})
        for (double v : *c) ASSERT_TRUE(std::isfinite(v));
    ASSERT_TRUE(std::isfinite(ds.ImaxIn));
    ASSERT_TRUE(std::isfinite(ds.SoftStarterTime));
}
} // namespace

TEST(ConfirmRatedValues, DivisionsByZeroAreRefusedBeforeAnythingIsDerived) {
    struct Case {
        void (*change)(MotorDataSet&);
        int error;
    };
    const Case cases[] = {
        {[](MotorDataSet& d) { d.RatedSpeed = 0; }, ErrRatedSpeedZero},
        {[](MotorDataSet& d) { d.RatedSpeed = 6001; }, ErrNoPairOfPoles},
        {[](MotorDataSet& d) { d.Frequency = 0; }, ErrFrequencyZero},
        {[](MotorDataSet& d) { d.LineCurrent = 0; }, ErrLineCurrentZero},
        {[](MotorDataSet& d) { d.LineVoltage = 0; }, ErrLineVoltageZero},
        {[](MotorDataSet& d) { d.PowerFactor = 0; }, ErrPowerFactorZero},
        {[](MotorDataSet& d) { d.MechanicalPower = 0; }, ErrMechanicalPowerZero},
    };
    for (const Case& c : cases) {
        MotorDataSet ds = Typed();
        c.change(ds);
        EXPECT_EQ(ConfirmRatedValues(ds), c.error);
        EXPECT_EQ(ds.PhaseVoltage, 0) << "derived values must stay untouched";
        EXPECT_NE(ErrorMessage(c.error, Language::English), nullptr);
        EXPECT_NE(ErrorMessage(c.error, Language::French), nullptr);
    }
}

TEST(ConfirmRatedValues, PlausibilityAndIdentificationRefusals) {
    MotorDataSet ds = Typed();
    EXPECT_EQ(ConfirmRatedValues(ds), 0);
    EXPECT_EQ(ds.PairOfPoles, 2);

    ds = Typed();
    ds.PowerFactor = 1.01;
    EXPECT_EQ(ConfirmRatedValues(ds), 20);
    ds.PowerFactor = -1.01;
    EXPECT_EQ(ConfirmRatedValues(ds), 20);
    ds.PowerFactor = 0.82;
    ds.MechanicalPower = 6000;
    EXPECT_EQ(ConfirmRatedValues(ds), 21);

    // No losses at all: equal powers pass error 21 but leave no iron loss to share.
    ds = Typed();
    DeriveRatedValues(ds);
    ds.MechanicalPower = ds.ElectricalPower;
    EXPECT_EQ(ConfirmRatedValues(ds), ErrNoLosses);

    // A power factor of 1 leaves no reactive power to identify the reactances from, in both
    // modes (with the no-load current given it once gave negative leakage reactances).
    ds = Typed();
    ds.PowerFactor = 1;
    ds.ApproximationWithoutNoLoadCurrent = true;
    EXPECT_EQ(ConfirmRatedValues(ds), 20);
    ds.ApproximationWithoutNoLoadCurrent = false;
    EXPECT_EQ(ConfirmRatedValues(ds), 20);

    ds = Typed();
    ds.NoLoadLineCurrent = 0;
    EXPECT_EQ(ConfirmRatedValues(ds), ErrNoLoadCurrentZero);
    ds.ApproximationWithoutNoLoadCurrent = true;
    EXPECT_EQ(ConfirmRatedValues(ds), 0);
}

TEST(CheckComputable, EmptyAndBrokenDataSetsAreRefused) {
    MotorDataSet empty;
    PresetStartInputs(empty);
    EXPECT_EQ(CheckComputable(empty), ErrNoMotor);
    empty.ShowStaticCurves = true;
    EXPECT_EQ(RunStartComputation(empty, nullptr, nullptr), ErrNoMotor);

    MotorDataSet listed = IdentifiedFourKilowattMotor();
    listed.MotorFromList = true;
    EXPECT_EQ(CheckComputable(listed), 0);
    listed.Rr = 0;
    EXPECT_EQ(CheckComputable(listed), ErrRotorResistanceZero);
    listed.Rr = 1;
    listed.Riron = 0;
    listed.Xh = 0;
    EXPECT_EQ(CheckComputable(listed), ErrCircuitNotFinite);
    listed.Xh = 0;
    listed.Riron = 1000;
    listed.Rs = 0;
    listed.Xssigma = 0;
    EXPECT_EQ(CheckComputable(listed), ErrCircuitNotFinite);
    // A negative element could once cancel Zs + Zh; it is refused for itself now.
    listed.Xh = 50;
    listed.Xssigma = -50;
    EXPECT_EQ(CheckComputable(listed), ErrNegativeElement);
    EXPECT_EQ(CheckComputable(listed).argument.english, "Xssigma");

    MotorDataSet noTime = FourKilowattMotor();
    noTime.EstimatedStartTime = 0;
    EXPECT_EQ(CheckComputable(noTime), ErrEstimatedTimeZero);
    noTime.EstimatedStartTime = -3;
    EXPECT_EQ(RunStartComputation(noTime, nullptr, nullptr), ErrEstimatedTimeZero);

    // A typed motor never confirmed has no derived values yet.
    MotorDataSet underived = Typed();
    EXPECT_EQ(CheckComputable(underived), ErrNoMotor);
}

TEST(RunStartComputation, NoNonFiniteValueEverComesOut) {
    // A circuit that passes the checks but whose impedance vanishes at some slip.
    MotorDataSet ds = IdentifiedFourKilowattMotor();
    ds.MotorFromList = true;
    ds.ShowStaticCurves = true;
    ds.Rs = 0;
    ds.Xssigma = 0;
    ds.Xrsigma = 0;
    ds.Riron = 1e308;
    ds.Xh = 1e308;
    // Riron and Xh square beyond the doubles: the circuit's evaluation overflows.
    const MotorDataSet before = ds;
    EXPECT_EQ(RunStartComputation(ds, nullptr, nullptr), ErrCircuitOverflow);
    EXPECT_EQ(ds.DolCurrentCurve, before.DolCurrentCurve);

    MotorDataSet ok = FourKilowattMotor();
    ok.ShowStaticCurves = true;
    ASSERT_EQ(RunStartComputation(ok, nullptr, nullptr), 0);
    ExpectFiniteResults(ok);
}

TEST(ErrorMessages, TableTextsStandAsWritten) {
    EXPECT_STREQ(ErrorMessage(30, Language::French), "Il faut d'a^bord choisir le moteur dans la liste!");
    EXPECT_STREQ(ErrorMessage(7, Language::English), "Nominal speed is not declared");
    EXPECT_STREQ(ErrorMessage(200, Language::French), "Les valeurs ne sont pas déclarées");
    EXPECT_STREQ(ErrorMessage(100, Language::English), "You must declare \"Nominals Values\" before!");
    EXPECT_STREQ(ErrorMessage(1, Language::English), "Mecanical power is not declared!");
    EXPECT_EQ(ErrorMessage(0, Language::English), nullptr);
    EXPECT_EQ(ErrorMessage(8, Language::French), nullptr);
    int count = 0;
    for (int n = 0; n <= 300; ++n)
        if (ErrorMessage(n, Language::English)) {
            ++count;
            EXPECT_NE(ErrorMessage(n, Language::French), nullptr) << n;
        }
    // original, division guards, diagram fields, list texts, hardening (+108, 109), list faults, studies
    // and sweeps, dynamic start (with the command line's numbers of each group), the command line's
    // files and texts, the settings' ranges, study texts, data sheets (identification, then the
    // command line's, the list's and the batch table's), the overload relay
    EXPECT_EQ(count, 16 + 15 + 6 + 2 + 6 + 2 + 5 + (15 + 5) + (6 + 8 + 6) + 8 + 2 + 1 + (5 + 4) + 6);
}

// No line of a message may start with a unit or a French sign: a value keeps its unit, and French
// keeps a no-break space before "!", "?", ":", ";" and inside « » (the arguments' spaces too), in
// every message but the original ones, which stay as users have always read them.
TEST(ErrorMessages, NoLineBreakBeforeAUnitOrAFrenchSign) {
    const std::regex loneUnit(R"((\d|%\d) (s|A|%|MiB|Mio|kg)\b)");
    const ErrorArgument argument{"a « b » c : d", "a « b » c : d", "1 s", "2 %"};
    int checked = 0;
    for (int n = 1; n <= 300; ++n) {
        if (!ErrorMessage(n, Language::English)) continue;
        const bool original = n < 80 || n == 100 || n == 200;
        for (Language l : {Language::English, Language::French}) {
            const std::string text = ErrorText(n, l, argument);
            if (!original) {
                EXPECT_FALSE(std::regex_search(ErrorMessage(n, l), loneUnit)) << n << ": " << text;
            }
            if (l == Language::French && !original) {
                for (const char* plain : {" !", " ?", " :", " ;", "« ", " »"})
                    EXPECT_EQ(text.find(plain), std::string::npos) << n << ": " << text;
                EXPECT_EQ(text.find("!"), text.find("\u00A0!") + 2) << n << ": " << text;
                ++checked;
            }
        }
    }
    EXPECT_GE(checked, 80);
    EXPECT_EQ(ErrorText(70, Language::French), "Le couple de charge est trop grand!");
    EXPECT_EQ(ErrorText(51, Language::French), "Le temps du Soft-Starter doit être plus petit que 30s!");
}

TEST(ErrorMessages, ARepeatedTextIsCutAfterSixtyCharacters) {
    const std::string sixty(60, 'a');
    std::string accents;
    for (int i = 0; i < 30; ++i)
        accents += "é";
    const std::pair<std::string, std::string> cases[] = {
        {"", ""},
        {"abc", "abc"},
        {sixty, sixty},
        {sixty + "b", sixty + "…"},
        {std::string(5 << 20, 'x'), std::string(60, 'x') + "…"},
        // Characters, not bytes: "é" is two bytes, "€" three, and none is cut in two.
        {std::string(59, 'a') + "éé", std::string(59, 'a') + "é…"},
        {accents + std::string(30, 'e'), accents + std::string(30, 'e')},
        {accents + std::string(31, 'e'), accents + std::string(30, 'e') + "…"},
        {std::string(59, 'a') + "€€", std::string(59, 'a') + "€…"},
    };
    for (const auto& [text, shown] : cases)
        EXPECT_EQ(Excerpt(text), shown) << text.size();
}

TEST(ErrorMessages, ArgumentFillsTheMessageInEachLanguage) {
    const ErrorArgument element{"X'rsigma", "X'rsigma"};
    EXPECT_EQ(ErrorText(ErrNegativeElement, Language::English, element), "X'rsigma must not be negative!");
    EXPECT_EQ(ErrorText(ErrNegativeElement, Language::French, element), "X'rsigma ne doit pas être négative\u00A0!");
    const Refusal r{ErrValueOverflows, {"Rated Speed", "Vitesse nominale"}};
    EXPECT_EQ(ErrorText(r, Language::French),
              "La valeur de «\u00A0Vitesse nominale\u00A0» est si grande qu'une grandeur calculée dépasse les limites des "
              "nombres\u00A0!");
    // A second part fills "%2"; what fills one place is never searched for the other.
    const ErrorArgument range{"%2 Load Inertia", "%2 Inertie", "0 and %1", "0 et %1"};
    EXPECT_EQ(ErrorText(ErrValueOutOfRange, Language::English, range),
              "The value of \"%2 Load Inertia\" must lie between 0 and %1!");
    EXPECT_EQ(ErrorText(ErrValueOutOfRange, Language::French, range),
              "La valeur de «\u00a0%2 Inertie\u00a0» doit être comprise entre 0 et %1\u00a0!");
    // Messages without "%1" stand as they are; unknown numbers have no text.
    EXPECT_EQ(ErrorText(7, Language::English, element), "Nominal speed is not declared");
    EXPECT_EQ(ErrorText(8, Language::English), "");
}
