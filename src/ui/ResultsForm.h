#pragma once
// Base of the result windows that compute from the main window's last results and the dynamic
// start's settings: computed again whenever either changes, at once while shown, else when shown
// next (a hidden window costs nothing).

#include "Forms.h"
#include "ModelessForm.h"
#include "MotorDataSet.h"

class TResultsForm : public TModelessForm {
  public:
    void FormShow() override {
        ApplyTexts();
        if (stale_) Recompute();
    }
    void FormActivate() override { ApplyTexts(); }

    // The main window computed new results: the data set they came from is kept.
    void ResultsChanged() {
        data_ = WithoutRows(MotorData);
        haveData_ = true;
        InputsChanged();
    }
    // The dynamic start's own settings changed.
    void InputsChanged() {
        if (isVisible())
            Recompute();
        else
            stale_ = true;
    }
    // Computes now; a refusal shows its numbered message and keeps the last results. Returns the
    // refusal (0 when computed; ErrNoMotor without results of the main window yet).
    virtual Refusal Recompute() = 0;
    // A change waits for the window to be shown.
    bool Stale() const { return stale_; }

  protected:
    // The texts of the chosen language.
    virtual void ApplyTexts() = 0;
    // Once laid out: computes on the main window's signals (the window is created after it).
    void FollowMainWindow();
    // The start of every Recompute: false, the texts applied, without results to compute from.
    bool ReadyToCompute() {
        stale_ = false;
        if (haveData_) return true;
        ApplyTexts();
        return false;
    }

    MotorDataSet data_; // the main window's last results, to compute from
    bool haveData_ = false;
    bool stale_ = false;
};
