// With the dynamic start's own check, dynamic settings that it refuses are refused on opening a
// study, with its number, at the line of the value. The overload relay (version 4): every setting
// reads back bit for bit, an older study opens without one exactly as before, a bad protection
// object is refused at its line.

#include <algorithm>

#include "StudyFixtures.h"

namespace {

std::string CaseText() {
    DynamicSettings s;
    s.Mechanical.MotorInertia = 0.012;
    s.Mechanical.LoadInertia = 0.05;
    s.Network.Enabled = true;
    s.Network.ShortCircuitPower = 50e6;
    s.Network.HasTransformer = true;
    s.Network.TransformerPower = 100e3;
    s.Network.TransformerUk = 4;
    s.Network.TransformerUr = 1.5;
    s.Network.HasCable = true;
    s.Network.CableLength = 80;
    s.Network.CableSection = 2.5;
    s.Starter = StarterDuty{9, "AC-53a: 3.5-17: 90-5", 6};
    s.Protection = ProtectionSettings{TripClass::Class10, 9.0, 15.0, 12.0};
    return StudyText(StudyFromSettings(TypedCaseByHand(), s, {.loadKind = LoadKind::Squared}));
}

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

Study TypedStudy() {
    return StudyFromSettings(TypedCaseByHand(), {}, {.loadKind = LoadKind::Squared});
}

} // namespace

