// A study put back into the data set: the same results as the same case set up through the dialogs,
// and nothing of the program's state lost on a refusal.

#include "StartSimulation.h"
#include "StudyFixtures.h"

namespace {

void ExpectSameCurve(const Curve& a, const Curve& b, const char* name) {
    for (int k = 0; k < CurvePoints; ++k)
        ASSERT_EQ(Bits(a[k]), Bits(b[k])) << name << " point " << k + 1;
}

// Every value the computation reads or writes, bit for bit.
void ExpectSameComputation(const MotorDataSet& a, const MotorDataSet& b) {
    for (auto [x, y] : {std::pair{a.MechanicalPower, b.MechanicalPower},
                        {a.LineVoltage, b.LineVoltage},
                        {a.LineCurrent, b.LineCurrent},
                        {a.PowerFactor, b.PowerFactor},
                        {a.Frequency, b.Frequency},
                        {a.RatedSpeed, b.RatedSpeed},
                        {a.NoLoadLineCurrent, b.NoLoadLineCurrent},
                        {a.PairOfPoles, b.PairOfPoles},
                        {a.SynchronousSpeed, b.SynchronousSpeed},
                        {a.PhaseVoltage, b.PhaseVoltage},
                        {a.PhaseCurrent, b.PhaseCurrent},
                        {a.NoLoadPhaseCurrent, b.NoLoadPhaseCurrent},
                        {a.ElectricalPower, b.ElectricalPower},
                        {a.RatedTorque, b.RatedTorque},
                        {a.Efficiency, b.Efficiency},
                        {a.Rs, b.Rs},
                        {a.Xssigma, b.Xssigma},
                        {a.Rr, b.Rr},
                        {a.Xrsigma, b.Xrsigma},
                        {a.Xh, b.Xh},
                        {a.Riron, b.Riron},
                        {a.EstimatedStartTime, b.EstimatedStartTime},
                        {a.Preset, b.Preset},
                        {a.ImaxIn, b.ImaxIn},
                        {a.DesiredImaxIn, b.DesiredImaxIn},
                        {a.SoftStarterTime, b.SoftStarterTime},
                        {a.T0, b.T0},
                        {a.T1, b.T1},
                        {a.T2, b.T2}})
        EXPECT_SAME_DOUBLE(x, y);
    EXPECT_EQ(a.ConstructorName, b.ConstructorName);
    EXPECT_EQ(a.MotorSize, b.MotorSize);
    EXPECT_EQ(a.StarCoupling, b.StarCoupling);
    EXPECT_EQ(a.ApproximationWithoutNoLoadCurrent, b.ApproximationWithoutNoLoadCurrent);
    EXPECT_EQ(a.MotorFromList, b.MotorFromList);
    EXPECT_EQ(a.LimitCurrentMode, b.LimitCurrentMode);
    EXPECT_EQ(a.SelectedTimeMode, b.SelectedTimeMode);
    EXPECT_EQ(a.ShowStaticCurves, b.ShowStaticCurves);
    ExpectSameCurve(a.TimeAxis, b.TimeAxis, "TimeAxis");
    ExpectSameCurve(a.DolCurrentCurve, b.DolCurrentCurve, "DolCurrentCurve");
    ExpectSameCurve(a.DolTorqueCurve, b.DolTorqueCurve, "DolTorqueCurve");
    ExpectSameCurve(a.SoftStarterCurrentCurve, b.SoftStarterCurrentCurve, "SoftStarterCurrentCurve");
    ExpectSameCurve(a.SoftStarterTorqueCurve, b.SoftStarterTorqueCurve, "SoftStarterTorqueCurve");
    ExpectSameCurve(a.SpeedAxis, b.SpeedAxis, "SpeedAxis");
}

void ExpectSamePoints(const CurveBuffer& a, const CurveBuffer& b) {
    ASSERT_EQ(a.points.size(), b.points.size());
    for (std::size_t i = 0; i < a.points.size(); ++i) {
        const CurvePoint &p = a.points[i], &q = b.points[i];
        ASSERT_EQ(Bits(p.x), Bits(q.x)) << i;
        ASSERT_EQ(Bits(p.dolCurrent), Bits(q.dolCurrent)) << i;
        ASSERT_EQ(Bits(p.dolTorque), Bits(q.dolTorque)) << i;
        ASSERT_EQ(Bits(p.ssCurrent), Bits(q.ssCurrent)) << i;
        ASSERT_EQ(Bits(p.ssTorque), Bits(q.ssTorque)) << i;
    }
}

struct Case {
    const char* name;
    MotorDataSet byHand;
    StudyChoices choices;
};

std::vector<Case> Cases() {
    MotorDataSet approximate = TypedMotorByHand(false, true);
    CurrentLimitByHand(approximate, "1,5", "20", "2,5");
    LoadByHand(approximate, 0, 0, 0);
    return {
        {"typed", TypedCaseByHand(), {.loadKind = LoadKind::Squared}},
        {"typed, approximation", approximate, {}},
        {"list", ListedCaseByHand(), {.loadKind = LoadKind::Constant}},
        {"diagram",
         DiagramCaseByHand(),
         {.source = MotorSource::Diagram, .loadKind = LoadKind::Proportional}},
    };
}

} // namespace

