// Study files on disk: atomic saving that never leaves a half-written study or a temporary file,
// refusals with the system's reason, bounded reading.

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "StudyFileTesting.h"
#include "StudyFixtures.h"

namespace fs = std::filesystem;

namespace {

class TempFolder {
  public:
    TempFolder() {
        std::string name = (fs::temp_directory_path() / "tarvello-study-XXXXXX").string();
        if (::mkdtemp(name.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        path_ = name;
    }
    ~TempFolder() {
        std::error_code ignored;
        fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    fs::path operator/(const std::string& name) const { return path_ / name; }
    const fs::path& Path() const { return path_; }
    // The names in the folder, to see that no temporary file stays behind.
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(path_))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

  private:
    fs::path path_;
};

std::string ReadBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const fs::path& file, const std::string& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// Restores write(2) whatever the test does.
struct WriterGuard {
    explicit WriterGuard(StudyWriteFunction f) { SetStudyWriterForTesting(std::move(f)); }
    ~WriterGuard() { SetStudyWriterForTesting({}); }
};

Study TypedStudy() {
    return StudyFromSettings(TypedCaseByHand(), EverySettingSet(), {.loadKind = LoadKind::Squared});
}
Study ListedStudy() {
    return StudyFromSettings(ListedCaseByHand(), {}, {.loadKind = LoadKind::Constant});
}

// Runs the function as an ordinary user, for whom permissions count (root passes them by): in a
// child process that gives up root when the tests run as root. Returns what the function returns.
std::string AsOrdinaryUser(const std::function<std::string()>& run) {
    if (::geteuid() != 0) return run();
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) return "pipe failed";
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeEnds[0]);
        std::string result = "could not give up root";
        if (::setgroups(0, nullptr) == 0 && ::setgid(65534) == 0 && ::setuid(65534) == 0) result = run();
        const ssize_t ignored = ::write(pipeEnds[1], result.data(), result.size());
        (void)ignored;
        ::_exit(0);
    }
    ::close(pipeEnds[1]);
    std::string result;
    char buffer[4096];
    for (ssize_t n; (n = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0;)
        result.append(buffer, static_cast<std::size_t>(n));
    ::close(pipeEnds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return result;
}

std::string Describe(const Refusal& r) {
    return std::to_string(r.number) + ": " + ErrorText(r, Language::English);
}

} // namespace

TEST(StudyFile, SavedStudyReadsBackAndTheFileHoldsTheStudyText) {
    TempFolder folder;
    for (const Study& study : {TypedStudy(), ListedStudy()}) {
        const fs::path file = folder / "case.tarvello";
        ASSERT_EQ(SaveStudyFile(file, study).number, 0);
        EXPECT_EQ(ReadBytes(file), StudyText(study));
        Study read;
        const StudyRefusal r = LoadStudyFile(file, read);
        ASSERT_FALSE(r) << StudyRefusalText(r, Language::English);
        ExpectSameStudy(read, study);
        EXPECT_EQ(folder.Names(), std::vector<std::string>{"case.tarvello"});
    }
}

TEST(StudyFile, LongestFileNameIsSaved) {
    TempFolder folder;
    const fs::path file = folder / (std::string(255 - 9, 'n') + ".tarvello");
    ASSERT_EQ(SaveStudyFile(file, ListedStudy()).number, 0);
    EXPECT_EQ(ReadBytes(file), StudyText(ListedStudy()));
    EXPECT_EQ(folder.Names().size(), 1u);
}

TEST(StudyFile, NewFilesGetTheUsualPermissionsAndReplacedOnesKeepTheirs) {
    TempFolder folder;
    const mode_t old = ::umask(022);
    const fs::path file = folder / "new.tarvello";
    ASSERT_EQ(SaveStudyFile(file, ListedStudy()).number, 0);
    ::umask(old);
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);
    ASSERT_EQ(::chmod(file.c_str(), 0600), 0);
    ASSERT_EQ(SaveStudyFile(file, TypedStudy()).number, 0);
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST(StudyFile, FolderThatIsNotWritableRefusesAndLeavesTheOldFile) {
    TempFolder folder;
    const fs::path file = folder / "case.tarvello";
    ASSERT_EQ(SaveStudyFile(file, ListedStudy()).number, 0);
    const std::string before = ReadBytes(file);
    ASSERT_EQ(::chmod(folder.Path().c_str(), 0555), 0);
    ASSERT_EQ(::chmod(file.c_str(), 0644), 0);
    const std::string outcome = AsOrdinaryUser([&] { return Describe(SaveStudyFile(file, TypedStudy())); });
    ASSERT_EQ(::chmod(folder.Path().c_str(), 0700), 0);
    EXPECT_EQ(outcome, "163: The study cannot be saved as \"" + file.string() + "\" (Permission denied)!");
    EXPECT_EQ(ReadBytes(file), before);
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"case.tarvello"});
    // The French message gives the same reason.
    const Refusal r{ErrStudyCannotSave, {"x", "«\u00A0" + file.string() + "\u00A0» (Permission denied)"}};
    EXPECT_EQ(ErrorText(r, Language::French),
              "L'étude ne peut pas être enregistrée sous «\u00A0" + file.string() + "\u00A0» (Permission denied)\u00A0!");
}

