#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "Dynamics.h"
#include "ExampleMotor.h"

namespace {
const double Inf = std::numeric_limits<double>::infinity();
const double NaN = std::numeric_limits<double>::quiet_NaN();

std::string English(const Refusal& r) {
    return ErrorText(r, Language::English);
}
std::string French(const Refusal& r) {
    return ErrorText(r, Language::French);
}
} // namespace

TEST(TypicalInertia, TablePointsInterpolationAndPoleFactors) {
    // Table points of the 4-pole column, exactly.
    EXPECT_NEAR(TypicalMotorInertia(4000, 2), 0.013, 1e-15);
    EXPECT_NEAR(TypicalMotorInertia(750, 2), 0.0024, 1e-16);
    EXPECT_NEAR(TypicalMotorInertia(200000, 2), 3.5, 1e-13);
    EXPECT_NEAR(TypicalMotorInertia(55000, 2), 0.72, 1e-14);
    // Between 4 and 5.5 kW: a straight line in log J against log P.
    const double slope = std::log(0.024 / 0.013) / std::log(5.5 / 4);
    EXPECT_NEAR(TypicalMotorInertia(5000, 2), 0.013 * std::pow(5.0 / 4, slope), 1e-15);
    // Beyond the table with the slope of its end segments.
    const double low = std::log(0.0032 / 0.0024) / std::log(1.1 / 0.75);
    EXPECT_NEAR(TypicalMotorInertia(370, 2), 0.0024 * std::pow(0.37 / 0.75, low), 1e-16);
    const double high = std::log(3.5 / 2.9) / std::log(200.0 / 160);
    EXPECT_NEAR(TypicalMotorInertia(315000, 2), 3.5 * std::pow(315.0 / 200, high), 1e-12);
    // Grows with the power everywhere.
    double previous = 0;
    for (double kw = 0.1; kw < 500; kw *= 1.07) {
        const double j = TypicalMotorInertia(kw * 1000, 2);
        EXPECT_GT(j, previous) << kw;
        previous = j;
    }
    // 2-pole half, 6-pole 1.75 times, 8 poles and more 2.5 times the 4-pole value.
    EXPECT_NEAR(TypicalMotorInertia(4000, 1), 0.0065, 1e-15);
    EXPECT_NEAR(TypicalMotorInertia(4000, 3), 0.013 * 1.75, 1e-15);
    EXPECT_NEAR(TypicalMotorInertia(4000, 4), 0.013 * 2.5, 1e-15);
    EXPECT_NEAR(TypicalMotorInertia(4000, 6), 0.013 * 2.5, 1e-15);
    EXPECT_EQ(TypicalMotorInertia(0, 2), 0);
    EXPECT_EQ(TypicalMotorInertia(NaN, 2), 0);
}

