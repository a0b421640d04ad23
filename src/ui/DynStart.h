#pragma once
// The dynamic start window: speed, current, torque and voltage against time for both starts
// (direct-on-line and soft-starter) and a panel of their results. It works on the data set of the
// main window's last successful computation and the dynamic start's settings, and computes again
// whenever either changes: at once while shown, else when it is shown next.

#include "Dynamics.h"
#include "ResultsForm.h"
#include "ToleranceCorners.h"

#include <optional>

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class TxyGraph;

class TDynamicStartForm : public TResultsForm {
    Q_OBJECT
  public:
    TDynamicStartForm();

    // Computes both starts now; a refusal shows its numbered message and keeps the last results.
    // Returns the refusal (0 when computed; ErrNoMotor without results of the main window yet).
    Refusal Recompute() override;

    bool HasResults() const { return results_.has_value(); }
    const DynamicResults& Results() const { return *results_; }
    // The tolerance corners drawn with the results (a motor with a data sheet, the box ticked).
    bool HasCorners() const { return corners_.has_value(); }
    const ToleranceCorners& Corners() const { return *corners_; }

    // Components
    QLabel* Notice; // what to do first, before any results
    QLabel *LegendDol, *LegendSoft, *LegendDashed;
    // For a motor with a data sheet: also the starts of the motors at the edges of its tolerances.
    QCheckBox* CornersBox;
    TxyGraph *SpeedChart, *CurrentChart, *TorqueChart, *VoltageChart;
    QFrame* Panel;
    QLabel *PanelTitle, *HeadDol, *HeadSoft;
    QLabel *StatusDol, *StatusSoft; // runs up, or stalls / too long in red
    enum Row {
        RunUpTime,
        PeakCurrent,
        PeakCurrentRatio,
        MinTorque,
        RotorEnergy,
        StatorEnergy,
        OperatingSpeed,
        MaxDip,
        MinVoltage,
        RowCount
    };
    QLabel* RowName[RowCount];
    QLineEdit* DolValue[RowCount];
    QLineEdit* SoftValue[RowCount];
    QLabel* RowUnit[RowCount];
    // With a relay (Parameters › Protection): each start's verdict when cold, with its trip level,
    // and the thermal capacity it uses; the relay and how it is judged.
    QLabel *RelayName, *RelayUnit, *TcuName, *TcuUnit;
    QLineEdit *RelayDol, *RelaySoft, *TcuDol, *TcuSoft;
    QLabel* ProtectionText;
    QLabel* InertiaText; // the inertia used, and whether it is the typical value
    QLabel* SupplyText;  // stiff supply, or the network and the dip limit
    // A stalled start whose rotor ends below the stall speed (a soft-starter that never breaks
    // away, a start too slow to get there): the speed it reaches by the start-time limit.
    QLabel* StallNote;
    QLabel *CornersDol, *CornersSoft; // the run-up times of each start's tolerance corners
    QLabel* FitText; // through a network, the priority the data sheet's motor was fitted with

  private:
    void ApplyTexts() override;
    void FillPanel();
    void FillProtection();
    void Plot();
    void ShowResultsParts(bool shown);
    void CornersToggled();
    // The corners of the shown results, computed when the box is ticked and the motor has a data sheet.
    void ComputeCorners();

    // What the shown results were computed from; a refused computation leaves them as they were.
    MotorDataSet shownData_;
    DynamicSettings settings_;
    std::optional<DynamicResults> results_;
    std::optional<ToleranceCorners> corners_;
    int refusal_ = 0; // the number of the last computation's refusal, 0 after a success
};
