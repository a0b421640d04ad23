#include "FileAccess.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "ListFileTesting.h"

namespace {

ListWriteFunction& Writer() {
    static ListWriteFunction writer;
    return writer;
}

long WriteSome(int fd, const char* data, std::size_t size) {
    if (Writer()) return Writer()(fd, data, size);
    return static_cast<long>(::write(fd, data, size));
}

std::string SystemText(int error) {
    return std::strerror(error);
}

// 0 on success, else the errno of the failure.
int WriteAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const long n = WriteSome(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno != 0 ? errno : EIO;
        }
        if (n == 0) return EIO; // no progress: treat as a device failure rather than loop forever
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

// 0 on success, else errno; the content is appended to out.
int ReadAll(int fd, std::string& out) {
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) return 0;
        out.append(buffer, static_cast<std::size_t>(n));
    }
}

std::filesystem::path FolderOf(const std::filesystem::path& file) {
    const auto folder = file.parent_path();
    return folder.empty() ? std::filesystem::path(".") : folder;
}

// Makes a finished rename durable; a failure here changes nothing the user could act on.
void SyncFolder(const std::filesystem::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

void SetListWriterForTesting(ListWriteFunction writer) {
    Writer() = std::move(writer);
}

namespace listfile {

std::string ReadWholeFile(const std::filesystem::path& file, ListFileError::Kind missingKind) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        throw ListFileError(error == ENOENT ? missingKind : ListFileError::Kind::ReadFailed, file,
                            SystemText(error));
    }
    std::string content;
    const int error = ReadAll(fd, content);
    ::close(fd);
    if (error != 0) throw ListFileError(ListFileError::Kind::ReadFailed, file, SystemText(error));
    return content;
}

AppendSession::AppendSession(const std::filesystem::path& file) : file_(file) {
    fd_ = ::open(file.c_str(), O_RDWR | O_APPEND | O_CLOEXEC);
    if (fd_ < 0) {
        const int error = errno;
        throw ListFileError(error == ENOENT ? ListFileError::Kind::ListMissing
                                            : ListFileError::Kind::WriteFailed,
                            file, SystemText(error));
    }
    const int error = ReadAll(fd_, content_);
    if (error != 0) {
        ::close(fd_);
        fd_ = -1;
        throw ListFileError(ListFileError::Kind::ReadFailed, file, SystemText(error));
    }
}

AppendSession::~AppendSession() {
    if (fd_ >= 0) ::close(fd_);
}

void AppendSession::Append(const std::string& bytes) {
    const off_t originalSize = static_cast<off_t>(content_.size());
    int error = WriteAll(fd_, bytes);
    if (error == 0 && ::fsync(fd_) != 0) error = errno;
    if (error == 0) return; // once synced, a failing close cannot lose the record any more

    // Cut back whatever part of the line reached the file.
    if (::ftruncate(fd_, originalSize) != 0 || ::fsync(fd_) != 0) {
        const int undoError = errno;
        throw ListFileError(ListFileError::Kind::WriteNotUndone, file_, SystemText(error),
                            SystemText(undoError), SystemText(undoError));
    }
    throw ListFileError(ListFileError::Kind::WriteFailed, file_, SystemText(error));
}

void ReplaceFile(const std::filesystem::path& file, const std::string& bytes) {
    static std::atomic<unsigned> counter{0};
    const auto folder = FolderOf(file);
    std::filesystem::path temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = folder / ("." + file.filename().string() + ".new-" + std::to_string(::getpid()) + "-" +
                              std::to_string(counter++));
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) {
        const int error = errno;
        throw ListFileError(ListFileError::Kind::WriteFailed, file, SystemText(error));
    }

    // The replaced list keeps the permissions its owner gave it.
    struct stat existing {};
    if (::stat(file.c_str(), &existing) == 0 && S_ISREG(existing.st_mode))
        ::fchmod(fd, existing.st_mode & 07777);

    int error = WriteAll(fd, bytes);
    if (error == 0 && ::fsync(fd) != 0) error = errno;
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error == 0 && ::rename(temporary.c_str(), file.c_str()) != 0) error = errno;
    if (error != 0) {
        ::unlink(temporary.c_str());
        throw ListFileError(ListFileError::Kind::WriteFailed, file, SystemText(error));
    }
    SyncFolder(folder);
}

} // namespace listfile
