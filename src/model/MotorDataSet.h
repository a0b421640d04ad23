#pragma once
// The one motor the program works on: rated values, derived values, equivalent circuit,
// soft-starter and load settings, computed curves, catalogue rows, workflow and language flags.
// Every part of the program reads and writes these fields directly; the programs hold one instance.

#include <array>
#include <string>
#include <vector>

// Stored quantities are doubles; intermediate arithmetic runs in long double (80-bit on x86-64).
using Extended = long double;

constexpr int CurvePoints = 100;
using Curve = std::array<double, CurvePoints>; // entry k-1 holds time point k (k = 1 ... 100)

// Which data-sheet values a best fit keeps closest when no circuit meets them all.
enum class FitPriority { Torque, Current };

// The outcome of identifying a double-cage circuit from a data sheet.
struct DatasheetFit {
    bool Exact = false;
    double Kr = 0; // Rs / R'r
    double Kx = 0; // X'r2sigma / Xssigma
    // Model over target minus 1, in this order: current and power factor at the rated slip, rated
    // torque, locked-rotor torque, locked-rotor current, breakdown torque.
    std::array<double, 6> Deviations{};
    double BreakdownSlip = 0; // of the largest torque over [s_N, 1]
    // The fitted motor at the slip where it gives the rated torque.
    double RatedSlip = 0;
    double RatedEfficiency = 0; // fraction, not %
    double RatedPowerFactor = 0;
};

// Everything of the data set but the catalogue rows: what a computation or a check works on.
struct MotorDataValues {
    // Rated values (nameplate)
    std::string ConstructorName;
    std::string MotorSize;
    double MechanicalPower = 0;   // W
    double LineVoltage = 0;       // V
    double LineCurrent = 0;       // A
    double PowerFactor = 0;       // cos phi
    double Frequency = 0;         // Hz
    double RatedSpeed = 0;        // rpm
    double NoLoadLineCurrent = 0; // A
    bool StarCoupling = false;
    bool ApproximationWithoutNoLoadCurrent = false;

    // Derived rated values (DeriveRatedValues)
    double PairOfPoles = 0;
    double SynchronousSpeed = 0; // rev/s
    double PhaseVoltage = 0;     // V
    double PhaseCurrent = 0;     // A
    double NoLoadPhaseCurrent = 0;
    double ElectricalPower = 0;  // W
    double RatedTorque = 0;      // Nm
    double Efficiency = 0;       // %

    // Equivalent circuit, per phase, ohms
    double Rs = 0;
    double Xssigma = 0;
    double Rr = 0;
    double Xrsigma = 0;
    double Xh = 0;
    double Riron = 0;
    // Second rotor cage (the starting cage) in parallel with R'r + jX'rsigma; both 0 without one.
    double Rr2 = 0;
    double Xr2sigma = 0;

    // Data sheet: locked-rotor current Ia/In, locked-rotor torque Ta/Tn and breakdown torque Tk/Tn,
    // all three 0 without one. With one, the circuit is the double cage identified from it.
    double LockedRotorCurrentRatio = 0;
    double LockedRotorTorqueRatio = 0;
    double BreakdownTorqueRatio = 0;
    FitPriority Priority = FitPriority::Torque;
    DatasheetFit Fit; // valid with a data sheet, once identified

    // Soft-starter settings
    double EstimatedStartTime = 0; // s
    double Preset = 0;             // fraction of PhaseVoltage
    double ImaxIn = 0;             // achieved peak current ratio of the last computation
    double DesiredImaxIn = 0;      // the user's desired maximum current ratio (current-limit mode)
    double SoftStarterTime = 0;    // ramp time, s
    bool LimitCurrentMode = false;
    bool SelectedTimeMode = false;

    // Load torque T0 + T1 n + T2 n^2, n in rev/s
    double T0 = 0;
    double T1 = 0;
    double T2 = 0;

    // Computed curves
    Curve TimeAxis{};
    Curve DolCurrentCurve{};
    Curve DolTorqueCurve{};
    Curve SoftStarterCurrentCurve{};
    Curve SoftStarterTorqueCurve{};
    Curve SpeedAxis{};

    // Workflow state
    bool MotorIdentified = false;
    bool MotorFromList = false;
    bool DataChanged = false;
    bool ResultsMode = false;
    bool ShowStaticCurves = false;
    int StartStep = 0;
    int ListAction = 0;

    // Language and pending error
    bool LanguageEnglish = false;
    bool LanguageFrench = false;
    int ErrorNumber = 0;
};

struct MotorDataSet : MotorDataValues {
    MotorDataSet() = default;
    explicit MotorDataSet(const MotorDataValues& values) : MotorDataValues(values) {}

    // Catalogue rows of the selection dialog, entry r-1 for grid row r, one text per column.
    std::vector<std::string> ListConstructorName, ListMotorSize, ListMechanicalPower, ListLineVoltage,
        ListFrequency, ListLineCurrent, ListPowerFactor, ListRatedSpeed, ListNoLoadLineCurrent, ListRs, ListRr,
        ListXssigma, ListXrsigma, ListXh, ListRiron, ListCoupling;

    // The sixteen row columns in catalogue order (fields 2 to 17 of a record).
    std::array<std::vector<std::string>*, 16> ListColumns() {
        return {&ListConstructorName, &ListMotorSize, &ListMechanicalPower, &ListLineVoltage, &ListFrequency,
                &ListLineCurrent,     &ListPowerFactor, &ListRatedSpeed,    &ListNoLoadLineCurrent, &ListRs,
                &ListRr,              &ListXssigma,     &ListXrsigma,       &ListXh,                &ListRiron,
                &ListCoupling};
    }

    // Back to the program-start state: every number 0, every text empty, every flag false.
    void Reset() { *this = MotorDataSet{}; }
};

// A copy for a computation or a check to work on, without the catalogue rows, which none reads and
// which a large list makes costly to copy.
inline MotorDataSet WithoutRows(const MotorDataSet& ds) {
    return MotorDataSet(static_cast<const MotorDataValues&>(ds));
}

inline bool HasSecondCage(const MotorDataValues& ds) { return ds.Rr2 != 0 || ds.Xr2sigma != 0; }
inline bool HasDatasheet(const MotorDataValues& ds) { return ds.LockedRotorCurrentRatio > 0; }
// Whether the circuit comes with the motor (listed, or identified from its data sheet at the
// edge) rather than from the nameplate's identification, which must then leave it alone.
inline bool CircuitGiven(const MotorDataValues& ds) { return ds.MotorFromList || HasDatasheet(ds); }

// The soft-starter and load inputs that the main window presets when it is created.
void PresetStartInputs(MotorDataSet& ds);