TEST(StudyDynamicChecks, RefusedSettingsNameTheLineOfTheValue) {
    const std::string text = CaseText();
    Study read;
    const StudyRefusal accepted = ParseStudy(text, read, CheckDynamicSettings);
    ASSERT_FALSE(accepted) << StudyRefusalText(accepted, Language::English);

    struct Case {
        const char *from, *to, *key;
        int number;
    };
    const Case cases[] = {
        {"\"LoadInertia\": 0.05", "\"LoadInertia\": -0.05", "\"LoadInertia\"", ErrValueOutOfRange},
        {"\"LoadInertia\": 0.05", "\"LoadInertia\": 1e308", "\"LoadInertia\"", ErrValueOutOfRange},
        {"\"MotorInertia\": 0.012", "\"MotorInertia\": -1.0", "\"MotorInertia\"", ErrValueOutOfRange},
        {"\"MotorInertia\": 0.012", "\"MotorInertia\": 5e-324", "\"MotorInertia\"", ErrValueOutOfRange},
        {"\"StartTimeLimit\": 60.0", "\"StartTimeLimit\": 6.3e-322", "\"StartTimeLimit\"",
         ErrStartTimeLimitRange},
        {"\"ShortCircuitPower\": 50000000.0", "\"ShortCircuitPower\": 0", "\"ShortCircuitPower\"",
         ErrValueOutOfRange},
        {"\"CableSection\": 2.5", "\"CableSection\": 0", "\"CableSection\"", ErrValueOutOfRange},
        // u_R beyond its own range: a u_R of 5 % would be as much the fault of a u_k of 4 %.
        {"\"TransformerUr\": 1.5", "\"TransformerUr\": 50", "\"TransformerUr\"", ErrValueOutOfRange},
        {"\"TransformerUr\": 1.5", "\"TransformerUr\": 5", "\"TransformerUk\"", ErrTransformerUrAboveUk},
        {"\"DipLimit\": 10.0", "\"DipLimit\": 0", "\"DipLimit\"", ErrDipLimitRange},
        {"\"ChangeoverSpeed\": 0.9", "\"ChangeoverSpeed\": 1.5", "\"ChangeoverSpeed\"", ErrValueOutOfRange},
        {"\"ReactorVoltage\": 0.65", "\"ReactorVoltage\": 1e-300", "\"ReactorVoltage\"", ErrValueOutOfRange},
        {"\"ReactorVoltage\": 0.65", "\"ReactorVoltage\": 0.65, \"CurrentLimit\": 20", "\"ReactorVoltage\"",
         ErrValueAboveAtMost},
        {"\"RatedCurrent\": 9.0", "\"RatedCurrent\": 1e308", "\"RatedCurrent\"", ErrValueAboveAtMost},
        {"\"RatingCode\": \"AC-53a: 3.5-17: 90-5\"", "\"RatingCode\": \"three\"", "\"RatingCode\"",
         ErrStarterRatingSyntax},
        // The relay: the reader's own refusals first.
        {"\"RelayClass\": \"10\"", "\"RelayClass\": \"15\"", "\"RelayClass\"", ErrStudyWrongValue},
        {"\"RelayClass\": \"10\"", "\"RelayClass\": 10", "\"RelayClass\"", ErrStudyWrongValue},
        {"\"RelayClass\": \"10\"", "\"RelayClass\": \"10a\"", "\"RelayClass\"", ErrStudyWrongValue},
        {"\"RelayClass\": \"10\",", "", "\"protection\"", ErrStudyMissingKey},
        {"\"RelayClass\": \"10\"", "\"RelayClass\": \"10\", \"Class\": \"10\"", "\"RelayClass\"",
         ErrStudyUnknownKey},
        {"\"RelayClass\": \"10\"", "\"RelayClass\": \"10\", \"RelayClass\": \"20\"", "\"RelayClass\"",
         ErrStudyDuplicateKey},
        {"\"RelaySetting\": 9.0", "\"RelaySetting\": \"9\"", "\"RelaySetting\"", ErrStudyWrongValue},
        {"\"WithstandCold\": 15.0", "\"WithstandCold\": true", "\"WithstandCold\"", ErrStudyWrongValue},
        {"\"WithstandHot\": 12.0", "\"WithstandHot\": 1e999", "\"WithstandHot\"", ErrStudyNumberTooLarge},
        // The ranges, judged by the settings check, at the line of the value that causes them.
        {"\"RelaySetting\": 9.0", "\"RelaySetting\": 8.0", "\"RelaySetting\"", ErrRelaySettingLow},
        {"\"RelaySetting\": 9.0", "\"RelaySetting\": 85.1", "\"RelaySetting\"", ErrRelaySettingHigh},
        {"\"WithstandCold\": 15.0", "\"WithstandCold\": 0", "\"WithstandCold\"", ErrWithstandRange},
        {"\"WithstandHot\": 12.0", "\"WithstandHot\": -0.0", "\"WithstandHot\"", ErrWithstandRange},
        {"\"WithstandHot\": 12.0", "\"WithstandHot\": 3600.5", "\"WithstandHot\"", ErrWithstandRange},
        // Hot above cold: the hot time, as the acceptable cold time stays below it.
        {"\"WithstandCold\": 15.0", "\"WithstandCold\": 11.5", "\"WithstandHot\"", ErrWithstandHotAboveCold},
        {"\"WithstandCold\": 15.0", "\"WithstandCold\": null", "\"WithstandHot\"", ErrWithstandOnlyOne},
        {"\"WithstandHot\": 12.0", "\"WithstandHot\": null", "\"WithstandCold\"", ErrWithstandOnlyOne},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.to);
        Study kept;
        const StudyRefusal r = ParseStudy(Replaced(text, c.from, c.to), kept, CheckDynamicSettings);
        EXPECT_EQ(r.number(), c.number);
        EXPECT_EQ(r.line, LineOf(text, c.key));
        EXPECT_EQ(kept.Motor.MechanicalPower, 0.0); // left as it was
    }
    // Both inertias zero: the motor's is below its range.
    const StudyRefusal zero =
        ParseStudy(Replaced(Replaced(text, "\"LoadInertia\": 0.05", "\"LoadInertia\": 0"),
                            "\"MotorInertia\": 0.012", "\"MotorInertia\": 0"),
                   read, CheckDynamicSettings);
    EXPECT_EQ(zero.number(), ErrValueOutOfRange);
    // The refusal names the field, its range and the line, in the study's words.
    const StudyRefusal inertia = ParseStudy(Replaced(text, "\"LoadInertia\": 0.05", "\"LoadInertia\": 1e308"),
                                            read, CheckDynamicSettings);
    const std::string line = std::to_string(LineOf(text, "\"LoadInertia\""));
    EXPECT_EQ(
        StudyRefusalText(inertia, Language::English),
        "The value of \"Load Inertia\" must lie between 0 and 100\u00a0000\u00a0kg·m²! (study file, line " +
            line + ")");
    EXPECT_EQ(StudyRefusalText(inertia, Language::French),
              "La valeur de «\u00a0Inertie de la charge\u00a0» doit être comprise entre 0 et "
              "100\u00a0000\u00a0kg·m²\u00a0! (fichier d'étude, ligne " +
                  line + ")");
}

