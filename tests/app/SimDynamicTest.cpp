// tarvello-sim --dynamic: the JSON keys and values against the library's own computation, the
// typical inertia note, stalls and starts cut by the limit, the dynamic curve file's bytes, and
// the refusals of the mechanical data.
#include <cmath>

#include "CurveFile.h"
#include "SimResultsSupport.h"
#include "TextToReal.h"

TEST(SimDynamic, JsonHoldsTheLibrarysResultsUnderItsKeysInOrder) {
    const SimResult r =
        Sim(FourKilowatt({"--current-limit", "3", "--load", "squared", "--t2", "0.04", "--dynamic",
                          "--motor-inertia", "0.012", "--load-inertia", "0.1", "--json"}));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.err.empty()) << r.err; // the inertia was given: no note
    ASSERT_EQ(r.out.back(), '\n');
    const OrderedJson j = OrderedJson::parse(r.out);
    std::vector<std::string> keys = MotorKeys;
    keys.push_back("Dynamic");
    EXPECT_EQ(Keys(j), keys);
    EXPECT_EQ(Keys(j["Dynamic"]), (std::vector<std::string>{"Dol", "SoftStarter"}));

    const MotorDataSet ds = ComputedFourKilowatt(0.04);
    EXPECT_EQ(j["SoftStarterTime"].get<double>(), ds.SoftStarterTime);
    EXPECT_EQ(j["ImaxIn"].get<double>(), ds.ImaxIn);
    EXPECT_EQ(j["Xh"].get<double>(), ds.Xh);
    DynamicSettings settings;
    settings.Mechanical.MotorInertia = 0.012;
    settings.Mechanical.LoadInertia = 0.1;
    DynamicResults expected;
    ASSERT_EQ(ComputeDynamicStart(ds, settings, expected, 0), 0);
    ASSERT_FALSE(expected.Dol.Stalled);
    ExpectStart(j["Dynamic"]["Dol"], expected.Dol, "Dol");
    ExpectStart(j["Dynamic"]["SoftStarter"], expected.SoftStarter, "SoftStarter");

    // The real executable prints the same bytes.
    const SimResult p =
        SimProcess(FourKilowatt({"--current-limit", "3", "--load", "squared", "--t2", "0.04", "--dynamic",
                                 "--motor-inertia", "0.012", "--load-inertia", "0.1", "--json"}));
    EXPECT_EQ(p.status, 0) << p.err;
    EXPECT_EQ(p.out, r.out);
}

TEST(SimDynamic, TypicalInertiaIsUsedAndSaidOnStandardError) {
    const double typical = TypicalMotorInertia(4000, 2);
    SimResult r = Sim(FourKilowatt({"--dynamic", "--json"}));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("typical value"), std::string::npos) << r.err;
    char value[32];
    std::snprintf(value, sizeof value, "%.4g", typical);
    EXPECT_NE(r.err.find(std::string(value) + " kg m2"), std::string::npos) << r.err;
    // The JSON is that of a start with the typical inertia given explicitly.
    const SimResult explicitInertia =
        Sim(FourKilowatt({"--dynamic", "--json", "--motor-inertia", CsvText(typical)}));
    ASSERT_EQ(explicitInertia.status, 0) << explicitInertia.err;
    EXPECT_EQ(r.out, explicitInertia.out);
    EXPECT_TRUE(explicitInertia.err.empty());

    r = Sim(FourKilowatt({"--dynamic", "--lang", "fr"}));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("valeur typique"), std::string::npos) << r.err;
    EXPECT_NE(r.out.find("Démarrage dynamique"), std::string::npos);
    EXPECT_NE(r.out.find("(valeur typique)"), std::string::npos);
}

