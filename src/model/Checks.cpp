#include "Checks.h"

#include <array>
#include <cfloat>
#include <cmath>
#include <initializer_list>

#include "Complex.h"
#include "ErrorMessages.h"
#include "Identification.h"
#include "OperatingPoint.h"
#include "TextToReal.h"

namespace {
bool Finite(double v) { return std::isfinite(v); }
// Below the smallest normal double a value has lost its digits (or is gone altogether).
bool Vanished(double v) { return std::fabs(v) < DBL_MIN; }

// An input field with its label in the dialog that holds it.
struct Field {
    double value;
    const char* english;
    const char* french;
};

Field MechanicalPowerField(const MotorDataSet& d) {
    return {d.MechanicalPower, "Mechanical Power", "Puissance mécanique"};
}
Field LineVoltageField(const MotorDataSet& d) { return {d.LineVoltage, "Line Voltage", "Tension de ligne"}; }
Field FrequencyField(const MotorDataSet& d) { return {d.Frequency, "Frequency", "Fréquence"}; }
Field LineCurrentField(const MotorDataSet& d) { return {d.LineCurrent, "Line Current", "Courant de ligne"}; }
Field PowerFactorField(const MotorDataSet& d) { return {d.PowerFactor, "Power Factor", "Facteur de puissance"}; }
Field RatedSpeedField(const MotorDataSet& d) { return {d.RatedSpeed, "Rated Speed", "Vitesse nominale"}; }
Field NoLoadCurrentField(const MotorDataSet& d) {
    return {d.NoLoadLineCurrent, "No Load Line Current", "Courant de ligne à vide"};
}
Field EstimatedTimeField(const MotorDataSet& d) {
    return {d.EstimatedStartTime, "Estimated Time to Start Motor with Load",
            "Temps estimé pour le démarrage du moteur en charge"};
}

// A derived value that grows with the fields of `up` and falls with those of `down` has
// overflowed or vanished. The field to name is the one that pushes hardest that way: for an
// overflow the largest of `up` ("so large") or the smallest of `down` ("so small"), for a value
// that vanished the other way round. Ties go to the field listed first.
Refusal Blame(bool overflow, std::initializer_list<Field> up, std::initializer_list<Field> down = {}) {
    const Field* culprit = nullptr;
    bool culpritUp = true;
    double strongest = -HUGE_VAL;
    auto consider = [&](const Field& f, bool isUp) {
        const double magnitude = std::log(std::fabs(f.value));
        const double push = (overflow == isUp) ? magnitude : -magnitude;
        if (!culprit || push > strongest) {
            culprit = &f;
            culpritUp = isUp;
            strongest = push;
        }
    };
    for (const Field& f : up) consider(f, true);
    for (const Field& f : down) consider(f, false);
    int number;
    if (overflow) number = culpritUp ? ErrValueOverflows : ErrValueSmallOverflows;
    else number = culpritUp ? ErrValueVanishes : ErrValueLargeVanishes;
    return {number, {culprit->english, culprit->french}};
}

// A derived value that must be finite and keep its digits; `up` and `down` as for Blame.
Refusal Judge(double derived, std::initializer_list<Field> up, std::initializer_list<Field> down = {}) {
    if (!Finite(derived)) return Blame(true, up, down);
    if (Vanished(derived)) return Blame(false, up, down);
    return 0;
}

// The circuit elements in the order their refusals name them.
struct Element {
    double value;
    const char* english;
    const char* french;
};

// The second cage's are 0 without one.
std::array<Element, 8> Elements(const MotorDataSet& ds) {
    return {{{ds.Rs, "Rs", "Rs"},
             {ds.Rr, "R'r", "R'r"},
             {ds.Xssigma, "Xssigma", "Xssigma"},
             {ds.Xrsigma, "X'rsigma", "X'rsigma"},
             {ds.Xh, "Xh", "Xh"},
             {ds.Riron, "Riron", "Rfer"},
             {ds.Rr2, "R'r2", "R'r2"},
             {ds.Xr2sigma, "X'r2sigma", "X'r2sigma"}}};
}

// The slip-independent parts of the circuit's evaluation and the input impedance at standstill,
// which every start begins with, watched.
RangeWatch WatchCircuit(const MotorDataSet& ds) {
    RangeWatch watch;
    const CircuitEvaluator circuit(ds, &watch);
    circuit.InputImpedance(1, &watch);
    return watch;
}
} // namespace

Refusal CircuitRangeRefusal(const MotorDataSet& ds, const RangeWatch& watch, bool identified) {
    if (!watch.overflowed && !watch.vanished) return 0;
    if (identified) {
        const Field voltage = LineVoltageField(ds), current = LineCurrentField(ds);
        // Xh is the phase voltage over the no-load current when that is given.
        if (ds.ApproximationWithoutNoLoadCurrent) return Blame(watch.overflowed, {voltage}, {current});
        return Blame(watch.overflowed, {voltage}, {current, NoLoadCurrentField(ds)});
    }
    if (watch.overflowed) return ErrCircuitOverflow;
    const auto elements = Elements(ds);
    const Element* smallest = nullptr;
    for (const Element& e : elements)
        if (e.value != 0 && (!smallest || std::fabs(e.value) < std::fabs(smallest->value))) smallest = &e;
    if (!smallest) return ErrCircuitNotFinite;
    return {ErrValueVanishes, {smallest->english, smallest->french}};
}

