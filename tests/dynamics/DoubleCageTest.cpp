#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "../model/MotorFixtures.h"
#include "DynamicsFixtures.h"
#include "OperatingPoint.h"
#include "StartEngine.h"
#include "StartModel.h"

namespace {
// A motor after its results computation (current limit 3 In) with a fan load: the rated torque at
// synchronous speed.
MotorDataSet Ready(MotorDataSet ds) {
    ds.LimitCurrentMode = true;
    ds.DesiredImaxIn = 3;
    EXPECT_EQ(RunStartComputation(ds, nullptr, nullptr), 0);
    ds.T2 = ds.RatedTorque / (ds.SynchronousSpeed * ds.SynchronousSpeed);
    return ds;
}

// The running connection (star) on the stiff supply or behind an impedance of a weak supply.
Stage Running(const MotorDataSet& ds, bool upstream) {
    Stage s;
    s.vwRef = ds.PhaseVoltage;
    s.upstream = upstream;
    if (upstream) s.zUp = {0.25, 0.6};
    return s;
}

DynamicSettings ThroughWeakNetwork(double inertia) {
    DynamicSettings s = WithInertia(inertia);
    s.Network.Enabled = true;
    s.Network.ShortCircuitPower = 30e3;
    s.Network.HasTransformer = true;
    s.Network.TransformerPower = 25e3, s.Network.TransformerUk = 4, s.Network.TransformerUr = 1.5;
    return s;
}

void ExpectSameStart(const StartOutcome& a, const StartOutcome& b, double tolerance,
                     const std::string& name) {
    ASSERT_EQ(a.Stalled, b.Stalled) << name;
    ASSERT_TRUE(a.RunUpTime && b.RunUpTime) << name;
    EXPECT_REL(*a.RunUpTime, *b.RunUpTime, tolerance) << name;
    EXPECT_REL(*a.PeakLineCurrent, *b.PeakLineCurrent, tolerance) << name;
    EXPECT_REL(*a.RotorEnergy, *b.RotorEnergy, tolerance) << name;
    EXPECT_REL(*a.StatorEnergy, *b.StatorEnergy, tolerance) << name;
    EXPECT_NEAR(*a.MinAcceleratingTorqueRatio, *b.MinAcceleratingTorqueRatio, tolerance) << name;
}
} // namespace

TEST(DoubleCageCircuit, FastCircuitFollowsTheDefinitionsAtEverySlip) {
    for (const CageCircuit& c : DoubleCages) {
        const MotorDataSet ds = WithCircuit(c);
        const FastCircuit fast(ds);
        ASSERT_TRUE(fast.SecondCage());
        for (double s : {1.0, 0.9, 0.5, 0.1, 0.0467, 0.01, 1e-5, 1e-9, -0.02, -0.5}) {
            const ReferencePoint r = Reference(ds, s, 1);
            EXPECT_REL(1 / Abs(fast.InputImpedance(s)), r.current, 1e-12) << c.name << " " << s;
            EXPECT_REL(fast.TorquePerVoltSquared(s), r.torque, 1e-12) << c.name << " " << s;
        }
        // At synchronous speed: no torque, the stator and magnetising branches alone.
        EXPECT_EQ(fast.TorquePerVoltSquared(0), 0);
        const std::complex<double> zm =
            1.0 / (1.0 / std::complex<double>(c.riron) + 1.0 / std::complex<double>(0, c.xh));
        EXPECT_REL(Abs(fast.InputImpedance(0)), std::abs(std::complex<double>(c.rs, c.xs) + zm), 1e-13)
            << c.name;
    }
}

