// What is no list file (a device, a pipe, a folder) and lists above the size limit are refused
// before anything is read, with their numbered messages; quoted texts show every character.

#include <fcntl.h>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "MotorList.h"
#include "ListFixtures.h"
#include "TempFolder.h"

namespace {

// Every way the program reads the list.
std::vector<std::pair<const char*, std::function<void(const std::filesystem::path&)>>> Readers() {
    return {
        {"ReadMotorList", [](const std::filesystem::path& f) { ReadMotorList(f); }},
        {"CountListLines", [](const std::filesystem::path& f) { CountListLines(f); }},
        {"ReadListRecord", [](const std::filesystem::path& f) { ReadListRecord(1, f); }},
        {"NextRecordNumber", [](const std::filesystem::path& f) { NextRecordNumber(f); }},
    };
}

// A file of the given size whose first and last bytes are head and tail, the rest a hole: the
// system reports the full size without the disk space being used.
void WriteSparse(const std::filesystem::path& file, std::uint64_t size, const std::string& head,
                 const std::string& tail) {
    WriteBytes(file, head);
    std::filesystem::resize_file(file, size - tail.size());
    const int fd = ::open(file.c_str(), O_WRONLY | O_APPEND);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, tail.data(), tail.size()), static_cast<ssize_t>(tail.size()));
    ::close(fd);
    ASSERT_EQ(std::filesystem::file_size(file), size);
}

} // namespace

TEST(ListFileLimits, WhatIsNoRegularFileIsRefusedBeforeAnyRead) {
    TempFolder dir;
    const auto pipe = dir / "pipe.dat";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
    const auto folder = dir / "folder.dat";
    std::filesystem::create_directory(folder);
    const auto link = dir / "link.dat";
    std::filesystem::create_symlink("pipe.dat", link);
    const auto backup = BackupFilePath(dir.Path());
    WriteBytes(backup, Title + "\r\n" + RecordLine(1) + "\r\n");

    // /dev/zero would be read until memory runs out, and a pipe would wait for a writer forever.
    for (const std::filesystem::path& file : {std::filesystem::path("/dev/zero"), pipe, folder, link}) {
        for (const auto& [name, read] : Readers()) {
            const ListFileError e = Thrown([&, &read = read] { read(file); });
            EXPECT_EQ(e.GetKind(), ListFileError::Kind::NotRegularFile) << name << " " << file;
            EXPECT_EQ(e.Number(), ErrListNotRegularFile);
            EXPECT_EQ(e.Message(Language::English),
                      "\"" + file.string() +
                          "\" is not a regular file: it cannot be read or written as a motor list!");
            EXPECT_EQ(e.MessageWithNumber(Language::French),
                      "Erreur 212 : «\u00A0" + file.string() +
                          "\u00A0» n'est pas un fichier ordinaire\u00A0: il ne peut être ni lu ni écrit comme liste de "
                          "moteurs\u00A0!");
        }
        EXPECT_EQ(Thrown([&] { AppendMotorRecord(Motor(), '.', file); }).GetKind(),
                  ListFileError::Kind::NotRegularFile)
            << file;
    }
    // Nor is anything written into or in place of them.
    for (const std::filesystem::path& file : {pipe, folder, link}) {
        EXPECT_EQ(Thrown([&] { RestoreListFromBackup(file, backup); }).GetKind(),
                  ListFileError::Kind::NotRegularFile)
            << file;
    }
    EXPECT_TRUE(std::filesystem::is_fifo(pipe));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_TRUE(std::filesystem::is_empty(folder));
    EXPECT_FALSE(std::filesystem::exists("/dev/zero.lock"));
    EXPECT_EQ(dir.EntryCount(), 4u); // no lock file, no temporary file

    // A backup that is no regular file leaves the list as it was.
    const auto list = ListFilePath(dir.Path());
    const std::string before = Title + "\r\n";
    WriteBytes(list, before);
    for (const std::filesystem::path& file : {std::filesystem::path("/dev/zero"), pipe, folder}) {
        const ListFileError e = Thrown([&] { RestoreListFromBackup(list, file); });
        EXPECT_EQ(e.GetKind(), ListFileError::Kind::NotRegularFile) << file;
        EXPECT_EQ(e.File(), file);
    }
    EXPECT_EQ(ReadBytes(list), before);
}

