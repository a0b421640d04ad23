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
    if (HasSecondCage(ds)) return CircuitEvaluator::Current(CircuitEvaluator(ds).InputImpedance(slip), voltage);
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
    if (HasSecondCage(ds)) return CircuitEvaluator(ds).Torque(slip, voltage);
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

namespace {
using polynomial::Line;
using polynomial::MaxDegree;
using polynomial::Poly;

// The smallest root in (0, 1] of T(s) = tl: the balance factor U^2 s a(s) - tl d(s) is a quartic,
// whose roots are isolated between those of its derivatives and polished in long double.
double TwoCageOperatingSlip(const CircuitEvaluator& circuit, double tl, double voltage, bool& noSolution) {
    const TorqueRational t = circuit.TorqueAsRational();
    const Poly balance = (t.factor * voltage * voltage) * (Line(0, 1) * t.a) - static_cast<Extended>(tl) * t.d;
    double roots[MaxDegree];
    const int n = polynomial::RealRoots(balance, 0, 1, roots);
    for (int i = 0; i < n; ++i)
        if (roots[i] > 0) return roots[i];
    noSolution = true;
    return 0;
}
} // namespace

double OperatingSlip(const MotorDataSet& ds, double loadTorque, double voltage, bool& noSolution,
                     RangeWatch* watch) {
    noSolution = false;
    if (HasSecondCage(ds))
        return TwoCageOperatingSlip(CircuitEvaluator(ds, watch), loadTorque == 0 ? 0.000001 : loadTorque, voltage,
                                    noSolution);
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
    : zs_{ds.Rs, ds.Xssigma}, rr_(ds.Rr), xrsigma_(ds.Xrsigma), rr2_(ds.Rr2), xr2sigma_(ds.Xr2sigma),
      second_(HasSecondCage(ds)), ws_(AngularSpeed(ds)) {
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

// The two cages in parallel at a slip above 0, from their admittances s / (R + jX s): no sum of
// their parts cancels.
void CircuitEvaluator::TwoCageRotor(Extended slip, Extended& re, Extended& im) const {
    const Extended d1 = Sqr(rr_) + Sqr(xrsigma_ * slip), d2 = Sqr(rr2_) + Sqr(xr2sigma_ * slip);
    const Extended g = slip * (rr_ / d1 + rr2_ / d2), b = Sqr(slip) * (xrsigma_ / d1 + xr2sigma_ / d2);
    const Extended y = Sqr(g) + Sqr(b);
    re = g / y;
    im = b / y;
}

template <class Store> double CircuitEvaluator::TwoCageImpedanceWith(double slip, Store store) const {
    Extended rre, rim;
    TwoCageRotor(slip, rre, rim);
    // Zm || Zr = Zm Zr / (Zm + Zr), whose denominator has the rotor's positive real part.
    const Extended mre = zm_.Re, mim = zm_.Im;
    const Extended pre = mre * rre - mim * rim, pim = mre * rim + mim * rre;
    const Extended sre = mre + rre, sim = mim + rim, d = Sqr(sre) + Sqr(sim);
    const Extended zre = zs_.Re + (pre * sre + pim * sim) / d, zim = zs_.Im + (pim * sre - pre * sim) / d;
    return store(std::sqrt(Sqr(zre) + Sqr(zim)));
}

template <class Store>
double CircuitEvaluator::TwoCageTorqueWith(double slip, double voltage, Store store) const {
    Extended rre, rim;
    TwoCageRotor(slip, rre, rim);
    const Extended uth = static_cast<Extended>(kth_) * voltage;
    return store(3.0L * Sqr(uth) * rre / ((Sqr(rth_ + rre) + Sqr(xth_ + rim)) * ws_));
}

template <bool TwoCages, class Store> double CircuitEvaluator::ImpedanceOf(double slip, Store store) const {
    if constexpr (TwoCages) return TwoCageImpedanceWith(slip, store);
    else return InputImpedanceWith(slip, store);
}

template <bool TwoCages, class Store>
double CircuitEvaluator::TorqueOf(double slip, double voltage, Store store) const {
    if constexpr (TwoCages) return TwoCageTorqueWith(slip, voltage, store);
    else return TorqueWith(slip, voltage, store);
}

// The plain evaluations never look at a watch: the curves and the search call them thousands of
// times.
template <bool TwoCages> double CircuitEvaluator::Cage<TwoCages>::InputImpedance(double slip) const {
    return c_.template ImpedanceOf<TwoCages>(slip, PlainStore{});
}
template <bool TwoCages> double CircuitEvaluator::Cage<TwoCages>::Torque(double slip, double voltage) const {
    return c_.template TorqueOf<TwoCages>(slip, voltage, PlainStore{});
}
template <bool TwoCages>
double CircuitEvaluator::Cage<TwoCages>::InputImpedance(double slip, RangeWatch* watch) const {
    return watch ? c_.template ImpedanceOf<TwoCages>(slip, WatchedStore{*watch}) : InputImpedance(slip);
}
template <bool TwoCages>
double CircuitEvaluator::Cage<TwoCages>::Torque(double slip, double voltage, RangeWatch* watch) const {
    return watch ? c_.template TorqueOf<TwoCages>(slip, voltage, WatchedStore{*watch}) : Torque(slip, voltage);
}
template class CircuitEvaluator::Cage<false>;
template class CircuitEvaluator::Cage<true>;

double CircuitEvaluator::InputImpedance(double slip) const {
    return WithCage([&](auto cage) { return cage.InputImpedance(slip); });
}
double CircuitEvaluator::Torque(double slip, double voltage) const {
    return WithCage([&](auto cage) { return cage.Torque(slip, voltage); });
}
double CircuitEvaluator::InputImpedance(double slip, RangeWatch* watch) const {
    return WithCage([&](auto cage) { return cage.InputImpedance(slip, watch); });
}
double CircuitEvaluator::Torque(double slip, double voltage, RangeWatch* watch) const {
    return WithCage([&](auto cage) { return cage.Torque(slip, voltage, watch); });
}

bool CircuitEvaluator::StaysInRange(double voltage, double smallestSlip) const {
    // Each stored value is a product or quotient of at most six of these factors, or a sum of
    // such terms; a sum that cancels keeps at least 2^-64 of its terms (long double) or is 0,
    // which no watch notes. With every factor 0 or within 1e-20 ... 1e20, a stored value that is
    // not 0 lies within about 1e-220 ... 1e220, far inside 2.2e-308 ... 1.8e308.
    // A double cage stores only the modulus of the input impedance, the current and the torque,
    // each worked out in long double (whose range no product of these factors leaves): with
    // every factor within that window they stay within about 1e-250 ... 1e130.
    if (!(smallestSlip > 0 && smallestSlip <= 1)) return false;
    const double factors[] = {zs_.Re, zs_.Im, zm_.Re, zm_.Im, rr_, xrsigma_, rr2_, xr2sigma_, rth_, xth_, kth_,
                              static_cast<double>(ws_), voltage, 1 / smallestSlip};
    for (double f : factors) {
        const double m = std::fabs(f);
        if (m != 0 && !(m >= 1e-20 && m <= 1e20)) return false;
    }
    return true;
}

TorqueRational CircuitEvaluator::TorqueAsRational() const {
    using polynomial::CxL;
    TorqueRational t;
    t.factor = 3.0L * Sqr(kth_) / ws_;
    const Extended rr = rr_, xr = xrsigma_, rth = rth_, xth = xth_;
    if (!second_) {
        t.a.c[0] = rr;
        t.d = polynomial::Quadratic(Sqr(rr), 2 * rth * rr, Sqr(rth) + Sqr(xth + xr));
        return t;
    }
    const Extended rr2 = rr2_, xr2 = xr2sigma_;
    t.a = polynomial::Quadratic(rr * rr2 * (rr + rr2), 0, rr * Sqr(xr2) + rr2 * Sqr(xr));
    // Zth s M + N in powers of s.
    const CxL zth{rth, xth};
    t.c = {CxL{rr * rr2, 0}, zth * CxL{rr + rr2, 0} + CxL{0, rr * xr2 + rr2 * xr},
           zth * CxL{0, xr + xr2} + CxL{-xr * xr2, 0}};
    t.d = polynomial::SquaredModulus(t.c);
    return t;
}

TorquePeak CircuitEvaluator::TorqueMaximum(double sLow, double sHigh, double voltage) const {
    // The largest value over a closed interval lies at an end or where the derivative vanishes.
    // The derivative of s a / d vanishes where the polynomial (a + s a') d - s a d' does, and all
    // its real roots in the interval are found (Polynomial.h): the maximum found is the global
    // one, on as many humps as the curve has. With a = a0 + a2 s^2 and d = sum of d_k s^k that
    // polynomial is the sum of (a0 (1 - k) d_k + a2 (5 - k) d_(k-2)) s^k.
    const TorqueRational t = TorqueAsRational();
    const Extended a0 = t.a.c[0], a2 = t.a.degree == 2 ? t.a.c[2] : 0;
    Poly slope;
    slope.degree = t.d.degree + 2;
    for (int k = 0; k <= slope.degree; ++k)
        slope.c[k] = (k <= t.d.degree ? a0 * (1 - k) * t.d.c[k] : 0) + (k >= 2 ? a2 * (5 - k) * t.d.c[k - 2] : 0);
    double candidates[MaxDegree + 2];
    int n = polynomial::RealRoots(slope, sLow, sHigh, candidates);
    candidates[n++] = sLow;
    candidates[n++] = sHigh;
    TorquePeak best{sLow, -HUGE_VAL};
    for (int i = 0; i < n; ++i) {
        const double torque = candidates[i] > 0 ? Torque(candidates[i], voltage) : 0; // none at s = 0
        if (torque > best.torque) best = {candidates[i], torque};
    }
    return best;
}

TorquePeak TorqueMaximum(const MotorDataSet& ds, double sLow, double sHigh, double voltage) {
    return CircuitEvaluator(ds).TorqueMaximum(sLow, sHigh, voltage);
}
