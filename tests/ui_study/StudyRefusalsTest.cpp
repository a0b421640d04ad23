// Refused studies and refused saving: the numbered message (naming the line of the file where one
// is concerned), and the study in hand, its caption, the recent studies and the files as they were.

#include "StudyUiFixture.h"

#include "StudyFileTesting.h"

#include <cerrno>
#include <unistd.h>

class StudyRefusalsTest : public StudyUiTest {
  protected:
    // The typed case saved as "held.tarvello": the study in hand that every refusal must leave.
    void SetUpStudyInHand()
    {
        SetUpTypedCase();
        SaveAs(Path("held.tarvello"));
        held_ = FileBytes(Path("held.tarvello"));
        ASSERT_FALSE(held_.empty());
        settings_ = CurrentText();
        shown_ = Shown();
        caption_ = Form1->windowTitle();
        recent_ = QSettings().value(QStringLiteral("RecentStudies")).toStringList();
    }

    // The line (from 1) of the first line of the text holding `part`.
    static int LineOf(const std::string& text, const std::string& part)
    {
        const auto at = text.find(part);
        EXPECT_NE(at, std::string::npos) << part;
        return 1 + static_cast<int>(std::count(text.begin(), text.begin() + static_cast<long>(at), '\n'));
    }

    // The text with the value of the first `key` replaced by `value` (JSON text).
    static std::string WithValue(std::string text, const std::string& key, const std::string& value)
    {
        const std::string name = "\"" + key + "\": ";
        const auto at = text.find(name);
        EXPECT_NE(at, std::string::npos) << key;
        if (at == std::string::npos)
            return text;
        const auto from = at + name.size();
        const auto to = text.find_first_of(",\n", from);
        return text.replace(from, to - from, value);
    }

    // Opening `bytes` as a study file is refused with `number`; the message contains `says`.
    void ExpectOpenRefused(const std::string& bytes, int number, const QString& says)
    {
        WriteFile(Path("refused.tarvello"), bytes);
        Open(Path("refused.tarvello"));
        EXPECT_TRUE(ErrorShown());
        EXPECT_EQ(MotorData.ErrorNumber, number) << ErrorText().toStdString();
        EXPECT_TRUE(ErrorText().contains(says)) << ErrorText().toStdString() << " / " << says.toStdString();
        AcknowledgeError();
        ExpectNothingChanged();
        EXPECT_EQ(FileBytes(Path("refused.tarvello")), bytes);
    }

    void ExpectNothingChanged()
    {
        EXPECT_EQ(CurrentText(), settings_);
        EXPECT_EQ(Shown(), shown_);
        EXPECT_EQ(Studies()->StudyPath(), Path("held.tarvello"));
        EXPECT_EQ(Form1->windowTitle(), caption_);
        EXPECT_EQ(FileBytes(Path("held.tarvello")), held_);
        EXPECT_EQ(QSettings().value(QStringLiteral("RecentStudies")).toStringList(), recent_);
        EXPECT_TRUE(Form1->Panel1->isVisible());
    }

    std::string held_, settings_;
    ShownResults shown_;
    QString caption_;
    QStringList recent_;
};

TEST_F(StudyRefusalsTest, BrokenFilesAreRefusedNamingTheLine)
{
    SetUpStudyInHand();
    // A study of other values to break: the typed case with a constant load.
    const std::string other = WithValue(held_, "T2", "0.03");

    // Truncated: the parser's complaint at the last line.
    const std::string truncated = other.substr(0, other.find("\"softStarter\""));
    ExpectOpenRefused(truncated, ErrStudyNotJson,
                      QStringLiteral("line %1").arg(1 + std::count(truncated.begin(), truncated.end(), '\n')));

    // A newer version.
    ExpectOpenRefused(WithValue(other, "version", "5"), ErrStudyNewerVersion, QStringLiteral("line 3"));

    // A value of the wrong type.
    const int voltageLine = LineOf(other, "\"LineVoltage\"");
    ExpectOpenRefused(WithValue(other, "LineVoltage", "\"400\""), ErrStudyWrongValue,
                      QStringLiteral("line %1").arg(voltageLine));

    // A value the rated values dialog refuses: its own message, then the line.
    const int powerLine = LineOf(other, "\"MechanicalPower\"");
    ExpectOpenRefused(WithValue(other, "MechanicalPower", "0"), ErrMechanicalPowerZero,
                      QStringLiteral("(study file, line %1)").arg(powerLine));

    // A setting of the dynamic start refused by its own check.
    const int inertiaLine = LineOf(other, "\"LoadInertia\"");
    ExpectOpenRefused(WithValue(other, "LoadInertia", "-1"), ErrValueOutOfRange,
                      QStringLiteral("line %1").arg(inertiaLine));
    // One beyond its range, named with the range and its line.
    ExpectOpenRefused(
        WithValue(other, "LoadInertia", "1e308"), ErrValueOutOfRange,
        QString::fromUtf8("\"Load Inertia\" must lie between 0 and 100\u00a0000\u00a0kg·m²! (study "
                          "file, line %1)")
            .arg(inertiaLine));

    // Not a study at all.
    ExpectOpenRefused("{\"format\": \"something-else\", \"version\": 1}\n", ErrStudyNotStudy,
                      QStringLiteral("Tarvello"));
}

