// The command line's data sheets: options, JSON, panels, refusals, the batch table, a study made from
// one of its rows, and the tolerance corners.

#include "SimTestSupport.h"

namespace {

// The 4 kW motor of the data sheets (1430 rpm), with Ia/In given.
std::vector<std::string> Sheet(const std::string& ia, std::vector<std::string> extra = {}) {
    std::vector<std::string> a = {"--power", "4000", "--voltage", "400", "--current", "8.5", "--power-factor",
                                  "0.82", "--frequency", "50", "--speed", "1430", "--star",
                                  "--locked-rotor-current", ia, "--locked-rotor-torque", "2.5",
                                  "--breakdown-torque", "2.9"};
    a.insert(a.end(), extra.begin(), extra.end());
    return a;
}

OrderedJson JsonOf(const std::vector<std::string>& args) {
    const SimResult r = Sim(args);
    EXPECT_EQ(r.status, 0) << r.err;
    return OrderedJson::parse(r.out);
}

const char* const TableHeader =
    "Maker;Size;Power;Voltage;Current;PowerFactor;Frequency;Speed;Coupling;LockedRotorCurrent;LockedRotorTorque;"
    "BreakdownTorque";

} // namespace

TEST(SimDatasheet, JsonOfExactBestAndNoFit) {
    const OrderedJson exact = JsonOf(Sheet("5.5", {"--json"}));
    EXPECT_TRUE(exact["Fit"]["Exact"].get<bool>());
    EXPECT_EQ(exact["Fit"]["Priority"], "torque");
    for (const auto& [key, deviation] : exact["Fit"]["Deviations"].items())
        EXPECT_LT(std::fabs(deviation.get<double>()), 1e-9) << key;
    EXPECT_GT(exact["Rr2"].get<double>(), exact["Rr"].get<double>());
    EXPECT_LT(exact["Xr2sigma"].get<double>(), exact["Xrsigma"].get<double>());
    EXPECT_EQ(exact["LockedRotorCurrentRatio"], 5.5);
    // The rated point of an exact fit is the nameplate's.
    EXPECT_NEAR(exact["RatedPoint"]["Slip"].get<double>(), 1 - 1430.0 / 1500, 1e-9);
    EXPECT_NEAR(exact["RatedPoint"]["PowerFactor"].get<double>(), 0.82, 1e-9);

    // Ia/In 6.4 has only a best fit: the torque priority keeps the torques, the current one Ia.
    const OrderedJson torque = JsonOf(Sheet("6.4", {"--json"}));
    EXPECT_FALSE(torque["Fit"]["Exact"].get<bool>());
    EXPECT_LT(std::fabs(torque["Fit"]["Deviations"]["LockedRotorTorque"].get<double>()),
              std::fabs(torque["Fit"]["Deviations"]["LockedRotorCurrent"].get<double>()));
    const OrderedJson current = JsonOf(Sheet("6.4", {"--json", "--fit-priority", "current"}));
    EXPECT_EQ(current["Fit"]["Priority"], "current");
    EXPECT_LT(std::fabs(current["Fit"]["Deviations"]["LockedRotorCurrent"].get<double>()),
              std::fabs(torque["Fit"]["Deviations"]["LockedRotorCurrent"].get<double>()));

    // Without a data sheet the new keys are null and come after every earlier one.
    const OrderedJson plain = JsonOf(FourKilowatt({"--json"}));
    const std::vector<std::string> keys = Keys(plain);
    const std::vector<std::string> added = {"Rr2", "Xr2sigma", "LockedRotorCurrentRatio", "LockedRotorTorqueRatio",
                                            "BreakdownTorqueRatio", "Fit", "RatedPoint"};
    EXPECT_EQ(std::vector<std::string>(keys.end() - 7, keys.end()), added);
    for (const std::string& k : added)
        EXPECT_TRUE(plain[k].is_null()) << k;
}

TEST(SimDatasheet, PanelsSayHowTheCircuitCameAbout) {
    const SimResult exact = Sim(Sheet("5.5"));
    ASSERT_EQ(exact.status, 0) << exact.err;
    EXPECT_NE(exact.out.find("Data Sheet : Ia/In 5.50, Ta/Tn 2.50, Tk/Tn 2.90\n"), std::string::npos);
    EXPECT_NE(exact.out.find("Circuit : double cage, exact fit (kr "), std::string::npos) << exact.out;
    const SimResult best = Sim(Sheet("6.4", {"--lang", "fr"}));
    ASSERT_EQ(best.status, 0) << best.err;
    EXPECT_NE(best.out.find("Schéma : double cage, meilleur ajustement dans les tolérances CEI\u00a0: Ia \u2212"),
              std::string::npos)
        << best.out;
    // Eight circuit values give a second cage; six keep one and print as ever.
    const SimResult eight = Sim(Motor({"--approximate", "--circuit", "0.7,0.55,1.6,2.6,45,700,3,0.8"}));
    EXPECT_NE(eight.out.find("Circuit : double cage\n"), std::string::npos) << eight.err;
    EXPECT_EQ(Sim(FourKilowatt()).out.find("Circuit"), std::string::npos);
}

