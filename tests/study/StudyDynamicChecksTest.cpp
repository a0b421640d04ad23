// With the dynamic start's own check, dynamic settings that it refuses are refused on opening a
// study, with its number, at the line of the value.

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

} // namespace

TEST(StudyDynamicChecks, RefusedSettingsNameTheLineOfTheValue) {
    const std::string text = CaseText();
    Study read;
    const StudyRefusal accepted = ParseStudy(text, read, CheckDynamicSettings);
    ASSERT_FALSE(accepted) << StudyRefusalText(accepted, Language::English);

    struct Case {
        const char *from, *to, *key;
        int low, high; // the range of the check's numbers
    };
    const Case cases[] = {
        {"\"LoadInertia\": 0.05", "\"LoadInertia\": -0.05", "\"LoadInertia\"", 110, 119},
        {"\"MotorInertia\": 0.012", "\"MotorInertia\": -1.0", "\"MotorInertia\"", 110, 119},
        {"\"ShortCircuitPower\": 50000000.0", "\"ShortCircuitPower\": 0", "\"ShortCircuitPower\"", 120, 139},
        {"\"CableSection\": 2.5", "\"CableSection\": 0", "\"CableSection\"", 120, 139},
        // u_R above any u_k: a u_R of 5 % would be as much the fault of a u_k of 4 %.
        {"\"TransformerUr\": 1.5", "\"TransformerUr\": 50", "\"TransformerUr\"", 120, 139},
        {"\"ChangeoverSpeed\": 0.9", "\"ChangeoverSpeed\": 1.5", "\"ChangeoverSpeed\"", 140, 149},
        {"\"RatingCode\": \"AC-53a: 3.5-17: 90-5\"", "\"RatingCode\": \"three\"", "\"RatingCode\"", 140, 149},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.to);
        Study kept;
        const StudyRefusal r = ParseStudy(Replaced(text, c.from, c.to), kept, CheckDynamicSettings);
        EXPECT_GE(r.number(), c.low);
        EXPECT_LE(r.number(), c.high);
        EXPECT_EQ(r.line, LineOf(text, c.key));
        EXPECT_EQ(kept.Motor.MechanicalPower, 0.0); // left as it was
    }
    // Both inertias zero: no total to accelerate.
    const StudyRefusal zero =
        ParseStudy(Replaced(Replaced(text, "\"LoadInertia\": 0.05", "\"LoadInertia\": 0"),
                            "\"MotorInertia\": 0.012", "\"MotorInertia\": 0"),
                   read, CheckDynamicSettings);
    EXPECT_GE(zero.number(), 110);
    EXPECT_LE(zero.number(), 119);
}
