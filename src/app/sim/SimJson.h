#pragma once
// The results as tarvello-sim --json prints them: one JSON object on one line, numbers with the
// shortest digits that read back to the same double, null for a value that is not (plain C++, no
// Qt, so that checks and fuzzing can use it without a display).

#include <string>

#include "Dynamics.h"
#include "ToleranceCorners.h"
#include "MotorDataSet.h"

// One line: the motor data set's object and "\n".
std::string MotorDataSetJson(const MotorDataSet& ds);

// The motor data set's object, then "Dynamic" when a dynamic start is given, "Comparison" and,
// with a starter, "StarterDuty" when a comparison is given, "ToleranceCorners" when they are
// given; one line and "\n".
std::string SimulationJson(const MotorDataSet& ds, const DynamicResults* dynamic,
                           const ComparisonResults* comparison = nullptr,
                           const ToleranceCorners* corners = nullptr);

// The comparison as a table: a header of "Method" and the keys of the JSON's "Comparison" entries,
// then one line per method; ";" between cells, numbers with 17 significant digits, true/false,
// an empty cell for null, CR LF after each line.
std::string ComparisonCsvText(const ComparisonResults& comparison);