TEST(DynamicChecks, MechanicalDataRefusals) {
    const MotorDataSet ds = ExampleFourKilowattMotor();
    MechanicalData m;
    EXPECT_EQ(CheckMechanicalData(m, ds), 0); // typical inertia, no load inertia, 60 s
    EXPECT_NEAR(UsedMotorInertia(m, ds), 0.013, 1e-15);

    m.MotorInertia = -0.1;
    Refusal r = CheckMechanicalData(m, ds);
    EXPECT_EQ(r, ErrMechanicalNegative);
    EXPECT_EQ(English(r), "The value of Motor Inertia must not be negative!");
    EXPECT_EQ(French(r), "La valeur de « Inertie du moteur » ne doit pas être négative!");

    m.MotorInertia = 0.1;
    m.LoadInertia = -1e-9;
    r = CheckMechanicalData(m, ds);
    EXPECT_EQ(r, ErrMechanicalNegative);
    EXPECT_EQ(English(r), "The value of Load Inertia must not be negative!");

    m.LoadInertia = NaN;
    r = CheckMechanicalData(m, ds);
    EXPECT_EQ(r, ErrMechanicalNotFinite);
    EXPECT_EQ(French(r), "La valeur de « Inertie de la charge » n'est pas un nombre fini!");
    m.LoadInertia = 0;
    m.MotorInertia = Inf;
    EXPECT_EQ(CheckMechanicalData(m, ds), ErrMechanicalNotFinite);
    m.MotorInertia = 1e308;
    m.LoadInertia = 1e308;
    EXPECT_EQ(CheckMechanicalData(m, ds), ErrMechanicalNotFinite);

    // A zero total: the motor's zero is the user's value, the typical one does not replace it.
    m.MotorInertia = 0;
    m.LoadInertia = 0;
    EXPECT_EQ(CheckMechanicalData(m, ds), ErrTotalInertiaZero);
    m.LoadInertia = 0.5; // the load alone is fine
    EXPECT_EQ(CheckMechanicalData(m, ds), 0);
    // Without a motor the typical inertia is 0 too.
    MechanicalData typical;
    EXPECT_EQ(CheckMechanicalData(typical, MotorDataSet{}), ErrTotalInertiaZero);

    for (double limit : {0.0, -1.0, 3600.5, NaN, Inf}) {
        m.StartTimeLimit = limit;
        r = CheckMechanicalData(m, ds);
        EXPECT_EQ(r, ErrStartTimeLimitRange) << limit;
        EXPECT_EQ(English(r), "The start-time limit must be greater than 0 s and at most 3600 s!");
    }
    m.StartTimeLimit = 3600;
    EXPECT_EQ(CheckMechanicalData(m, ds), 0);
    m.StartTimeLimit = 1e-3;
    EXPECT_EQ(CheckMechanicalData(m, ds), 0);
}

TEST(DynamicChecks, NetworkRefusals) {
    SupplyNetwork n;
    n.SourceVoltage = -400; // a disabled network is not judged
    EXPECT_EQ(CheckSupplyNetwork(n), 0);
    n.Enabled = true;
    Refusal r = CheckSupplyNetwork(n);
    EXPECT_EQ(r, ErrNetworkNotPositive);
    EXPECT_EQ(English(r), "The value of Source Voltage must be greater than 0!");
    n.SourceVoltage.reset();
    EXPECT_EQ(CheckSupplyNetwork(n), 0); // infinite source, motor voltage

    auto refusal = [](auto change) {
        SupplyNetwork net;
        net.Enabled = true;
        net.ShortCircuitPower = 10e6;
        net.HasTransformer = true;
        net.TransformerPower = 250e3;
        net.TransformerUk = 4;
        net.TransformerUr = 1;
        net.HasCable = true;
        net.CableLength = 100;
        net.CableSection = 16;
        change(net);
        return CheckSupplyNetwork(net);
    };
    EXPECT_EQ(refusal([](SupplyNetwork&) {}), 0);
    EXPECT_EQ(refusal([](SupplyNetwork& x) { x.ShortCircuitPower = 0; }), ErrNetworkNotPositive);
    EXPECT_EQ(refusal([](SupplyNetwork& x) { x.ShortCircuitPower = Inf; }), ErrNetworkNotFinite);
    EXPECT_EQ(refusal([](SupplyNetwork& x) { x.SourceRX = -0.1; }), ErrNetworkNegative);
    EXPECT_EQ(refusal([](SupplyNetwork& x) { x.SourceRX = 0; }), 0);
    EXPECT_EQ(refusal([](SupplyNetwork& x) { x.TransformerPower = -1; }), ErrNetworkNotPositive);
    EXPECT_EQ(refusal([](SupplyNetwork& x) { x.TransformerUk = 0; }), ErrNetworkNotPositive);
    EXPECT_EQ(refusal([](SupplyNetwork& x) { x.TransformerUr = -1; }), ErrNetworkNegative);
    EXPECT_EQ(refusal([](SupplyNetwork& x) { x.TransformerUr = 4.5; }), ErrTransformerUrAboveUk);
    EXPECT_EQ(refusal([](SupplyNetwork& x) { x.TransformerUr = 4; }), 0);
    EXPECT_EQ(refusal([](SupplyNetwork& x) { x.CableLength = -1; }), ErrNetworkNegative);
    EXPECT_EQ(refusal([](SupplyNetwork& x) { x.CableLength = 0; }), 0);
    EXPECT_EQ(refusal([](SupplyNetwork& x) { x.CableSection = 0; }), ErrNetworkNotPositive);
    EXPECT_EQ(refusal([](SupplyNetwork& x) { x.CableParallel = 0; }), ErrCableParallel);
    EXPECT_EQ(refusal([](SupplyNetwork& x) { x.CableReactance = -0.08; }), ErrNetworkNegative);
    EXPECT_EQ(refusal([](SupplyNetwork& x) { x.CableReactance = NaN; }), ErrNetworkNotFinite);
    // Parts switched off are not judged.
    EXPECT_EQ(refusal([](SupplyNetwork& x) { x.HasCable = false, x.CableSection = 0; }), 0);
    EXPECT_EQ(refusal([](SupplyNetwork& x) { x.HasTransformer = false, x.TransformerUk = 0; }), 0);

    r = refusal([](SupplyNetwork& x) { x.CableSection = -2; });
    EXPECT_EQ(French(r), "La valeur de « Section du câble » doit être plus grande que 0!");
    EXPECT_EQ(English(Refusal(ErrTransformerUrAboveUk)),
              "The transformer's resistive voltage u_R must not exceed its short-circuit voltage u_k!");
}

