#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "../model/MotorFixtures.h"
#include "DynamicsFixtures.h"
#include "StartEngine.h"
#include "StartModel.h"

namespace {
// After its results computation (current limit 3 In), with a fan load of `fan` Tn at synchronous speed.
MotorDataSet Ready(MotorDataSet ds, double fan = 1) {
    ds.LimitCurrentMode = true, ds.DesiredImaxIn = 3;
    EXPECT_EQ(RunStartComputation(ds, nullptr, nullptr), 0);
    ds.T2 = fan * ds.RatedTorque / (ds.SynchronousSpeed * ds.SynchronousSpeed);
    return ds;
}

DynamicSettings Settings(bool network, double inertia = 0.12) {
    DynamicSettings s = WithInertia(inertia);
    s.Network.Enabled = network, s.Network.ShortCircuitPower = 30e3, s.Network.HasTransformer = true;
    s.Network.TransformerPower = 25e3, s.Network.TransformerUk = 4, s.Network.TransformerUr = 1.5;
    return s;
}

void ExpectSameStart(const StartOutcome& a, const StartOutcome& b, double tolerance,
                     const std::string& name) {
    ASSERT_TRUE(a.RunUpTime && b.RunUpTime) << name;
    EXPECT_REL(*a.RunUpTime, *b.RunUpTime, tolerance) << name;
    EXPECT_REL(*a.PeakLineCurrent, *b.PeakLineCurrent, tolerance) << name;
    EXPECT_REL(*a.RotorEnergy, *b.RotorEnergy, tolerance) << name;
    EXPECT_NEAR(*a.MinAcceleratingTorqueRatio, *b.MinAcceleratingTorqueRatio, tolerance) << name;
}
} // namespace

TEST(DoubleCageDynamics, FastCircuitBreakdownAndTorqueBalanceAreExact) {
    for (const CageCircuit& c : DoubleCages) {
        MotorDataSet ds = WithCircuit(c);
        const FastCircuit fast(ds);
        for (double s : {1.0, 0.1, 0.0467, 1e-5, -0.02, -0.5}) {
            EXPECT_REL(1 / Abs(fast.InputImpedance(s)), Reference(ds, s, 1).first, 1e-12)
                << c.rr2 << " " << s;
            EXPECT_REL(fast.TorquePerVoltSquared(s), Reference(ds, s, 1).second, 1e-12) << c.rr2 << " " << s;
        }
        EXPECT_EQ(fast.TorquePerVoltSquared(0), 0);
        // On the stiff supply and behind an impedance the breakdown slip lies where the largest
        // torque of a fine grid is, whichever hump, and the operating slip is the smallest root.
        ds.T0 = 0.3 * ds.RatedTorque, ds.T2 = 0.5 * ds.RatedTorque / std::pow(ds.SynchronousSpeed, 2);
        const StartModel model(ds, false, {});
        for (const bool upstream : {false, true}) {
            Stage st;
            st.vwRef = ds.PhaseVoltage, st.upstream = upstream, st.zUp = {0.25, 0.6};
            double gridSlip = 0, gridTorque = 0;
            for (int k = 1; k <= 20000; ++k)
                if (const double t = model.At(st, 1, k / 20000.0).torque; t > gridTorque)
                    gridSlip = k / 20000.0, gridTorque = t;
            const QuasiStatic q = FindQuasiStatic(model, st);
            EXPECT_NEAR(q.breakdownSlip, gridSlip, 1e-4) << c.rr2 << " " << upstream;
            EXPECT_GE(model.At(st, 1, q.breakdownSlip).torque, gridTorque) << c.rr2 << " " << upstream;
            ASSERT_TRUE(q.operatingSpeed && !q.stallSpeed);
            const double sop = 1 - *q.operatingSpeed / ds.SynchronousSpeed;
            EXPECT_NEAR(model.Accelerating(st, sop), 0, 1e-12 * ds.RatedTorque) << c.rr2 << " " << upstream;
            for (int k = 1; k < 1000; ++k)
                ASSERT_LT(model.Accelerating(st, sop * k / 1000), 0) << k;
        }
    }
}

