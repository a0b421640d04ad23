#include "ModelessForm.h"

#include "Forms.h"
#include "Main.h"
#include "UiCommon.h"

#include <QApplication>
#include <QEvent>
#include <QHideEvent>
#include <QShowEvent>

TModelessForm::TModelessForm(QWidget* parent) : QDialog(parent)
{
    setModal(false);
    // A dialog of its own on the desktop, not a sheet of the main window.
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
}

void TModelessForm::SetClientSize(int width, int height)
{
    setFixedSize(width, height);
}

void TModelessForm::ShowForm()
{
    // The window the user acts in gets the activation back when this one hides; for a window
    // brought to the front again (the error dialog from another dialog's OK) that is the newer one.
    QWidget* active = QApplication::activeWindow();
    if (active != this && (active || !isVisible()))
        opener_ = active;
    if (!placed_) {
        CentreOnScreen(this);
        placed_ = true;
    }
    show();
    raise();
    activateWindow();
}

void TModelessForm::CloseForm()
{
    hide();
}

bool TModelessForm::event(QEvent* e)
{
    const bool handled = QDialog::event(e);
    if (e->type() == QEvent::WindowActivate)
        FormActivate();
    return handled;
}

void TModelessForm::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    // A window given back by the window system (restored from an icon) was never hidden by the
    // program: what it holds stays.
    if (!e->spontaneous())
        FormShow();
}

void TModelessForm::hideEvent(QHideEvent* e)
{
    QDialog::hideEvent(e);
    if (QCoreApplication::closingDown() || e->spontaneous())
        return;
    QWidget* next = opener_;
    opener_ = nullptr;
    if (!next || !next->isVisible())
        next = Form1;
    if (next && next != this && next->isVisible()) {
        next->raise();
        next->activateWindow();
    }
}
