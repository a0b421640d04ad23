// Two programs changing one motor list at the same time, each a real process.

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <sstream>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include <gtest/gtest.h>

#include "ChildProcess.h"
#include "ListFileTesting.h"
#include "MotorList.h"
#include "ListFixtures.h"
#include "TempFolder.h"

namespace {

using namespace std::chrono_literals;

std::string Lines(int first, int last) {
    std::string bytes = Title + "\r\n";
    for (int n = first; n <= last; ++n)
        bytes += RecordLine(n) + "\r\n";
    return bytes;
}

std::string RecordOf(int number, const std::string& maker) {
    return FormatRecordLine(number, Motor(maker), '.') + "\r\n";
}

// Restores the real writer and the usual lock wait even when a test fails half-way.
struct TestingGuard {
    ~TestingGuard() {
        SetListWriterForTesting({});
        SetListLockWaitForTesting(0ms);
    }
};

} // namespace

TEST(ListFileLocking, ConcurrentAppendsGiveUniqueNumbersAndLoseNoRecord) {
    TempFolder dir;
    const auto list = ListFilePath(dir.Path());
    WriteBytes(list, Lines(1, 1));
    constexpr int perProcess = 150;
    ProcessSignal start;
    // Each process appends its own maker's motor and reports the numbers it was given.
    const auto appender = [&](const std::string& maker) {
        return [&list, &start, maker](std::string& report) {
            if (!start.WaitFor()) {
                report = "no start signal";
                return false;
            }
            for (int i = 0; i < perProcess; ++i)
                report += std::to_string(AppendMotorRecord(Motor(maker), '.', list)) + " ";
            return true;
        };
    };
    ChildProcess a(appender("A"));
    ChildProcess b(appender("B"));
    start.Notify();
    start.Notify();
    const ChildResult resultA = a.Wait();
    const ChildResult resultB = b.Wait();
    ASSERT_EQ(resultA.exitStatus, 0) << resultA.text;
    ASSERT_EQ(resultB.exitStatus, 0) << resultB.text;

    std::map<int, std::string> given; // number -> the maker of the process it was given to
    for (const auto& [maker, text] : {std::pair{"A", resultA.text}, std::pair{"B", resultB.text}}) {
        std::istringstream numbers(text);
        for (int n; numbers >> n;)
            EXPECT_TRUE(given.emplace(n, maker).second) << "number " << n << " given twice";
    }
    EXPECT_EQ(given.size(), 2u * perProcess);

    const MotorList read = ReadMotorList(list);
    EXPECT_TRUE(read.skipped.empty()) << read.skipped.front().Reason(Language::English);
    ASSERT_EQ(read.records.size(), 1u + 2 * perProcess);
    for (std::size_t i = 1; i < read.records.size(); ++i) {
        const ListRecord& record = read.records[i];
        // Each record follows the one before it, and is the one its process was told it wrote.
        EXPECT_EQ(record.recordNumber, static_cast<int>(i) + 1);
        EXPECT_EQ(given[record.recordNumber], record.fields[1]) << "record " << record.recordNumber;
    }
}

TEST(ListFileLocking, AFailedAppendNeverCutsAwayAnotherProgramsRecord) {
    TempFolder dir;
    const auto list = ListFilePath(dir.Path());
    const std::string before = Lines(1, 1);
    WriteBytes(list, before);
    ProcessSignal writing, trying;

    // The disk fills up part-way through this program's record, while another program saves.
    ChildProcess full([&](std::string& report) {
        bool first = true;
        SetListWriterForTesting([&](int fd, const char* data, std::size_t size) -> long {
            if (!first) {
                errno = ENOSPC;
                return -1;
            }
            first = false;
            const long written = static_cast<long>(::write(fd, data, std::min<std::size_t>(size, 10)));
            writing.Notify();
            trying.WaitFor();
            std::this_thread::sleep_for(300ms); // time enough for the other append, were it let through
            return written;
        });
        try {
            AppendMotorRecord(Motor("A"), '.', list);
            report = "the append on a full disk was accepted";
            return false;
        } catch (const ListFileError& e) {
            report = e.what();
            return e.GetKind() == ListFileError::Kind::WriteFailed;
        }
    });
    ChildProcess good([&](std::string& report) {
        if (!writing.WaitFor()) {
            report = "the other append never started";
            return false;
        }
        trying.Notify();
        report = std::to_string(AppendMotorRecord(Motor("B"), '.', list));
        return true;
    });
    const ChildResult failed = full.Wait();
    const ChildResult saved = good.Wait();
    EXPECT_EQ(failed.exitStatus, 0) << failed.text;
    EXPECT_NE(failed.text.find("left as it was"), std::string::npos) << failed.text;
    ASSERT_EQ(saved.exitStatus, 0) << saved.text;
    EXPECT_EQ(saved.text, "2");
    EXPECT_EQ(ReadBytes(list), before + RecordOf(2, "B"));
}

