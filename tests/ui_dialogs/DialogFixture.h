#pragma once
// A fresh program in a temporary working directory that holds the delivered catalogue as both
// "Liste Moteur.old" and "Liste Moteur.dat", plus helpers that drive the catalogue windows.

#include "UiFixture.h"

#include "Init_Mot.h"
#include "MotorList.h"
#include "SchemEqu.h"
#include "SelMot.h"

#include <QDir>
#include <QFile>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

class DialogTest : public UiTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        previous_ = QDir::currentPath();
        const QString delivered = QStringLiteral(TARVELLO_SOURCE_DIR "/data/Liste Moteur.old");
        ASSERT_TRUE(QFile::copy(delivered, dir_.filePath(QString::fromUtf8(BackupFileName))));
        ASSERT_TRUE(QFile::copy(delivered, dir_.filePath(QString::fromUtf8(ListFileName))));
        for (const char* name : {BackupFileName, ListFileName})
            QFile::setPermissions(dir_.filePath(QString::fromUtf8(name)),
                                  QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        ASSERT_TRUE(QDir::setCurrent(dir_.path()));
        UiTest::SetUp();
    }
    void TearDown() override
    {
        UiTest::TearDown();
        QDir::setCurrent(previous_);
    }

    QString Path(const QString& name) const { return dir_.filePath(name); }

    static std::string Bytes(const char* file)
    {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    // The lines of a file without their CR LF.
    static std::vector<std::string> Lines(const char* file)
    {
        std::vector<std::string> lines;
        std::istringstream in(Bytes(file));
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            lines.push_back(line);
        }
        return lines;
    }

    // Writes "Liste Moteur.dat" with the given lines (ASCII), CR LF after each.
    static void WriteList(const std::vector<std::string>& lines)
    {
        std::ofstream out(ListFileName, std::ios::binary | std::ios::trunc);
        for (const std::string& l : lines)
            out << l << "\r\n";
    }

    // A record line in the catalogue format.
    static std::string Record(int number, const std::string& maker, const std::string& size, int power,
                              const std::string& coupling = "Star", const std::string& rr = "0.61")
    {
        return std::to_string(number) + ";" + maker + ";" + size + ";" + std::to_string(power) +
               ";400;50;11.2;0.83;1450;5.6;0.86;" + rr + ";1.36;1.36;61;1440;" + coupling + ";";
    }

    static const std::string& Title()
    {
        static const std::string title = "0;Constructor;Motor Size;Power [W];";
        return title;
    }

    // Step 1 of the start menu: the selection dialog opens on the list.
    static void OpenSelection() { Click(Form1->Button1); }

    // A mouse click on a row of the grid, as the user picks a motor.
    static void PickRow(int row)
    {
        QTableWidget* grid = Form4->StringGrid1;
        grid->scrollToItem(grid->item(row, 1));
        Pump();
        const QRect cell = grid->visualItemRect(grid->item(row, 1));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
        Pump();
    }

    static QString Cell(int row, int column)
    {
        const QTableWidgetItem* item = Form4->StringGrid1->item(row, column);
        return item ? item->text() : QString();
    }

    // Picks a row of the list, confirms it and leaves the selection dialog.
    static void ChooseListedMotor(int row)
    {
        OpenSelection();
        PickRow(row);
        Click(Form4->Button1);
    }

    // The 5.5 kW delta motor of the list through the guided order to its results.
    static void ListedMotorResults()
    {
        WriteList({Title(), Record(1, "Maker A", "132 M", 5500, "Delta")});
        ChooseLanguage(false);
        ChooseListedMotor(1);
        ToResults();
        ASSERT_TRUE(MotorData.ResultsMode);
    }

    static int BoxesNamed(const char* name)
    {
        int n = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<QMessageBox*>(w) && w->isVisible() && w->objectName() == name)
                ++n;
        return n;
    }

private:
    QTemporaryDir dir_;
    QString previous_;
};
