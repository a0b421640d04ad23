// tarvello-sim --study and --save-study: a study saved from options reopens to the same results,
// options override the study wherever they stand, refused studies and refused saves leave
// nothing behind.
#include "SimResultsSupport.h"
#include "Study.h"

namespace {
std::string CatalogueFile() {
    return std::string(TARVELLO_SOURCE_DIR) + "/data/Liste Moteur.old";
}

// The whole output of a run with every result: JSON with the dynamic start and the comparison.
const std::vector<std::string> Everything = {"--dynamic", "--compare", "--json"};

std::vector<std::string> With(std::vector<std::string> a, const std::vector<std::string>& extra) {
    a.insert(a.end(), extra.begin(), extra.end());
    return a;
}

// Saves the study the options describe, then runs it; both runs must print the same.
void ExpectRoundTrip(const std::vector<std::string>& options, const std::string& what) {
    TempFolder folder("study-round-trip");
    const std::string file = (folder / "case.tarvello").string();
    const SimResult saved = Sim(With(With(options, Everything), {"--save-study", file}));
    ASSERT_EQ(saved.status, 0) << what << saved.err;
    const SimResult reopened = Sim(With({"--study", file}, Everything));
    ASSERT_EQ(reopened.status, 0) << what << reopened.err;
    EXPECT_EQ(reopened.out, saved.out) << what;
    EXPECT_EQ(saved.out, Sim(With(options, Everything)).out) << what; // saving changes nothing printed
    // And the file holds what the library reads back bit for bit.
    Study study;
    ASSERT_FALSE(LoadStudyFile(file, study, CheckDynamicSettings)) << what;
    EXPECT_EQ(StudyText(study), ReadWholeFile(file)) << what;
}
} // namespace

TEST(SimStudy, ASavedStudyReopensToTheSameResults) {
    ExpectRoundTrip(FourKilowatt({"--current-limit",
                                  "3",
                                  "--preset",
                                  "12.5",
                                  "--estimated-time",
                                  "2,5",
                                  "--load",
                                  "squared",
                                  "--t0",
                                  "0.5",
                                  "--t1",
                                  "0.01",
                                  "--t2",
                                  "0.02",
                                  "--motor-inertia",
                                  "0.012",
                                  "--load-inertia",
                                  "0.05",
                                  "--start-time-limit",
                                  "30",
                                  "--supply-power",
                                  "50e6",
                                  "--transformer-power",
                                  "100e3",
                                  "--transformer-uk",
                                  "4",
                                  "--transformer-ur",
                                  "1.5",
                                  "--cable-length",
                                  "80",
                                  "--cable-section",
                                  "2.5",
                                  "--cable-material",
                                  "aluminium",
                                  "--cable-parallel",
                                  "2",
                                  "--cable-reactance",
                                  "0.09",
                                  "--dip-limit",
                                  "7",
                                  "--changeover-speed",
                                  "0.85",
                                  "--autotransformer-tap",
                                  "0.6",
                                  "--reactor-voltage",
                                  "0.7",
                                  "--compare-current-limit",
                                  "2.5",
                                  "--starter-current",
                                  "9",
                                  "--starter-rating",
                                  "AC-53a: 3.5-17: 90-5",
                                  "--starts-per-hour",
                                  "6",
                                  "--maker",
                                  "Tarvello Moteurs",
                                  "--size",
                                  "112M-4",
                                  "--static"}),
                    "typed");
    ExpectRoundTrip(
        Motor({"--approximate", "--delta", "--ramp-time", "7.5", "--load", "constant", "--t0", "3"}),
        "approximation, delta, selected time");
    ExpectRoundTrip({"--catalogue", CatalogueFile(), "--record", "7", "--current-limit", "3"}, "catalogue");
    ExpectRoundTrip(FourKilowatt({"--circuit", "1.2,1.3,0.6,0.6,50,1100", "--current-limit", "2.5"}),
                    "circuit");
}

