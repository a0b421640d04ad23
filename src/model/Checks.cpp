#include "Checks.h"

#include <cmath>

#include "ErrorMessages.h"
#include "Identification.h"

namespace {
bool Finite(double v) { return std::isfinite(v); }
} // namespace

Refusal CheckRatedValues(const MotorDataSet& ds) {
    // In the order the rated values dialog checks its fields.
    if (!(ds.MechanicalPower > 0)) return ErrMechanicalPowerZero;
    if (!(ds.LineVoltage > 0)) return ErrLineVoltageZero;
    if (!(ds.Frequency > 0)) return ErrFrequencyZero;
    if (!(ds.LineCurrent > 0)) return ErrLineCurrentZero;
    if (ds.PowerFactor == 0 || !Finite(ds.PowerFactor)) return ErrPowerFactorZero;
    if (!(ds.RatedSpeed > 0)) return ErrRatedSpeedZero;
    MotorDataSet probe;
    probe.Frequency = ds.Frequency;
    probe.RatedSpeed = ds.RatedSpeed;
    DeriveRatedValues(probe);
    if (probe.PairOfPoles == 0) return ErrNoPairOfPoles;
    return 0;
}

Refusal CheckIdentification(const MotorDataSet& ds) {
    const Extended losses = static_cast<double>(static_cast<Extended>(ds.ElectricalPower) - ds.MechanicalPower);
    if (losses == 0) return ErrNoLosses;
    if (ds.ApproximationWithoutNoLoadCurrent) {
        const Extended s = 3.0L * ds.PhaseVoltage * ds.PhaseCurrent;
        const Extended p = ds.ElectricalPower;
        // At a power factor of 1 the reactive power is only rounding noise: no magnetising branch.
        if (std::fabs(ds.PowerFactor) >= 1 || static_cast<double>(std::sqrt(s * s - p * p)) == 0)
            return ErrPowerFactorOneApprox;
    } else if (ds.NoLoadPhaseCurrent == 0 || !Finite(ds.NoLoadPhaseCurrent)) {
        return ErrNoLoadCurrentZero;
    }
    return 0;
}

Refusal CheckCircuit(const MotorDataSet& ds) {
    for (double v : {ds.Rs, ds.Xssigma, ds.Rr, ds.Xrsigma, ds.Xh, ds.Riron})
        if (!Finite(v)) return ErrCircuitNotFinite;
    if (ds.Rr == 0) return ErrRotorResistanceZero;
    // Zs + Zh and Zfe + Zh are denominators of the parallel combinations.
    if (ds.Rs == 0 && static_cast<Extended>(ds.Xssigma) + ds.Xh == 0) return ErrCircuitNotFinite;
    if (ds.Riron == 0 && ds.Xh == 0) return ErrCircuitNotFinite;
    return 0;
}

Refusal CheckStartSettings(const MotorDataSet& ds) {
    if (!(ds.EstimatedStartTime > 0) || !Finite(ds.EstimatedStartTime)) return ErrEstimatedTimeZero;
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
    if (!ds.MotorFromList) {
        if (Refusal e = CheckIdentification(ds)) return e;
        MotorDataSet identified = ds;
        IdentifyEquivalentDiagram(identified);
        if (Refusal e = CheckCircuit(identified)) return e;
    } else if (Refusal e = CheckCircuit(ds)) {
        return e;
    }
    return CheckStartSettings(ds);
}

Refusal ConfirmRatedValues(MotorDataSet& ds) {
    if (Refusal e = CheckRatedValues(ds)) return e;
    DeriveRatedValues(ds);
    if (std::fabs(ds.PowerFactor) > 1) return 20;
    if (ds.ElectricalPower < ds.MechanicalPower) return 21;
    return CheckIdentification(ds);
}