TEST(DynamicChecks, NetworkImpedancesAndWholeSettings) {
    const MotorDataSet ds = ExampleFourKilowattMotor();
    SupplyNetwork n;
    n.Enabled = true;
    n.ShortCircuitPower = 4e6;
    n.SourceRX = 0.75; // |Z_k| = 0.04 ohm: X_k = 0.032, R_k = 0.024
    n.HasTransformer = true;
    n.TransformerPower = 160e3;
    n.TransformerUk = 5; // |Z_T| = 0.05 ohm, R_T = 0.03 ohm: X_T = 0.04 ohm
    n.TransformerUr = 3;
    n.HasCable = true;
    n.CableLength = 50;
    n.CableSection = 10;
    n.CableParallel = 2;
    n.Material = CableMaterial::Aluminium;
    n.CableReactance = 0.1;
    NetworkImpedances z = SupplyImpedances(n, ds);
    EXPECT_EQ(z.SourceVoltage, 400);
    EXPECT_NEAR(z.Source.X, 0.032, 1e-15);
    EXPECT_NEAR(z.Source.R, 0.024, 1e-15);
    EXPECT_NEAR(z.Transformer.R, 0.03, 1e-15);
    EXPECT_NEAR(z.Transformer.X, 0.04, 1e-15);
    EXPECT_NEAR(z.Cable.R, 0.0286 * 50 / 20, 1e-15);
    EXPECT_NEAR(z.Cable.X, 0.1 * 50 / 2000, 1e-15);
    n.Material = CableMaterial::Copper;
    n.SourceVoltage = 800; // impedances scale with U_src^2
    z = SupplyImpedances(n, ds);
    EXPECT_NEAR(z.Source.X, 0.128, 1e-15);
    EXPECT_NEAR(z.Cable.R, 0.0178 * 50 / 20, 1e-15);
    n.Enabled = false;
    z = SupplyImpedances(n, ds);
    EXPECT_EQ(z.Source.R + z.Source.X + z.Transformer.R + z.Transformer.X + z.Cable.R + z.Cable.X, 0);

    DynamicSettings s;
    EXPECT_EQ(CheckDynamicSettings(s, ds), 0);
    s.Network = n;
    s.Network.Enabled = true;
    s.Network.SourceVoltage = 1e200; // U_src^2 overflows
    EXPECT_EQ(CheckDynamicStartSettings(s, ds), ErrNetworkNotComputable);
    s.Network.SourceVoltage.reset();
    EXPECT_EQ(CheckDynamicStartSettings(s, ds), 0);
    for (double dip : {-1.0, 100.5, NaN}) {
        s.DipLimit = dip;
        EXPECT_EQ(CheckDynamicStartSettings(s, ds), ErrDipLimitRange) << dip;
    }
    s.DipLimit = 0;
    EXPECT_EQ(CheckDynamicStartSettings(s, ds), 0);
    // The methods and the starter count for the comparison only.
    s.Methods.ChangeoverSpeed = 1;
    EXPECT_EQ(CheckDynamicStartSettings(s, ds), 0);
    EXPECT_EQ(CheckDynamicSettings(s, ds), ErrMethodFraction);
    s.Methods.ChangeoverSpeed = 0.9;
    s.Starter = StarterDuty{100, "3.5-17:90-5x", 5};
    EXPECT_EQ(CheckDynamicSettings(s, ds), ErrStarterRatingSyntax);
    s.Starter->RatingCode = "3.5-17:90-5";
    EXPECT_EQ(CheckDynamicSettings(s, ds), 0);
    s.Mechanical.StartTimeLimit = 0; // first in order
    EXPECT_EQ(CheckDynamicSettings(s, ds), ErrStartTimeLimitRange);
}

