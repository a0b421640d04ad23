#pragma once
// The load dialog: the kind of load torque and its coefficients T0, T1, T2.

#include "ModelessForm.h"

#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QFrame;
class TPicture;

class TForm5 : public TModelessForm {
    Q_OBJECT
public:
    TForm5();
    void FormActivate() override;
    void FormShow() override;
    void RadioButton1Click(); // no load
    void RadioButton2Click(); // constant
    void RadioButton3Click(); // proportional to speed
    void RadioButton4Click(); // proportional to the square of speed
    void Button1Click();      // OK
    void Button2Click();      // Cancel

    QRadioButton *RadioButton1, *RadioButton2, *RadioButton3, *RadioButton4;
    TPicture *Image2, *Image3, *Image4; // load characteristics
    TPicture* Image1;                   // logo
    QLabel *Ex1, *EX2, *ex3;
    QFrame* Panel1;
    QLabel *Label2, *Label3, *Label4, *Label5, *Label6, *Label7, *Label8; // rows: name, unit
    QLineEdit *Edit1, *Edit2, *Edit3;
    QLabel *Label10, *Label1, *Label9; // formulas
    QPushButton *Button1, *Button2;

public slots:
    // Escape and the close box cancel like the Cancel button.
    void reject() override;

private:
    void ShowRows(bool panel, bool t1, bool t2);

    // The kind and the three texts as the dialog was opened: the last accepted load (or the
    // start state), which Cancel puts back.
    int openedKind_ = 0;
    QString openedTexts_[3];
};
