#include "About.h"

#include "Pictures.h"
#include "UiCommon.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

TAboutBox::TAboutBox()
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("About"));
    SetClientSize(618, 375);
    setFont(SansFont(11));

    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setGeometry(8, 8, 602, 313);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);

    ProgramIcon = new TPicture(TPicture::MotorRamp, panel, "ProgramIcon", 16, 16, 160, 120);
    ProductName = MakeLabel(panel, "ProductName", QStringLiteral("Tarvello.exe"), 200, 24, SansFont(16, true));
    Comments = MakeLabel(panel, "Comments", QStringLiteral("Soft-Starter Simultator for Induction Motor"), 200,
                         56, SansFont(13));
    Version = MakeLabel(panel, "Version", QStringLiteral("Version 1.2"), 200, 88, SansFont(13));
    Date = MakeLabel(panel, "Date", QStringLiteral("13.12.99"), 200, 112, SansFont(13));
    Maker = MakeLabel(panel, "Maker",
                      QStringLiteral("Tarvello project\n"
                                     "Simulation of the start of a three-phase induction motor\n"
                                     "direct-on-line and through a soft-starter.\n\n"
                                     "Written with C++ and Qt; free to use for teaching and study."),
                      16, 168, SansFont(12));

    OKButton = MakeButton(this, "OKButton", QStringLiteral("OK"), 271, 336, 75, 25, SansFont(11));
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &TAboutBox::OKButtonClick);
}

void TAboutBox::OKButtonClick()
{
    CloseForm();
}
