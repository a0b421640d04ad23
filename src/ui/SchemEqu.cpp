#include "SchemEqu.h"

#include "UiCommon.h"

#include <QLabel>
#include <QPushButton>

TForm3::TForm3()
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Equivalent Diagram"));
    SetClientSize(772, 412);
    const QFont f = SansFont(11);
    setFont(f);
    Label18 = MakeLabel(this, "Label18", QStringLiteral("Equivalent Diagram"), 305, 32, SansFont(16, true));
    Button1 = MakeButton(this, "Button1", QStringLiteral("OK"), 303, 376, 75, 25, f);
    Cancel = MakeButton(this, "Cancel", QStringLiteral("Cancel"), 407, 376, 75, 25, f);
    Button1->setEnabled(false);
    connect(Cancel, &QPushButton::clicked, this, &TForm3::CancelClick);
}

void TForm3::FormActivate()
{
    if (EnglishChosen()) {
        setWindowTitle(QStringLiteral("Equivalent Diagram"));
        SetCaption(Label18, QStringLiteral("Equivalent Diagram"));
        Cancel->setText(QStringLiteral("Cancel"));
    } else if (FrenchChosen()) {
        setWindowTitle(QString::fromUtf8("Paramètres du schéma équivalent"));
        SetCaption(Label18, QString::fromUtf8("Paramètres du schéma équivalent"));
        Cancel->setText(QStringLiteral("Annuler"));
    }
}

void TForm3::CancelClick()
{
    CloseForm();
}
