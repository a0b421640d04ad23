// Refused studies: every refusal names its line and what is wrong, in both languages, and the study
// the program had stays as it was.

#include <algorithm>

#include "StudyFixtures.h"

namespace {

// A study of a listed motor with everything set, so every section and key is in the file.
std::string FullText() {
    Study s = StudyFromSettings(ListedCaseByHand(), EverySettingSet(), {.loadKind = LoadKind::Constant});
    s.Load.Kind = LoadKind::Squared;
    s.Load.T1 = 0.01;
    s.Load.T2 = 0.001;
    return StudyText(s);
}

// The line (1-based) on which `needle` first stands in text.
int LineOf(const std::string& text, const std::string& needle) {
    const auto at = text.find(needle);
    EXPECT_NE(at, std::string::npos) << needle;
    return 1 + static_cast<int>(std::count(text.begin(), text.begin() + static_cast<long>(at), '\n'));
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    const auto at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

// The text with the object under key (from its key to its closing brace) replaced.
std::string ObjectReplaced(const std::string& text, const std::string& key, const std::string& with) {
    const auto at = text.find("\"" + key + "\": {");
    EXPECT_NE(at, std::string::npos) << key;
    if (at == std::string::npos) return text;
    const auto close = text.find('}', at);
    return text.substr(0, at) + with + text.substr(close + 1);
}

// A study the refusal must leave alone.
Study Sentinel() {
    Study s;
    s.Motor.ConstructorName = "kept";
    s.Load.T2 = 0.5;
    return s;
}

StudyRefusal Refused(const std::string& text, const StudySettingsCheck& check = {}) {
    Study kept = Sentinel();
    const StudyRefusal r = ParseStudy(text, kept, check);
    EXPECT_TRUE(r) << "accepted:\n" << text;
    if (r) ExpectSameStudy(kept, Sentinel());
    return r;
}

void ExpectRefusal(const StudyRefusal& r, int number, int line, const std::string& english,
                   const std::string& french) {
    EXPECT_EQ(r.number(), number);
    EXPECT_EQ(r.line, line);
    EXPECT_EQ(StudyRefusalText(r, Language::English), english);
    EXPECT_EQ(StudyRefusalText(r, Language::French), french);
}

} // namespace

TEST(StudyRefusal, EveryTruncationIsRefusedAtItsLastLine) {
    const std::string text = FullText();
    Study full;
    ASSERT_FALSE(ParseStudy(text, full));
    // Cut anywhere before the closing brace: never accepted, always the syntax message, at the line
    // where the file stops.
    for (std::size_t length = 0; length + 2 < text.size(); ++length) {
        const std::string cut = text.substr(0, length);
        Study kept = Sentinel();
        const StudyRefusal r = ParseStudy(cut, kept);
        ASSERT_EQ(r.number(), ErrStudyNotJson) << length;
        const int expectedLine =
            length == 0 ? 1 : 1 + static_cast<int>(std::count(cut.begin(), cut.end() - 1, '\n'));
        ASSERT_EQ(r.line, expectedLine) << length;
        ASSERT_EQ(kept.Motor.ConstructorName, "kept");
    }
    const std::string cut = text.substr(0, text.find("\"DipLimit\""));
    const int line = LineOf(text, "\"DipLimit\""); // the indentation before it is read
    const std::string at = std::to_string(line);
    ExpectRefusal(
        Refused(cut), ErrStudyNotJson, line,
        "The study file is not valid JSON (line " + at +
            ": syntax error while parsing object key - unexpected end of input; expected string literal)!",
        "Le fichier d'étude n'est pas un JSON valable (ligne " + at +
            "\u00A0: syntax error while parsing object key - unexpected end of input; expected string "
            "literal)\u00A0!");
}

TEST(StudyRefusal, NotJson) {
    EXPECT_EQ(Refused("").line, 1);
    EXPECT_EQ(Refused("").number(), ErrStudyNotJson);
    const StudyRefusal r = Refused("{\n  \"format\": \"tarvello-study\",\n  \"version\": 1 2\n}\n");
    EXPECT_EQ(r.number(), ErrStudyNotJson);
    EXPECT_EQ(r.line, 3);
    // A second document after the study, ill-formed UTF-8 and raw line breaks in a text.
    EXPECT_EQ(Refused(FullText() + "{}").line, LineOf(FullText(), "\"showStaticCurves\"") + 2);
    const std::string text = FullText();
    const StudyRefusal utf8 = Refused(Replaced(text, "\"list\"", "\"l\xff\""));
    EXPECT_EQ(utf8.number(), ErrStudyNotJson);
    EXPECT_EQ(utf8.line, LineOf(text, "\"source\""));
    EXPECT_NE(utf8.refusal.argument.english.find("UTF-8"), std::string::npos)
        << utf8.refusal.argument.english;
    EXPECT_EQ(Refused(Replaced(text, "\"list\"", "\"li\nst\"")).line, LineOf(text, "\"source\""));
    // Lines end with CR LF in a file edited elsewhere: the same lines.
    std::string crlf;
    for (char c : Replaced(text, "\"Preset\": ", "\"Preset\": x"))
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    EXPECT_EQ(Refused(crlf).line, LineOf(text, "\"Preset\""));
}

TEST(StudyRefusal, NotAStudy) {
    ExpectRefusal(Refused("[1, 2]"), ErrStudyNotStudy, 1,
                  "This file is not a Tarvello study (line 1 does not open a JSON object)!",
                  "Ce fichier n'est pas une étude Tarvello (la ligne 1 n'ouvre pas d'objet JSON)\u00A0!");
    ExpectRefusal(Refused("{\"version\": 1, \"motor\": {}}"), ErrStudyNotStudy, 0,
                  "This file is not a Tarvello study (\"format\": \"tarvello-study\" is missing)!",
                  "Ce fichier n'est pas une étude Tarvello («\u00A0\"format\": \"tarvello-study\"\u00A0» manque)\u00A0!");
    ExpectRefusal(
        Refused(Replaced(FullText(), "\"tarvello-study\"", "\"tarvello-curves\"")), ErrStudyNotStudy, 2,
        "This file is not a Tarvello study (\"format\" at line 2 is not \"tarvello-study\")!",
        "Ce fichier n'est pas une étude Tarvello («\u00A0format\u00A0» à la ligne 2 n'est pas «\u00A0tarvello-study\u00A0»)\u00A0!");
    EXPECT_EQ(Refused(Replaced(FullText(), "\"tarvello-study\"", "1")).number(), ErrStudyNotStudy);
}

TEST(StudyRefusal, NewerVersionSaysWhichVersionThisProgramReads) {
    ASSERT_EQ(StudyFormatVersion, 4); // the messages name version 4
    ExpectRefusal(
        Refused(Replaced(FullText(), "\"version\": 4", "\"version\": 5")), ErrStudyNewerVersion, 3,
        "The study file has version 5 (line 3); this program reads study files up to version 4!",
        "Le fichier d'étude est de la version 5 (ligne 3)\u00A0; ce programme lit les fichiers d'étude jusqu'à "
        "la version 4\u00A0!");
    // A newer version is refused as such even with keys this version does not know.
    const std::string newer = Replaced(Replaced(FullText(), "\"version\": 4", "\"version\": 7"),
                                       "\"motor\": {", "\"future\": true, \"motor\": {\"torque\": 1, ");
    EXPECT_EQ(Refused(newer).number(), ErrStudyNewerVersion);
    for (const char* bad : {"0", "-1", "1.5", "\"1\"", "null"}) {
        const StudyRefusal r =
            Refused(Replaced(FullText(), "\"version\": 4", std::string("\"version\": ") + bad));
        EXPECT_EQ(r.number(), ErrStudyWrongValue) << bad;
        EXPECT_EQ(r.refusal.argument.english, "\"version\" at line 3 must be a whole number from 1");
    }
    ExpectRefusal(Refused("{\"format\": \"tarvello-study\", \"motor\": {}}"), ErrStudyMissingKey, 0,
                  "The study file lacks the key \"version\"!",
                  "Il manque la clé «\u00A0version\u00A0» dans le fichier d'étude\u00A0!");
}

TEST(StudyRefusal, UnknownAndRepeatedKeysAreNamedWithTheirLine) {
    const std::string text = FullText();
    const int preset = LineOf(text, "\"Preset\"");
    ExpectRefusal(Refused(Replaced(text, "\"Preset\"", "\"Preest\"")), ErrStudyUnknownKey, preset,
                  "Unknown key \"Preest\" in \"softStarter\" at line " + std::to_string(preset) +
                      " in the study file!",
                  "Clé inconnue «\u00A0Preest\u00A0» dans «\u00A0softStarter\u00A0» à la ligne " + std::to_string(preset) +
                      " dans le fichier d'étude\u00A0!");
    // At the top, deep inside, and a key that differs only in case.
    EXPECT_EQ(Refused(Replaced(text, "\"showStaticCurves\"", "\"results\": [1], \"showStaticCurves\"")).line,
              LineOf(text, "\"showStaticCurves\""));
    EXPECT_EQ(Refused(Replaced(text, "\"Riron\"", "\"riron\"")).line, LineOf(text, "\"Riron\""));
    EXPECT_EQ(Refused(Replaced(text, "\"RatingCode\"", "\"Code\"")).number(), ErrStudyUnknownKey);

    const int t2 = LineOf(text, "\"T2\"");
    ExpectRefusal(Refused(Replaced(text, "\"T2\": ", "\"T1\": 5, \"T2\": ")), ErrStudyDuplicateKey, t2,
                  "The key \"T1\" in \"load\" at line " + std::to_string(t2) +
                      " appears twice in the study file!",
                  "La clé «\u00A0T1\u00A0» dans «\u00A0load\u00A0» à la ligne " + std::to_string(t2) +
                      " figure deux fois dans le "
                      "fichier d'étude\u00A0!");
    EXPECT_EQ(
        Refused(Replaced(text, "\"language\": \"fr\"", "\"language\": null, \"language\": \"fr\"")).number(),
        ErrStudyDuplicateKey);
    // A key made of control characters and a very long key are shown readably.
    const StudyRefusal odd =
        Refused(Replaced(text, "\"Preset\"", "\"a\\nb\\u0000" + std::string(300, 'k') + "\""));
    EXPECT_EQ(odd.refusal.argument.english.rfind("\"a?b?kkkk", 0), 0u) << odd.refusal.argument.english;
    EXPECT_LT(odd.refusal.argument.english.size(), 120u);
}

TEST(StudyRefusal, WrongTypesAndValuesOutOfTheirSet) {
    const std::string text = FullText();
    const int preset = LineOf(text, "\"Preset\"");
    ExpectRefusal(Refused(Replaced(text, "\"Preset\": 0.3", "\"Preset\": \"30\"")), ErrStudyWrongValue,
                  preset,
                  "Wrong value in the study file: \"Preset\" in \"softStarter\" at line " +
                      std::to_string(preset) + " must be a number!",
                  "Valeur incorrecte dans le fichier d'étude\u00A0: «\u00A0Preset\u00A0» dans «\u00A0softStarter\u00A0» à la ligne " +
                      std::to_string(preset) + " doit être un nombre\u00A0!");
    const int mode = LineOf(text, "\"mode\"");
    ExpectRefusal(Refused(Replaced(text, "\"selected-time\"", "\"fast\"")), ErrStudyWrongValue, mode,
                  "Wrong value in the study file: \"mode\" in \"softStarter\" at line " +
                      std::to_string(mode) + " must be \"current-limit\", \"selected-time\" or \"none\"!",
                  "Valeur incorrecte dans le fichier d'étude\u00A0: «\u00A0mode\u00A0» dans «\u00A0softStarter\u00A0» à la ligne " +
                      std::to_string(mode) + " doit être «\u00A0current-limit\u00A0», «\u00A0selected-time\u00A0» ou «\u00A0none\u00A0»\u00A0!");
    struct Case {
        const char *from, *to, *key, *expected;
    };
    const Case cases[] = {
        {"\"language\": \"fr\"", "\"language\": \"de\"", "\"language\"", "\"en\" or \"fr\""},
        {"\"source\": \"list\"", "\"source\": \"catalogue\"", "\"source\"",
         "\"typed\", \"list\" or \"diagram\""},
        {"\"StarCoupling\": false", "\"StarCoupling\": 1", "\"StarCoupling\"", "true or false"},
        {"\"MotorSize\": \"132S 4p\"", "\"MotorSize\": 5", "\"MotorSize\"", "a text"},
        {"\"MotorInertia\": 0.3333333333333333", "\"MotorInertia\": \"typical\"", "\"MotorInertia\"",
         "a number or null"},
        {"\"Material\": \"aluminium\"", "\"Material\": \"steel\"", "\"Material\"",
         "\"copper\" or \"aluminium\""},
        {"\"LineVoltage\": 400.0", "\"LineVoltage\": null", "\"LineVoltage\"", "a number"},
        {"\"showStaticCurves\": false", "\"showStaticCurves\": \"no\"", "\"showStaticCurves\"",
         "true or false"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.from);
        const StudyRefusal r = Refused(Replaced(text, c.from, c.to));
        EXPECT_EQ(r.number(), ErrStudyWrongValue);
        EXPECT_EQ(r.line, LineOf(text, c.key));
        const std::string& english = r.refusal.argument.english;
        EXPECT_EQ(english.rfind(c.key, 0), 0u) << english;
        EXPECT_EQ(english.substr(english.find(" must be ") + 9), c.expected);
    }
    // Objects where an object belongs.
    const StudyRefusal section = Refused(ObjectReplaced(text, "load", "\"load\": 5"));
    EXPECT_EQ(section.refusal.argument.english,
              "\"load\" at line " + std::to_string(LineOf(text, "\"load\"")) + " must be an object");
    const StudyRefusal circuit = Refused(ObjectReplaced(text, "circuit", "\"circuit\": null"));
    EXPECT_EQ(circuit.refusal.argument.english, "\"circuit\" in \"motor\" at line " +
                                                    std::to_string(LineOf(text, "\"circuit\"")) +
                                                    " must be an object");
    const StudyRefusal starter = Refused(ObjectReplaced(text, "starter", "\"starter\": []"));
    EXPECT_EQ(starter.refusal.argument.english, "\"starter\" in \"comparison\" at line " +
                                                    std::to_string(LineOf(text, "\"starter\"")) +
                                                    " must be an object or null");
}

TEST(StudyRefusal, MissingRequiredKeys) {
    const std::string text = FullText();
    ExpectRefusal(Refused("{\"format\": \"tarvello-study\", \"version\": 1}"), ErrStudyMissingKey, 0,
                  "The study file lacks the key \"motor\"!",
                  "Il manque la clé «\u00A0motor\u00A0» dans le fichier d'étude\u00A0!");
    const int motor = LineOf(text, "\"motor\"");
    ExpectRefusal(Refused(Replaced(text, "\"LineVoltage\": 400.0,", "")), ErrStudyMissingKey, motor,
                  "The study file lacks the key \"LineVoltage\" in \"motor\" (line " + std::to_string(motor) +
                      ")!",
                  "Il manque la clé «\u00A0LineVoltage\u00A0» dans «\u00A0motor\u00A0» (ligne " + std::to_string(motor) +
                      ") dans le fichier d'étude\u00A0!");
    for (const char* key : {"\"source\": \"list\",", "\"MechanicalPower\": 5500.0,",
                            "\"StarCoupling\": false,", "\"NoLoadLineCurrent\": 5.0,"})
        EXPECT_EQ(Refused(Replaced(text, key, "")).number(), ErrStudyMissingKey) << key;
    // A listed motor needs its circuit, and the circuit all six elements.
    const std::string noCircuit = text.substr(0, text.find(",\n    \"circuit\"")) +
                                  text.substr(text.find("}", text.find("\"circuit\"")) + 1);
    EXPECT_EQ(Refused(noCircuit).refusal.argument.english,
              "the key \"circuit\" in \"motor\" (line " + std::to_string(motor) + ")");
    const StudyRefusal xh = Refused(Replaced(text, "\"Xh\": 139.0,", ""));
    EXPECT_EQ(xh.refusal.argument.english,
              "the key \"Xh\" in \"circuit\" (line " + std::to_string(LineOf(text, "\"circuit\"")) + ")");
    // The starter, when there is one, needs its three values; the load its kind.
    EXPECT_EQ(Refused(Replaced(text, "\"StartsPerHour\": 6.0", "\"RatedCurrent\": 1")).number(),
              ErrStudyDuplicateKey);
    const std::string noStarts = Replaced(text, ",\n      \"StartsPerHour\": 6.0", "");
    EXPECT_EQ(Refused(noStarts).number(), ErrStudyMissingKey);
    EXPECT_EQ(Refused(Replaced(text, "\"kind\": \"squared\",", "")).number(), ErrStudyMissingKey);
}

TEST(StudyRefusal, NoLoadCurrentOfATypedMotorWithTheApproximationMayBeLeftOut) {
    Study s = StudyFromSettings(TypedMotorByHand(true, true), {});
    const std::string text = Replaced(StudyText(s), "\"NoLoadLineCurrent\": 0.0,", "");
    Study read;
    EXPECT_FALSE(ParseStudy(text, read));
    EXPECT_TRUE(read.Motor.ApproximationWithoutNoLoadCurrent);
    // Without the approximation it is required.
    EXPECT_EQ(Refused(Replaced(text, "\"ApproximationWithoutNoLoadCurrent\": true",
                               "\"ApproximationWithoutNoLoadCurrent\": false"))
                  .number(),
              ErrStudyMissingKey);
}

TEST(StudyRefusal, NumberTooLargeForADouble) {
    const std::string text = FullText();
    const int t0 = LineOf(text, "\"T0\"");
    ExpectRefusal(Refused(Replaced(text, "\"T0\": 12.5", "\"T0\": 1e400")), ErrStudyNumberTooLarge, t0,
                  "A number of the study file is too large: \"T0\" at line " + std::to_string(t0) + "!",
                  "Un nombre du fichier d'étude est trop grand\u00A0: «\u00A0T0\u00A0» à la ligne " + std::to_string(t0) +
                      "\u00A0!");
    EXPECT_EQ(Refused(Replaced(text, "\"T0\": 12.5", "\"T0\": -2e308")).number(), ErrStudyNumberTooLarge);
    // A tiny number is only rounded, as a typed one is.
    Study read;
    EXPECT_FALSE(ParseStudy(Replaced(text, "\"LoadInertia\": 0.1", "\"LoadInertia\": 1e-400"), read));
    EXPECT_EQ(read.Dynamic.Mechanical.LoadInertia, 0.0);
}

TEST(StudyRefusal, SettingsThatTheChosenKindDoesNotUse) {
    Study s = StudyFromSettings(ListedCaseByHand(), {}, {.loadKind = LoadKind::Constant});
    const std::string text = StudyText(s);
    const int t0 = LineOf(text, "\"T0\"");
    ExpectRefusal(Refused(Replaced(text, "\"T0\": 12.5", "\"T0\": 12.5, \"T2\": 0.0")),
                  ErrUnusedLoadCoefficient, t0,
                  "The load coefficient \"T2\" at line " + std::to_string(t0) +
                      " (\"constant\") is not used by the load kind in force!",
                  "Le coefficient de charge «\u00A0T2\u00A0» à la ligne " + std::to_string(t0) +
                      " («\u00A0constant\u00A0») n'est pas utilisé par le type de charge en vigueur\u00A0!");
    EXPECT_EQ(Refused(Replaced(text, "\"kind\": \"constant\"", "\"kind\": \"none\"")).number(),
              ErrUnusedLoadCoefficient);

    // A typed motor has no circuit of its own: the identification makes it.
    const std::string typed = Replaced(text, "\"source\": \"list\"", "\"source\": \"typed\"");
    const int circuit = LineOf(text, "\"circuit\"");
    ExpectRefusal(
        Refused(typed), ErrStudyCircuitOfTyped, circuit,
        "A typed motor is identified from its rated values: leave out \"circuit\" at line " +
            std::to_string(circuit) + " or make the source \"diagram\"!",
        "Un moteur saisi est identifié à partir de ses valeurs nominales\u00A0: retirez «\u00A0circuit\u00A0» à la ligne " +
            std::to_string(circuit) + " ou choisissez la source «\u00A0diagram\u00A0»\u00A0!");
    Study diagram;
    EXPECT_FALSE(ParseStudy(Replaced(text, "\"source\": \"list\"", "\"source\": \"diagram\""), diagram));
    EXPECT_EQ(diagram.Motor.Source, MotorSource::Diagram);
}

// Values that the dialogs refuse are refused on opening with the dialog's own number, at the line
// of the value that causes it.
TEST(StudyRefusal, TheProgramsOwnChecksNameTheLineOfTheValue) {
    const std::string listed = FullText();
    const std::string typed =
        StudyText(StudyFromSettings(TypedCaseByHand(), {}, {.loadKind = LoadKind::Squared}));
    struct Case {
        const std::string* text;
        const char *from, *to, *key;
        int number;
    };
    const Case cases[] = {
        {&typed, "\"MechanicalPower\": 4000.0", "\"MechanicalPower\": 0", "\"MechanicalPower\"",
         ErrMechanicalPowerZero},
        {&typed, "\"MechanicalPower\": 4000.0", "\"MechanicalPower\": 40000", "\"MechanicalPower\"", 21},
        {&typed, "\"PowerFactor\": 0.82", "\"PowerFactor\": 1.5", "\"PowerFactor\"", 20},
        {&typed, "\"Frequency\": 50.0", "\"Frequency\": 10", "\"Frequency\"", ErrNoPairOfPoles},
        {&typed, "\"RatedSpeed\": 1440.0", "\"RatedSpeed\": 9000", "\"RatedSpeed\"", ErrNoPairOfPoles},
        {&typed, "\"LineCurrent\": 8.5", "\"LineCurrent\": -8.5", "\"LineCurrent\"", ErrLineCurrentZero},
        {&typed, "\"NoLoadLineCurrent\": 4.5", "\"NoLoadLineCurrent\": 0", "\"NoLoadLineCurrent\"",
         ErrNoLoadCurrentZero},
        {&typed, "\"ConstructorName\": \"", "\"ConstructorName\": \"A;", "\"ConstructorName\"", 210},
        {&typed, "\"MotorSize\": \"", "\"MotorSize\": \"\xe2\x82\xac\xe2\x80\xa6\xe2\x98\x83",
         "\"MotorSize\"", 211},
        {&typed, "\"EstimatedStartTime\": 2.5", "\"EstimatedStartTime\": 0", "\"EstimatedStartTime\"",
         ErrEstimatedTimeZero},
        {&typed, "\"T0\": 2.0", "\"T0\": 500", "\"T0\"", 70},
        {&listed, "\"Rr\": 2.4", "\"Rr\": 0", "\"Rr\"", ErrRotorResistanceZero},
        {&listed, "\"rampTime\": 7.5", "\"rampTime\": 30.5", "\"rampTime\"", 51},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.to);
        const StudyRefusal r = Refused(Replaced(*c.text, c.from, c.to));
        EXPECT_EQ(r.number(), c.number);
        const int line = LineOf(*c.text, c.key);
        EXPECT_EQ(r.line, line);
        EXPECT_EQ(StudyRefusalText(r, Language::English), ErrorText(c.number, Language::English) +
                                                              " (study file, line " + std::to_string(line) +
                                                              ")");
        EXPECT_EQ(StudyRefusalText(r, Language::French), ErrorText(c.number, Language::French) +
                                                             " (fichier d'étude, ligne " +
                                                             std::to_string(line) + ")");
    }
    // The ramp time of another mode is not judged.
    Study read;
    EXPECT_FALSE(ParseStudy(Replaced(Replaced(listed, "\"rampTime\": 7.5", "\"rampTime\": 30.5"),
                                     "\"selected-time\"", "\"current-limit\""),
                            read));
    // Two faults: the one the dialogs meet first is reported, at its own line.
    const StudyRefusal two = Refused(Replaced(Replaced(typed, "\"LineVoltage\": 400.0", "\"LineVoltage\": 0"),
                                              "\"T0\": 2.0", "\"T0\": 500"));
    EXPECT_EQ(two.number(), ErrLineVoltageZero);
    EXPECT_EQ(two.line, LineOf(typed, "\"LineVoltage\""));
}