TEST(SimDatasheet, RefusalsAndUsage) {
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string text;
    };
    const Case cases[] = {
        {Sheet("x"), 1, "error 186: The value \"x\" of --locked-rotor-current is not a number!"},
        {Sheet("20.5"), 1, "error 229:"},
        {Sheet("1"), 1, "error 229:"},
        {Sheet("5.5", {"--breakdown-torque", "2.4"}), 1, "error 180:"},
        {Motor({"--locked-rotor-current", "6"}), 1, "error 182:"},
        {Sheet("5.5", {"--circuit", "1,1,1,1,40,900"}), 2, "--locked-rotor-current does not go with --circuit"},
        {Sheet("5.5", {"--fit-priority", "speed"}), 2, "--fit-priority takes torque or current"},
        {Motor({"--approximate", "--circuit", "1,1,1,1,40,900,3"}), 2, "--circuit takes six values"},
        {Motor({"--approximate", "--circuit", "1,1,1,1,40,900,,0.8"}), 1, "error 186: R'r2 of --circuit"},
        {Sheet("5.5", {"--tolerance-corners"}), 2, "--tolerance-corners goes with --dynamic"},
        {FourKilowatt({"--dynamic", "--tolerance-corners"}), 2, "needs a motor with a data sheet"},
        {{"--fit-datasheets", "t.csv", "--power", "4000"}, 2, "--power does not go with --fit-datasheets"},
        {{"--fit-out", "o.csv"}, 2, "--fit-out goes with --fit-datasheets"},
        {{"--fit-datasheets", "/nonexistent/t.csv"}, 1, "error 188:"},
    };
    for (const Case& c : cases) {
        const SimResult r = Sim(c.args);
        EXPECT_EQ(r.status, c.status) << c.text << "\n" << r.err;
        EXPECT_NE(r.err.find(c.text), std::string::npos) << r.err;
    }
}

TEST(SimDatasheet, BatchTableInOrderWhateverTheThreads) {
    TempFolder folder("datasheet-batch");
    const std::string semicolon = std::string(TableHeader) +
                                  "\r\nA;112M;4000;400;8,5;0,82;50;1430;Star;5,5;2,5;2,9\r\n"
                                  "B;112M;4000;400;8.5;0.82;50;1430;Star;6.4;2.5;2.9\r\n"
                                  "C;x;4000;400;8.5;0.82;50;1430;Triangle;6.4;2.5;2.9\r\n"
                                  "D;;4000;400;8.5;0.82;50;1430;Delta;6.4;2.5\r\n"
                                  "\r\n";
    std::string comma = TableHeader;
    std::replace(comma.begin(), comma.end(), ';', ',');
    comma += "\nA,112M,4000,400,8.5,0.82,50,1430,Star,5.5,2.5,2.9\n";
    std::ofstream(folder / "a.csv", std::ios::binary) << semicolon;
    std::ofstream(folder / "b.csv", std::ios::binary) << comma;
    const std::string in = (folder / "a.csv").string();

    const SimResult one = Sim({"--fit-datasheets", in, "--threads", "1"});
    ASSERT_EQ(one.status, 0) << one.err;
    EXPECT_EQ(Sim({"--fit-datasheets", in, "--threads", "4"}).out, one.out);
    const std::vector<std::string> lines = CrLfLines(one.out);
    ASSERT_EQ(lines.size(), 5u) << one.out;
    const std::vector<std::string> header = SplitCells(lines[0]);
    ASSERT_EQ(header.size(), 12u + 20u);
    EXPECT_EQ(header[12], "Error");
    EXPECT_EQ(header.back(), "BreakdownSlip");
    const std::vector<std::string> a = SplitCells(lines[1]), b = SplitCells(lines[2]), c = SplitCells(lines[3]),
                                   d = SplitCells(lines[4]);
    EXPECT_EQ(a[4], "8,5"); // the input cells as read
    EXPECT_EQ(std::vector<std::string>(a.begin() + 12, a.begin() + 15),
              (std::vector<std::string>{"0", "true", "torque"}));
    EXPECT_EQ(std::vector<std::string>(b.begin() + 12, b.begin() + 14), (std::vector<std::string>{"0", "false"}));
    EXPECT_EQ(c[12], "189");
    EXPECT_EQ(d[12], "189"); // a cell short
    for (const auto* row : {&c, &d}) {
        ASSERT_EQ(row->size(), header.size());
        EXPECT_TRUE(std::all_of(row->begin() + 13, row->end(), [](const std::string& s) { return s.empty(); }));
    }
    // A table separated by "," gives the same circuit as the same motor with decimal commas.
    const SimResult fromComma = Sim({"--fit-datasheets", (folder / "b.csv").string()});
    ASSERT_EQ(fromComma.status, 0) << fromComma.err;
    const std::vector<std::string> same = SplitCells(CrLfLines(fromComma.out)[1]);
    EXPECT_EQ(std::vector<std::string>(same.begin() + 12, same.end()),
              std::vector<std::string>(a.begin() + 12, a.end()));
    // The output is a file put in place like every other.
    ASSERT_EQ(Sim({"--fit-datasheets", in, "--fit-out", (folder / "out.csv").string()}).status, 0);
    EXPECT_EQ(ReadWholeFile(folder / "out.csv"), one.out);
    EXPECT_EQ(Sim({"--fit-datasheets", in, "--fit-out", in}).status, 1);
}

