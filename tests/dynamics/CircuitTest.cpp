#include <gtest/gtest.h>

#include <cmath>

#include "Circuit.h"
#include "DynamicsFixtures.h"
#include "OperatingPoint.h"
#include "StartModel.h"

namespace {
std::vector<MotorDataSet> Motors() {
    return {FourKilowatt(true),  FourKilowatt(false),   FourKilowatt(true, true),
            FiveKilowattDelta(), ThirtyKilowattDelta(), SeventyFiveKilowattStar()};
}

Stage StiffRunning(const MotorDataSet& ds) {
    Stage s;
    s.delta = !ds.StarCoupling;
    s.vwRef = ds.PhaseVoltage;
    s.lineFactor = s.delta ? Sqrt3 : 1;
    return s;
}
} // namespace

TEST(FastCircuit, AgreesWithTheModelsCurrentAndTorque) {
    for (const MotorDataSet& ds : Motors()) {
        const FastCircuit c(ds);
        for (double s : {1.0, 0.9, 0.74, 0.5, 0.2, 0.05, 0.0364834, 0.01, 1e-4, 1e-7, -0.02, -0.5}) {
            for (double u : {ds.PhaseVoltage, 0.1 * ds.PhaseVoltage}) {
                EXPECT_REL(u / Abs(c.InputImpedance(s)), StatorCurrent(ds, s, u), 1e-12)
                    << ds.MechanicalPower << " " << s;
                EXPECT_REL(c.TorquePerVoltSquared(s) * u * u, MotorTorque(ds, s, u), 1e-12)
                    << ds.MechanicalPower << " " << s;
            }
        }
        // At synchronous speed: no torque, the current of the stator and magnetising branches.
        EXPECT_EQ(c.TorquePerVoltSquared(0), 0);
        const double xm = ds.Riron * ds.Xh / std::hypot(ds.Riron, ds.Xh);
        const Cx zm{xm * xm / ds.Riron, xm * xm / ds.Xh};
        EXPECT_REL(Abs(c.InputImpedance(0)), Abs(Cx{ds.Rs, ds.Xssigma} + zm), 1e-13);
        // The slip of the largest torque is where the torque is largest.
        const double sb = c.BreakdownSlip();
        EXPECT_GT(c.TorquePerVoltSquared(sb), c.TorquePerVoltSquared(sb * (1 + 1e-4)));
        EXPECT_GT(c.TorquePerVoltSquared(sb), c.TorquePerVoltSquared(sb * (1 - 1e-4)));
    }
}

TEST(QuasiStatic, OperatingSpeedIsTheExactRootOfTheTorqueBalance) {
    for (MotorDataSet ds : Motors()) {
        const double tn = ds.RatedTorque, ns = ds.SynchronousSpeed;
        // A constant load: the model's own solver gives the same slip.
        ds.T0 = 0.3 * tn, ds.T1 = 0, ds.T2 = 0; // below every locked-rotor torque here
        StartModel model(ds, false, {});
        QuasiStatic q = FindQuasiStatic(model, StiffRunning(ds));
        bool none = true;
        const double s = OperatingSlip(ds, ds.T0, ds.PhaseVoltage, none);
        ASSERT_FALSE(none);
        ASSERT_TRUE(q.operatingSpeed);
        EXPECT_REL(*q.operatingSpeed, ns * (1 - s), 1e-12);
        EXPECT_FALSE(q.stallSpeed);

        // A fan with a constant part: the balance holds to rounding at the speed found.
        ds.T0 = 0.1 * tn, ds.T1 = 0.01 * tn / ns, ds.T2 = 0.9 * tn / (ns * ns);
        model = StartModel(ds, false, {});
        q = FindQuasiStatic(model, StiffRunning(ds));
        ASSERT_TRUE(q.operatingSpeed);
        const double sop = 1 - *q.operatingSpeed / ns;
        EXPECT_NEAR(MotorTorque(ds, sop, ds.PhaseVoltage), LoadTorque(ds, *q.operatingSpeed), 1e-11 * tn);
        EXPECT_GT(sop, 0);
        EXPECT_LT(sop, 0.2);

        // Without load the motor runs at synchronous speed.
        ds.T0 = ds.T1 = ds.T2 = 0;
        model = StartModel(ds, false, {});
        q = FindQuasiStatic(model, StiffRunning(ds));
        EXPECT_EQ(*q.operatingSpeed, ns);
        EXPECT_EQ(q.breakdownSlip, FastCircuit(ds).BreakdownSlip());
    }
}

TEST(QuasiStatic, StallSpeedsOfLoadsTheMotorCannotCarryFromStandstill) {
    MotorDataSet ds = FourKilowatt();
    // Above the locked-rotor torque (163.3 Nm) but below the largest one (167.6 Nm): stalls at rest.
    ds.T0 = 165;
    StartModel model(ds, false, {});
    QuasiStatic q = FindQuasiStatic(model, StiffRunning(ds));
    ASSERT_TRUE(q.operatingSpeed);
    EXPECT_GT(*q.operatingSpeed, 0.26 * ds.SynchronousSpeed); // beyond the largest torque (s = 0.74)
    ASSERT_TRUE(q.stallSpeed);
    EXPECT_EQ(*q.stallSpeed, 0);

    // A load curve crossing the torque curve twice below the operating point.
    ds.T0 = 105, ds.T1 = 12, ds.T2 = -0.6;
    model = StartModel(ds, false, {});
    q = FindQuasiStatic(model, StiffRunning(ds));
    ASSERT_TRUE(q.operatingSpeed && q.stallSpeed);
    EXPECT_NEAR(*q.operatingSpeed * 60, 1248.7, 0.05);
    EXPECT_NEAR(*q.stallSpeed * 60, 624.8, 0.05);
    const double sx = 1 - *q.stallSpeed / ds.SynchronousSpeed;
    EXPECT_NEAR(MotorTorque(ds, sx, ds.PhaseVoltage), LoadTorque(ds, *q.stallSpeed), 1e-11 * ds.RatedTorque);
    // Between standstill and the stall the motor accelerates.
    for (double n = 0; n < *q.stallSpeed; n += 0.1)
        EXPECT_GT(model.Accelerating(StiffRunning(ds), 1 - n / ds.SynchronousSpeed), 0) << n;

    // More than the largest torque everywhere: no operating point, stalled at rest.
    ds.T0 = 200, ds.T1 = ds.T2 = 0;
    model = StartModel(ds, false, {});
    q = FindQuasiStatic(model, StiffRunning(ds));
    EXPECT_FALSE(q.operatingSpeed);
    EXPECT_EQ(*q.stallSpeed, 0);
}