TEST(StudyFile, FileThatIsNotWritableRefusesAndStaysAsItWas) {
    TempFolder folder;
    const fs::path file = folder / "case.tarvello";
    ASSERT_EQ(SaveStudyFile(file, ListedStudy()).number, 0);
    const std::string before = ReadBytes(file);
    // The folder is open to all; only the file is protected.
    ASSERT_EQ(::chmod(folder.Path().c_str(), 0777), 0);
    ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
    const fs::path link = folder / "link.tarvello";
    fs::create_symlink("case.tarvello", link);
    const std::string outcome = AsOrdinaryUser([&] {
        return Describe(SaveStudyFile(file, TypedStudy())) + "\n" +
               Describe(SaveStudyFile(link, TypedStudy()));
    });
    ASSERT_EQ(::chmod(folder.Path().c_str(), 0700), 0);
    EXPECT_EQ(outcome, "163: The study cannot be saved as \"" + file.string() + "\" (Permission denied)!\n" +
                           "163: The study cannot be saved as \"" + link.string() +
                           "\" (Permission denied)!");
    EXPECT_EQ(ReadBytes(file), before);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"case.tarvello", "link.tarvello"}));
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0444u);
}

TEST(StudyFile, FileReplacedByAFolderIsRefusedAndTheFolderStays) {
    TempFolder folder;
    const fs::path target = folder / "case.tarvello";
    fs::create_directory(target);
    WriteBytes(target / "inside", "x");
    const Refusal r = SaveStudyFile(target, TypedStudy());
    EXPECT_EQ(Describe(r), "163: The study cannot be saved as \"" + target.string() + "\" (Is a directory)!");
    EXPECT_EQ(ReadBytes(target / "inside"), "x");
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"case.tarvello"});
    // Reading it is refused as no regular file, and so is a named pipe, without waiting for a writer.
    Study read;
    EXPECT_EQ(LoadStudyFile(target, read).number(), ErrStudyNotRegularFile);
    const fs::path pipe = folder / "pipe.tarvello";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const StudyRefusal p = LoadStudyFile(pipe, read);
    EXPECT_EQ(p.number(), ErrStudyNotRegularFile);
    EXPECT_EQ(StudyRefusalText(p, Language::English),
              "The study file \"" + pipe.string() + "\" is not a regular file!");
    EXPECT_EQ(StudyRefusalText(p, Language::French),
              "Le fichier d'étude «\u00A0" + pipe.string() + "\u00A0» n'est pas un fichier ordinaire\u00A0!");
    EXPECT_EQ(SaveStudyFile(pipe, TypedStudy()).number, ErrStudyNotRegularFile);
}