TEST(SimStudy, TheStudyFileHoldsTheOptionsAndTheLanguage) {
    TempFolder folder("study-file");
    const std::string file = (folder / "case.tarvello").string();
    // Saving alone computes and prints nothing.
    const SimResult r =
        Sim(FourKilowatt({"--current-limit", "3", "--load", "squared", "--t2", "0.02", "--dynamic",
                          "--motor-inertia", "0.012", "--lang", "fr", "--save-study", file}));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.out.empty());
    EXPECT_TRUE(r.err.empty());
    Study s;
    ASSERT_FALSE(LoadStudyFile(file, s, CheckDynamicSettings));
    EXPECT_EQ(s.StudyLanguage, Language::French);
    EXPECT_EQ(s.Motor.Source, MotorSource::Typed);
    EXPECT_EQ(s.Motor.MechanicalPower, 4000);
    EXPECT_EQ(s.Motor.NoLoadLineCurrent, 4.5);
    EXPECT_EQ(s.SoftStarter.Mode, SoftStarterMode::CurrentLimit);
    EXPECT_EQ(s.SoftStarter.DesiredImaxIn, 3);
    EXPECT_EQ(s.SoftStarter.RampTime, 5); // the typed ramp, not the searched one
    EXPECT_EQ(s.Load.Kind, LoadKind::Squared);
    EXPECT_EQ(s.Load.T2, 0.02);
    EXPECT_EQ(s.Dynamic.Mechanical.MotorInertia, 0.012);
    EXPECT_FALSE(s.Dynamic.Network.Enabled);
    // The study's language speaks when no --lang is given.
    const SimResult french = Sim({"--study", file, "--preset", "200"});
    EXPECT_EQ(french.err, "error 98: Le preset doit être compris entre 0 et 100\u00A0%\u00A0!\n");
    EXPECT_EQ(Sim({"--study", file, "--preset", "200", "--lang", "en"}).err,
              "error 98: Preset must lie between 0 and 100\u00A0%!\n");
    // Without --lang the study names no language.
    ASSERT_EQ(Sim(FourKilowatt({"--save-study", file})).status, 0);
    ASSERT_FALSE(LoadStudyFile(file, s));
    EXPECT_FALSE(s.StudyLanguage);
    EXPECT_EQ(s.SoftStarter.Mode, SoftStarterMode::SelectedTime);
}

