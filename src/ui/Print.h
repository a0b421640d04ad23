#pragma once
// The print dialog: the user ticks the charts to print, one per page.

#include "ModelessForm.h"

class QLabel;
class QCheckBox;
class QPushButton;

class TOKBottomDlg2 : public TModelessForm {
    Q_OBJECT
public:
    TOKBottomDlg2();
    void FormActivate() override;
    void OKBtnClick();
    void CancelBtnClick();

    QLabel *Label1, *Label2;
    QCheckBox *CheckBox1, *CheckBox2, *CheckBox3, *CheckBox4;
    QPushButton *OKBtn, *CancelBtn;
};
