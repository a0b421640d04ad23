#pragma once
// The motor selection dialog: the catalogue "Liste Moteur.dat" as a grid of numbered rows;
// picking a row copies that motor into the data set, OK confirms it as step 1 of the start menu,
// "Add" leads to the rated values dialog for a motor that is not listed.

#include "ModelessForm.h"

#include <QString>

class QLabel;
class QPushButton;
class QTableWidget;
class TPicture;

class TForm4 : public TModelessForm {
    Q_OBJECT
public:
    TForm4();
    void FormActivate() override;
    void StringGrid1Click(); // a row was picked (mouse or keyboard)
    void Button1Click();     // OK
    void Button2Click();     // Cancel
    void Button3Click();     // Add

    QLabel* Label1;
    QTableWidget* StringGrid1;
    QPushButton *Button1, *Button2, *Button3;
    QLabel* Label2;
    TPicture* Image1;

    // What the last reading of the list told the user (missing file, skipped lines), in the
    // chosen language; empty when the list was read without a remark.
    const QString& LastListReport() const { return lastReport_; }

protected:
    void showEvent(QShowEvent* e) override;

private:
    void SetSelectionTexts();
    void ReadList();
    void ClearRows();
    void FitGridWidth();
    void Report(const QString& english, const QString& french, bool warning);

    QString lastReport_;
    // Each opening reports a problem of the list once; re-activations while the message is in
    // front (it takes the activation away and gives it back) would otherwise show it again.
    bool reportedThisShowing_ = false;
    bool filling_ = false;
};

