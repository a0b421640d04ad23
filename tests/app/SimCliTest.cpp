#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <unistd.h>

#include "SimCli.h"

namespace {
struct Result {
    int status;
    std::string out, err;
};

Result Sim(std::vector<std::string> args) {
    std::ostringstream out, err;
    const int status = RunSimulatorCommand(args, out, err);
    return {status, out.str(), err.str()};
}

std::vector<std::string> Motor(std::vector<std::string> extra = {}) {
    std::vector<std::string> a = {"--power", "4000", "--voltage", "400", "--current", "8.5", "--power-factor",
                                  "0.82", "--frequency", "50", "--speed", "1440"};
    a.insert(a.end(), extra.begin(), extra.end());
    return a;
}

// The value of one key of the --json object, as text.
std::string JsonValue(const std::string& json, const std::string& key) {
    const std::string tag = "\"" + key + "\": ";
    const std::size_t p = json.find(tag);
    if (p == std::string::npos) return "<missing>";
    const std::size_t start = p + tag.size();
    return json.substr(start, json.find_first_of(",}", start) - start);
}

double JsonNumber(const std::string& json, const std::string& key) { return std::stod(JsonValue(json, key)); }
} // namespace

TEST(TarvelloSim, PanelsOfTheWorkedExample) {
    const Result r = Sim(Motor({"--no-load-current", "4.5", "--current-limit", "3", "--maker", "Maker A"}));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Constructor : Maker A"), std::string::npos);
    EXPECT_NE(r.out.find("Electrical Power : 4829 W"), std::string::npos);
    EXPECT_NE(r.out.find("Number Pair of Poles : 2 --"), std::string::npos);
    EXPECT_NE(r.out.find("Time of Soft-Starter : 4.20 s"), std::string::npos);
    EXPECT_NE(r.out.find("Preset : 10.00 %"), std::string::npos);
    EXPECT_TRUE(r.err.empty());

    const Result fr = Sim(Motor({"--no-load-current", "4.5", "--lang", "fr"}));
    EXPECT_NE(fr.out.find("Puissance électrique : 4829 W"), std::string::npos);
}

TEST(TarvelloSim, StarDeltaApproximationAndGivenCircuit) {
    Result r = Sim(Motor({"--no-load-current", "4.5", "--json"}));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NEAR(JsonNumber(r.out, "Xh"), 51.3200, 1e-4);
    EXPECT_EQ(JsonValue(r.out, "StarCoupling"), "true");
    EXPECT_EQ(JsonValue(r.out, "PhaseVoltage"), "230.9401076758503");

    r = Sim(Motor({"--no-load-current", "4.5", "--delta", "--json"}));
    EXPECT_NEAR(JsonNumber(r.out, "Rs"), 3.82449, 1e-5);
    EXPECT_EQ(JsonValue(r.out, "StarCoupling"), "false");

    r = Sim(Motor({"--approximate", "--json"}));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NEAR(JsonNumber(r.out, "NoLoadLineCurrent"), 4.37858, 1e-5);

    r = Sim(Motor({"--approximate", "--circuit", "0,86;0,61;1,36;1,36;61;1440", "--json"}));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(JsonNumber(r.out, "Rr"), 0.61);
    EXPECT_EQ(JsonNumber(r.out, "Xh"), 61);
    r = Sim(Motor({"--approximate", "--circuit", "0.86,0.61,1.36,1.36,61,1440", "--json"}));
    EXPECT_EQ(JsonNumber(r.out, "Riron"), 1440);
}

