// tarvello-sim --compare: the "Comparison" list and "StarterDuty" against the library's own
// comparison, the null rules, the comparison table's bytes, the settings of the methods and the
// starter, and the refusals.
#include "SimResultsSupport.h"

namespace {
const std::vector<std::string> MethodKeys = {
    "Method",           "Applicable",          "Stalled",
    "TooLong",          "StallSpeed",          "PeakLineCurrent",
    "PeakCurrentRatio", "StartingTorqueRatio", "MinAcceleratingTorqueRatio",
    "RunUpTime",        "RotorEnergy",         "MaxVoltageDip",
    "StalledPeakCurrentRatio"};
const std::vector<std::string> DutyKeys = {
    "Pass",       "CurrentPass",  "TimePass",           "StartsPass", "RatedCurrentPass", "CurrentMargin",
    "TimeMargin", "StartsMargin", "RatedCurrentMargin", "RmsCurrent", "RunUpTime",        "SmallestIe"};

std::vector<std::string> Compared(bool star, std::vector<std::string> extra = {}) {
    std::vector<std::string> a = FourKilowatt({"--current-limit", "3", "--load", "squared", "--t2", "0.04",
                                               "--dynamic", "--motor-inertia", "0.05", "--compare"});
    if (!star) a.push_back("--delta");
    a.insert(a.end(), extra.begin(), extra.end());
    return a;
}

DynamicSettings ComparedSettings() {
    DynamicSettings s;
    s.Mechanical.MotorInertia = 0.05;
    return s;
}

// Every key of one method against the library's outcome, with the null rules of the output.
void ExpectMethod(const OrderedJson& j, const MethodOutcome& m) {
    const std::string which = MethodKey(m.Method);
    EXPECT_EQ(Keys(j), MethodKeys) << which;
    EXPECT_EQ(j["Method"], which);
    EXPECT_EQ(j["Applicable"], m.Applicable) << which;
    if (!m.Applicable) {
        EXPECT_EQ(j["Stalled"], false);
        EXPECT_EQ(j["TooLong"], false);
        for (std::size_t k = 4; k < MethodKeys.size(); ++k)
            EXPECT_TRUE(j[MethodKeys[k]].is_null()) << MethodKeys[k];
        return;
    }
    const StartOutcome& o = m.Outcome;
    EXPECT_EQ(j["Stalled"], o.Stalled) << which;
    EXPECT_EQ(j["TooLong"], o.TooLong) << which;
    ExpectSameNumber(j["StallSpeed"], o.StallSpeed, which);
    ExpectSameNumber(j["PeakLineCurrent"], o.PeakLineCurrent, which);
    ExpectSameNumber(j["PeakCurrentRatio"], o.PeakCurrentRatio, which);
    ExpectSameNumber(j["StartingTorqueRatio"], o.StartingTorqueRatio, which);
    ExpectSameNumber(j["MinAcceleratingTorqueRatio"], o.MinAcceleratingTorqueRatio, which);
    ExpectSameNumber(j["RunUpTime"], o.RunUpTime, which);
    ExpectSameNumber(j["RotorEnergy"], o.RotorEnergy, which);
    ExpectSameNumber(j["MaxVoltageDip"], o.MaxVoltageDip, which);
    ExpectSameNumber(j["StalledPeakCurrentRatio"], o.StalledPeakCurrentRatio, which);
    EXPECT_EQ(j["StalledPeakCurrentRatio"].is_null(), !o.Stalled) << which;
    if (o.Stalled) {
        for (const char* null : {"PeakLineCurrent", "PeakCurrentRatio", "MinAcceleratingTorqueRatio",
                                 "RunUpTime", "RotorEnergy"})
            EXPECT_TRUE(j[null].is_null()) << which << " " << null;
        for (const char* given : {"StartingTorqueRatio", "StallSpeed", "MaxVoltageDip"})
            EXPECT_TRUE(j[given].is_number()) << which << " " << given;
    } else {
        EXPECT_TRUE(j["StallSpeed"].is_null()) << which;
    }
}
} // namespace

