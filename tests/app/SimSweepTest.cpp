// tarvello-sim --sweep: the values of each sweep, rows that equal single runs of the same cases,
// the same bytes on any number of threads, refused cases as rows, the refusals of bad sweeps, the
// table file and the plot.
#include <cmath>
#include <limits>

#include "SimResultsSupport.h"
#include "SimSweep.h"

namespace {

// A single run's JSON for the texts of one row.
OrderedJson SingleRun(std::vector<std::string> args) {
    args.push_back("--json");
    const SimResult r = Sim(args);
    return r.status == 0 ? OrderedJson::parse(r.out) : OrderedJson(r.err);
}

// The cell's value as the JSON would hold it.
OrderedJson CellValue(const std::string& cell) {
    if (cell.empty()) return nullptr;
    if (cell == "true") return true;
    if (cell == "false") return false;
    double v = 0;
    EXPECT_TRUE(SpreadsheetNumber(cell, v)) << cell;
    return v;
}

std::vector<std::vector<std::string>> Rows(const std::string& csv) {
    std::vector<std::vector<std::string>> rows;
    for (const std::string& line : CrLfLines(csv))
        rows.push_back(SplitCells(line));
    return rows;
}

} // namespace

TEST(SimSweep, ValuesRunFromFirstToExactlyTheLast) {
    const SimResult r =
        Sim(FourKilowatt({"--load", "squared", "--sweep", "t2=0:0.04:7", "--sweep", "t0=1:2:1"}));
    ASSERT_EQ(r.status, 0) << r.err;
    const auto rows = Rows(r.out);
    ASSERT_EQ(rows.size(), 8u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"t2", "t0", "Error", "SoftStarterTime", "ImaxIn"}));
    for (int i = 0; i < 7; ++i) {
        const double expected = i == 6 ? 0.04 : 0 + (0.04 - 0) * i / 6.0;
        EXPECT_EQ(rows[i + 1][0], CsvText(expected)) << i; // the 17-digit text, which reads back exactly
        EXPECT_EQ(rows[i + 1][1], "1");                    // a count of 1 is FROM alone
        EXPECT_EQ(rows[i + 1][2], "0");
    }
    EXPECT_EQ(rows[7][0], "0.040000000000000001");
}

TEST(SimSweep, RowsEqualSingleRunsOfTheSameTexts) {
    const std::vector<std::string> base =
        FourKilowatt({"--current-limit", "3", "--load", "squared", "--dynamic", "--motor-inertia", "0.012",
                      "--supply-power", "5e6"});
    std::vector<std::string> args = base;
    args.insert(args.end(), {"--sweep", "load-inertia=0:0.2:3", "--sweep", "t2=0.01:0.03:2", "--sweep",
                             "preset=10:40:3"});
    const SimResult r = Sim(args);
    ASSERT_EQ(r.status, 0) << r.err;
    const auto rows = Rows(r.out);
    ASSERT_EQ(rows.size(), 1u + 3 * 2 * 3);
    const std::vector<std::string>& header = rows[0];
    std::vector<std::string> expectedHeader = {"load-inertia",    "t2",    "preset", "Error",
                                               "SoftStarterTime", "ImaxIn"};
    for (const char* prefix : {"Dol.", "SoftStarter."})
        for (const std::string& key : StartKeys)
            expectedHeader.push_back(prefix + key);
    EXPECT_EQ(header, expectedHeader);
    int refused = 0;
    for (std::size_t i = 1; i < rows.size(); ++i) {
        const std::vector<std::string>& row = rows[i];
        ASSERT_EQ(row.size(), header.size());
        std::vector<std::string> single = base;
        single.insert(single.end(), {"--load-inertia", row[0], "--t2", row[1], "--preset", row[2]});
        const OrderedJson j = SingleRun(single);
        if (j.is_string()) { // the single run is refused: the row says so with the same number
            EXPECT_EQ(j.get<std::string>().rfind("error " + row[3] + ": ", 0), 0u) << j;
            for (std::size_t k = 4; k < row.size(); ++k)
                EXPECT_EQ(row[k], "") << header[k];
            ++refused;
            continue;
        }
        EXPECT_EQ(row[3], "0");
        EXPECT_EQ(CellValue(row[4]), j["SoftStarterTime"]);
        EXPECT_EQ(CellValue(row[5]), j["ImaxIn"]);
        for (std::size_t k = 6; k < row.size(); ++k) {
            const std::string& column = header[k];
            const std::size_t dot = column.find('.');
            EXPECT_EQ(CellValue(row[k]), j["Dynamic"][column.substr(0, dot)][column.substr(dot + 1)])
                << column;
        }
    }
    EXPECT_GT(refused, 0); // a preset of 40 % cannot keep 3 In
    EXPECT_LT(refused, 18);
}

