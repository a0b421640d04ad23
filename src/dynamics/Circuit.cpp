#include "Circuit.h"

#include "Complex.h"

FastCircuit::FastCircuit(const MotorDataSet& ds) : zs_{ds.Rs, ds.Xssigma}, rr_(ds.Rr), xr_(ds.Xrsigma) {
    // The same parts, by the same functions, as the model's current and torque.
    const Complex zh{0, ds.Xh};
    const Complex zfe{ds.Riron, 0};
    Complex zm;
    ComplexParallel(zfe, zh, zm);
    zm_ = {zm.Re, zm.Im};
    Complex zth, b, c;
    ComplexParallel(zh, {ds.Rs, ds.Xssigma}, zth);
    ComplexAdd({ds.Rs, ds.Xssigma}, zh, b);
    ComplexDivide(zh, b, c);
    rth_ = zth.Re;
    x_ = zth.Im + ds.Xrsigma;
    const double kth = ComplexAbs(c);
    const double ws = ds.SynchronousSpeed * 6.283185307179586;
    torqueFactor_ = 3 * kth * kth * rr_ / ws;
}
