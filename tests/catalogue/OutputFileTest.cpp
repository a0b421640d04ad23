// The one writer of every output file: replaced whole or not at all, devices written directly, and
// the identity by which two paths are found to name one file.

#include <cerrno>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "FileAccess.h"
#include "ListFileTesting.h"
#include "TempFolder.h"

namespace fs = std::filesystem;

namespace {

struct WriterGuard {
    ~WriterGuard() { SetListWriterForTesting({}); }
};

} // namespace

TEST(OutputFile, AFailedWriteLeavesTheOldFileAndNoTemporary) {
    TempFolder dir;
    const fs::path file = dir / "curves.csv";
    WriteBytes(file, "old bytes");
    ::chmod(file.c_str(), 0640);
    fs::create_symlink("curves.csv", dir / "link.csv");
    struct Case {
        const char* name;
        fs::path path;
        bool failAtWrite;
        int error;
    };
    const Case cases[] = {
        {"a full disk", file, true, ENOSPC},
        {"a full disk through a link", dir / "link.csv", true, ENOSPC},
        {"a missing folder", dir / "missing" / "c.csv", false, ENOENT},
        {"a folder", dir.Path(), false, EISDIR},
    };
    WriterGuard guard;
    for (const Case& c : cases) {
        SetListWriterForTesting(c.failAtWrite ? ListWriteFunction([](int, const char*, std::size_t) -> long {
            errno = ENOSPC;
            return -1;
        })
                                              : ListWriteFunction());
        EXPECT_EQ(listfile::WriteOutputFile(c.path, "new bytes"), c.error) << c.name;
        EXPECT_EQ(ReadBytes(file), "old bytes") << c.name;
        EXPECT_EQ(dir.EntryNames(), (std::set<std::string>{"curves.csv", "link.csv"})) << c.name;
    }
    SetListWriterForTesting({});

    // Written whole through the link: the link stays one, the file keeps its mode.
    EXPECT_EQ(listfile::WriteOutputFile(dir / "link.csv", "new bytes"), 0);
    EXPECT_TRUE(fs::is_symlink(dir / "link.csv"));
    EXPECT_EQ(ReadBytes(file), "new bytes");
    struct stat status {};
    ASSERT_EQ(::stat(file.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640u);

    // Devices are written where they are, and their failure is seen.
    EXPECT_EQ(listfile::WriteOutputFile("/dev/null", "bytes"), 0);
    if (fs::exists("/dev/full")) {
        EXPECT_EQ(listfile::WriteOutputFile("/dev/full", "bytes"), ENOSPC);
    }
}

TEST(OutputFile, APendingFileIsPutInPlaceOnlyWhenCommittedAndItsTemporaryCanBeRemovedAtAnyTime) {
    TempFolder dir;
    const fs::path file = dir / "sweep.csv";
    WriteBytes(file, "old");
    {
        listfile::PendingFile pending;
        ASSERT_EQ(pending.Open(file), 0);
        ASSERT_EQ(pending.Write("first part;"), 0);
        ASSERT_EQ(pending.Write("second part"), 0);
        EXPECT_FALSE(pending.Direct());
        EXPECT_TRUE(fs::exists(pending.Temporary()));
        EXPECT_EQ(ReadBytes(file), "old");
        ASSERT_EQ(pending.Finish(), 0);
        ASSERT_EQ(pending.Commit(), 0);
        EXPECT_EQ(ReadBytes(file), "first part;second part");
    }
    {
        listfile::PendingFile abandoned; // given up before it is complete
        ASSERT_EQ(abandoned.Open(file), 0);
        ASSERT_EQ(abandoned.Write("cut"), 0);
    }
    EXPECT_EQ(ReadBytes(file), "first part;second part");
    EXPECT_EQ(dir.EntryCount(), 1u);

    // What a signal handler does: the temporary files that exist are removed, the targets kept.
    listfile::PendingFile interrupted;
    ASSERT_EQ(interrupted.Open(file), 0);
    ASSERT_EQ(interrupted.Write("cut"), 0);
    listfile::RemovePendingTemporaries();
    EXPECT_EQ(dir.EntryCount(), 1u);
    ASSERT_EQ(interrupted.Finish(), 0);
    EXPECT_EQ(interrupted.Commit(), ENOENT);
    EXPECT_EQ(ReadBytes(file), "first part;second part");
}

TEST(OutputFile, PathsNameTheSameFileAfterTheirLinks) {
    TempFolder dir;
    fs::create_directory(dir / "real");
    fs::create_directory_symlink("real", dir / "linked");
    WriteBytes(dir / "real" / "s.tarvello", "{}");
    fs::create_symlink("real/s.tarvello", dir / "s-link.tarvello");
    fs::create_symlink("real/new.csv", dir / "dangling.csv");
    struct Case {
        fs::path a, b;
        bool same;
    };
    const Case cases[] = {
        {dir / "real" / "s.tarvello", dir / "s-link.tarvello", true},
        {dir / "real" / "s.tarvello", dir / "linked" / ".." / "real" / "s.tarvello", true},
        {dir / "linked" / "new.csv", dir / "real" / "new.csv", true}, // not made yet
        {dir / "dangling.csv", dir / "real" / "new.csv", true},
        {dir / "real" / "new.csv", dir / "real" / "other.csv", false},
        {dir / "real" / "s.tarvello", dir / "real" / "s.tarvello2", false},
        {dir / "missing" / "a.csv", dir / "missing" / "a.csv", false}, // leads nowhere
        {"/dev/null", "/dev/null", false},                             // no file
    };
    for (const Case& c : cases)
        EXPECT_EQ(listfile::SameFile(c.a, c.b), c.same) << c.a << " " << c.b;
}
