#pragma once
// One case of tarvello-sim: the study (when one is given) and the option texts read as the dialogs
// read their fields (TextToReal, the same checks, in the same order) into a motor data set and the
// dynamic start's settings, then the computations that the outputs need (plain C++, no Qt). A
// single run and every case of a sweep go through exactly this path.

#include <array>
#include <exception>
#include <memory>
#include <optional>

#include "Dynamics.h"
#include "ErrorMessages.h"
#include "MotorDataSet.h"
#include "SimOptions.h"
#include "StartSimulation.h"
#include "Study.h"

// A motor read once for every case of a sweep: the data set after the rated values (or selection)
// dialog and where it came from, or what refused it.
struct SharedMotor {
    MotorDataSet ds;
    MotorSource source = MotorSource::Typed;
    std::exception_ptr failure;
};

// What is the same for every case of a command, read once.
struct CaseSource {
    const SimOptions* options = nullptr;
    Language language = Language::English;
    // The catalogue record's motor as the selection dialog takes it: rated values, circuit as
    // listed, derived values.
    std::optional<MotorDataSet> catalogueMotor;
    // The study given with --study, and the data set and settings it makes (ApplyStudy).
    std::optional<Study> study;
    MotorDataSet studyData;
    // The motor, when every case reads the same one (a sweep that varies none of its options).
    std::shared_ptr<const SharedMotor> sharedMotor;
};

// A study file that cannot be read: its refusal with the line it concerns, and the language to
// say it in (--lang, else the study's, else English).
struct StudyLoadError {
    StudyRefusal refusal;
    Language language = Language::English;
};

// Reads what is the same for every case: the study and the catalogue record. The language is
// --lang, else the study's, else English. Throws StudyLoadError, UsageError (a record that is no
// whole number), ListFileError, or the Refusal of a listed motor that cannot be used.
CaseSource PrepareCases(const SimOptions& options);

// Reads the motor once for a sweep that varies none of the motor's options; the cases then take
// it as read (the same texts give the same motor, refusal included).
void ShareMotor(CaseSource& source, const std::array<bool, OptCount>& swept);

// Where the case's motor came from, and what the study of it keeps besides the data set.
struct BuiltCase {
    MotorDataSet ds;          // as after the rated values (or selection), soft-starter and load dialogs
    DynamicSettings settings; // mechanical data, network, methods, starter
    StudyChoices choices;     // the motor's source, the load kind, the typed ramp time
};

// Reads one case. Throws Refusal (numbered; also for an option whose text is no number),
// UsageError (a circuit without six values).
void BuildCase(const CaseSource& source, const CaseTexts& texts, BuiltCase& out);

// The study that a case describes, with the language of --lang or of the study given (none else).
Study CaseStudy(const CaseSource& source, const BuiltCase& c);

// Reads, before a sweep, the texts that every case shares, so that one that is not a number is
// the command's error rather than every row's: throws what BuildCase would.
void CheckSharedTexts(const SimOptions& options, const std::array<bool, OptCount>& swept);

// What the outputs of a command need computed.
struct CaseNeeds {
    bool points = false;      // the time points (and, with --static, the static points) for charts
    bool staticCurves = true; // compute the curves against n/ns when the data set asks for them
    bool dynamic = false;     // the dynamic start
    int dynamicSamples = 0;   // points of its curves (0: none)
    int chartPoints = 0;      // points of its charts, evenly spaced beside the exact peaks (0: none)
    bool compare = false;     // the starting methods side by side (and the duty check)
};

struct CaseResults {
    CurveBuffer timePoints, staticPoints;
    DynamicResults dynamic;
    ComparisonResults comparison;
};

// The results computation, then the dynamic start and the comparison when needed. Returns 0 or the
// refusal.
Refusal ComputeCase(BuiltCase& c, const CaseNeeds& needs, CaseResults& out);