TEST_F(StudyRefusalsTest, FrenchMessageNamesTheLineInFrench)
{
    ChooseLanguage(true);
    ChooseListedMotor(1);
    Trigger(Form1->SoftStarter);
    SetTimeMode("4");
    Trigger(Form1->Load);
    SetLoad(LoadKind::None);
    SaveAs(Path("held.tarvello"));
    const std::string held = FileBytes(Path("held.tarvello"));
    const int line = LineOf(held, "\"LineCurrent\"");
    WriteFile(Path("refused.tarvello"), WithValue(held, "LineCurrent", "0"));
    Open(Path("refused.tarvello"));
    EXPECT_EQ(MotorData.ErrorNumber, ErrLineCurrentZero);
    EXPECT_TRUE(ErrorText().endsWith(QString::fromUtf8(" (fichier d'étude, ligne %1)").arg(line)))
        << ErrorText().toStdString();
}

TEST_F(StudyRefusalsTest, StudyWhoseComputationIsRefusedChangesNothing)
{
    SetUpStudyInHand();
    // Every dialog accepts a limit of Imax/In 0.5, but no ramp keeps the current that low.
    ExpectOpenRefused(WithValue(held_, "DesiredImaxIn", "0.5"), ErrLimitUnreachable, QString());
}

TEST_F(StudyRefusalsTest, SavingIntoAFolderThatIsNotWritableChangesNothing)
{
    SetUpStudyInHand();
    Trigger(Form1->SoftStarter);
    SetLimitMode("3", "20", "2.5");
    settings_ = CurrentText();
    shown_ = Shown();
    caption_ = Form1->windowTitle();
    ASSERT_EQ(caption_, "held.tarvello* - " + EnglishCaption);

    // A folder nobody may write into (root included), and, for an ordinary user, one without the
    // write permission.
    std::vector<QString> targets = {QStringLiteral("/proc/study.tarvello")};
    if (::geteuid() != 0) {
        ASSERT_TRUE(QDir().mkdir(Path("locked")));
        ASSERT_TRUE(QFile::setPermissions(Path("locked"), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        targets.push_back(Path("locked/study.tarvello"));
    }
    for (const QString& target : targets) {
        SaveAs(target);
        EXPECT_EQ(MotorData.ErrorNumber, ErrStudyCannotSave) << target.toStdString();
        EXPECT_TRUE(ErrorText().contains(target)) << ErrorText().toStdString();
        AcknowledgeError();
        EXPECT_FALSE(QFile::exists(target));
        ExpectNothingChanged();
    }
    QFile::setPermissions(Path("locked"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

TEST_F(StudyRefusalsTest, FailedWriteOverTheStudyLeavesItsFile)
{
    SetUpStudyInHand();
    Trigger(Form1->SoftStarter);
    SetLimitMode("3", "20", "2.5");
    settings_ = CurrentText();
    shown_ = Shown();
    caption_ = Form1->windowTitle();
    // The disk is full halfway.
    SetStudyWriterForTesting([](int, const char*, std::size_t) -> long {
        errno = ENOSPC;
        return -1;
    });
    Trigger(Studies()->SaveStudy);
    SetStudyWriterForTesting({});
    EXPECT_EQ(MotorData.ErrorNumber, ErrStudyCannotSave);
    AcknowledgeError();
    ExpectNothingChanged();
    EXPECT_EQ(QDir(Path(".")).entryList({"*.tarvello*"}, QDir::Files | QDir::Hidden), QStringList{"held.tarvello"});
}

TEST_F(StudyRefusalsTest, SettingsThatWouldNotOpenAgainAreNotSaved)
{
    // No motor yet: the rated values dialog's first message; no file, no study in hand.
    ChooseLanguage(false);
    SaveAs(Path("empty.tarvello"));
    EXPECT_TRUE(ErrorShown());
    EXPECT_NE(MotorData.ErrorNumber, 0);
    EXPECT_FALSE(QFile::exists(Path("empty.tarvello")));
    EXPECT_TRUE(Studies()->StudyPath().isEmpty());
    EXPECT_EQ(Form1->windowTitle(), EnglishCaption);
    EXPECT_TRUE(QSettings().value(QStringLiteral("RecentStudies")).toStringList().isEmpty());
}
