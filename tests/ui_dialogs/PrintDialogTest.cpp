// The print dialog: which charts it offers, the order of the jobs, and PDF files when the
// machine has no printer.

#include "DialogFixture.h"

#include "MainCharts.h"
#include "Print.h"
#include "PrintService.h"
#include "xyGraph.h"

#include <QRegularExpression>

#include <memory>

namespace {

// Pages of a PDF file: its page objects ("/Type /Page", not "/Type /Pages").
int PdfPages(const QString& file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QString content = QString::fromLatin1(f.readAll());
    return static_cast<int>(content.count(QRegularExpression(QStringLiteral("/Type\\s*/Page(?![s\\w])"))));
}

// A printer that keeps its page in memory and writes down every job in the shared log.
class RecordingPrinter : public TPrintService {
public:
    RecordingPrinter(std::vector<std::string>& log, std::string chart) : log_(log), chart_(std::move(chart)) {}
    QPaintDevice* BeginJob(const QString&) override
    {
        log_.push_back(chart_ + " begin");
        page_ = QImage(1000, 1400, QImage::Format_RGB32);
        page_.fill(Qt::white);
        return &page_;
    }
    void EndJob() override
    {
        // Something of the chart reached the page.
        bool drawn = false;
        for (int y = 0; y < page_.height() && !drawn; y += 4)
            for (int x = 0; x < page_.width() && !drawn; x += 4)
                drawn = page_.pixel(x, y) != qRgb(255, 255, 255);
        log_.push_back(chart_ + (drawn ? " end" : " end blank"));
    }
    void AbortJob() override { log_.push_back(chart_ + " abort"); }

private:
    std::vector<std::string>& log_;
    std::string chart_;
    QImage page_;
};

} // namespace

class PrintTest : public DialogTest {
protected:
    void ToResults(bool staticCurves)
    {
        RunWorkflow(false);
        ASSERT_TRUE(MotorData.ResultsMode);
        if (staticCurves)
            Trigger(Form1->DisplayStatic);
        ASSERT_EQ(MotorData.ShowStaticCurves, staticCurves);
    }

    // No printer: the PDF base name is the one given here, and every question is counted.
    void WithoutPrinter(const QString& base)
    {
        OKBottomDlg2->PrinterAvailable = [] { return false; };
        OKBottomDlg2->ChoosePdfBase = [this, base](QWidget*) {
            ++questions_;
            return base;
        };
    }

    void OpenPrint() { Trigger(Form1->Print1); }

    int questions_ = 0;
};

TEST_F(PrintTest, EveryTickedChartIsAOnePagePdfInOrder)
{
    ToResults(true);
    OpenPrint();
    WithoutPrinter(Path("graphs"));
    for (QCheckBox* box : {OKBottomDlg2->CheckBox1, OKBottomDlg2->CheckBox2, OKBottomDlg2->CheckBox3,
                           OKBottomDlg2->CheckBox4})
        box->setChecked(true);
    Click(OKBottomDlg2->OKBtn);

    EXPECT_FALSE(OKBottomDlg2->isVisible());
    EXPECT_EQ(questions_, 1);
    const QStringList expected = {Path("graphs-Current-t.pdf"), Path("graphs-Torque-t.pdf"),
                                  Path("graphs-Current-n.pdf"), Path("graphs-Torque-n.pdf")};
    EXPECT_EQ(OKBottomDlg2->LastPdfFiles(), expected);
    for (const QString& file : expected)
        EXPECT_EQ(PdfPages(file), 1) << file.toStdString();
    EXPECT_EQ(BoxesNamed("PrintReportBox"), 1);
    EXPECT_TRUE(OKBottomDlg2->LastPrintReport().startsWith("No printer is installed"));
    EXPECT_TRUE(OKBottomDlg2->LastPrintReport().contains(expected.last()));
    // The charts on screen are as they were.
    EXPECT_FALSE(Form1->xyGraph3->Printing());
    EXPECT_EQ(SeriesPoints(Form1->xyGraph3, 1).size(), 100u);
}