TEST(ListFileLocking, AnAppendDuringARestoreThroughALinkLandsInTheRestoredList) {
    TempFolder dir;
    std::filesystem::create_directory(dir / "shared");
    const auto real = ListFilePath(dir / "shared");
    const auto link = dir / "my list.dat";
    std::filesystem::create_symlink("shared/Liste Moteur.dat", link);
    const auto backup = BackupFilePath(dir.Path());
    WriteBytes(backup, Lines(1, 3));
    WriteBytes(real, Lines(1, 5));
    ProcessSignal restoring, trying;

    // One program puts the delivered list back through the link, slowly; meanwhile another
    // saves a motor into the real file.
    ChildProcess restore([&](std::string& report) {
        bool first = true;
        SetListWriterForTesting([&](int fd, const char* data, std::size_t size) -> long {
            if (first) {
                first = false;
                restoring.Notify();
                trying.WaitFor();
                std::this_thread::sleep_for(300ms);
            }
            return static_cast<long>(::write(fd, data, size));
        });
        RestoreListFromBackup(link, backup);
        report = "restored";
        return true;
    });
    ChildProcess append([&](std::string& report) {
        if (!restoring.WaitFor()) {
            report = "the restore never started";
            return false;
        }
        trying.Notify();
        report = std::to_string(AppendMotorRecord(Motor("B"), '.', real));
        return true;
    });
    const ChildResult restored = restore.Wait();
    const ChildResult saved = append.Wait();
    ASSERT_EQ(restored.exitStatus, 0) << restored.text;
    ASSERT_EQ(saved.exitStatus, 0) << saved.text;
    // The saved record follows the restored list's last one and is there: the append waited.
    EXPECT_EQ(saved.text, "4");
    EXPECT_EQ(ReadBytes(real), Lines(1, 3) + RecordOf(4, "B"));
    // The link is still a link to the real list, and both used the lock beside the real file.
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(ReadBytes(link), ReadBytes(real));
    EXPECT_TRUE(std::filesystem::is_regular_file(dir / "shared" / "Liste Moteur.dat.lock"));
    EXPECT_FALSE(std::filesystem::exists(dir / "my list.dat.lock"));
}

TEST(ListFileLocking, AProgramHoldingTheLockTooLongStopsChangesButNotReading) {
    TempFolder dir;
    const auto list = ListFilePath(dir.Path());
    const auto backup = BackupFilePath(dir.Path());
    const std::string before = Lines(1, 2);
    WriteBytes(list, before);
    WriteBytes(backup, Lines(1, 1));
    TestingGuard guard;
    SetListLockWaitForTesting(300ms);

    ProcessSignal locked, release;
    ChildProcess holder([&](std::string& report) {
        const int fd = ::open((dir / "Liste Moteur.dat.lock").c_str(), O_RDWR | O_CREAT, 0644);
        if (fd < 0 || ::flock(fd, LOCK_EX) != 0) {
            report = std::strerror(errno);
            return false;
        }
        locked.Notify();
        release.WaitFor();
        return true;
    });
    ASSERT_TRUE(locked.WaitFor());

    try {
        AppendMotorRecord(Motor("B"), '.', list);
        ADD_FAILURE() << "append accepted under another program's lock";
    } catch (const ListFileError& e) {
        EXPECT_EQ(e.GetKind(), ListFileError::Kind::LockBusy);
        EXPECT_EQ(e.Number(), ErrListBusy);
        EXPECT_EQ(e.Message(Language::English),
                  "Another program has been changing the motor list for more than 0.3\u00A0s: it was not changed, "
                  "try again!");
        EXPECT_EQ(
            e.MessageWithNumber(Language::French),
            "Erreur 216 : Un autre programme modifie la liste de moteurs depuis plus de 0,3\u00A0s\u00A0: elle n'a pas "
            "été modifiée, réessayez\u00A0!");
    }
    try {
        RestoreListFromBackup(list, backup);
        ADD_FAILURE() << "restore accepted under another program's lock";
    } catch (const ListFileError& e) {
        EXPECT_EQ(e.GetKind(), ListFileError::Kind::LockBusy);
    }
    EXPECT_EQ(ReadBytes(list), before);
    // Reading waits a little, then reads all the same.
    EXPECT_EQ(ReadMotorList(list).records.size(), 2u);
    EXPECT_EQ(CountListLines(list), 3);

    release.Notify();
    EXPECT_EQ(holder.Wait().exitStatus, 0);
    EXPECT_EQ(AppendMotorRecord(Motor("B"), '.', list), 3);
    EXPECT_EQ(ReadBytes(list), before + RecordOf(3, "B"));
}

TEST(ListFileLocking, TheLockFileIsMadeBesideTheListOnceAndKept) {
    TempFolder dir;
    const auto list = ListFilePath(dir.Path());
    const auto backup = BackupFilePath(dir.Path());
    WriteBytes(backup, Lines(1, 1));
    WriteBytes(list, Lines(1, 1));
    // Reading never makes it.
    ReadMotorList(list);
    NextRecordNumber(list);
    EXPECT_EQ(dir.EntryCount(), 2u);
    // A change does, and it stays empty and in place across a restore.
    AppendMotorRecord(Motor("B"), '.', list);
    const auto lock = dir / "Liste Moteur.dat.lock";
    ASSERT_TRUE(std::filesystem::is_regular_file(lock));
    const auto inode = [](const std::filesystem::path& p) {
        struct stat s {};
        ::stat(p.c_str(), &s);
        return s.st_ino;
    };
    const auto lockInode = inode(lock);
    RestoreListFromBackup(list, backup);
    EXPECT_EQ(inode(lock), lockInode);
    EXPECT_EQ(std::filesystem::file_size(lock), 0u);
    EXPECT_EQ(ReadBytes(list), Lines(1, 1));
}
