#pragma once
// Confirmation of the two motor-list commands: initialise the list from its delivered copy
// (ListAction 1) or save the current motor in it (ListAction 2).

#include "ModelessForm.h"

#include <QString>

class QFrame;
class QLabel;
class QPushButton;

class TOKBottomDlg1 : public TModelessForm {
    Q_OBJECT
public:
    TOKBottomDlg1();
    void FormActivate() override;
    void OKBtnClick();
    void CancelBtnClick();

    QFrame* Bevel1;
    QLabel* Label1;
    QPushButton *OKBtn, *CancelBtn;

    // The message of the last failed file operation, in the chosen language; empty after a success.
    const QString& LastFileError() const { return lastFileError_; }

private:
    void ReportFileError(const QString& english, const QString& french);

    QString lastFileError_;
};
