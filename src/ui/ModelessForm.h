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

    // A window laid out by layouts opens at this size: the layout's wish (with the height its
    // wrapped texts want at that width), at least the preferred size given, within the screen,
    // never below the minimum.
    QSize sizeHint() const override;

protected:
    bool event(QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;
    // Fixed client size, centred on the screen at first showing.
    void SetClientSize(int width, int height);
    // For a window laid out by layouts (call once its layout is complete): the layout sets the
    // minimum size, below which no widget would keep its own, and every showing from hidden
    // takes the size hint with the texts of the chosen language in place, so that the window
    // opens alike each time and in both languages. `preferred` is a size the window likes to
    // open at when its layout asks for less (charts).
    void SizeByLayout(QSize preferred = {});

private:
    // The smallest size at which every widget keeps its minimum: the layout's minimum width,
    // and at that width the height the wrapped texts need.
    QSize LayoutMinimum() const;
    void FitMinimum();

    QPointer<QWidget> opener_;
    bool placed_ = false;
    bool sizedByLayout_ = false;
    QSize preferred_;
};