TEST(TarvelloSim, ModesAndLoads) {
    Result r = Sim(Motor({"--no-load-current", "4,5", "--ramp-time", "7,5", "--preset", "25", "--json"}));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(JsonNumber(r.out, "SoftStarterTime"), 7.5);
    EXPECT_EQ(JsonNumber(r.out, "Preset"), 0.25);
    EXPECT_EQ(JsonValue(r.out, "LimitCurrentMode"), "false");
    EXPECT_GT(JsonNumber(r.out, "ImaxIn"), 2.4);

    // Each load kind uses only its own coefficients; one it does not use is refused, not ignored.
    const std::map<std::string, std::array<double, 3>> kinds = {
        {"none", {0, 0, 0}}, {"constant", {5, 0, 0}}, {"proportional", {5, 0.2, 0}}, {"squared", {5, 0.2, 0.01}}};
    const char* const coefficients[] = {"--t0", "--t1", "--t2"};
    const char* const texts[] = {"5", "0.2", "0.01"};
    for (const auto& [kind, t] : kinds) {
        std::vector<std::string> args = Motor({"--no-load-current", "4.5", "--load", kind, "--json"});
        for (int i = 0; i < 3; ++i)
            if (t[i] != 0) args.insert(args.end(), {coefficients[i], texts[i]});
        r = Sim(args);
        ASSERT_EQ(r.status, 0) << kind << r.err;
        EXPECT_EQ(JsonNumber(r.out, "T0"), t[0]) << kind;
        EXPECT_EQ(JsonNumber(r.out, "T1"), t[1]) << kind;
        EXPECT_EQ(JsonNumber(r.out, "T2"), t[2]) << kind;
        if (kind == "squared") continue; // uses all three
        r = Sim(Motor({"--no-load-current", "4.5", "--load", kind, "--t0", "5", "--t1", "0.2", "--t2", "0.01",
                       "--json"}));
        EXPECT_EQ(r.status, 1) << kind;
        EXPECT_EQ(r.err.rfind("error 158: The load coefficient --t", 0), 0u) << r.err;
    }
}

TEST(TarvelloSim, CurvesToStandardOutputAndFile) {
    const Result r = Sim(Motor({"--no-load-current", "4.5", "--static", "--curves", "-"}));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind("Time;Id/In DOL;Td/Tn DOL;Id/In SS;Td/Tn SS;n/ns\r\n", 0), 0u);
    EXPECT_EQ(r.out.size(), 49u + 100u * 145u);

    const auto file = std::filesystem::temp_directory_path() / "tarvello-sim-test.TXT";
    const Result w = Sim(Motor({"--no-load-current", "4.5", "--static", "--curves", file.string()}));
    ASSERT_EQ(w.status, 0) << w.err;
    std::ifstream in(file, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    EXPECT_EQ(s.str(), r.out);
    std::filesystem::remove(file);

    const Result bad = Sim(Motor({"--no-load-current", "4.5", "--curves", "/nonexistent-dir/x.TXT"}));
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.err.find("No such file"), std::string::npos) << bad.err;
}

TEST(TarvelloSim, RefusedInput) {
    // Missing rated values in the dialog's order.
    EXPECT_EQ(Sim({}).err, "error 1: Mecanical power is not declared!\n");
    EXPECT_EQ(Sim({"--power", "4000", "--voltage", "400", "--current", "8"}).err,
              "error 5: Frequency is not declared!\n");
    EXPECT_EQ(Sim(Motor()).err, "error 6: No load current is not declared!\n");
    Result r = Sim(Motor({"--no-load-current", "4.5", "--power-factor", "1.2"}));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "error 20: Power factor must be less than 1!\n");
    r = Sim(Motor({"--no-load-current", "4.5", "--power", "6000", "--lang", "fr"}));
    EXPECT_EQ(r.err, "error 21: La puissance mécanique doit être plus petite que la puissance électrique!\n");
    r = Sim(Motor({"--no-load-current", "4.5", "--ramp-time", "30.5"}));
    EXPECT_EQ(r.err, "error 51: Time Soft-Starter must be less than 30s!\n");
    EXPECT_EQ(Sim(Motor({"--no-load-current", "4.5", "--ramp-time", "30"})).status, 0);
    r = Sim(Motor({"--no-load-current", "4.5", "--load", "constant", "--t0", "170"}));
    EXPECT_EQ(r.err, "error 70: Loaded Torque is too big!\n");
    r = Sim(Motor({"--no-load-current", "4.5", "--current-limit", "0"}));
    EXPECT_EQ(r.err.rfind("error 94: ", 0), 0u) << r.err;
    r = Sim(Motor({"--no-load-current", "0", "--speed", "0"}));
    EXPECT_EQ(r.err, "error 81: Rated speed must be greater than 0!\n");
    r = Sim(Motor({"--no-load-current", "0"}));
    EXPECT_EQ(r.err, "error 90: No load current must be greater than 0!\n");
    r = Sim(Motor({"--no-load-current", "4.5", "--estimated-time", "0"}));
    EXPECT_EQ(r.err, "error 93: Estimated time to start motor must be greater than 0!\n");
    r = Sim(Motor({"--no-load-current", "4.5", "--circuit", "1,0,1,1,50,1000"}));
    EXPECT_EQ(r.err, "error 91: R'r must not be 0!\n");
    r = Sim(Motor({"--no-load-current", "abc"}));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "error 220: The value \"abc\" of --no-load-current is not a number!\n");
    EXPECT_TRUE(r.out.empty());
}

