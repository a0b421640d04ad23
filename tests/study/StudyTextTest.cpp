// The study text: every setting read back bit for bit, the defaults of what a file leaves out, and
// the exact form of the file (it is a format users share).

#include <fstream>
#include <sstream>

#include "StudyFixtures.h"

namespace {

Study ReadBack(const std::string& text) {
    Study read;
    read.Load.T0 = 999; // must be overwritten
    const StudyRefusal r = ParseStudy(text, read);
    EXPECT_FALSE(r) << r.number() << ": " << StudyRefusalText(r, Language::English) << "\n" << text;
    return read;
}

void ExpectRoundTrip(const Study& study) {
    const std::string text = StudyText(study);
    const Study read = ReadBack(text);
    ExpectSameStudy(read, study);
    EXPECT_EQ(StudyText(read), text);
}

std::vector<std::pair<const char*, Study>> ThreeMotors() {
    return {
        {"typed", StudyFromSettings(TypedCaseByHand(), {}, {.loadKind = LoadKind::Squared})},
        {"list", StudyFromSettings(ListedCaseByHand(), {}, {.loadKind = LoadKind::Constant})},
        {"diagram", StudyFromSettings(DiagramCaseByHand(), {},
                                      {.source = MotorSource::Diagram, .loadKind = LoadKind::Proportional})},
    };
}

} // namespace

TEST(StudyText, EverySettingReadsBackBitIdenticalForTypedListedAndDiagramMotors) {
    for (auto [name, study] : ThreeMotors()) {
        SCOPED_TRACE(name);
        ASSERT_EQ(study.Motor.Source, std::string(name) == "typed"  ? MotorSource::Typed
                                      : std::string(name) == "list" ? MotorSource::List
                                                                    : MotorSource::Diagram);
        // Optional fields unset, as a new study has them.
        ExpectRoundTrip(study);
        // Every optional field set, with numbers whose digits are hard to get right.
        study.Dynamic = EverySettingSet();
        study.StudyLanguage = Language::French;
        ExpectRoundTrip(study);
        study.StudyLanguage.reset();
        study.Dynamic.Starter.reset();
        study.Dynamic.Mechanical.MotorInertia.reset();
        ExpectRoundTrip(study);
    }
}

// Version 3: a typed motor's data sheet (no circuit, no no-load current) and a second cage of a given
// circuit read back; older versions and other sources know neither.
TEST(StudyText, DatasheetAndSecondCageFromVersionThreeOn) {
    Study typed = ThreeMotors()[0].second;
    typed.Motor.Datasheet = StudyDatasheet{6.4, 2.5, 2.9, FitPriority::Current};
    typed.Motor.ApproximationWithoutNoLoadCurrent = true;
    typed.Motor.NoLoadLineCurrent = 0;
    ExpectRoundTrip(typed);
    const std::string text = StudyText(typed);
    EXPECT_EQ(text.find("NoLoadLineCurrent"), std::string::npos);
    EXPECT_NE(text.find("    \"datasheet\": {\n      \"LockedRotorCurrentRatio\": 6.4,\n      \"LockedRotorTorqueRatio\": "
                        "2.5,\n      \"BreakdownTorqueRatio\": 2.9,\n      \"Priority\": \"current\"\n    }\n"),
              std::string::npos)
        << text;
    Study diagram = ThreeMotors()[2].second;
    diagram.Motor.Circuit.Rr2 = 9;
    diagram.Motor.Circuit.Xr2sigma = 1.1;
    ExpectRoundTrip(diagram);
    const std::string cage = StudyText(diagram);
    EXPECT_NE(cage.find("\"Riron\": " ), std::string::npos);
    EXPECT_NE(cage.find(",\n      \"Rr2\": 9.0,\n      \"Xr2sigma\": 1.1\n    }"), std::string::npos) << cage;

    auto refused = [](std::string t, const std::string& from, const std::string& to) {
        t.replace(t.find(from), from.size(), to);
        Study dummy;
        return ParseStudy(t, dummy).number();
    };
    EXPECT_EQ(refused(text, "\"version\": 4", "\"version\": 2"), ErrStudyUnknownKey);
    EXPECT_EQ(refused(cage, "\"version\": 4", "\"version\": 2"), ErrStudyUnknownKey);
    EXPECT_EQ(refused(text, "\"current\"", "\"speed\""), ErrStudyWrongValue);
    EXPECT_EQ(refused(text, "      \"BreakdownTorqueRatio\": 2.9,\n", ""), ErrStudyMissingKey);
    EXPECT_EQ(refused(cage, ",\n      \"Xr2sigma\": 1.1", ""), ErrStudyMissingKey);
    EXPECT_EQ(refused(cage, "\"circuit\": {", "\"datasheet\": {}, \"circuit\": {"), ErrStudyCircuitOfTyped);
}

