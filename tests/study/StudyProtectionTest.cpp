// The overload relay in a study (version 4): every setting reads back bit for bit, an older study
// opens without a relay exactly as before, and a bad protection object is refused at its line.

#include <algorithm>

#include "StudyFixtures.h"

namespace {

Study TypedStudy() {
    return StudyFromSettings(TypedCaseByHand(), {}, {.loadKind = LoadKind::Squared});
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

} // namespace

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

TEST(StudyProtection, BadObjectsAreRefusedAtTheirLine) {
    Study s = TypedStudy();
    s.Dynamic.Protection = ProtectionSettings{TripClass::Class10, 9.0, 15.0, 12.0};
    const std::string text = StudyText(s);
    Study read;
    ASSERT_FALSE(ParseStudy(text, read, CheckDynamicSettings));
    struct Case {
        const char *from, *to, *key;
        int number;
    };
    const Case cases[] = {
        // The reader's own refusals.
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
        EXPECT_FALSE(kept.Dynamic.Protection.has_value()); // left as it was
    }
    // Null is no relay; anything but an object or null is refused.
    const std::string plain = StudyText(TypedStudy());
    const auto withValue = [&](const char* value) {
        return Replaced(plain, "  \"showStaticCurves\"", std::string("  \"protection\": ") + value + ",\n  \"showStaticCurves\"");
    };
    read.Dynamic.Protection = ProtectionSettings{};
    ASSERT_FALSE(ParseStudy(withValue("null"), read, CheckDynamicSettings));
    EXPECT_FALSE(read.Dynamic.Protection.has_value());
    for (const char* value : {"true", "[]", "\"10\""}) {
        const StudyRefusal r = ParseStudy(withValue(value), read);
        EXPECT_EQ(r.number(), ErrStudyWrongValue) << value;
        EXPECT_EQ(r.line, LineOf(plain, "\"showStaticCurves\"")) << value;
    }
    // The messages name the value and its line in both languages.
    const StudyRefusal word = ParseStudy(Replaced(text, "\"RelayClass\": \"10\"", "\"RelayClass\": \"15\""), read);
    const std::string line = std::to_string(LineOf(text, "\"RelayClass\""));
    EXPECT_EQ(word.refusal.argument.english, "\"RelayClass\" in \"protection\" at line " + line +
                                                 " must be \"10A\", \"10\", \"20\" or \"30\"");
    const StudyRefusal low =
        ParseStudy(Replaced(text, "\"RelaySetting\": 9.0", "\"RelaySetting\": 8.0"), read, CheckDynamicSettings);
    EXPECT_EQ(StudyRefusalText(low, Language::French),
              "La valeur de «\u00a0Réglage du courant du relais Ir\u00a0» doit être au moins 8,096\u00a0A\u00a0: le "
              "relais doit supporter le courant assigné du moteur (Ir au moins In / 1,05)\u00a0! (fichier d'étude, "
              "ligne " +
                  std::to_string(LineOf(text, "\"RelaySetting\"")) + ")");
}
