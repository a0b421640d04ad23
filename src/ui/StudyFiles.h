#pragma once
// Study files in the desktop program: File > Open Study..., Save Study, Save Study As... and the
// last four studies; the study's name and change mark before the caption; the question before a
// changed study is left; a study given on the command line.
//
// "The study in hand" is the file opened or saved last in this run. Its text as it was then is
// kept: the settings have changed exactly when the study they make now has another text.

#include "Study.h"

#include <QObject>
#include <QString>
#include <QStringList>


class QAction;
class TForm1;

class TStudyFiles : public QObject {
    Q_OBJECT
  public:
    static constexpr int MaxRecentStudies = 4;

    // Puts the study entries at the top of the main window's File menu and lists the recent studies.
    explicit TStudyFiles(TForm1* main);

    void OpenStudyClick();
    void SaveStudyClick();
    void SaveStudyAsClick();

    // Opens a study file (File > Open Study once the file is chosen): the settings, the dialogs'
    // fields and the tracked choices become the study's, the results are computed and shown. The
    // language chosen in this run stays. A refusal shows its numbered message (with the line of the
    // file) and changes nothing. Returns whether the study was opened.
    bool OpenFile(const QString& path);
    // Writes the settings in hand as a study file (Save Study once the file is known). Returns
    // whether it was written; a refusal shows its numbered message and changes nothing.
    bool SaveFile(const QString& path);
    // The study given on the command line: the language panel is skipped (the study's language,
    // else English) and the study opened.
    void OpenAtStart(const QString& path);

    // The settings in hand as a study, as Save Study would write them.
    Study CurrentStudy() const;
    // The file of the study in hand; empty when no study was opened or saved in this run.
    const QString& StudyPath() const { return path_; }
    // A study was opened or saved in this run and the settings have changed since.
    bool StudyChanged() const;
    // The recent studies, the last opened or saved first.
    const QStringList& RecentStudies() const { return recent_; }

    // Called on Exit, the Exit button and the close box: when the study in hand has changed, asks
    // whether to save it (Yes saves, No leaves it, Cancel keeps the program open). False: stay open.
    bool MayClose();

    // The caption the study's name and change mark go before.
    void SetBaseCaption(const QString& caption);
    // The caption as the study in hand and its changes are now.
    void UpdateCaption();
    // The entries' texts in the chosen language.
    void ApplyTexts();

    QAction *OpenStudy, *SaveStudy, *SaveStudyAs;
    QAction* RecentStudy[MaxRecentStudies];    // hidden when there are fewer recent studies
    QAction *RecentSeparator, *StudySeparator; // before the recent studies, after the study entries

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // The question before a changed study is left; false when the user stays with it.
    bool SaveChangesFirst();
    void ChooseLanguage(Language language);
    void ShowStudyInDialogs(const Study& study);
    void ReadRecent();
    void WriteRecent();
    void Remember(const QString& path);
    void Forget(const QString& path);
    void ShowRecent();
    QString StartFolder() const;

    TForm1* main_;
    QString baseCaption_;
    QString path_;
    std::string savedText_;
    QStringList recent_;
};

// The study named on the command line (the first argument that is not an option; "--" ends the
// options), made absolute against the folder the program was started in; empty when none is given.
QString StudyArgument(const QStringList& arguments, const QString& startFolder);
