#pragma once
// The motor characteristics window (Options): torque T/Tn and current I/In against speed n/ns at
// rated voltage for the motor of the main window's last results, with the points of its data sheet
// marked, so that the fit of its double cage can be seen. Without results it says what to do first.

#include "ModelessForm.h"
#include "MotorDataSet.h"

#include <vector>

class QLabel;
class TxyGraph;

// The curves of a motor at rated voltage against n/ns = 1 - s, and its data sheet's points.
struct MotorCharacteristics {
    std::vector<double> Speed;   // n/ns, rising from 0 to 1
    std::vector<double> Torque;  // T/Tn
    std::vector<double> Current; // I/In (phase current over the rated one)
    double BreakdownSpeed = 0;   // n/ns of the largest torque over the whole speed range
    double BreakdownTorque = 0;  // its T/Tn (a point of the curves)
    struct Mark {
        double Speed, Value;
    };
    // With a data sheet: the rated point, the locked-rotor torque and the breakdown torque at the
    // fitted motor's breakdown speed; the rated point and the locked-rotor current. Else none.
    std::vector<Mark> TorqueMarks, CurrentMarks;
};

// Evenly spaced speeds (CharacteristicPoints intervals) with the rated point and the breakdown
// inserted, so that a curve with two humps is drawn through its true top.
constexpr int CharacteristicPoints = 500;
MotorCharacteristics ComputeCharacteristics(const MotorDataSet& ds);

class TCharacteristicsForm : public TModelessForm {
    Q_OBJECT
  public:
    TCharacteristicsForm();
    void FormActivate() override;
    void FormShow() override;

    // The main window computed new results: their motor is the one drawn.
    void ResultsChanged();
    bool HasMotor() const { return haveMotor_; }
    const MotorDataSet& Motor() const { return motor_; }

    // Series numbers of both charts.
    static constexpr int CurveSeries = 1;
    static constexpr int MarkSeries = 2;

    // Components
    QLabel* Notice; // no motor yet: what to do first
    QLabel *LegendCurve, *LegendMarks;
    TxyGraph *TorqueChart, *CurrentChart;
    QLabel* Caption; // what the marks are and how the circuit fits them

  private:
    void ApplyTexts();
    void Plot();

    MotorDataSet motor_;
    bool haveMotor_ = false;
    MotorCharacteristics curves_;
};