TEST(SimDynamic, PanelsGainTheDynamicStartInBothLanguages) {
    const SimResult en = Sim(FourKilowatt({"--current-limit", "3", "--dynamic", "--motor-inertia", "0.12"}));
    ASSERT_EQ(en.status, 0) << en.err;
    // The existing panels first, unchanged.
    const SimResult plain = Sim(FourKilowatt({"--current-limit", "3"}));
    EXPECT_EQ(en.out.rfind(plain.out, 0), 0u);
    const MotorDataSet ds = ComputedFourKilowatt(0);
    DynamicSettings settings;
    settings.Mechanical.MotorInertia = 0.12;
    DynamicResults expected;
    ASSERT_EQ(ComputeDynamicStart(ds, settings, expected, 0), 0);
    for (const std::string& line : std::vector<std::string>{
             "Dynamic Start", "  Motor Inertia : 0.12 kg m2",
             "  Operating Speed : " + FormatFixed(*expected.Dol.OperatingSpeed, 1) + " rpm",
             "  Direct-On-Line", "    Run-Up Time : " + FormatFixed(*expected.Dol.RunUpTime, 3) + " s",
             "    Peak Current : " + FormatFixed(*expected.Dol.PeakLineCurrent, 1) + " A (" +
                 FormatFixed(*expected.Dol.PeakCurrentRatio, 2) + " I/In)",
             "  With Soft-Starter",
             "    Run-Up Time : " + FormatFixed(*expected.SoftStarter.RunUpTime, 3) + " s",
             "    Rotor Energy : " + FormatFixed(*expected.SoftStarter.RotorEnergy, 0) + " J"})
        EXPECT_NE(en.out.find(line + "\n"), std::string::npos) << line << "\n" << en.out;

    const SimResult fr =
        Sim(FourKilowatt({"--current-limit", "3", "--dynamic", "--motor-inertia", "0.12", "--lang", "fr"}));
    ASSERT_EQ(fr.status, 0) << fr.err;
    for (const char* line :
         {"Démarrage dynamique", "  Inertie du moteur : 0.12 kg m2", "  Démarrage direct",
          "    Temps de démarrage : ", "  Avec Soft-Starter", "    Énergie dans le rotor : "})
        EXPECT_NE(fr.out.find(line), std::string::npos) << line;
}

TEST(SimDynamic, StallAtTheCrossingOfMotorAndLoadTorque) {
    // A load that passes the operating-point check (error 70) but crosses the motor's torque below
    // the operating speed.
    const std::vector<std::string> stalling =
        FourKilowatt({"--load", "squared", "--t0", "105", "--t1", "12", "--t2", "-0.6", "--dynamic",
                      "--motor-inertia", "0.12"});
    std::vector<std::string> json = stalling;
    json.push_back("--json");
    const SimResult r = Sim(json);
    ASSERT_EQ(r.status, 0) << r.err;
    const OrderedJson j = OrderedJson::parse(r.out);
    for (const char* which : {"Dol", "SoftStarter"}) {
        const OrderedJson& s = j["Dynamic"][which];
        EXPECT_EQ(Keys(s), StartKeys);
        EXPECT_EQ(s["Stalled"], true);
        EXPECT_EQ(s["TooLong"], false);
        EXPECT_NEAR(s["StallSpeed"].get<double>(), 624.8, 0.1) << which;
        EXPECT_NEAR(s["OperatingSpeed"].get<double>(), 1248.7, 0.1) << which;
        for (const char* null :
             {"RunUpTime", "PeakCurrentRatio", "RotorEnergy", "StatorEnergy", "MinAcceleratingTorqueRatio"})
            EXPECT_TRUE(s[null].is_null()) << which << " " << null;
    }
    const SimResult panels = Sim(stalling);
    EXPECT_NE(panels.out.find("    STALLED at : 624.8 rpm\n"), std::string::npos) << panels.out;
    std::vector<std::string> fr = stalling;
    fr.insert(fr.end(), {"--lang", "fr"});
    EXPECT_NE(Sim(fr).out.find("    BLOQUÉ à : 624.8 rpm\n"), std::string::npos);
}

TEST(SimDynamic, AStartCutByTheTimeLimitIsTooLongWithTheSpeedReached) {
    const SimResult r =
        Sim(FourKilowatt({"--dynamic", "--motor-inertia", "5", "--start-time-limit", "0.5", "--json"}));
    ASSERT_EQ(r.status, 0) << r.err;
    const OrderedJson j = OrderedJson::parse(r.out);
    const OrderedJson& dol = j["Dynamic"]["Dol"];
    EXPECT_EQ(dol["Stalled"], true);
    EXPECT_EQ(dol["TooLong"], true);
    EXPECT_GT(dol["StallSpeed"].get<double>(), 0);
    EXPECT_LT(dol["StallSpeed"].get<double>(), 0.98 * dol["OperatingSpeed"].get<double>());
    EXPECT_TRUE(dol["RunUpTime"].is_null());
    const SimResult panels =
        Sim(FourKilowatt({"--dynamic", "--motor-inertia", "5", "--start-time-limit", "0.5"}));
    EXPECT_NE(panels.out.find("    TOO LONG: start-time limit reached at : "), std::string::npos)
        << panels.out;
}