TEST(StudyText, AwkwardNumbersReadBackExactly) {
    const double awkward[] = {0.1,
                              1.0 / 3.0,
                              5e-324,
                              2.2250738585072014e-308,
                              1.7976931348623157e308,
                              -0.0,
                              9007199254740993.0, // 2^53 + 1 rounds to 2^53: a double, not the integer
                              4503599627370497.5,
                              std::nextafter(1.0, 2.0),
                              std::nextafter(0.3, 0.0),
                              -1e-300,
                              123456789012345678.0,
                              1e23};
    Study s = ThreeMotors()[0].second;
    for (double v : awkward) {
        SCOPED_TRACE(v);
        // Fields that no check of the motor judges, so any number stands.
        s.Dynamic.Mechanical.LoadInertia = v;
        s.Dynamic.Network.TransformerPower = v;
        s.Dynamic.Mechanical.MotorInertia = v;
        s.SoftStarter.DesiredImaxIn = v;
        s.SoftStarter.RampTime = v; // current-limit mode: the typed ramp time is not judged
        ExpectRoundTrip(s);
    }
    // The spelling of the file: shortest digits, and negative zero keeps its sign.
    s.Dynamic.Mechanical.LoadInertia = -0.0;
    s.Dynamic.Network.TransformerPower = 5e-324;
    s.Dynamic.Network.TransformerUk = 0.1;
    const std::string text = StudyText(s);
    EXPECT_NE(text.find("\"LoadInertia\": -0.0,"), std::string::npos) << text;
    EXPECT_NE(text.find("\"TransformerPower\": 5e-324,"), std::string::npos) << text;
    EXPECT_NE(text.find("\"TransformerUk\": 0.1,"), std::string::npos) << text;
}

TEST(StudyText, NegativeZeroTypedInADialogSurvives) {
    // "-0" typed for a load coefficient is -0.0 in the data set.
    MotorDataSet ds = TypedCaseByHand();
    ds.T1 = Typed("-0");
    ASSERT_TRUE(std::signbit(ds.T1));
    const Study s = StudyFromSettings(ds, {}, {.loadKind = LoadKind::Squared});
    const Study read = ReadBack(StudyText(s));
    EXPECT_TRUE(std::signbit(read.Load.T1));
}

// The file as users see it: key names and order, two-space indentation, LF and a final newline.
TEST(StudyText, FileHasTheDocumentedForm) {
    Study s = ThreeMotors()[1].second; // listed, selected time, constant load
    s.StudyLanguage = Language::English;
    s.Dynamic.Starter = StarterDuty{16, "AC-53a: 3-30: 50-10", 4};
    const std::string text = StudyText(s);
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.back(), '\n');
    EXPECT_EQ(text.find('\r'), std::string::npos);
    EXPECT_EQ(text.rfind("{\n  \"format\": \"tarvello-study\",\n  \"version\": 4,\n  \"language\": \"en\",\n"
                         "  \"motor\": {\n    \"source\": \"list\",\n",
                         0),
              0u)
        << text;
    // Sections in their order, each key once.
    std::size_t at = 0;
    for (const char* key : {"\"motor\"",
                            "\"source\"",
                            "\"ConstructorName\"",
                            "\"MotorSize\"",
                            "\"MechanicalPower\"",
                            "\"LineVoltage\"",
                            "\"LineCurrent\"",
                            "\"PowerFactor\"",
                            "\"Frequency\"",
                            "\"RatedSpeed\"",
                            "\"NoLoadLineCurrent\"",
                            "\"StarCoupling\"",
                            "\"ApproximationWithoutNoLoadCurrent\"",
                            "\"circuit\"",
                            "\"Rs\"",
                            "\"Rr\"",
                            "\"Xssigma\"",
                            "\"Xrsigma\"",
                            "\"Xh\"",
                            "\"Riron\"",
                            "\"softStarter\"",
                            "\"EstimatedStartTime\"",
                            "\"Preset\"",
                            "\"mode\": \"selected-time\"",
                            "\"DesiredImaxIn\"",
                            "\"rampTime\": 7.5",
                            "\"load\"",
                            "\"kind\": \"constant\"",
                            "\"T0\": 12.5",
                            "\"mechanical\"",
                            "\"MotorInertia\": null",
                            "\"LoadInertia\"",
                            "\"StartTimeLimit\"",
                            "\"network\"",
                            "\"Enabled\": false",
                            "\"SourceVoltage\": null",
                            "\"ShortCircuitPower\": null",
                            "\"SourceRX\"",
                            "\"HasTransformer\"",
                            "\"TransformerPower\"",
                            "\"TransformerUk\"",
                            "\"TransformerUr\"",
                            "\"HasCable\"",
                            "\"CableLength\"",
                            "\"CableSection\"",
                            "\"Material\": \"copper\"",
                            "\"CableParallel\": 1,",
                            "\"CableReactance\"",
                            "\"DipLimit\"",
                            "\"comparison\"",
                            "\"ChangeoverSpeed\"",
                            "\"AutotransformerTap\"",
                            "\"ReactorVoltage\"",
                            "\"starter\"",
                            "\"RatedCurrent\": 16.0",
                            "\"RatingCode\": \"AC-53a: 3-30: 50-10\"",
                            "\"StartsPerHour\": 4.0",
                            "\"showStaticCurves\": false\n}\n"}) {
        const std::size_t found = text.find(key, at);
        ASSERT_NE(found, std::string::npos) << key << " after offset " << at << "\n" << text;
        at = found;
    }
    // A constant load writes only T0; a typed motor writes no circuit.
    EXPECT_EQ(text.find("\"T1\""), std::string::npos);
    EXPECT_EQ(StudyText(ThreeMotors()[0].second).find("\"circuit\""), std::string::npos);
}

