// tarvello-sim --relay-class: the relay options' refusals, the "Protection" object's keys and null
// rules, the sweep's columns and a whole command's files (the panels and a stalled start that never
// passes are the README's examples, run by ReadmeExamplesTest).
#include <cmath>
#include <regex>

#include "SimResultsSupport.h"

namespace {
// The 4 kW motor, current limit 3, fan load, started dynamically.
std::vector<std::string> Started(std::vector<std::string> extra) {
    std::vector<std::string> a = FourKilowatt({"--current-limit", "3", "--load", "squared", "--t2", "0.04",
                                               "--dynamic", "--motor-inertia", "0.012"});
    a.insert(a.end(), extra.begin(), extra.end());
    return a;
}
const std::vector<std::string> Withstand = {"--relay-class",           "10", "--locked-rotor-time-cold", "15",
                                            "--locked-rotor-time-hot", "10"};
} // namespace

TEST(SimProtection, RefusalsNameTheOptionOrField) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        // "..." ends a message's start
        {{"--relay-class", "10a"},
         "error 175: --relay-class \"10a\" is not a trip class: give 10A, 10, 20 or 30!\n"},
        {{"--relay-setting", "9"},
         "error 176: --relay-setting belongs to the overload relay's check: give..."},
        {{"--tcc-csv", "t.csv"}, "error 176: --tcc-csv belongs to..."},
        {{"--relay-class", "10", "--relay-setting", "8"},
         "error 170: The value of \"Relay Current Setting Ir\"..."},
        {{"--relay-class", "20", "--relay-setting", "86", "--compare"}, "error 171: ..."},
        {{"--relay-class", "10", "--locked-rotor-time-cold", "0", "--locked-rotor-time-hot", "0"},
         "error 172: ..."},
        {{"--relay-class", "10", "--locked-rotor-time-cold", "10", "--locked-rotor-time-hot", "12"},
         "error 173: ..."},
        {{"--relay-class", "10", "--locked-rotor-time-cold", "10"}, "error 174: ..."},
        {{"--relay-class", "10", "--relay-setting", "9,x"},
         "error 220: The value \"9,x\" of --relay-setting..."},
        {{"--relay-class", "3", "--lang", "fr"},
         "error 175: --relay-class «\u00a03\u00a0» n'est pas une classe de "
         "déclenchement\u00a0: donnez 10A, 10, 20 ou 30\u00a0!\n"},
    };
    for (const auto& [extra, message] : cases) {
        const SimResult r = Sim(Started(extra));
        EXPECT_EQ(r.status, 1) << message;
        const bool start = message.ends_with("...");
        EXPECT_TRUE(start ? r.err.starts_with(message.substr(0, message.size() - 3)) : r.err == message)
            << r.err;
    }
    const SimResult r = Sim(FourKilowatt({"--tcc-png", "t.png"}));
    EXPECT_EQ(r.err,
              "error 177: --tcc-png draws the dynamic start against the overload relay: give --dynamic "
              "and --relay-class!\n");
}

TEST(SimProtection, JsonKeysAndNullRules) {
    for (const bool withstand : {true, false}) {
        std::vector<std::string> relay =
            withstand ? Withstand : std::vector<std::string>{"--relay-class", "10"};
        relay.push_back("--json");
        const SimResult r = Sim(Started(relay));
        ASSERT_EQ(r.status, 0) << r.err;
        const OrderedJson p = OrderedJson::parse(r.out)["Dynamic"]["Protection"];
        EXPECT_EQ(Keys(p), (std::vector<std::string>{"RelayClass", "RelaySetting", "LockedRotorCurrent",
                                                     "LockedRotorCurrentNetwork", "TauEarliest", "TauLatest",
                                                     "LockedRotor", "Dol", "SoftStarter"}));
        EXPECT_EQ(p["RelaySetting"].get<double>(), 8.5); // In when not given
        // τ of the class's earliest relay in its closed form (t7.2 = 4 s).
        EXPECT_NEAR(p["TauEarliest"].get<double>(), 4 / std::log(7.2 * 7.2 / (7.2 * 7.2 - 1.125 * 1.125)),
                    1e-12);
        EXPECT_EQ(Keys(p["Dol"]["Cold"]),
                  (std::vector<std::string>{"EarliestTripTime", "LatestTripTime", "TripLevel", "PassesStart",
                                            "Tcu", "StartsInSuccession"}));
        EXPECT_TRUE(p["Dol"]["Cold"]["EarliestTripTime"].is_null()); // the start passes
        EXPECT_EQ(p["Dol"]["Hot"]["Tcu"].is_number(), withstand);
        EXPECT_EQ(p["SoftStarter"]["Cold"]["StartsInSuccession"].is_number_integer(), withstand);
        EXPECT_EQ(p["LockedRotor"].is_null(), !withstand);
    }
}

