#pragma once
// Confirmation of the two motor-list commands (initialise the list, save the current motor).

#include "ModelessForm.h"

class QFrame;
class QLabel;
class QPushButton;

class TOKBottomDlg1 : public TModelessForm {
    Q_OBJECT
public:
    TOKBottomDlg1();
    void FormActivate() override;
    void OKBtnClick();
    void CancelBtnClick();

    QFrame* Bevel1;
    QLabel* Label1;
    QPushButton *OKBtn, *CancelBtn;
};
