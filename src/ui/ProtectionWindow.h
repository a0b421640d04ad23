#pragma once
// The protection window (Options): the dynamic start of both starts (direct-on-line and
// soft-starter) against the motor's overload relay and its thermal limit, as a time-current chart
// and a panel of the verdicts: the relay lets each start through, it protects a locked rotor, the
// thermal capacity each start uses. It works on the main window's last results and the dynamic
// start's settings and computes again whenever either changes: at once while shown, else when it
// is shown next. Without a relay it says where to set one.

#include "Dynamics.h"
#include "ResultsForm.h"

#include <optional>

class QFrame;
class QGridLayout;
class QLabel;
class TxyGraph;

class TProtectionChartForm : public TResultsForm {
    Q_OBJECT
  public:
    TProtectionChartForm();

    // Computes both starts with their protection now; a refusal shows its numbered message and
    // keeps the last results. Returns the refusal (ErrNoMotor without results of the main window).
    Refusal Recompute() override;

    // Results with a relay are on show.
    bool HasResults() const { return results_.has_value(); }
    const DynamicResults& Results() const { return *results_; }
    const TimeCurrentCurves& Curves() const { return curves_; }

    // The verdict rows: each start cold and hot; the locked rotor cold and hot; the TCU per start.
    enum StartRow { DolCold, DolHot, SoftCold, SoftHot, StartRowCount };
    enum StateRow { Cold, Hot, StateRowCount };
    enum TcuRow { TcuDol, TcuSoft, TcuRowCount };

    // Components
    QLabel* Notice; // what to do first: results, a relay; or the refusal
    TxyGraph* Chart;
    QFrame* Panel;
    QLabel *PanelTitle, *RelayText;
    QLabel *PassHeading, *LockedHeading, *TcuHeading;
    QLabel* NoWithstand; // without withstand times only the relay is judged
    // The grids of the verdicts: a heading row, then a row per start and state, state or start.
    enum PassColumn { PassName, PassVerdict, PassLevel, PassTrips, PassColumnCount };
    enum LockedColumn { LockedName, LockedVerdict, LockedTrip, LockedPermitted, LockedMargin, LockedColumnCount };
    enum TcuColumn { TcuName, TcuCold, TcuHot, TcuStarts, TcuColumnCount };
    QLabel* PassHead[PassColumnCount];
    QLabel* Pass[StartRowCount][PassColumnCount];
    QLabel* LockedHead[LockedColumnCount];
    QLabel* Locked[StateRowCount][LockedColumnCount];
    QLabel* TcuHead[TcuColumnCount];
    QLabel* Tcu[TcuRowCount][TcuColumnCount];
    QLabel* Explanation; // what the verdicts compare

  private:
    void ApplyTexts() override;
    void FillPanel();
    void ShowResultsParts(bool shown);

    MotorDataSet shownData_;
    DynamicSettings settings_;
    std::optional<DynamicResults> results_; // computed with a relay
    TimeCurrentCurves curves_;
    bool noRelay_ = false; // the settings give no relay
    int refusal_ = 0;
    int plottedLanguage_ = -1; // the language the chart was drawn in
};
