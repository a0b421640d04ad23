#pragma once
// The print dialog: the user ticks the charts to print; each goes out as a job of one page, in
// the order current and torque against time, then against n/ns. Without a printer the pages
// are written as PDF files, one per chart, under a name the user chooses once per printing.

#include "ModelessForm.h"

#include <QString>
#include <QStringList>

#include <functional>

class QLabel;
class QCheckBox;
class QPushButton;

class TOKBottomDlg2 : public TModelessForm {
    Q_OBJECT
public:
    TOKBottomDlg2();
    void FormActivate() override;
    void FormShow() override;
    void OKBtnClick();
    void CancelBtnClick();

    QLabel *Label1, *Label2;
    QCheckBox *CheckBox1, *CheckBox2, *CheckBox3, *CheckBox4;
    QPushButton *OKBtn, *CancelBtn;

    // Whether the platform has a default printer; replaceable so that tests choose the path.
    std::function<bool()> PrinterAvailable;
    // Asks for the folder or base file name of the PDF files; an empty text gives up printing.
    std::function<QString(QWidget* parent)> ChoosePdfBase;

    // The PDF files written by the last OK, in printing order.
    const QStringList& LastPdfFiles() const { return lastPdfFiles_; }
    // What the last OK told the user, in the chosen language; empty when it had nothing to say.
    const QString& LastPrintReport() const { return lastReport_; }

    // The PDF file of one chart: "<base>-<chart>.pdf", with base stripped of a ".pdf" ending and
    // a folder getting the base name "Tarvello".
    static QString PdfFileName(const QString& base, const QString& chart);

private:
    void SetPrintTexts();
    void Report(const QString& english, const QString& french, bool failed);

    QStringList lastPdfFiles_;
    QString lastReport_;
};
