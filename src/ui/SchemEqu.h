#pragma once
// The equivalent diagram dialog. Only its window and texts exist so far: editing the circuit is
// not offered yet (the main menu says so), so a typed motor is always identified.

#include "ModelessForm.h"

class QLabel;
class QPushButton;

class TForm3 : public TModelessForm {
    Q_OBJECT
public:
    TForm3();
    void FormActivate() override;
    void CancelClick();

    QLabel* Label18;
    QPushButton* Button1;
    QPushButton* Cancel;
};

// Whether the dialog can edit the circuit; the menu entry opens it only then.
constexpr bool EquivalentDiagramAvailable = false;
