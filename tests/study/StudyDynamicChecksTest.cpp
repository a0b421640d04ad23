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