TEST(SimCompare, EveryMethodIsTheLibrarysInTheListsOrder) {
    for (bool star : {true, false}) {
        const SimResult r = Sim(Compared(star, {"--json"}));
        ASSERT_EQ(r.status, 0) << r.err;
        const OrderedJson j = OrderedJson::parse(r.out);
        std::vector<std::string> keys = MotorKeys;
        keys.insert(keys.end(), {"Dynamic", "Comparison"}); // no starter: no duty
        EXPECT_EQ(Keys(j), keys);
        ComparisonResults expected;
        ASSERT_EQ(ComputeComparison(ComputedFourKilowatt(0.04, star), ComparedSettings(), expected, 0), 0);
        ASSERT_EQ(j["Comparison"].size(), 6u);
        for (int i = 0; i < 6; ++i)
            ExpectMethod(j["Comparison"][i], expected.Methods[i]);
        // Star-delta only for a motor that runs in delta; without a network no dip.
        EXPECT_EQ(j["Comparison"][1]["Applicable"], !star);
        EXPECT_EQ(j["Comparison"][0]["MaxVoltageDip"].get<double>(), 0.0);
        // The dynamic start's soft-starter entry is the current-limit method.
        EXPECT_EQ(j["Comparison"][5]["RunUpTime"], j["Dynamic"]["SoftStarter"]["RunUpTime"]);
        EXPECT_EQ(j["Comparison"][0]["RunUpTime"], j["Dynamic"]["Dol"]["RunUpTime"]);
    }
}

TEST(SimCompare, StalledMethodsKeepTheirStartingTorqueStallSpeedAndDip) {
    // The load crosses the motor's torque below its operating speed; the reduced stages cannot
    // start it at all.
    const SimResult r = Sim(FourKilowatt({"--delta", "--load", "squared", "--t0", "105", "--t1", "12", "--t2",
                                          "-0.6", "--dynamic", "--motor-inertia", "0.05", "--compare",
                                          "--supply-power", "5e6", "--json"}));
    ASSERT_EQ(r.status, 0) << r.err;
    const OrderedJson j = OrderedJson::parse(r.out);
    MotorDataSet ds = ExampleFourKilowattMotor(false);
    ds.T0 = 105, ds.T1 = 12, ds.T2 = -0.6;
    ASSERT_EQ(RunStartComputation(ds, nullptr, nullptr), 0);
    DynamicSettings s = ComparedSettings();
    s.Network.Enabled = true;
    s.Network.ShortCircuitPower = 5e6;
    ComparisonResults expected;
    ASSERT_EQ(ComputeComparison(ds, s, expected, 0), 0);
    int stalled = 0;
    for (int i = 0; i < 6; ++i) {
        ExpectMethod(j["Comparison"][i], expected.Methods[i]);
        stalled += j["Comparison"][i]["Stalled"].get<bool>();
    }
    EXPECT_EQ(stalled, 6);
    EXPECT_GT(j["Comparison"][0]["MaxVoltageDip"].get<double>(), 0);
    EXPECT_EQ(j["Comparison"][2]["StallSpeed"].get<double>(),
              0.0); // the autotransformer's tap cannot start it
}

TEST(SimCompare, MethodSettingsReachTheComparison) {
    const SimResult r = Sim(Compared(false, {"--changeover-speed", "0.8", "--autotransformer-tap", "0,5",
                                             "--reactor-voltage", "0.7", "--json"}));
    ASSERT_EQ(r.status, 0) << r.err;
    DynamicSettings s = ComparedSettings();
    s.Methods.ChangeoverSpeed = 0.8;
    s.Methods.AutotransformerTap = 0.5;
    s.Methods.ReactorVoltage = 0.7;
    ComparisonResults expected;
    ASSERT_EQ(ComputeComparison(ComputedFourKilowatt(0.04, false), s, expected, 0), 0);
    const OrderedJson j = OrderedJson::parse(r.out);
    for (int i = 0; i < 6; ++i)
        ExpectMethod(j["Comparison"][i], expected.Methods[i]);
    // The tap's torque is k squared of direct-on-line at standstill.
    EXPECT_NEAR(j["Comparison"][2]["StartingTorqueRatio"].get<double>(),
                0.25 * j["Comparison"][0]["StartingTorqueRatio"].get<double>(), 1e-12);
}