TEST(SimDynamic, CurveFileBytesAndASpreadsheetReadsNumbers) {
    TempFolder folder("dynamic-curves");
    const std::string file = (folder / "start.csv").string();
    const SimResult r =
        Sim(FourKilowatt({"--current-limit", "3", "--load", "squared", "--t2", "0.04", "--dynamic",
                          "--motor-inertia", "0.012", "--load-inertia", "0.1", "--dynamic-curves", file}));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.out.empty()) << r.out; // a file output replaces the panels
    const std::string text = ReadWholeFile(file);
    const std::vector<std::string> lines = CrLfLines(text);
    ASSERT_EQ(lines.size(), 202u);
    EXPECT_EQ(lines[0],
              "t [s];n/ns DOL;I/In DOL;T/Tn DOL;TL/Tn DOL;U/Un DOL;n/ns SS;I/In SS;T/Tn SS;TL/Tn SS;U/Un SS");

    const MotorDataSet ds = ComputedFourKilowatt(0.04);
    DynamicSettings settings;
    settings.Mechanical.MotorInertia = 0.012;
    settings.Mechanical.LoadInertia = 0.1;
    DynamicResults expected;
    ASSERT_EQ(ComputeDynamicStart(ds, settings, expected, 201), 0);
    ASSERT_EQ(expected.Times.size(), 201u);
    EXPECT_EQ(expected.Times.back(), std::max(*expected.Dol.RunUpTime, *expected.SoftStarter.RunUpTime));
    const std::vector<double>* columns[] = {&expected.Times,
                                            &expected.DolCurves.Speed,
                                            &expected.DolCurves.Current,
                                            &expected.DolCurves.Torque,
                                            &expected.DolCurves.LoadTorque,
                                            &expected.DolCurves.Voltage,
                                            &expected.SoftStarterCurves.Speed,
                                            &expected.SoftStarterCurves.Current,
                                            &expected.SoftStarterCurves.Torque,
                                            &expected.SoftStarterCurves.LoadTorque,
                                            &expected.SoftStarterCurves.Voltage};
    for (std::size_t k = 0; k < 201; ++k) {
        const std::vector<std::string> cells = SplitCells(lines[k + 1]);
        ASSERT_EQ(cells.size(), 11u) << k;
        for (std::size_t c = 0; c < 11; ++c) {
            EXPECT_EQ(cells[c].size(), 23u) << k << " " << c;
            EXPECT_EQ(cells[c], FormatCurveNumber((*columns[c])[k])) << k << " " << c;
            double value = 0;
            ASSERT_TRUE(SpreadsheetNumber(cells[c], value)) << cells[c];
            EXPECT_NEAR(value, (*columns[c])[k], 1e-13 * std::max(1.0, std::fabs(value)));
        }
    }
    EXPECT_EQ(lines[1].substr(0, 24), " 0.00000000000000E+0000;");

    // The same bytes on standard output.
    const SimResult toOutput =
        Sim(FourKilowatt({"--current-limit", "3", "--load", "squared", "--t2", "0.04", "--dynamic",
                          "--motor-inertia", "0.012", "--load-inertia", "0.1", "--dynamic-curves", "-"}));
    ASSERT_EQ(toOutput.status, 0) << toOutput.err;
    EXPECT_EQ(toOutput.out, text);
}

TEST(SimDynamic, CurvesOfAStalledStartRunToTheTimeLimit) {
    const SimResult r =
        Sim(FourKilowatt({"--load", "squared", "--t0", "105", "--t1", "12", "--t2", "-0.6", "--dynamic",
                          "--motor-inertia", "0.12", "--start-time-limit", "2", "--dynamic-curves", "-"}));
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> lines = CrLfLines(r.out);
    ASSERT_EQ(lines.size(), 202u);
    EXPECT_EQ(SplitCells(lines.back())[0], FormatCurveNumber(2.0));
    EXPECT_EQ(SplitCells(lines[101])[0], FormatCurveNumber(1.0));
}