TEST_F(PrintTest, StaticChartsAreNeitherOfferedNorPrintedWhileHidden)
{
    ToResults(false);
    OpenPrint();
    EXPECT_TRUE(OKBottomDlg2->CheckBox1->isVisible());
    EXPECT_TRUE(OKBottomDlg2->CheckBox2->isVisible());
    EXPECT_FALSE(OKBottomDlg2->CheckBox3->isVisible());
    EXPECT_FALSE(OKBottomDlg2->CheckBox4->isVisible());
    WithoutPrinter(Path("only"));
    OKBottomDlg2->CheckBox2->setChecked(true);
    OKBottomDlg2->CheckBox4->setChecked(true); // hidden: cannot count
    Click(OKBottomDlg2->OKBtn);
    EXPECT_EQ(OKBottomDlg2->LastPdfFiles(), QStringList{Path("only-Torque-t.pdf")});
    EXPECT_FALSE(QFile::exists(Path("only-Torque-n.pdf")));
    EXPECT_FALSE(QFile::exists(Path("only-Current-t.pdf")));
}

TEST_F(PrintTest, EveryOpeningStartsWithAllBoxesCleared)
{
    ToResults(true);
    OpenPrint();
    WithoutPrinter(Path("first"));
    for (QCheckBox* box : {OKBottomDlg2->CheckBox1, OKBottomDlg2->CheckBox3})
        box->setChecked(true);
    Click(OKBottomDlg2->OKBtn);
    ASSERT_FALSE(OKBottomDlg2->isVisible());
    OpenPrint();
    for (QCheckBox* box : {OKBottomDlg2->CheckBox1, OKBottomDlg2->CheckBox2, OKBottomDlg2->CheckBox3,
                           OKBottomDlg2->CheckBox4}) {
        EXPECT_FALSE(box->isChecked()) << box->objectName().toStdString();
        EXPECT_TRUE(box->isVisible()) << box->objectName().toStdString();
    }
    OKBottomDlg2->CheckBox2->setChecked(true);
    Click(OKBottomDlg2->CancelBtn);
    OpenPrint();
    EXPECT_FALSE(OKBottomDlg2->CheckBox2->isChecked());
}

TEST_F(PrintTest, WithAPrinterEachChartIsAJobOfItsOwnInOrder)
{
    ToResults(true);
    std::vector<std::string> log;
    const std::pair<TxyGraph*, const char*> charts[] = {{Form1->xyGraph1, "xyGraph1"}, {Form1->xyGraph2, "xyGraph2"},
                                                       {Form1->xyGraph3, "xyGraph3"}, {Form1->xyGraph4, "xyGraph4"}};
    for (const auto& [chart, name] : charts)
        chart->SetPrintService(std::make_shared<RecordingPrinter>(log, name));
    OpenPrint();
    OKBottomDlg2->PrinterAvailable = [] { return true; };
    OKBottomDlg2->ChoosePdfBase = [](QWidget*) -> QString {
        ADD_FAILURE() << "a printer needs no file";
        return {};
    };
    for (QCheckBox* box : {OKBottomDlg2->CheckBox1, OKBottomDlg2->CheckBox2, OKBottomDlg2->CheckBox3,
                           OKBottomDlg2->CheckBox4})
        box->setChecked(true);
    Click(OKBottomDlg2->OKBtn);
    EXPECT_FALSE(OKBottomDlg2->isVisible());
    const std::vector<std::string> expected = {"xyGraph3 begin", "xyGraph3 end", "xyGraph4 begin", "xyGraph4 end",
                                               "xyGraph1 begin", "xyGraph1 end", "xyGraph2 begin", "xyGraph2 end"};
    EXPECT_EQ(log, expected);
    EXPECT_TRUE(OKBottomDlg2->LastPdfFiles().isEmpty());
    EXPECT_EQ(BoxesNamed("PrintReportBox"), 0);
}

