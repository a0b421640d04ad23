#pragma once
// The rated values dialog: the motor's nameplate typed by the user.

#include "ModelessForm.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QCheckBox;
class QFrame;
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

private:
    void SetRatedValuesTexts();
    bool CheckRatedValuesPresent();
    void ReadRatedValues();
};