TEST(SimDynamic, BadMechanicalDataAreRefusedWithTheirNumberAndNothingIsWritten) {
    TempFolder folder("dynamic-refusals");
    const std::string file = (folder / "start.csv").string();
    struct Case {
        std::vector<std::string> extra;
        std::string err;
    };
    const Case cases[] = {
        {{"--motor-inertia", "abc"}, "error 115: The value \"abc\" of --motor-inertia is not a number!\n"},
        {{"--motor-inertia", "0.1", "--load-inertia", "x1"},
         "error 115: The value \"x1\" of --load-inertia is not a number!\n"},
        {{"--motor-inertia", "0.1", "--start-time-limit", ""},
         "error 115: The value \"\" of --start-time-limit is not a number!\n"},
        {{"--motor-inertia", "-0.1"}, "error 110: The value of Motor Inertia must not be negative!\n"},
        {{"--motor-inertia", "0.1", "--load-inertia", "-1e-9"},
         "error 110: The value of Load Inertia must not be negative!\n"},
        {{"--motor-inertia", "0", "--load-inertia", "0"},
         "error 111: The total inertia of motor and load must be greater than 0!\n"},
        {{"--motor-inertia", "0.1", "--start-time-limit", "0"},
         "error 113: The start-time limit must be greater than 0 s and at most 3600 s!\n"},
        // A computation that fails: an inertia beyond the doubles' range leaves no finite start.
        {{"--motor-inertia", "0.1", "--load-inertia", "1e308"},
         "error 92: The equivalent diagram gives no finite current or torque!\n"},
        {{"--motor-inertia", "abc", "--lang", "fr"},
         "error 115: La valeur « abc » de --motor-inertia n'est pas un nombre!\n"},
        {{"--motor-inertia", "-1", "--lang", "fr"},
         "error 110: La valeur de « Inertie du moteur » ne doit pas être négative!\n"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = FourKilowatt({"--dynamic", "--dynamic-curves", file, "--json"});
        args.insert(args.end(), c.extra.begin(), c.extra.end());
        const SimResult r = Sim(args);
        EXPECT_EQ(r.status, 1) << c.err;
        EXPECT_EQ(r.err, c.err);
        EXPECT_TRUE(r.out.empty()) << r.out;
        EXPECT_FALSE(std::filesystem::exists(file)) << c.err;
    }
    // A refused computation leaves no file either.
    const SimResult refused =
        Sim(FourKilowatt({"--dynamic", "--load", "constant", "--t0", "500", "--dynamic-curves", file}));
    EXPECT_EQ(refused.err, "error 70: Loaded Torque is too big!\n");
    EXPECT_FALSE(std::filesystem::exists(file));
}

TEST(SimDynamic, AFileThatCannotBeWrittenIsAnErrorAndNoPartialFileStays) {
    const SimResult r = Sim(FourKilowatt({"--dynamic", "--dynamic-curves", "/nonexistent-dir/start.csv"}));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err.rfind("error: Cannot create \"/nonexistent-dir/start.csv\": No such file", 0), 0u)
        << r.err;
    EXPECT_TRUE(r.out.empty());
    if (std::filesystem::exists("/dev/full")) {
        const SimResult full = Sim(FourKilowatt({"--dynamic", "--dynamic-curves", "/dev/full"}));
        EXPECT_EQ(full.status, 1);
        EXPECT_EQ(full.err.rfind("error: Cannot write \"/dev/full\": No space left", 0), 0u) << full.err;
        EXPECT_TRUE(std::filesystem::exists("/dev/full")); // a device is never removed
    }
}

TEST(SimDynamic, UsageErrorsOfTheNewOptions) {
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             FourKilowatt({"--motor-inertia", "0.1"}),
             FourKilowatt({"--load-inertia", "0.1"}),
             FourKilowatt({"--start-time-limit", "5"}),
             FourKilowatt({"--dynamic-curves", "x.csv"}),
             FourKilowatt({"--dynamic", "--json", "--dynamic-curves", "-"}),
             FourKilowatt({"--dynamic", "--curves", "-", "--dynamic-curves", "-"}),
             FourKilowatt({"--dynamic", "--motor-inertia"}),
             FourKilowatt({"--dynamic=yes"}),
         }) {
        const SimResult r = Sim(args);
        EXPECT_EQ(r.status, 2) << args.back();
        EXPECT_EQ(r.err.rfind("tarvello-sim: ", 0), 0u);
        EXPECT_NE(r.err.find("tarvello-sim [OPTIONS]"), std::string::npos);
        EXPECT_TRUE(r.out.empty());
    }
    EXPECT_EQ(Sim(FourKilowatt({"--motor-inertia", "0.1"}))
                  .err.rfind("tarvello-sim: --motor-inertia goes with --dynamic\n", 0),
              0u);
    EXPECT_EQ(
        Sim(FourKilowatt({"--dynamic", "--json", "--dynamic-curves", "-"}))
            .err.rfind("tarvello-sim: --json and --dynamic-curves - both write to standard output\n", 0),
        0u);
    EXPECT_EQ(Sim(FourKilowatt({"--dynamic", "--motor-inertia"}))
                  .err.rfind("tarvello-sim: missing value for --motor-inertia\n", 0),
              0u);
    EXPECT_EQ(Sim(FourKilowatt({"--dynamic=yes"})).err.rfind("tarvello-sim: --dynamic takes no value\n", 0),
              0u);

    const SimResult help = SimProcess({"--help"});
    EXPECT_EQ(help.status, 0);
    for (const char* option : {"--dynamic ", "--motor-inertia KGM2", "--load-inertia KGM2",
                               "--start-time-limit S", "--dynamic-curves FILE", "kg m2"})
        EXPECT_NE(help.out.find(option), std::string::npos) << option;
}
