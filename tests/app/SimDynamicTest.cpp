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

TEST(SimDynamic, AStartThatDoesNotRunUpShowsItsPeakOverTheLimitAndTheSpeedNotReached) {
    const struct {
        double t0, t1, t2, inertia, limit;
        const char *lang, *operatingMark, *peakMark;
    } cases[] = {
        // The soft-starter's 3 In never breaks the rotor away from 4 Tn; the direct start runs up.
        {4 * ComputedFourKilowatt(0).RatedTorque, 0, 0, 0.12, 60, "en", " (not reached with soft-starter)",
         " over the 60 s shown"},
        // Both stall where the load crosses the torque curve; neither runs up within half a second.
        {105, 12, -0.6, 0.12, 60, "fr", " (non atteinte)", " sur les 60 s affichées"},
        {0, 0, 0.04, 5, 0.5, "en", " (not reached)", " over the 0.5 s shown"},
    };
    for (const auto& c : cases) {
        MotorDataSet ds = ComputedFourKilowatt(0);
        ds.T0 = c.t0, ds.T1 = c.t1, ds.T2 = c.t2;
        ASSERT_EQ(RunStartComputation(ds, nullptr, nullptr), 0);
        DynamicSettings settings;
        settings.Mechanical.MotorInertia = c.inertia;
        settings.Mechanical.StartTimeLimit = c.limit;
        DynamicResults e;
        ASSERT_EQ(ComputeDynamicStart(ds, settings, e, 0), 0);
        ASSERT_TRUE(e.SoftStarter.Stalled && e.SoftStarter.StalledPeakCurrentRatio);
        std::vector<std::string> args =
            FourKilowatt({"--current-limit", "3", "--load", "squared", "--t0", CsvText(c.t0), "--t1",
                          CsvText(c.t1), "--t2", CsvText(c.t2), "--dynamic", "--motor-inertia",
                          CsvText(c.inertia), "--start-time-limit", CsvText(c.limit), "--lang", c.lang});
        const SimResult panels = Sim(args);
        args.push_back("--json");
        const OrderedJson dynamic = OrderedJson::parse(Sim(args).out)["Dynamic"];
        ExpectStart(dynamic["Dol"], e.Dol, "Dol");
        ExpectStart(dynamic["SoftStarter"], e.SoftStarter, "SoftStarter");
        const bool en = std::string(c.lang) == "en";
        for (const std::string& line :
             {(en ? "  Operating Speed : " : "  Vitesse de fonctionnement : ") +
                  FormatFixed(*e.Dol.OperatingSpeed, 1) + " rpm" + c.operatingMark,
              (en ? "    Peak Current : " : "    Courant de crête : ") +
                  FormatFixed(*e.SoftStarter.StalledPeakLineCurrent, 1) + " A (" +
                  FormatFixed(*e.SoftStarter.StalledPeakCurrentRatio, 2) + " I/In)" + c.peakMark})
            EXPECT_NE(panels.out.find(line + "\n"), std::string::npos) << line << "\n" << panels.out;
    }
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
        {{"--motor-inertia", "-0.1"},
         "error 228: The value of \"Motor Inertia\" must lie between 0.00001 and 100\u00a0000\u00a0kg·m²!\n"},
        {{"--motor-inertia", "5e-324"},
         "error 228: The value of \"Motor Inertia\" must lie between 0.00001 and 100\u00a0000\u00a0kg·m²!\n"},
        {{"--motor-inertia", "0.1", "--load-inertia", "-1e-9"},
         "error 228: The value of \"Load Inertia\" must lie between 0 and 100\u00a0000\u00a0kg·m²!\n"},
        {{"--motor-inertia", "0.1", "--load-inertia", "1e308"},
         "error 228: The value of \"Load Inertia\" must lie between 0 and 100\u00a0000\u00a0kg·m²!\n"},
        {{"--motor-inertia", "0.1", "--start-time-limit", "0"},
         "error 113: The value of \"Start-Time Limit\" must lie between 0.01 and 3600\u00a0s!\n"},
        {{"--motor-inertia", "0.1", "--start-time-limit", "6.3e-322"},
         "error 113: The value of \"Start-Time Limit\" must lie between 0.01 and 3600\u00a0s!\n"},
        {{"--motor-inertia", "abc", "--lang", "fr"},
         "error 115: La valeur «\u00A0abc\u00A0» de --motor-inertia n'est pas un nombre\u00A0!\n"},
        {{"--motor-inertia", "-1", "--lang", "fr"},
         "error 228: La valeur de «\u00a0Inertie du moteur\u00a0» doit être comprise entre 0,00001 et "
         "100\u00a0000\u00a0kg·m²\u00a0!\n"},
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
    EXPECT_EQ(r.err,
              "error 222: Cannot write --dynamic-curves \"/nonexistent-dir/start.csv\" (No such file or "
              "directory): no file was changed!\n");
    EXPECT_TRUE(r.out.empty());
    if (std::filesystem::exists("/dev/full")) {
        const SimResult full = Sim(FourKilowatt({"--dynamic", "--dynamic-curves", "/dev/full"}));
        EXPECT_EQ(full.status, 1);
        EXPECT_EQ(full.err.rfind("error 222: Cannot write --dynamic-curves \"/dev/full\" (No space left", 0),
                  0u)
            << full.err;
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