TEST(DoubleCageCircuit, BreakdownAndTorqueBalanceAreExactOnBothHumps) {
    // On the stiff supply and behind an impedance: the largest torque over (0, 1] on a fine grid
    // lies at the breakdown slip found, whichever hump it is on, and the operating point is the
    // smallest slip where the accelerating torque vanishes.
    for (const CageCircuit& c : DoubleCages) {
        MotorDataSet ds = WithCircuit(c);
        ds.T0 = 0.3 * ds.RatedTorque,
        ds.T2 = 0.5 * ds.RatedTorque / (ds.SynchronousSpeed * ds.SynchronousSpeed);
        const StartModel model(ds, false, {});
        for (bool upstream : {false, true}) {
            const std::string name = std::string(c.name) + (upstream ? " behind an impedance" : "");
            const Stage st = Running(ds, upstream);
            double gridSlip = 0, gridTorque = 0;
            for (int k = 1; k <= 20000; ++k) {
                const double torque = model.At(st, 1, k / 20000.0).torque;
                if (torque > gridTorque) gridSlip = k / 20000.0, gridTorque = torque;
            }
            const QuasiStatic q = FindQuasiStatic(model, st);
            EXPECT_NEAR(q.breakdownSlip, gridSlip, 1e-4) << name;
            EXPECT_GE(model.At(st, 1, q.breakdownSlip).torque, gridTorque) << name;
            if (!upstream) {
                EXPECT_EQ(q.breakdownSlip, TorqueMaximum(ds, 0, 1, ds.PhaseVoltage).slip) << name;
                EXPECT_EQ(q.breakdownSlip, model.Circuit().BreakdownSlip()) << name;
            }
            ASSERT_TRUE(q.operatingSpeed) << name;
            EXPECT_FALSE(q.stallSpeed) << name;
            const double sop = 1 - *q.operatingSpeed / ds.SynchronousSpeed;
            EXPECT_NEAR(model.Accelerating(st, sop), 0, 1e-12 * ds.RatedTorque) << name;
            for (int k = 1; k < 1000; ++k)
                ASSERT_LT(model.Accelerating(st, sop * k / 1000), 0) << name << " " << k;
            // Under a load just below the largest torque the roots hold the balance wherever they lie.
            MotorDataSet heavy = ds;
            heavy.T0 = 0.95 * gridTorque, heavy.T2 = 0;
            const StartModel heavyModel(heavy, false, {});
            double roots[StartModel::MaxAcceleratingRoots];
            const int n = heavyModel.AcceleratingRoots(st, 0, 1, roots);
            EXPECT_GE(n, 1) << name;
            for (int i = 0; i < n; ++i)
                EXPECT_NEAR(heavyModel.Accelerating(st, roots[i]), 0, 1e-11 * ds.RatedTorque)
                    << name << " " << i;
        }
    }
}

TEST(DoubleCageStart, RunsUpAsExactlyAsATightReferenceRun) {
    // The 4 kW double-cage motor with the fan load and 0.12 kg m2, direct and through the
    // soft-starter at 3 In, on the stiff supply and through a weak network: the results agree
    // with a run at a thousandth of the tolerance; at standstill they are the model's.
    const MotorDataSet ds = Ready(ExampleDoubleCageMotor());
    for (const DynamicSettings& s : {WithInertia(0.12), ThroughWeakNetwork(0.12)}) {
        DynamicSettings tight = s;
        tight.Tolerance = s.Tolerance / 1000;
        const DynamicResults a = Computed(ds, s), b = Computed(ds, tight);
        const std::string name = s.Network.Enabled ? "network" : "stiff";
        ExpectSameStart(a.Dol, b.Dol, 1e-6, name);
        ExpectSameStart(a.SoftStarter, b.SoftStarter, 1e-6, name);
        EXPECT_REL(*a.SoftStarter.PeakCurrentRatio, *b.SoftStarter.PeakCurrentRatio, 1e-7) << name;
        if (s.Network.Enabled) continue;
        EXPECT_REL(a.Dol.StartingTorqueRatio, MotorTorque(ds, 1, ds.PhaseVoltage) / ds.RatedTorque, 1e-12);
        EXPECT_REL(*a.Dol.PeakCurrentRatio, StatorCurrent(ds, 1, ds.PhaseVoltage) / ds.PhaseCurrent, 1e-12);
        EXPECT_LE(*a.SoftStarter.PeakCurrentRatio, 3 * (1 + 1e-9));
        EXPECT_GT(*a.Dol.RunUpTime, 0.1);
        EXPECT_LT(*a.Dol.RunUpTime, 1);
    }
}

