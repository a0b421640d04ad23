#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

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

// Every number of the settings against its range, through the check of everything: just outside,
// at and just inside each bound, the extremes of the doubles, and the message in both languages.
namespace {
const std::string NB = "\u00a0";

// Settings that every check accepts: a network with transformer and cable, a starter.
DynamicSettings Valid() {
    DynamicSettings s;
    s.Mechanical.MotorInertia = 0.012;
    s.Network = {.Enabled = true,
                 .SourceVoltage = 400,
                 .ShortCircuitPower = 10e6,
                 .HasTransformer = true,
                 .TransformerPower = 250e3,
                 .TransformerUk = 6,
                 .TransformerUr = 1,
                 .HasCable = true,
                 .CableLength = 100,
                 .CableSection = 16};
    s.Starter = StarterDuty{100, "AC-53a: 3.5-17: 90-5", 5};
    return s;
}

// A number in a rating code as it is typed, all its digits kept.
std::string Typed(double v) {
    char text[64];
    std::snprintf(text, sizeof text, "%.17g", v);
    return text;
}

// "~" stands for the no-break space that keeps a value with its unit.
std::string Nb(std::string text) {
    for (std::size_t at; (at = text.find('~')) != std::string::npos;)
        text.replace(at, 1, NB);
    return text;
}

using Set = void (*)(DynamicSettings&, double);
struct RangeRow {
    Set set; // nullptr: the parallel runs, read as the dialogs and the command line read them
    double low, high;
    int number; // 229 and 125 refuse the low bound itself, 124 takes whole numbers only
    const char *english, *englishRule, *french, *frenchRule;
};

// In the order of SettingField.
const RangeRow Rows[] = {
    {[](DynamicSettings& s, double v) { s.Mechanical.MotorInertia = v; }, 1e-5, 1e5, 228, "Motor Inertia",
     "must lie between 0.00001 and 100~000~kg·m²", "Inertie du moteur",
     "comprise entre 0,00001 et 100~000~kg·m²"},
    {[](DynamicSettings& s, double v) { s.Mechanical.LoadInertia = v; }, 0, 1e5, 228, "Load Inertia",
     "must lie between 0 and 100~000~kg·m²", "Inertie de la charge", "comprise entre 0 et 100~000~kg·m²"},
    {[](DynamicSettings& s, double v) { s.Mechanical.StartTimeLimit = v; }, 0.01, 3600, 113,
     "Start-Time Limit", "must lie between 0.01 and 3600~s", "Limite du temps de démarrage",
     "comprise entre 0,01 et 3600~s"},
    {[](DynamicSettings& s, double v) { s.Network.SourceVoltage = v; }, 10, 1e5, 228, "Source Voltage",
     "must lie between 10 and 100~000~V", "Tension de la source", "comprise entre 10 et 100~000~V"},
    {[](DynamicSettings& s, double v) { s.Network.ShortCircuitPower = v; }, 1e3, 1e11, 228,
     "Short-Circuit Power", "must lie between 1~kVA and 100~GVA", "Puissance de court-circuit",
     "comprise entre 1~kVA et 100~GVA"},
    {[](DynamicSettings& s, double v) { s.Network.SourceRX = v; }, 0, 10, 228, "Source R/X",
     "must lie between 0 and 10", "R/X de la source", "comprise entre 0 et 10"},
    {[](DynamicSettings& s, double v) { s.Network.TransformerPower = v; }, 1e3, 1e9, 228, "Transformer Power",
     "must lie between 1~kVA and 1000~MVA", "Puissance du transformateur",
     "comprise entre 1~kVA et 1000~MVA"},
    {[](DynamicSettings& s, double v) { s.Network.TransformerUk = v, s.Network.TransformerUr = 0; }, 1, 30,
     228, "Transformer u_k", "must lie between 1 and 30~%", "u_k du transformateur",
     "comprise entre 1 et 30~%"},
    {[](DynamicSettings& s, double v) { s.Network.TransformerUk = 30, s.Network.TransformerUr = v; }, 0, 30,
     228, "Transformer u_R", "must lie between 0 and 30~%", "u_R du transformateur",
     "comprise entre 0 et 30~%"},
    {[](DynamicSettings& s, double v) { s.Network.CableLength = v; }, 0, 1e5, 228, "Cable Length",
     "must lie between 0 and 100~000~m", "Longueur du câble", "comprise entre 0 et 100~000~m"},
    {[](DynamicSettings& s, double v) { s.Network.CableSection = v; }, 0.5, 2500, 228, "Cable Cross-Section",
     "must lie between 0.5 and 2500~mm²", "Section du câble", "comprise entre 0,5 et 2500~mm²"},
    {nullptr, 1, 20, 124, "Parallel Cable Runs", "must be a whole number between 1 and 20",
     "Câbles en parallèle", "un nombre entier compris entre 1 et 20"},
    {[](DynamicSettings& s, double v) { s.Network.CableReactance = v; }, 0, 1, 228, "Cable Reactance",
     "must lie between 0 and 1~Ω/km", "Réactance du câble", "comprise entre 0 et 1~Ω/km"},
    {[](DynamicSettings& s, double v) { s.DipLimit = v; }, 0, 100, 125, "Busbar Voltage Dip Limit",
     "must be above 0 and at most 100~%", "Limite du creux de tension au jeu de barres",
     "supérieure à 0 et inférieure ou égale à 100~%"},
    {[](DynamicSettings& s, double v) { s.Methods.ChangeoverSpeed = v; }, 0.1, 0.99, 228, "Changeover Speed",
     "must lie between 0.1 and 0.99", "Vitesse de commutation", "comprise entre 0,1 et 0,99"},
    {[](DynamicSettings& s, double v) { s.Methods.AutotransformerTap = v; }, 0.2, 0.95, 228,
     "Autotransformer Tap", "must lie between 0.2 and 0.95", "Prise de l'autotransformateur",
     "comprise entre 0,2 et 0,95"},
    {[](DynamicSettings& s, double v) { s.Methods.ReactorVoltage = v; }, 0.2, 0.95, 228,
     "Reactor Starting Voltage", "must lie between 0.2 and 0.95", "Tension de démarrage avec inductance",
     "comprise entre 0,2 et 0,95"},
    {[](DynamicSettings& s, double v) { s.Methods.CurrentLimit = v; }, 1, 10, 229,
     "Current Limit for the Comparison", "must be above 1 and at most 10~In",
     "Limite de courant pour la comparaison", "supérieure à 1 et inférieure ou égale à 10~In"},
    {[](DynamicSettings& s, double v) { s.Starter->RatedCurrent = v; }, 0, 1e5, 229,
     "Starter Rated Current Ie", "must be above 0 and at most 100~000~A", "Courant assigné Ie du démarreur",
     "supérieure à 0 et inférieure ou égale à 100~000~A"},
    {[](DynamicSettings& s, double v) { s.Starter->StartsPerHour = v; }, 0.001, 1000, 228, "Starts per Hour",
     "must lie between 0.001 and 1000~1/h", "Démarrages par heure", "comprise entre 0,001 et 1000~1/h"},
    {[](DynamicSettings& s, double v) { s.Starter->RatingCode = "AC-53a: " + Typed(v) + "-17: 90-5"; }, 1, 20,
     228, "Rating X (start current / Ie)", "must lie between 1 and 20",
     "Classe X (courant de démarrage / Ie)", "comprise entre 1 et 20"},
    {[](DynamicSettings& s, double v) { s.Starter->RatingCode = "3.5-" + Typed(v) + ":90-5"; }, 0.1, 3600,
     228, "Rating Tx (start time)", "must lie between 0.1 and 3600~s", "Classe Tx (temps de démarrage)",
     "comprise entre 0,1 et 3600~s"},
    {[](DynamicSettings& s, double v) { s.Starter->RatingCode = "3.5-17:" + Typed(v) + "-5"; }, 0, 100, 143,
     "Rating F (on-load factor)", "must lie between 0 and 100~%", "Classe F (facteur de marche)",
     "comprise entre 0 et 100~%"},
    {[](DynamicSettings& s, double v) { s.Starter->RatingCode = "3.5-17:90-" + Typed(v); }, 0.001, 1000, 228,
     "Rating S (starts per hour)", "must lie between 0.001 and 1000~1/h", "Classe S (démarrages par heure)",
     "comprise entre 0,001 et 1000~1/h"},
};

Refusal Judged(const RangeRow& row, double v) {
    DynamicSettings s = Valid();
    if (row.set)
        row.set(s, v);
    else if (Refusal e = CableParallelRuns(v, s.Network.CableParallel))
        return e;
    return CheckDynamicSettings(s, ExampleFourKilowattMotor());
}
} // namespace

