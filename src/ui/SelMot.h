#pragma once
// The motor selection dialog. Its window, texts and "Add" exist; reading the catalogue is not
// built yet, so the main window does not open it and says so instead.

#include "ModelessForm.h"

class QLabel;
class QPushButton;
class QTableWidget;
class TPicture;

class TForm4 : public TModelessForm {
    Q_OBJECT
public:
    TForm4();
    void FormActivate() override;
    void Button2Click(); // Cancel
    void Button3Click(); // Add

    QLabel* Label1;
    QTableWidget* StringGrid1;
    QPushButton *Button1, *Button2, *Button3;
    QLabel* Label2;
    TPicture* Image1;
};

// Whether the catalogue can be read; step 1 and Select Motor in List open the dialog only then.
constexpr bool MotorCatalogueAvailable = false;

// The note shown instead of the selection dialog while the catalogue cannot be read.
void ShowCatalogueNotAvailable(class QWidget* parent);