TEST_F(PrintTest, NoTickedBoxClosesWithoutPrinting)
{
    ToResults(false);
    OpenPrint();
    WithoutPrinter(Path("none"));
    Click(OKBottomDlg2->OKBtn);
    EXPECT_FALSE(OKBottomDlg2->isVisible());
    EXPECT_EQ(questions_, 0);
    EXPECT_TRUE(QDir(Path("")).entryList({QStringLiteral("*.pdf")}).isEmpty());
}

TEST_F(PrintTest, GivingUpTheFileChoicePrintsNothingAndKeepsTheDialog)
{
    ToResults(false);
    OpenPrint();
    WithoutPrinter(QString());
    OKBottomDlg2->CheckBox1->setChecked(true);
    Click(OKBottomDlg2->OKBtn);
    EXPECT_EQ(questions_, 1);
    EXPECT_TRUE(OKBottomDlg2->isVisible());
    EXPECT_TRUE(OKBottomDlg2->CheckBox1->isChecked());
    EXPECT_TRUE(OKBottomDlg2->LastPdfFiles().isEmpty());
    EXPECT_TRUE(QDir(Path("")).entryList({QStringLiteral("*.pdf")}).isEmpty());
}

TEST_F(PrintTest, AFileThatCannotBeWrittenIsReportedNotPassedOffAsPrinted)
{
    ToResults(false);
    OpenPrint();
    WithoutPrinter(Path("no-such-folder/graphs"));
    OKBottomDlg2->CheckBox1->setChecked(true);
    Click(OKBottomDlg2->OKBtn);
    EXPECT_TRUE(OKBottomDlg2->isVisible());
    EXPECT_TRUE(OKBottomDlg2->LastPdfFiles().isEmpty());
    EXPECT_EQ(BoxesNamed("PrintReportBox"), 1);
    EXPECT_TRUE(OKBottomDlg2->LastPrintReport().startsWith("These graphs could not be printed:"))
        << OKBottomDlg2->LastPrintReport().toStdString();
    EXPECT_TRUE(OKBottomDlg2->LastPrintReport().contains("Current = f(t)"));
}

TEST_F(PrintTest, AFolderOrAPdfNameGivesTheBaseOfTheFiles)
{
    EXPECT_EQ(TOKBottomDlg2::PdfFileName(Path("graphs.PDF"), "Torque-t"), Path("graphs-Torque-t.pdf"));
    EXPECT_EQ(TOKBottomDlg2::PdfFileName(Path(""), "Current-n"), Path("Tarvello-Current-n.pdf"));
    EXPECT_EQ(TOKBottomDlg2::PdfFileName(Path("run 2"), "Current-t"), Path("run 2-Current-t.pdf"));
}

TEST_F(PrintTest, FrenchTextsAndFrenchReport)
{
    RunWorkflow(true);
    OpenPrint();
    EXPECT_EQ(OKBottomDlg2->windowTitle(), "Imprimer Graphiques");
    EXPECT_EQ(OKBottomDlg2->Label1->text(), QString::fromUtf8("Choisir les graphiques à imprimer"));
    EXPECT_EQ(OKBottomDlg2->Label2->text(), QString::fromUtf8("Attention, un seul graphique par page sera imprimé!"));
    EXPECT_EQ(OKBottomDlg2->CheckBox1->text(), "Courant = f(t)");
    EXPECT_EQ(OKBottomDlg2->CheckBox2->text(), "Couple = f(t)");
    EXPECT_EQ(OKBottomDlg2->CancelBtn->text(), "Annuler");
    EXPECT_EQ(OKBottomDlg2->OKBtn->text(), "OK");
    WithoutPrinter(Path("fr"));
    OKBottomDlg2->CheckBox1->setChecked(true);
    Click(OKBottomDlg2->OKBtn);
    EXPECT_TRUE(OKBottomDlg2->LastPrintReport().startsWith(QString::fromUtf8("Aucune imprimante n'est installée")));
    EXPECT_EQ(PdfPages(Path("fr-Current-t.pdf")), 1);
}
