#include "Circuit.h"

FastCircuit::FastCircuit(const MotorDataSet& ds)
    : zs_{ds.Rs, ds.Xssigma}, rr_(ds.Rr), xr_(ds.Xrsigma), two_(HasSecondCage(ds)) {
    // The same parts as the model's current and torque, worked out by the model itself.
    const CircuitEvaluator model(ds);
    zm_ = {model.MagnetisingImpedance().Re, model.MagnetisingImpedance().Im};
    rth_ = model.TheveninResistance();
    x_ = model.TheveninReactance() + ds.Xrsigma;
    const double kth = model.TheveninFactor();
    const double ws = ds.SynchronousSpeed * TwoPi;
    rational_ = model.TorqueAsRational();
    if (!two_) {
        torqueFactor_ = 3 * kth * kth * rr_ / ws;
        return;
    }
    rr2_ = ds.Rr2, xr2_ = ds.Xr2sigma, rsum_ = rr_ + rr2_, xsum_ = xr_ + xr2_;
    zth_ = {rth_, model.TheveninReactance()};
    torqueFactor_ = 3 * kth * kth / ws;
    a0_ = static_cast<double>(rational_.a.c[0]);
    a2_ = static_cast<double>(rational_.a.c[2]);
    breakdownSlip_ = model.TorqueMaximum(0, 1, 1).slip;
}