TEST(StudyProtection, EveryRelayReadsBackBitForBit) {
    const std::optional<double> none;
    const std::optional<ProtectionSettings> relays[] = {
        std::nullopt,
        ProtectionSettings{TripClass::Class10A, none, none, none},
        ProtectionSettings{TripClass::Class10, 8.5, 15.0, 12.0},
        ProtectionSettings{TripClass::Class20, 8.5 / 1.05, 1.0 / 3.0, 1.0 / 3.0},
        ProtectionSettings{TripClass::Class30, 85.0, 3600.0, 5e-324},
    };
    for (const auto& relay : relays) {
        Study s = TypedStudy();
        s.Dynamic.Protection = relay;
        const std::string text = StudyText(s);
        SCOPED_TRACE(text);
        Study read;
        const StudyRefusal r = ParseStudy(text, read, CheckDynamicSettings);
        ASSERT_FALSE(r) << StudyRefusalText(r, Language::English);
        ExpectSameStudy(read, s);
        EXPECT_EQ(StudyText(read), text);
    }
    // The form of the object: after the comparison, unset values as null; no relay, no object.
    Study s = TypedStudy();
    s.Dynamic.Protection = ProtectionSettings{TripClass::Class10A, none, 15.0, 12.0};
    EXPECT_NE(StudyText(s).find("  },\n  \"protection\": {\n    \"RelayClass\": \"10A\",\n    \"RelaySetting\": "
                                "null,\n    \"WithstandCold\": 15.0,\n    \"WithstandHot\": 12.0\n  },\n  "
                                "\"showStaticCurves\""),
              std::string::npos)
        << StudyText(s);
    EXPECT_EQ(StudyText(TypedStudy()).find("protection"), std::string::npos);
}

// A study of an older version, and one of version 4 that leaves the object out, has no relay and
// every other setting as before; an older version does not know the key.
TEST(StudyProtection, OlderStudiesOpenAsBefore) {
    Study s = TypedStudy();
    s.Dynamic = EverySettingSet();
    s.Dynamic.Protection.reset();
    s.Dynamic.Methods.CurrentLimit.reset(); // unknown to version 1
    const std::string current = StudyText(s);
    Study relay = s;
    relay.Dynamic.Protection = ProtectionSettings{};
    const std::string withRelay = StudyText(relay);
    for (const char* version : {"1", "2", "3", "4"}) {
        SCOPED_TRACE(version);
        const std::string text = Replaced(current, "\"version\": 4", std::string("\"version\": ") + version);
        Study read;
        read.Dynamic.Protection = ProtectionSettings{};
        ASSERT_FALSE(ParseStudy(text, read));
        ExpectSameStudy(read, s);
        EXPECT_EQ(StudyText(read), current);
        if (std::string(version) != "4") {
            Study kept;
            const StudyRefusal r =
                ParseStudy(Replaced(withRelay, "\"version\": 4", std::string("\"version\": ") + version), kept);
            EXPECT_EQ(r.number(), ErrStudyUnknownKey);
            EXPECT_EQ(r.line, LineOf(withRelay, "\"protection\""));
        }
    }
}

TEST(StudyProtection, NullIsNoRelayAndMessagesNameTheLine) {
    const std::string relayText = CaseText();
    // Null is no relay; anything but an object or null is refused.
    const std::string plain = StudyText(TypedStudy());
    const auto withValue = [&](const char* value) {
        return Replaced(plain, "  \"showStaticCurves\"",
                        std::string("  \"protection\": ") + value + ",\n  \"showStaticCurves\"");
    };
    Study read;
    read.Dynamic.Protection = ProtectionSettings{};
    ASSERT_FALSE(ParseStudy(withValue("null"), read, CheckDynamicSettings));
    EXPECT_FALSE(read.Dynamic.Protection.has_value());
    for (const char* value : {"true", "[]", "\"10\""}) {
        const StudyRefusal r = ParseStudy(withValue(value), read);
        EXPECT_EQ(r.number(), ErrStudyWrongValue) << value;
        EXPECT_EQ(r.line, LineOf(plain, "\"showStaticCurves\"")) << value;
    }
    // The messages name the value and its line in both languages.
    const StudyRefusal word = ParseStudy(Replaced(relayText, "\"RelayClass\": \"10\"", "\"RelayClass\": \"15\""), read);
    const std::string line = std::to_string(LineOf(relayText, "\"RelayClass\""));
    EXPECT_EQ(word.refusal.argument.english, "\"RelayClass\" in \"protection\" at line " + line +
                                                 " must be \"10A\", \"10\", \"20\" or \"30\"");
    const StudyRefusal low =
        ParseStudy(Replaced(relayText, "\"RelaySetting\": 9.0", "\"RelaySetting\": 8.0"), read, CheckDynamicSettings);
    EXPECT_EQ(StudyRefusalText(low, Language::French),
              "La valeur de «\u00a0Réglage du courant du relais Ir\u00a0» doit être au moins 8,096\u00a0A\u00a0: le "
              "relais doit supporter le courant assigné du moteur (Ir au moins In / 1,05)\u00a0! (fichier d'étude, "
              "ligne " +
                  std::to_string(LineOf(relayText, "\"RelaySetting\"")) + ")");
}