TEST(SimSweep, OneAndManyThreadsWriteTheSameBytes) {
    const std::vector<std::string> base =
        FourKilowatt({"--current-limit", "3", "--load", "squared", "--sweep", "preset=5:50:23", "--sweep",
                      "t2=0:0.04:31"});
    std::vector<std::string> one = base, many = base;
    one.insert(one.end(), {"--threads", "1"});
    many.insert(many.end(), {"--threads", "7"});
    const SimResult a = Sim(one), b = Sim(many), c = Sim(base);
    ASSERT_EQ(a.status, 0) << a.err;
    EXPECT_EQ(a.out, b.out);
    EXPECT_EQ(a.out, c.out);
    EXPECT_EQ(Rows(a.out).size(), 1u + 23 * 31);
    // The real executable, on all cores, to a file.
    TempFolder folder("sweep-threads");
    const std::string file = (folder / "sweep.csv").string();
    std::vector<std::string> toFile = base;
    toFile.insert(toFile.end(), {"--sweep-csv", file});
    const SimResult p = SimProcess(toFile);
    ASSERT_EQ(p.status, 0) << p.err;
    EXPECT_TRUE(p.out.empty());
    EXPECT_EQ(ReadWholeFile(file), a.out);
}

TEST(SimSweep, RefusedCasesAreRowsWithTheirNumber) {
    const SimResult r = Sim(FourKilowatt({"--load", "constant", "--sweep", "ramp-time=20:40:3", "--sweep",
                                          "t0=0:300:3", "--sweep", "preset=50:150:2"}));
    ASSERT_EQ(r.status, 0) << r.err;
    const auto rows = Rows(r.out);
    ASSERT_EQ(rows.size(), 1u + 3 * 3 * 2);
    std::map<std::string, int> errors;
    for (std::size_t i = 1; i < rows.size(); ++i) {
        const auto& row = rows[i];
        ++errors[row[3]];
        if (row[3] != "0") {
            EXPECT_EQ(row[4], "");
            EXPECT_EQ(row[5], "");
        }
        if (row[2] == "150") {
            EXPECT_EQ(row[3], "98") << "preset above 100 %";
        } else if (row[0] == "40") {
            EXPECT_EQ(row[3], "51") << "ramp above 30 s";
        } else if (row[1] == "300") {
            EXPECT_EQ(row[3], "70") << "load above the motor's torque";
        }
    }
    EXPECT_GT(errors["0"], 0);
    EXPECT_EQ(errors["98"], 9);

    // A span beyond the doubles still gives values between its ends, each a case of its own.
    const SimResult huge = Sim(FourKilowatt({"--load", "constant", "--sweep", "t0=-1e308:1e308:3"}));
    ASSERT_EQ(huge.status, 0) << huge.err;
    const auto hugeRows = Rows(huge.out);
    ASSERT_EQ(hugeRows.size(), 4u);
    EXPECT_EQ(hugeRows[1][0], "-1e+308");
    EXPECT_EQ(hugeRows[2][0], "0");
    EXPECT_EQ(hugeRows[2][1], "0");
    EXPECT_EQ(hugeRows[3][0], "1e+308");
    EXPECT_EQ(hugeRows[3][1], "70");
}

