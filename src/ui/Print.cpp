#include "Print.h"

#include "Forms.h"
#include "Main.h"
#include "PrintService.h"
#include "UiCommon.h"
#include "xyGraph.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

#include <exception>
#include <vector>

TOKBottomDlg2::TOKBottomDlg2()
{
    setObjectName(QStringLiteral("OKBottomDlg2"));
    setWindowTitle(QStringLiteral("Print Graphs"));
    SetClientSize(421, 219);
    const QFont f = SansFont(11);
    setFont(f);
    Label1 = MakeLabel(this, "Label1", QStringLiteral("Select Graphs to print"), 121, 24, SansFont(16, true));
    CheckBox1 = MakeCheck(this, "CheckBox1", QStringLiteral("Current = f(t)"), 94, 72, 130, 17, f);
    CheckBox2 = MakeCheck(this, "CheckBox2", QStringLiteral("Torque = f(t)"), 94, 96, 130, 17, f);
    CheckBox3 = MakeCheck(this, "CheckBox3", QStringLiteral("Current = f(n/ns)"), 230, 72, 130, 17, f);
    CheckBox4 = MakeCheck(this, "CheckBox4", QStringLiteral("Torque = f(n/ns)"), 230, 96, 130, 17, f);
    OKBtn = MakeButton(this, "OKBtn", QStringLiteral("OK"), 121, 148, 75, 25, f);
    CancelBtn = MakeButton(this, "CancelBtn", QStringLiteral("Cancel"), 225, 148, 75, 25, f);
    OKBtn->setDefault(true);
    CancelBtn->setAutoDefault(false);
    Label2 = MakeLabel(this, "Label2", QStringLiteral("Warning, only one graph will be printed on each page!"), 83,
                       192, f);
    connect(OKBtn, &QPushButton::clicked, this, &TOKBottomDlg2::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &TOKBottomDlg2::CancelBtnClick);

    PrinterAvailable = [] { return TPrinterService::HasDefaultPrinter(); };
    ChoosePdfBase = [](QWidget* parent) {
        QString title;
        if (EnglishChosen())
            title = QStringLiteral("No printer: save the graphs as PDF files");
        else if (FrenchChosen())
            title = QStringLiteral("Pas d'imprimante : enregistrer les graphiques en fichiers PDF");
        else
            title = QStringLiteral("No printer: save the graphs as PDF files / Pas d'imprimante : fichiers PDF");
        return QFileDialog::getSaveFileName(parent, title, QDir::current().filePath(QStringLiteral("Tarvello")),
                                            QStringLiteral("PDF (*.pdf)"), nullptr,
                                            QFileDialog::DontConfirmOverwrite);
    };
}

void TOKBottomDlg2::SetPrintTexts()
{
    if (EnglishChosen()) {
        setWindowTitle(QStringLiteral("Print Graphs"));
        SetCaption(Label1, QStringLiteral("Select Graphs to print"));
        SetCaption(Label2, QStringLiteral("Warning, only one graph will be printed on each page!"));
        CheckBox1->setText(QStringLiteral("Current = f(t)"));
        CheckBox2->setText(QStringLiteral("Torque = f(t)"));
        CheckBox3->setText(QStringLiteral("Current = f(n/ns)"));
        CheckBox4->setText(QStringLiteral("Torque = f(n/ns)"));
        CancelBtn->setText(QStringLiteral("Cancel"));
    } else if (FrenchChosen()) {
        setWindowTitle(QStringLiteral("Imprimer Graphiques"));
        SetCaption(Label1, QStringLiteral("Choisir les graphiques à imprimer"));
        SetCaption(Label2, QStringLiteral("Attention, un seul graphique par page sera imprimé!"));
        CheckBox1->setText(QStringLiteral("Courant = f(t)"));
        CheckBox2->setText(QStringLiteral("Couple = f(t)"));
        CheckBox3->setText(QStringLiteral("Courant = f(n/ns)"));
        CheckBox4->setText(QStringLiteral("Couple = f(n/ns)"));
        CancelBtn->setText(QStringLiteral("Annuler"));
    }
}

void TOKBottomDlg2::FormActivate()
{
    SetPrintTexts();
    // The static charts can be switched on or off while the dialog is open.
    CheckBox3->setVisible(MotorData.ShowStaticCurves);
    CheckBox4->setVisible(MotorData.ShowStaticCurves);
}

void TOKBottomDlg2::FormShow()
{
    for (QCheckBox* c : {CheckBox1, CheckBox2, CheckBox3, CheckBox4})
        c->setChecked(false);
    CheckBox1->setFocus();
}