Refusal CurveRatioRefusal(const MotorDataSet& ds, bool torque) {
    // In is the phase current; Tn = P / (2 pi n / 60), and the torque grows as the voltage squared.
    if (torque) return Blame(true, {LineVoltageField(ds), RatedSpeedField(ds)}, {MechanicalPowerField(ds)});
    return Blame(true, {LineVoltageField(ds)}, {LineCurrentField(ds)});
}

Refusal CheckRatedValues(const MotorDataSet& ds) {
    // In the order the rated values dialog checks its fields.
    if (!(ds.MechanicalPower > 0)) return ErrMechanicalPowerZero;
    if (!(ds.LineVoltage > 0)) return ErrLineVoltageZero;
    if (!(ds.Frequency > 0)) return ErrFrequencyZero;
    if (!(ds.LineCurrent > 0)) return ErrLineCurrentZero;
    if (ds.PowerFactor == 0 || !Finite(ds.PowerFactor)) return ErrPowerFactorZero;
    if (!(ds.RatedSpeed > 0)) return ErrRatedSpeedZero;

    // Every value the derivation stores must be finite and keep its digits, in its order.
    MotorDataSet probe = WithoutRows(ds);
    DeriveRatedValues(probe);
    const Field power = MechanicalPowerField(ds), voltage = LineVoltageField(ds), frequency = FrequencyField(ds),
                current = LineCurrentField(ds), powerFactor = PowerFactorField(ds), speed = RatedSpeedField(ds);
    if (probe.PairOfPoles == 0) return ErrNoPairOfPoles;
    if (Refusal e = Judge(probe.PairOfPoles, {frequency}, {speed})) return e;
    // The synchronous speed is close to the rated speed / 60, whatever the pole pairs.
    if (Refusal e = Judge(probe.SynchronousSpeed, {frequency, speed})) return e;
    if (Refusal e = Judge(probe.PhaseVoltage, {voltage})) return e;
    if (Refusal e = Judge(probe.PhaseCurrent, {current})) return e;
    if (Refusal e = Judge(probe.ElectricalPower, {voltage, current, powerFactor})) return e;
    if (Refusal e = Judge(probe.RatedTorque, {power}, {speed})) return e;
    if (Refusal e = Judge(probe.Efficiency, {power}, {voltage, current, powerFactor})) return e;
    return 0;
}

namespace {
// CheckIdentification on a plain copy of the data set, which it leaves identified when it accepts.
Refusal IdentificationRefusal(const MotorDataSet& ds, MotorDataSet& probe) {
    const Extended losses = static_cast<double>(static_cast<Extended>(ds.ElectricalPower) - ds.MechanicalPower);
    // A motor refused with 21 stays in the data set; negative losses would give negative resistances.
    if (losses < 0) return 21;
    if (losses == 0) return ErrNoLosses;
    // The reactive power at the rated point feeds the magnetising and leakage reactances: a power
    // factor of 1, or one whose radicand rounds to nothing, leaves the motor without one (at 1 the
    // radicand is rounding noise of either sign).
    const ReactivePowers reactive = IdentificationReactivePowers(probe);
    if (std::fabs(ds.PowerFactor) >= 1 || !(reactive.radicand > 0) || !(reactive.total > 0)) return 20;
    const Field voltage = LineVoltageField(ds), current = LineCurrentField(ds);
    if (Refusal e = Judge(reactive.total, {voltage, current})) return e;
    if (!ds.ApproximationWithoutNoLoadCurrent) {
        if (!(ds.NoLoadPhaseCurrent > 0) || !Finite(ds.NoLoadPhaseCurrent)) return ErrNoLoadCurrentZero;
        if (Vanished(ds.NoLoadPhaseCurrent)) return Blame(false, {NoLoadCurrentField(ds)});
        // Whatever the magnetising branch takes beyond Q would leave negative leakage reactances.
        if (!(reactive.leakage > 0)) {
            const Extended sinPhi = std::sqrt(1.0L - static_cast<Extended>(ds.PowerFactor) * ds.PowerFactor);
            const std::string limit = FormatFixed(static_cast<double>(ds.LineCurrent * sinPhi), 2);
            return {ErrNoLoadCurrentTooBig, {limit, limit}};
        }
    }

    // Every element scales as the phase voltage over the phase current (Xh over the no-load
    // current when that is given); the identified circuit must also evaluate without overflow.
    IdentifyEquivalentDiagram(probe);
    const Field noLoad = NoLoadCurrentField(ds);
    const bool given = !ds.ApproximationWithoutNoLoadCurrent;
    for (double element : {probe.Rs, probe.Riron, probe.Xssigma})
        if (Refusal e = Judge(element, {voltage}, {current})) return e;
    if (Refusal e = given ? Judge(probe.Xh, {voltage}, {noLoad}) : Judge(probe.Xh, {voltage}, {current})) return e;
    if (!given && Vanished(probe.NoLoadLineCurrent)) return Blame(false, {current});
    return CircuitRangeRefusal(ds, WatchCircuit(probe), true);
}
} // namespace