TEST(SimProtection, SweepColumnsAreTheProtectionsPathsAndEqualSingleRuns) {
    const std::vector<std::string> base = Started({"--relay-class", "20", "--locked-rotor-time-cold", "20"});
    std::vector<std::string> args = base;
    args.insert(args.end(), {"--sweep", "relay-setting=8:12:3", "--sweep", "locked-rotor-time-hot=5:25:2"});
    const SimResult r = Sim(args);
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> lines = CrLfLines(r.out), header = SplitCells(lines.at(0));
    const std::size_t first = 5 + 2 * StartKeys.size();
    ASSERT_EQ(header.size(), first + 6 + 10 + 22);
    EXPECT_EQ(header[first + 16], "Protection.Dol.Cold.EarliestTripTime");
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::vector<std::string> row = SplitCells(lines[i]);
        // 8 A is below In / 1.05 (170), a hot time of 25 s above the cold one (173).
        EXPECT_EQ(row[2], row[0] == "8" ? "170" : row[1] == "25" ? "173" : "0") << lines[i];
        if (row[2] != "0") continue;
        std::vector<std::string> single = base;
        single.insert(single.end(), {"--relay-setting", row[0], "--locked-rotor-time-hot", row[1], "--json"});
        const OrderedJson p = OrderedJson::parse(Sim(single).out)["Dynamic"]["Protection"];
        for (std::size_t k = first; k < header.size(); ++k) {
            const OrderedJson v = p[OrderedJson::json_pointer(
                std::regex_replace(header[k].substr(10), std::regex("\\."), "/"))];
            EXPECT_EQ(row[k], v.is_null()      ? ""
                              : v.is_string()  ? v.get<std::string>()
                              : v.is_boolean() ? v.dump()
                                               : CsvText(v.get<double>()))
                << header[k];
        }
    }
}

TEST(SimProtection, AWholeCommandWritesTheTableTheComparisonAndTheJsonOrNothing) {
    TempFolder folder("protection");
    const std::string tcc = (folder / "tcc.csv").string(), compare = (folder / "compare.csv").string();
    std::vector<std::string> args = Started(Withstand);
    args.insert(args.end(), {"--compare", "--json", "--tcc-csv", tcc, "--compare-csv", compare, "--tcc-png",
                             (folder / "tcc.png").string()});
    const SimResult r = SimProcess(args);
#ifdef TARVELLO_CHART_IMAGES
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(ReadWholeFile(folder / "tcc.png").starts_with("\x89PNG\r\n"));
#else
    ASSERT_EQ(r.status, 1) << r.err; // nothing is written when the chart cannot be drawn
    return;
#endif
    const OrderedJson j = OrderedJson::parse(r.out);
    const std::string bytes = ReadWholeFile(tcc);
    const std::vector<std::string> lines = CrLfLines(bytes);
    ASSERT_GT(lines.size(), 600u); // the chart's 600 points and the exact peaks
    EXPECT_TRUE(lines[0].starts_with("DolStart.Current (I/In);DolStart.Time (s);SoftStarterStart.Current"));
    EXPECT_EQ(SplitCells(lines[1]).back(), CsvText(10)); // the hot locked-rotor point at t_LR, then none
    EXPECT_EQ(SplitCells(lines.back()).size(), 20u);
    EXPECT_TRUE(lines.back().ends_with(";;")) << lines.back(); // a curve of fewer points: empty cells
    // The comparison: the relay's cold verdict and TCU after each method's keys.
    const std::vector<std::string> table = CrLfLines(ReadWholeFile(compare));
    EXPECT_TRUE(table.at(0).ends_with(";StalledPeakCurrentRatio;RelayPassesStart;Tcu"));
    EXPECT_EQ(j["Comparison"][0]["Tcu"], j["Dynamic"]["Protection"]["Dol"]["Cold"]["Tcu"]);
    EXPECT_TRUE(table.at(1).ends_with(";true;" + CsvText(j["Comparison"][0]["Tcu"].get<double>())));
    // The same file twice, and a refused relay: nothing written.
    args = Started(Withstand);
    args.insert(args.end(), {"--curves", tcc, "--tcc-csv", tcc});
    EXPECT_EQ(Sim(args).err, "error 221: --tcc-csv \"" + tcc + "\" and --curves \"" + tcc +
                                 "\" name the same file: nothing was computed or written!\n");
    args = Started({"--relay-class", "10", "--relay-setting", "100", "--tcc-csv", tcc, "--compare",
                    "--compare-csv", compare});
    EXPECT_EQ(Sim(args).status, 1);
    EXPECT_EQ(ReadWholeFile(tcc), bytes);
}