TEST(SimStudy, OptionsOverrideTheStudyWhereverTheyStand) {
    TempFolder folder("study-overrides");
    const std::string listed = (folder / "listed.tarvello").string();
    ASSERT_EQ(Sim({"--catalogue", CatalogueFile(), "--record", "7", "--current-limit", "3", "--load",
                   "squared", "--t2", "0.02", "--save-study", listed})
                  .status,
              0);
    auto json = [&](std::vector<std::string> extra) {
        const SimResult r = Sim(With(With({"--study", listed}, extra), {"--json"}));
        EXPECT_EQ(r.status, 0) << r.err;
        return r.status == 0 ? OrderedJson::parse(r.out) : OrderedJson();
    };
    const OrderedJson plain = json({});
    EXPECT_EQ(plain["Xh"].get<double>(), 139); // the circuit as listed
    EXPECT_EQ(plain["T2"].get<double>(), 0.02);
    EXPECT_EQ(plain["LimitCurrentMode"], true);

    // A load coefficient, a mode option, a soft-starter value.
    OrderedJson j = json({"--t2", "0.03"});
    EXPECT_EQ(j["T2"].get<double>(), 0.03);
    EXPECT_EQ(j["Xh"].get<double>(), 139);
    j = json({"--ramp-time", "3"});
    EXPECT_EQ(j["LimitCurrentMode"], false);
    EXPECT_EQ(j["SoftStarterTime"].get<double>(), 3);
    j = json({"--preset", "20"});
    EXPECT_EQ(j["Preset"], OrderedJson::parse(Sim(FourKilowatt({"--preset", "20", "--json"})).out)["Preset"]);

    // A rated value makes the motor typed and identified again; --circuit keeps a given circuit.
    j = json({"--power", "5600"});
    EXPECT_EQ(j["MechanicalPower"].get<double>(), 5600);
    EXPECT_EQ(j["LineCurrent"].get<double>(), plain["LineCurrent"].get<double>()); // the study's rated values
    EXPECT_NE(j["Xh"].get<double>(), 139);
    auto number = [&](const char* key) { return CsvText(plain[key].get<double>()); };
    std::vector<std::string> typed = {"--power",
                                      "5600",
                                      "--voltage",
                                      number("LineVoltage"),
                                      "--current",
                                      number("LineCurrent"),
                                      "--power-factor",
                                      number("PowerFactor"),
                                      "--frequency",
                                      number("Frequency"),
                                      "--speed",
                                      number("RatedSpeed"),
                                      "--no-load-current",
                                      number("NoLoadLineCurrent"),
                                      "--current-limit",
                                      "3",
                                      "--load",
                                      "squared",
                                      "--t2",
                                      "0.02",
                                      "--json",
                                      "--maker",
                                      plain["ConstructorName"],
                                      "--size",
                                      plain["MotorSize"]};
    if (plain["StarCoupling"] == false) typed.push_back("--delta");
    const SimResult typedAgain = Sim(typed);
    EXPECT_EQ(j, OrderedJson::parse(typedAgain.out)); // exactly the typed motor
    j = json({"--circuit", "2,2,4,4,140,3000"});
    EXPECT_EQ(j["Xh"].get<double>(), 140);
    EXPECT_EQ(j["Rs"].get<double>(), 2);
    j = json({"--maker", "Another"});
    EXPECT_EQ(j["ConstructorName"], "Another");
    EXPECT_EQ(j["Xh"].get<double>(), 139); // a name is no rated value

    // A coefficient that the kind in force does not use is refused, with or without a study.
    SimResult r = Sim({"--study", listed, "--load", "constant", "--t2", "0.01"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err,
              "error 158: The load coefficient --t2 (constant) is not used by the load kind in force!\n");
    j = json({"--load", "constant", "--t0", "4"});
    EXPECT_EQ(j["T0"].get<double>(), 4);
    EXPECT_EQ(j["T2"].get<double>(), 0.0); // the study's T2 belongs to a kind no longer in force
    r = Sim(FourKilowatt({"--t1", "1"}));
    EXPECT_EQ(r.err, "error 158: The load coefficient --t1 (none) is not used by the load kind in force!\n");

    // The study's dynamic settings, overridden one by one; the starter completed by the study.
    const std::string full = (folder / "full.tarvello").string();
    ASSERT_EQ(
        Sim(FourKilowatt({"--current-limit", "3", "--dynamic", "--motor-inertia", "0.05", "--supply-power",
                          "5e6", "--compare", "--starter-current", "9", "--starter-rating", "3.5-17:90-5",
                          "--starts-per-hour", "6", "--save-study", full}))
            .status,
        0);
    const OrderedJson base =
        OrderedJson::parse(Sim({"--study", full, "--dynamic", "--compare", "--json"}).out);
    const OrderedJson weaker = OrderedJson::parse(
        Sim({"--study", full, "--dynamic", "--compare", "--json", "--supply-power", "1e6"}).out);
    EXPECT_GT(weaker["Dynamic"]["Dol"]["MaxVoltageDip"].get<double>(),
              base["Dynamic"]["Dol"]["MaxVoltageDip"].get<double>());
    const OrderedJson fewerStarts = OrderedJson::parse(
        Sim({"--study", full, "--dynamic", "--compare", "--json", "--starts-per-hour", "3"}).out);
    EXPECT_EQ(fewerStarts["StarterDuty"]["StartsMargin"].get<double>(), 5.0 / 3 - 1);
    EXPECT_EQ(base["StarterDuty"]["StartsMargin"].get<double>(), 5.0 / 6 - 1);
    // The same start given by options alone.
    EXPECT_EQ(base,
              OrderedJson::parse(
                  Sim(FourKilowatt({"--current-limit", "3", "--dynamic", "--motor-inertia", "0.05",
                                    "--supply-power", "5e6", "--compare", "--starter-current", "9",
                                    "--starter-rating", "3.5-17:90-5", "--starts-per-hour", "6", "--json"}))
                      .out));
}

TEST(SimStudy, RefusedStudiesAndSavesLeaveNothingBehind) {
    TempFolder folder("study-refusals");
    const std::string file = (folder / "case.tarvello").string();
    ASSERT_EQ(Sim(FourKilowatt({"--save-study", file})).status, 0);
    const std::string before = ReadWholeFile(file);

    // A case the dialogs refuse is not saved; the old study stays byte for byte.
    SimResult r = Sim(FourKilowatt({"--power-factor", "1.2", "--save-study", file}));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "error 20: Power factor must be less than 1!\n");
    r = Sim(FourKilowatt({"--dynamic", "--motor-inertia", "-1", "--save-study", file}));
    EXPECT_EQ(
        r.err,
        "error 228: The value of \"Motor Inertia\" must lie between 0.00001 and 100\u00a0000\u00a0kg·m²!\n");
    // A text the study cannot hold is refused by its value, not by a line of a file never written.
    r = Sim(FourKilowatt({"--maker", "Tarv\x01" "ello", "--save-study", file}));
    EXPECT_EQ(r.err, "error 164: The study cannot be saved: \"ConstructorName\" holds the control character "
                     "U+0001!\n");
    // Nor one whose computation is refused when an output asks for it.
    r = Sim(FourKilowatt({"--current-limit", "0.5", "--json", "--save-study", file}));
    EXPECT_EQ(r.err.rfind("error 94: ", 0), 0u) << r.err;
    EXPECT_TRUE(r.out.empty());
    EXPECT_EQ(ReadWholeFile(file), before);

    // A folder that does not exist.
    r = Sim(FourKilowatt({"--save-study", (folder / "missing" / "case.tarvello").string()}));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err.rfind("error 222: Cannot write --save-study \"", 0), 0u) << r.err;

    // Studies that cannot be opened, each with its number and, where it has one, its line.
    auto write = [&](const std::string& name, const std::string& text) {
        const std::string path = (folder / name).string();
        std::ofstream(path, std::ios::binary) << text;
        return path;
    };
    std::string text = before;
    const std::string newer =
        write("newer.tarvello", text.replace(text.find("\"version\": 4"), 12, "\"version\": 5"));
    r = Sim({"--study", newer, "--json"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err.rfind("error 152: The study file has version 5", 0), 0u) << r.err;
    EXPECT_TRUE(r.out.empty());
    r = Sim({"--study", write("truncated.tarvello", before.substr(0, before.size() / 2))});
    EXPECT_EQ(r.err.rfind("error 150: ", 0), 0u) << r.err;
    text = before;
    const std::string negative = write(
        "negative.tarvello", text.replace(text.find("\"MotorInertia\": null"), 20, "\"MotorInertia\": -1.0"));
    r = Sim({"--study", negative});
    EXPECT_EQ(r.err.rfind("error 228: The value of \"Motor Inertia\" must lie between 0.00001 and "
                          "100\u00a0000\u00a0kg·m²! (study file, line ",
                          0),
              0u)
        << r.err;
    r = Sim({"--study", (folder / "none.tarvello").string(), "--lang", "fr"});
    EXPECT_EQ(r.err.rfind("error 162: Le fichier d'étude ne peut pas être lu\u00A0: ", 0), 0u) << r.err;
    r = Sim({"--study", "/dev/zero"});
    EXPECT_EQ(r.err.rfind("error 160: ", 0), 0u) << r.err;
}

