#pragma once
// From the nameplate to the derived rated values and the per-phase equivalent circuit.

#include "MotorDataSet.h"

// Pole pairs, synchronous speed, phase voltage and currents by coupling, electrical power,
// rated torque and efficiency.
void DeriveRatedValues(MotorDataSet& ds);

// The six circuit elements by the fixed division of losses and reactive power, one rotor cage;
// with the approximation also the no-load currents.
void IdentifyEquivalentDiagram(MotorDataSet& ds);

// The reactive powers of the identification, exactly as IdentifyEquivalentDiagram computes them:
// the radicand (3 Uph Iph)^2 - ElectricalPower^2 of the rated point's Q, Q itself, and the share
// left to the two leakage reactances. The identification needs both to be positive.
struct ReactivePowers {
    Extended radicand = 0;
    double total = 0;   // Q, var
    double leakage = 0; // LeakageQ, var
};
ReactivePowers IdentificationReactivePowers(const MotorDataSet& ds);
