#pragma once
// The equivalent circuit in plain doubles, for the millions of evaluations of an integration: its
// slip-independent parts worked out once with the model's own complex functions, so that the
// modulus of the input impedance and the torque agree with StatorCurrent and MotorTorque to
// rounding, with one rotor cage or two. Written without dividing by the slip, so that it also
// holds at s = 0 (torque 0, impedance Zs + (Riron || jXh)) and for s < 0.

#include <array>
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

// Powers of s with complex coefficients: c[0] + c[1] s + c[2] s^2.
using CxQuadratic = std::array<Cx, 3>;
inline Cx Horner(const CxQuadratic& c, double s) {
    return {(c[2].re * s + c[1].re) * s + c[0].re, (c[2].im * s + c[1].im) * s + c[0].im};
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
            return Horner(cage_.p, slip) / Horner(cage_.q, slip);
        } else {
            // Zm || (R'r/s + jX'r) = Zm N / (Zm s + N) with N = R'r + jX'r s: one division, none by s.
            const Cx n{rr_, xr_ * slip};
            return zs_ + zm_ * n / (slip * zm_ + n);
        }
    }
    template <bool TwoCages> double TorquePerVoltSquaredOf(double slip) const {
        if constexpr (TwoCages) {
            return torqueFactor_ * slip * (cage_.a0 + cage_.a2 * slip * slip) / Norm(Horner(cage_.c, slip));
        } else {
            const double a = rth_ * slip + rr_, b = x_ * slip;
            return torqueFactor_ * slip / (a * a + b * b);
        }
    }
    // Slip of the largest torque at a fixed voltage: with two cages the largest over (0, 1]
    // (1 when it is at standstill), whichever of the humps it lies on.
    double BreakdownSlip() const { return two_ ? breakdownSlip_ : rr_ / std::sqrt(rth_ * rth_ + x_ * x_); }

    // Torque at slip s and voltage U is K U^2 R'r s / D(s), D(s) = (Rth s + R'r)^2 + (Xth + X'rsigma)^2 s^2.
    // Coefficients of D in ascending powers, and K R'r (K with two cages).
    double D0() const { return rr_ * rr_; }
    double D1() const { return 2 * rth_ * rr_; }
    double D2() const { return rth_ * rth_ + x_ * x_; }
    double TorqueFactor() const { return torqueFactor_; }
    // Two cages: the rotor is N / (s M) with N = (R'r + jX'r s)(R'r2 + jX'r2 s) and
    // M = R'r + R'r2 + j(X'r + X'r2) s, so that Zin = P / Q with Q = Zm s M + N, P = Zs Q + Zm N,
    // and the torque over U^2 is K s (a0 + a2 s^2) / |C|^2 with C = Zth s M + N (TorqueRational):
    // each a ratio of quadratics, none divided by s.
    struct Quadratics {
        CxQuadratic p, q, c;
        double a0 = 0, a2 = 0;
    };
    const Quadratics& TwoCages() const { return cage_; }
    // The elements, for the input impedance as a ratio of polynomials.
    Cx StatorImpedance() const { return zs_; }
    Cx MagnetisingImpedance() const { return zm_; }
    double RotorResistance() const { return rr_; }
    double RotorReactance() const { return xr_; }

  private:
    Cx zs_, zm_;
    double rr_, xr_;
    double rth_, x_;      // Rth and Xth + X'rsigma of the torque's equivalent source
    double torqueFactor_; // 3 kth^2 R'r / ws; with two cages 3 kth^2 / ws
    bool two_;
    Quadratics cage_;
    double breakdownSlip_ = 0;
};
