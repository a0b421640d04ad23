// Runs the study tests in one QApplication on the offscreen platform. The program's settings go to
// a temporary folder, never to the user's own: the names are those of the program, the place is not.

#include <gtest/gtest.h>

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>

#include <cstdlib>

namespace {
// The offscreen platform says at every raise() that it cannot raise; nothing else is hidden.
void QuietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.startsWith(QStringLiteral("This plugin does not support")))
        return;
    qt_message_output(type, context, message);
}
} // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QTemporaryDir settings;
    if (!settings.isValid())
        return 2;
    // Anything that would still look for the configuration home finds the temporary folder too.
    setenv("XDG_CONFIG_HOME", settings.path().toLocal8Bit().constData(), 1);
    qInstallMessageHandler(QuietHandler);
    QApplication app(argc, argv);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
    QCoreApplication::setOrganizationName(QStringLiteral("Tarvello"));
    QCoreApplication::setApplicationName(QStringLiteral("tarvello"));
    QApplication::setQuitOnLastWindowClosed(false);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