TEST(SimSweep, AMotorSweptOrReadOnceGivesTheSingleRunsResults) {
    // The motor's own options swept: each case reads its motor.
    const std::vector<std::string> motor = {"--voltage",         "400",  "--current",       "8.5",
                                            "--power-factor",    "0.82", "--frequency",     "50",
                                            "--no-load-current", "4.5",  "--current-limit", "3"};
    std::vector<std::string> args = motor;
    args.insert(args.end(), {"--sweep", "power=3800:4200:3", "--sweep", "speed=1430:1450:2"});
    SimResult r = Sim(args);
    ASSERT_EQ(r.status, 0) << r.err;
    auto rows = Rows(r.out);
    ASSERT_EQ(rows.size(), 7u);
    for (std::size_t i = 1; i < rows.size(); ++i) {
        std::vector<std::string> single = motor;
        single.insert(single.end(), {"--power", rows[i][0], "--speed", rows[i][1]});
        const OrderedJson j = SingleRun(single);
        ASSERT_TRUE(j.is_object()) << j;
        EXPECT_EQ(CellValue(rows[i][3]), j["SoftStarterTime"]);
        EXPECT_EQ(CellValue(rows[i][4]), j["ImaxIn"]);
    }
    // A motor every case shares is read once; refused, it refuses every case with its number.
    r = Sim(FourKilowatt({"--power-factor", "1.2", "--load", "squared", "--sweep", "t2=0:0.04:3"}));
    ASSERT_EQ(r.status, 0) << r.err;
    rows = Rows(r.out);
    ASSERT_EQ(rows.size(), 4u);
    for (std::size_t i = 1; i < rows.size(); ++i)
        EXPECT_EQ(rows[i][1], "20");

    // A study's case swept, against single runs of the study.
    TempFolder folder("sweep-study");
    const std::string study = (folder / "case.tarvello").string();
    ASSERT_EQ(Sim({"--catalogue", std::string(TARVELLO_SOURCE_DIR) + "/data/Liste Moteur.old", "--record",
                   "13", "--current-limit", "3.5", "--load", "squared", "--dynamic", "--motor-inertia", "0.3",
                   "--save-study", study})
                  .status,
              0);
    r = Sim({"--study", study, "--dynamic", "--sweep", "t2=0:0.1:3", "--sweep", "load-inertia=0:2:2"});
    ASSERT_EQ(r.status, 0) << r.err;
    rows = Rows(r.out);
    ASSERT_EQ(rows.size(), 7u);
    for (std::size_t i = 1; i < rows.size(); ++i) {
        const OrderedJson j =
            SingleRun({"--study", study, "--dynamic", "--t2", rows[i][0], "--load-inertia", rows[i][1]});
        ASSERT_TRUE(j.is_object()) << j;
        EXPECT_EQ(CellValue(rows[i][3]), j["SoftStarterTime"]);
        EXPECT_EQ(CellValue(rows[i][8]), j["Dynamic"]["Dol"]["RunUpTime"]);
    }
}

TEST(SimSweep, ComparisonColumnsFollowTheDynamicOnes) {
    const SimResult r = Sim(FourKilowatt({"--delta", "--current-limit", "3", "--dynamic", "--motor-inertia",
                                          "0.05", "--compare", "--starter-current", "9", "--starter-rating",
                                          "3.5-17:90-5", "--sweep", "starts-per-hour=2:8:2"}));
    ASSERT_EQ(r.status, 0) << r.err;
    const auto rows = Rows(r.out);
    ASSERT_EQ(rows.size(), 3u);
    const auto& header = rows[0];
    EXPECT_EQ(header.size(), 1 + 3 + 2 * StartKeys.size() + 6 * 12 + 12);
    EXPECT_EQ(header[4 + 2 * StartKeys.size()], "dol.Applicable");
    EXPECT_EQ(header.back(), "StarterDuty.SmallestIe");
    for (std::size_t i = 1; i < rows.size(); ++i) {
        const OrderedJson j = SingleRun(FourKilowatt(
            {"--delta", "--current-limit", "3", "--dynamic", "--motor-inertia", "0.05", "--compare",
             "--starter-current", "9", "--starter-rating", "3.5-17:90-5", "--starts-per-hour", rows[i][0]}));
        for (std::size_t k = 4 + 2 * StartKeys.size(); k < header.size(); ++k) {
            const std::string& column = header[k];
            const std::size_t dot = column.find('.');
            const std::string group = column.substr(0, dot), key = column.substr(dot + 1);
            if (group == "StarterDuty") {
                EXPECT_EQ(CellValue(rows[i][k]), j["StarterDuty"][key]) << column;
            } else {
                for (const OrderedJson& m : j["Comparison"]) {
                    if (m["Method"] != group) continue;
                    EXPECT_EQ(CellValue(rows[i][k]), m[key]) << column;
                }
            }
        }
    }
}

