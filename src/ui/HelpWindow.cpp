#include "HelpWindow.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

THelpWindow::THelpWindow() : QWidget(nullptr, Qt::Window)
{
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Tarvello Help"));
    resize(720, 560);
    browser_ = new QTextBrowser(this);
    browser_->setObjectName(QStringLiteral("HelpBrowser"));
    browser_->setOpenExternalLinks(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
}

void THelpWindow::ShowContents(const QString& path)
{
    file_ = path;
    QUrl url = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
    url.setFragment(QStringLiteral("contents"));
    browser_->setSource(url);
    browser_->scrollToAnchor(QStringLiteral("contents"));
    setWindowTitle(browser_->documentTitle().isEmpty() ? QStringLiteral("Tarvello Help") : browser_->documentTitle());
    show();
    raise();
    activateWindow();
}

QString HelpFileName(bool french)
{
    return french ? QStringLiteral("Help/TarvelloFr.html") : QStringLiteral("Help/TarvelloEng.html");
}

QString FindHelpFile(bool french)
{
    const QString name = HelpFileName(french);
    const QString inWorkingDir = QDir::current().filePath(name);
    if (QFileInfo(inWorkingDir).isFile())
        return inWorkingDir;
    const QString installed =
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../share/tarvello/") + name);
    if (QFileInfo(installed).isFile())
        return QDir::cleanPath(installed);
    return {};
}