TEST(ListFileLimits, AListAboveTheLimitIsRefusedUnread) {
    TempFolder dir;
    const auto list = ListFilePath(dir.Path());
    const auto backup = BackupFilePath(dir.Path());
    EXPECT_EQ(ListFileSizeLimit, 64u * 1024 * 1024);
    WriteSparse(list, ListFileSizeLimit + 1, Title, "\r\n" + RecordLine(1) + "\r\n");
    for (const auto& [name, read] : Readers()) {
        const ListFileError e = Thrown([&, &read = read] { read(list); });
        EXPECT_EQ(e.GetKind(), ListFileError::Kind::ListTooLarge) << name;
        EXPECT_EQ(e.MessageWithNumber(Language::English),
                  "Error 213: The motor list cannot be larger than 64\u00A0MiB: nothing was read or written!");
        EXPECT_EQ(e.Message(Language::French),
                  "La liste de moteurs ne peut pas dépasser 64\u00A0Mio\u00A0: rien n'a été lu ni "
                  "écrit\u00A0!");
    }
    EXPECT_EQ(Thrown([&] { AppendMotorRecord(Motor(), '.', list); }).GetKind(),
              ListFileError::Kind::ListTooLarge);
    EXPECT_EQ(std::filesystem::file_size(list), ListFileSizeLimit + 1);

    // The delivered list is held to the same limit, and the list stays as it was.
    const std::string before = Title + "\r\n" + RecordLine(1) + "\r\n";
    WriteBytes(list, before);
    WriteSparse(backup, ListFileSizeLimit + 1, Title, "\r\n");
    const ListFileError e = Thrown([&] { RestoreListFromBackup(list, backup); });
    EXPECT_EQ(e.GetKind(), ListFileError::Kind::BackupTooLarge);
    EXPECT_EQ(e.Number(), ErrBackupTooLarge);
    EXPECT_EQ(e.Message(Language::English),
              "The delivered motor list cannot be larger than 64\u00A0MiB: the motor list was not changed!");
    EXPECT_EQ(ReadBytes(list), before);
}

TEST(ListFileLimits, AListOfExactlyTheLimitReadsButGrowsNoFurther) {
    TempFolder dir;
    const auto list = ListFilePath(dir.Path());
    WriteSparse(list, ListFileSizeLimit, Title, "\r\n" + RecordLine(7) + "\r\n");
    EXPECT_EQ(CountListLines(list), 2);
    EXPECT_EQ(ReadListRecord(1, list).recordNumber, 7);
    EXPECT_EQ(NextRecordNumber(list), 8);
    // A record more would make a list that no reader takes.
    EXPECT_EQ(Thrown([&] { AppendMotorRecord(Motor(), '.', list); }).GetKind(),
              ListFileError::Kind::ListTooLarge);
    EXPECT_EQ(std::filesystem::file_size(list), ListFileSizeLimit);

    // A backup within the limit whose copy, with CR LF for each LF, would be beyond it.
    const auto backup = BackupFilePath(dir.Path());
    WriteSparse(backup, ListFileSizeLimit - 1, "0;t;\n", "\n");
    const std::string before = Title + "\r\n";
    WriteBytes(list, before);
    EXPECT_EQ(Thrown([&] { RestoreListFromBackup(list, backup); }).GetKind(),
              ListFileError::Kind::BackupTooLarge);
    EXPECT_EQ(ReadBytes(list), before);
}

TEST(ListFileQuoting, ControlCharactersInAQuotedLineAreShownVisibly) {
    TempFolder dir;
    const auto list = ListFilePath(dir.Path());
    // A DOS end-of-file byte after the last line end.
    const std::string before = Title + "\r\n" + RecordLine(1) + "\r\n\x1A";
    WriteBytes(list, before);
    const ListFileError e = Thrown([&] { AppendMotorRecord(Motor(), '.', list); });
    EXPECT_EQ(e.GetKind(), ListFileError::Kind::BadRecordNumber);
    EXPECT_NE(e.Message(Language::English).find("(line 3: \"<0x1A>\")"), std::string::npos)
        << e.Message(Language::English);
    EXPECT_NE(e.Message(Language::French).find("(ligne 3 : \"<0x1A>\")"), std::string::npos)
        << e.Message(Language::French);
    EXPECT_EQ(ReadBytes(list), before);

    // Fields of skipped lines: a tab, a delete, and a byte that Windows-1252 leaves a control (0x81).
    WriteBytes(list, Title + "\r\n" + "\x1A" + RecordLine(1) + "\r\n" +
                         "2;M;S;1000;400;50;2.5;0.80;1400;1.2;5;5;4;4;1\t5\x7F;2000;Star;\r\n" +
                         "3;M;S;\x81" + "1000;400;50;2.5;0.80;1400;1.2;5;5;4;4;150;2000;Star;\r\n");
    const MotorList read = ReadMotorList(list);
    ASSERT_EQ(read.skipped.size(), 3u);
    EXPECT_EQ(read.skipped[0].Reason(Language::English),
              "line 2: field 1 (record number) \"<0x1A>1\" is not a whole number");
    EXPECT_EQ(read.skipped[0].Reason(Language::French),
              "ligne 2 : le champ 1 (numéro) \"<0x1A>1\" n'est pas un nombre entier");
    EXPECT_EQ(read.skipped[1].Reason(Language::English),
              "line 3: field 15 (Xh) \"1<0x09>5<0x7F>\" is not a number");
    EXPECT_EQ(read.skipped[2].Reason(Language::French),
              "ligne 4 : le champ 4 (puissance) \"<0x81>1000\" n'est pas un nombre");

    // A long text is cut before the marks are made, never inside one.
    SkippedLine s;
    s.lineNumber = 2;
    s.reason = SkipReason::BadNumber;
    s.field = 4;
    s.text = std::string(39, 'a') + "\x1A\x1A";
    EXPECT_EQ(s.Reason(Language::English),
              "line 2: field 4 (power) \"" + std::string(39, 'a') + "<0x1A>...\" is not a number");

    // A file name with a line break in it.
    const ListFileError missing = Thrown([&] { ReadMotorList(dir / "odd\nname.dat"); });
    EXPECT_NE(missing.Message(Language::English).find("odd<0x0A>name.dat"), std::string::npos);
}
