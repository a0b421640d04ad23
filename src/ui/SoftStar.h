#pragma once
// The soft-starter dialog: estimated start time, preset, and either the desired current limit or
// the ramp time.

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

    QLabel *Label30, *Label31, *Label7;
    QLineEdit* Edit1;
    QRadioButton *RadioButton1, *RadioButton2;
    QFrame *Panel1, *Panel2;
    QLabel *Label1, *Label2, *Label3, *Label4, *Label5, *Label6, *Label8, *Label9;
    QLineEdit *Edit2, *Edit3, *Edit4, *Edit5;
    QPushButton *Button1, *Button2;
    TPicture* Image1;
};