Refusal CheckIdentification(const MotorDataSet& ds) {
    MotorDataSet probe = WithoutRows(ds);
    return IdentificationRefusal(ds, probe);
}

namespace {
// The elements' own refusals: finite, not negative, and no parallel combination dividing by 0.
Refusal ElementRefusal(const MotorDataSet& ds) {
    const auto elements = Elements(ds);
    for (const Element& e : elements)
        if (!Finite(e.value)) return ErrCircuitNotFinite;
    for (const Element& e : elements)
        if (e.value < 0) return {ErrNegativeElement, {e.english, e.french}};
    if (ds.Rr == 0) return ErrRotorResistanceZero;
    // Without resistance a second cage leaves the rotor undefined at synchronous speed (R'r2 / s = 0 / 0).
    if (HasSecondCage(ds) && ds.Rr2 == 0) return {ErrValueAboveAtMost, {"R'r2", "R'r2", "0\u00a0Ω", "0\u00a0Ω"}};
    // Zs + Zh and Zfe + Zh are denominators of the parallel combinations.
    if (ds.Rs == 0 && static_cast<Extended>(ds.Xssigma) + ds.Xh == 0) return ErrCircuitNotFinite;
    if (ds.Riron == 0 && ds.Xh == 0) return ErrCircuitNotFinite;
    return 0;
}
} // namespace

Refusal CheckCircuit(const MotorDataSet& ds) {
    if (Refusal e = ElementRefusal(ds)) return e;
    return CircuitRangeRefusal(ds, WatchCircuit(ds), false);
}

Refusal CheckStartSettings(const MotorDataSet& ds) {
    if (!(ds.EstimatedStartTime > 0) || !Finite(ds.EstimatedStartTime)) return ErrEstimatedTimeZero;
    // The span (1.5 T), its step (1.5 T / 100) and the speed law's time constant (0.2 T).
    const Field time = EstimatedTimeField(ds);
    const double span = static_cast<double>(1.5L * ds.EstimatedStartTime);
    if (Refusal e = Judge(span, {time})) return e;
    if (Refusal e = Judge(static_cast<double>(span * 0.01L), {time})) return e;
    if (Refusal e = Judge(static_cast<double>(0.2L * ds.EstimatedStartTime), {time})) return e;
    if (!(ds.Preset >= 0 && ds.Preset <= 1)) return ErrPresetRange;
    return 0;
}

Refusal CheckComputable(const MotorDataSet& ds) {
    if (ds.MechanicalPower == 0 && ds.LineVoltage == 0 && ds.LineCurrent == 0 && ds.RatedSpeed == 0)
        return ErrNoMotor;
    if (Refusal e = CheckRatedValues(ds)) return e;
    // The derived values come from the last confirmation; without one there is no motor yet.
    if (!(ds.SynchronousSpeed > 0) || !Finite(ds.SynchronousSpeed) || ds.PhaseCurrent == 0 ||
        !Finite(ds.PhaseCurrent) || ds.RatedTorque == 0 || !Finite(ds.RatedTorque) || !Finite(ds.PhaseVoltage))
        return ErrNoMotor;
    // The circuit's range is judged once: where it is identified, or as given.
    MotorDataSet circuit = WithoutRows(ds);
    const bool given = CircuitGiven(ds);
    if (!given) {
        if (Refusal e = IdentificationRefusal(ds, circuit)) return e; // identifies the circuit
        if (Refusal e = ElementRefusal(circuit)) return e;
    } else if (Refusal e = CheckCircuit(circuit)) {
        return e;
    }
    if (Refusal e = CheckStartSettings(ds)) return e;
    // The final speed comes from the operating point of the load at full voltage.
    RangeWatch watch;
    bool noSolution = false;
    OperatingSlip(circuit, LoadTorque(circuit, circuit.SynchronousSpeed), circuit.PhaseVoltage, noSolution, &watch);
    if (Refusal e = CircuitRangeRefusal(ds, watch, !given)) return e;
    // A load the motor cannot carry has no final speed; it must never be drawn as if there were one.
    return noSolution ? 70 : 0;
}

Refusal ConfirmRatedValues(MotorDataSet& ds) {
    if (Refusal e = CheckRatedValues(ds)) return e;
    DeriveRatedValues(ds);
    // The identification needs reactive power, which a power factor of 1 leaves none of.
    if (std::fabs(ds.PowerFactor) >= 1) return 20;
    if (ds.ElectricalPower < ds.MechanicalPower) return 21;
    return CheckIdentification(ds);
}
