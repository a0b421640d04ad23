#pragma once
// The dynamic start: the motor accelerates by its torque balance with the inertia of rotor and
// driven load, direct-on-line or through the soft-starter, on a stiff supply or through a supply
// network (source, transformer, cable); every usual starting method simulated side by side; the
// soft-starter's thermal duty check. Runs on a motor data set after a successful results
// computation (circuit identified or listed, ramp time searched or selected).

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "ErrorMessages.h"
#include "MotorDataSet.h"
#include "Protection.h"

// ---- Settings ----------------------------------------------------------------------------------

// Longest start-time limit accepted, s: every start is integrated at most this far.
constexpr double MaxStartTimeLimit = 3600;
// Most parallel runs of a cable.
constexpr int MaxCableParallel = 20;
// The comparison's current limit, Imax/In, when neither it nor the soft-starter's mode gives one.
constexpr double DefaultComparisonCurrentLimit = 3;

struct MechanicalData {
    std::optional<double> MotorInertia; // kg m2; unset: the typical value for the motor's power and poles
    double LoadInertia = 0;             // kg m2, referred to the motor shaft
    double StartTimeLimit = 60;         // s; a start not run up by then is stalled and too long
};

enum class CableMaterial { Copper, Aluminium };

struct SupplyNetwork {
    bool Enabled = false;                    // false: stiff supply; the other fields are kept for later
    std::optional<double> SourceVoltage;     // line voltage U_src, V; unset: the motor's LineVoltage
    std::optional<double> ShortCircuitPower; // S_k, VA; unset: infinite source (Z_k = 0)
    double SourceRX = 0.1;                   // R/X of the source
    bool HasTransformer = false;
    double TransformerPower = 0; // S_T, VA
    double TransformerUk = 0;    // u_k, %
    double TransformerUr = 0;    // u_R, %
    bool HasCable = false;
    double CableLength = 0;  // m
    double CableSection = 0; // mm2
    CableMaterial Material = CableMaterial::Copper;
    int CableParallel = 1;        // parallel runs
    double CableReactance = 0.08; // x', ohm/km
};

struct MethodSettings {
    double ChangeoverSpeed = 0.9;     // f, fraction of synchronous speed
    double AutotransformerTap = 0.65; // k of the autotransformer
    double ReactorVoltage = 0.65;     // k: motor voltage at standstill over rated, sizes the reactor
    // Imax/In of the comparison's soft-starter start with current limit; unset: the soft-starter's
    // DesiredImaxIn in current-limit mode, else DefaultComparisonCurrentLimit.
    std::optional<double> CurrentLimit;
};

// "Ie AC-53a: X-Tx: F-S" and the starts per hour the application needs.
struct StarterDuty {
    double RatedCurrent = 0;  // Ie, A
    std::string RatingCode;   // as typed, e.g. "AC-53a: 3.5-17: 90-5"
    double StartsPerHour = 0; // N
};

// The four numbers of a rating code.
struct StarterRatingCode {
    double CurrentMultiple = 0; // X
    double StartTime = 0;       // Tx, s
    double OnLoadFactor = 0;    // F, % (not judged)
    double StartsPerHour = 0;   // S
};

struct DynamicSettings {
    MechanicalData Mechanical;
    SupplyNetwork Network;
    double DipLimit = 10; // %, a larger busbar dip is flagged
    MethodSettings Methods;
    std::optional<StarterDuty> Starter; // judged only when given
    // The overload relay and the motor's thermal limit; judged only when given (a relay class).
    std::optional<ProtectionSettings> Protection;
    // Relative (and, on the scaled state, absolute) error tolerance of the integration, used
    // within 1e-13 to 1e-5; the results move by about as much. Tests tighten it to show that
    // they do not depend on the step.
    double Tolerance = 1e-8;
};

// Star-equivalent impedances per phase at the motor's voltage level, ohms.
struct NetworkImpedance {
    double R = 0, X = 0;
};
struct NetworkImpedances {
    double SourceVoltage = 0;     // line voltage U_src actually used, V
    NetworkImpedance Source;      // Z_k (0 for an infinite source)
    NetworkImpedance Transformer; // Z_T (0 without a transformer)
    NetworkImpedance Cable;       // Z_c (0 without a cable)
};

// ---- Results -----------------------------------------------------------------------------------

