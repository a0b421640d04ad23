// tarvello-sim --relay-class: the refusals of the relay's options, the "Protection" object against
// the library's own results with its null rules, a stalled start, the comparison's and the sweep's
// relay columns, the time-current table's bytes and a whole command's files.
#include <cmath>
#include <regex>

#include "SimResultsSupport.h"

namespace fs = std::filesystem;

namespace {

// The 4 kW motor on a current-limited soft-starter with a fan load, started dynamically.
std::vector<std::string> Started(std::vector<std::string> extra = {}) {
    return FourKilowatt([&] {
        std::vector<std::string> a = {"--current-limit", "3", "--load",          "squared", "--t2",
                                      "0.04",            "--dynamic", "--motor-inertia", "0.012"};
        a.insert(a.end(), extra.begin(), extra.end());
        return a;
    }());
}

// The library's dynamic start of Started() with this relay, chart points as --tcc-* ask for.
DynamicResults Expected(const ProtectionSettings& relay, MotorDataSet& ds) {
    ds = ComputedFourKilowatt(0.04);
    DynamicSettings settings;
    settings.Mechanical.MotorInertia = 0.012;
    settings.Protection = relay;
    DynamicResults r;
    EXPECT_EQ(ComputeDynamicStart(ds, settings, r, 0, 600), 0);
    EXPECT_TRUE(r.Protection.has_value());
    return r;
}

const std::vector<std::string> ProtectionKeys = {"RelayClass", "RelaySetting", "LockedRotorCurrent",
                                                 "LockedRotorCurrentNetwork", "TauEarliest", "TauLatest",
                                                 "LockedRotor", "Dol", "SoftStarter"};
const std::vector<std::string> ColdKeys = {"EarliestTripTime", "LatestTripTime", "TripLevel",
                                           "PassesStart", "Tcu", "StartsInSuccession"};

void ExpectRelayStart(const OrderedJson& j, const RelayStart& s, const std::string& which) {
    ExpectSameNumber(j["EarliestTripTime"], s.EarliestTripTime, which);
    ExpectSameNumber(j["LatestTripTime"], s.LatestTripTime, which);
    ExpectSameNumber(j["TripLevel"], s.TripLevel, which);
    EXPECT_EQ(j["PassesStart"], s.PassesStart) << which;
    ExpectSameNumber(j["Tcu"], s.Tcu, which);
}

} // namespace

