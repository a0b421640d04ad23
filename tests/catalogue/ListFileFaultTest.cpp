#include <cerrno>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <set>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "ChildProcess.h"
#include "ListFileTesting.h"
#include "MotorList.h"
#include "ListFixtures.h"
#include "TempFolder.h"

namespace {

// Restores the real writer even when a test fails half-way.
struct WriterGuard {
    ~WriterGuard() { SetListWriterForTesting({}); }
};

// Writes the first `allowed` bytes handed to it, then fails as a full disk would.
void FailAfter(std::size_t allowed) {
    auto written = std::make_shared<std::size_t>(0);
    SetListWriterForTesting([written, allowed](int fd, const char* data, std::size_t size) -> long {
        if (*written >= allowed) {
            errno = ENOSPC;
            return -1;
        }
        const std::size_t n = std::min(size, allowed - *written);
        const long done = static_cast<long>(::write(fd, data, n));
        if (done > 0) *written += static_cast<std::size_t>(done);
        return done;
    });
}

} // namespace

TEST(ListFileFaults, MissingBackupLeavesTheListUnchanged) {
    TempFolder dir;
    const auto list = ListFilePath(dir.Path());
    const std::string before = Title + "\r\n" + RecordLine(1) + "\r\n" + RecordLine(2) + "\r\n";
    WriteBytes(list, before);
    const ListFileError e = Thrown([&] { RestoreListFromBackup(list, BackupFilePath(dir.Path())); });
    EXPECT_EQ(e.GetKind(), ListFileError::Kind::BackupMissing);
    EXPECT_NE(std::string(e.what()).find("Liste Moteur.old"), std::string::npos);
    EXPECT_NE(std::string(e.what()).find("not changed"), std::string::npos);
    EXPECT_NE(e.Message(Language::French).find("n'a pas été modifiée"), std::string::npos);
    EXPECT_EQ(ReadBytes(list), before);
    EXPECT_EQ(dir.EntryCount(), 1u);
}

TEST(ListFileFaults, BackupThatIsAFolderLeavesTheListUnchanged) {
    TempFolder dir;
    const auto list = ListFilePath(dir.Path());
    const auto backup = BackupFilePath(dir.Path());
    const std::string before = Title + "\r\n" + RecordLine(1) + "\r\n";
    WriteBytes(list, before);
    std::filesystem::create_directory(backup);
    const ListFileError e = Thrown([&] { RestoreListFromBackup(list, backup); });
    EXPECT_EQ(e.GetKind(), ListFileError::Kind::NotRegularFile);
    EXPECT_EQ(e.Number(), ErrListNotRegularFile);
    EXPECT_NE(std::string(e.what()).find("Liste Moteur.old\" is not a regular file"), std::string::npos)
        << e.what();
    EXPECT_EQ(ReadBytes(list), before);
}

TEST(ListFileFaults, FailedRestoreWriteLeavesTheListUnchangedAndNoTemporaryFile) {
    TempFolder dir;
    const auto list = ListFilePath(dir.Path());
    const auto backup = BackupFilePath(dir.Path());
    const std::string before = Title + "\r\n" + RecordLine(1) + "\r\n" + RecordLine(2) + "\r\n";
    WriteBytes(list, before);
    WriteBytes(backup, Title + "\r\n" + RecordLine(1) + "\r\n");
    WriterGuard guard;
    for (const std::size_t allowed : {std::size_t{0}, std::size_t{10}}) {
        FailAfter(allowed);
        const ListFileError e = Thrown([&] { RestoreListFromBackup(list, backup); });
        EXPECT_EQ(e.GetKind(), ListFileError::Kind::WriteFailed);
        EXPECT_EQ(e.SystemText(), std::strerror(ENOSPC));
        EXPECT_EQ(ReadBytes(list), before);
        EXPECT_EQ(dir.EntryNames(),
                  (std::set<std::string>{"Liste Moteur.dat", "Liste Moteur.old", "Liste Moteur.dat.lock"}));
    }
}

TEST(ListFileFaults, RestoreOntoAFolderFailsAndLeavesItAlone) {
    TempFolder dir;
    const auto list = ListFilePath(dir.Path());
    const auto backup = BackupFilePath(dir.Path());
    WriteBytes(backup, Title + "\r\n");
    std::filesystem::create_directory(list);
    WriteBytes(list / "inside", "x");
    EXPECT_EQ(KindThrown([&] { RestoreListFromBackup(list, backup); }), ListFileError::Kind::NotRegularFile);
    EXPECT_EQ(ReadBytes(list / "inside"), "x");
    EXPECT_EQ(dir.EntryCount(), 2u);
}