TEST(SimSweep, BadSweepsAreRefusedWithTheirNumberAndNothingIsWritten) {
    TempFolder folder("sweep-refusals");
    const std::string file = (folder / "sweep.csv").string();
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--sweep", "t2=0:1"},
         "error 165: The sweep \"t2=0:1\" is not of the form NAME=FROM:TO:COUNT, with two numbers and a "
         "whole number "
         "of values of at least 1!\n"},
        {{"--sweep", "t2=a:1:3"}, ""},
        {{"--sweep", "t2=0:1:0"}, ""},
        {{"--sweep", "t2=0:1:2.5"}, ""},
        {{"--sweep", "=0:1:3"}, ""},
        {{"--sweep", "t2"}, ""},
        {{"--sweep", "t3=0:1:3"}, "error 166: --t3 is not an option whose number a sweep can vary!\n"},
        {{"--sweep", "load=0:1:3"}, "error 166: --load is not an option whose number a sweep can vary!\n"},
        {{"--sweep", "t2=0:1:3", "--sweep", "t2=0:2:3"},
         "error 167: --t2 is swept twice, or swept and also given!\n"},
        {{"--t2", "0.01", "--sweep", "t2=0:1:3"},
         "error 167: --t2 is swept twice, or swept and also given!\n"},
        {{"--sweep", "t2=0:1:1000", "--sweep", "t1=0:1:1000", "--sweep", "t0=0:1:2"},
         "error 169: A sweep may run at most 1000000 cases!\n"},
        {{"--sweep", "t2=0:1:1000001"}, "error 169: A sweep may run at most 1000000 cases!\n"},
        {{"--t0", "abc", "--sweep", "t2=0:1:3"}, "error 220: The value \"abc\" of --t0 is not a number!\n"},
        {{"--t0", "1", "--sweep", "t2=0:1:3", "--lang", "fr", "--sweep", "x=1:2:3"},
         "error 166: --x n'est pas une option dont un balayage peut faire varier le nombre\u00A0!\n"},
    };
    for (const auto& [extra, text] : cases) {
        std::vector<std::string> args = FourKilowatt({"--load", "squared", "--sweep-csv", file});
        args.insert(args.end(), extra.begin(), extra.end());
        const SimResult r = Sim(args);
        EXPECT_EQ(r.status, 1) << extra.back();
        if (text.empty())
            EXPECT_EQ(r.err.rfind("error 165: ", 0), 0u) << r.err;
        else
            EXPECT_EQ(r.err, text);
        EXPECT_TRUE(r.out.empty());
        EXPECT_FALSE(std::filesystem::exists(file));
    }
    // A file that cannot be written.
    const SimResult unwritable = Sim(
        FourKilowatt({"--load", "squared", "--sweep", "t2=0:1:3", "--sweep-csv", "/nonexistent-dir/s.csv"}));
    EXPECT_EQ(unwritable.status, 1);
    EXPECT_EQ(unwritable.err,
              "error 222: Cannot write --sweep-csv \"/nonexistent-dir/s.csv\" (No such file or "
              "directory): no file was changed!\n");
    if (std::filesystem::exists("/dev/full")) {
        const SimResult full =
            Sim(FourKilowatt({"--load", "squared", "--sweep", "t2=0:1:3", "--sweep-csv", "/dev/full"}));
        EXPECT_EQ(full.status, 1);
        EXPECT_EQ(full.err.rfind("error 222: Cannot write --sweep-csv \"/dev/full\" (No space left", 0), 0u)
            << full.err;
    }
}

TEST(SimSweep, UsageErrorsOfTheSweepOptions) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--sweep", "t2=0:1:3", "--json"}, "--json does not go with --sweep"},
        {{"--sweep", "t2=0:1:3", "--curves", "c.txt"}, "--curves does not go with --sweep"},
        {{"--sweep", "t2=0:1:3", "--save-study", "s.tarvello"}, "--save-study does not go with --sweep"},
        {{"--threads", "2"}, "--threads goes with --sweep"},
        {{"--sweep-csv", "s.csv"}, "--sweep-csv goes with --sweep"},
        {{"--sweep", "t2=0:1:3", "--threads", "0"}, "--threads takes a whole number from 1 to 256"},
        {{"--sweep", "t2=0:1:3", "--threads", "two"}, "--threads takes a whole number from 1 to 256"},
        {{"--sweep", "t2=0:1:3", "--sweep-y", "ImaxIn"}, "--sweep-y goes with --sweep-png"},
        {{"--sweep", "t2=0:1:3", "--sweep-png", "p.png", "--sweep-y", "Dol.RunUpTime"},
         "--sweep-y names no result column of this sweep: Dol.RunUpTime"},
        {{"--sweep", "t2=0:1:3", "--sweep-png", "p.png", "--sweep-y", "t2"},
         "--sweep-y names no result column of this sweep: t2"},
        // A swept option counts as given.
        {{"--sweep", "ramp-time=1:2:3", "--current-limit", "3"},
         "--current-limit and --ramp-time exclude each other"},
        {{"--sweep", "load-inertia=0:1:3"}, "--load-inertia goes with --dynamic"},
    };
    for (const auto& [extra, text] : cases) {
        std::vector<std::string> args = FourKilowatt({"--load", "squared"});
        args.insert(args.end(), extra.begin(), extra.end());
        const SimResult r = Sim(args);
        EXPECT_EQ(r.status, 2) << text;
        EXPECT_EQ(r.err, "tarvello-sim: " + text + "\n" + SimulatorUsage);
        EXPECT_TRUE(r.out.empty());
    }
}

