#pragma once
// The comparison of starting methods: one table row per method (direct-on-line, star-delta,
// autotransformer, primary reactor, soft-starter ramp and current limit) with the best value of
// each column marked, the duty check of the soft-starter start under it, and charts of line
// current and speed against time for every method. It follows the main window: every
// computation there and every confirmed change of the dynamic settings recomputes it (at once
// when it is visible, when it is next shown otherwise), from the motor and results the main
// window last computed.

#include "ModelessForm.h"

#include "Dynamics.h"
#include "MotorDataSet.h"

#include <array>
#include <optional>

class QFrame;
class QLabel;
class QPushButton;
class QTableWidget;
class TxyGraph;

class TCompareForm : public TModelessForm {
    Q_OBJECT
  public:
    TCompareForm();

    // Texts of the chosen language, the table and the duty check refilled in it.
    void FormActivate() override;
    // Computes when something changed while the window was hidden.
    void FormShow() override;

    // The main window computed new results: they become the motor compared.
    void TakeResults();
    // Something the comparison depends on changed: computes now when visible, else on showing.
    void InputsChanged();
    // Computes the comparison of the last results with the dynamic settings in force. A refusal
    // shows its numbered message and keeps the results shown; false then, and without results.
    bool Recompute();

    bool HasResults() const { return shown_.has_value(); }
    bool Stale() const { return stale_; }
    // What the window shows: the motor data set, settings and results of its last computation.
    const MotorDataSet& ShownMotor() const { return *shown_; }
    const DynamicSettings& ShownSettings() const { return shownSettings_; }
    const ComparisonResults& Results() const { return results_; }

    // Table columns, in order.
    enum Column {
        ColMethod,
        ColPeakCurrent, // A
        ColPeakRatio,   // x In
        ColStartingTorque,
        ColMinTorque,
        ColRunUp,
        ColRotorEnergy, // kJ
        ColDip,         // %, shown only with a supply network
        ColChangeover,
        ColOutcome,
        ColRelay, // the overload relay on the cold start, with its trip level; shown only with a relay
        ColTcu,   // %, the thermal capacity the cold start uses; shown only with a relay
        ColumnCount
    };
    // Item data: the value a number cell shows (absent for a null value), and whether it is the
    // best of its column.
    static constexpr int ValueRole = Qt::UserRole;
    static constexpr int BestRole = Qt::UserRole + 1;

    QLabel* Caption; // the motor compared
    QLabel* Status;  // what to do first, or a refused computation
    QTableWidget* Table;
    QLabel* SettingsLine; // changeover, tap, reactor, soft-starter, inertia, supply
    QLabel* Notes;        // best marks, changeover jumps
    QFrame* DutyPanel;
    QLabel* DutyTitle;
    QLabel* DutyRule;
    QLabel* DutyHint; // no starter data: how to set them
    // Current, time, starts per hour, rated current.
    std::array<QLabel*, 4> DutyCriterion, DutyCondition, DutyMargin, DutyVerdict;
    QLabel* DutyRms;
    QLabel* DutySmallest;
    QLabel* DutyOnLoadFactor;
    QLabel* DutyOverall;
    TxyGraph* CurrentChart;
    TxyGraph* SpeedChart;
    QPushButton* SettingsButton;
    QPushButton* CloseButton;

  protected:
    // The table's columns share its width by their contents.
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void FitColumns();
    void Fill();
    void FillTable();
    void FillDuty();
    void PlotCharts();
    void ShowContents(bool on);

    std::optional<MotorDataSet> latest_; // the main window's last results
    std::optional<MotorDataSet> shown_;  // the motor of the results shown
    DynamicSettings shownSettings_;
    ComparisonResults results_;
    bool stale_ = true;
    int refused_ = 0; // the number of the last refusal, 0 after a computation went through
    int plottedLanguage_ = -1;
    std::array<int, ColumnCount> contentWidths_{};
};
