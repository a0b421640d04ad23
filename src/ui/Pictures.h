#pragma once
// The program's own small pictures, drawn with QPainter: the logo in the dialogs' corners, the
// pictures of the start menu, result panel and About box, and the load characteristics.

#include <QWidget>

class TPicture : public QWidget {
    Q_OBJECT
public:
    enum Kind {
        Logo,             // small corner logo of the dialogs
        MotorRamp,        // motor with a voltage ramp: start menu, result panel, About box
        ConstantLoad,     // load torque against speed: horizontal line from T0
        ProportionalLoad, // rising straight line from T0
        SquaredLoad,      // rising parabola from T0
    };
    TPicture(Kind kind, QWidget* parent, const char* name, int x, int y, int w, int h);
    Kind PictureKind() const { return kind_; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    void PaintLogo(class QPainter& p);
    void PaintMotorRamp(class QPainter& p);
    void PaintLoad(class QPainter& p);
    Kind kind_;
};