TEST(TarvelloSim, RefusalsOfValuesThatWouldGiveWrongResults) {
    struct Case {
        std::vector<std::string> args;
        std::string err;
    };
    const Case cases[] = {
        // A power factor of 1 leaves no reactive power to identify the reactances from.
        {{"--power", "1000", "--voltage", "230", "--current", "8.5", "--power-factor", "1", "--frequency", "50",
          "--speed", "1440", "--no-load-current", "4.5"},
         "error 20: Power factor must be less than 1!\n"},
        {Motor({"--power-factor", "1", "--approximate"}), "error 20: Power factor must be less than 1!\n"},
        {Motor({"--no-load-current", "4.9"}),
         "error 99: No load line current must be less than 4.87\u00A0A (line current x sin phi)!\n"},
        {Motor({"--no-load-current", "-4.5"}), "error 90: No load current must be greater than 0!\n"},
        {Motor({"--no-load-current", "4.5", "--current", "1e308"}),
         "error 96: The value of \"Line Current\" is so large that a derived value overflows!\n"},
        {Motor({"--no-load-current", "4.5", "--speed", "1e-307"}),
         "error 108: The value of \"Rated Speed\" is so small that a derived value overflows!\n"},
        {Motor({"--no-load-current", "4.5", "--estimated-time", "5e-324"}),
         "error 97: The value of \"Estimated Time to Start Motor with Load\" is so small that a derived value "
         "vanishes!\n"},
        {Motor({"--no-load-current", "4.5", "--circuit", "0.86,0.61,1.36,1.36,61,1e155"}),
         "error 95: The equivalent diagram's values are so large that the current or torque computation "
         "overflows!\n"},
        {Motor({"--no-load-current", "4.5", "--circuit", "0.86,0.61,1.36,1.36,1e200,1440"}),
         "error 95: The equivalent diagram's values are so large that the current or torque computation "
         "overflows!\n"},
        {Motor({"--no-load-current", "4.5", "--circuit", "0.86,1e152,1.36,1.36,61,1440"}),
         "error 95: The equivalent diagram's values are so large that the current or torque computation "
         "overflows!\n"},
        {Motor({"--no-load-current", "4.5", "--circuit", "0.86,0.61,1.36,-1.36,-61,1440"}),
         "error 107: X'rsigma must not be negative!\n"},
        {Motor({"--no-load-current", "4.5", "--preset", "-5"}), "error 98: Preset must lie between 0 and 100\u00A0%!\n"},
        {Motor({"--no-load-current", "4.5", "--preset", "100.5"}),
         "error 98: Preset must lie between 0 and 100\u00A0%!\n"},
        {Motor({"--no-load-current", "4.5", "--preset", "-5", "--lang", "fr"}),
         "error 98: Le preset doit être compris entre 0 et 100\u00A0%\u00A0!\n"},
    };
    for (const Case& c : cases) {
        const Result r = Sim(c.args);
        EXPECT_EQ(r.status, 1) << c.err;
        EXPECT_EQ(r.err, c.err);
        EXPECT_TRUE(r.out.empty()) << r.out;
    }
    // Both ends of the preset range are accepted.
    for (const char* preset : {"0", "100"}) {
        const Result r = Sim(Motor({"--no-load-current", "4.5", "--preset", preset, "--json"}));
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(JsonNumber(r.out, "Preset"), std::string(preset) == "0" ? 0.0 : 1.0);
    }
}

