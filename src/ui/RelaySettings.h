#pragma once
// The protection dialog: the motor's overload relay (its trip class, or none) with its current
// setting Ir, and the motor's locked-rotor withstand times from its data sheet. An empty setting
// is the motor's rated current, which the dialog names; the withstand times are optional, both
// or neither. Choosing no class removes the relay from the dynamic start.

#include "ModelessForm.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TPicture;

class TProtectionForm : public TModelessForm {
    Q_OBJECT
  public:
    TProtectionForm();
    void FormActivate() override;
    void FormShow() override;
    void Button1Click(); // OK
    void Button2Click(); // Cancel

    QLabel *Title, *ClassLabel, *SettingLabel, *ColdLabel, *HotLabel, *SettingUnit, *ColdUnit, *HotUnit;
    QComboBox* ClassBox; // none, then the classes 10A, 10, 20, 30
    QLineEdit *SettingEdit, *ColdEdit, *HotEdit;
    QLabel *SettingNote, *WithstandNote;
    QPushButton *Button1, *Button2;
    TPicture* Image1;

  private:
    void UpdateTexts();
};
