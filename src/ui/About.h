#pragma once
// The About box: program name, version, date and maker lines; the same in both languages.

#include "ModelessForm.h"

class QLabel;
class QPushButton;
class TPicture;

class TAboutBox : public TModelessForm {
    Q_OBJECT
public:
    TAboutBox();
    void OKButtonClick();

    TPicture* ProgramIcon;
    QLabel* ProductName;
    QLabel* Comments;
    QLabel* Version;
    QLabel* Date;
    QLabel* Maker;
    QPushButton* OKButton;
};