TEST(SettingRanges, EveryFieldIsRefusedBeyondItsRangeNamingFieldAndRange) {
    ASSERT_EQ(CheckDynamicSettings(Valid(), ExampleFourKilowattMotor()), 0);
    ASSERT_EQ(std::size(Rows), SettingFieldCount);
    for (const RangeRow& row : Rows) {
        const bool above = row.number == 229 || row.number == 125, whole = row.number == 124;
        const double lowInside = whole ? row.low + 1 : std::nextafter(row.low, row.high);
        const double highInside = whole ? row.high - 1 : std::nextafter(row.high, row.low);
        for (double v : {above ? lowInside : row.low, lowInside, highInside, row.high})
            EXPECT_EQ(Judged(row, v), 0) << row.english << " " << v;
        std::vector<double> refused = {
            std::nextafter(row.low, -Inf), std::nextafter(row.high, Inf), 1e308, -1e308, -Inf, Inf, NaN};
        if (above) refused.push_back(row.low);
        if (row.low > 0) refused.push_back(5e-324);
        if (whole) refused.push_back(lowInside + 0.5);
        // A rating code's number is read from its text, where the doubles next to a bound read as
        // the bound: it is tried a little further out.
        if (std::string(row.english).starts_with("Rating"))
            refused = {row.low - 1e-9 * std::max(1.0, row.low), row.high * (1 + 1e-9), 1e308, -1e308};
        for (double v : refused) {
            const Refusal r = Judged(row, v);
            EXPECT_EQ(r.number, row.number) << row.english << " " << v;
            EXPECT_EQ(English(r),
                      Nb("The value of \"" + std::string(row.english) + "\" " + row.englishRule + "!"));
            EXPECT_EQ(French(r), Nb("La valeur de «~" + std::string(row.french) + "~» doit être " +
                                    row.frenchRule + "~!"));
        }
        const SettingField field = static_cast<SettingField>(&row - Rows);
        EXPECT_EQ(SettingName(field).english, row.english);
        EXPECT_EQ(SettingName(field).french, row.french);
    }
}

