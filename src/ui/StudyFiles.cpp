#include "StudyFiles.h"

#include "Aff_Err.h"
#include "DynamicTexts.h"
#include "FileAccess.h"
#include "Forms.h"
#include "Init_Mot.h"
#include "Load.h"
#include "Main.h"
#include "MainCharts.h"
#include "Mechanical.h"
#include "MethodSettings.h"
#include "MotorList.h"
#include "Network.h"
#include "SchemEqu.h"
#include "SelMot.h"
#include "SoftStar.h"
#include "StartSimulation.h"
#include "UiCommon.h"
#include "ValNom.h"

#include <QAbstractButton>
#include <QAction>
#include <QButtonGroup>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>

#include <filesystem>

namespace {

const QString RecentKey = QStringLiteral("RecentStudies");
const QString Suffix = QStringLiteral(".tarvello");
// Longer paths are shortened in the middle in the File menu.
constexpr int MaxShownPathLength = 60;

std::filesystem::path FilePath(const QString& path)
{
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

// The note that follows a refusal's message: the line of the file for the program's own checks
// (the file's own messages name it already).
ErrorArgument LineNote(const StudyRefusal& refusal)
{
    auto note = [&refusal](Language language) {
        const std::string message = ErrorText(refusal.refusal, language);
        const std::string whole = StudyRefusalText(refusal, language);
        if (whole.size() > message.size() && whole.compare(0, message.size(), message) == 0)
            return whole.substr(message.size());
        return std::string();
    };
    return {note(Language::English), note(Language::French)};
}

// Qt's settings are used only once the program has named itself (it does at start-up); tests name
// a temporary place, and a program that has not named itself keeps the recent studies in memory.
bool SettingsNamed()
{
    return !QCoreApplication::organizationName().isEmpty() && !QCoreApplication::applicationName().isEmpty();
}

QString ShownPath(const QString& path)
{
    QString shown = QDir::toNativeSeparators(path);
    if (shown.size() > MaxShownPathLength) {
        const int tail = MaxShownPathLength * 2 / 3;
        shown = shown.left(MaxShownPathLength - tail - 1) + QChar(0x2026) + shown.right(tail);
    }
    // An ampersand of the name is shown, not taken for a mnemonic.
    return shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

bool HasStudySuffix(const QString& path)
{
    return path.endsWith(Suffix, Qt::CaseInsensitive);
}

} // namespace

bool NamesMotorList(const QString& path)
{
    return listfile::SameFile(FilePath(path), ListFilePath()) ||
           listfile::SameFile(FilePath(path), BackupFilePath());
}

QString StudyArgument(const QStringList& arguments, const QString& startFolder)
{
    bool optionsEnded = false;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (!optionsEnded && a == QStringLiteral("--")) {
            optionsEnded = true;
            continue;
        }
        if (a.isEmpty() || (!optionsEnded && a.startsWith(QLatin1Char('-'))))
            continue;
        return QDir::cleanPath(QDir(startFolder).absoluteFilePath(a));
    }
    return {};
}

TStudyFiles::TStudyFiles(TForm1* main) : QObject(main), main_(main), baseCaption_(main->windowTitle())
{
    setObjectName(QStringLiteral("Studies"));
    QMenu* file = main->File1;
    QAction* first = file->actions().isEmpty() ? nullptr : file->actions().first();
    auto add = [&](QAction*& action, const char* name, const char* text, const QKeySequence& key,
                   void (TStudyFiles::*handler)()) {
        action = new QAction(QString::fromUtf8(text), file);
        action->setObjectName(QString::fromLatin1(name));
        if (!key.isEmpty())
            action->setShortcut(key);
        connect(action, &QAction::triggered, this, handler);
        file->insertAction(first, action);
    };
    add(OpenStudy, "OpenStudy", "&Open Study…", QKeySequence(Qt::CTRL | Qt::Key_O), &TStudyFiles::OpenStudyClick);
    add(SaveStudy, "SaveStudy", "Save S&tudy", QKeySequence(Qt::CTRL | Qt::Key_S), &TStudyFiles::SaveStudyClick);
    add(SaveStudyAs, "SaveStudyAs", "Save Study &As…", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S),
        &TStudyFiles::SaveStudyAsClick);
    RecentSeparator = file->insertSeparator(first);
    RecentSeparator->setObjectName(QStringLiteral("RecentSeparator"));
    for (int i = 0; i < MaxRecentStudies; ++i) {
        RecentStudy[i] = new QAction(file);
        RecentStudy[i]->setObjectName(QStringLiteral("RecentStudy%1").arg(i + 1));
        connect(RecentStudy[i], &QAction::triggered, this, [this, i] {
            const QString path = RecentStudy[i]->data().toString();
            if (!path.isEmpty() && SaveChangesFirst())
                OpenFile(path);
        });
        file->insertAction(first, RecentStudy[i]);
    }
    StudySeparator = file->insertSeparator(first);
    StudySeparator->setObjectName(QStringLiteral("StudySeparator"));
    ReadRecent();
    ShowRecent();

