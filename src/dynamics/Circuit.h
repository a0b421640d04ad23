#pragma once
// The equivalent circuit in plain doubles, for the millions of evaluations of an integration: its
// slip-independent parts worked out once with the model's own complex functions, so that the
// modulus of the input impedance and the torque agree with StatorCurrent and MotorTorque to
// rounding, with one rotor cage or two. Written without dividing by the slip, so that it also
// holds at s = 0 (torque 0, impedance Zs + (Riron || jXh)) and for s < 0.

#include <cmath>

#include "MotorDataSet.h"
#include "OperatingPoint.h"

constexpr double TwoPi = 6.283185307179586;

struct Cx {
    double re = 0, im = 0;
};
inline Cx operator+(Cx a, Cx b) {
    return {a.re + b.re, a.im + b.im};
}
inline Cx operator-(Cx a, Cx b) {
    return {a.re - b.re, a.im - b.im};
}
inline Cx operator*(Cx a, Cx b) {
    return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re};
}
inline Cx operator*(double k, Cx a) {
    return {k * a.re, k * a.im};
}
inline double Norm(Cx a) {
    return a.re * a.re + a.im * a.im;
}
inline double Abs(Cx a) {
    return std::sqrt(Norm(a));
}
inline Cx Inverse(Cx a) {
    const double d = 1 / Norm(a);
    return {a.re * d, -a.im * d};
}
inline Cx operator/(Cx a, Cx b) {
    const double d = 1 / Norm(b);
    return {(a.re * b.re + a.im * b.im) * d, (a.im * b.re - a.re * b.im) * d};
}
inline bool IsZero(Cx a) {
    return a.re == 0 && a.im == 0;
}

class FastCircuit {
  public:
    explicit FastCircuit(const MotorDataSet& ds);

    // Whether the rotor has a second cage in parallel with the first.
    bool SecondCage() const { return two_; }

    // Complex input impedance per winding, Zs + ((Riron || jXh) || Zr), Zr the rotor.
    Cx InputImpedance(double slip) const {
        return two_ ? InputImpedanceOf<true>(slip) : InputImpedanceOf<false>(slip);
    }
    // Torque at this slip divided by the square of the winding voltage, Nm / V2.
    double TorquePerVoltSquared(double slip) const {
        return two_ ? TorquePerVoltSquaredOf<true>(slip) : TorquePerVoltSquaredOf<false>(slip);
    }
    // The same for one kind of rotor, without asking which: for the integration, which is compiled
    // for each kind and chooses once per start.
    template <bool TwoCages> Cx InputImpedanceOf(double slip) const {
        if constexpr (TwoCages) {
            // The rotor is N / (s M) with N = (R'r + jX'r s)(R'r2 + jX'r2 s), M = R'r + R'r2 +
            // j(X'r + X'r2) s: Zm || Zr = Zm N / (Zm s M + N), one division and none by s.
            const Cx n = Cx{rr_, xr_ * slip} * Cx{rr2_, xr2_ * slip};
            return zs_ + zm_ * n / (slip * (zm_ * Cx{rsum_, xsum_ * slip}) + n);
        } else {
            // Zm || (R'r/s + jX'r) = Zm N / (Zm s + N) with N = R'r + jX'r s: one division, none by s.
            const Cx n{rr_, xr_ * slip};
            return zs_ + zm_ * n / (slip * zm_ + n);
        }
    }
    template <bool TwoCages> double TorquePerVoltSquaredOf(double slip) const {
        if constexpr (TwoCages) {
            // 3 kth^2 / ws s Re(N conj(M)) / |Zth s M + N|^2 (TorqueRational in OperatingPoint.h).
            const Cx n = Cx{rr_, xr_ * slip} * Cx{rr2_, xr2_ * slip};
            const Cx d = (slip * zth_) * Cx{rsum_, xsum_ * slip} + n;
            return torqueFactor_ * slip * (a0_ + a2_ * slip * slip) / Norm(d);
        } else {
            const double a = rth_ * slip + rr_, b = x_ * slip;
            return torqueFactor_ * slip / (a * a + b * b);
        }
    }
    // Slip of the largest torque at a fixed voltage: with two cages the largest over (0, 1]
    // (1 when it is at standstill), whichever of the humps it lies on.
    double BreakdownSlip() const { return two_ ? breakdownSlip_ : rr_ / std::sqrt(rth_ * rth_ + x_ * x_); }

    // Torque at slip s and voltage U is K U^2 R'r s / D(s), D(s) = (Rth s + R'r)^2 + (Xth + X'rsigma)^2 s^2.
    // Coefficients of D in ascending powers, and K R'r: one cage.
    double D0() const { return rr_ * rr_; }
    double D1() const { return 2 * rth_ * rr_; }
    double D2() const { return rth_ * rth_ + x_ * x_; }
    double TorqueFactor() const { return torqueFactor_; }
    // The torque over the squared voltage as the model's rational function of the slip, either rotor.
    const TorqueRational& Rational() const { return rational_; }
    // The elements, for the input impedance as a ratio of polynomials.
    Cx StatorImpedance() const { return zs_; }
    Cx MagnetisingImpedance() const { return zm_; }
    double RotorResistance() const { return rr_; }
    double RotorReactance() const { return xr_; }
    double SecondRotorResistance() const { return rr2_; }
    double SecondRotorReactance() const { return xr2_; }

  private:
    Cx zs_, zm_;
    double rr_, xr_;
    double rth_, x_;      // Rth and Xth + X'rsigma of the torque's equivalent source
    double torqueFactor_; // 3 kth^2 R'r / ws; with two cages 3 kth^2 / ws
    bool two_;
    double rr2_ = 0, xr2_ = 0, rsum_ = 0, xsum_ = 0; // R'r + R'r2, X'r + X'r2
    Cx zth_;                                         // Rth + jXth
    double a0_ = 0, a2_ = 0;                         // Re(N conj(M)) = a0 + a2 s^2
    double breakdownSlip_ = 0;
    TorqueRational rational_;
};
