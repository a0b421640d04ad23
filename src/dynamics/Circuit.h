#pragma once
// The equivalent circuit in plain doubles, for the millions of evaluations of an integration: its
// slip-independent parts worked out once with the model's own complex functions, so that the
// modulus of the input impedance and the torque agree with StatorCurrent and MotorTorque to
// rounding. Written without dividing by the slip, so that it also holds at s = 0 (torque 0,
// impedance Zs + (Riron || jXh)) and for s < 0.

#include <cmath>

#include "MotorDataSet.h"

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

    // Complex input impedance per winding, Zs + ((Riron || jXh) || (R'r/s + jX'rsigma)).
    Cx InputImpedance(double slip) const {
        // Zm || (R'r/s + jX'r) = Zm N / (Zm s + N) with N = R'r + jX'r s: one division, none by s.
        const Cx n{rr_, xr_ * slip};
        return zs_ + zm_ * n / (slip * zm_ + n);
    }
    // Torque at this slip divided by the square of the winding voltage, Nm / V2.
    double TorquePerVoltSquared(double slip) const {
        const double a = rth_ * slip + rr_, b = x_ * slip;
        return torqueFactor_ * slip / (a * a + b * b);
    }
    // Slip of the largest torque at a fixed voltage.
    double BreakdownSlip() const { return rr_ / std::sqrt(rth_ * rth_ + x_ * x_); }

    // Torque at slip s and voltage U is K U^2 R'r s / D(s), D(s) = (Rth s + R'r)^2 + (Xth + X'rsigma)^2 s^2.
    // Coefficients of D in ascending powers, and K R'r.
    double D0() const { return rr_ * rr_; }
    double D1() const { return 2 * rth_ * rr_; }
    double D2() const { return rth_ * rth_ + x_ * x_; }
    double TorqueFactor() const { return torqueFactor_; }
    // The elements, for the input impedance as (P0 + P1 s) / (Q0 + Q1 s).
    Cx StatorImpedance() const { return zs_; }
    Cx MagnetisingImpedance() const { return zm_; }
    double RotorResistance() const { return rr_; }
    double RotorReactance() const { return xr_; }

  private:
    Cx zs_, zm_;
    double rr_, xr_;
    double rth_, x_;      // Rth and Xth + X'rsigma of the torque's equivalent source
    double torqueFactor_; // 3 kth^2 R'r / ws
};
