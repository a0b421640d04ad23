#include "Circuit.h"

#include "OperatingPoint.h"

FastCircuit::FastCircuit(const MotorDataSet& ds) : zs_{ds.Rs, ds.Xssigma}, rr_(ds.Rr), xr_(ds.Xrsigma) {
    // The same parts as the model's current and torque, worked out by the model itself.
    const CircuitEvaluator model(ds);
    zm_ = {model.MagnetisingImpedance().Re, model.MagnetisingImpedance().Im};
    rth_ = model.TheveninResistance();
    x_ = model.TheveninReactance() + ds.Xrsigma;
    const double kth = model.TheveninFactor();
    const double ws = ds.SynchronousSpeed * TwoPi;
    torqueFactor_ = 3 * kth * kth * rr_ / ws;
}
