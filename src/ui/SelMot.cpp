#include "SelMot.h"

#include "Forms.h"
#include "Pictures.h"
#include "UiCommon.h"
#include "ValNom.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

TForm4::TForm4()
{
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("Open Motor Parameters"));
    SetClientSize(584, 505);
    const QFont f = SansFont(11);
    setFont(f);
    Label1 = new QLabel(QStringLiteral("Select a row"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(88, 8, 408, 25);
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setFont(SerifFont(19, true));
    Image1 = new TPicture(TPicture::Logo, this, "Image1", 502, 8, 74, 49);

    StringGrid1 = new QTableWidget(1, 4, this);
    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    StringGrid1->setGeometry(89, 40, 405, 353);
    StringGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    StringGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid1->horizontalHeader()->setVisible(false);
    StringGrid1->verticalHeader()->setVisible(false);
    StringGrid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    StringGrid1->setColumnWidth(0, 50);
    for (int c = 1; c < 4; ++c)
        StringGrid1->setColumnWidth(c, 100);
    StringGrid1->verticalHeader()->setDefaultSectionSize(24);
    const char* header[] = {"N°", "Constructor", "Motor Size", "Power [W]"};
    for (int c = 0; c < 4; ++c)
        StringGrid1->setItem(0, c, new QTableWidgetItem(QString::fromUtf8(header[c])));

    Button1 = MakeButton(this, "Button1", QStringLiteral("OK"), 207, 408, 75, 25, f);
    Button2 = MakeButton(this, "Button2", QStringLiteral("Cancel"), 303, 408, 75, 25, f);
    Label2 = new QLabel(QStringLiteral("If you want another motor, press the button \"ADD\""), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(123, 448, 338, 16);
    Label2->setAlignment(Qt::AlignCenter);
    Label2->setFont(SansFont(13, true));
    Button3 = MakeButton(this, "Button3", QStringLiteral("Add"), 255, 472, 75, 25, f);
    Button1->setEnabled(MotorCatalogueAvailable);
    connect(Button2, &QPushButton::clicked, this, &TForm4::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TForm4::Button3Click);
}

void TForm4::FormActivate()
{
    if (EnglishChosen()) {
        setWindowTitle(QStringLiteral("Select Motor in List"));
        Label1->setText(QStringLiteral("Select a Row"));
        Label2->setText(QStringLiteral("If you want another motor, press the button \"ADD\""));
        Button2->setText(QStringLiteral("Cancel"));
        Button3->setText(QStringLiteral("Add"));
    } else if (FrenchChosen()) {
        setWindowTitle(QStringLiteral("Choisir un moteur dans la liste"));
        Label1->setText(QStringLiteral("Selectionner une ligne"));
        Label2->setText(QStringLiteral("Si vous voulez un autre moteur, pressez le bouton \"Ajouter\""));
        Button2->setText(QStringLiteral("Annuler"));
        Button3->setText(QStringLiteral("Ajouter"));
    }
    MotorData.DataChanged = false;
}

void TForm4::Button2Click()
{
    CloseForm();
}

void TForm4::Button3Click()
{
    MotorData.MotorFromList = false;
    Form2->ShowForm();
    CloseForm();
}

void ShowCatalogueNotAvailable(QWidget* parent)
{
    ShowNote(parent,
             QStringLiteral("The motor catalogue is not available yet.\n"
                            "Enter the motor's rated values instead: menu Parameters, "
                            "Enter Or Change Rated Values (Ctrl+E)."),
             QString::fromUtf8("Le catalogue des moteurs n'est pas encore disponible.\n"
                               "Entrez plutôt les valeurs nominales du moteur : menu Paramètres, "
                               "Entrer ou modifier les valeurs nominales (Ctrl+E)."));
}
