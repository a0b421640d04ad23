#pragma once
// What one instant of a start needs: the circuit, the load, the supply and the connection of the
// motor (a stage of its starting method), and the quasi-static quantities found on them.

#include <array>
#include <optional>

#include "Circuit.h"
#include "MotorDataSet.h"

constexpr double Sqrt3 = 1.7320508075688772;

struct LoadLaw {
    double t0 = 0, t1 = 0, t2 = 0; // Nm, Nm s, Nm s2 with the speed in rev/s
    double At(double n) const { return t0 + t1 * n + t2 * n * n; }
};

// A connection of the motor to the supply: the running one, or the reduced stage of a method.
struct Stage {
    bool delta = false;    // windings in delta: star-equivalent impedance Zin / 3
    double tap = 1;        // autotransformer ratio k (1: none)
    double vwRef = 0;      // winding voltage at full output with nothing between source and motor, V
    double lineFactor = 1; // supply line current / winding current
    bool upstream = false; // an impedance lies between source and motor (network or reactor)
    Cx zUp;                // that impedance, star-equivalent per phase
};

// The state of the circuit at one slip and one controller output alpha (the series controller
// sets the motor voltage to alpha times its input).
struct Electric {
    Cx zin;          // input impedance per winding
    double zabs = 0; // its modulus
    double invZabs = 0;
    double uw = 0;    // winding voltage, V
    double iw = 0;    // winding current, A
    double iline = 0; // supply line current, A
    double torque = 0;
    double bus = 1; // |U_bus| / source phase voltage
};

class StartModel {
  public:
    StartModel(const MotorDataSet& ds, bool network, Cx zSourceTransformer);

    const FastCircuit& Circuit() const { return circuit_; }
    const LoadLaw& Load() const { return load_; }
    double SynchronousSpeed() const { return ns_; }

    Electric At(const Stage& stage, double alpha, double slip) const {
        return circuit_.SecondCage() ? At<true>(stage, alpha, slip) : At<false>(stage, alpha, slip);
    }
    // The same for one kind of rotor (FastCircuit::SecondCage), without asking which.
    template <bool TwoCages> Electric At(const Stage& stage, double alpha, double slip) const {
        return WithImpedance<TwoCages>(stage, alpha, slip, Impedance<TwoCages>(slip));
    }
    template <bool TwoCages> Electric Impedance(double slip) const {
        Electric e;
        e.zin = circuit_.InputImpedanceOf<TwoCages>(slip);
        const double norm = Norm(e.zin);
        e.zabs = std::sqrt(norm);
        e.invZabs = e.zabs / norm;
        return e;
    }
    // The same with the impedance already in e.
    template <bool TwoCages>
    Electric WithImpedance(const Stage& stage, double alpha, double slip, Electric e) const {
        if (!stage.upstream) {
            e.uw = alpha * stage.tap * stage.vwRef;
        } else {
            const Cx zyk = (stage.delta ? 1.0 / 3.0 : 1.0) / (stage.tap * stage.tap) * e.zin;
            const Cx invD = Inverse(zyk + alpha * stage.zUp);
            e.uw = alpha * stage.tap * stage.vwRef * Abs(zyk * invD);
            if (network_) e.bus = Abs(Cx{1, 0} - alpha * (zKT_ * invD));
        }
        e.iw = e.uw * e.invZabs;
        e.iline = e.iw * stage.lineFactor;
        e.torque = circuit_.TorquePerVoltSquaredOf<TwoCages>(slip) * e.uw * e.uw;
        return e;
    }

    // Squares of the winding voltage and current from the impedance and its squared modulus
    // alone: what the right-hand side of the equation of motion needs, without a square root
    // and with one division.
    void Squares(const Stage& stage, double alpha, Cx zin, double norm, double& uw2, double& iw2) const {
        const double u = alpha * stage.tap * stage.vwRef;
        if (!stage.upstream) {
            uw2 = u * u;
            iw2 = uw2 / norm;
            return;
        }
        const double scale = (stage.delta ? 1.0 / 3.0 : 1.0) / (stage.tap * stage.tap);
        iw2 = u * u * scale * scale / Norm(scale * zin + alpha * stage.zUp);
        uw2 = iw2 * norm;
    }
    // Square of the capped controller output with nothing upstream, from the squared modulus.
    double StiffCapAlphaSquared(const Stage& stage, double lineLimit, double norm) const {
        const double v = stage.vwRef * (stage.delta ? 1 / Sqrt3 : 1.0);
        const double k = (stage.delta ? lineLimit / 3 : lineLimit) / v;
        return norm * k * k;
    }

    // Controller output at which the supply line current equals lineLimit, for the running
    // connection (no tap); above 1 when full output stays below it. e holds the impedance.
    double CapAlpha(const Stage& stage, double lineLimit, const Electric& e) const {
        // Line current = alpha V / |Z_Y + alpha Z_up|, V the source phase voltage.
        const double v = stage.vwRef * (stage.delta ? 1 / Sqrt3 : 1.0);
        const double target = v / lineLimit; // |Z_Y / alpha + Z_up| at the limit
        if (!stage.upstream) return (stage.delta ? e.zabs / 3 : e.zabs) / target;
        const Cx zy = (stage.delta ? 1.0 / 3.0 : 1.0) * e.zin;
        // beta = 1/alpha solves |beta Z_Y + Z_up|^2 = target^2.
        const double a = Norm(zy), b = zy.re * stage.zUp.re + zy.im * stage.zUp.im;
        const double c = Norm(stage.zUp) - target * target;
        if (c >= 0) return HUGE_VAL; // even an unlimited output stays within the limit
        const double beta = (-b + std::sqrt(b * b - a * c)) / a;
        return 1 / beta;
    }

    // Accelerating torque of a stage at full output, as a function of slip.
    double Accelerating(const Stage& stage, double slip) const {
        return At(stage, 1, slip).torque - load_.At(ns_ * (1 - slip));
    }

    // Roots of Accelerating in [lo, hi], ascending, found exactly: the torque is a rational
    // function of the slip, so the torque balance is a polynomial, of degree 4 with nothing
    // upstream and 6 through an impedance (6 and 10 with two cages). roots has room for
    // MaxAcceleratingRoots.
    static constexpr int MaxAcceleratingRoots = 10;
    int AcceleratingRoots(const Stage& stage, double lo, double hi, double* roots) const;

    // Slip of the largest full-output torque of a stage over (0, 1], exactly (1 or more: the
    // largest torque at standstill): the global maximum, also where a double cage gives two humps.
    double BreakdownSlip(const Stage& stage) const;

  private:
    FastCircuit circuit_;
    LoadLaw load_;
    double ns_;
    bool network_;
    Cx zKT_; // source and transformer: the busbar lies behind them
};

// The speeds that decide a start, all in rev/s, from the running connection at full output.
struct QuasiStatic {
    std::optional<double> operatingSpeed; // n_op; none when no root
    std::optional<double> stallSpeed;     // where the accelerating torque first becomes <= 0 below n_op
    double breakdownSlip = 0;             // of the largest full-output torque
};
QuasiStatic FindQuasiStatic(const StartModel& model, const Stage& running);

// First speed from standstill where a reduced stage's accelerating torque becomes <= 0, if any
// below maxSpeed (0 when it is already <= 0 at standstill).
std::optional<double> ReducedStageStall(const StartModel& model, const Stage& stage, double maxSpeed);
