#include "OperatingPoint.h"

#include <cmath>

namespace {
const Extended TwoPi = 6.283185307179586L;
double Store(Extended v) { return static_cast<double>(v); }
double Store(Extended v, RangeWatch* watch) { return watch ? watch->Store(v) : static_cast<double>(v); }
Extended Sqr(Extended v) { return v * v; }
Extended AngularSpeed(const MotorDataSet& ds) { return ds.SynchronousSpeed * TwoPi; }
} // namespace

double StatorCurrent(const MotorDataSet& ds, double slip, double voltage) {
    const Complex zs{ds.Rs, ds.Xssigma};
    const Complex zr{Store(ds.Rr / static_cast<Extended>(slip)), ds.Xrsigma};
    const Complex zh{0, ds.Xh};
    const Complex zfe{ds.Riron, 0};
    Complex zm, zp, z;
    ComplexParallel(zfe, zh, zm);
    ComplexParallel(zm, zr, zp);
    ComplexAdd(zs, zp, z);
    return Store(voltage / static_cast<Extended>(ComplexAbs(z)));
}

double MotorTorque(const MotorDataSet& ds, double slip, double voltage) {
    const Complex zs{ds.Rs, ds.Xssigma};
    const Complex zh{0, ds.Xh};
    Complex zth, b, c;
    ComplexParallel(zh, zs, zth);
    ComplexAdd(zs, zh, b);
    ComplexDivide(zh, b, c);
    const double uth = Store(static_cast<Extended>(ComplexAbs(c)) * voltage);
    const double rrs = Store(ds.Rr / static_cast<Extended>(slip));
    const double numerator = Store(3.0L * Sqr(uth) * rrs);
    const double denominator =
        Store((Sqr(static_cast<Extended>(zth.Re) + rrs) + Sqr(static_cast<Extended>(zth.Im) + ds.Xrsigma)) *
              AngularSpeed(ds));
    return Store(static_cast<Extended>(numerator) / denominator);
}

double OperatingSlip(const MotorDataSet& ds, double loadTorque, double voltage, bool& noSolution,
                     RangeWatch* watch) {
    noSolution = false;
    const Complex zs{ds.Rs, ds.Xssigma};
    const Complex zh{0, ds.Xh};
    Complex zth, b, c;
    ComplexParallel(zh, zs, zth, watch);
    ComplexAdd(zs, zh, b, watch);
    ComplexDivide(zh, b, c, watch);
    const double uth = Store(static_cast<Extended>(ComplexAbs(c, watch)) * voltage, watch);
    // No load would divide by zero: a tiny torque gives a slip just above 0 instead.
    const double tl = loadTorque == 0 ? 0.000001 : loadTorque;
    const double k = Store(3.0L * Sqr(uth) * ds.Rr / (tl * AngularSpeed(ds)));
    const double a = Store(Sqr(ds.Rr), watch);
    const double bq = Store(2.0L * ds.Rr * zth.Re - k);
    const double cq = Store(Sqr(zth.Re) + Sqr(static_cast<Extended>(zth.Im) + ds.Xrsigma), watch);
    const double d = Store(Sqr(bq) - 4.0L * a * cq);
    if (d < 0) {
        noSolution = true;
        return 0;
    }
    const Extended root = std::sqrt(static_cast<Extended>(d));
    const double u1 = Store((-static_cast<Extended>(bq) + root) / (2.0L * a));
    const double u2 = Store((-static_cast<Extended>(bq) - root) / (2.0L * a));
    if (u1 != 0) {
        const double s1 = Store(1.0L / u1);
        if (s1 >= 0 && s1 <= 1) return s1;
    }
    if (u2 != 0) {
        const double s2 = Store(1.0L / u2);
        if (s2 >= 0 && s2 <= 1) return s2;
    }
    noSolution = true;
    return 0;
}

double LoadTorque(const MotorDataSet& ds, double speed) {
    return Store((static_cast<Extended>(ds.T1) * speed + ds.T0) + ds.T2 * Sqr(speed));
}

