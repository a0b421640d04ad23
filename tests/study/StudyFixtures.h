#pragma once
// Studies of a typed, a listed and a diagram motor, set up the way the dialogs set the data set,
// and a field-by-field bitwise comparison of studies.

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "Checks.h"
#include "ExampleMotor.h"
#include "MotorList.h"
#include "Study.h"
#include "TextToReal.h"

inline std::uint64_t Bits(double v) {
    return std::bit_cast<std::uint64_t>(v);
}

#define EXPECT_SAME_DOUBLE(a, b) EXPECT_EQ(Bits(a), Bits(b)) << #a << ": " << (a) << " vs " << (b)

inline void ExpectSameOptional(const std::optional<double>& a, const std::optional<double>& b,
                               const char* name) {
    ASSERT_EQ(a.has_value(), b.has_value()) << name;
    if (a) {
        EXPECT_EQ(Bits(*a), Bits(*b)) << name << ": " << *a << " vs " << *b;
    }
}

// Every field of the two studies, doubles compared bit for bit (so -0 differs from 0).
inline void ExpectSameStudy(const Study& a, const Study& b) {
    EXPECT_EQ(a.StudyLanguage, b.StudyLanguage);
    const StudyMotor &m = a.Motor, &n = b.Motor;
    EXPECT_EQ(m.Source, n.Source);
    EXPECT_EQ(m.ConstructorName, n.ConstructorName);
    EXPECT_EQ(m.MotorSize, n.MotorSize);
    EXPECT_SAME_DOUBLE(m.MechanicalPower, n.MechanicalPower);
    EXPECT_SAME_DOUBLE(m.LineVoltage, n.LineVoltage);
    EXPECT_SAME_DOUBLE(m.LineCurrent, n.LineCurrent);
    EXPECT_SAME_DOUBLE(m.PowerFactor, n.PowerFactor);
    EXPECT_SAME_DOUBLE(m.Frequency, n.Frequency);
    EXPECT_SAME_DOUBLE(m.RatedSpeed, n.RatedSpeed);
    EXPECT_SAME_DOUBLE(m.NoLoadLineCurrent, n.NoLoadLineCurrent);
    EXPECT_EQ(m.StarCoupling, n.StarCoupling);
    EXPECT_EQ(m.ApproximationWithoutNoLoadCurrent, n.ApproximationWithoutNoLoadCurrent);
    EXPECT_SAME_DOUBLE(m.Circuit.Rs, n.Circuit.Rs);
    EXPECT_SAME_DOUBLE(m.Circuit.Rr, n.Circuit.Rr);
    EXPECT_SAME_DOUBLE(m.Circuit.Xssigma, n.Circuit.Xssigma);
    EXPECT_SAME_DOUBLE(m.Circuit.Xrsigma, n.Circuit.Xrsigma);
    EXPECT_SAME_DOUBLE(m.Circuit.Xh, n.Circuit.Xh);
    EXPECT_SAME_DOUBLE(m.Circuit.Riron, n.Circuit.Riron);
    EXPECT_SAME_DOUBLE(m.Circuit.Rr2, n.Circuit.Rr2);
    EXPECT_SAME_DOUBLE(m.Circuit.Xr2sigma, n.Circuit.Xr2sigma);
    EXPECT_EQ(m.Datasheet.has_value(), n.Datasheet.has_value());
    if (m.Datasheet && n.Datasheet) {
        EXPECT_SAME_DOUBLE(m.Datasheet->LockedRotorCurrentRatio, n.Datasheet->LockedRotorCurrentRatio);
        EXPECT_SAME_DOUBLE(m.Datasheet->LockedRotorTorqueRatio, n.Datasheet->LockedRotorTorqueRatio);
        EXPECT_SAME_DOUBLE(m.Datasheet->BreakdownTorqueRatio, n.Datasheet->BreakdownTorqueRatio);
        EXPECT_EQ(m.Datasheet->Priority, n.Datasheet->Priority);
    }

    const StudySoftStarter &s = a.SoftStarter, &t = b.SoftStarter;
    EXPECT_SAME_DOUBLE(s.EstimatedStartTime, t.EstimatedStartTime);
    EXPECT_SAME_DOUBLE(s.Preset, t.Preset);
    EXPECT_EQ(s.Mode, t.Mode);
    EXPECT_SAME_DOUBLE(s.DesiredImaxIn, t.DesiredImaxIn);
    EXPECT_SAME_DOUBLE(s.RampTime, t.RampTime);

    EXPECT_EQ(a.Load.Kind, b.Load.Kind);
    EXPECT_SAME_DOUBLE(a.Load.T0, b.Load.T0);
    EXPECT_SAME_DOUBLE(a.Load.T1, b.Load.T1);
    EXPECT_SAME_DOUBLE(a.Load.T2, b.Load.T2);

    const DynamicSettings &d = a.Dynamic, &e = b.Dynamic;
    ExpectSameOptional(d.Mechanical.MotorInertia, e.Mechanical.MotorInertia, "MotorInertia");
    EXPECT_SAME_DOUBLE(d.Mechanical.LoadInertia, e.Mechanical.LoadInertia);
    EXPECT_SAME_DOUBLE(d.Mechanical.StartTimeLimit, e.Mechanical.StartTimeLimit);
    const SupplyNetwork &p = d.Network, &q = e.Network;
    EXPECT_EQ(p.Enabled, q.Enabled);
    ExpectSameOptional(p.SourceVoltage, q.SourceVoltage, "SourceVoltage");
    ExpectSameOptional(p.ShortCircuitPower, q.ShortCircuitPower, "ShortCircuitPower");
    EXPECT_SAME_DOUBLE(p.SourceRX, q.SourceRX);
    EXPECT_EQ(p.HasTransformer, q.HasTransformer);
    EXPECT_SAME_DOUBLE(p.TransformerPower, q.TransformerPower);
    EXPECT_SAME_DOUBLE(p.TransformerUk, q.TransformerUk);
    EXPECT_SAME_DOUBLE(p.TransformerUr, q.TransformerUr);
    EXPECT_EQ(p.HasCable, q.HasCable);
    EXPECT_SAME_DOUBLE(p.CableLength, q.CableLength);
    EXPECT_SAME_DOUBLE(p.CableSection, q.CableSection);
    EXPECT_EQ(p.Material, q.Material);
    EXPECT_EQ(p.CableParallel, q.CableParallel);
    EXPECT_SAME_DOUBLE(p.CableReactance, q.CableReactance);
    EXPECT_SAME_DOUBLE(d.DipLimit, e.DipLimit);
    EXPECT_SAME_DOUBLE(d.Methods.ChangeoverSpeed, e.Methods.ChangeoverSpeed);
    EXPECT_SAME_DOUBLE(d.Methods.AutotransformerTap, e.Methods.AutotransformerTap);
    EXPECT_SAME_DOUBLE(d.Methods.ReactorVoltage, e.Methods.ReactorVoltage);
    ExpectSameOptional(d.Methods.CurrentLimit, e.Methods.CurrentLimit, "CurrentLimit");
    ASSERT_EQ(d.Starter.has_value(), e.Starter.has_value());
    if (d.Starter) {
        EXPECT_SAME_DOUBLE(d.Starter->RatedCurrent, e.Starter->RatedCurrent);
        EXPECT_EQ(d.Starter->RatingCode, e.Starter->RatingCode);
        EXPECT_SAME_DOUBLE(d.Starter->StartsPerHour, e.Starter->StartsPerHour);
    }
    ASSERT_EQ(d.Protection.has_value(), e.Protection.has_value());
    if (d.Protection) {
        EXPECT_EQ(d.Protection->Class, e.Protection->Class);
        ExpectSameOptional(d.Protection->RelaySetting, e.Protection->RelaySetting, "RelaySetting");
        ExpectSameOptional(d.Protection->WithstandCold, e.Protection->WithstandCold, "WithstandCold");
        ExpectSameOptional(d.Protection->WithstandHot, e.Protection->WithstandHot, "WithstandHot");
    }
    EXPECT_EQ(a.ShowStaticCurves, b.ShowStaticCurves);
}