// The dynamic settings are judged by the check the caller passes (the dynamic start's own), on the
// motor the study makes; its refusal is traced to the line of the value too.
TEST(StudyRefusal, TheSettingsCheckNamesTheLineOfTheValue) {
    const StudySettingsCheck check = [](const DynamicSettings& s, const MotorDataSet& ds) -> Refusal {
        EXPECT_GT(ds.SynchronousSpeed, 0); // judged on the applied motor
        if (s.Mechanical.MotorInertia && *s.Mechanical.MotorInertia < 0) return 110;
        if (s.Mechanical.LoadInertia < 0) return 110;
        if (s.Network.Enabled && s.Network.HasTransformer &&
            !(s.Network.TransformerUr <= s.Network.TransformerUk))
            return 125;
        if (s.Starter && s.Starter->RatingCode.find('-') == std::string::npos) return 145;
        return 0;
    };
    const std::string text = FullText();
    Study read;
    ASSERT_FALSE(ParseStudy(text, read, check));
    struct Case {
        const char *from, *to, *key;
        int number;
    };
    const Case cases[] = {
        {"\"LoadInertia\": 0.1", "\"LoadInertia\": -0.1", "\"LoadInertia\"", 110},
        {"\"MotorInertia\": 0.3333333333333333", "\"MotorInertia\": -0.3", "\"MotorInertia\"", 110},
        {"\"TransformerUr\": 2.2250738585072014e-308", "\"TransformerUr\": 7", "\"TransformerUr\"", 125},
        {"\"TransformerUk\": 6.000000000000001", "\"TransformerUk\": 1e-309", "\"TransformerUk\"", 125},
        {"\"RatingCode\": \"AC-53a: 3.5-17: 90-5\"", "\"RatingCode\": \"3.5\"", "\"RatingCode\"", 145},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.to);
        const StudyRefusal r = Refused(Replaced(text, c.from, c.to), check);
        EXPECT_EQ(r.number(), c.number);
        EXPECT_EQ(r.line, LineOf(text, c.key));
    }
    // Without the check these settings are only read.
    EXPECT_FALSE(ParseStudy(Replaced(text, "\"LoadInertia\": 0.1", "\"LoadInertia\": -0.1"), read));
}