    // The change mark follows every confirmed change: the dialogs give the activation back to the
    // main window when they close, and the other changes are announced.
    main->installEventFilter(this);
    connect(main, &TForm1::ResultsComputed, this, &TStudyFiles::UpdateCaption);
    connect(main, &TForm1::DynamicInputsChanged, this, &TStudyFiles::UpdateCaption);
    connect(main->DisplayStatic, &QAction::triggered, this, &TStudyFiles::UpdateCaption);
}

bool TStudyFiles::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == main_ && event->type() == QEvent::WindowActivate)
        UpdateCaption();
    return QObject::eventFilter(watched, event);
}

void TStudyFiles::ApplyTexts()
{
    OpenStudy->setText(Pick("&Open Study…", "&Ouvrir une étude…"));
    SaveStudy->setText(Pick("Save S&tudy", "&Enregistrer l'étude"));
    SaveStudyAs->setText(Pick("Save Study &As…", "Enregistrer l'étude so&us…"));
}

void TStudyFiles::SetBaseCaption(const QString& caption)
{
    baseCaption_ = caption;
    UpdateCaption();
}

void TStudyFiles::UpdateCaption()
{
    if (path_.isEmpty()) {
        main_->setWindowTitle(baseCaption_);
        return;
    }
    const QString mark = StudyChanged() ? QStringLiteral("*") : QString();
    main_->setWindowTitle(QFileInfo(path_).fileName() + mark + QStringLiteral(" - ") + baseCaption_);
}

Study TStudyFiles::CurrentStudy() const
{
    StudyChoices choices;
    // A circuit used as it stands came from the list or the diagram dialog; a typed motor's circuit
    // is identified from its rated values, or from its data sheet: such a motor is stored typed,
    // with its data sheet and without a circuit (StudyFromSettings), and identified again on opening.
    choices.source = !MotorData.MotorFromList                     ? MotorSource::Typed
                     : ChoicesData.Source == MotorSource::Diagram ? MotorSource::Diagram
                                                                  : MotorSource::List;
    choices.loadKind = ChoicesData.Kind;
    choices.rampTime = ChoicesData.RampTime;
    // The language is this run's (the data set's language flags): a study records the language of
    // the run that saves it.
    return StudyFromSettings(MotorData, DynamicData, choices);
}

bool TStudyFiles::StudyChanged() const
{
    return !path_.isEmpty() && StudyText(CurrentStudy()) != savedText_;
}

QString TStudyFiles::StartFolder() const
{
    if (!path_.isEmpty())
        return QFileInfo(path_).absolutePath();
    if (!recent_.isEmpty())
        return QFileInfo(recent_.first()).absolutePath();
    return QDir::currentPath();
}

