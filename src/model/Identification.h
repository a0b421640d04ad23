#pragma once
// From the nameplate to the derived rated values and the per-phase equivalent circuit.

#include "MotorDataSet.h"

// Pole pairs, synchronous speed, phase voltage and currents by coupling, electrical power,
// rated torque and efficiency.
void DeriveRatedValues(MotorDataSet& ds);

// The six circuit elements by the fixed division of losses and reactive power; with the
// approximation also the no-load currents.
void IdentifyEquivalentDiagram(MotorDataSet& ds);
