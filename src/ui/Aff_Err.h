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

// Every raiser does this: ErrorNumber := number, then the error dialog is shown (not blocking).
void RaiseError(int number);
