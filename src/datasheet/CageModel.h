#pragma once
// The double-cage circuit as the fit evaluates it, thousands of times per data sheet: plain
// doubles, the formulas of the data-sheet identification and nothing else.
//   Zs = Rs + jXs, Zm = Rfe || jXh, Z1 = R1/s + jX1 (running cage), Z2 = R2/s + jX2 (starting
//   cage), Zr = Z1 || Z2; I(s) = U / (Zs + Zm || Zr); the torque through the equivalent source
//   that leaves out Rfe: Zth = jXh || Zs, Uth = |jXh / (Zs + jXh)| U,
//   T(s) = 3 Uth^2 Re(Zr) / (|Zth + Zr|^2 ws).

#include <complex>
#include <optional>

namespace datasheet {

using Cx = std::complex<double>;

// Ohms per winding.
struct CageCircuit {
    double Rs = 0, Xs = 0, Xh = 0, Rfe = 0, R1 = 0, X1 = 0, R2 = 0, X2 = 0;
};

// The data sheet in the terms of one winding, SI units.
struct Targets {
    double U = 0;              // phase voltage, V
    double I = 0;              // rated phase current, A
    double cosPhi = 0, sinPhi = 0;
    double sN = 0;             // rated slip
    double TN = 0;             // rated torque, Nm
    double omegaS = 0;         // synchronous speed, rad/s
    double Ia = 0, Ta = 0, Tk = 0; // locked-rotor current (A) and torque (Nm), breakdown torque (Nm)
    double Pin = 0;            // rated electrical power, W
    double Pmech = 0;          // rated mechanical power, W
};

// The largest torque over [s_low, 1] and the slip where it is.
struct Peak {
    double slip = 1, torque = 0;
};

class CageModel {
public:
    CageModel(const CageCircuit& c, double U, double omegaS);

    Cx RotorAdmittance(double s) const;
    double Torque(double s) const;
    Cx Current(double s) const; // stator current phasor, the phase voltage real
    // The global maximum of the torque over [sLow, 1], s = 1 included: every hump is found.
    Peak Maximum(double sLow) const;

private:
    CageCircuit c_;
    Cx zs_, ym_, zth_;
    double U_, uth2_, torqueScale_;
};

// The magnetising branch that gives the rated current phasor I (cos phi - j sin phi) at s_N with the
// circuit's stator and rotor: Ym = I_N / (U - Zs I_N) - 1 / Zr(s_N), Rfe = 1/Re(Ym), Xh = -1/Im(Ym).
// Returns Xh/Rfe, which a circuit needs positive (a negative Rfe would give power, an infinite one
// is no loss at all: the formulas hold for both, so that a solver can look beyond that edge);
// nullopt, and the circuit untouched, when Ym leaves no positive magnetising reactance.
std::optional<double> CompleteMagnetisingBranch(CageCircuit& c, const Targets& t);

// What the targets beyond the rated current compare: the rated and locked-rotor torques, the
// locked-rotor current's magnitude, and the largest torque over [s_N, 1] with its slip.
struct Measured {
    double ratedTorque = 0, lockedTorque = 0, lockedCurrent = 0, peakTorque = 0, peakSlip = 1;
};
Measured Measure(const CageCircuit& c, const Targets& t);
// The same with the torque maximum taken at a given slip: near a circuit whose maximum is there,
// the derivatives of the maximum (its slip moves with the circuit, its torque not to first order).
Measured MeasureAtSlip(const CageCircuit& c, const Targets& t, double peakSlip);

} // namespace datasheet