TEST(SimProtection, RefusalsOfTheRelayOptionsNameTheOptionOrField) {
    const struct {
        std::vector<std::string> extra;
        int status;
        std::string err; // the whole message, or its start for the usage errors
    } cases[] = {
        {{"--relay-class", "15"}, 1, "error 175: --relay-class \"15\" is not a trip class: give 10A, 10, 20 or 30!\n"},
        {{"--relay-class", "10a"}, 1, "error 175: --relay-class \"10a\" is not a trip class: give 10A, 10, 20 or 30!\n"},
        {{"--relay-setting", "9"}, 1,
         "error 176: --relay-setting belongs to the overload relay's check: give its trip class with "
         "--relay-class!\n"},
        {{"--locked-rotor-time-hot", "5"}, 1, "error 176: --locked-rotor-time-hot belongs to..."},
        {{"--tcc-csv", "t.csv"}, 1, "error 176: --tcc-csv belongs to..."},
        {{"--relay-class", "10", "--relay-setting", "8"}, 1,
         "error 170: The value of \"Relay Current Setting Ir\" must be at least 8.096\u00a0A..."},
        {{"--relay-class", "10", "--relay-setting", "86"}, 1,
         "error 171: The value of \"Relay Current Setting Ir\" must be at most 85\u00a0A..."},
        {{"--relay-class", "10", "--locked-rotor-time-cold", "3601", "--locked-rotor-time-hot", "5"}, 1,
         "error 172: The value of \"Locked-Rotor Withstand Time, Cold\" must be above 0\u00a0s and at most 3600\u00a0s!\n"},
        {{"--relay-class", "10", "--locked-rotor-time-cold", "10", "--locked-rotor-time-hot", "12"}, 1,
         "error 173: The locked-rotor withstand time when hot (12\u00a0s) must not be longer than when cold (10\u00a0s)!\n"},
        {{"--relay-class", "10", "--locked-rotor-time-cold", "10"}, 1, "error 174: Give both..."},
        // With the comparison the same judgement.
        {{"--relay-class", "20", "--relay-setting", "8", "--compare"}, 1, "error 170: ..."},
        {{"--relay-class", "10", "--relay-setting", "9,x"}, 1,
         "error 220: The value \"9,x\" of --relay-setting is not a number!\n"},
    };
    for (const auto& c : cases) {
        const SimResult r = Sim(Started(c.extra));
        EXPECT_EQ(r.status, c.status) << c.err;
        const bool start = c.err.ends_with("...");
        EXPECT_TRUE(start ? r.err.starts_with(c.err.substr(0, c.err.size() - 3)) : r.err == c.err) << r.err;
        EXPECT_TRUE(r.out.empty()) << c.err;
    }
    // The chart without the dynamic start (177) comes before anything is read; the settings
    // without it are usage errors as every dynamic setting's.
    SimResult r = Sim(FourKilowatt({"--tcc-png", "t.png", "--lang", "fr"}));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "error 177: --tcc-png trace le démarrage dynamique face au relais de surcharge\u00a0: donnez "
                     "--dynamic et --relay-class\u00a0!\n");
    r = Sim(Started({"--relay-class", "30a", "--lang", "fr"}));
    EXPECT_EQ(r.err, "error 175: --relay-class «\u00a030a\u00a0» n'est pas une classe de déclenchement\u00a0: "
                     "donnez 10A, 10, 20 ou 30\u00a0!\n");
    for (const char* option : {"--relay-class", "--relay-setting", "--locked-rotor-time-cold"}) {
        r = Sim(FourKilowatt({option, "10"}));
        EXPECT_EQ(r.status, 2);
        EXPECT_TRUE(r.err.starts_with("tarvello-sim: " + std::string(option) + " goes with --dynamic\n")) << r.err;
    }
    r = Sim(Started({"--relay-class", "10", "--json", "--tcc-csv", "-"}));
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.starts_with("tarvello-sim: --json and --tcc-csv - both write to standard output")) << r.err;
}

