#pragma once
// The error dialog: shows the message of ErrorNumber in the chosen language.

#include "ModelessForm.h"

class QLabel;
class QPushButton;

class TOKBottomDlg : public TModelessForm {
    Q_OBJECT
public:
    TOKBottomDlg();
    void FormActivate() override;
    void OKBtnClick();

    QLabel* Label1;
    QPushButton* OKBtn;
};

#include "ErrorMessages.h"

// Every raiser does this: ErrorNumber := number, then the error dialog is shown (not blocking).
// The argument fills the "%1" of a message that names a field or gives a limit.
void RaiseError(int number, const ErrorArgument& argument = {});
inline void RaiseError(const Refusal& refusal) { RaiseError(refusal.number, refusal.argument); }
// Same, from a window that computes as it is shown: the message comes to the front again once that
// window is in place, so that it is not hidden behind it.
void RaiseErrorOver(QWidget* window, const Refusal& refusal);
// Same, with a note after the message in each language: where the refused value stands in a file.
void RaiseError(const Refusal& refusal, const ErrorArgument& note);
// Brings the error dialog of the pending error to the front (shown, raised and active) with its
// message; for a dialog that stores nothing while an error waits to be acknowledged.
void ShowPendingError();
