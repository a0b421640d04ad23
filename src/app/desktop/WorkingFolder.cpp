#include "WorkingFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
const QString ListName = QStringLiteral("Liste Moteur.dat");
const QString BackupName = QStringLiteral("Liste Moteur.old");

bool CopyIfMissing(const QString& from, const QString& to) {
    return QFileInfo::exists(to) || QFile::copy(from, to);
}
} // namespace

QString ChooseWorkingFolder(const QString& currentFolder, const QString& installedData, const QString& dataHome) {
    if (QFileInfo::exists(QDir(currentFolder).filePath(ListName))) return currentFolder;
    const QString delivered = QDir(installedData).filePath(BackupName);
    if (installedData.isEmpty() || !QFileInfo::exists(delivered)) return currentFolder;
    const QString folder = QDir(dataHome).filePath(QStringLiteral("tarvello"));
    if (!QDir().mkpath(folder)) return currentFolder;
    const bool ok = CopyIfMissing(delivered, QDir(folder).filePath(BackupName)) &&
                    CopyIfMissing(delivered, QDir(folder).filePath(ListName));
    if (!ok) return currentFolder;
    // A copy keeps the read-only bits of the installed file; the list must stay writable.
    QFile::setPermissions(QDir(folder).filePath(ListName),
                          QFile::permissions(QDir(folder).filePath(ListName)) | QFile::WriteOwner);
    return folder;
}

QString UserDataHome() {
    const QString xdg = qEnvironmentVariable("XDG_DATA_HOME");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg)) return xdg;
    return QDir::home().filePath(QStringLiteral(".local/share"));
}
