#pragma once
// Base of every dialog of the program: a window created once, shown without blocking, whose
// FormActivate runs each time it becomes the active window, and which OK, Cancel, Escape or the
// close box only hide. When it hides, the window that opened it (else the main window) is made
// active again, so that its own FormActivate runs even where no window manager does that.

#include <QDialog>
#include <QPointer>

class TModelessForm : public QDialog {
    Q_OBJECT
public:
    explicit TModelessForm(QWidget* parent = nullptr);

    // Visible, in front and active; returns at once. Showing an open window only brings it to the front.
    void ShowForm();
    // Hides the window and gives the activation back.
    void CloseForm();

    // Called for each activation; public so that a test can run it the way the window system does.
    virtual void FormActivate() {}

protected:
    bool event(QEvent* e) override;
    void hideEvent(QHideEvent* e) override;
    // Fixed client size, centred on the screen at first showing.
    void SetClientSize(int width, int height);

private:
    QPointer<QWidget> opener_;
    bool placed_ = false;
};
