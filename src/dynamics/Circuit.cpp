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
    if (!two_) {
        torqueFactor_ = 3 * kth * kth * rr_ / ws;
        return;
    }
    torqueFactor_ = 3 * kth * kth / ws;
    using polynomial::CxL;
    const TorqueRational rotor = model.TorqueAsRational();
    cage_.a0 = static_cast<double>(rotor.a.c[0]);
    cage_.a2 = static_cast<double>(rotor.a.c[2]);
    const long double rr = ds.Rr, xr = ds.Xrsigma, rr2 = ds.Rr2, xr2 = ds.Xr2sigma;
    const CxL zs{ds.Rs, ds.Xssigma}, zm{zm_.re, zm_.im};
    const std::array<CxL, 3> n = {CxL{rr * rr2, 0}, CxL{0, rr * xr2 + rr2 * xr}, CxL{-xr * xr2, 0}};
    const std::array<CxL, 3> q = {n[0], n[1] + (rr + rr2) * zm, n[2] + zm * CxL{0, xr + xr2}};
    auto narrow = [](CxL z) { return Cx{static_cast<double>(z.re), static_cast<double>(z.im)}; };
    for (int i = 0; i < 3; ++i) {
        cage_.q[i] = narrow(q[i]);
        cage_.p[i] = narrow(zs * q[i] + zm * n[i]);
        cage_.c[i] = narrow(rotor.c[i]);
    }
    breakdownSlip_ = model.TorqueMaximum(0, 1, 1).slip;
}