TEST(ListFileFaults, FailedAppendLeavesTheFileAsItWas) {
    TempFolder dir;
    const auto list = ListFilePath(dir.Path());
    const std::string before = Title + "\r\n" + RecordLine(1) + "\r\n" + RecordLine(2) + "\r\n";
    WriteBytes(list, before);
    WriterGuard guard;
    for (const std::size_t allowed : {std::size_t{0}, std::size_t{1}, std::size_t{20}, std::size_t{70}}) {
        FailAfter(allowed);
        const ListFileError e = Thrown([&] { AppendMotorRecord(Motor(), '.', list); });
        EXPECT_EQ(e.GetKind(), ListFileError::Kind::WriteFailed) << allowed;
        EXPECT_EQ(e.SystemText(), std::strerror(ENOSPC));
        EXPECT_NE(std::string(e.what()).find("left as it was"), std::string::npos);
        EXPECT_NE(e.Message(Language::French).find("resté tel qu'il était"), std::string::npos);
        EXPECT_EQ(ReadBytes(list), before) << allowed;
    }
    SetListWriterForTesting({});
    EXPECT_EQ(AppendMotorRecord(Motor(), '.', list), 3);
    EXPECT_EQ(ReadMotorList(list).records.size(), 3u);
}

TEST(ListFileFaults, FailedAppendAfterAMissingLineEndUndoesBoth) {
    TempFolder dir;
    const auto list = ListFilePath(dir.Path());
    const std::string before = Title + "\r\n" + RecordLine(1);
    WriteBytes(list, before);
    WriterGuard guard;
    FailAfter(2); // the inserted CR LF gets through, the record does not
    EXPECT_EQ(KindThrown([&] { AppendMotorRecord(Motor(), '.', list); }), ListFileError::Kind::WriteFailed);
    EXPECT_EQ(ReadBytes(list), before);
}

TEST(ListFileFaults, AppendCompletesALastLineWithoutLineEnd) {
    TempFolder dir;
    const auto list = ListFilePath(dir.Path());
    WriteBytes(list, Title + "\r\n" + RecordLine(1));
    EXPECT_EQ(AppendMotorRecord(Motor(), '.', list), 2);
    const std::string bytes = ReadBytes(list);
    EXPECT_EQ(bytes.substr(0, Title.size() + 2 + RecordLine(1).size() + 4),
              Title + "\r\n" + RecordLine(1) + "\r\n2;");
    const MotorList read = ReadMotorList(list);
    EXPECT_EQ(read.records.size(), 2u);
    EXPECT_TRUE(read.skipped.empty());
}