// One start (direct-on-line, soft-starter, or a starting method of the comparison). Optional
// values are null where the JSON output has null.
struct StartOutcome {
    bool Stalled = false;             // does not reach 98 % of the operating speed (stall or time limit)
    bool TooLong = false;             // the start-time limit ran out
    std::optional<double> StallSpeed; // rpm; set only when Stalled
    std::optional<double> RunUpTime;  // s, first time n >= 0.98 n_op
    std::optional<double> PeakCurrentRatio;           // largest supply line current / LineCurrent
    std::optional<double> PeakLineCurrent;            // A, supply side
    std::optional<double> RotorEnergy;                // J
    std::optional<double> StatorEnergy;               // J
    std::optional<double> MinAcceleratingTorqueRatio; // (T - TL) / Tn over [0, t_b]
    std::optional<double> OperatingSpeed;             // rpm; null when the motor has no operating point
    std::optional<double> RmsCurrent;                 // A, sqrt(integral of I_line^2 dt / t_a)
    // A start that does not run up: its largest supply line current over the start-time limit,
    // the interval its dynamic start curves show (null for a start that runs up).
    std::optional<double> StalledPeakCurrentRatio; // / LineCurrent
    std::optional<double> StalledPeakLineCurrent;  // A
    double StartingTorqueRatio = 0; // T / Tn at standstill at t = 0, with the connection in use
    double MaxVoltageDip = 0;       // %, largest busbar dip (0 without a network)
    double MinMotorVoltage = 100;   // %, lowest winding voltage over PhaseVoltage
    bool VoltageDipExceeded = false;
};

// A start sampled at the times of its results; every vector has one entry per time.
struct StartCurves {
    std::vector<double> Speed;      // n / ns
    std::vector<double> Current;    // supply line current / LineCurrent
    std::vector<double> Torque;     // T / Tn
    std::vector<double> LoadTorque; // TL / Tn
    std::vector<double> Voltage;    // winding voltage / PhaseVoltage
    std::vector<double> BusVoltage; // |U_bus| / (U_src / sqrt 3); 1 without a network
};

// A start as a chart draws it, over the same interval as the curves: evenly spaced times merged
// with the exact instants of its reported peak current, largest dip and lowest motor voltage and
// of each changeover, taken on both sides of the jump (that time then appears twice, the reduced
// connection first). The chart thus never shows less than the results.
struct ChartCurves {
    std::vector<double> Times;
    StartCurves Values;
};

struct DynamicResults {
    double MotorInertia = 0;     // the value used, kg m2
    bool TypicalInertia = false; // it is the typical value, not the user's
    StartOutcome Dol, SoftStarter;
    std::vector<double> Times; // t_k = k t_end / (samples - 1)
    StartCurves DolCurves, SoftStarterCurves;
    ChartCurves DolChart, SoftStarterChart; // when chart points are asked for
    std::optional<ProtectionResults> Protection; // when the settings give a relay
};

enum class StartingMethod { Dol, StarDelta, Autotransformer, Reactor, SoftRamp, SoftLimit };
constexpr int StartingMethodCount = 6;
// "dol", "star-delta", "autotransformer", "reactor", "soft-ramp", "soft-limit".
const char* MethodKey(StartingMethod method);

// A method that does not apply keeps the default outcome: not stalled, its numbers meaningless
// (every one of them null in the JSON) and its curves empty.
struct MethodOutcome {
    StartingMethod Method = StartingMethod::Dol;
    bool Applicable = true; // star-delta only for a motor that runs in delta
    StartOutcome Outcome;
    StartCurves Curves;
    // Star-delta, autotransformer and reactor: the speed of the switch to full voltage (f ns, or
    // 0.98 n_s when the reduced stage stops accelerating at n_s below it; null when it cannot
    // start the load at all), rpm, and the time it was reached (null if never).
    std::optional<double> ChangeoverSpeed, ChangeoverTime;
    ChartCurves Chart; // when chart points are asked for
    std::optional<StartProtection> Protection; // when the settings give a relay and the method applies
};

struct StarterDutyResult {
    bool Pass = false, CurrentPass = false, TimePass = false, StartsPass = false, RatedCurrentPass = false;
    std::optional<double> CurrentMargin, TimeMargin; // null for a stalled or too-long start
    double StartsMargin = 0, RatedCurrentMargin = 0;
    std::optional<double> RmsCurrent, RunUpTime, SmallestIe;
};

struct ComparisonResults {
    std::vector<double> Times; // common to every method
    double CurrentLimit = 0;   // Imax/In of the soft-starter start with current limit
    std::array<MethodOutcome, StartingMethodCount> Methods;
    std::optional<StarterDutyResult> Duty; // when the settings give a starter
    // When the settings give a relay: its figures, the locked-rotor check, and as Dol and
    // SoftStarter those of the comparison's direct-on-line and soft-starter (as the data set sets
    // it: ramp or current limit) methods.
    std::optional<ProtectionResults> Protection;
};

// ---- Operations --------------------------------------------------------------------------------

// Typical rotor inertia of a motor of this mechanical power (W) and number of pole pairs; 0 for a
// power that is not above 0.
double TypicalMotorInertia(double mechanicalPower, double pairOfPoles);
// The motor inertia a start uses: the user's, else the typical one of the data set's motor.
double UsedMotorInertia(const MechanicalData& mechanical, const MotorDataSet& ds);