TEST(SimProtection, JsonHoldsTheLibrarysProtectionWithItsNullRules) {
    for (const bool withstand : {true, false}) {
        std::vector<std::string> relay = {"--relay-class", "10", "--relay-setting", "9", "--json"};
        ProtectionSettings settings{TripClass::Class10, 9.0, std::nullopt, std::nullopt};
        if (withstand) {
            relay.insert(relay.end(), {"--locked-rotor-time-cold", "15", "--locked-rotor-time-hot", "10"});
            settings.WithstandCold = 15;
            settings.WithstandHot = 10;
        }
        const SimResult r = Sim(Started(relay));
        ASSERT_EQ(r.status, 0) << r.err;
        const OrderedJson j = OrderedJson::parse(r.out);
        EXPECT_EQ(Keys(j["Dynamic"]), (std::vector<std::string>{"Dol", "SoftStarter", "Protection"}));
        const OrderedJson& p = j["Dynamic"]["Protection"];
        EXPECT_EQ(Keys(p), ProtectionKeys);
        MotorDataSet ds;
        const DynamicResults expected = Expected(settings, ds);
        const ProtectionResults& e = *expected.Protection;
        EXPECT_EQ(p["RelayClass"], "10");
        EXPECT_EQ(p["RelaySetting"].get<double>(), 9.0);
        ExpectSameNumber(p["LockedRotorCurrent"], e.LockedRotorCurrent, "I_LR");
        ExpectSameNumber(p["LockedRotorCurrentNetwork"], e.LockedRotorCurrentNetwork, "I_LRnet");
        // τ of the class's earliest relay in its closed form: t7.2 = 4 s.
        EXPECT_NEAR(p["TauEarliest"].get<double>(), 4 / std::log(7.2 * 7.2 / (7.2 * 7.2 - 1.125 * 1.125)), 1e-12);
        ExpectSameNumber(p["TauLatest"], e.TauLatest, "TauLatest");
        for (const auto& [name, start] : {std::pair{"Dol", &e.Dol}, std::pair{"SoftStarter", &e.SoftStarter}}) {
            const OrderedJson& s = p[name];
            EXPECT_EQ(Keys(s), (std::vector<std::string>{"Cold", "Hot"}));
            EXPECT_EQ(Keys(s["Cold"]), ColdKeys);
            EXPECT_EQ(Keys(s["Hot"]), std::vector<std::string>(ColdKeys.begin(), ColdKeys.end() - 1));
            ExpectRelayStart(s["Cold"], start->Cold, std::string(name) + " cold");
            ExpectRelayStart(s["Hot"], start->Hot, std::string(name) + " hot");
            EXPECT_EQ(s["Cold"]["Tcu"].is_null(), !withstand);
            EXPECT_EQ(s["Cold"]["StartsInSuccession"].is_null(), !withstand);
            if (withstand) {
                EXPECT_TRUE(s["Cold"]["StartsInSuccession"].is_number_integer());
                EXPECT_EQ(s["Cold"]["StartsInSuccession"].get<long long>(), *start->StartsInSuccession);
            }
        }
        if (!withstand) {
            EXPECT_TRUE(p["LockedRotor"].is_null());
            continue;
        }
        for (const auto& [name, check] : {std::pair{"Cold", &*e.LockedRotorCold}, std::pair{"Hot", &*e.LockedRotorHot}}) {
            const OrderedJson& l = p["LockedRotor"][name];
            EXPECT_EQ(Keys(l), (std::vector<std::string>{"LatestTripTime", "WithstandTime", "PermittedTime",
                                                         "Protects", "Margin"}));
            ExpectSameNumber(l["LatestTripTime"], check->LatestTripTime, name);
            ExpectSameNumber(l["PermittedTime"], check->PermittedTime, name);
            ExpectSameNumber(l["Margin"], check->Margin, name);
            EXPECT_EQ(l["Protects"], check->Protects);
        }
        EXPECT_EQ(p["LockedRotor"]["Hot"]["WithstandTime"].get<double>(), 10.0);
    }
}

TEST(SimProtection, AStalledStartNeverPassesTheRelay) {
    // The load crosses the motor's torque at 624.8 rpm; a class 30 relay, the slowest.
    const std::vector<std::string> stalled =
        FourKilowatt({"--load", "squared", "--t0", "105", "--t1", "12", "--t2", "-0.6", "--dynamic",
                      "--motor-inertia", "0.12", "--start-time-limit", "20", "--relay-class", "30",
                      "--locked-rotor-time-cold", "15", "--locked-rotor-time-hot", "10"});
    std::vector<std::string> json = stalled;
    json.push_back("--json");
    const SimResult r = Sim(json);
    ASSERT_EQ(r.status, 0) << r.err;
    const OrderedJson j = OrderedJson::parse(r.out);
    for (const char* start : {"Dol", "SoftStarter"}) {
        EXPECT_EQ(j["Dynamic"][start]["Stalled"], true);
        for (const char* state : {"Cold", "Hot"})
            EXPECT_EQ(j["Dynamic"]["Protection"][start][state]["PassesStart"], false) << start << state;
    }
    const SimResult panels = Sim(stalled);
    ASSERT_EQ(panels.status, 0) << panels.err;
    EXPECT_NE(panels.out.find("    Overload Relay : cold FAIL (trip level "), std::string::npos) << panels.out;
    EXPECT_NE(panels.out.find("  Overload Relay, Class 30\n"), std::string::npos) << panels.out;
    EXPECT_NE(panels.out.find("    Locked Rotor, Cold : latest relay trips after "), std::string::npos);
}