TEST(DynamicChecks, MethodSettingsRefusals) {
    MethodSettings m;
    EXPECT_EQ(CheckMethodSettings(m), 0);
    for (double bad : {0.0, 1.0, -0.5, 1.5, NaN}) {
        MethodSettings a = m, b = m, c = m;
        a.ChangeoverSpeed = bad;
        b.AutotransformerTap = bad;
        c.ReactorVoltage = bad;
        EXPECT_EQ(CheckMethodSettings(a), ErrMethodFraction) << bad;
        EXPECT_EQ(CheckMethodSettings(b), ErrMethodFraction) << bad;
        EXPECT_EQ(CheckMethodSettings(c), ErrMethodFraction) << bad;
    }
    MethodSettings b = m;
    b.AutotransformerTap = 1;
    EXPECT_EQ(English(CheckMethodSettings(b)),
              "The value of Autotransformer Tap must lie strictly between 0 and 1!");
    EXPECT_EQ(French(CheckMethodSettings(b)),
              "La valeur de « Prise de l'autotransformateur » doit être strictement comprise entre 0 et 1!");
}

TEST(MethodKeys, OneKeyPerMethodInOrder) {
    const char* keys[] = {"dol", "star-delta", "autotransformer", "reactor", "soft-ramp", "soft-limit"};
    for (int i = 0; i < StartingMethodCount; ++i)
        EXPECT_STREQ(MethodKey(static_cast<StartingMethod>(i)), keys[i]);
}

TEST(StarterRating, ReadsTheFourNumbersInEveryAcceptedSpelling) {
    for (const char* text : {"AC-53a: 3.5-17: 90-5", "3.5-17:90-5", "ac-53A : 3,5 - 17 : 90 - 5",
                             "  AC-53a:3.5-17:90-5 ", "3,5-17,0:90-5"}) {
        StarterRatingCode c;
        ASSERT_EQ(ParseStarterRating(text, c), 0) << text;
        EXPECT_EQ(c.CurrentMultiple, 3.5) << text;
        EXPECT_EQ(c.StartTime, 17) << text;
        EXPECT_EQ(c.OnLoadFactor, 90) << text;
        EXPECT_EQ(c.StartsPerHour, 5) << text;
    }
    StarterRatingCode c;
    ASSERT_EQ(ParseStarterRating("4-30:100-10", c), 0);
    EXPECT_EQ(c.CurrentMultiple, 4);
    EXPECT_EQ(c.StartsPerHour, 10);
}