TEST(SimDatasheet, StudyOfOneRowIdentifiedAgainOnOpening) {
    TempFolder folder("datasheet-row");
    std::ofstream(folder / "t.csv", std::ios::binary)
        << TableHeader << "\nA;112M;4000;400;8.5;0.82;50;1430;Star;6.4;2.5;2.9\n";
    const std::string study = (folder / "s.tarvello").string();
    const SimResult saved = Sim({"--fit-datasheets", (folder / "t.csv").string(), "--row", "1", "--fit-priority",
                                 "current", "--save-study", study});
    ASSERT_EQ(saved.status, 0) << saved.err;
    const OrderedJson file = OrderedJson::parse(ReadWholeFile(study));
    EXPECT_EQ(file["version"], 4);
    EXPECT_EQ(file["motor"]["datasheet"]["LockedRotorCurrentRatio"], 6.4);
    EXPECT_EQ(file["motor"]["datasheet"]["Priority"], "current");
    EXPECT_FALSE(file["motor"].contains("NoLoadLineCurrent"));
    EXPECT_FALSE(file["motor"].contains("circuit"));
    // Opened again, the same data sheet gives the same circuit as typed on the command line.
    const OrderedJson reopened = JsonOf({"--study", study, "--json"});
    const OrderedJson typed = JsonOf(Sheet("6.4", {"--json", "--fit-priority", "current", "--maker", "A",
                                                   "--size", "112M"}));
    for (const char* key : {"Rs", "Rr", "Xssigma", "Xrsigma", "Xh", "Riron", "Rr2", "Xr2sigma", "Fit"})
        EXPECT_EQ(reopened[key], typed[key]) << key;
    EXPECT_EQ(Sim({"--fit-datasheets", (folder / "t.csv").string(), "--row", "2", "--json"}).status, 1);
}

TEST(SimDatasheet, ToleranceCornersBoundTheRunUp) {
    // An 11 kW two-pole motor of the catalogue, whose both corners have a circuit within the tolerances.
    const std::vector<std::string> args = {
        "--power", "11000", "--voltage", "400", "--current", "19.6", "--power-factor", "0.89", "--frequency", "50",
        "--speed", "2935", "--delta", "--locked-rotor-current", "7.9", "--locked-rotor-torque", "2.5",
        "--breakdown-torque", "2.8", "--dynamic", "--load", "constant", "--t0", "20", "--load-inertia", "0.2",
        "--motor-inertia", "0.03", "--tolerance-corners"};
    std::vector<std::string> json = args;
    json.push_back("--json");
    const OrderedJson j = JsonOf(json);
    const OrderedJson& weak = j["ToleranceCorners"]["Weak"];
    const OrderedJson& heavy = j["ToleranceCorners"]["Heavy"];
    ASSERT_EQ(weak["Error"], 0);
    ASSERT_EQ(heavy["Error"], 0);
    EXPECT_EQ(weak["Fit"]["Priority"], "torque");
    EXPECT_EQ(heavy["Fit"]["Priority"], "current");
    // Less torque runs up more slowly; more current is drawn by the heavy corner.
    const double nominal = j["Dynamic"]["Dol"]["RunUpTime"].get<double>();
    EXPECT_GT(weak["Dynamic"]["Dol"]["RunUpTime"].get<double>(), nominal);
    EXPECT_GT(heavy["Dynamic"]["Dol"]["PeakCurrentRatio"].get<double>(),
              j["Dynamic"]["Dol"]["PeakCurrentRatio"].get<double>());
    const SimResult panel = Sim(args);
    EXPECT_NE(panel.out.find("Tolerance Corners : run-up "), std::string::npos) << panel.out;
}
