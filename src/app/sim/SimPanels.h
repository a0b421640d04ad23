#pragma once
// The rated values and soft-starter panels as tarvello-sim prints them, with the main window's
// labels and number formats, and the dynamic start's results (plain C++, no Qt).

#include <string>

#include "Dynamics.h"
#include "ErrorMessages.h"
#include "MotorDataSet.h"
#include "ToleranceCorners.h"

std::string PanelText(const MotorDataSet& ds, Language language);

// The dynamic start: the inertia used, then each start's results, a stall or a start cut by the
// time limit said plainly with its speed. Begins with an empty line, to follow PanelText. With a
// data sheet's motor through a network, the fit's priority; with the tolerance corners, their
// run-up times.
std::string DynamicPanelText(const DynamicSettings& settings, const DynamicResults& results,
                             Language language, const MotorDataSet* ds = nullptr,
                             const ToleranceCorners* corners = nullptr);

// The starting methods side by side, one line each, then the starter's duty check when one is given.
std::string ComparisonPanelText(const DynamicSettings& settings, const ComparisonResults& comparison,
                                Language language);
