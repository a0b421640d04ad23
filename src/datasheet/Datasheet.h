#pragma once
// A motor's double-cage circuit identified from its data sheet: the nameplate and the
// locked-rotor current Ia/In, locked-rotor torque Ta/Tn and breakdown torque Tk/Tn.

#include "CageModel.h"
#include "ErrorMessages.h"
#include "MotorDataSet.h"

// The data sheet of a motor whose rated values are derived (DeriveRatedValues), per winding.
datasheet::Targets DatasheetTargets(const MotorDataValues& ds);