// The impedances of an enabled network (all 0 for a stiff supply).
NetworkImpedances SupplyImpedances(const SupplyNetwork& network, const MotorDataSet& ds);

// Every number a user gives the settings, in the order of the dialogs; each has its physical range.
enum class SettingField {
    MotorInertia,
    LoadInertia,
    StartTimeLimit,
    SourceVoltage,
    ShortCircuitPower,
    SourceRX,
    TransformerPower,
    TransformerUk,
    TransformerUr,
    CableLength,
    CableSection,
    CableParallel,
    CableReactance,
    DipLimit,
    ChangeoverSpeed,
    AutotransformerTap,
    ReactorVoltage,
    ComparisonCurrentLimit,
    StarterCurrent,
    StartsPerHour,
    RatingX,
    RatingTx,
    RatingF,
    RatingS,
};
constexpr std::size_t SettingFieldCount = 24;
// The field's name, as its refusals give it in each language.
ErrorArgument SettingName(SettingField field);
// Whether a value (in the field's own unit: VA, m, ...) lies within the field's range.
bool WithinRange(SettingField field, double value);

// The comparison's current limit, Imax/In: the settings', else in current-limit mode the
// soft-starter's, else DefaultComparisonCurrentLimit.
double ComparisonCurrentLimit(const MethodSettings& methods, const MotorDataSet& ds);

// The parallel runs a typed number gives: a whole number within the range, else refusal 124.
Refusal CableParallelRuns(double typed, int& runs);

// Refusals of settings that cannot be computed with (numbers 110-149, and 228-229 for a value
// beyond its range), before any computation.
Refusal CheckMechanicalData(const MechanicalData& mechanical, const MotorDataSet& ds);
Refusal CheckSupplyNetwork(const SupplyNetwork& network);
Refusal CheckMethodSettings(const MethodSettings& methods);
Refusal ParseStarterRating(const std::string& code, StarterRatingCode& out);
Refusal CheckStarterDuty(const StarterDuty& starter);
// The supply: network, dip limit, and an enabled network's impedances finite at the data set's
// voltage, once one is known (what the supply network dialog sets).
Refusal CheckSupplySettings(const DynamicSettings& settings, const MotorDataSet& ds);
// What the dynamic start uses: mechanical data, then the supply as above.
Refusal CheckDynamicStartSettings(const DynamicSettings& settings, const MotorDataSet& ds);
// Everything: the above, then the methods and the starter when one is given.
Refusal CheckDynamicSettings(const DynamicSettings& settings, const MotorDataSet& ds);

// Largest number of curve points a computation gives.
constexpr int MaxCurveSamples = 100001;

// Both starts of the data set's current computation. samples >= 2 fills Times and the curves with
// that many points (at most MaxCurveSamples); fewer leave them empty. chartPoints >= 2 fills the
// charts' samples over the same interval with that many evenly spaced times (at most
// MaxCurveSamples) and the instants they must show. Returns 0, a refusal of the
// settings, one of the model's numbers for a data set not computed (70 load, 80 no motor, 91 and
// 92 circuit, 94 limit, 98 preset), or 114 for an inertia too small to follow the start to its
// end; on a refusal out is left as it was.
Refusal ComputeDynamicStart(const MotorDataSet& ds, const DynamicSettings& settings, DynamicResults& out,
                            int samples = 201, int chartPoints = 0);

// One start by one method, without curves: a row of the comparison (the direct-on-line run-up
// time the soft-starter dialog offers as the estimated start time). A method that does not apply
// to the motor gives Applicable false and an empty outcome. The starter is not judged here.
Refusal ComputeMethodStart(const MotorDataSet& ds, const DynamicSettings& settings, StartingMethod method,
                           MethodOutcome& out);

// Every starting method, in the order of StartingMethod, and the duty check of the soft-starter
// start; samples and chartPoints as for ComputeDynamicStart, the curves and charts over the
// longest run-up of the methods that run up (the start-time limit when none does).
Refusal ComputeComparison(const MotorDataSet& ds, const DynamicSettings& settings, ComparisonResults& out,
                          int samples = 201, int chartPoints = 0);

// The duty check of a soft-starter start.
StarterDutyResult JudgeStarterDuty(const StarterDuty& starter, const StarterRatingCode& code,
                                   const StartOutcome& softStart, double ratedLineCurrent);

// The time-current chart of a dynamic start computed with a relay (results.Protection set): the
// starts' paths from the chart samples (the curves when there are none), the relays' trip curves
// with `points` currents each, the motor's limit lines. lineCurrent is the data set's In.
TimeCurrentCurves ComputeTimeCurrentCurves(const DynamicResults& results, double lineCurrent, int points = 100);