double RampVoltage(const MotorDataSet& ds, double time, double rampTime) {
    return VoltageRamp(ds, rampTime).Voltage(time);
}

Extended SpeedRise(const MotorDataSet& ds, double time) {
    const double tau = Store(0.2L * ds.EstimatedStartTime);
    return 1.0L - std::exp(-static_cast<Extended>(time) / tau);
}

double SpeedAtTime(const MotorDataSet& ds, double time, double finalSpeed) {
    return Store(finalSpeed * SpeedRise(ds, time));
}

CircuitEvaluator::CircuitEvaluator(const MotorDataSet& ds, RangeWatch* watch)
    : zs_{ds.Rs, ds.Xssigma}, rr_(ds.Rr), xrsigma_(ds.Xrsigma), ws_(AngularSpeed(ds)) {
    const Complex zh{0, ds.Xh};
    const Complex zfe{ds.Riron, 0};
    ComplexParallel(zfe, zh, zm_, watch);
    Complex zth, b, c;
    ComplexParallel(zh, zs_, zth, watch);
    ComplexAdd(zs_, zh, b, watch);
    ComplexDivide(zh, b, c, watch);
    rth_ = zth.Re;
    xth_ = zth.Im;
    kth_ = ComplexAbs(c, watch);
}

template <class Store> double CircuitEvaluator::InputImpedanceWith(double slip, Store store) const {
    const Complex zr{store(rr_ / static_cast<Extended>(slip)), xrsigma_};
    Complex zp, z;
    ComplexParallelWith(zm_, zr, zp, store);
    ComplexAddWith(zs_, zp, z, store);
    return ComplexAbsWith(z, store);
}

template <class Store> double CircuitEvaluator::TorqueWith(double slip, double voltage, Store store) const {
    const double uth = store(static_cast<Extended>(kth_) * voltage);
    const double rrs = store(rr_ / static_cast<Extended>(slip));
    const double numerator = store(3.0L * Sqr(uth) * rrs);
    const double denominator =
        store((Sqr(static_cast<Extended>(rth_) + rrs) + Sqr(static_cast<Extended>(xth_) + xrsigma_)) * ws_);
    return store(static_cast<Extended>(numerator) / denominator);
}

// The plain evaluations never look at a watch: the curves and the search call them thousands of
// times.
double CircuitEvaluator::InputImpedance(double slip) const { return InputImpedanceWith(slip, PlainStore{}); }

double CircuitEvaluator::Torque(double slip, double voltage) const { return TorqueWith(slip, voltage, PlainStore{}); }

double CircuitEvaluator::InputImpedance(double slip, RangeWatch* watch) const {
    return watch ? InputImpedanceWith(slip, WatchedStore{*watch}) : InputImpedance(slip);
}

double CircuitEvaluator::Torque(double slip, double voltage, RangeWatch* watch) const {
    return watch ? TorqueWith(slip, voltage, WatchedStore{*watch}) : Torque(slip, voltage);
}

bool CircuitEvaluator::StaysInRange(double voltage, double smallestSlip) const {
    // Each stored value is a product or quotient of at most six of these factors, or a sum of
    // such terms; a sum that cancels keeps at least 2^-64 of its terms (long double) or is 0,
    // which no watch notes. With every factor 0 or within 1e-20 ... 1e20, a stored value that is
    // not 0 lies within about 1e-220 ... 1e220, far inside 2.2e-308 ... 1.8e308.
    if (!(smallestSlip > 0 && smallestSlip <= 1)) return false;
    const double factors[] = {zs_.Re, zs_.Im, zm_.Re, zm_.Im, rr_, xrsigma_, rth_, xth_, kth_,
                              static_cast<double>(ws_), voltage, 1 / smallestSlip};
    for (double f : factors) {
        const double m = std::fabs(f);
        if (m != 0 && !(m >= 1e-20 && m <= 1e20)) return false;
    }
    return true;
}
