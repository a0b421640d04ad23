#pragma once
// The rated values dialog: the motor's nameplate typed by the user, and optionally its data sheet
// (locked-rotor current and torque, breakdown torque), from which OK identifies a double cage.

#include "ModelessForm.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QCheckBox;
class QFrame;
class QGroupBox;
class TPicture;

class TForm2 : public TModelessForm {
    Q_OBJECT
public:
    TForm2();
    void FormActivate() override;
    void FormShow() override;
    void Button1Click(); // OK
    void Button2Click(); // Cancel

    QLabel *Label9, *Label16, *Label17, *Label1, *Label2, *Label3, *Label6, *Label10, *Label11, *Label4, *Label7,
        *Label5, *Label8, *Label14, *Label15, *Label12, *Label13, *Label18;
    QLineEdit *Edit9, *Edit8, *Edit1, *Edit2, *Edit5, *Edit3, *Edit4, *Edit7, *Edit6;
    QCheckBox* CheckBox1;
    QFrame* Panel1;
    QRadioButton *RadioButton1, *RadioButton2;
    QPushButton *Button1, *Button2;
    TPicture* Image1;

    // The data sheet: Ia/In, Ta/Tn, Tk/Tn and what a best fit keeps closest; under it, how the
    // circuit of the motor in memory was fitted.
    QGroupBox* DatasheetGroup;
    QLabel *LockedCurrentLabel, *LockedTorqueLabel, *BreakdownTorqueLabel, *PriorityLabel, *PriorityNote;
    QLineEdit *LockedCurrentEdit, *LockedTorqueEdit, *BreakdownTorqueEdit;
    QRadioButton *TorquePriorityRadio, *CurrentPriorityRadio;
    QLabel* FitLabel;

private:
    void SetRatedValuesTexts();
    bool CheckRatedValuesPresent();
    void ReadRatedValues();
    // Whether a data sheet field holds anything: then OK identifies the motor from its data sheet.
    bool DatasheetTyped() const;
    void ConfirmDatasheet();
    // The fit of the motor in memory under the group, until the user changes the data sheet.
    void ShowFit();
    bool fitShown_ = false;
};
