#pragma once
// A motor's double-cage circuit identified from its data sheet: the nameplate and the
// locked-rotor current Ia/In, locked-rotor torque Ta/Tn and breakdown torque Tk/Tn. The README
// beside this file gives the method.

#include "CageModel.h"
#include "ErrorMessages.h"
#include "MotorDataSet.h"

// The data sheet's own bounds: all three ratios or none; Ia/In in (1, 20], Ta/Tn in (0, 10],
// Tk/Tn in (1, 10] and not below Ta/Tn (the breakdown torque is the largest over [s_N, 1]).
Refusal CheckDatasheet(const MotorDataSet& ds);
// The names the messages give the ratios, 0 Ia/In, 1 Ta/Tn, 2 Tk/Tn: the desktop's fields carry them.
const ErrorArgument& DatasheetRatioName(int index);

// The circuit of a motor whose nameplate is derived (DeriveRatedValues) and whose data sheet
// passes CheckDatasheet: writes Rs, Xssigma, Xh, Riron, Rr, Xrsigma, Rr2, Xr2sigma and Fit, and
// returns 0; a refusal leaves the data set as it was. Depends on the data sheet and the priority
// alone (no state is kept between calls, so calls may run in parallel).
Refusal IdentifyFromDatasheet(MotorDataSet& ds);

// The same on plain numbers, for tools that fit many data sheets.
datasheet::Targets DatasheetTargets(const MotorDataValues& ds); // per winding, SI units
struct DatasheetOutcome {
    Refusal refusal; // 0 when a circuit was identified
    datasheet::CageCircuit circuit;
    DatasheetFit fit;
};
DatasheetOutcome FitDatasheet(const datasheet::Targets& t, FitPriority priority);

// The slip at which a circuit gives the rated torque (its rated point: the smallest such slip),
// with its efficiency and power factor there.
struct RatedPoint {
    double slip = 0, efficiency = 0, powerFactor = 0;
};
RatedPoint RatedPointOf(const datasheet::CageCircuit& c, const datasheet::Targets& t);
