#pragma once
// One case of tarvello-sim: the option texts read as the dialogs read their fields (TextToReal,
// the same checks, in the same order) into a motor data set and the dynamic start's settings,
// then the computations that the outputs need (plain C++, no Qt). A single run and every case of
// a sweep go through exactly this path.

#include <optional>

#include "Dynamics.h"
#include "ErrorMessages.h"
#include "MotorDataSet.h"
#include "SimOptions.h"
#include "StartSimulation.h"

// What is the same for every case of a command, read once.
struct CaseSource {
    const SimOptions* options = nullptr;
    Language language = Language::English;
    // The catalogue record's motor as the selection dialog takes it: rated values, circuit as
    // listed, derived values.
    std::optional<MotorDataSet> catalogueMotor;
};

// Reads the catalogue record when one is named. Throws UsageError (a record that is no whole
// number), ListFileError, or the Refusal of a listed motor that cannot be used.
CaseSource PrepareCases(const SimOptions& options, Language language);

struct BuiltCase {
    MotorDataSet ds;          // as after the rated values (or selection), soft-starter and load dialogs
    DynamicSettings settings; // mechanical data, network, methods, starter
};

// Reads one case. Throws Refusal (numbered), EConvertError (an option of the original program
// whose text is no number), UsageError (a circuit without six values).
void BuildCase(const CaseSource& source, const CaseTexts& texts, BuiltCase& out);

// What the outputs of a command need computed.
struct CaseNeeds {
    bool points = false;      // the time points (and, with --static, the static points) for charts
    bool staticCurves = true; // compute the curves against n/ns when the data set asks for them
    bool dynamic = false;     // the dynamic start
    int dynamicSamples = 0;   // points of its curves (0: none)
    bool compare = false;     // the starting methods side by side (and the duty check)
};

struct CaseResults {
    CurveBuffer timePoints, staticPoints;
    DynamicResults dynamic;
    ComparisonResults comparison;
};

// The results computation, then the dynamic start when needed. Returns 0 or the refusal.
Refusal ComputeCase(BuiltCase& c, const CaseNeeds& needs, CaseResults& out);
