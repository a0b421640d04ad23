#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "WorkingFolder.h"

namespace {
void Write(const QString& file, const QByteArray& bytes) {
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray Read(const QString& file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}
} // namespace

TEST(WorkingFolder, TheStartFolderWinsWhenItHoldsTheList) {
    QTemporaryDir root;
    const QString here = root.filePath("here"), share = root.filePath("share"), home = root.filePath("home");
    QDir().mkpath(here);
    QDir().mkpath(share);
    Write(here + "/Liste Moteur.dat", "mine");
    Write(share + "/Liste Moteur.old", "delivered");
    EXPECT_EQ(ChooseWorkingFolder(here, share, home), here);
    EXPECT_FALSE(QDir(home).exists());
}

TEST(WorkingFolder, AnInstalledProgramMakesTheUsersFolderOnce) {
    QTemporaryDir root;
    const QString here = root.filePath("here"), share = root.filePath("share"), home = root.filePath("home");
    QDir().mkpath(here);
    QDir().mkpath(share);
    Write(share + "/Liste Moteur.old", "0;title;\r\n1;delivered;\r\n");
    QFile::setPermissions(share + "/Liste Moteur.old", QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);

    const QString folder = ChooseWorkingFolder(here, share, home);
    EXPECT_EQ(folder, home + "/tarvello");
    EXPECT_EQ(Read(folder + "/Liste Moteur.dat"), "0;title;\r\n1;delivered;\r\n");
    EXPECT_EQ(Read(folder + "/Liste Moteur.old"), "0;title;\r\n1;delivered;\r\n");
    EXPECT_TRUE(QFile::permissions(folder + "/Liste Moteur.dat") & QFile::WriteOwner);

    // The user's saved motors survive every later start.
    Write(folder + "/Liste Moteur.dat", "0;title;\r\n1;delivered;\r\n2;saved;\r\n");
    EXPECT_EQ(ChooseWorkingFolder(here, share, home), folder);
    EXPECT_EQ(Read(folder + "/Liste Moteur.dat"), "0;title;\r\n1;delivered;\r\n2;saved;\r\n");
}

TEST(WorkingFolder, ADevelopmentRunStaysWhereItIs) {
    QTemporaryDir root;
    const QString here = root.filePath("here"), home = root.filePath("home");
    QDir().mkpath(here);
    EXPECT_EQ(ChooseWorkingFolder(here, root.filePath("no-share"), home), here);
    EXPECT_EQ(ChooseWorkingFolder(here, QString(), home), here);
    EXPECT_FALSE(QDir(home).exists());
}

TEST(WorkingFolder, DataHomeFollowsXdg) {
    qputenv("XDG_DATA_HOME", "/somewhere/data");
    EXPECT_EQ(UserDataHome(), "/somewhere/data");
    qputenv("XDG_DATA_HOME", "relative/ignored");
    EXPECT_EQ(UserDataHome(), QDir::home().filePath(".local/share"));
    qunsetenv("XDG_DATA_HOME");
    EXPECT_EQ(UserDataHome(), QDir::home().filePath(".local/share"));
}