void TStudyFiles::OpenStudyClick()
{
    if (!SaveChangesFirst())
        return;
    QFileDialog dialog(main_);
    dialog.setObjectName(QStringLiteral("OpenStudyDialog"));
    dialog.setWindowTitle(Pick("Open Study", "Ouvrir une étude"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters({Pick("Tarvello study (*.tarvello)", "Étude Tarvello (*.tarvello)"),
                           Pick("All files (*)", "Tous les fichiers (*)")});
    dialog.setDirectory(StartFolder());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    OpenFile(dialog.selectedFiles().first());
}

void TStudyFiles::SaveStudyClick()
{
    if (path_.isEmpty())
        SaveStudyAsClick();
    else
        SaveFile(path_);
}

void TStudyFiles::SaveStudyAsClick()
{
    QFileDialog dialog(main_);
    dialog.setObjectName(QStringLiteral("SaveStudyDialog"));
    dialog.setWindowTitle(Pick("Save Study As", "Enregistrer l'étude sous"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters({Pick("Tarvello study (*.tarvello)", "Étude Tarvello (*.tarvello)")});
    dialog.setDefaultSuffix(Suffix.mid(1));
    if (path_.isEmpty())
        dialog.setDirectory(StartFolder());
    else
        dialog.selectFile(path_);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    QString path = dialog.selectedFiles().first();
    if (!HasStudySuffix(path)) {
        // The dialog adds the suffix only to a name without any ("pump" but not "pump.v2"), and
        // asked about replacing the name as typed: the file written is asked about here.
        path += Suffix;
        if (QFileInfo::exists(path)) {
            QMessageBox box(
                QMessageBox::Warning, Pick("Save Study As", "Enregistrer l'étude sous"),
                Pick("%1 already exists.\nDo you want to replace it?", "%1 existe déjà.\nVoulez-vous le remplacer ?")
                    .arg(QFileInfo(path).fileName()),
                QMessageBox::Yes | QMessageBox::No, main_);
            box.setObjectName(QStringLiteral("ReplaceStudyQuestion"));
            box.button(QMessageBox::Yes)->setText(Pick("&Yes", "&Oui"));
            box.button(QMessageBox::No)->setText(Pick("&No", "&Non"));
            box.setDefaultButton(QMessageBox::No);
            if (box.exec() != QMessageBox::Yes)
                return;
        }
    }
    SaveFile(path);
}

bool TStudyFiles::SaveChangesFirst()
{
    if (!StudyChanged())
        return true;
    QMessageBox box(QMessageBox::Question, QStringLiteral("Tarvello"),
                    Pick("The study \"%1\" has changed. Do you want to save the changes?",
                         "L'étude « %1 » a été modifiée. Voulez-vous enregistrer les modifications ?")
                        .arg(QFileInfo(path_).fileName()),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, main_);
    box.setObjectName(QStringLiteral("SaveChangesQuestion"));
    box.button(QMessageBox::Yes)->setText(Pick("&Yes", "&Oui"));
    box.button(QMessageBox::No)->setText(Pick("&No", "&Non"));
    box.button(QMessageBox::Cancel)->setText(Pick("Cancel", "Annuler"));
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return SaveFile(path_);
    case QMessageBox::No:
        return true;
    default:
        return false;
    }
}

bool TStudyFiles::MayClose()
{
    return SaveChangesFirst();
}

bool TStudyFiles::OpenFile(const QString& chosen)
{
    const QString path = QFileInfo(chosen).absoluteFilePath();
    Study study;
    const StudyRefusal refusal = LoadStudyFile(FilePath(path), study, &CheckDynamicSettings);
    if (refusal) {
        if (!QFileInfo::exists(path) && recent_.contains(path)) {
            Forget(path);
            RaiseError(refusal.refusal,
                       {" It is taken off the recent studies.", " Elle est retirée des études récentes."});
        } else {
            RaiseError(refusal.refusal, LineNote(refusal));
        }
        return false;
    }
    // The study's values have passed every check of the dialogs; the computation is tried on a
    // copy too, so that nothing in hand is replaced by a study that gives no results.
    MotorDataSet data = MotorData;
    DynamicSettings dynamic = DynamicData;
    Refusal error = ApplyStudy(study, data, dynamic);
    if (!error) {
        MotorDataSet trial = data;
        error = RunStartComputation(trial, nullptr, nullptr);
    }
    if (error) {
        RaiseError(error);
        return false;
    }

    // Accepted. The dialogs that edit the settings close, so that none offers what it showed before.
    const std::initializer_list<TModelessForm*> editors = {
        Form2, Form3, Form4, Form5, Form6, OKBottomDlg1, MethodSettingsForm, MechanicalForm, NetworkForm};
    for (TModelessForm* form : editors)
        if (form && form->isVisible())
            form->CloseForm();
    data.ErrorNumber = MotorData.ErrorNumber; // a message still shown waits for its OK
    MotorData = std::move(data);
    DynamicData = dynamic;
    ChoicesData.Source = study.Motor.Source;
    ChoicesData.Kind = study.Load.Kind;
    ChoicesData.RampTime = study.SoftStarter.RampTime;
    if (!EnglishChosen() && !FrenchChosen())
        ChooseLanguage(study.StudyLanguage.value_or(Language::English));
    ShowStudyInDialogs(study);

    main_->DisplayStatic->setChecked(study.ShowStaticCurves);
    if (!study.ShowStaticCurves) {
        AsWidget(main_->xyGraph1)->hide();
        AsWidget(main_->xyGraph2)->hide();
    }
    // New results tell the dynamic start and the comparison; without them they hear of the new
    // settings once all is in place.
    const bool computed = MotorData.DataChanged && main_->ComputeAndShowResults();
    if (!main_->Panel1->isHidden()) {
        main_->Panel3->hide(); // the start menu
        main_->Panel4->hide(); // the language panel
    }

    path_ = path;
    savedText_ = StudyText(CurrentStudy());
    Remember(path);
    UpdateCaption();
    if (!computed)
        main_->NotifyDynamicInputsChanged();
    return true;
}

bool TStudyFiles::SaveFile(const QString& chosen)
{
    const QString path = QFileInfo(chosen).absoluteFilePath();
    if (NamesMotorList(path)) {
        RaiseError({ErrFileInUse,
                    {"\"" + Excerpt(path.toStdString()) + "\"", "« " + Excerpt(path.toStdString()) + " »"}});
        return false;
    }
    const Study study = CurrentStudy();
    if (const Refusal e = CheckStudyWritable(study)) {
        RaiseError(e);
        return false;
    }
    // A study is written only when this program would open it again: settings that a dialog would
    // refuse (no motor yet, say) are refused here with that dialog's message.
    const std::string text = StudyText(study);
    Study reread;
    if (const StudyRefusal r = ParseStudy(text, reread, &CheckDynamicSettings)) {
        RaiseError(r.refusal);
        return false;
    }
    if (const Refusal e = SaveStudyFile(FilePath(path), study)) {
        RaiseError(e);
        return false;
    }
    path_ = path;
    savedText_ = text;
    Remember(path);
    UpdateCaption();
    return true;
}

void TStudyFiles::OpenAtStart(const QString& path)
{
    Study study;
    const bool readable = !LoadStudyFile(FilePath(path), study, &CheckDynamicSettings);
    ChooseLanguage(readable && study.StudyLanguage ? *study.StudyLanguage : Language::English);
    OpenFile(path);
}

void TStudyFiles::ChooseLanguage(Language language)
{
    (language == Language::French ? main_->RadioButton2 : main_->RadioButton1)->setChecked(true);
    main_->Button7Click();
}

void TStudyFiles::ShowStudyInDialogs(const Study& study)
{
    // The load dialog keeps its kind and texts between openings: they become the study's, written
    // so that OK reads back the same values.
    QRadioButton* const kinds[] = {Form5->RadioButton1, Form5->RadioButton2, Form5->RadioButton3, Form5->RadioButton4};
    kinds[static_cast<int>(study.Load.Kind)]->setChecked(true);
    Form5->Edit1->setText(EditText(study.Load.T0));
    Form5->Edit2->setText(EditText(study.Load.T1));
    Form5->Edit3->setText(EditText(study.Load.T2));

    // The soft-starter dialog loads its fields from the data set at each opening, but not a mode
    // that was never chosen: none is checked then.
    switch (study.SoftStarter.Mode) {
    case SoftStarterMode::CurrentLimit:
        Form6->RadioButton1->setChecked(true);
        break;
    case SoftStarterMode::SelectedTime:
        Form6->RadioButton2->setChecked(true);
        break;
    case SoftStarterMode::None:
        if (QButtonGroup* group = Form6->RadioButton1->group()) {
            group->setExclusive(false);
            Form6->RadioButton1->setChecked(false);
            Form6->RadioButton2->setChecked(false);
            group->setExclusive(true);
        }
        Form6->Panel1->hide();
        Form6->Panel2->hide();
        break;
    }
}

// ---- The recent studies ------------------------------------------------------------------------

void TStudyFiles::ReadRecent()
{
    if (!SettingsNamed())
        return;
    QSettings settings;
    QStringList read;
    for (const QString& path : settings.value(RecentKey).toStringList())
        if (!path.isEmpty() && !read.contains(path) && read.size() < MaxRecentStudies)
            read.append(path);
    recent_ = read;
}

void TStudyFiles::WriteRecent()
{
    if (!SettingsNamed())
        return;
    QSettings settings;
    settings.setValue(RecentKey, recent_);
    settings.sync();
}

void TStudyFiles::Remember(const QString& path)
{
    // Another run may have changed the list meanwhile: it is read again before it changes.
    ReadRecent();
    recent_.removeAll(path);
    recent_.prepend(path);
    while (recent_.size() > MaxRecentStudies)
        recent_.removeLast();
    WriteRecent();
    ShowRecent();
}

void TStudyFiles::Forget(const QString& path)
{
    ReadRecent();
    recent_.removeAll(path);
    WriteRecent();
    ShowRecent();
}

void TStudyFiles::ShowRecent()
{
    for (int i = 0; i < MaxRecentStudies; ++i) {
        QAction* action = RecentStudy[i];
        const bool shown = i < recent_.size();
        action->setVisible(shown);
        action->setData(shown ? recent_[i] : QString());
        action->setText(shown ? QStringLiteral("&%1 %2").arg(i + 1).arg(ShownPath(recent_[i])) : QString());
        action->setStatusTip(shown ? QDir::toNativeSeparators(recent_[i]) : QString());
    }
    RecentSeparator->setVisible(!recent_.isEmpty());
}