TEST(SimProtection, PanelsComparisonAndItsTableGainTheRelay) {
    // Without withstand times the panel says so, in both languages.
    SimResult r = Sim(Started({"--relay-class", "10A"}));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("  Overload Relay, Class 10A\n    Relay Setting Ir : 8.50 A (1.00 In)\n"), std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("    Locked Rotor : no withstand times given: only the relay is judged\n"), std::string::npos);
    r = Sim(Started({"--relay-class", "10A", "--lang", "fr"}));
    EXPECT_NE(r.out.find("    Relais de surcharge : à froid CONFORME (niveau de déclenchement "), std::string::npos)
        << r.out;

    TempFolder folder("protection-compare");
    const std::string csv = (folder / "compare.csv").string();
    const std::vector<std::string> relay = {"--compare", "--relay-class", "10", "--locked-rotor-time-cold", "15",
                                            "--locked-rotor-time-hot", "10"};
    std::vector<std::string> args = Started(relay);
    args.insert(args.end(), {"--delta", "--json", "--compare-csv", csv});
    r = Sim(args);
    ASSERT_EQ(r.status, 0) << r.err;
    const OrderedJson j = OrderedJson::parse(r.out);
    const std::vector<std::string> lines = CrLfLines(ReadWholeFile(csv));
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_TRUE(lines[0].ends_with(";StalledPeakCurrentRatio;RelayPassesStart;Tcu")) << lines[0];
    for (std::size_t m = 0; m < 6; ++m) {
        const OrderedJson& method = j["Comparison"][m];
        const std::vector<std::string> keys = Keys(method);
        EXPECT_EQ(std::vector<std::string>(keys.end() - 2, keys.end()),
                  (std::vector<std::string>{"RelayPassesStart", "Tcu"}));
        const std::vector<std::string> cells = SplitCells(lines[m + 1]);
        EXPECT_EQ(cells[cells.size() - 2], method["RelayPassesStart"].dump());
        EXPECT_EQ(cells.back(), CsvText(method["Tcu"].get<double>()));
    }
    // The comparison's direct-on-line start is the dynamic start's.
    EXPECT_EQ(j["Comparison"][0]["Tcu"], j["Dynamic"]["Protection"]["Dol"]["Cold"]["Tcu"]);
    r = Sim(Started(relay));
    EXPECT_NE(r.out.find("Rotor Energy   Relay                 TCU\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(" J          PASS "), std::string::npos) << r.out;
}

TEST(SimProtection, SweepColumnsAreTheProtectionsPathsAndEqualSingleRuns) {
    const std::vector<std::string> base = Started({"--relay-class", "20", "--locked-rotor-time-cold", "20"});
    std::vector<std::string> args = base;
    args.insert(args.end(), {"--sweep", "relay-setting=8:12:3", "--sweep", "locked-rotor-time-hot=5:25:2"});
    const SimResult r = Sim(args);
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> lines = CrLfLines(r.out);
    ASSERT_EQ(lines.size(), 7u);
    const std::vector<std::string> header = SplitCells(lines[0]);
    const std::size_t first = 5 + 2 * StartKeys.size();
    ASSERT_EQ(header.size(), first + 6 + 10 + 2 * 11);
    EXPECT_EQ(header[first], "Protection.RelayClass");
    EXPECT_EQ(header[first + 6], "Protection.LockedRotor.Cold.LatestTripTime");
    EXPECT_EQ(header[first + 16], "Protection.Dol.Cold.EarliestTripTime");
    EXPECT_EQ(header.back(), "Protection.SoftStarter.Hot.Tcu");
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::vector<std::string> row = SplitCells(lines[i]);
        // 8 A is below In / 1.05 (170), a hot time of 25 s above the cold one (173): rows of their own.
        const std::string error = row[0] == "8" ? "170" : row[1] == "25" ? "173" : "0";
        EXPECT_EQ(row[2], error) << lines[i];
        if (error != "0") {
            EXPECT_TRUE(row.back().empty());
            continue;
        }
        std::vector<std::string> single = base;
        single.insert(single.end(), {"--relay-setting", row[0], "--locked-rotor-time-hot", row[1], "--json"});
        const SimResult s = Sim(single);
        ASSERT_EQ(s.status, 0) << s.err;
        const OrderedJson p = OrderedJson::parse(s.out)["Dynamic"]["Protection"];
        for (std::size_t k = first; k < header.size(); ++k) {
            const OrderedJson value = p[OrderedJson::json_pointer(
                "/" + std::regex_replace(header[k].substr(11), std::regex("\\."), "/"))];
            const std::string cell = value.is_null()      ? ""
                                     : value.is_string()  ? value.get<std::string>()
                                     : value.is_boolean() ? value.dump()
                                                          : CsvText(value.get<double>());
            EXPECT_EQ(row[k], cell) << header[k];
        }
    }
}