TEST(DoubleCageDynamics, StartsAgreeWithTightRunsAndAnInertSecondCageWithTheSingleCage) {
    // The 4 kW motor in star and in delta (its impedances three times the star's), every method on
    // the stiff supply and through a weak network, against a run at a thousandth of the tolerance;
    // the same circuit with a second cage of 1e9 ohms against it without one.
    MotorDataSet delta = ExampleDoubleCageMotor();
    delta.StarCoupling = false;
    DeriveRatedValues(delta);
    for (double* e : {&delta.Rs, &delta.Rr, &delta.Xssigma, &delta.Xrsigma, &delta.Xh, &delta.Riron,
                      &delta.Rr2, &delta.Xr2sigma})
        *e *= 3;
    MotorDataSet inert = ExampleDoubleCageMotor(), single = inert;
    inert.Rr2 = 1e9, inert.Xr2sigma = 0.8, single.Rr2 = single.Xr2sigma = 0;
    const MotorDataSet star = Ready(ExampleDoubleCageMotor()),
                       motors[][2] = {{star, star},
                                      {Ready(delta, 0.5), Ready(delta, 0.5)},
                                      {Ready(inert), Ready(single)}};
    for (const bool network : {false, true})
        for (int m = 0; m < 3; ++m) {
            DynamicSettings s = Settings(network), reference = s;
            if (m < 2) reference.Tolerance = s.Tolerance / 1000;
            ComparisonResults a, b;
            ASSERT_EQ(ComputeComparison(motors[m][0], s, a), 0);
            ASSERT_EQ(ComputeComparison(motors[m][1], reference, b), 0);
            for (int k = 0; k < 6; ++k) // star-delta needs the delta motor
                if (k != 1 || m == 1)
                    ExpectSameStart(a.Methods[k].Outcome, b.Methods[k].Outcome, 1e-6,
                                    std::to_string(m) + " " + std::to_string(k) +
                                        (network ? " network" : ""));
        }
    // Direct on line the start begins with the model's locked-rotor current and torque.
    const StartOutcome dol = Computed(star, Settings(false)).Dol;
    EXPECT_REL(dol.StartingTorqueRatio, MotorTorque(star, 1, star.PhaseVoltage) / star.RatedTorque, 1e-12);
    EXPECT_REL(*dol.PeakCurrentRatio, StatorCurrent(star, 1, star.PhaseVoltage) / star.PhaseCurrent, 1e-12);
}

TEST(DoubleCageDynamics, TinyInertiaGoesOnWithTheStiffStepperAsExactlyAsTheExplicitOne) {
    // 1e-4 kg m2 on a 10 s ramp from 10 % with a constant load: the speed follows the ramp's
    // balance point; the Rosenbrock stepper takes over and agrees with the explicit stepper alone
    // run 100 times tighter.
    MotorDataSet ds = Ready(ExampleDoubleCageMotor(), 0);
    ds.T0 = 0.3 * ds.RatedTorque;
    const StartModel model(ds, false, {});
    StartInput in;
    in.model = &model, in.stages[0].vwRef = ds.PhaseVoltage;
    in.controller = Controller::Ramp, in.preset = 0.1, in.rampTime = 10, in.inertia = 1e-4;
    in.rs = ds.Rs, in.ratedTorque = ds.RatedTorque, in.ratedLineCurrent = ds.LineCurrent;
    in.ratedPhaseVoltage = ds.PhaseVoltage, in.tolerance = 1e-8;
    in.runUpSpeed = 0.98 * *FindQuasiStatic(model, in.stages[0]).operatingSpeed;
    StartIntegrator stiff(in);
    stiff.Run(60, true);
    in.stiffStepper = false, in.tolerance = 1e-10;
    StartIntegrator explicitOnly(in);
    explicitOnly.Run(60, true);
    EXPECT_TRUE(stiff.Stiff());
    EXPECT_LT(stiff.Steps(), explicitOnly.Steps());
    ASSERT_TRUE(stiff.Track().runUpTime && explicitOnly.Track().runUpTime);
    EXPECT_REL(*stiff.Track().runUpTime, *explicitOnly.Track().runUpTime, 1e-6);
    EXPECT_REL(stiff.Track().peakLineCurrent, explicitOnly.Track().peakLineCurrent, 1e-6);
    EXPECT_REL(stiff.Track().rotorEnergy, explicitOnly.Track().rotorEnergy, 1e-6);
}