// A study refused on the way out names no line: the user gave no study file, and the one judged
// was never written.
TEST(SimStudy, ARefusedSaveNamesNoLineOfAFile) {
    TempFolder folder("study-refused-save");
    const std::string file = (folder / "case.tarvello").string();
    SimResult r = SimProcess(FourKilowatt({"--load", "constant", "--t0", "1000", "--save-study", file}));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "error 70: Loaded Torque is too big!\n");
    EXPECT_TRUE(r.out.empty());
    EXPECT_FALSE(std::filesystem::exists(file));
    r = Sim(FourKilowatt({"--load", "constant", "--t0", "1000", "--lang", "fr", "--save-study", file}));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err.find("ligne"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.rfind("error 70: ", 0), 0u) << r.err;
    EXPECT_FALSE(std::filesystem::exists(file));
}

TEST(SimStudy, TheRealExecutableRunsAStudy) {
    TempFolder folder("study-process");
    const std::string file = (folder / "case.tarvello").string();
    const SimResult saved = SimProcess(FourKilowatt(
        {"--current-limit", "3", "--dynamic", "--motor-inertia", "0.05", "--json", "--save-study", file}));
    ASSERT_EQ(saved.status, 0) << saved.err;
    const SimResult run = SimProcess({"--study", file, "--dynamic", "--json"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, saved.out);
    const SimResult help = SimProcess({"--help"});
    for (const char* option : {"--study FILE", "--save-study FILE", "--sweep NAME=FROM:TO:COUNT",
                               "--sweep-csv FILE", "--threads N", "--sweep-png FILE", "--sweep-y COLUMN"})
        EXPECT_NE(help.out.find(option), std::string::npos) << option;
}

// A refused study speaks the language it names, even when it is refused before its values are
// read; --lang speaks instead when given.
TEST(SimStudy, ARefusedStudySpeaksItsLanguageUnlessLangIsGiven) {
    TempFolder folder("study-refused-language");
    const std::string file = (folder / "case.tarvello").string();
    ASSERT_EQ(Sim(FourKilowatt({"--lang", "fr", "--save-study", file})).status, 0);
    const std::string french = ReadWholeFile(file);
    ASSERT_NE(french.find("\"language\": \"fr\""), std::string::npos);
    const auto replaced = [&](const std::string& from, const std::string& to) {
        std::string text = french;
        text.replace(text.find(from), from.size(), to);
        return text;
    };
    const int last = static_cast<int>(std::count(french.begin(), french.end(), '\n'));
    struct Case {
        std::string text, french, english; // the messages, without "error N: "
    };
    const Case cases[] = {
        {replaced("\"version\": 4", "\"version\": 1000000000000001"),
         "152: Le fichier d'étude est de la version 1000000000000001 (ligne 3)\u00A0; ce programme lit les "
         "fichiers "
         "d'étude jusqu'à la version 4\u00A0!",
         "152: The study file has version 1000000000000001 (line 3); this program reads study files up to "
         "version 4!"},
        {french + std::string(1, '\0') + "garbage",
         "150: Le fichier d'étude n'est pas un JSON valable (ligne " + std::to_string(last + 1) +
             "\u00A0: du texte suit la fin de la valeur JSON)\u00A0!",
         "150: The study file is not valid JSON (line " + std::to_string(last + 1) +
             ": text follows the end of the JSON value)!"},
        {replaced("\"MotorSize\": \"\"", "\"MotorSize\": \"a\\u0000b\""),
         "234: Un texte du fichier d'étude contient un caractère de contrôle\u00A0: «\u00A0MotorSize\u00A0» dans «\u00A0"
         "motor\u00A0» "
         "à la ligne 8 (U+0000)\u00A0!",
         "234: A text of the study file holds a control character: \"MotorSize\" in \"motor\" at line 8 "
         "(U+0000)!"},
        {replaced("\"MechanicalPower\": 4000.0", "\"MechanicalPower\": 0.0"),
         "87: " + ErrorText(ErrMechanicalPowerZero, Language::French) + " (fichier d'étude, ligne 9)",
         "87: " + ErrorText(ErrMechanicalPowerZero, Language::English) + " (study file, line 9)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.english);
        std::ofstream(file, std::ios::binary | std::ios::trunc) << c.text;
        EXPECT_EQ(Sim({"--study", file}).err, "error " + c.french + "\n");
        EXPECT_EQ(Sim({"--study", file, "--lang", "en"}).err, "error " + c.english + "\n");
        // An English study refused in a French run.
        std::string english = c.text;
        english.replace(english.find("\"language\": \"fr\""), 16, "\"language\": \"en\"");
        std::ofstream(file, std::ios::binary | std::ios::trunc) << english;
        EXPECT_EQ(Sim({"--study", file}).err, "error " + c.english + "\n");
        EXPECT_EQ(Sim({"--study", file, "--lang", "fr"}).err, "error " + c.french + "\n");
    }
}