// The study saved from a case, read back from its text and applied to a program that has just started
// computes exactly what the case computes when set up through the dialogs.
TEST(StudyApply, ResultsEqualThoseOfTheSameCaseSetUpByHand) {
    for (Case c : Cases()) {
        SCOPED_TRACE(c.name);
        const DynamicSettings settings = EverySettingSet();
        const Study saved = StudyFromSettings(c.byHand, settings, c.choices);
        Study read;
        ASSERT_FALSE(ParseStudy(StudyText(saved), read));

        MotorDataSet opened;
        opened.LanguageFrench = true;
        PresetStartInputs(opened);
        DynamicSettings openedSettings;
        ASSERT_EQ(ApplyStudy(read, opened, openedSettings).number, 0);

        CurveBuffer timeByHand, staticByHand, timeOpened, staticOpened;
        ASSERT_EQ(RunStartComputation(c.byHand, &timeByHand, &staticByHand).number, 0);
        ASSERT_EQ(RunStartComputation(opened, &timeOpened, &staticOpened).number, 0);
        ExpectSameComputation(opened, c.byHand);
        ExpectSamePoints(timeOpened, timeByHand);
        ExpectSamePoints(staticOpened, staticByHand);
        EXPECT_EQ(staticOpened.points.empty(), !c.byHand.ShowStaticCurves);
        // What the data set does not hold (the typed ramp time of a current-limit case, the study's
        // language where the program keeps its own) comes with the choices.
        StudyChoices again = c.choices;
        again.language = saved.StudyLanguage;
        again.rampTime = saved.SoftStarter.RampTime;
        ExpectSameStudy(StudyFromSettings(opened, openedSettings, again), saved);
    }
}

// Opening a study and taking it back gives the same study, before and after the computation, so
// that a program can tell whether the user changed anything since.
TEST(StudyApply, ApplyingAndTakingBackGivesTheSameStudy) {
    for (Case c : Cases()) {
        SCOPED_TRACE(c.name);
        const Study saved = StudyFromSettings(c.byHand, EverySettingSet(), c.choices);
        MotorDataSet ds;
        DynamicSettings settings;
        ASSERT_EQ(ApplyStudy(saved, ds, settings).number, 0);
        StudyChoices choices = c.choices;
        choices.language = saved.StudyLanguage;
        ExpectSameStudy(StudyFromSettings(ds, settings, choices), saved);
        ASSERT_EQ(RunStartComputation(ds, nullptr, nullptr).number, 0);
        // The computation searched a ramp in current-limit mode: the typed one is the study's.
        choices.rampTime = saved.SoftStarter.RampTime;
        ExpectSameStudy(StudyFromSettings(ds, settings, choices), saved);
        EXPECT_EQ(StudyText(StudyFromSettings(ds, settings, choices)), StudyText(saved));
    }
}