// The README's example is a study this program reads, written exactly as this program writes it.
TEST(StudyText, ReadmeExampleIsACanonicalStudy) {
    std::ifstream in(TARVELLO_SOURCE_DIR "/src/study/README.md");
    ASSERT_TRUE(in);
    std::stringstream all;
    all << in.rdbuf();
    const std::string readme = all.str();
    const std::string open = "```json\n";
    const auto begin = readme.find(open);
    ASSERT_NE(begin, std::string::npos);
    const auto end = readme.find("```", begin + open.size());
    ASSERT_NE(end, std::string::npos);
    const std::string example = readme.substr(begin + open.size(), end - begin - open.size());
    const Study read = ReadBack(example);
    EXPECT_EQ(StudyText(read), example);
    EXPECT_EQ(read.Motor.Source, MotorSource::Typed);
}

TEST(StudyText, LeftOutSectionsTakeTheDefaults) {
    const std::string text = R"({"format": "tarvello-study", "version": 1,
  "motor": {"source": "typed", "MechanicalPower": 4000, "LineVoltage": 400, "LineCurrent": 8.5,
            "PowerFactor": 0.82, "Frequency": 50, "RatedSpeed": 1440, "NoLoadLineCurrent": 4.5,
            "StarCoupling": true}})";
    Study expected;
    expected.Motor.MechanicalPower = 4000;
    expected.Motor.LineVoltage = 400;
    expected.Motor.LineCurrent = 8.5;
    expected.Motor.PowerFactor = 0.82;
    expected.Motor.Frequency = 50;
    expected.Motor.RatedSpeed = 1440;
    expected.Motor.NoLoadLineCurrent = 4.5;
    const Study read = ReadBack(text);
    ExpectSameStudy(read, expected);

    // The defaults are those the main window presets and those of the dynamic settings.
    MotorDataSet preset;
    PresetStartInputs(preset);
    EXPECT_EQ(read.SoftStarter.EstimatedStartTime, preset.EstimatedStartTime);
    EXPECT_EQ(read.SoftStarter.Preset, preset.Preset);
    EXPECT_EQ(read.SoftStarter.DesiredImaxIn, preset.DesiredImaxIn);
    EXPECT_EQ(read.SoftStarter.RampTime, preset.SoftStarterTime);
    EXPECT_EQ(read.Load.T0, preset.T0);
    const DynamicSettings defaults;
    EXPECT_EQ(read.Dynamic.Mechanical.StartTimeLimit, defaults.Mechanical.StartTimeLimit);
    EXPECT_EQ(read.Dynamic.Network.SourceRX, defaults.Network.SourceRX);
    EXPECT_EQ(read.Dynamic.Network.CableReactance, defaults.Network.CableReactance);
    EXPECT_EQ(read.Dynamic.DipLimit, defaults.DipLimit);
    EXPECT_EQ(read.Dynamic.Methods.ChangeoverSpeed, defaults.Methods.ChangeoverSpeed);
    EXPECT_FALSE(read.Dynamic.Starter.has_value());

    // Inside a section too, what is left out keeps its default.
    const std::string partial = text.substr(0, text.size() - 1) +
                                R"(, "softStarter": {"mode": "current-limit", "DesiredImaxIn": 3},
  "load": {"kind": "squared", "T2": 0.02}, "network": {"Enabled": true, "ShortCircuitPower": 5e6},
  "comparison": {"starter": null}, "language": null})";
    const Study p = ReadBack(partial);
    EXPECT_EQ(p.SoftStarter.Mode, SoftStarterMode::CurrentLimit);
    EXPECT_EQ(p.SoftStarter.DesiredImaxIn, 3.0);
    EXPECT_EQ(p.SoftStarter.Preset, preset.Preset);
    EXPECT_EQ(p.Load.Kind, LoadKind::Squared);
    EXPECT_EQ(p.Load.T0, 0.0);
    EXPECT_EQ(p.Load.T2, 0.02);
    EXPECT_TRUE(p.Dynamic.Network.Enabled);
    EXPECT_EQ(p.Dynamic.Network.ShortCircuitPower, 5e6);
    EXPECT_FALSE(p.Dynamic.Network.SourceVoltage.has_value());
    EXPECT_FALSE(p.StudyLanguage.has_value());
}

