#pragma once
// Steady state of the equivalent circuit at a slip, and the time laws of the start.

#include <cstddef>

#include "Complex.h"
#include "MotorDataSet.h"
#include "Polynomial.h"

// With a second rotor cage (HasSecondCage) the rotor is the two cages in parallel; the current
// and torque of a motor with one cage keep every digit they always had.
double StatorCurrent(const MotorDataSet& ds, double slip, double voltage);
double MotorTorque(const MotorDataSet& ds, double slip, double voltage);
// Slip at which the motor torque equals loadTorque; 0 with noSolution set when there is none.
// The watch notes the circuit's own terms (the source voltage and the quadratic's a and c) that
// leave the doubles' range. A load so small that its term overflows only drives the slip to 0,
// its true limit. With one cage the balance is a quadratic in 1/s, whose root the rule of old
// picks: the smallest in (0, 1]. With two it is a quartic in s (TorqueRational), and the slip its
// smallest root in (0, 1], bracketed and polished to full precision; the watch notes the
// circuit's slip-independent parts.
double OperatingSlip(const MotorDataSet& ds, double loadTorque, double voltage, bool& noSolution,
                     RangeWatch* watch = nullptr);

// The largest torque over the slips [sLow, sHigh] (0 <= sLow <= sHigh) at a voltage, and its slip:
// the global maximum, also on a double cage's torque curve with two humps.
struct TorquePeak {
    double slip = 0;
    double torque = 0;
};
TorquePeak TorqueMaximum(const MotorDataSet& ds, double sLow, double sHigh, double voltage);

// The torque over the squared voltage as a rational function of the slip, factor s a(s) / d(s):
// a = R'r and d = (Rth s + R'r)^2 + (Xth + X'rsigma)^2 s^2 with one cage; with two, the rotor is
// N / (s M) with N = (R'r + jX'r s)(R'r2 + jX'r2 s) and M = R'r + R'r2 + j(X'r + X'r2) s, so
// a = Re(N conj(M)) = R'r R'r2 (R'r + R'r2) + (R'r X'r2^2 + R'r2 X'r^2) s^2 and d = |Zth s M + N|^2.
struct TorqueRational {
    Extended factor = 0; // 3 kth^2 / ws
    polynomial::Poly a, d;
    std::array<polynomial::CxL, 3> c{}; // with two cages Zth s M + N in powers of s: d = |c|^2
};
double LoadTorque(const MotorDataSet& ds, double speed);
double RampVoltage(const MotorDataSet& ds, double time, double rampTime);
double SpeedAtTime(const MotorDataSet& ds, double time, double finalSpeed);

// The soft-starter's voltage ramp with its slope worked out once (same digits as RampVoltage).
class VoltageRamp {
public:
    VoltageRamp(const MotorDataSet& ds, double rampTime)
        : voltage_(ds.PhaseVoltage), preset_(ds.Preset), ramp_(rampTime),
          slope_(rampTime > 0 ? (1.0L - ds.Preset) / rampTime : 0) {}
    double Voltage(double time) const {
        if (time >= ramp_) return voltage_;
        return static_cast<double>(voltage_ * (preset_ + slope_ * time));
    }

private:
    double voltage_, preset_, ramp_;
    Extended slope_;
};

// 1 - exp(-t / tau) of the speed law, the factor SpeedAtTime applies to the final speed.
Extended SpeedRise(const MotorDataSet& ds, double time);

// The circuit with its slip-independent parts worked out once. Its results are bit-identical to
// StatorCurrent and MotorTorque, which the curve computations call thousands of times. A watch
// given to the constructor or a call notes any value stored there that left the doubles' range.
// A double cage is evaluated in long double throughout: only the modulus of the input
// impedance, the current and the torque are stored.
class CircuitEvaluator {
public:
    explicit CircuitEvaluator(const MotorDataSet& ds, RangeWatch* watch = nullptr);
    bool SecondCage() const { return second_; }
    // Modulus of the input impedance at this slip, as StatorCurrent stores it.
    double InputImpedance(double slip) const;
    static double Current(double inputImpedance, double voltage) {
        return static_cast<double>(static_cast<Extended>(voltage) / inputImpedance);
    }
    double Torque(double slip, double voltage) const;
    // The same, watched when a watch is given (a nullptr of its own type picks the plain ones).
    double InputImpedance(double slip, RangeWatch* watch) const;
    double InputImpedance(double slip, std::nullptr_t) const { return InputImpedance(slip); }
    static double Current(double inputImpedance, double voltage, RangeWatch* watch) {
        const Extended current = static_cast<Extended>(voltage) / inputImpedance;
        return watch ? watch->Store(current) : static_cast<double>(current);
    }
    static double Current(double inputImpedance, double voltage, std::nullptr_t) {
        return Current(inputImpedance, voltage);
    }
    double Torque(double slip, double voltage, RangeWatch* watch) const;
    double Torque(double slip, double voltage, std::nullptr_t) const { return Torque(slip, voltage); }
    // Whether every value that InputImpedance, Current and Torque store at a slip in
    // [smallestSlip, 1] and at this voltage stays within the doubles' normal range, judged once
    // from the circuit's slip-independent parts: a watch passed to those calls could note nothing.
    bool StaysInRange(double voltage, double smallestSlip) const;

    TorqueRational TorqueAsRational() const;
    TorquePeak TorqueMaximum(double sLow, double sHigh, double voltage) const;

    // The evaluations of one kind of circuit without asking which at every call: the loops that
    // evaluate a circuit thousands of times are compiled for each kind and chosen once by WithCage.
    template <bool TwoCages> class Cage {
    public:
        explicit Cage(const CircuitEvaluator& circuit) : c_(circuit) {}
        double InputImpedance(double slip) const;
        double InputImpedance(double slip, RangeWatch* watch) const;
        double InputImpedance(double slip, std::nullptr_t) const { return InputImpedance(slip); }
        double Torque(double slip, double voltage) const;
        double Torque(double slip, double voltage, RangeWatch* watch) const;
        double Torque(double slip, double voltage, std::nullptr_t) const { return Torque(slip, voltage); }

    private:
        const CircuitEvaluator& c_;
    };
    template <class F> decltype(auto) WithCage(F&& f) const {
        return second_ ? f(Cage<true>(*this)) : f(Cage<false>(*this));
    }

    // The slip-independent parts, for other evaluators that must agree with these to the bit:
    // Riron || jXh, and the Thevenin source seen by the rotor (Zs || jXh, |jXh / (Zs + jXh)|).
    const Complex& MagnetisingImpedance() const { return zm_; }
    double TheveninResistance() const { return rth_; }
    double TheveninReactance() const { return xth_; }
    double TheveninFactor() const { return kth_; }

private:
    template <class Store> double InputImpedanceWith(double slip, Store store) const;
    template <class Store> double TorqueWith(double slip, double voltage, Store store) const;
    template <bool TwoCages, class Store> double ImpedanceOf(double slip, Store store) const;
    template <bool TwoCages, class Store> double TorqueOf(double slip, double voltage, Store store) const;
    template <class Store> double TwoCageImpedanceWith(double slip, Store store) const;
    template <class Store> double TwoCageTorqueWith(double slip, double voltage, Store store) const;
    void TwoCageRotor(Extended slip, Extended& re, Extended& im) const;

    Complex zs_, zm_;
    double rr_, xrsigma_;
    double rr2_, xr2sigma_;
    bool second_;
    double rth_, xth_, kth_;
    Extended ws_;
};
extern template class CircuitEvaluator::Cage<false>;
extern template class CircuitEvaluator::Cage<true>;