// A disk that fills up, an I/O error or a writer that takes a few bytes at a time: the old study
// stays byte for byte and no temporary file is left.
TEST(StudyFile, FailedWritesLeaveTheOldFileIntactAndNoTemporaryFile) {
    TempFolder folder;
    const fs::path file = folder / "case.tarvello";
    ASSERT_EQ(SaveStudyFile(file, ListedStudy()).number, 0);
    const std::string before = ReadBytes(file);
    for (int error : {ENOSPC, EIO, EDQUOT}) {
        for (std::size_t failAfter : {std::size_t{0}, std::size_t{1}, std::size_t{700}}) {
            std::size_t total = 0;
            WriterGuard guard([&](int fd, const char* data, std::size_t size) -> long {
                if (total >= failAfter) {
                    errno = error;
                    return -1;
                }
                const std::size_t n = std::min(size, failAfter - total);
                total += n;
                return static_cast<long>(::write(fd, data, n));
            });
            const Refusal r = SaveStudyFile(file, TypedStudy());
            EXPECT_EQ(Describe(r), "163: The study cannot be saved as \"" + file.string() + "\" (" +
                                       std::generic_category().message(error) + ")!");
            EXPECT_EQ(ReadBytes(file), before);
            EXPECT_EQ(folder.Names(), std::vector<std::string>{"case.tarvello"});
        }
    }
    {
        // Short writes and interruptions are carried on, not mistaken for failures.
        bool interrupt = true;
        WriterGuard guard([&](int fd, const char* data, std::size_t size) -> long {
            interrupt = !interrupt;
            if (interrupt) {
                errno = EINTR;
                return -1;
            }
            return static_cast<long>(::write(fd, data, std::min<std::size_t>(size, 3)));
        });
        ASSERT_EQ(SaveStudyFile(file, TypedStudy()).number, 0);
    }
    EXPECT_EQ(ReadBytes(file), StudyText(TypedStudy()));
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"case.tarvello"});
}

TEST(StudyFile, ThroughASymbolicLinkTheFileItNamesIsReplaced) {
    TempFolder folder;
    fs::create_directory(folder / "real");
    const fs::path real = folder / "real" / "case.tarvello";
    ASSERT_EQ(SaveStudyFile(real, ListedStudy()).number, 0);
    const fs::path link = folder / "link.tarvello";
    fs::create_symlink("real/case.tarvello", link);
    ASSERT_EQ(SaveStudyFile(link, TypedStudy()).number, 0);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadBytes(real), StudyText(TypedStudy()));
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"link.tarvello", "real"}));
    // A link whose file does not exist yet: the file is made where the link points.
    const fs::path dangling = folder / "later.tarvello";
    fs::create_symlink(folder / "real" / "later-target.tarvello", dangling);
    ASSERT_EQ(SaveStudyFile(dangling, ListedStudy()).number, 0);
    EXPECT_TRUE(fs::is_symlink(dangling));
    EXPECT_EQ(ReadBytes(folder / "real" / "later-target.tarvello"), StudyText(ListedStudy()));
    // A loop of links is refused.
    fs::create_symlink("b.tarvello", folder / "a.tarvello");
    fs::create_symlink("a.tarvello", folder / "b.tarvello");
    const Refusal loop = SaveStudyFile(folder / "a.tarvello", ListedStudy());
    EXPECT_EQ(loop.number, ErrStudyCannotSave);
    EXPECT_NE(loop.argument.english.find(std::generic_category().message(ELOOP)), std::string::npos);
}