TEST(SimCompare, StarterDutyOnlyWithTheWholeStarter) {
    const std::vector<std::string> starter = {
        "--starter-current", "9", "--starter-rating", "AC-53a: 3.5-17: 90-5", "--starts-per-hour", "4"};
    std::vector<std::string> extra = starter;
    extra.push_back("--json");
    const SimResult r = Sim(Compared(true, extra));
    ASSERT_EQ(r.status, 0) << r.err;
    const OrderedJson j = OrderedJson::parse(r.out);
    std::vector<std::string> keys = MotorKeys;
    keys.insert(keys.end(), {"Dynamic", "Comparison", "StarterDuty"});
    EXPECT_EQ(Keys(j), keys);
    EXPECT_EQ(Keys(j["StarterDuty"]), DutyKeys);
    DynamicSettings s = ComparedSettings();
    s.Starter = StarterDuty{9, "AC-53a: 3.5-17: 90-5", 4};
    ComparisonResults expected;
    ASSERT_EQ(ComputeComparison(ComputedFourKilowatt(0.04), s, expected, 0), 0);
    ASSERT_TRUE(expected.Duty);
    const StarterDutyResult& d = *expected.Duty;
    const OrderedJson& duty = j["StarterDuty"];
    EXPECT_EQ(duty["Pass"], d.Pass);
    EXPECT_EQ(duty["CurrentPass"], d.CurrentPass);
    EXPECT_EQ(duty["TimePass"], d.TimePass);
    EXPECT_EQ(duty["StartsPass"], d.StartsPass);
    EXPECT_EQ(duty["RatedCurrentPass"], d.RatedCurrentPass);
    ExpectSameNumber(duty["CurrentMargin"], d.CurrentMargin, "CurrentMargin");
    ExpectSameNumber(duty["TimeMargin"], d.TimeMargin, "TimeMargin");
    ExpectSameNumber(duty["StartsMargin"], d.StartsMargin, "StartsMargin");
    ExpectSameNumber(duty["RatedCurrentMargin"], d.RatedCurrentMargin, "RatedCurrentMargin");
    ExpectSameNumber(duty["RmsCurrent"], d.RmsCurrent, "RmsCurrent");
    ExpectSameNumber(duty["RunUpTime"], d.RunUpTime, "RunUpTime");
    ExpectSameNumber(duty["SmallestIe"], d.SmallestIe, "SmallestIe");
    // Worked by hand: 4 starts per hour of 5 allowed, Ie 9 A for a motor of 8.5 A.
    EXPECT_EQ(duty["StartsMargin"].get<double>(), 5.0 / 4 - 1);
    EXPECT_EQ(duty["RatedCurrentMargin"].get<double>(), 9 / 8.5 - 1);
    EXPECT_EQ(duty["Pass"], true);
    EXPECT_EQ(duty["SmallestIe"].get<double>(), std::max(duty["RmsCurrent"].get<double>() / 3.5, 8.5));

    const SimResult panels = Sim(Compared(true, starter));
    EXPECT_NE(panels.out.find("Starter Duty Check (Ie 9.0 A, AC-53a: 3.5-17: 90-5, 4.0 starts/h) : PASS\n"),
              std::string::npos)
        << panels.out;
    EXPECT_NE(panels.out.find("  The on-load factor F of the rating is not judged.\n"), std::string::npos);

    // A stalled soft-starter start fails the current and time and has no current, time or Ie.
    const SimResult stalled =
        Sim(FourKilowatt({"--load", "squared", "--t0", "105", "--t1", "12", "--t2", "-0.6", "--dynamic",
                          "--motor-inertia", "0.05", "--compare", "--starter-current", "9",
                          "--starter-rating", "3.5-17:90-5", "--starts-per-hour", "4", "--json"}));
    ASSERT_EQ(stalled.status, 0) << stalled.err;
    const OrderedJson sd = OrderedJson::parse(stalled.out)["StarterDuty"];
    for (const char* f : {"Pass", "CurrentPass", "TimePass"})
        EXPECT_EQ(sd[f], false) << f;
    for (const char* n : {"RmsCurrent", "RunUpTime", "CurrentMargin", "TimeMargin", "SmallestIe"})
        EXPECT_TRUE(sd[n].is_null()) << n;
    EXPECT_EQ(sd["StartsPass"], true);
    EXPECT_EQ(sd["RatedCurrentPass"], true);
}

