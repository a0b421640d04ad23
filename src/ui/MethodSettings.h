#pragma once
// The settings of the starting methods and of the soft-starter whose duty is checked: changeover
// speed, autotransformer tap, reactor voltage, the comparison's current limit (empty: the
// soft-starter's in current-limit mode, else 3 In), and the starter's rated current Ie, rating code
// and starts per hour (which may be cleared: then no duty check). OK stores them in DynamicData
// only when all are accepted and tells the main window; a refusal keeps what was typed.

#include "ModelessForm.h"

#include <QString>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TPicture;

class TMethodSettingsForm : public TModelessForm {
    Q_OBJECT
  public:
    TMethodSettingsForm();
    void FormActivate() override;
    void FormShow() override;
    void OkClick();
    void CancelClick();

    QLabel* Title;
    QGroupBox* MethodsGroup;
    QLabel *ChangeoverLabel, *TapLabel, *ReactorLabel, *LimitLabel;
    QLineEdit *ChangeoverEdit, *TapEdit, *ReactorEdit, *LimitEdit;
    QLabel *ChangeoverUnit, *TapUnit, *ReactorUnit, *LimitUnit;
    QGroupBox* StarterGroup; // checkable: unchecked, no starter is judged (the texts stay)
    QLabel *RatedCurrentLabel, *RatingLabel, *StartsLabel;
    QLineEdit *RatedCurrentEdit, *RatingEdit, *StartsEdit;
    QLabel *RatedCurrentUnit, *RatingUnit, *StartsUnit;
    QLabel* StarterNote;
    TPicture* Logo;
    QPushButton *OkButton, *CancelButton;
};
