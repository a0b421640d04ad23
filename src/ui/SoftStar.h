#pragma once
// The soft-starter dialog: estimated start time (which the dynamic direct-on-line run-up time can
// fill in), preset, and either the desired current limit or the ramp time.

#include "ModelessForm.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QFrame;
class TPicture;

class TForm6 : public TModelessForm {
    Q_OBJECT
public:
    TForm6();
    void FormActivate() override;
    void FormShow() override;
    void RadioButton1Click(); // current-limit mode
    void RadioButton2Click(); // selected-time mode
    void Button1Click();      // OK
    void Button2Click();      // Cancel
    void Button3Click();      // the dynamic direct-on-line run-up time as the estimated time

    QLabel *Label30, *Label31, *Label7;
    QLineEdit* Edit1;
    QRadioButton *RadioButton1, *RadioButton2;
    QFrame *Panel1, *Panel2;
    QLabel *Label1, *Label2, *Label3, *Label4, *Label5, *Label6, *Label8, *Label9;
    QLineEdit *Edit2, *Edit3, *Edit4, *Edit5;
    QPushButton *Button1, *Button2;
    TPicture* Image1;
    QPushButton* Button3;
    QLabel* Label10; // what Button3 found: the run-up time used, or why there is none
};
