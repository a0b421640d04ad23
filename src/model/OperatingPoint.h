#pragma once
// Steady state of the equivalent circuit at a slip, and the time laws of the start.

#include <cstddef>

#include "Complex.h"
#include "MotorDataSet.h"

double StatorCurrent(const MotorDataSet& ds, double slip, double voltage);
double MotorTorque(const MotorDataSet& ds, double slip, double voltage);
// Slip at which the motor torque equals loadTorque; 0 with noSolution set when there is none.
// The watch notes the circuit's own terms (the source voltage and the quadratic's a and c) that
// leave the doubles' range. A load so small that its term overflows only drives the slip to 0,
// its true limit.
double OperatingSlip(const MotorDataSet& ds, double loadTorque, double voltage, bool& noSolution,
                     RangeWatch* watch = nullptr);
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
class CircuitEvaluator {
public:
    explicit CircuitEvaluator(const MotorDataSet& ds, RangeWatch* watch = nullptr);
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

    // The slip-independent parts, for other evaluators that must agree with these to the bit:
    // Riron || jXh, and the Thevenin source seen by the rotor (Zs || jXh, |jXh / (Zs + jXh)|).
    const Complex& MagnetisingImpedance() const { return zm_; }
    double TheveninResistance() const { return rth_; }
    double TheveninReactance() const { return xth_; }
    double TheveninFactor() const { return kth_; }

private:
    template <class Store> double InputImpedanceWith(double slip, Store store) const;
    template <class Store> double TorqueWith(double slip, double voltage, Store store) const;

    Complex zs_, zm_;
    double rr_, xrsigma_;
    double rth_, xth_, kth_;
    Extended ws_;
};
