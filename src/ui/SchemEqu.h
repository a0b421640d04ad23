#pragma once
// The equivalent diagram dialog: the per-phase circuit of the motor drawn with an edit field on
// each of its six elements and on the two of an optional second rotor cage (a branch in parallel
// with the first), beside the phase voltage, frequency and phase current (read only).

#include "ModelessForm.h"

#include <functional>

class QFrame;
class QLabel;
class QLineEdit;
class QColor;
class QPainter;
class QPushButton;
class TPicture;

// A fixed figure of the drawing: a conductor (a 2-pixel filled bar), a resistor (white box with a
// 2-pixel outline), a reactance (black box) or the source (a circle, outline only).
class TShape : public QWidget {
    Q_OBJECT
public:
    enum Kind { Line, Resistor, Reactance, Circle };
    TShape(Kind kind, QWidget* parent, const char* name, int x, int y, int w, int h);
    Kind ShapeKind() const { return kind_; }
    // Drawn in grey: a part of the circuit that the motor does not have (an empty second cage).
    void SetMuted(bool muted);
    bool Muted() const { return muted_; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    Kind kind_;
    bool muted_ = false;
};

// A box whose picture is drawn by its owner's handler each time it is painted.
class TPaintBox : public QWidget {
    Q_OBJECT
public:
    TPaintBox(QWidget* parent, const char* name, int x, int y, int w, int h);
    std::function<void(QPainter&)> OnPaint;

protected:
    void paintEvent(QPaintEvent*) override;
};

class TForm3 : public TModelessForm {
    Q_OBJECT
public:
    TForm3();
    void FormActivate() override;
    void FormShow() override;
    void Button1Click(); // OK
    void CancelClick();
    void PaintBox1Paint(QPainter& canvas);
    void PaintBox2Paint(QPainter& canvas);
    static void SlipArrow(QPainter& canvas, QSize box, const QColor& colour);

    QFrame* Panel1;
    TShape *Shape1, *Shape2, *Shape3, *Shape4, *Shape5, *Shape6, *Shape7, *Shape8, *Shape9, *Shape10, *Shape11,
        *Shape12, *Shape13, *Shape14, *Shape15, *Shape16, *Shape17, *Shape18, *Shape19;
    TPaintBox *PaintBox1, *PaintBox2;
    QLabel *Label1, *Label2, *Label3, *Label4, *Label5, *Label6, *Label7, *Label8, *Label9, *Label10, *Label11,
        *Label12, *Label13, *Label14, *Label15, *Label16, *Label17, *Label18, *Label19, *Label20, *Label22, *Label25;
    QLineEdit *Edit1, *Edit2, *Edit3, *Edit4, *Edit5, *Edit6, *Edit7, *Edit8, *Edit12;
    TPicture* Image1;
    QPushButton* Button1;
    QPushButton* Cancel;
    // The second cage: X'r2sigma and R'r2 / s, both fields empty for a motor with one cage.
    TShape *SecondCageLine, *SecondCageReactance, *SecondCageResistor;
    TPaintBox* SecondCageArrow;
    QLabel *Xr2sigmaLabel, *Rr2Label, *Rr2LoadLabel, *Xr2sigmaOhm, *Rr2Ohm;
    QLineEdit *Xr2sigmaEdit, *Rr2Edit;

private:
    void SetDiagramTexts();
    // The second cage's branch in black when one of its fields holds something, else in grey.
    void ShowSecondCage();
};

