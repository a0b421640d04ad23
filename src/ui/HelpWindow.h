#pragma once
// The help viewer: a window of the program showing an HTML help file at its contents.

#include <QString>
#include <QWidget>

class QTextBrowser;

class THelpWindow : public QWidget {
    Q_OBJECT
public:
    THelpWindow();
    // Shows the file at its table of contents.
    void ShowContents(const QString& path);
    QString CurrentFile() const { return file_; }
    QTextBrowser* Browser() const { return browser_; }

private:
    QTextBrowser* browser_;
    QString file_;
};

// "Help/TarvelloEng.html" or "Help/TarvelloFr.html": first relative to the working directory,
// then in ../share/tarvello/Help beside the executable. Empty when neither exists.
QString FindHelpFile(bool french);
// The relative name that is looked for.
QString HelpFileName(bool french);