// Whatever the file holds, reading stays bounded: deep nesting, long arrays, many keys.
TEST(StudyRefusal, HostileFilesAreRefusedWithoutExhaustingTheProgram) {
    const std::string text = FullText();
    const std::string deep = std::string(200000, '[') + std::string(200000, ']');
    EXPECT_EQ(Refused(Replaced(text, "\"Preset\": 0.3", "\"Preset\": " + deep)).number(), ErrStudyWrongValue);
    std::string objects;
    for (int i = 0; i < 100000; ++i)
        objects += "{\"a\":";
    objects += "1" + std::string(100000, '}');
    const StudyRefusal nested = Refused(Replaced(text, "\"Rs\": 2.4", "\"Rs\": " + objects));
    EXPECT_EQ(nested.number(), ErrStudyWrongValue);
    EXPECT_EQ(nested.line, LineOf(text, "\"Rs\""));
    EXPECT_EQ(Refused(objects).number(), ErrStudyNotStudy);
    std::string keys = "{\"format\": \"tarvello-study\", \"version\": 1";
    for (int i = 0; i < 200000; ++i)
        keys += ", \"k" + std::to_string(i) + "\": {\"x\": [1]}";
    keys += "}";
    const StudyRefusal many = Refused(keys);
    EXPECT_EQ(many.number(), ErrStudyUnknownKey);
    EXPECT_EQ(many.refusal.argument.english, "\"k0\" at line 1");
}