TEST(ListFileFaults, AppendToAMissingListFailsAndCreatesNothing) {
    TempFolder dir;
    const auto list = ListFilePath(dir.Path());
    const ListFileError e = Thrown([&] { AppendMotorRecord(Motor(), '.', list); });
    EXPECT_EQ(e.GetKind(), ListFileError::Kind::ListMissing);
    EXPECT_NE(std::string(e.what()).find("was not found"), std::string::npos);
    EXPECT_NE(e.Message(Language::French).find("introuvable"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(list));
}

TEST(ListFileFaults, AppendToAFolderFails) {
    TempFolder dir;
    const auto list = ListFilePath(dir.Path());
    std::filesystem::create_directory(list);
    EXPECT_EQ(KindThrown([&] { AppendMotorRecord(Motor(), '.', list); }),
              ListFileError::Kind::NotRegularFile);
    // Refused before the lock is taken: nothing is created beside it.
    EXPECT_EQ(dir.EntryCount(), 1u);
}

TEST(ListFileFaults, MissingListIsAClearErrorForEveryReader) {
    TempFolder dir;
    const auto list = ListFilePath(dir.Path());
    EXPECT_EQ(KindThrown([&] { ReadMotorList(list); }), ListFileError::Kind::ListMissing);
    EXPECT_EQ(KindThrown([&] { CountListLines(list); }), ListFileError::Kind::ListMissing);
    EXPECT_EQ(KindThrown([&] { ReadListRecord(1, list); }), ListFileError::Kind::ListMissing);
    EXPECT_EQ(KindThrown([&] { NextRecordNumber(list); }), ListFileError::Kind::ListMissing);
}

TEST(ListFileFaults, SeparatorInMakerOrSizeIsRefusedBeforeWriting) {
    TempFolder dir;
    const auto list = ListFilePath(dir.Path());
    const std::string before = Title + "\r\n" + RecordLine(1) + "\r\n";
    WriteBytes(list, before);
    MotorDataSet ds = Motor();
    ds.ConstructorName = "Maker;B";
    ListFileError e = Thrown([&] { AppendMotorRecord(ds, '.', list); });
    EXPECT_EQ(e.GetKind(), ListFileError::Kind::TextHasSeparator);
    EXPECT_NE(std::string(e.what()).find("\"Maker;B\""), std::string::npos);
    EXPECT_NE(e.Message(Language::French).find("fabricant"), std::string::npos);
    EXPECT_EQ(CheckListTexts(ds), ListTextSeparatorError);

    ds = Motor();
    for (const char* size : {"112\r\nM", "112\nM", "112\rM", ";"}) {
        ds.MotorSize = size;
        EXPECT_EQ(KindThrown([&] { AppendMotorRecord(ds, '.', list); }),
                  ListFileError::Kind::TextHasSeparator);
        EXPECT_EQ(CheckListTexts(ds), ListTextSeparatorError);
    }
    EXPECT_EQ(ReadBytes(list), before);
}

TEST(ListFileFaults, CharacterOutsideWindows1252IsRefusedBeforeWriting) {
    TempFolder dir;
    const auto list = ListFilePath(dir.Path());
    const std::string before = Title + "\r\n";
    WriteBytes(list, before);
    MotorDataSet ds = Motor();
    ds.MotorSize = "112 M Ω";
    ListFileError e = Thrown([&] { AppendMotorRecord(ds, '.', list); });
    EXPECT_EQ(e.GetKind(), ListFileError::Kind::NotRepresentable);
    EXPECT_NE(std::string(e.what()).find("U+03A9"), std::string::npos);
    EXPECT_EQ(CheckListTexts(ds), ListTextCharacterError);
    ds.MotorSize = "bad \xC3";
    EXPECT_EQ(KindThrown([&] { AppendMotorRecord(ds, '.', list); }), ListFileError::Kind::InvalidUtf8);
    EXPECT_EQ(CheckListTexts(ds), ListTextCharacterError);
    EXPECT_EQ(ReadBytes(list), before);
    ds.MotorSize = "Größe €";
    EXPECT_EQ(CheckListTexts(ds), 0);
}

TEST(ListFileFaults, NumberTheFormatCannotHoldIsRefusedBeforeWriting) {
    TempFolder dir;
    const auto list = ListFilePath(dir.Path());
    const std::string before = Title + "\r\n";
    WriteBytes(list, before);
    for (const double bad : {1e8, 9999999.6, -2e7, std::numeric_limits<double>::quiet_NaN(),
                             std::numeric_limits<double>::infinity()}) {
        MotorDataSet ds = Motor();
        ds.Riron = bad;
        const ListFileError e = Thrown([&] { AppendMotorRecord(ds, '.', list); });
        EXPECT_EQ(e.GetKind(), ListFileError::Kind::NumberNotWritable) << bad;
        EXPECT_NE(std::string(e.what()).find("Riron"), std::string::npos);
    }
    MotorDataSet ds = Motor();
    ds.Riron = 9999999.4;
    EXPECT_NO_THROW(AppendMotorRecord(ds, '.', list));
}

TEST(ListFileFaults, LastLineWithoutWholeNumberStopsTheAppendBeforeWriting) {
    TempFolder dir;
    const auto list = ListFilePath(dir.Path());
    for (const std::string& last : {std::string("abc;M;S;"), std::string("7.5;M;"), std::string(";M;"),
                                    std::string(""), std::string("12x"), std::string("- 3;")}) {
        const std::string before = Title + "\r\n" + RecordLine(1) + "\r\n" + last + "\r\n";
        WriteBytes(list, before);
        const ListFileError e = Thrown([&] { AppendMotorRecord(Motor(), '.', list); });
        EXPECT_EQ(e.GetKind(), ListFileError::Kind::BadRecordNumber) << last;
        EXPECT_NE(std::string(e.what()).find("line 3"), std::string::npos) << e.what();
        EXPECT_NE(e.Message(Language::French).find("ligne 3"), std::string::npos);
        EXPECT_EQ(KindThrown([&] { NextRecordNumber(list); }), ListFileError::Kind::BadRecordNumber);
        EXPECT_EQ(ReadBytes(list), before);
    }
}

TEST(ListFileFaults, EmptyListHasNoNextNumber) {
    TempFolder dir;
    const auto list = ListFilePath(dir.Path());
    WriteBytes(list, "");
    EXPECT_EQ(KindThrown([&] { NextRecordNumber(list); }), ListFileError::Kind::ListEmpty);
    EXPECT_EQ(KindThrown([&] { AppendMotorRecord(Motor(), '.', list); }), ListFileError::Kind::ListEmpty);
    EXPECT_EQ(ReadBytes(list), "");
}

TEST(ListFileFaults, LargestRecordNumberHasNoSuccessor) {
    TempFolder dir;
    const auto list = ListFilePath(dir.Path());
    WriteBytes(list, Title + "\r\n" + RecordLine(std::numeric_limits<int>::max()) + "\r\n");
    EXPECT_EQ(KindThrown([&] { NextRecordNumber(list); }), ListFileError::Kind::RecordNumberTooBig);
    WriteBytes(list, Title + "\r\n" + "99999999999;M;\r\n");
    EXPECT_EQ(KindThrown([&] { NextRecordNumber(list); }), ListFileError::Kind::BadRecordNumber);
}

TEST(ListFileFaults, MalformedLinesAreSkippedWithTheirReasons) {
    TempFolder dir;
    const auto list = ListFilePath(dir.Path());
    std::string good3 = RecordLine(3);
    std::string bytes =
        Title + "\r\n" +                                                     // 1
        RecordLine(1) + "\r\n" +                                             // 2 good
        "\r\n" +                                                             // 3 empty
        "2;M;S;1000;400;50\r\n" +                                            // 4 few fields
        "x;M;S;1000;400;50;2.5;0.80;1400;1.2;5;5;4;4;150;2000;Star;\r\n" +   // 5 number
        ";M;S;1000;400;50;2.5;0.80;1400;1.2;5;5;4;4;150;2000;Star;\r\n" +    // 6 empty number
        "4;M;S;1000;400;50;;0.80;1400;1.2;5;5;4;4;150;2000;Star;\r\n" +      // 7 empty field
        "5;M;S;1000;400;50;2.5;0.80;1400;1.2;5;5;4;4;abc;2000;Star;\r\n" +   // 8 not a number
        "6;M;S;1000;400;50;2.5;0.80;1400;1.2;5;5;4;4;150;5.;Star;\r\n" +     // 9 nothing after "."
        "7;M;S;1000;400;50;2.5;0.80;1400;1.2;5;5;4;4;150;2000;Star\r\n" +    // 10 16 fields
        "8.5;M;S;1000;400;50;2.5;0.80;1400;1.2;5;5;4;4;150;2000;Star;\r\n" + // 11 not whole
        "9;M;S;1e999;400;50;2.5;0.80;1400;1.2;5;5;4;4;150;2000;Star;\r\n" +  // 12 not finite
        good3 + "\r\n" +                                                     // 13 good
        "\r\n";                                                              // 14 empty
    WriteBytes(list, bytes);
    const MotorList read = ReadMotorList(list);
    ASSERT_EQ(read.records.size(), 2u);
    EXPECT_EQ(read.records[0].lineNumber, 2);
    EXPECT_EQ(read.records[1].lineNumber, 13);
    EXPECT_EQ(read.records[1].recordNumber, 3);

    struct Expected {
        int line;
        SkipReason reason;
        int field;
    };
    const Expected expected[] = {
        {3, SkipReason::EmptyLine, 0},        {4, SkipReason::TooFewFields, 0},
        {5, SkipReason::BadRecordNumber, 1},  {6, SkipReason::BadRecordNumber, 1},
        {7, SkipReason::BadNumber, 7},        {8, SkipReason::BadNumber, 15},
        {9, SkipReason::BadNumber, 16},       {10, SkipReason::TooFewFields, 0},
        {11, SkipReason::BadRecordNumber, 1}, {12, SkipReason::BadNumber, 4},
        {14, SkipReason::EmptyLine, 0},
    };
    ASSERT_EQ(read.skipped.size(), std::size(expected));
    EXPECT_EQ(read.skippedCount, std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(read.skipped[i].lineNumber, expected[i].line) << i;
        EXPECT_EQ(read.skipped[i].reason, expected[i].reason) << i;
        EXPECT_EQ(read.skipped[i].field, expected[i].field) << i;
    }
    EXPECT_EQ(read.skipped[1].fieldCount, 5);
    EXPECT_EQ(read.skipped[7].fieldCount, 16);

    EXPECT_EQ(read.skipped[0].Reason(Language::English), "line 3: empty line");
    EXPECT_EQ(read.skipped[0].Reason(Language::French), "ligne 3 : ligne vide");
    EXPECT_EQ(read.skipped[1].Reason(Language::English), "line 4: only 5 of the 17 fields ended by \";\"");
    EXPECT_EQ(read.skipped[1].Reason(Language::French),
              "ligne 4 : seulement 5 des 17 champs terminés par \";\"");
    EXPECT_EQ(read.skipped[2].Reason(Language::English),
              "line 5: field 1 (record number) \"x\" is not a whole number");
    EXPECT_EQ(read.skipped[2].Reason(Language::French),
              "ligne 5 : le champ 1 (numéro) \"x\" n'est pas un nombre entier");
    EXPECT_EQ(read.skipped[3].Reason(Language::English), "line 6: field 1 (record number) is empty");
    EXPECT_EQ(read.skipped[4].Reason(Language::English), "line 7: field 7 (line current) is empty");
    EXPECT_EQ(read.skipped[4].Reason(Language::French), "ligne 7 : le champ 7 (courant de ligne) est vide");
    EXPECT_EQ(read.skipped[5].Reason(Language::English), "line 8: field 15 (Xh) \"abc\" is not a number");
    EXPECT_EQ(read.skipped[5].Reason(Language::French),
              "ligne 8 : le champ 15 (Xh) \"abc\" n'est pas un nombre");

    // The selection dialog's rows hold the good records only, and every stored text converts.
    MotorDataSet ds;
    StoreListRows(read, ds);
    ASSERT_EQ(ds.ListConstructorName.size(), 2u);
    for (const ListRecord& r : read.records)
        EXPECT_NO_THROW(CopyRecordToDataSet(r, ds));

    // ReadListRecord says the same about single lines.
    EXPECT_EQ(ReadListRecord(1, list).recordNumber, 1);
    const ListFileError e = Thrown([&] { ReadListRecord(6, list); });
    EXPECT_EQ(e.GetKind(), ListFileError::Kind::MalformedRecord);
    EXPECT_NE(std::string(e.what()).find("line 7: field 7 (line current) is empty"), std::string::npos);
    EXPECT_EQ(KindThrown([&] { ReadListRecord(13, list); }), ListFileError::Kind::MalformedRecord);
    EXPECT_EQ(ReadListRecord(12, list).recordNumber, 3);
    EXPECT_EQ(KindThrown([&] { ReadListRecord(14, list); }), ListFileError::Kind::RecordNotFound);
    EXPECT_EQ(KindThrown([&] { ReadListRecord(0, list); }), ListFileError::Kind::RecordNotFound);
    EXPECT_EQ(KindThrown([&] { ReadListRecord(-1, list); }), ListFileError::Kind::RecordNotFound);
}

TEST(ListFileFaults, EmptyFileReadsAsNoRecordWithAReason) {
    TempFolder dir;
    const auto list = ListFilePath(dir.Path());
    WriteBytes(list, "");
    const MotorList read = ReadMotorList(list);
    EXPECT_TRUE(read.records.empty());
    ASSERT_EQ(read.skipped.size(), 1u);
    EXPECT_EQ(read.skippedCount, 1u);
    EXPECT_EQ(read.skipped[0].reason, SkipReason::EmptyFile);
    EXPECT_EQ(read.skipped[0].lineNumber, 1);
    EXPECT_FALSE(read.skipped[0].Reason(Language::French).empty());
    EXPECT_EQ(KindThrown([&] { ReadListRecord(1, list); }), ListFileError::Kind::RecordNotFound);
}

TEST(ListFileFaults, TitleOnlyListHasNoRecordAndNothingSkipped) {
    TempFolder dir;
    const auto list = ListFilePath(dir.Path());
    WriteBytes(list, "anything at all, not even fields\r\n");
    const MotorList read = ReadMotorList(list);
    EXPECT_TRUE(read.records.empty());
    EXPECT_TRUE(read.skipped.empty());
    EXPECT_EQ(read.title, "anything at all, not even fields");
}

TEST(ListFileFaults, LongBadFieldIsShortenedInTheReason) {
    SkippedLine s;
    s.lineNumber = 2;
    s.reason = SkipReason::BadNumber;
    s.field = 4;
    s.text = std::string(39, 'a') + "éééé";
    const std::string reason = s.Reason(Language::English);
    EXPECT_NE(reason.find(std::string(39, 'a') + "...\""), std::string::npos) << reason;
}

TEST(ListFileFaults, NoTemporaryFileAfterSuccessfulWrites) {
    TempFolder dir;
    const auto list = ListFilePath(dir.Path());
    WriteListFile(list, {Title});
    WriteListFile(list, {Title, RecordLine(1)});
    EXPECT_EQ(dir.EntryCount(), 1u);
    EXPECT_EQ(ReadBytes(list), Title + "\r\n" + RecordLine(1) + "\r\n");
    EXPECT_EQ(KindThrown([&] { WriteListFile(list, {"a\r\nb"}); }), ListFileError::Kind::TextHasSeparator);
    EXPECT_EQ(KindThrown([&] { WriteListFile(list, {"Ω"}); }), ListFileError::Kind::NotRepresentable);
    EXPECT_EQ(ReadBytes(list), Title + "\r\n" + RecordLine(1) + "\r\n");
}

// Permission refusals are seen only by an ordinary user, since root writes anyway: each of these
// runs its checks in a child process that first becomes the unprivileged user 65534 when the tests
// run as root (as in CI), on files handed to that user, and reports through its exit status.
namespace {

// Collects the failed checks of a child process.
struct ChildChecks {
    std::string& report;
    bool ok = true;
    void operator()(bool condition, const std::string& what) {
        if (condition) return;
        ok = false;
        report += what + "\n";
    }
};

template <typename F> std::optional<ListFileError> Caught(F f) {
    try {
        f();
    } catch (const ListFileError& e) {
        return e;
    }
    return std::nullopt;
}

std::string Describe(const std::optional<ListFileError>& e) {
    return e ? std::string(e->what()) : std::string("accepted");
}

} // namespace

TEST(ListFileFaults, ReadOnlyListRefusesTheAppendAndTheRestoreWithOneMessage) {
    TempFolder dir;
    const auto list = ListFilePath(dir.Path());
    const auto backup = BackupFilePath(dir.Path());
    const std::string before = Title + "\r\n" + RecordLine(1) + "\r\n";
    WriteBytes(list, before);
    WriteBytes(backup, Title + "\r\n");
    for (const auto& path : {dir.Path(), list, backup})
        GiveToChild(path);
    std::filesystem::permissions(list, std::filesystem::perms::owner_read |
                                           std::filesystem::perms::group_read |
                                           std::filesystem::perms::others_read);

    const ChildResult result = RunUnprivileged([&](std::string& report) {
        ChildChecks check{report};
        const auto append = Caught([&] { AppendMotorRecord(Motor(), '.', list); });
        const auto restore = Caught([&] { RestoreListFromBackup(list, backup); });
        check(append && append->GetKind() == ListFileError::Kind::WriteFailed, "append: " + Describe(append));
        check(append && append->SystemText() == std::strerror(EACCES), "append: " + Describe(append));
        check(restore && restore->GetKind() == ListFileError::Kind::WriteFailed,
              "restore: " + Describe(restore));
        if (append && restore) {
            for (const Language language : {Language::English, Language::French})
                check(restore->Message(language) == append->Message(language),
                      "restore says \"" + restore->Message(language) + "\", append says \"" +
                          append->Message(language) + "\"");
        }
        return check.ok;
    });
    if (result.exitStatus == CannotDropPrivileges) GTEST_SKIP() << result.text;
    EXPECT_EQ(result.exitStatus, 0) << result.text;
    EXPECT_EQ(ReadBytes(list), before);
    EXPECT_EQ(std::filesystem::status(list).permissions(), std::filesystem::perms::owner_read |
                                                               std::filesystem::perms::group_read |
                                                               std::filesystem::perms::others_read);
    // Nothing but the lock file the refused changes waited on.
    EXPECT_EQ(dir.EntryNames(),
              (std::set<std::string>{"Liste Moteur.dat", "Liste Moteur.old", "Liste Moteur.dat.lock"}));
}

TEST(ListFileFaults, FolderWithoutLockFileRefusesChangesButStillReads) {
    TempFolder dir;
    const auto list = ListFilePath(dir.Path());
    const auto backup = BackupFilePath(dir.Path());
    const std::string before = Title + "\r\n" + RecordLine(1) + "\r\n";
    WriteBytes(list, before);
    WriteBytes(backup, Title + "\r\n");
    for (const auto& path : {dir.Path(), list, backup})
        GiveToChild(path);
    using std::filesystem::perms;
    // The list itself may be written; its folder takes no new file, so no lock file can be made.
    std::filesystem::permissions(dir.Path(), perms::owner_read | perms::owner_exec);
    const std::string lockFile = (dir / "Liste Moteur.dat.lock").string();

    const ChildResult result = RunUnprivileged([&](std::string& report) {
        ChildChecks check{report};
        const auto read = Caught([&] {
            check(ReadMotorList(list).records.size() == 1, "the list reads without its record");
            check(CountListLines(list) == 2 && NextRecordNumber(list) == 2, "the list counts wrong");
            check(ReadListRecord(1, list).recordNumber == 1, "record 1 reads wrong");
        });
        check(!read, "reading: " + Describe(read));
        for (const auto& refused : {Caught([&] { AppendMotorRecord(Motor(), '.', list); }),
                                    Caught([&] { RestoreListFromBackup(list, backup); })}) {
            check(refused && refused->GetKind() == ListFileError::Kind::LockUnavailable, Describe(refused));
            if (!refused) continue;
            check(refused->Number() == ErrListLockUnavailable, "number " + std::to_string(refused->Number()));
            check(refused->Message(Language::English) ==
                      "The motor list cannot be locked against other programs (lock file \"" + lockFile +
                          "\": " + std::strerror(EACCES) +
                          "), so it was not changed! It can still be read; to change it, make its folder "
                          "writable "
                          "or have the lock file created there once.",
                  refused->Message(Language::English));
            check(refused->MessageWithNumber(Language::French)
                          .rfind(
                              "Erreur 215 : La liste de moteurs ne peut pas être verrouillée contre d'autres "
                              "programmes (fichier de verrou «\u00A0" +
                                  lockFile + "\u00A0»\u00A0: ",
                              0) == 0,
                  refused->MessageWithNumber(Language::French));
        }
        return check.ok;
    });
    std::filesystem::permissions(dir.Path(), perms::owner_all);
    if (result.exitStatus == CannotDropPrivileges) GTEST_SKIP() << result.text;
    EXPECT_EQ(result.exitStatus, 0) << result.text;
    EXPECT_EQ(ReadBytes(list), before);
    EXPECT_EQ(dir.EntryCount(), 2u);
}

TEST(ListFileFaults, LockFileMadeByTheFoldersOwnerLetsTheAppendThroughAReadOnlyFolder) {
    TempFolder dir;
    const auto list = ListFilePath(dir.Path());
    const auto backup = BackupFilePath(dir.Path());
    const std::string before = Title + "\r\n" + RecordLine(1) + "\r\n";
    WriteBytes(list, before);
    WriteBytes(backup, Title + "\r\n");
    WriteBytes(dir / "Liste Moteur.dat.lock", "");
    using std::filesystem::perms;
    // The folder and the lock file stay its owner's; the list is the user's to write.
    GiveToChild(list);
    if (!RunningAsRoot()) std::filesystem::permissions(dir.Path(), perms::owner_read | perms::owner_exec);
    std::filesystem::permissions(dir.Path(), perms::others_read | perms::others_exec,
                                 std::filesystem::perm_options::add);

    const ChildResult result = RunUnprivileged([&](std::string& report) {
        ChildChecks check{report};
        const auto append =
            Caught([&] { check(AppendMotorRecord(Motor(), '.', list) == 2, "not numbered 2"); });
        check(!append, "append: " + Describe(append));
        // The restore needs a new file in the folder, which the folder refuses.
        const auto restore = Caught([&] { RestoreListFromBackup(list, backup); });
        check(restore && restore->GetKind() == ListFileError::Kind::WriteFailed &&
                  restore->SystemText() == std::strerror(EACCES),
              "restore: " + Describe(restore));
        return check.ok;
    });
    std::filesystem::permissions(dir.Path(), perms::owner_all);
    if (result.exitStatus == CannotDropPrivileges) GTEST_SKIP() << result.text;
    EXPECT_EQ(result.exitStatus, 0) << result.text;
    EXPECT_EQ(ReadBytes(list), before + FormatRecordLine(2, Motor(), '.') + "\r\n");
    EXPECT_EQ(dir.EntryCount(), 3u);
}

TEST(ListFileFaults, UnreadableBackupLeavesTheListUnchanged) {
    TempFolder dir;
    const auto list = ListFilePath(dir.Path());
    const auto backup = BackupFilePath(dir.Path());
    const std::string before = Title + "\r\n" + RecordLine(1) + "\r\n";
    WriteBytes(list, before);
    WriteBytes(backup, Title + "\r\n");
    for (const auto& path : {dir.Path(), list, backup})
        GiveToChild(path);
    std::filesystem::permissions(backup, std::filesystem::perms::none);

    const ChildResult result = RunUnprivileged([&](std::string& report) {
        ChildChecks check{report};
        const auto refused = Caught([&] { RestoreListFromBackup(list, backup); });
        check(refused && refused->GetKind() == ListFileError::Kind::ReadFailed &&
                  refused->SystemText() == std::strerror(EACCES),
              Describe(refused));
        check(refused && std::string(refused->what()).find("not changed") != std::string::npos,
              Describe(refused));
        check(refused && refused->Message(Language::French).find("n'a pas été modifiée") != std::string::npos,
              Describe(refused));
        return check.ok;
    });
    if (result.exitStatus == CannotDropPrivileges) GTEST_SKIP() << result.text;
    EXPECT_EQ(result.exitStatus, 0) << result.text;
    EXPECT_EQ(ReadBytes(list), before);
    EXPECT_EQ(dir.EntryCount(), 2u);
}

TEST(ListFileFaults, ReadOnlyFolderRefusesTheRestoreUnchanged) {
    TempFolder dir;
    const auto list = ListFilePath(dir.Path());
    const auto backup = BackupFilePath(dir.Path());
    const std::string before = Title + "\r\n" + RecordLine(1) + "\r\n";
    WriteBytes(list, before);
    WriteBytes(backup, Title + "\r\n");
    WriteBytes(dir / "Liste Moteur.dat.lock", "");
    for (const auto& path : {dir.Path(), list, backup, dir / "Liste Moteur.dat.lock"})
        GiveToChild(path);
    using std::filesystem::perms;
    std::filesystem::permissions(dir.Path(), perms::owner_read | perms::owner_exec);

    const ChildResult result = RunUnprivileged([&](std::string& report) {
        ChildChecks check{report};
        const auto refused = Caught([&] { RestoreListFromBackup(list, backup); });
        check(refused && refused->GetKind() == ListFileError::Kind::WriteFailed &&
                  refused->SystemText() == std::strerror(EACCES),
              Describe(refused));
        return check.ok;
    });
    std::filesystem::permissions(dir.Path(), perms::owner_all);
    if (result.exitStatus == CannotDropPrivileges) GTEST_SKIP() << result.text;
    EXPECT_EQ(result.exitStatus, 0) << result.text;
    EXPECT_EQ(ReadBytes(list), before);
    EXPECT_EQ(dir.EntryCount(), 3u);
}

TEST(ListFileFaults, RestoreByRootKeepsTheUsersOwnershipOfTheList) {
    if (!RunningAsRoot()) GTEST_SKIP() << "only root can give a file away";
    TempFolder dir;
    const auto list = ListFilePath(dir.Path());
    const auto backup = BackupFilePath(dir.Path());
    WriteBytes(list, Title + "\r\n" + RecordLine(1) + "\r\n");
    WriteBytes(backup, Title + "\r\n");
    GiveToChild(list);
    RestoreListFromBackup(list, backup);
    struct stat status {};
    ASSERT_EQ(::stat(list.c_str(), &status), 0);
    EXPECT_EQ(status.st_uid, UnprivilegedId);
    EXPECT_EQ(status.st_gid, UnprivilegedId);
    EXPECT_EQ(ReadBytes(list), Title + "\r\n");
}

TEST(ListFileFaults, MillionsOfBrokenLinesAreCountedNotKept) {
    // A list of blank lines up to the size limit once took gigabytes for the reasons alone.
    TempFolder dir;
    const auto list = ListFilePath(dir.Path());
    const std::size_t broken = 3 * MotorList::KeptSkippedLines + 7;
    std::string content = Title + "\r\n";
    for (std::size_t i = 0; i < broken; ++i) content += i % 2 ? "\r\n" : "x;y;\r\n";
    content += RecordLine(1) + "\r\n";
    WriteBytes(list, content);
    const MotorList read = ReadMotorList(list);
    ASSERT_EQ(read.records.size(), 1u);
    EXPECT_EQ(read.records[0].lineNumber, static_cast<int>(broken) + 2);
    EXPECT_EQ(read.skippedCount, broken);
    ASSERT_EQ(read.skipped.size(), MotorList::KeptSkippedLines);
    EXPECT_EQ(read.skipped.front().lineNumber, 2);
    EXPECT_EQ(read.skipped.back().lineNumber, static_cast<int>(MotorList::KeptSkippedLines) + 1);
}