TEST(TarvelloSim, EmptyValuesAreMissingValuesAsInTheDialogs) {
    EXPECT_EQ(Sim(Motor({"--no-load-current", "4.5", "--power", ""})).err, "error 1: Mecanical power is not declared!\n");
    EXPECT_EQ(Sim(Motor({"--no-load-current", "4.5", "--speed", ""})).err, "error 7: Nominal speed is not declared\n");
    EXPECT_EQ(Sim(Motor({"--no-load-current", ""})).err, "error 6: No load current is not declared!\n");
    // Blanks are text, as in the dialog: not a number.
    EXPECT_EQ(Sim(Motor({"--no-load-current", " "})).err,
              "error 220: The value \" \" of --no-load-current is not a number!\n");
    // The circuit's values as the equivalent diagram dialog names them, empty or not a number.
    EXPECT_EQ(Sim(Motor({"--no-load-current", "4.5", "--circuit", ",0.61,1.36,1.36,61,1440"})).err,
              "error 101: Rs is not declared or is not a number!\n");
    EXPECT_EQ(Sim(Motor({"--no-load-current", "4.5", "--circuit", "0.86,0.61,1.36,1.36,61,x", "--lang", "fr"})).err,
              "error 106: Rfer n'est pas déclarée ou n'est pas un nombre\u00A0!\n");
}

TEST(TarvelloSim, NumbersWithExponentsAndLongFractions) {
    const Result plain = Sim(Motor({"--no-load-current", "4.5", "--json"}));
    ASSERT_EQ(plain.status, 0) << plain.err;
    // "4.0e3" once read as 4 + 0 / 10: now the same motor as 4000.
    const Result exponent =
        Sim({"--power", "4.0e3", "--voltage", "4E2", "--current", "8,5e0", "--power-factor", "82e-2", "--frequency",
             "50", "--speed", "1.44e3", "--no-load-current", "0.45e1", "--json"});
    ASSERT_EQ(exponent.status, 0) << exponent.err;
    EXPECT_EQ(exponent.out, plain.out);
    const Result longFraction = Sim(Motor({"--no-load-current", "4.5", "--voltage", "400." + std::string(6000, '0'),
                                           "--json"}));
    ASSERT_EQ(longFraction.status, 0) << longFraction.err;
    EXPECT_EQ(longFraction.out, plain.out);
}

TEST(TarvelloSim, ASearchedRampAboveThirtySecondsIsNoError) {
    // The 30 s bound is for a typed ramp time; the current-limit search may find a longer ramp.
    const Result r = Sim(Motor(
        {"--no-load-current", "4.5", "--current-limit", "2", "--preset", "5", "--estimated-time", "60", "--json"}));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_GT(JsonNumber(r.out, "SoftStarterTime"), 30);
    EXPECT_LT(JsonNumber(r.out, "ImaxIn"), 2);
}