TEST(SimCompare, IncompleteOrBadStarterAndMethodSettingsAreRefused) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--starter-current", "9"},
         "error 145: The starter's duty check needs --starter-current, --starter-rating and "
         "--starts-per-hour "
         "together; missing: --starter-rating and --starts-per-hour!\n"},
        {{"--starter-rating", "3.5-17:90-5", "--starts-per-hour", "4", "--lang", "fr"},
         "error 145: La vérification du service du démarreur demande ensemble --starter-current, "
         "--starter-rating et "
         "--starts-per-hour\u00A0; il manque --starter-current\u00A0!\n"},
        {{"--starter-current", "9", "--starter-rating", "3.5/17", "--starts-per-hour", "4"},
         "error 142: The starter rating \"3.5/17\" is not of the form X-Tx:F-S, optionally after \"AC-53a:\" "
         "(e.g. "
         "AC-53a: 3.5-17: 90-5)!\n"},
        {{"--starter-current", "nine", "--starter-rating", "3.5-17:90-5", "--starts-per-hour", "4"},
         "error 144: The value \"nine\" of --starter-current is not a number!\n"},
        {{"--starter-current", "0", "--starter-rating", "3.5-17:90-5", "--starts-per-hour", "4"},
         "error 229: The value of \"Starter Rated Current Ie\" must be above 0 and at most "
         "100\u00a0000\u00a0A!\n"},
        {{"--starter-current", "1e308", "--starter-rating", "3.5-17:90-5", "--starts-per-hour", "4"},
         "error 229: The value of \"Starter Rated Current Ie\" must be above 0 and at most "
         "100\u00a0000\u00a0A!\n"},
        {{"--changeover-speed", "1"},
         "error 228: The value of \"Changeover Speed\" must lie between 0.1 and 0.99!\n"},
        {{"--autotransformer-tap", "k"},
         "error 144: The value \"k\" of --autotransformer-tap is not a number!\n"},
        {{"--reactor-voltage", "1e-300"},
         "error 228: The value of \"Reactor Starting Voltage\" must lie between 0.2 and 0.95!\n"},
        {{"--compare-current-limit", "10.5"},
         "error 229: The value of \"Current Limit for the Comparison\" must be above 1 and at most "
         "10\u00a0In!\n"},
        {{"--compare-current-limit", "2,5x"},
         "error 144: The value \"2,5x\" of --compare-current-limit is not a number!\n"},
    };
    TempFolder folder("compare-refusals");
    const std::string file = (folder / "methods.csv").string();
    for (const auto& [extra, text] : cases) {
        std::vector<std::string> args = Compared(true, {"--json", "--compare-csv", file});
        args.insert(args.end(), extra.begin(), extra.end());
        const SimResult r = Sim(args);
        EXPECT_EQ(r.status, 1) << text;
        EXPECT_EQ(r.err, text);
        EXPECT_TRUE(r.out.empty());
        EXPECT_FALSE(std::filesystem::exists(file));
    }
    for (const auto& args :
         {FourKilowatt({"--compare"}), FourKilowatt({"--dynamic", "--changeover-speed", "0.8"}),
          FourKilowatt({"--dynamic", "--compare-current-limit", "2"}),
          FourKilowatt({"--dynamic", "--starter-current", "9"}),
          FourKilowatt({"--dynamic", "--compare-csv", "x.csv"}),
          Compared(true, {"--json", "--compare-csv", "-"})}) {
        const SimResult r = Sim(args);
        EXPECT_EQ(r.status, 2) << args.back();
        EXPECT_NE(r.err.find("tarvello-sim [OPTIONS]"), std::string::npos);
    }
    EXPECT_EQ(Sim(FourKilowatt({"--compare"})).err.rfind("tarvello-sim: --compare goes with --dynamic\n", 0),
              0u);
    EXPECT_EQ(Sim(FourKilowatt({"--dynamic", "--starter-current", "9"}))
                  .err.rfind("tarvello-sim: --starter-current goes with --compare\n", 0),
              0u);
}