TEST(StudyText, LanguagesAndTextsReadBack) {
    Study s = ThreeMotors()[0].second;
    for (auto language :
         {std::optional<Language>(), std::optional(Language::English), std::optional(Language::French)}) {
        s.StudyLanguage = language;
        EXPECT_EQ(ReadBack(StudyText(s)).StudyLanguage, language);
    }
    // Any UTF-8 text without control characters, also quotes and backslashes, which JSON escapes.
    s.Motor.ConstructorName = "Société \"Ä\" \\ œ € end";
    s.Motor.MotorSize = "";
    s.Dynamic.Starter = StarterDuty{10, "3,5-17:90-5 電機 \"/\\ \u00A0", 2};
    ExpectRoundTrip(s);
}

TEST(StudyText, WholeNumbersAndIntegersInTheFile) {
    const std::string base = R"({"format": "tarvello-study", "version": 1.0,
  "motor": {"source": "typed", "MechanicalPower": 4000, "LineVoltage": 4e2, "LineCurrent": 8.5,
            "PowerFactor": 0.82, "Frequency": 50, "RatedSpeed": 1440, "NoLoadLineCurrent": 4.5,
            "StarCoupling": true},
  "network": {"CableParallel": PARALLEL, "TransformerPower": 12345678901234567890123}})";
    auto with = [&](const std::string& parallel) {
        std::string t = base;
        t.replace(t.find("PARALLEL"), 8, parallel);
        return t;
    };
    const Study a = ReadBack(with("2"));
    EXPECT_EQ(a.Motor.LineVoltage, 400.0);
    EXPECT_EQ(a.Dynamic.Network.CableParallel, 2);
    EXPECT_EQ(a.Dynamic.Network.TransformerPower, 12345678901234567890123.0);
    EXPECT_EQ(ReadBack(with("3.0")).Dynamic.Network.CableParallel, 3);
    EXPECT_EQ(ReadBack(with("-1")).Dynamic.Network.CableParallel, -1); // judged by the network's own check
    Study dummy;
    for (const char* bad : {"2.5", "\"2\"", "3000000000", "true"}) {
        const StudyRefusal r = ParseStudy(with(bad), dummy);
        EXPECT_EQ(r.number(), ErrStudyWrongValue) << bad;
        EXPECT_EQ(r.line, 5) << bad;
        EXPECT_EQ(r.refusal.argument.english,
                  "\"CableParallel\" in \"network\" at line 5 must be a whole number");
    }
}

