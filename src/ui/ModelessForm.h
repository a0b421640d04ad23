#pragma once
// Base of every dialog of the program: a window created once, shown without blocking, whose
// FormShow runs each time it is shown from hidden and FormActivate each time it becomes the
// active window, and which OK, Cancel, Escape or the close box only hide. When it hides, the
// window that last showed or raised it (else the main window) is made active again, so that its
// own FormActivate runs even where no window manager does that.

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
    // It sets the texts of the chosen language and nothing the user types.
    virtual void FormActivate() {}
    // Called when the window is shown from hidden (a menu, a start-menu step, another dialog), just
    // before its first activation: the fields are loaded from the data set here and only here, so
    // that coming back to a dialog that stayed open (from a message box, the error dialog or
    // another window) keeps what the user typed.
    virtual void FormShow() {}

protected:
    bool event(QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;
    // Fixed client size, centred on the screen at first showing.
    void SetClientSize(int width, int height);

private:
    QPointer<QWidget> opener_;
    bool placed_ = false;
};