// ---- The data set as the dialogs leave it ---------------------------------------------------------

inline double Typed(const char* text) {
    return TextToReal(text);
}

// Parameters > Enter Or Change Rated Values, then OK: the 4 kW reference motor.
inline MotorDataSet TypedMotorByHand(bool star = true, bool approximate = false) {
    MotorDataSet ds;
    PresetStartInputs(ds);
    ds.LanguageEnglish = true;
    ds.MotorFromList = false;
    ds.ConstructorName = "Tarvello Électrique";
    ds.MotorSize = "112M-4";
    ds.ApproximationWithoutNoLoadCurrent = approximate;
    ds.MechanicalPower = Typed("4000");
    ds.LineVoltage = Typed("400");
    ds.LineCurrent = Typed("8,5");
    ds.PowerFactor = Typed("0,82");
    ds.Frequency = Typed("50");
    ds.RatedSpeed = Typed("1440");
    ds.StarCoupling = star;
    if (!approximate) ds.NoLoadLineCurrent = Typed("4,5");
    EXPECT_EQ(ConfirmRatedValues(ds).number, 0);
    ds.MotorIdentified = true;
    ds.DataChanged = true;
    ds.StartStep = 1;
    return ds;
}

// Choose Motor in List: record 7 of the delivered catalogue (5.5 kW), circuit as listed.
inline MotorDataSet ListedMotorByHand() {
    MotorDataSet ds;
    PresetStartInputs(ds);
    ds.LanguageFrench = true;
    ds.MotorFromList = true;
    CopyRecordToDataSet(ReadListRecord(7, TARVELLO_SOURCE_DIR "/data/Liste Moteur.old"), ds);
    EXPECT_EQ(CheckRatedValues(ds).number, 0);
    EXPECT_EQ(CheckCircuit(ds).number, 0);
    DeriveRatedValues(ds);
    ds.MotorIdentified = true;
    ds.DataChanged = true;
    ds.StartStep = 1;
    return ds;
}

