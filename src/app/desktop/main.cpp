// tarvello: the desktop simulator. Start-up: the application, the chart's clipboard format, the
// ten windows in their order, then a study named on the command line (tarvello FILE.tarvello);
// then the event loop until the main window is closed.

#include "Forms.h"
#include "Main.h"
#include "StudyFiles.h"
#include "WorkingFolder.h"

#include <QApplication>
#include <QDir>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // Qt's settings (the recent studies) are kept under these names.
    QCoreApplication::setOrganizationName(QStringLiteral("Tarvello"));
    QCoreApplication::setApplicationName(QStringLiteral("tarvello"));
    // A study on the command line is named from the folder the program is started in.
    const QString study = StudyArgument(QCoreApplication::arguments(), QDir::currentPath());
    // The list files are opened by their bare names: work in the folder that holds them.
    const QString installedData = QDir(QCoreApplication::applicationDirPath()).filePath("../share/tarvello");
    QDir::setCurrent(ChooseWorkingFolder(QDir::currentPath(), installedData, UserDataHome()));
    // Dialogs may still be open when the main window closes; closing it ends the program.
    QApplication::setQuitOnLastWindowClosed(false);
    StartUp();
    QObject::connect(Form1, &TForm1::Closed, &app, &QCoreApplication::quit);
    Form1->show();
    // After the main window, so that a refusal's message comes in front of it.
    if (!study.isEmpty())
        Form1->Studies->OpenAtStart(study);
    const int result = app.exec();
    DestroyForms();
    return result;
}