TEST(StarterRating, BadCodesAreRefusedAndLeaveTheResultAlone) {
    for (const char* text :
         {"", "3.5-17", "3.5-17:90", "3.5:17:90:5", "3.5-17-90-5", "3.5-17:90-5:1", "AC-53b: 3.5-17:90-5",
          "AC-53a 3.5-17:90-5", "x-17:90-5", "3.5-17:90-", "-17:90-5", "AC-53a:", "3.5 17:90-5"}) {
        StarterRatingCode c{1, 2, 3, 4};
        const Refusal r = ParseStarterRating(text, c);
        EXPECT_EQ(r, ErrStarterRatingSyntax) << text;
        EXPECT_EQ(c.CurrentMultiple, 1) << text;
        EXPECT_EQ(c.StartsPerHour, 4) << text;
    }
    StarterRatingCode unused;
    const Refusal r = ParseStarterRating("3.5/17:90/5", unused);
    EXPECT_EQ(English(r), "The starter rating \"3.5/17:90/5\" is not of the form X-Tx:F-S, optionally after "
                          "\"AC-53a:\" (e.g. AC-53a: 3.5-17: 90-5)!");
    EXPECT_EQ(French(r),
              "La classe du démarreur « 3.5/17:90/5 » n'est pas de la forme X-Tx:F-S, éventuellement "
              "précédée de « AC-53a: » (p. ex. AC-53a: 3.5-17: 90-5)!");
    StarterRatingCode c;
    EXPECT_EQ(ParseStarterRating("0-17:90-5", c), ErrStarterNotPositive);
    EXPECT_EQ(ParseStarterRating("3.5-0:90-5", c), ErrStarterNotPositive);
    EXPECT_EQ(ParseStarterRating("3.5-17:90-0", c), ErrStarterNotPositive);
    EXPECT_EQ(ParseStarterRating("3.5--17:90-5", c), ErrStarterNotPositive); // Tx read as -17
    EXPECT_EQ(English(ParseStarterRating("3.5-0:90-5", c)),
              "The value of Rating Tx (start time) must be a number greater than 0!");
    EXPECT_EQ(ParseStarterRating("3.5-17:120-5", c), ErrStarterOnLoadFactor);
    EXPECT_EQ(ParseStarterRating("3.5-17:0-5", c), 0); // F is read, not judged
}

TEST(StarterRating, DutySettingsRefusals) {
    EXPECT_EQ(CheckStarterDuty({100, "AC-53a: 3.5-17: 90-5", 5}), 0);
    EXPECT_EQ(CheckStarterDuty({0, "AC-53a: 3.5-17: 90-5", 5}), ErrStarterNotPositive);
    EXPECT_EQ(CheckStarterDuty({Inf, "AC-53a: 3.5-17: 90-5", 5}), ErrStarterNotPositive);
    EXPECT_EQ(CheckStarterDuty({100, "AC-53a: 3.5-17: 90-5", 0}), ErrStarterNotPositive);
    EXPECT_EQ(CheckStarterDuty({100, "AC-53a: 3.5-17: 90-5", NaN}), ErrStarterNotPositive);
    EXPECT_EQ(CheckStarterDuty({100, "AC-53a 3.5-17: 90-5", 5}), ErrStarterRatingSyntax);
    EXPECT_EQ(French(CheckStarterDuty({100, "3.5-17:90-5", -2})),
              "La valeur de « Démarrages par heure » doit être un nombre plus grand que 0!");
}

