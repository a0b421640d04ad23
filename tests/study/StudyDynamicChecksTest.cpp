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
        {"\"RelayClass\": \"10\",", "", "\"protection\"", ErrStudyMissingKey},
        {"\"RelayClass\": \"10\"", "\"RelayClass\": \"10\", \"Class\": \"10\"", "\"RelayClass\"",
         ErrStudyUnknownKey},
        {"\"RelaySetting\": 9.0", "\"RelaySetting\": \"9\"", "\"RelaySetting\"", ErrStudyWrongValue},
        {"\"WithstandCold\": 15.0", "\"WithstandCold\": true", "\"WithstandCold\"", ErrStudyWrongValue},
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

// Every relay reads back bit for bit, its bounds accepted, unset values written as null; older
// versions do not know the object, and a study without a relay reads in them as before.
TEST(StudyProtection, RelaysReadBackAndOlderStudiesOpenWithoutOne) {
    const std::optional<double> none;
    const std::optional<ProtectionSettings> relays[] = {
        std::nullopt,
        ProtectionSettings{TripClass::Class10A, none, none, none},
        ProtectionSettings{TripClass::Class20, 8.5 / 1.05, 1.0 / 3.0, 1.0 / 3.0},
        ProtectionSettings{TripClass::Class30, 85.0, 3600.0, 5e-324},
    };
    Study s = TypedStudy();
    for (const std::optional<ProtectionSettings>& relay : relays) {
        s.Dynamic.Protection = relay;
        const std::string text = StudyText(s);
        Study read;
        ASSERT_FALSE(ParseStudy(text, read, CheckDynamicSettings)) << text;
        ExpectSameStudy(read, s);
        EXPECT_EQ(StudyText(read), text);
        EXPECT_EQ(text.find("\"protection\"") != std::string::npos, relay.has_value());
        for (const char* older : {"\"version\": 1", "\"version\": 3"}) {
            Study old;
            EXPECT_EQ(ParseStudy(Replaced(text, "\"version\": 4", older), old).number(),
                      relay ? ErrStudyUnknownKey : 0);
            if (!relay)
                ExpectSameStudy(old, s);
        }
    }
    s.Dynamic.Protection = ProtectionSettings{TripClass::Class10A, none, none, none};
    EXPECT_NE(StudyText(s).find("  },\n  \"protection\": {\n    \"RelayClass\": \"10A\",\n    \"RelaySetting\": "
                                "null,\n    \"WithstandCold\": null,\n    \"WithstandHot\": null\n  },\n"),
              std::string::npos);
}