TEST(SimSweep, TheTenThousandCaseSweepHasARowForEachCase) {
    const SimResult r = SimProcess(FourKilowatt({"--current-limit", "3", "--static", "--load", "squared",
                                                 "--sweep", "preset=5:50:100", "--sweep", "t2=0:0.04:100"}));
    ASSERT_EQ(r.status, 0) << r.err;
    const auto rows = Rows(r.out);
    ASSERT_EQ(rows.size(), 10001u);
    int computed = 0;
    for (std::size_t i = 1; i < rows.size(); ++i)
        computed += rows[i][2] == "0";
    EXPECT_GT(computed, 5000);
    EXPECT_EQ(rows[10000][0], "50");
    EXPECT_EQ(rows[10000][1], "0.040000000000000001");
}

TEST(SimSweep, ALongSweepSaysHowFarItHasGotten) {
    // The sweep itself, told to report from the start instead of after a second.
    const SimOptions o = ParseSimOptions(FourKilowatt({"--load", "squared", "--sweep", "t2=0:0.04:40"}));
    const CaseSource source = PrepareCases(o);
    const std::vector<SweepDimension> dimensions = ParseSweeps(o);
    SweepSettings settings;
    settings.threads = 1;
    settings.progressAfter = std::chrono::milliseconds(0);
    std::string rows;
    std::ostringstream progress;
    ASSERT_TRUE(RunSweep(
        source, dimensions, settings, [&](const std::string& text) { return (rows += text), true; }, progress,
        Language::English, nullptr));
    const std::string p = progress.str();
    EXPECT_EQ(p.rfind("\rtarvello-sim: case 16 of 40", 0), 0u) << p; // after the first chunk of cases
    EXPECT_NE(p.find("\rtarvello-sim: case 40 of 40\n"), std::string::npos) << p;
    EXPECT_EQ(std::count(p.begin(), p.end(), '\n'), 1);
    EXPECT_EQ(rows, Sim(FourKilowatt({"--load", "squared", "--sweep", "t2=0:0.04:40"})).out);
    // A sweep shorter than a second says nothing.
    EXPECT_TRUE(Sim(FourKilowatt({"--load", "squared", "--sweep", "t2=0:0.04:30"})).err.empty());
}

#ifdef TARVELLO_CHART_IMAGES
#include "ImagePixels.h"

TEST(SimSweep, APlotOfOneColumnAgainstTheLastSweptOption) {
    TempFolder folder("sweep-png");
    const std::string png = (folder / "sweep.png").string();
    SimResult r = Sim(FourKilowatt({"--load", "squared", "--dynamic", "--motor-inertia", "0.012", "--sweep",
                                    "load-inertia=0:1:3", "--sweep", "t2=0:0.04:21", "--sweep-png", png}));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Rows(r.out).size(), 1u + 3 * 21); // the rows still go to standard output
    QImage image(QString::fromStdString(png));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.width(), 720);
    EXPECT_EQ(image.height(), 420);
    // One series per load inertia, in the palette's first three colours.
    EXPECT_GT(Pixels(image, QColor(0, 0, 255)), 200);
    EXPECT_GT(Pixels(image, QColor(255, 0, 0)), 200);
    EXPECT_GT(Pixels(image, QColor(0, 128, 0)), 200);
    EXPECT_LT(Pixels(image, QColor(255, 128, 0)), 20); // no fourth series

    // Over ten combinations only ten are drawn, evenly chosen; another column, in French.
    std::filesystem::remove(png);
    r = Sim(FourKilowatt({"--current-limit", "3", "--load", "squared", "--sweep", "preset=5:30:12", "--sweep",
                          "t2=0:0.04:5", "--sweep-png", png, "--sweep-y", "ImaxIn", "--lang", "fr"}));
    ASSERT_EQ(r.status, 0) << r.err;
    image = QImage(QString::fromStdString(png));
    ASSERT_FALSE(image.isNull());
    EXPECT_GT(Pixels(image, QColor(128, 128, 0)), 20); // the tenth colour

    // A plot that cannot be written is an error, after the rows.
    r = Sim(FourKilowatt(
        {"--load", "squared", "--sweep", "t2=0:0.04:3", "--sweep-png", "/nonexistent-dir/p.png"}));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err.rfind("error 222: Cannot write --sweep-png \"/nonexistent-dir/p.png\"", 0), 0u) << r.err;
}
#endif
