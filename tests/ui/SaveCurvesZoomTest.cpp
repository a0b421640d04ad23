// Saving the curves through the file dialog (in the chosen language), and a zoom that the next
// computation replaces.

#include "UiFixture.h"

#include "CurveFile.h"
#include "MainCharts.h"
#include "xyGraph.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLocale>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <fstream>
#include <functional>
#include <sstream>

namespace {
std::string ReadBytes(const QString& file)
{
    std::ifstream in(file.toStdString(), std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Runs SaveCurvesClick; while its file dialog is open, answer gets the dialog and closes it.
void SaveCurvesAnswering(const std::function<void(QFileDialog*)>& answer)
{
    bool answered = false;
    std::function<void()> poll = [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* dialog = qobject_cast<QFileDialog*>(w); dialog && dialog->isVisible()) {
                answered = true;
                answer(dialog);
                // A dialog that the answer left open would block the test: close it, and fail.
                QTimer::singleShot(3000, dialog, [dialog] {
                    if (dialog->isVisible()) {
                        ADD_FAILURE() << "the file dialog stayed open";
                        dialog->reject();
                    }
                });
                return;
            }
        QTimer::singleShot(10, poll);
    };
    QTimer::singleShot(0, poll);
    Form1->SaveCurves->trigger();
    ASSERT_TRUE(answered) << "no file dialog was shown";
}

void TypeAndAccept(QFileDialog* dialog, const QString& name)
{
    auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(edit, nullptr);
    edit->setText(name);
    QTest::keyClick(edit, Qt::Key_Return);
}
} // namespace

TEST_F(UiTest, SavedCurvesAreTheWritersBytesWithTheSuffixAdded)
{
    RunWorkflow();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QString filters;
    SaveCurvesAnswering([&](QFileDialog* d) {
        filters = d->nameFilters().join('|');
        EXPECT_EQ(d->defaultSuffix(), "TXT");
        TypeAndAccept(d, dir.filePath("start"));
    });
    EXPECT_EQ(filters, "Text File (*.TXT)|All File (*.*)");
    const QString file = dir.filePath("start.TXT");
    ASSERT_TRUE(QFile::exists(file));
    EXPECT_EQ(ReadBytes(file), CurveFileText(MotorData));
    EXPECT_EQ(ReadBytes(file).rfind("Time;Id/In DOL;Td/Tn DOL;Id/In SS;Td/Tn SS\r\n", 0), 0u);

    // The name chosen last is offered again.
    QStringList offered;
    SaveCurvesAnswering([&](QFileDialog* d) {
        offered = d->selectedFiles();
        d->reject();
    });
    ASSERT_FALSE(offered.isEmpty());
    EXPECT_EQ(offered.first(), file);
}

TEST_F(UiTest, CancelledCurveSavingWritesNothing)
{
    RunWorkflow();
    QTemporaryDir dir;
    const QString file = dir.filePath("kept.TXT");
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("old contents");
    }
    SaveCurvesAnswering([&](QFileDialog* d) {
        d->selectFile(file);
        d->reject();
    });
    EXPECT_EQ(ReadBytes(file), "old contents");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1);
}

TEST_F(UiTest, AnUnwritableFileIsReportedWithTheSystemText)
{
    RunWorkflow();
    // No file can be created in /proc, not even by root.
    SaveCurvesAnswering([&](QFileDialog* d) { TypeAndAccept(d, "/proc/tarvello-curves"); });
    Pump();
    QMessageBox* shown = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible())
            shown = box;
    ASSERT_NE(shown, nullptr) << "the failure was not reported";
    EXPECT_TRUE(shown->text().contains("/proc/tarvello-curves.TXT")) << shown->text().toStdString();
    EXPECT_TRUE(shown->text().contains("Cannot create")) << shown->text().toStdString();
    EXPECT_FALSE(QFile::exists("/proc/tarvello-curves.TXT"));
}

TEST_F(UiTest, ANewComputationReplacesTheZoom)
{
    RunWorkflow();
    TxyGraph* chart = Form1->xyGraph3;
    QWidget* w = AsWidget(chart);
    const double fittedMax = chart->YAxis().Max();
    // Shift-drag across the middle of the plot.
    QTest::mousePress(w, Qt::LeftButton, Qt::ShiftModifier, QPoint(120, 40));
    QTest::mouseEvent(QTest::MouseMove, w, Qt::NoButton, Qt::ShiftModifier, QPoint(200, 70));
    QTest::mouseRelease(w, Qt::LeftButton, Qt::ShiftModifier, QPoint(200, 70));
    Pump();
    EXPECT_FALSE(chart->YAxis().AutoSizing());
    EXPECT_LT(chart->YAxis().Max(), fittedMax);
    EXPECT_GT(chart->XAxis().Min(), 0);

    // A confirmed change recomputes: the axes are fitted to the data again from 0.
    Trigger(Form1->SoftStarter);
    SetTimeMode("6");
    Pump();
    EXPECT_EQ(chart->XAxis().Min(), 0);
    EXPECT_EQ(chart->YAxis().Min(), 0);
    EXPECT_DOUBLE_EQ(chart->YAxis().Max(), fittedMax); // same DOL peak
}

TEST_F(UiTest, StandardDialogsSpeakTheChosenLanguage)
{
    RunWorkflow();
    // Qt's own buttons: the file dialog of Save Curves and a message box's standard buttons.
    const struct {
        bool french;
        const char *save, *cancel, *yes;
    } choices[] = {{false, "&Save", "Cancel", "&Yes"}, {true, "&Enregistrer", "Annuler", "&Oui"},
                   {false, "&Save", "Cancel", "&Yes"}};
    for (const auto& c : choices) {
        ChooseLanguage(c.french);
        QStringList buttons;
        SaveCurvesAnswering([&](QFileDialog* d) {
            for (const QAbstractButton* b : d->findChild<QDialogButtonBox*>()->buttons())
                buttons << b->text();
            d->reject();
        });
        EXPECT_EQ(buttons, QStringList({c.save, c.cancel}));
        const QMessageBox box(QMessageBox::Question, "Tarvello", "?", QMessageBox::Yes);
        EXPECT_EQ(box.button(QMessageBox::Yes)->text(), c.yes);
        // The default locale stays the system's: the charts' numbers keep the user's separator.
        EXPECT_EQ(QLocale().decimalPoint(), QLocale::system().decimalPoint());
    }
}