QString TOKBottomDlg2::PdfFileName(const QString& base, const QString& chart)
{
    QString stem = base;
    if (QFileInfo(stem).isDir())
        stem = QDir(stem).filePath(QStringLiteral("Tarvello"));
    else if (stem.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        stem.chop(4);
    return stem + QLatin1Char('-') + chart + QStringLiteral(".pdf");
}

void TOKBottomDlg2::OKBtnClick()
{
    struct Job {
        TxyGraph* chart;
        const char* file;    // part of the PDF file name
        const char* english; // the chart as the user knows it
        const char* french;
    };
    std::vector<Job> jobs;
    if (Form1) {
        // The graphs against n/ns only while they are shown: their boxes are hidden otherwise.
        const bool statics = MotorData.ShowStaticCurves;
        if (CheckBox1->isChecked())
            jobs.push_back({Form1->xyGraph3, "Current-t", "Current = f(t)", "Courant = f(t)"});
        if (CheckBox2->isChecked())
            jobs.push_back({Form1->xyGraph4, "Torque-t", "Torque = f(t)", "Couple = f(t)"});
        if (statics && CheckBox3->isChecked())
            jobs.push_back({Form1->xyGraph1, "Current-n", "Current = f(n/ns)", "Courant = f(n/ns)"});
        if (statics && CheckBox4->isChecked())
            jobs.push_back({Form1->xyGraph2, "Torque-n", "Torque = f(n/ns)", "Couple = f(n/ns)"});
    }
    lastPdfFiles_.clear();
    lastReport_.clear();
    if (jobs.empty()) {
        CloseForm();
        return;
    }

    const bool toPrinter = PrinterAvailable && PrinterAvailable();
    QString base;
    if (!toPrinter) {
        base = ChoosePdfBase ? ChoosePdfBase(this) : QString();
        if (base.isEmpty())
            return; // given up: nothing printed, the choice of charts stays
    }

    QStringList failedEnglish, failedFrench, writtenFiles;
    for (const Job& job : jobs) {
        bool done = false;
        QString why;
        try {
            if (toPrinter) {
                done = job.chart->Print();
            } else {
                const QString file = PdfFileName(base, QString::fromLatin1(job.file));
                // An old file of the same name must not pass for the new page.
                if (QFile::exists(file) && !QFile::remove(file)) {
                    why = file;
                } else {
                    TPrinterService pdf(file, TPrinterService::Target::PdfFile);
                    done = job.chart->Print(pdf) && QFileInfo(file).size() > 0;
                    if (done)
                        writtenFiles << QDir::toNativeSeparators(file);
                    else
                        why = QDir::toNativeSeparators(file);
                }
            }
        } catch (const std::exception& e) {
            done = false;
            why = QString::fromLocal8Bit(e.what());
        }
        if (!done) {
            const QString suffix = why.isEmpty() ? QString() : QStringLiteral(" (") + why + QLatin1Char(')');
            failedEnglish << QString::fromUtf8(job.english) + suffix;
            failedFrench << QString::fromUtf8(job.french) + suffix;
        }
    }
    lastPdfFiles_ = writtenFiles;

    QString english, french;
    if (!writtenFiles.isEmpty()) {
        english = QStringLiteral("No printer is installed: the graphs were written as PDF files, one page each:\n") +
                  writtenFiles.join(QLatin1Char('\n'));
        french = QStringLiteral("Aucune imprimante n'est installée : les graphiques ont été enregistrés en "
                                "fichiers PDF, une page chacun :\n") +
                 writtenFiles.join(QLatin1Char('\n'));
    }
    if (!failedEnglish.isEmpty()) {
        if (!english.isEmpty()) {
            english += QStringLiteral("\n\n");
            french += QStringLiteral("\n\n");
        }
        english += QStringLiteral("These graphs could not be printed:\n") + failedEnglish.join(QLatin1Char('\n'));
        french += QStringLiteral("Ces graphiques n'ont pas pu être imprimés :\n") + failedFrench.join(QLatin1Char('\n'));
    }
    // After a failure the dialog stays, so that the user can try again or cancel; after a
    // success it goes first, so that hiding it does not put the main window over the note.
    const bool failed = !failedEnglish.isEmpty();
    if (!failed)
        CloseForm();
    if (!english.isEmpty())
        Report(english, french, failed);
}

void TOKBottomDlg2::Report(const QString& english, const QString& french, bool failed)
{
    if (EnglishChosen())
        lastReport_ = english;
    else if (FrenchChosen())
        lastReport_ = french;
    else
        lastReport_ = english + QStringLiteral("\n\n") + french;
    // The main window owns the note: this dialog may hide right after.
    QWidget* owner = failed || !Form1 ? static_cast<QWidget*>(this) : static_cast<QWidget*>(Form1);
    auto* box = new QMessageBox(failed ? QMessageBox::Warning : QMessageBox::Information, QStringLiteral("Tarvello"),
                                lastReport_, QMessageBox::Ok, owner);
    box->setObjectName(QStringLiteral("PrintReportBox"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
    box->raise();
    box->activateWindow();
}

void TOKBottomDlg2::CancelBtnClick()
{
    CloseForm();
}