TEST(SimCompare, TheTableFileHasItsHeaderRowsAndEmptyCellsForNull) {
    TempFolder folder("compare-csv");
    const std::string file = (folder / "methods.csv").string();
    const SimResult r = Sim(Compared(true, {"--compare-csv", file}));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.out.empty());
    const std::string text = ReadWholeFile(file);
    const std::vector<std::string> lines = CrLfLines(text);
    ASSERT_EQ(lines.size(), 7u);
    std::string header = "Method";
    for (std::size_t k = 1; k < MethodKeys.size(); ++k)
        header += ";" + MethodKeys[k];
    EXPECT_EQ(lines[0], header);
    // Every cell is what the JSON holds: true/false, 17 significant digits, empty for null.
    const OrderedJson j = OrderedJson::parse(Sim(Compared(true, {"--json"})).out)["Comparison"];
    for (std::size_t i = 0; i < 6; ++i) {
        const std::vector<std::string> cells = SplitCells(lines[i + 1]);
        ASSERT_EQ(cells.size(), MethodKeys.size());
        EXPECT_EQ(cells[0], j[i]["Method"]);
        for (std::size_t k = 1; k < MethodKeys.size(); ++k) {
            const OrderedJson& v = j[i][MethodKeys[k]];
            if (v.is_null()) {
                EXPECT_EQ(cells[k], "");
            } else if (v.is_boolean()) {
                EXPECT_EQ(cells[k], v.get<bool>() ? "true" : "false");
            } else {
                EXPECT_EQ(cells[k], CsvText(v.get<double>())) << MethodKeys[k];
                double read = 0;
                ASSERT_TRUE(SpreadsheetNumber(cells[k], read));
                EXPECT_EQ(read, v.get<double>()); // 17 digits read back exactly
            }
        }
    }
    EXPECT_EQ(lines[2], "star-delta;false;false;false;;;;;;;;;");
    // The same text on standard output.
    const SimResult toOutput = Sim(Compared(true, {"--compare-csv", "-"}));
    EXPECT_EQ(toOutput.out, text);
}

TEST(SimCompare, PanelsListTheMethodsInBothLanguages) {
    const SimResult en = Sim(Compared(true));
    ASSERT_EQ(en.status, 0) << en.err;
    const OrderedJson j = OrderedJson::parse(Sim(Compared(true, {"--json"})).out)["Comparison"];
    EXPECT_NE(en.out.find("\nStarting Methods\n"), std::string::npos);
    EXPECT_NE(en.out.find("  Star-delta                           not applicable: the motor runs in star\n"),
              std::string::npos)
        << en.out;
    const std::string dolRunUp = FormatFixed(j[0]["RunUpTime"].get<double>(), 3) + " s";
    EXPECT_NE(en.out.find("  Direct-on-line                       " + dolRunUp), std::string::npos) << en.out;
    EXPECT_NE(en.out.find("transients of an open transition are not modelled"), std::string::npos);
    const SimResult fr = Sim(Compared(false, {"--lang", "fr"}));
    EXPECT_NE(fr.out.find("\nModes de démarrage\n"), std::string::npos);
    EXPECT_NE(fr.out.find("  Étoile-triangle                      "), std::string::npos) << fr.out;
}

// The current-limit row has a limit of its own, named in the row: 3 In in selected-time mode
// whatever the soft-starter dialog last held, or --compare-current-limit; the name fills its column.
TEST(SimCompare, TheCurrentLimitRowNamesItsLimit) {
    const struct {
        std::vector<std::string> extra;
        double limit;
        std::string row;
    } cases[] = {
        {{}, 3, "\n  Soft-starter, current limit 3.0 In   0.341 s"},
        {{"--compare-current-limit", "2.5"}, 2.5, "\n  Soft-starter, current limit 2.5 In   0.482 s"},
        {{"--compare-current-limit", "2,5", "--lang", "fr"}, 2.5,
         "\n  Soft-Starter, limite de courant 2.5 In  0.482 s"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = FourKilowatt({"--ramp-time", "0.3", "--load", "squared", "--t2", "0.04",
                                                      "--dynamic", "--motor-inertia", "0.05", "--compare"});
        args.insert(args.end(), c.extra.begin(), c.extra.end());
        const std::string panel = Sim(args).out;
        EXPECT_NE(panel.find(c.row), std::string::npos) << panel;
        EXPECT_NE(panel.find(c.extra.size() < 3 ? "\n  Direct-on-line                       0.069 s"
                                                : "\n  Direct                                  0.069 s"),
                  std::string::npos)
            << panel;
        args.push_back("--json");
        const OrderedJson j = OrderedJson::parse(Sim(args).out)["Comparison"];
        // The ramp of 0.3 s alone draws more: the row is held at its limit.
        EXPECT_GT(j[4]["PeakCurrentRatio"].get<double>(), 3.2);
        EXPECT_LE(j[5]["PeakCurrentRatio"].get<double>(), c.limit * (1 + 1e-6));
        EXPECT_GT(j[5]["PeakCurrentRatio"].get<double>(), c.limit - 0.01);
    }
}