TEST(StarterDutyCheck, FlatCurrentWithinEveryRating) {
    // 100 A starter, 3.5-17:90-5, 4 starts an hour; a start drawing a flat 300 A for 10 s; In = 85 A.
    StartOutcome start;
    start.RunUpTime = 10;
    start.RmsCurrent = 300;
    const StarterRatingCode code{3.5, 17, 90, 5};
    const StarterDutyResult r = JudgeStarterDuty({100, "3.5-17:90-5", 4}, code, start, 85);
    EXPECT_TRUE(r.Pass);
    EXPECT_TRUE(r.CurrentPass && r.TimePass && r.StartsPass && r.RatedCurrentPass);
    EXPECT_NEAR(*r.CurrentMargin, 350.0 / 300 - 1, 1e-15);
    EXPECT_NEAR(*r.TimeMargin, 0.7, 1e-15);
    EXPECT_NEAR(r.StartsMargin, 0.25, 1e-15);
    EXPECT_NEAR(r.RatedCurrentMargin, 100.0 / 85 - 1, 1e-15);
    EXPECT_EQ(*r.RmsCurrent, 300);
    EXPECT_EQ(*r.RunUpTime, 10);
    EXPECT_NEAR(*r.SmallestIe, 300 / 3.5, 1e-13); // above the rated current 85 A
}

TEST(StarterDutyCheck, RampedCurrentTooLongAndOtherFailures) {
    // Current ramped from 100 A to 400 A over 20 s: I_rms^2 = (100^2 + 100 400 + 400^2) / 3 = 70000 A2.
    StartOutcome start;
    start.RunUpTime = 20;
    start.RmsCurrent = std::sqrt(70000.0);
    const StarterRatingCode code{3.5, 17, 90, 5};
    StarterDutyResult r = JudgeStarterDuty({100, "", 4}, code, start, 85);
    EXPECT_FALSE(r.Pass);
    EXPECT_TRUE(r.CurrentPass); // 264.6 A <= 350 A
    EXPECT_FALSE(r.TimePass);   // 20 s > 17 s
    EXPECT_NEAR(*r.TimeMargin, 17.0 / 20 - 1, 1e-15);
    EXPECT_NEAR(*r.CurrentMargin, 350 / std::sqrt(70000.0) - 1, 1e-15);
    EXPECT_FALSE(r.SmallestIe); // no starter of this rating is long enough

    // Too many starts and a rated current above Ie: a larger Ie helps the second, not the first.
    start.RunUpTime = 5;
    r = JudgeStarterDuty({80, "", 6}, code, start, 85);
    EXPECT_FALSE(r.Pass);
    EXPECT_FALSE(r.StartsPass);
    EXPECT_FALSE(r.RatedCurrentPass);
    EXPECT_TRUE(r.CurrentPass); // 264.6 A <= 3.5 x 80 A
    EXPECT_NEAR(r.StartsMargin, 5.0 / 6 - 1, 1e-15);
    EXPECT_NEAR(r.RatedCurrentMargin, 80.0 / 85 - 1, 1e-15);
    EXPECT_FALSE(r.SmallestIe);
    // The rated current decides the smallest Ie when the start current is small.
    start.RmsCurrent = 200;
    r = JudgeStarterDuty({100, "", 5}, code, start, 85);
    EXPECT_TRUE(r.Pass);
    EXPECT_EQ(*r.SmallestIe, 85);
}

TEST(StarterDutyCheck, StalledStartFailsWithoutCurrentAndTime) {
    StartOutcome start;
    start.Stalled = true;
    start.TooLong = true;
    start.StallSpeed = 900;
    const StarterDutyResult r = JudgeStarterDuty({100, "", 10}, {3.5, 17, 90, 5}, start, 85);
    EXPECT_FALSE(r.Pass || r.CurrentPass || r.TimePass || r.StartsPass);
    EXPECT_TRUE(r.RatedCurrentPass);
    EXPECT_FALSE(r.RmsCurrent || r.RunUpTime || r.CurrentMargin || r.TimeMargin || r.SmallestIe);
    EXPECT_NEAR(r.StartsMargin, -0.5, 1e-15);
    EXPECT_NEAR(r.RatedCurrentMargin, 100.0 / 85 - 1, 1e-15);
}