TEST(DynamicChecks, MechanicalDataRefusals) {
    const MotorDataSet ds = ExampleFourKilowattMotor();
    MechanicalData m;
    EXPECT_EQ(CheckMechanicalData(m, ds), 0); // typical inertia, no load inertia, 60 s
    EXPECT_NEAR(UsedMotorInertia(m, ds), 0.013, 1e-15);

    // The typical inertia of a tiny motor is below the floor of the total: the load must make it up.
    MotorDataSet tiny = ds;
    tiny.MechanicalPower = 0.1;
    ASSERT_LT(TypicalMotorInertia(0.1, ds.PairOfPoles), 1e-5);
    Refusal r = CheckMechanicalData(m, tiny);
    EXPECT_EQ(r, ErrTotalInertiaZero);
    EXPECT_EQ(English(r),
              "The value of \"Total Inertia\" (motor and load) must be at least 0.00001" + NB + "kg·m²!");
    EXPECT_EQ(French(r), "La valeur de «" + NB + "Inertie totale" + NB +
                             "» (moteur et charge) doit être d'au moins "
                             "0,00001" +
                             NB + "kg·m²" + NB + "!");
    m.LoadInertia = 1e-5;
    EXPECT_EQ(CheckMechanicalData(m, tiny), 0);
    // Without a motor the typical inertia is 0; the user's own counts as given.
    EXPECT_EQ(CheckMechanicalData(MechanicalData{}, MotorDataSet{}), ErrTotalInertiaZero);
    m.MotorInertia = 1e-5;
    m.LoadInertia = 0;
    EXPECT_EQ(CheckMechanicalData(m, MotorDataSet{}), 0);
}

TEST(DynamicChecks, NetworkRefusals) {
    SupplyNetwork n;
    n.SourceVoltage = -400; // a disabled network is not judged
    EXPECT_EQ(CheckSupplyNetwork(n), 0);
    n.Enabled = true;
    EXPECT_EQ(CheckSupplyNetwork(n), ErrValueOutOfRange);
    n.SourceVoltage.reset();
    EXPECT_EQ(CheckSupplyNetwork(n), 0); // infinite source, motor voltage

    auto refusal = [](auto change) {
        SupplyNetwork net = Valid().Network;
        change(net);
        return CheckSupplyNetwork(net);
    };
    EXPECT_EQ(refusal([](SupplyNetwork& x) { x.TransformerUr = 6.5; }), ErrTransformerUrAboveUk);
    EXPECT_EQ(refusal([](SupplyNetwork& x) { x.TransformerUr = 6; }), 0);
    EXPECT_EQ(refusal([](SupplyNetwork& x) { x.CableParallel = 0; }), ErrCableParallel);
    EXPECT_EQ(refusal([](SupplyNetwork& x) { x.CableParallel = 21; }), ErrCableParallel);
    // Parts switched off are not judged.
    EXPECT_EQ(refusal([](SupplyNetwork& x) { x.HasCable = false, x.CableSection = 0; }), 0);
    EXPECT_EQ(refusal([](SupplyNetwork& x) { x.HasTransformer = false, x.TransformerUk = 0; }), 0);
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
    // The motor's voltage, which the source takes when it has none, is no setting of the network:
    // a motor voltage whose square overflows leaves no impedance.
    MotorDataSet loud = ds;
    loud.LineVoltage = 1e200;
    s.Network.SourceVoltage.reset();
    EXPECT_EQ(CheckDynamicStartSettings(s, loud), ErrNetworkNotComputable);
    EXPECT_EQ(CheckDynamicStartSettings(s, ds), 0);
    // Without a motor the impedances wait for its voltage; a source voltage of its own is judged.
    EXPECT_EQ(CheckSupplySettings(s, MotorDataSet{}), 0);
    for (double dip : {-1.0, 0.0, 100.5, NaN}) {
        s.DipLimit = dip;
        EXPECT_EQ(CheckDynamicStartSettings(s, ds), ErrDipLimitRange) << dip;
    }
    s.DipLimit = 0.001;
    EXPECT_EQ(CheckDynamicStartSettings(s, ds), 0);
    // The methods and the starter count for the comparison only.
    s.Methods.ChangeoverSpeed = 1;
    EXPECT_EQ(CheckDynamicStartSettings(s, ds), 0);
    EXPECT_EQ(CheckDynamicSettings(s, ds), ErrValueOutOfRange);
    s.Methods.ChangeoverSpeed = 0.9;
    s.Starter = StarterDuty{100, "3.5-17:90-5x", 5};
    EXPECT_EQ(CheckDynamicSettings(s, ds), ErrStarterRatingSyntax);
    s.Starter->RatingCode = "3.5-17:90-5";
    EXPECT_EQ(CheckDynamicSettings(s, ds), 0);
    s.Mechanical.StartTimeLimit = 0; // first in order
    EXPECT_EQ(CheckDynamicSettings(s, ds), ErrStartTimeLimitRange);
}