TEST(StudyApply, DataSetIsTheOneTheDialogsLeaveAndKeepsLanguageAndCatalogueRows) {
    MotorDataSet ds = ListedCaseByHand();
    ds.LanguageFrench = true;
    ds.LanguageEnglish = false;
    ds.ListConstructorName = {"A", "B"};
    ds.ListRiron = {"1", "2"};
    ASSERT_EQ(RunStartComputation(ds, nullptr, nullptr).number, 0);
    ds.ErrorNumber = 51;

    Study typed = StudyFromSettings(TypedCaseByHand(), {}, {.language = Language::English});
    typed.Load.Kind = LoadKind::Constant; // T1 and T2 are not the kind's: they are set to 0
    DynamicSettings settings;
    ASSERT_EQ(ApplyStudy(typed, ds, settings).number, 0);
    EXPECT_TRUE(ds.LanguageFrench); // the study's language is the caller's to use or not
    EXPECT_FALSE(ds.LanguageEnglish);
    EXPECT_EQ(ds.ListConstructorName, (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(ds.ListRiron, (std::vector<std::string>{"1", "2"}));
    EXPECT_FALSE(ds.MotorFromList);
    EXPECT_TRUE(ds.MotorIdentified);
    EXPECT_TRUE(ds.ResultsMode);
    EXPECT_TRUE(ds.DataChanged);
    EXPECT_EQ(ds.StartStep, 0);
    EXPECT_EQ(ds.ErrorNumber, 0);
    EXPECT_TRUE(ds.LimitCurrentMode);
    EXPECT_FALSE(ds.SelectedTimeMode);
    EXPECT_TRUE(ds.ShowStaticCurves);
    EXPECT_EQ(ds.T0, 2.0);
    EXPECT_EQ(ds.T1, 0.0);
    EXPECT_EQ(ds.T2, 0.0);
    EXPECT_EQ(ds.Rs, 0.0); // the typed motor's circuit is the computation's to identify
    EXPECT_GT(ds.SynchronousSpeed, 0.0);
    EXPECT_EQ(ds.DolCurrentCurve[10], 0.0); // results of the former motor are gone
    EXPECT_EQ(ds.TimeAxis[99], 0.0);

    Study none = typed;
    none.SoftStarter.Mode = SoftStarterMode::None;
    none.SoftStarter.RampTime = 45; // not judged outside selected-time mode
    ASSERT_EQ(ApplyStudy(none, ds, settings).number, 0);
    EXPECT_FALSE(ds.LimitCurrentMode);
    EXPECT_FALSE(ds.SelectedTimeMode);
    EXPECT_EQ(ds.SoftStarterTime, 45.0);
}

TEST(StudyApply, RefusedStudyChangesNothing) {
    MotorDataSet ds = ListedCaseByHand();
    ds.ListMotorSize = {"M1"};
    ASSERT_EQ(RunStartComputation(ds, nullptr, nullptr).number, 0);
    const MotorDataSet before = ds;
    DynamicSettings settings = EverySettingSet();

    Study bad = StudyFromSettings(TypedCaseByHand(), {}, {});
    bad.Dynamic.DipLimit = 99;
    const std::pair<int, std::function<void(Study&)>> faults[] = {
        {ErrMechanicalPowerZero, [](Study& s) { s.Motor.MechanicalPower = 0; }},
        {21, [](Study& s) { s.Motor.MechanicalPower = 1e6; }},
        {ErrNoLoadCurrentZero, [](Study& s) { s.Motor.NoLoadLineCurrent = 0; }},
        {210, [](Study& s) { s.Motor.MotorSize = "a\nb"; }},
        {ErrRotorResistanceZero, [](Study& s) { s.Motor.Source = MotorSource::List; }}, // circuit all zero
        {ErrEstimatedTimeZero, [](Study& s) { s.SoftStarter.EstimatedStartTime = -1; }},
        {51,
         [](Study& s) {
             s.SoftStarter.Mode = SoftStarterMode::SelectedTime;
             s.SoftStarter.RampTime = 31;
         }},
        {70, [](Study& s) { s.Load.T0 = 1e4; }},
    };
    for (const auto& [number, fault] : faults) {
        SCOPED_TRACE(number);
        Study s = bad;
        fault(s);
        EXPECT_EQ(ApplyStudy(s, ds, settings).number, number);
        ExpectSameComputation(ds, before);
        EXPECT_EQ(ds.ListMotorSize, before.ListMotorSize);
        EXPECT_EQ(settings.DipLimit, EverySettingSet().DipLimit);
    }
}
