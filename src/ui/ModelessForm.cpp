#include "ModelessForm.h"

#include "Forms.h"
#include "Main.h"
#include "UiCommon.h"

#include <QApplication>
#include <QEvent>
#include <QHideEvent>
#include <QLayout>
#include <QScreen>
#include <QShowEvent>

#include <algorithm>

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
    if (!placed_ && !sizedByLayout_) {
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

void TModelessForm::SizeByLayout(QSize preferred)
{
    sizedByLayout_ = true;
    preferred_ = preferred;
    // The layout's own constraint would leave out the height of wrapped texts: FitMinimum sets it.
    layout()->setSizeConstraint(QLayout::SetNoConstraint);
}

QSize TModelessForm::LayoutMinimum() const
{
    const QLayout* l = layout();
    QSize minimum = l->totalMinimumSize();
    if (l->hasHeightForWidth()) {
        const QMargins m = contentsMargins();
        const int width = minimum.width() - m.left() - m.right();
        minimum.setHeight(std::max(minimum.height(), l->minimumHeightForWidth(width) + m.top() + m.bottom()));
    }
    return minimum;
}

void TModelessForm::FitMinimum()
{
    const QSize minimum = LayoutMinimum();
    if (minimum != minimumSize())
        setMinimumSize(minimum); // grows the window when it is smaller
}

QSize TModelessForm::sizeHint() const
{
    if (!sizedByLayout_)
        return QDialog::sizeHint();
    QSize hint = QDialog::sizeHint().expandedTo(preferred_);
    if (const QScreen* s = screen())
        hint = hint.boundedTo(s->availableGeometry().size());
    hint = hint.expandedTo(LayoutMinimum());
    if (hasHeightForWidth())
        hint.setHeight(std::max(hint.height(), heightForWidth(hint.width())));
    return hint;
}

bool TModelessForm::event(QEvent* e)
{
    const bool handled = QDialog::event(e);
    if (e->type() == QEvent::WindowActivate)
        FormActivate();
    else if (e->type() == QEvent::LayoutRequest && sizedByLayout_)
        FitMinimum(); // the layout has just taken changed texts: they may need other room
    return handled;
}

void TModelessForm::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    // A window given back by the window system (restored from an icon) was never hidden by the
    // program: what it holds stays.
    if (e->spontaneous())
        return;
    FormShow();
    if (!sizedByLayout_)
        return;
    // The texts of the chosen language first, then every nested layout brought up to date from
    // the innermost out, so that the size hint is that of what the window is about to show.
    FormActivate();
    const QList<QWidget*> children = findChildren<QWidget*>();
    for (auto it = children.crbegin(); it != children.crend(); ++it)
        if (QLayout* l = (*it)->layout())
            l->activate();
    layout()->activate();
    FitMinimum();
    if (!isMaximized() && !isFullScreen())
        resize(sizeHint());
    if (!placed_) {
        CentreOnScreen(this);
        placed_ = true;
    }
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