TEST(StudyFile, WhatCannotBeWrittenFaithfullyIsRefusedBeforeTheFileIsTouched) {
    TempFolder folder;
    const fs::path file = folder / "case.tarvello";
    Study nan = TypedStudy();
    nan.Load.T1 = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(Describe(SaveStudyFile(file, nan)),
              "164: The study cannot be saved: \"T1\" is not a finite number!");
    Study inf = TypedStudy();
    inf.Dynamic.Network.SourceVoltage = -std::numeric_limits<double>::infinity();
    EXPECT_EQ(ErrorText(SaveStudyFile(file, inf), Language::French),
              "L'étude ne peut pas être enregistrée\u00A0: «\u00A0SourceVoltage\u00A0» n'est pas un nombre fini\u00A0!");
    Study latin1 = TypedStudy();
    latin1.Motor.ConstructorName = "Soci\xe9t\xe9";
    EXPECT_EQ(Describe(SaveStudyFile(file, latin1)),
              "164: The study cannot be saved: \"ConstructorName\" is not UTF-8 text!");
    Study overlong = TypedStudy();
    overlong.Dynamic.Starter->RatingCode = "\xc0\xaf";
    EXPECT_EQ(CheckStudyWritable(overlong).number, ErrStudyNotWritable);
    Study surrogate = TypedStudy();
    surrogate.Motor.MotorSize = "\xed\xa0\x80";
    EXPECT_EQ(CheckStudyWritable(surrogate).number, ErrStudyNotWritable);
    EXPECT_EQ(CheckStudyWritable(TypedStudy()).number, 0);
    // Control characters, as a reader would refuse them, in each text.
    for (const auto& [character, shown] :
         std::vector<std::pair<std::string, std::string>>{{std::string(1, '\0'), "U+0000"},
                                                          {"\x1F", "U+001F"},
                                                          {"\x7F", "U+007F"},
                                                          {"\xC2\x80", "U+0080"}}) {
        Study maker = TypedStudy(), size = TypedStudy(), rating = TypedStudy();
        maker.Motor.ConstructorName = "Tarv" + character + "ello";
        size.Motor.MotorSize = character;
        rating.Dynamic.Starter->RatingCode += character;
        EXPECT_EQ(Describe(SaveStudyFile(file, maker)),
                  "164: The study cannot be saved: \"ConstructorName\" holds the control character " + shown +
                      "!");
        EXPECT_EQ(ErrorText(SaveStudyFile(file, size), Language::French),
                  "L'étude ne peut pas être enregistrée\u00A0: «\u00A0MotorSize\u00A0» contient le caractère de contrôle " +
                      shown + "\u00A0!");
        EXPECT_EQ(CheckStudyWritable(rating).argument.english,
                  "\"RatingCode\" holds the control character " + shown);
    }
    EXPECT_TRUE(folder.Names().empty());
    EXPECT_EQ(SaveStudyFile(folder / "missing" / "case.tarvello", TypedStudy()).argument.english,
              "\"" + (folder / "missing" / "case.tarvello").string() + "\" (No such file or directory)");
}

TEST(StudyFile, ReadingIsBoundedAndRefusalsNameTheFile) {
    TempFolder folder;
    Study read;
    const fs::path missing = folder / "missing.tarvello";
    const StudyRefusal m = LoadStudyFile(missing, read);
    EXPECT_EQ(StudyRefusalText(m, Language::English),
              "The study file cannot be read: \"" + missing.string() + "\" (No such file or directory)!");

    // Exactly the limit is read (a study padded with spaces); one byte more is refused unread.
    const std::string text = StudyText(ListedStudy());
    const fs::path big = folder / "big.tarvello";
    WriteBytes(big, text + std::string(static_cast<std::size_t>(MaxStudyFileSize) - text.size(), ' '));
    ASSERT_EQ(fs::file_size(big), static_cast<std::uintmax_t>(MaxStudyFileSize));
    EXPECT_FALSE(LoadStudyFile(big, read));
    const fs::path huge = folder / "huge.tarvello";
    WriteBytes(huge, text);
    fs::resize_file(huge, static_cast<std::uintmax_t>(MaxStudyFileSize) + 1);
    const StudyRefusal h = LoadStudyFile(huge, read);
    EXPECT_EQ(StudyRefusalText(h, Language::English),
              "The study file \"" + huge.string() + "\" is larger than 16\u00A0MiB!");
    EXPECT_EQ(StudyRefusalText(h, Language::French),
              "Le fichier d'étude «\u00A0" + huge.string() + "\u00A0» dépasse 16\u00A0Mio\u00A0!");

    // A file refused for its contents names the line, and the study in hand stays.
    const fs::path truncated = folder / "truncated.tarvello";
    WriteBytes(truncated, text.substr(0, text.find("\"load\"")));
    Study kept = TypedStudy();
    const StudyRefusal t = LoadStudyFile(truncated, kept);
    EXPECT_EQ(t.number(), ErrStudyNotJson);
    // The file stops in the indentation of the line of "load".
    EXPECT_EQ(t.line, 1 + static_cast<int>(std::count(
                              text.begin(), text.begin() + static_cast<long>(text.find("\"load\"")), '\n')));
    ExpectSameStudy(kept, TypedStudy());
    const fs::path unreadable = folder / "unreadable.tarvello";
    WriteBytes(unreadable, text);
    ASSERT_EQ(::chmod(unreadable.c_str(), 0), 0);
    ASSERT_EQ(::chmod(folder.Path().c_str(), 0755), 0); // only the file itself is closed
    EXPECT_EQ(AsOrdinaryUser([&] {
                  Study s;
                  return std::to_string(LoadStudyFile(unreadable, s).number());
              }),
              std::to_string(ErrStudyCannotRead));
}
