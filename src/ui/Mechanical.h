#pragma once
// The mechanical data dialog: motor inertia, load inertia referred to the motor shaft, and the
// start-time limit of the dynamic start. A motor inertia left unknown is replaced by the typical
// value for the motor's power and number of poles, which the dialog suggests and names as such.

#include "ModelessForm.h"

#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;
class TPicture;

class TMechanicalForm : public TModelessForm {
    Q_OBJECT
  public:
    TMechanicalForm();
    void FormActivate() override;
    void FormShow() override;
    void Button1Click(); // OK
    void Button2Click(); // Cancel

    // The typical motor inertia as the dialog suggests it (empty when no motor is known yet).
    const QString& SuggestedText() const { return suggested_; }

    QLabel *Title, *Label1, *Label2, *Label3, *Unit1, *Unit2, *Unit3;
    QLineEdit *Edit1, *Edit2, *Edit3; // motor inertia, load inertia, start-time limit
    QLabel* Note;                     // what the motor inertia field holds: typical, data sheet, unknown
    QPushButton *Button1, *Button2;
    TPicture* Image1;

  private:
    void UpdateNote();

    double typical_ = 0; // of the motor in memory when the dialog was opened; 0 when none
    QString suggested_;
};