TEST(DoubleCageStart, EveryStartingMethodRunsUpAsExactlyAsATightReferenceRun) {
    // The motor in delta (its impedances three times the star's), half the fan load: the reduced
    // stages behind a reactor or a network give the torque balance its highest degree.
    MotorDataSet ds = ExampleDoubleCageMotor();
    ds.StarCoupling = false;
    DeriveRatedValues(ds);
    for (double* e : {&ds.Rs, &ds.Rr, &ds.Xssigma, &ds.Xrsigma, &ds.Xh, &ds.Riron, &ds.Rr2, &ds.Xr2sigma})
        *e *= 3;
    ds = Ready(ds);
    ds.T2 *= 0.5;
    for (const DynamicSettings& s : {WithInertia(0.12), ThroughWeakNetwork(0.12)}) {
        DynamicSettings tight = s;
        tight.Tolerance = s.Tolerance / 1000;
        ComparisonResults a, b;
        ASSERT_EQ(ComputeComparison(ds, s, a), 0);
        ASSERT_EQ(ComputeComparison(ds, tight, b), 0);
        for (int m = 0; m < 6; ++m) {
            const std::string name =
                std::string(s.Network.Enabled ? "network " : "stiff ") + std::to_string(m);
            ASSERT_TRUE(a.Methods[m].Applicable) << name;
            ExpectSameStart(a.Methods[m].Outcome, b.Methods[m].Outcome, 1e-6, name);
        }
    }
}

TEST(DoubleCageStart, AnInertSecondCageStartsLikeTheSingleCage) {
    MotorDataSet one = ExampleDoubleCageMotor();
    one.Rr2 = one.Xr2sigma = 0;
    one = Ready(one);
    MotorDataSet two = one;
    two.Rr2 = 1e9, two.Xr2sigma = 0.8;
    for (const DynamicSettings& s : {WithInertia(0.12), ThroughWeakNetwork(0.12)}) {
        const DynamicResults a = Computed(one, s), b = Computed(two, s);
        const std::string name = s.Network.Enabled ? "network" : "stiff";
        ExpectSameStart(b.Dol, a.Dol, 1e-6, name);
        ExpectSameStart(b.SoftStarter, a.SoftStarter, 1e-6, name);
        EXPECT_REL(*b.Dol.OperatingSpeed, *a.Dol.OperatingSpeed, 1e-8) << name;
    }
}

TEST(DoubleCageStart, TinyInertiaGoesOnWithTheStiffStepper) {
    // 1e-5 kg m2 on a 30 s ramp from 10 % with a constant load: the speed follows the ramp's
    // balance point; the Rosenbrock stepper takes over and agrees with a run 100 times tighter.
    MotorDataSet ds = Ready(ExampleDoubleCageMotor());
    ds.T2 = 0, ds.T0 = 0.3 * ds.RatedTorque;
    ds.LimitCurrentMode = false;
    ds.SoftStarterTime = 30;
    const DynamicSettings s = ThroughWeakNetwork(1e-5);
    DynamicSettings tight = s;
    tight.Tolerance = s.Tolerance / 100;
    const DynamicResults a = Computed(ds, s), b = Computed(ds, tight);
    ExpectSameStart(a.SoftStarter, b.SoftStarter, 1e-6, "ramp");
    EXPECT_GT(*a.SoftStarter.RunUpTime, 5);

    const StartModel model(ds, false, {});
    StartInput in;
    in.model = &model;
    in.stages[0] = Running(ds, false);
    in.controller = Controller::Ramp, in.preset = 0.1, in.rampTime = 30;
    in.inertia = 1e-5, in.rs = ds.Rs, in.ratedTorque = ds.RatedTorque;
    in.ratedLineCurrent = ds.LineCurrent, in.ratedPhaseVoltage = ds.PhaseVoltage;
    in.tolerance = 1e-8;
    in.runUpSpeed = 0.98 * *FindQuasiStatic(model, in.stages[0]).operatingSpeed;
    StartIntegrator run(in);
    run.Run(60, true);
    EXPECT_TRUE(run.Stiff());
    EXPECT_LT(run.Steps(), 5000);
    ASSERT_TRUE(run.Track().runUpTime);
    // Held at its balance, the speed at the run-up is where the torque meets the load.
    EXPECT_REL(run.Speed(), *in.runUpSpeed, 1e-6);
}