TEST(SimProtection, TimeCurrentTableBytesAndItsFileAmongTheOthers) {
    TempFolder folder("protection-tcc");
    const std::string table = (folder / "tcc.csv").string(), json = (folder / "run.json").string();
    const std::vector<std::string> relay = {"--relay-class", "10", "--locked-rotor-time-cold", "15",
                                            "--locked-rotor-time-hot", "10"};
    std::vector<std::string> args = Started(relay);
    args.insert(args.end(), {"--tcc-csv", table, "--json"});
    const SimResult r = Sim(args);
    ASSERT_EQ(r.status, 0) << r.err;
    MotorDataSet ds;
    const DynamicResults expected = Expected({TripClass::Class10, std::nullopt, 15.0, 10.0}, ds);
    const TimeCurrentCurves curves = ComputeTimeCurrentCurves(expected, ds.LineCurrent);
    const std::string bytes = ReadWholeFile(table);
    const std::vector<std::string> lines = CrLfLines(bytes);
    const TimeCurrentCurve* columns[] = {&curves.DolStart,   &curves.SoftStarterStart, &curves.EarliestCold,
                                         &curves.EarliestHot, &curves.LatestCold,      &curves.LatestHot,
                                         &curves.MotorCold,   &curves.MotorHot};
    std::size_t rows = 0;
    for (const TimeCurrentCurve* c : columns)
        rows = std::max(rows, c->Current.size());
    ASSERT_EQ(lines.size(), rows + 1);
    const std::vector<std::string> header = SplitCells(lines[0]);
    ASSERT_EQ(header.size(), 20u);
    EXPECT_EQ(header[0], "DolStart.Current (I/In)");
    EXPECT_EQ(header[11], "LatestHot.Time (s)");
    EXPECT_EQ(header[19], "MotorHotPoint.Time (s)");
    for (std::size_t k = 0; k < rows; ++k) {
        const std::vector<std::string> cells = SplitCells(lines[k + 1]);
        ASSERT_EQ(cells.size(), 20u) << k;
        for (std::size_t c = 0; c < std::size(columns); ++c) {
            const bool has = k < columns[c]->Current.size();
            EXPECT_EQ(cells[2 * c], has ? CsvText(columns[c]->Current[k]) : "") << header[2 * c] << " " << k;
            EXPECT_EQ(cells[2 * c + 1], has ? CsvText(columns[c]->Time[k]) : "") << header[2 * c + 1] << " " << k;
        }
        EXPECT_EQ(cells[16], k == 0 ? CsvText(curves.MotorColdPoint->first) : "");
        EXPECT_EQ(cells[19], k == 0 ? CsvText(curves.MotorHotPoint->second) : "");
    }
    // The same bytes through the real executable, with the JSON on its standard output.
    const std::string again = (folder / "again.csv").string();
    args = Started(relay);
    args.insert(args.end(), {"--tcc-csv", again, "--json"});
    const SimResult p = SimProcess(args);
    EXPECT_EQ(p.status, 0) << p.err;
    EXPECT_EQ(ReadWholeFile(again), bytes);
    EXPECT_EQ(p.out, r.out);

    // One file for two outputs is refused before anything is computed; a refused relay leaves
    // every file as it was.
    args = Started(relay);
    args.insert(args.end(), {"--curves", table, "--tcc-csv", table});
    SimResult refused = Sim(args);
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, "error 221: --tcc-csv \"" + table + "\" and --curves \"" + table +
                               "\" name the same file: nothing was computed or written!\n");
    args = Started({"--relay-class", "10", "--relay-setting", "100"});
    args.insert(args.end(), {"--tcc-csv", table, "--curves", json});
    refused = Sim(args);
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(ReadWholeFile(table), bytes);
    EXPECT_FALSE(fs::exists(json));
}