TEST(StudyRefusal, ByteOrderMarkIsAccepted) {
    Study read;
    EXPECT_FALSE(ParseStudy("\xEF\xBB\xBF" + FullText(), read));
    EXPECT_EQ(Refused("\xEF\xBB\xBF" + Replaced(FullText(), "\"Preset\"", "\"P\"")).line,
              LineOf(FullText(), "\"Preset\""));
}

namespace {
std::string WithLineEnds(const std::string& text, const std::string& end) {
    std::string out;
    for (char c : text)
        out += c == '\n' ? end : std::string(1, c);
    return out;
}
} // namespace

// Broken studies of every kind, each refused with its number and line; the refusal still knows the
// study's language (French here) so that a command line can speak it.
TEST(StudyRefusal, BrokenTextsAreRefusedNamingTheLine) {
    const std::string text = FullText();
    const int lastLine = static_cast<int>(std::count(text.begin(), text.end(), '\n'));
    const std::string nul(1, '\0');
    const auto controlIn = [&](const char* key, const char* section, const char* character) {
        const std::string line = std::to_string(LineOf(text, std::string("\"") + key + "\""));
        return std::string("\"") + key + "\" in \"" + section + "\" at line " + line + " (" + character + ")";
    };
    const auto versionLine = [](const char* version) { return std::string(version) + " (line 3)"; };
    struct Broken {
        std::string text;
        int number, line;
        std::string english; // the message's argument
    };
    const std::vector<Broken> cases = {
        // Only white space may follow the closing brace; a NUL byte ends the parser's reading.
        {text + "garbage", ErrStudyNotJson, lastLine + 1,
         "line " + std::to_string(lastLine + 1) + ": text follows the end of the JSON value"},
        {text.substr(0, text.size() - 1) + nul + "garbage", ErrStudyNotJson, lastLine,
         "line " + std::to_string(lastLine) + ": text follows the end of the JSON value"},
        {text + " \n\t\r\n" + nul, ErrStudyNotJson, lastLine + 3,
         "line " + std::to_string(lastLine + 3) + ": text follows the end of the JSON value"},
        {Replaced(text, "\"Preset\": 0.3", "\"Preset\": " + nul + "0.3"), ErrStudyNotJson,
         LineOf(text, "\"Preset\""), "line " + std::to_string(LineOf(text, "\"Preset\"")) + ": a NUL byte"},
        // A version beyond 2^53 as written, not rounded.
        {Replaced(text, "\"version\": 4", "\"version\": 1000000000000001"), ErrStudyNewerVersion, 3,
         versionLine("1000000000000001")},
        {Replaced(text, "\"version\": 4", "\"version\": 9007199254740993.0"), ErrStudyNewerVersion, 3,
         versionLine("9007199254740993.0")},
        {Replaced(text, "\"version\": 4", "\"version\": 5E+0"), ErrStudyNewerVersion, 3, versionLine("5E+0")},
        // A refusal on line 5 with each kind of line end.
        {WithLineEnds(Replaced(text, "\"motor\"", "\"motr\""), "\n"), ErrStudyUnknownKey, 5,
         "\"motr\" at line 5"},
        {WithLineEnds(Replaced(text, "\"motor\"", "\"motr\""), "\r"), ErrStudyUnknownKey, 5,
         "\"motr\" at line 5"},
        {WithLineEnds(Replaced(text, "\"motor\"", "\"motr\""), "\r\n"), ErrStudyUnknownKey, 5,
         "\"motr\" at line 5"},
        {WithLineEnds(Replaced(text, "\"motor\":", "\"motor\""), "\r"), ErrStudyNotJson, 5, ""},
        {WithLineEnds(Replaced(text, "\"motor\":", "\"motor\""), "\r\n"), ErrStudyNotJson, 5, ""},
        {WithLineEnds(text, "\r") + "x", ErrStudyNotJson, lastLine + 1,
         "line " + std::to_string(lastLine + 1) + ": text follows the end of the JSON value"},
        // Control characters in every text, escaped or (DEL and C1 may be) raw.
        {Replaced(text, "\"Generic IEC\"", "\"Tarv\\u0000ello\""), ErrStudyControlCharacter,
         LineOf(text, "\"ConstructorName\""), controlIn("ConstructorName", "motor", "U+0000")},
        {Replaced(text, "\"132S 4p\"", "\"132S\\t4p\""), ErrStudyControlCharacter,
         LineOf(text, "\"MotorSize\""), controlIn("MotorSize", "motor", "U+0009")},
        {Replaced(text, "\"132S 4p\"", "\"132S\\u001f\""), ErrStudyControlCharacter,
         LineOf(text, "\"MotorSize\""), controlIn("MotorSize", "motor", "U+001F")},
        {Replaced(text, "\"AC-53a:",
                  "\"\x7F"
                  "AC-53a:"),
         ErrStudyControlCharacter, LineOf(text, "\"RatingCode\""),
         controlIn("RatingCode", "starter", "U+007F")},
        {Replaced(text, "\"AC-53a:", "\"\\u0085AC-53a:"), ErrStudyControlCharacter,
         LineOf(text, "\"RatingCode\""), controlIn("RatingCode", "starter", "U+0085")},
        {Replaced(text, "\"Generic IEC\"", "\"Generic\xC2\x9F\""), ErrStudyControlCharacter,
         LineOf(text, "\"ConstructorName\""), controlIn("ConstructorName", "motor", "U+009F")},
    };
    for (const Broken& c : cases) {
        SCOPED_TRACE(c.english);
        const StudyRefusal r = Refused(c.text);
        EXPECT_EQ(r.number(), c.number);
        EXPECT_EQ(r.line, c.line);
        if (!c.english.empty()) {
            EXPECT_EQ(r.refusal.argument.english, c.english);
        }
        EXPECT_EQ(r.language, Language::French);
    }
    // The new message in both languages, and a study refused before its language is read.
    ExpectRefusal(Refused(cases[13].text), ErrStudyControlCharacter, 7,
                  "A text of the study file holds a control character: \"ConstructorName\" in \"motor\" at "
                  "line 7 (U+0000)!",
                  "Un texte du fichier d'étude contient un caractère de contrôle\u00A0: «\u00A0ConstructorName\u00A0» "
                  "dans «\u00A0motor\u00A0» à la ligne 7 (U+0000)\u00A0!");
    EXPECT_EQ(Refused("{\n  \"format\" \"tarvello-study\",\n  \"language\": \"fr\"\n}").language,
              std::nullopt);
    EXPECT_EQ(Refused(Replaced(text, "\"fr\"", "\"en\"") + "x").language, Language::English);
    // A non-breaking space is no control character.
    Study read;
    EXPECT_FALSE(ParseStudy(Replaced(text, "\"Generic IEC\"", "\"Generic\\u00A0IEC\xC2\xA0\""), read));
    EXPECT_EQ(read.Motor.ConstructorName, "Generic\u00A0IEC\u00A0");
}
