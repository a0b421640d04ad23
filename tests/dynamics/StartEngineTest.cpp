#include <gtest/gtest.h>

#include <cmath>

#include "DynamicsFixtures.h"
#include "OperatingPoint.h"
#include "StartEngine.h"

namespace {
Stage Running(const MotorDataSet& ds) {
    Stage s;
    s.delta = !ds.StarCoupling;
    s.vwRef = ds.PhaseVoltage;
    s.lineFactor = s.delta ? Sqrt3 : 1;
    return s;
}

StartInput Input(const StartModel& model, const MotorDataSet& ds, double inertia) {
    StartInput input;
    input.model = &model;
    input.stages[0] = Running(ds);
    input.inertia = inertia;
    input.rs = ds.Rs;
    input.ratedTorque = ds.RatedTorque;
    input.ratedLineCurrent = ds.LineCurrent;
    input.ratedPhaseVoltage = ds.PhaseVoltage;
    input.record = true;
    return input;
}
} // namespace

TEST(StartEngine, FallingVoltageBringsTheRotorBackToRest) {
    // A controller output falling from 1.5 to 1 in 1 s: the 30 kW motor (0.51 Tn at standstill
    // under full voltage) starts a 0.8 Tn load, then slows down and comes to rest for good.
    MotorDataSet ds = ThirtyKilowattDelta();
    ds.T0 = 0.8 * ds.RatedTorque;
    const StartModel model(ds, false, {});
    StartInput input = Input(model, ds, 20);
    input.controller = Controller::Ramp;
    input.preset = 1.5;
    input.rampTime = 1;
    input.runUpSpeed = 0.98 * ds.SynchronousSpeed;
    StartIntegrator run(input);
    run.Run(10, true);
    EXPECT_FALSE(run.Track().runUpTime);
    EXPECT_EQ(run.Speed(), 0);
    std::vector<double> times;
    for (int k = 0; k <= 1000; ++k)
        times.push_back(k * 0.01);
    StartCurves c;
    run.Sample(times, c);
    double top = 0;
    std::size_t stop = 0;
    for (std::size_t k = 0; k < times.size(); ++k) {
        EXPECT_GE(c.Speed[k], 0) << times[k];
        top = std::max(top, c.Speed[k]);
        if (k > 0 && c.Speed[k] == 0 && c.Speed[k - 1] > 0) stop = k;
    }
    EXPECT_GT(top, 1e-3);
    ASSERT_GT(stop, 100u); // after the end of the fall
    for (std::size_t k = stop; k < times.size(); ++k)
        EXPECT_EQ(c.Speed[k], 0) << times[k];
    // At rest under full voltage the motor draws its locked-rotor current.
    EXPECT_NEAR(c.Current.back(), StatorCurrent(ds, 1, ds.PhaseVoltage) * std::sqrt(3.0) / ds.LineCurrent,
                1e-9);
}

TEST(StartEngine, BreakawayIsLocatedOnTheRamp) {
    MotorDataSet ds = FourKilowatt();
    ds.T0 = 40;
    const StartModel model(ds, false, {});
    StartInput input = Input(model, ds, 0.1);
    input.controller = Controller::Ramp;
    input.preset = 0.1;
    input.rampTime = 2;
    StartIntegrator run(input);
    // Output at breakaway: torque at standstill equal to the load.
    const double alpha = std::sqrt(40 / MotorTorque(ds, 1, ds.PhaseVoltage));
    const double tb = (alpha - 0.1) / 0.9 * 2;
    run.Run(tb * (1 - 1e-9), false);
    EXPECT_EQ(run.Speed(), 0);
    // Then the accelerating torque grows as the ramp raises the voltage, at first by
    // dT/dt = 2 T(1, U) alpha alpha', so that n = dT/dt / (2 pi J) dt^2 / 2.
    const double dt = tb * 1e-3;
    run.Run(tb + dt, false);
    const double rise = 2 * MotorTorque(ds, 1, ds.PhaseVoltage) * alpha * 0.9 / 2;
    EXPECT_NEAR(run.Speed(), rise / (2 * M_PI * 0.1) * dt * dt / 2, 1e-2 * run.Speed());
}
