// Study files on disk: a bounded read, and an atomic replacement through a temporary file.

#include <atomic>
#include <cerrno>
#include <chrono>
#include <string>
#include <system_error>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "Study.h"
#include "StudyFileTesting.h"

namespace fs = std::filesystem;

namespace {

StudyWriteFunction& Writer() {
    static StudyWriteFunction writer;
    return writer;
}

long WriteSome(int fd, const char* data, std::size_t size) {
    if (const StudyWriteFunction& w = Writer()) return w(fd, data, size);
    return static_cast<long>(::write(fd, data, size));
}

std::string Reason(int error) {
    return std::generic_category().message(error);
}

ErrorArgument PathArgument(const fs::path& path) {
    return {"\"" + path.string() + "\"", "« " + path.string() + " »"};
}

ErrorArgument PathAndReason(const fs::path& path, int error) {
    ErrorArgument a = PathArgument(path);
    a.english += " (" + Reason(error) + ")";
    a.french += " (" + Reason(error) + ")";
    return a;
}

// Closes the descriptor when it goes out of scope.
class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }
    // Closes now and reports the error that close gives (a late write error on some file systems).
    int Close() {
        const int result = ::close(fd_);
        fd_ = -1;
        return result == 0 ? 0 : errno;
    }

  private:
    int fd_;
};

// Follows symbolic links (a bounded number of them) to the file they finally name, which need not
// exist yet: the study replaces that file, and the links stay links.
bool ResolveLinks(fs::path& path, int& error) {
    for (int hop = 0; hop < 40; ++hop) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0) {
            if (errno == ENOENT) return true;
            error = errno;
            return false;
        }
        if (!S_ISLNK(st.st_mode)) return true;
        std::error_code ec;
        const fs::path target = fs::read_symlink(path, ec);
        if (ec) {
            error = ec.value();
            return false;
        }
        path = target.is_absolute() ? target : path.parent_path() / target;
    }
    error = ELOOP;
    return false;
}

} // namespace

void SetStudyWriterForTesting(StudyWriteFunction writer) {
    Writer() = std::move(writer);
}

StudyRefusal LoadStudyFile(const fs::path& path, Study& out, const StudySettingsCheck& check) {
    // Non-blocking so that a named pipe given by mistake is refused rather than waited on.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return {Refusal{ErrStudyCannotRead, PathAndReason(path, errno)}, 0};
    FileDescriptor file(fd);
    struct stat st {};
    if (::fstat(fd, &st) != 0) return {Refusal{ErrStudyCannotRead, PathAndReason(path, errno)}, 0};
    if (!S_ISREG(st.st_mode)) return {Refusal{ErrStudyNotRegularFile, PathArgument(path)}, 0};
    if (st.st_size > MaxStudyFileSize) return {Refusal{ErrStudyTooLarge, PathArgument(path)}, 0};

    // The file may grow while it is read: never more than the limit and one byte is taken.
    std::string text(static_cast<std::size_t>(st.st_size) + 1, '\0');
    std::size_t length = 0;
    for (;;) {
        if (length == text.size()) {
            if (static_cast<long long>(text.size()) > MaxStudyFileSize)
                return {Refusal{ErrStudyTooLarge, PathArgument(path)}, 0};
            text.resize(std::min<std::size_t>(text.size() * 2, MaxStudyFileSize + 1));
        }
        const ssize_t n = ::read(fd, text.data() + length, text.size() - length);
        if (n < 0) {
            if (errno == EINTR) continue;
            return {Refusal{ErrStudyCannotRead, PathAndReason(path, errno)}, 0};
        }
        if (n == 0) break;
        length += static_cast<std::size_t>(n);
    }
    text.resize(length);
    return ParseStudy(text, out, check);
}

Refusal SaveStudyFile(const fs::path& path, const Study& study) {
    if (Refusal r = CheckStudyWritable(study)) return r;
    const std::string text = StudyText(study);

    if (path.empty()) return {ErrStudyCannotSave, PathAndReason(path, ENOENT)};
    fs::path target = path;
    int error = 0;
    if (!ResolveLinks(target, error)) return {ErrStudyCannotSave, PathAndReason(path, error)};
    // What is there already must be a file that a rename may replace.
    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode)) return {ErrStudyCannotSave, PathAndReason(path, EISDIR)};
    if (exists && !S_ISREG(existing.st_mode)) return {ErrStudyNotRegularFile, PathArgument(path)};
    // A study the user may not write is refused, although the rename would only need the folder:
    // the protection is the user's, as for the motor list.
    if (exists) {
        const int check = ::open(target.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
        if (check < 0) return {ErrStudyCannotSave, PathAndReason(path, errno)};
        ::close(check);
    }

    // The temporary file sits beside the target, so that the rename stays within one file system.
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    static std::atomic<unsigned> counter{0};
    const auto stamp =
        static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
    // Named after the target, shortened so that a long name still leaves room for the suffix.
    std::string base = target.filename().string();
    if (base.size() > 100) base.resize(100);
    fs::path temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = folder / ("." + base + ".tmp-" + std::to_string(::getpid()) + "-" +
                              std::to_string(counter++) + "-" + std::to_string(stamp % 1000000));
        // Permissions as for any new file (0666 less the umask).
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
        if (fd < 0 && errno != EEXIST) return {ErrStudyCannotSave, PathAndReason(path, errno)};
    }
    if (fd < 0) return {ErrStudyCannotSave, PathAndReason(path, EEXIST)};
    FileDescriptor file(fd);
    const auto fail = [&](int reason) {
        file.Close();
        ::unlink(temporary.c_str());
        return Refusal{ErrStudyCannotSave, PathAndReason(path, reason)};
    };
    // A study that replaces another keeps that file's permissions.
    if (exists) (void)::fchmod(fd, existing.st_mode & 07777);

    std::size_t written = 0;
    while (written < text.size()) {
        const long n = WriteSome(fd, text.data() + written, text.size() - written);
        if (n < 0) {
            if (errno == EINTR) continue;
            return fail(errno);
        }
        if (n == 0) return fail(EIO);
        written += static_cast<std::size_t>(n);
    }
    if (::fsync(fd) != 0) return fail(errno);
    if (const int e = file.Close(); e != 0) {
        ::unlink(temporary.c_str());
        return {ErrStudyCannotSave, PathAndReason(path, e)};
    }
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        const int e = errno;
        ::unlink(temporary.c_str());
        return {ErrStudyCannotSave, PathAndReason(path, e)};
    }
    // The rename itself reaches the disk with the folder; the study is already in place, so a
    // failure here is not reported.
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        (void)::fsync(dir);
        ::close(dir);
    }
    return 0;
}