TEST(DynamicChecks, MethodSettingsRefusals) {
    // The ranges are those of the table above; here the comparison's limit in force.
    MethodSettings m;
    EXPECT_EQ(CheckMethodSettings(m), 0);
    // The comparison's limit: its own, else the soft-starter's in current-limit mode, else 3 In.
    MotorDataSet ds = ExampleFourKilowattMotor();
    ds.DesiredImaxIn = 4.5;
    ds.LimitCurrentMode = false;
    EXPECT_EQ(ComparisonCurrentLimit(m, ds), 3);
    ds.LimitCurrentMode = true;
    EXPECT_EQ(ComparisonCurrentLimit(m, ds), 4.5);
    m.CurrentLimit = 2.5;
    EXPECT_EQ(ComparisonCurrentLimit(m, ds), 2.5);
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
              "La classe du démarreur «\u00A03.5/17:90/5\u00A0» n'est pas de la forme X-Tx:F-S, éventuellement "
              "précédée de «\u00A0AC-53a:\u00A0» (p. ex. AC-53a: 3.5-17: 90-5)\u00A0!");
    StarterRatingCode c;
    EXPECT_EQ(ParseStarterRating("0-17:90-5", c), ErrValueOutOfRange);
    EXPECT_EQ(ParseStarterRating("3.5-0:90-5", c), ErrValueOutOfRange);
    EXPECT_EQ(ParseStarterRating("3.5-17:90-0", c), ErrValueOutOfRange);
    EXPECT_EQ(ParseStarterRating("3.5--17:90-5", c), ErrValueOutOfRange); // Tx read as -17
    EXPECT_EQ(English(ParseStarterRating("3.5-0:90-5", c)),
              "The value of \"Rating Tx (start time)\" must lie between 0.1 and 3600" + NB + "s!");
    EXPECT_EQ(ParseStarterRating("3.5-17:120-5", c), ErrStarterOnLoadFactor);
    EXPECT_EQ(ParseStarterRating("3.5-17:0-5", c), 0); // F is read, not judged
}

TEST(StarterRating, DutySettingsRefusals) {
    EXPECT_EQ(CheckStarterDuty({100, "AC-53a: 3.5-17: 90-5", 5}), 0);
    EXPECT_EQ(CheckStarterDuty({0, "AC-53a: 3.5-17: 90-5", 5}), ErrValueAboveAtMost);
    EXPECT_EQ(CheckStarterDuty({Inf, "AC-53a: 3.5-17: 90-5", 5}), ErrValueAboveAtMost);
    EXPECT_EQ(CheckStarterDuty({100, "AC-53a: 3.5-17: 90-5", 0}), ErrValueOutOfRange);
    EXPECT_EQ(CheckStarterDuty({100, "AC-53a: 3.5-17: 90-5", NaN}), ErrValueOutOfRange);
    EXPECT_EQ(CheckStarterDuty({100, "AC-53a 3.5-17: 90-5", 5}), ErrStarterRatingSyntax);
    EXPECT_EQ(French(CheckStarterDuty({100, "3.5-17:90-5", -2})),
              "La valeur de «" + NB + "Démarrages par heure" + NB +
                  "» doit être comprise entre 0,001 et 1000" + NB + "1/h" + NB + "!");
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