TEST(TarvelloSim, UsageErrors) {
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"--bogus"},
                                               {"--power"},
                                               Motor({"--current-limit", "3", "--ramp-time", "5"}),
                                               Motor({"--json", "--curves", "-"}),
                                               Motor({"--approximate", "--no-load-current", "4"}),
                                               Motor({"--lang", "de"}),
                                               Motor({"--approximate", "--circuit", "1,2,3"})}) {
        const Result r = Sim(args);
        EXPECT_EQ(r.status, 2) << args[0];
        EXPECT_NE(r.err.find("tarvello-sim [OPTIONS]"), std::string::npos);
        EXPECT_TRUE(r.out.empty());
    }
    const Result help = Sim({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--current-limit RATIO"), std::string::npos);
}

TEST(TarvelloSim, CatalogueRecord) {
    const auto dir = std::filesystem::temp_directory_path() / "tarvello-sim-catalogue";
    std::filesystem::create_directories(dir);
    const auto file = dir / "Liste Moteur.dat";
    {
        std::ofstream out(file, std::ios::binary);
        out << "0;title;\r\n"
            << "12;Maker A;132 M;5500;400;50;11.2;0.83;1450;5.6;0.86;0.61;1.36;1.36;61;1440;Delta;\r\n"
            << "13;Maker B;112 M;4000;400;50;8,5;0,82;1440;4,5;1,27;1,27;0,58;0,58;51;1158;Star;\r\n";
    }
    Result r = Sim({"--catalogue", file.string(), "--record", "1", "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(JsonValue(r.out, "ConstructorName"), "\"Maker A\"");
    EXPECT_EQ(JsonValue(r.out, "StarCoupling"), "false");
    EXPECT_EQ(JsonNumber(r.out, "Xh"), 61); // used as listed, not identified again
    EXPECT_EQ(JsonNumber(r.out, "Rr"), 0.61);
    EXPECT_EQ(JsonNumber(r.out, "PhaseVoltage"), 400);

    r = Sim({"--catalogue", file.string(), "--record", "2", "--current-limit", "3", "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(JsonNumber(r.out, "LineCurrent"), 8.5);
    EXPECT_EQ(JsonNumber(r.out, "Riron"), 1158);

    r = Sim({"--catalogue", file.string(), "--record", "3"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "error 224: The motor catalogue has no usable motor for --record 3!\n");
    r = Sim({"--catalogue", (dir / "missing.dat").string(), "--record", "1"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(Sim({"--catalogue", file.string(), "--record", "x"}).status, 2);
    EXPECT_EQ(Sim({"--catalogue", file.string()}).status, 2);
    EXPECT_EQ(Sim({"--catalogue", file.string(), "--record", "1", "--power", "5"}).status, 2);
    std::filesystem::remove_all(dir);
}

TEST(TarvelloSim, CatalogueThatIsNoListOrTooLargeIsRefusedUnreadWithItsNumber) {
    // /dev/zero used to be read until memory ran out.
    Result r = Sim({"--catalogue", "/dev/zero", "--record", "1"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(
        r.err,
        "error 212: \"/dev/zero\" is not a regular file: it cannot be read or written as a motor list!\n");
    r = Sim({"--catalogue", "/dev/zero", "--record", "1", "--lang", "fr"});
    EXPECT_EQ(
        r.err,
        "error 212: «\u00A0/dev/zero\u00A0» n'est pas un fichier ordinaire\u00A0: il ne peut être ni lu ni écrit comme "
        "liste de moteurs\u00A0!\n");
    EXPECT_TRUE(r.out.empty());

    // A list one byte above 64 MiB (sparse: no disk space used) is refused before it is read.
    const auto dir = std::filesystem::temp_directory_path() / "tarvello-sim-large-catalogue";
    std::filesystem::create_directories(dir);
    const auto file = dir / "Liste Moteur.dat";
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out << "0;title;\r\n"
            << "12;Maker A;132 M;5500;400;50;11.2;0.83;1450;5.6;0.86;0.61;1.36;1.36;61;1440;Delta;\r\n";
    }
    std::filesystem::resize_file(file, (std::uintmax_t{64} << 20) + 1);
    r = Sim({"--catalogue", file.string(), "--record", "1"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err,
              "error 213: The motor list cannot be larger than 64\u00A0MiB: nothing was read or written!\n");
    // A missing list names the option.
    std::filesystem::remove(file);
    r = Sim({"--catalogue", file.string(), "--record", "1"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "error 223: The motor catalogue cannot be read: --catalogue \"" + file.string() +
                         "\" (No such file or directory)!\n");
    std::filesystem::remove_all(dir);
}

#ifdef TARVELLO_CHART_IMAGES
#include <QImage>

TEST(TarvelloSim, ChartImageWithoutADisplay) {
    const auto file = std::filesystem::temp_directory_path() / "tarvello-sim-charts.png";
    std::filesystem::remove(file);
    Result r = Sim(Motor({"--no-load-current", "4.5", "--current-limit", "3", "--png", file.string()}));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.out.empty()); // the image replaces the printed panels
    QImage image(QString::fromStdString(file.string()));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.width(), 385);
    EXPECT_EQ(image.height(), 249); // two charts
    int blue = 0, red = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            blue += c.blue() > 200 && c.red() < 80 && c.green() < 80;
            red += c.red() > 200 && c.blue() < 80 && c.green() < 80;
        }
    EXPECT_GT(blue, 100); // the DOL curves and captions
    EXPECT_GT(red, 100);  // the soft-starter curves and captions

    r = Sim(Motor({"--no-load-current", "4.5", "--static", "--png", file.string(), "--lang", "fr"}));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(QImage(QString::fromStdString(file.string())).height(), 489); // four charts

    std::filesystem::remove(file);
    r = Sim(Motor({"--no-load-current", "4.5", "--load", "constant", "--t0", "500", "--png", file.string()}));
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(std::filesystem::exists(file));
    r = Sim(Motor({"--no-load-current", "4.5", "--png", "/nonexistent-dir/x.png"}));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err.rfind("error 222: Cannot write --png \"/nonexistent-dir/x.png\"", 0), 0u) << r.err;
}
#endif

TEST(TarvelloSim, ListedMotorsAreRefusedAsTypedOnes) {
    const auto dir = std::filesystem::temp_directory_path() / "tarvello-sim-refusals";
    std::filesystem::create_directories(dir);
    const auto file = dir / "Liste Moteur.dat";
    {
        std::ofstream out(file, std::ios::binary);
        const std::string rated = ";Maker A;132 M;5500;400;50;11.2;";
        out << "0;title;\r\n"
            << "1" << rated << "0.83;1450;5.6;0.86;0.61;1.36;1.36;61;-1440;Delta;\r\n"
            << "2" << rated << "5e-324;1450;5.6;0.86;0.61;1.36;1.36;61;1440;Delta;\r\n"
            << "3;Maker A;132 M;5500;400;50;1e308;0.83;1450;5.6;0.86;0.61;1.36;1.36;61;1440;Delta;\r\n"
            << "4" << rated << "0.83;1450;5.6;0.86;0.61;1.36;1.36;1e200;1440;Delta;\r\n"
            << "5" << rated << "0.83;1450;5.6;0.86;0.61;1.36;1.36;61;1440;Delta;\r\n";
    }
    auto run = [&](const char* record, std::vector<std::string> extra = {}) {
        std::vector<std::string> args = {"--catalogue", file.string(), "--record", record};
        args.insert(args.end(), extra.begin(), extra.end());
        return Sim(args);
    };
    EXPECT_EQ(run("1").err, "error 107: Riron must not be negative!\n");
    EXPECT_EQ(run("1", {"--lang", "fr"}).err, "error 107: Rfer ne doit pas être négative\u00A0!\n");
    EXPECT_EQ(run("2").err,
              "error 97: The value of \"Power Factor\" is so small that a derived value vanishes!\n");
    EXPECT_EQ(run("3").err,
              "error 96: The value of \"Line Current\" is so large that a derived value overflows!\n");
    EXPECT_EQ(run("4").err.rfind("error 95: ", 0), 0u) << run("4").err;
    for (const char* record : {"1", "2", "3", "4"}) {
        const Result r = run(record, {"--json"});
        EXPECT_EQ(r.status, 1) << record;
        EXPECT_TRUE(r.out.empty()) << r.out; // nothing half-computed, no "inf" in any JSON
    }
    const Result good = run("5", {"--json"});
    ASSERT_EQ(good.status, 0) << good.err;
    EXPECT_EQ(good.out.find("inf"), std::string::npos);
    std::filesystem::remove_all(dir);
}

#include <nlohmann/json.hpp>

#include "Checks.h"
#include "ExampleMotor.h"
#include "StartSimulation.h"

TEST(TarvelloSim, UsageErrorTextsStandAsTheyWere) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--bogus"}, "unknown option --bogus"},
        {Motor({"stray"}), "unknown option stray"},
        {{"--power"}, "missing value for --power"},
        {{"--catalogue", "x.dat"}, "--catalogue and --record go together"},
        {{"--catalogue", "x.dat", "--record", "1", "--speed", "5"},
         "--speed does not go with --catalogue: the record gives the motor"},
        {Motor({"--approximate", "--no-load-current", "4"}), "--no-load-current and --approximate exclude each other"},
        {Motor({"--star", "--delta"}), "--star and --delta exclude each other"},
        {Motor({"--current-limit", "3", "--ramp-time", "5"}), "--current-limit and --ramp-time exclude each other"},
        {Motor({"--json", "--curves", "-"}), "--json and --curves - both write to standard output"},
        {Motor({"--lang", "de"}), "--lang takes en or fr"},
        {Motor({"--load", "fan"}), "--load takes none, constant, proportional or squared"},
        {Motor({"--approximate", "--circuit", "1,2,3"}),
         "--circuit takes six values: RS,RR,XSSIGMA,XRSIGMA,XH,RIRON, or eight with a second cage: "
         "RS,RR,XSSIGMA,XRSIGMA,XH,RIRON,RR2,XR2SIGMA"},
        {{"--catalogue", "x.dat", "--record", "0"}, "--record takes a whole number from 1"},
    };
    for (const auto& [args, text] : cases) {
        const Result r = Sim(args);
        EXPECT_EQ(r.status, 2) << text;
        EXPECT_EQ(r.err, "tarvello-sim: " + text + "\n" + SimulatorUsage);
        EXPECT_TRUE(r.out.empty());
    }
    // Values are taken as they are, also when they look like options or negative numbers.
    Result r = Sim(Motor({"--no-load-current", "4.5", "--maker", "--json", "--json"}));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(nlohmann::json::parse(r.out)["ConstructorName"], "--json");
    // The last of a repeated option counts.
    r = Sim(Motor({"--no-load-current", "4.5", "--preset", "20", "--preset", "30", "--json"}));
    EXPECT_EQ(nlohmann::json::parse(r.out)["Preset"].get<double>(), 0.3);
}

TEST(TarvelloSim, HelpKeepsEveryLineItAlwaysHad) {
    const char* const lines[] = {
        "tarvello-sim [OPTIONS]",
        " motor from the catalogue (its circuit is used as listed):",
        "   --catalogue FILE --record N        record N: the N-th motor line after the title",
        " or motor from rated values (the circuit is identified from them):",
        "   --power W --voltage V --current A --power-factor PF --frequency HZ --speed RPM",
        "   --no-load-current A | --approximate",
        "   --star | --delta                   (default --star)",
        "   --maker TEXT --size TEXT           (optional)",
        "   --circuit RS,RR,XSSIGMA,XRSIGMA,XH,RIRON    use this circuit as given",
        "                                      (separate with \";\" to write decimal commas)",
        " soft-starter:",
        "   --estimated-time S                 (default 10)",
        "   --preset PERCENT                   (default 10)",
        "   --current-limit RATIO              current-limit mode: search the ramp time",
        "   --ramp-time S                      selected-time mode (default mode, default 5 s)",
        "   --load none|constant|proportional|squared   (default none)",
        "   --t0 NM --t1 NMS --t2 NMS2",
        " output:",
        "   --static                           also compute the curves against n/ns",
        "   --curves FILE                      write the curve file (\"-\" for standard output)",
        "   --json                             print the motor data set after the computation as one JSON object",
        "   --png FILE                         draw the charts (with --static all four) into a PNG image",
        "   --lang en|fr                       language of messages (default en)",
        "   --help",
    };
    const Result help = Sim({"--help"});
    ASSERT_EQ(help.status, 0);
    std::size_t at = 0;
    for (const char* line : lines) {
        const std::size_t found = help.out.find(std::string(line) + "\n", at);
        EXPECT_NE(found, std::string::npos) << line;
        if (found != std::string::npos) at = found;
    }
}

TEST(TarvelloSim, JsonReadsBackToTheDataSetsDoublesKeyByKey) {
    const Result r = Sim(Motor({"--no-load-current", "4.5", "--current-limit", "3", "--load", "squared", "--t0", "1.1",
                                "--t1", "0.3", "--t2", "0.01", "--maker", "Maker \"A\"\t\\", "--json"}));
    ASSERT_EQ(r.status, 0) << r.err;
    MotorDataSet ds = ExampleFourKilowattMotor();
    ds.LimitCurrentMode = true;
    ds.DesiredImaxIn = 3;
    ds.T0 = 1.1, ds.T1 = 0.3, ds.T2 = 0.01;
    ASSERT_EQ(RunStartComputation(ds, nullptr, nullptr), 0);
    const nlohmann::ordered_json j = nlohmann::ordered_json::parse(r.out);
    const std::pair<const char*, double> numbers[] = {
        {"MechanicalPower", ds.MechanicalPower}, {"LineVoltage", ds.LineVoltage},
        {"LineCurrent", ds.LineCurrent},         {"PowerFactor", ds.PowerFactor},
        {"Frequency", ds.Frequency},             {"RatedSpeed", ds.RatedSpeed},
        {"NoLoadLineCurrent", ds.NoLoadLineCurrent}, {"PairOfPoles", ds.PairOfPoles},
        {"SynchronousSpeed", ds.SynchronousSpeed}, {"PhaseVoltage", ds.PhaseVoltage},
        {"PhaseCurrent", ds.PhaseCurrent},       {"NoLoadPhaseCurrent", ds.NoLoadPhaseCurrent},
        {"ElectricalPower", ds.ElectricalPower}, {"RatedTorque", ds.RatedTorque},
        {"Efficiency", ds.Efficiency},           {"Rs", ds.Rs},
        {"Xssigma", ds.Xssigma},                 {"Rr", ds.Rr},
        {"Xrsigma", ds.Xrsigma},                 {"Xh", ds.Xh},
        {"Riron", ds.Riron},                     {"EstimatedStartTime", ds.EstimatedStartTime},
        {"Preset", ds.Preset},                   {"ImaxIn", ds.ImaxIn},
        {"DesiredImaxIn", ds.DesiredImaxIn},     {"SoftStarterTime", ds.SoftStarterTime},
        {"T0", ds.T0},                           {"T1", ds.T1},
        {"T2", ds.T2}};
    for (const auto& [key, value] : numbers) EXPECT_EQ(j[key].get<double>(), value) << key;
    EXPECT_EQ(j["ConstructorName"], "Maker \"A\"\t\\");
    EXPECT_EQ(j["LimitCurrentMode"], true);
    EXPECT_EQ(j["StarCoupling"], true);
    EXPECT_EQ(j.size(), 40u); // the seven of the double cage and the data sheet null
    // The layout stays one line with ", " and ": " between the members.
    EXPECT_EQ(r.out.rfind("{\"ConstructorName\": \"Maker \\\"A\\\"\\t\\\\\", \"MotorSize\": \"\", ", 0), 0u) << r.out;
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1);
}