// A typed motor whose circuit is then set in the equivalent diagram dialog.
inline MotorDataSet DiagramMotorByHand() {
    MotorDataSet ds = TypedMotorByHand(false);
    ds.MotorFromList = true; // Parameters > Enter Equivalent Diagram
    ds.Rs = Typed("1,47");
    ds.Rr = Typed("1,21");
    ds.Xssigma = Typed("2,9");
    ds.Xrsigma = Typed("4,05");
    ds.Xh = Typed("88");
    ds.Riron = Typed("1650");
    EXPECT_EQ(CheckCircuit(ds).number, 0);
    DeriveRatedValues(ds);
    ds.DataChanged = true;
    return ds;
}

// The soft-starter dialog in current-limit mode, OK.
inline void CurrentLimitByHand(MotorDataSet& ds, const char* estimated, const char* preset,
                               const char* limit) {
    ds.LimitCurrentMode = true;
    ds.SelectedTimeMode = false;
    ds.EstimatedStartTime = Typed(estimated);
    ds.Preset = Typed(preset) * 0.01;
    ds.DesiredImaxIn = Typed(limit);
    ds.StartStep = 2;
}

// The soft-starter dialog in selected-time mode, OK.
inline void SelectedTimeByHand(MotorDataSet& ds, const char* estimated, const char* preset,
                               const char* ramp) {
    ds.SelectedTimeMode = true;
    ds.LimitCurrentMode = false;
    ds.EstimatedStartTime = Typed(estimated);
    ds.Preset = Typed(preset) * 0.01;
    ds.SoftStarterTime = Typed(ramp);
    ds.StartStep = 2;
}

// The load dialog, OK.
inline void LoadByHand(MotorDataSet& ds, double t0, double t1, double t2) {
    ds.T0 = t0;
    ds.T1 = t1;
    ds.T2 = t2;
    ds.DataChanged = true;
    ds.ResultsMode = true;
    ds.StartStep = 0;
}

// Dynamic settings with every optional field set and numbers that are hard to write exactly.
inline DynamicSettings EverySettingSet() {
    DynamicSettings s;
    s.Mechanical.MotorInertia = 1.0 / 3.0;
    s.Mechanical.LoadInertia = 0.1;
    s.Mechanical.StartTimeLimit = 59.999999999999993;
    s.Network.Enabled = true;
    s.Network.SourceVoltage = 400.00000000000006;
    s.Network.ShortCircuitPower = 1.7976931348623157e308;
    s.Network.SourceRX = 5e-324;
    s.Network.HasTransformer = true;
    s.Network.TransformerPower = 630e3;
    s.Network.TransformerUk = 6.0000000000000009;
    s.Network.TransformerUr = 2.2250738585072014e-308;
    s.Network.HasCable = true;
    s.Network.CableLength = 123.456;
    s.Network.CableSection = 2.5;
    s.Network.Material = CableMaterial::Aluminium;
    s.Network.CableParallel = 3;
    s.Network.CableReactance = -0.0;
    s.DipLimit = 12.5;
    s.Methods.ChangeoverSpeed = 0.85;
    s.Methods.AutotransformerTap = 0.8;
    s.Methods.ReactorVoltage = 0.7000000000000001;
    s.Methods.CurrentLimit = 2.5000000000000004;
    s.Starter = StarterDuty{22, "AC-53a: 3.5-17: 90-5", 6};
    s.Protection = ProtectionSettings{TripClass::Class10A, 11.100000000000001, 1.0 / 3.0 * 50, 0.1};
    return s;
}

// The three motors with their soft-starter and load, as dialogs leave them.
inline MotorDataSet TypedCaseByHand() {
    MotorDataSet ds = TypedMotorByHand();
    CurrentLimitByHand(ds, "2,5", "25", "3");
    LoadByHand(ds, 2, 0.01, 0.004);
    ds.ShowStaticCurves = true;
    return ds;
}

inline MotorDataSet ListedCaseByHand() {
    MotorDataSet ds = ListedMotorByHand();
    SelectedTimeByHand(ds, "4", "30", "7,5");
    LoadByHand(ds, 12.5, 0, 0);
    return ds;
}

inline MotorDataSet DiagramCaseByHand() {
    MotorDataSet ds = DiagramMotorByHand();
    SelectedTimeByHand(ds, "3", "25", "4");
    LoadByHand(ds, 1, 0.05, 0);
    ds.ShowStaticCurves = true;
    return ds;
}
