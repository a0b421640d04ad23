#pragma once
// The keys of the JSON objects and the library's own results to hold them against.

#include <optional>
#include <string>
#include <vector>

#include "Dynamics.h"
#include "ExampleMotor.h"
#include "SimTestSupport.h"
#include "StartSimulation.h"
#include "TextToReal.h"

inline const std::vector<std::string> MotorKeys = {"ConstructorName",
                                                   "MotorSize",
                                                   "MechanicalPower",
                                                   "LineVoltage",
                                                   "LineCurrent",
                                                   "PowerFactor",
                                                   "Frequency",
                                                   "RatedSpeed",
                                                   "NoLoadLineCurrent",
                                                   "StarCoupling",
                                                   "PairOfPoles",
                                                   "SynchronousSpeed",
                                                   "PhaseVoltage",
                                                   "PhaseCurrent",
                                                   "NoLoadPhaseCurrent",
                                                   "ElectricalPower",
                                                   "RatedTorque",
                                                   "Efficiency",
                                                   "Rs",
                                                   "Xssigma",
                                                   "Rr",
                                                   "Xrsigma",
                                                   "Xh",
                                                   "Riron",
                                                   "EstimatedStartTime",
                                                   "Preset",
                                                   "ImaxIn",
                                                   "DesiredImaxIn",
                                                   "SoftStarterTime",
                                                   "LimitCurrentMode",
                                                   "T0",
                                                   "T1",
                                                   "T2",
                                                   "Rr2",
                                                   "Xr2sigma",
                                                   "LockedRotorCurrentRatio",
                                                   "LockedRotorTorqueRatio",
                                                   "BreakdownTorqueRatio",
                                                   "Fit",
                                                   "RatedPoint"};

// The keys of each "Dynamic" entry, in their order.
inline const std::vector<std::string> StartKeys = {
    "Stalled",          "TooLong",       "StallSpeed",      "RunUpTime",
    "PeakCurrentRatio", "RotorEnergy",   "StatorEnergy",    "MinAcceleratingTorqueRatio",
    "OperatingSpeed",   "MaxVoltageDip", "MinMotorVoltage", "VoltageDipExceeded",
    "StalledPeakCurrentRatio"};

// The reference motor computed by the library as the command line sets it up: current-limit mode
// at 3 and a fan load.
inline MotorDataSet ComputedFourKilowatt(double t2, bool star = true) {
    MotorDataSet ds = ExampleFourKilowattMotor(star);
    ds.LimitCurrentMode = true;
    ds.SelectedTimeMode = false;
    ds.DesiredImaxIn = 3;
    ds.T2 = t2;
    EXPECT_EQ(RunStartComputation(ds, nullptr, nullptr), 0);
    return ds;
}

inline void ExpectSameNumber(const OrderedJson& value, const std::optional<double>& expected,
                             const std::string& what) {
    if (!expected) {
        EXPECT_TRUE(value.is_null()) << what << " " << value;
        return;
    }
    ASSERT_TRUE(value.is_number()) << what << " " << value;
    EXPECT_EQ(value.get<double>(), *expected) << what; // the JSON reads back to the very double
}

inline void ExpectStart(const OrderedJson& j, const StartOutcome& o, const std::string& which) {
    EXPECT_EQ(Keys(j), StartKeys) << which;
    EXPECT_EQ(j["Stalled"], o.Stalled) << which;
    EXPECT_EQ(j["TooLong"], o.TooLong) << which;
    ExpectSameNumber(j["StallSpeed"], o.StallSpeed, which + " StallSpeed");
    ExpectSameNumber(j["RunUpTime"], o.RunUpTime, which + " RunUpTime");
    ExpectSameNumber(j["PeakCurrentRatio"], o.PeakCurrentRatio, which + " PeakCurrentRatio");
    ExpectSameNumber(j["RotorEnergy"], o.RotorEnergy, which + " RotorEnergy");
    ExpectSameNumber(j["StatorEnergy"], o.StatorEnergy, which + " StatorEnergy");
    ExpectSameNumber(j["MinAcceleratingTorqueRatio"], o.MinAcceleratingTorqueRatio, which + " MinAcc");
    ExpectSameNumber(j["OperatingSpeed"], o.OperatingSpeed, which + " OperatingSpeed");
    ExpectSameNumber(j["MaxVoltageDip"], o.MaxVoltageDip, which + " MaxVoltageDip");
    ExpectSameNumber(j["MinMotorVoltage"], o.MinMotorVoltage, which + " MinMotorVoltage");
    EXPECT_EQ(j["VoltageDipExceeded"], o.VoltageDipExceeded) << which;
    ExpectSameNumber(j["StalledPeakCurrentRatio"], o.StalledPeakCurrentRatio, which + " StalledPeak");
}