TEST(StudyText, StudyFromSettingsTakesWhatTheDataSetDoesNotHoldFromTheChoices) {
    MotorDataSet ds = TypedCaseByHand();
    DynamicSettings settings = EverySettingSet();
    Study s = StudyFromSettings(ds, settings);
    EXPECT_EQ(s.StudyLanguage, Language::English); // from the language flags
    EXPECT_EQ(s.Motor.Source, MotorSource::Typed);
    EXPECT_EQ(s.Load.Kind, LoadKind::Squared); // every coefficient non-zero
    EXPECT_EQ(s.SoftStarter.Mode, SoftStarterMode::CurrentLimit);
    EXPECT_EQ(s.SoftStarter.RampTime, ds.SoftStarterTime);
    EXPECT_EQ(s.Motor.Circuit.Rs, 0.0); // identified by the computation, not stored
    EXPECT_EQ(s.Dynamic.Starter->RatingCode, settings.Starter->RatingCode);

    // A load kind that leaves coefficients unused stores them as zero; the choices win.
    s = StudyFromSettings(ds, settings,
                          {.language = Language::French, .loadKind = LoadKind::Constant, .rampTime = 12.25});
    EXPECT_EQ(s.StudyLanguage, Language::French);
    EXPECT_EQ(s.Load.T0, ds.T0);
    EXPECT_EQ(s.Load.T1, 0.0);
    EXPECT_EQ(s.Load.T2, 0.0);
    EXPECT_EQ(s.SoftStarter.RampTime, 12.25);

    ds.T2 = 0;
    EXPECT_EQ(StudyFromSettings(ds, settings).Load.Kind, LoadKind::Proportional);
    ds.T1 = 0;
    EXPECT_EQ(StudyFromSettings(ds, settings).Load.Kind, LoadKind::Constant);
    ds.T0 = 0;
    EXPECT_EQ(StudyFromSettings(ds, settings).Load.Kind, LoadKind::None);

    // The no-load current of a typed motor with the approximation is the identification's result.
    MotorDataSet approx = TypedMotorByHand(true, true);
    approx.NoLoadLineCurrent = 3.3;
    EXPECT_EQ(StudyFromSettings(approx, {}).Motor.NoLoadLineCurrent, 0.0);
    EXPECT_EQ(StudyFromSettings(ListedMotorByHand(), {}).Motor.Source, MotorSource::List);
    EXPECT_EQ(StudyFromSettings(ListedMotorByHand(), {}).StudyLanguage, Language::French);
}

TEST(StudyText, WordsOfTheEnumerations) {
    for (LoadKind k : {LoadKind::None, LoadKind::Constant, LoadKind::Proportional, LoadKind::Squared})
        EXPECT_EQ(LoadKindFromKey(LoadKindKey(k)), k);
    EXPECT_FALSE(LoadKindFromKey("Squared").has_value());
    EXPECT_FALSE(LoadKindFromKey("").has_value());
    EXPECT_STREQ(MotorSourceKey(MotorSource::Diagram), "diagram");
    EXPECT_STREQ(SoftStarterModeKey(SoftStarterMode::SelectedTime), "selected-time");
    EXPECT_FALSE(LoadKindUses(LoadKind::None, 0));
    EXPECT_TRUE(LoadKindUses(LoadKind::Constant, 0));
    EXPECT_FALSE(LoadKindUses(LoadKind::Constant, 1));
    EXPECT_TRUE(LoadKindUses(LoadKind::Proportional, 1));
    EXPECT_FALSE(LoadKindUses(LoadKind::Proportional, 2));
    EXPECT_TRUE(LoadKindUses(LoadKind::Squared, 2));
}

// Version 2 gave the comparison its own current limit, written only when set; a version-1 file
// reads as before and knows no such key.
TEST(StudyText, ComparisonCurrentLimitFromVersionTwoOn) {
    Study s = ThreeMotors()[0].second;
    s.Dynamic.Methods.CurrentLimit = 2.5;
    const std::string text = StudyText(s);
    EXPECT_NE(text.find("\"version\": 4,"), std::string::npos);
    EXPECT_NE(text.find("    \"ReactorVoltage\": 0.65,\n    \"CurrentLimit\": 2.5,\n    \"starter\": null\n"),
              std::string::npos)
        << text;
    ExpectRoundTrip(s);

    s.Dynamic.Methods.CurrentLimit.reset();
    const std::string unset = StudyText(s);
    EXPECT_EQ(unset.find("CurrentLimit"), std::string::npos);
    ExpectRoundTrip(s);
    // The same file as version 1 wrote it: the same study.
    std::string v1 = unset;
    v1.replace(v1.find("\"version\": 4"), 12, "\"version\": 1");
    ExpectSameStudy(ReadBack(v1), s);

    Study dummy;
    const std::string limited = text.substr(0, text.find("\"version\": 4")) + "\"version\": 1" +
                                text.substr(text.find("\"version\": 4") + 12);
    StudyRefusal r = ParseStudy(limited, dummy);
    EXPECT_EQ(r.number(), ErrStudyUnknownKey);
    EXPECT_EQ(r.refusal.argument.english, "\"CurrentLimit\" in \"comparison\" at line 58");
    for (const char* bad : {"null", "\"3\"", "true"}) {
        std::string t = text;
        t.replace(t.find("\"CurrentLimit\": 2.5"), 19, std::string("\"CurrentLimit\": ") + bad);
        r = ParseStudy(t, dummy);
        EXPECT_EQ(r.number(), ErrStudyWrongValue) << bad;
        EXPECT_EQ(r.line, 58) << bad;
    }
}
