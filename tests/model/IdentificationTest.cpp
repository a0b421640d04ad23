#include <gtest/gtest.h>

#include <cmath>

#include "MotorFixtures.h"

TEST(DeriveRatedValues, WorkedExampleStarAndDelta) {
    const MotorDataSet star = FourKilowattMotor(true);
    EXPECT_EQ(star.PairOfPoles, 2);
    EXPECT_EQ(star.SynchronousSpeed, 25);
    EXPECT_SIG6(star.ElectricalPower, 4828.96);
    EXPECT_SIG6(star.RatedTorque, 26.5258);
    EXPECT_SIG6(star.Efficiency, 82.8336);
    EXPECT_SIG6(star.PhaseVoltage, 230.940);
    EXPECT_EQ(star.PhaseCurrent, 8.5);
    EXPECT_EQ(star.NoLoadPhaseCurrent, 4.5);

    const MotorDataSet delta = FourKilowattMotor(false);
    EXPECT_EQ(delta.PhaseVoltage, 400);
    EXPECT_SIG6(delta.PhaseCurrent, 4.90748);
    EXPECT_SIG6(delta.NoLoadPhaseCurrent, 4.5 / std::sqrt(3.0));
    EXPECT_SIG6(delta.ElectricalPower, 4828.96);
}

TEST(DeriveRatedValues, PolePairsRoundHalvesDownThroughTheExtendedConstant) {
    auto poles = [](double f, double n) {
        MotorDataSet ds;
        ds.Frequency = f;
        ds.RatedSpeed = n;
        DeriveRatedValues(ds);
        return ds.PairOfPoles;
    };
    EXPECT_EQ(poles(50, 1200), 2); // 2.5 exactly in decimal arithmetic
    EXPECT_EQ(poles(60, 2400), 1); // 1.5 exactly in decimal arithmetic
    EXPECT_EQ(poles(50, 1450), 2);
    EXPECT_EQ(poles(50, 2900), 1);
    EXPECT_EQ(poles(60, 1200), 3);
    EXPECT_EQ(poles(50, 960), 3);
    EXPECT_EQ(poles(50, 6001), 0); // above 120 x frequency
}

TEST(IdentifyEquivalentDiagram, StarWithNoLoadCurrent) {
    const MotorDataSet ds = IdentifiedFourKilowattMotor(true);
    EXPECT_SIG6(ds.Rs, 1.27483);
    EXPECT_EQ(ds.Rr, ds.Rs);
    EXPECT_SIG6(ds.Riron, 1158.08);
    EXPECT_SIG6(ds.Xh, 51.3200);
    EXPECT_SIG6(ds.Xssigma, 0.583487);
    EXPECT_EQ(ds.Xrsigma, ds.Xssigma);
    EXPECT_EQ(ds.NoLoadLineCurrent, 4.5); // given, not estimated
}

TEST(IdentifyEquivalentDiagram, StarWithApproximation) {
    MotorDataSet ds = FourKilowattMotor(true, true);
    ds.NoLoadLineCurrent = 99; // whatever was typed is replaced by the estimate
    IdentifyEquivalentDiagram(ds);
    EXPECT_SIG6(ds.Xh, 52.7431);
    EXPECT_SIG6(ds.Xssigma, 1.55508);
    EXPECT_SIG6(ds.NoLoadLineCurrent, 4.37858);
    EXPECT_SIG6(ds.Rs, 1.27483);
    EXPECT_SIG6(ds.Riron, 1158.08);
}

TEST(IdentifyEquivalentDiagram, DeltaWithNoLoadCurrent) {
    const MotorDataSet ds = IdentifiedFourKilowattMotor(false);
    EXPECT_SIG6(ds.Rs, 3.82449);
    EXPECT_SIG6(ds.Riron, 3474.24);
    EXPECT_SIG6(ds.Xh, 153.960);
    EXPECT_SIG6(ds.Xssigma, 1.75046);
}

TEST(IdentifyEquivalentDiagram, DeltaApproximationGivesLineNoLoadCurrent) {
    MotorDataSet ds = FourKilowattMotor(false, true);
    IdentifyEquivalentDiagram(ds);
    EXPECT_SIG6(ds.NoLoadLineCurrent, ds.NoLoadPhaseCurrent * std::sqrt(3.0));
    EXPECT_SIG6(ds.NoLoadPhaseCurrent, ds.PhaseVoltage / ds.Xh);
}

TEST(IdentifyEquivalentDiagram, LargeNoLoadCurrentGivesNegativeLeakage) {
    MotorDataSet ds = FourKilowattMotor(true);
    ds.NoLoadLineCurrent = 8;
    DeriveRatedValues(ds);
    IdentifyEquivalentDiagram(ds);
    EXPECT_LT(ds.Xssigma, 0);
}

TEST(MotorDataSet, ResetAndPresets) {
    MotorDataSet ds = IdentifiedFourKilowattMotor();
    ds.ListCoupling.push_back("Delta");
    ds.ErrorNumber = 70;
    ds.Reset();
    EXPECT_EQ(ds.MechanicalPower, 0);
    EXPECT_EQ(ds.Rs, 0);
    EXPECT_EQ(ds.ErrorNumber, 0);
    EXPECT_TRUE(ds.ListCoupling.empty());
    EXPECT_FALSE(ds.StarCoupling);
    PresetStartInputs(ds);
    EXPECT_EQ(ds.Preset, 0.1);
    EXPECT_EQ(ds.SoftStarterTime, 5);
    EXPECT_EQ(ds.ImaxIn, 1.5);
    EXPECT_EQ(ds.DesiredImaxIn, 1.5);
    EXPECT_EQ(ds.EstimatedStartTime, 10);
}
