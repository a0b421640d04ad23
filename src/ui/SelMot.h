#pragma once
// The motor selection dialog: the catalogue "Liste Moteur.dat" as a grid of numbered rows;
// picking a row copies that motor into the data set, OK confirms it as step 1 of the start menu,
// "Add" leads to the rated values dialog for a motor that is not listed.

#include "ModelessForm.h"
#include "MotorDataSet.h"

#include <QString>

struct ListRecord;
class QLabel;
class QPushButton;
class QTableWidget;
class TPicture;

class TForm4 : public TModelessForm {
    Q_OBJECT
public:
    TForm4();
    // For the openers, before they set MotorFromList: the motor in memory as Cancel puts it back.
    // Nothing happens while the dialog is open.
    void RememberMotor();
    void FormActivate() override;
    void FormShow() override;
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

public slots:
    // Escape and the close box cancel like the Cancel button.
    void reject() override;

protected:
    void showEvent(QShowEvent* e) override;

private:
    void SetSelectionTexts();
    void SetHeaderTexts();
    // The record of grid row r as the row store holds it; false when there is no such row.
    bool RowRecord(int r, ListRecord& record) const;
    // Whether grid row r holds the motor in memory (texts, rated values, circuit, coupling).
    bool RowHoldsMotorInMemory(int r) const;
    // The row to highlight at an opening (0: none): the row the motor in memory was chosen from,
    // else, with no motor in memory, the row highlighted before (row 1 at first).
    int RowToHighlight(int previousRow, int rows) const;
    void ReadList();
    void ClearRows();
    void FitGridWidth();
    void Report(const QString& english, const QString& french, bool warning);

    QString lastReport_;
    // Each opening reports a problem of the list once; re-activations while the message is in
    // front (it takes the activation away and gives it back) would otherwise show it again.
    bool reportedThisShowing_ = false;
    bool filling_ = false;
    // A remark on the list was shown at this opening: the first activation brings it to the front.
    bool raiseReport_ = false;

    // The motor part of the data set when the dialog was opened, before the opener set
    // MotorFromList; Cancel puts it back.
    MotorDataSet opening_;
    bool remembered_ = false;
    // The motor part this dialog last left in memory (at the opening or by a pick): Cancel puts
    // the opening's motor back only over that, never over a motor another dialog stored meanwhile.
    MotorDataSet leftInMemory_;
    // A row was picked since the opening.
    bool picked_ = false;
    // The grid row of the motor last confirmed by OK, preferred among equal rows.
    int chosenRow_ = 0;
};

