#include "FileAccess.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "ListFileTesting.h"

namespace {

using Kind = ListFileError::Kind;
using Milliseconds = std::chrono::milliseconds;

// How long a change waits for another program's change to finish. Appends and restores hold the
// lock for milliseconds; a lock held this long belongs to a program that is stuck.
constexpr Milliseconds DefaultLockWait{10000};
// A reader gives up sooner and reads all the same.
constexpr Milliseconds LongestReaderWait{2000};

ListWriteFunction& Writer() {
    static ListWriteFunction writer;
    return writer;
}

std::atomic<long long>& LockWaitSetting() {
    static std::atomic<long long> milliseconds{DefaultLockWait.count()};
    return milliseconds;
}

Milliseconds LockWait() {
    return Milliseconds{LockWaitSetting().load()};
}

long WriteSome(int fd, const char* data, std::size_t size) {
    if (Writer()) return Writer()(fd, data, size);
    return static_cast<long>(::write(fd, data, size));
}

std::string SystemText(int error) {
    return std::strerror(error);
}

// 0 on success, else the errno of the failure.
int WriteAll(int fd, std::string_view bytes) {
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

// Appends the rest of the file to out, but never more than limit bytes in all: 0 on success, EFBIG
// when the file holds more (it may have grown since it was measured), else errno.
int ReadAll(int fd, std::uint64_t limit, std::string& out) {
    char buffer[65536];
    for (;;) {
        // One byte past the limit is enough to know the file is too large.
        const std::uint64_t room = limit + 1 - out.size();
        const ssize_t n =
            ::read(fd, buffer, static_cast<std::size_t>(std::min<std::uint64_t>(sizeof buffer, room)));
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) return 0;
        out.append(buffer, static_cast<std::size_t>(n));
        if (out.size() > limit) return EFBIG;
    }
}

Kind TooLargeKind(listfile::Role role) {
    return role == listfile::Role::Backup ? Kind::BackupTooLarge : Kind::ListTooLarge;
}

// Refuses what is no list to read or write, before any byte of it is read.
void CheckListFile(const struct stat& status, const std::filesystem::path& shownFile, listfile::Role role) {
    if (!S_ISREG(status.st_mode)) throw ListFileError(Kind::NotRegularFile, shownFile);
    if (static_cast<std::uint64_t>(status.st_size) > ListFileSizeLimit)
        throw ListFileError(TooLargeKind(role), shownFile);
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

// Takes the flock within wait: 0, EWOULDBLOCK when the wait ran out, else the errno of the
// failure. flock(2) has no timed wait, so it is tried again at short, growing intervals; the
// short ones keep a waiter from being passed over by a program that appends again at once.
int LockWithin(int fd, int operation, Milliseconds wait) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + wait;
    std::chrono::microseconds pause{100};
    constexpr std::chrono::microseconds longestPause{2000};
    for (;;) {
        if (::flock(fd, operation | LOCK_NB) == 0) return 0;
        const int error = errno;
        if (error != EWOULDBLOCK && error != EINTR) return error;
        const auto now = Clock::now();
        if (now >= deadline) return EWOULDBLOCK;
        std::this_thread::sleep_for(std::min<Clock::duration>(pause, deadline - now));
        pause = std::min(pause * 2, longestPause);
    }
}

// "10 s", "0.2 s" / "0,2 s".
ErrorArgument WaitText(Milliseconds wait) {
    char text[32];
    std::snprintf(text, sizeof text, "%g\u00A0s", static_cast<double>(wait.count()) / 1000.0);
    std::string french = text;
    std::replace(french.begin(), french.end(), '.', ',');
    return {text, french};
}

// The names of the temporary files that exist, for a signal handler to remove: a fixed table, since
// a handler may not allocate. A slot is taken (Filling), its name copied, then armed; the handler
// reads only armed slots.
enum : int { SlotFree = 0, SlotFilling = 1, SlotArmed = 2 };
struct PendingSlot {
    std::atomic<int> state{SlotFree};
    char name[PATH_MAX];
};
static_assert(std::atomic<int>::is_always_lock_free, "read from a signal handler");
PendingSlot PendingTable[32];

// The slot now holding name, or -1 when none is free or the name does not fit (the file is then
// written all the same, only not removed on a signal).
int ArmPending(const std::filesystem::path& name) {
    std::error_code error;
    const std::string absolute = std::filesystem::absolute(name, error).string();
    if (error || absolute.size() >= PATH_MAX) return -1;
    for (int i = 0; i < static_cast<int>(std::size(PendingTable)); ++i) {
        int expected = SlotFree;
        if (!PendingTable[i].state.compare_exchange_strong(expected, SlotFilling)) continue;
        std::memcpy(PendingTable[i].name, absolute.c_str(), absolute.size() + 1);
        PendingTable[i].state.store(SlotArmed, std::memory_order_release);
        return i;
    }
    return -1;
}

void DisarmPending(int slot) {
    if (slot >= 0) PendingTable[slot].state.store(SlotFree, std::memory_order_release);
}

constexpr int HandledSignals[] = {SIGHUP, SIGINT, SIGPIPE, SIGTERM};

void RemoveTemporariesAndEnd(int signal) {
    listfile::RemovePendingTemporaries();
    // Ended by the signal itself, as if it had not been caught.
    ::signal(signal, SIG_DFL);
    ::raise(signal);
}

// listfile::ReplaceAtomically, its failure thrown as WriteFailed naming shownFile.
void WriteAndRename(const std::filesystem::path& target, const std::string& bytes,
                    const std::filesystem::path& shownFile) {
    if (const int error = listfile::ReplaceAtomically(target, bytes); error != 0)
        throw ListFileError(Kind::WriteFailed, shownFile, SystemText(error));
}

} // namespace

void SetListWriterForTesting(ListWriteFunction writer) {
    Writer() = std::move(writer);
}

void SetListLockWaitForTesting(std::chrono::milliseconds wait) {
    LockWaitSetting() = (wait.count() > 0 ? wait : DefaultLockWait).count();
}

namespace listfile {

int ResolveTarget(const std::filesystem::path& file, std::filesystem::path& target) {
    target = file;
    for (int hop = 0; hop < 40; ++hop) {
        struct stat status {};
        if (::lstat(target.c_str(), &status) != 0) return errno == ENOENT ? 0 : errno;
        if (!S_ISLNK(status.st_mode)) return 0;
        std::error_code error;
        const std::filesystem::path link = std::filesystem::read_symlink(target, error);
        if (error) return error.value();
        target = link.is_absolute() ? link : FolderOf(target) / link;
    }
    return ELOOP;
}

std::filesystem::path ResolvedTarget(const std::filesystem::path& file) {
    std::filesystem::path target;
    ResolveTarget(file, target); // where the walk stopped is the file to name in any refusal
    return target;
}

ReadOutcome ReadRegularFile(const std::filesystem::path& path, std::uint64_t limit, std::string& out,
                            const std::function<void()>& beforeReading) {
    // Without O_NONBLOCK, opening a FIFO would wait for a writer that may never come.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return {ReadStatus::Failed, errno};
    ReadOutcome outcome;
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        outcome = {ReadStatus::Failed, errno};
    } else if (!S_ISREG(status.st_mode)) {
        outcome.status = ReadStatus::NotRegular;
    } else if (static_cast<std::uint64_t>(status.st_size) > limit) {
        outcome.status = ReadStatus::TooLarge;
    } else {
        if (beforeReading) beforeReading();
        out.clear();
        out.reserve(static_cast<std::size_t>(status.st_size));
        const int error = ReadAll(fd, limit, out);
        if (error == EFBIG)
            outcome.status = ReadStatus::TooLarge;
        else if (error != 0)
            outcome = {ReadStatus::Failed, error};
    }
    ::close(fd);
    return outcome;
}

namespace {
// The rest of a whole write once file is opened (openError: the opening's outcome): 0 or the errno
// of the first step that failed.
int WriteWhole(PendingFile& file, int openError, std::string_view bytes) {
    int error = openError;
    if (error == 0) error = file.Write(bytes);
    if (error == 0) error = file.Finish();
    if (error == 0) error = file.Commit();
    return error;
}
} // namespace

int ReplaceAtomically(const std::filesystem::path& target, const std::string& bytes) {
    PendingFile file;
    return WriteWhole(file, file.OpenReplacement(target), bytes);
}

PendingFile::~PendingFile() {
    Discard();
}

PendingFile::PendingFile(PendingFile&& other) noexcept
    : target_(std::move(other.target_)), temporary_(std::move(other.temporary_)), fd_(other.fd_),
      slot_(other.slot_), direct_(other.direct_) {
    other.temporary_.clear();
    other.fd_ = -1;
    other.slot_ = -1;
}

PendingFile& PendingFile::operator=(PendingFile&& other) noexcept {
    if (this != &other) {
        Discard();
        target_ = std::move(other.target_);
        temporary_ = std::move(other.temporary_);
        fd_ = other.fd_;
        slot_ = other.slot_;
        direct_ = other.direct_;
        other.temporary_.clear();
        other.fd_ = -1;
        other.slot_ = -1;
    }
    return *this;
}

int PendingFile::Open(const std::filesystem::path& file) {
    Discard();
    struct stat status {};
    const bool exists = ::stat(file.c_str(), &status) == 0;
    if (!exists && errno != ENOENT) return errno;
    if (exists) {
        if (S_ISDIR(status.st_mode)) return EISDIR;
        struct stat standardOutput {};
        const bool isStandardOutput =
            S_ISREG(status.st_mode) && ::fstat(STDOUT_FILENO, &standardOutput) == 0 &&
            standardOutput.st_dev == status.st_dev && standardOutput.st_ino == status.st_ino;
        if (!S_ISREG(status.st_mode) || isStandardOutput) {
            // Written where it is: a device or pipe cannot be replaced (/dev/stdout leads to one
            // through a link that names no file), and the standard output's file is what the user
            // redirected it to.
            fd_ = ::open(file.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC | O_NOCTTY);
            if (fd_ < 0) return errno;
            target_ = file;
            direct_ = true;
            return 0;
        }
        const int check = ::open(file.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
        if (check < 0) return errno;
        ::close(check);
    }
    std::filesystem::path target;
    if (const int error = ResolveTarget(file, target); error != 0) return error;
    return OpenReplacement(target);
}

int PendingFile::OpenReplacement(const std::filesystem::path& target) {
    static std::atomic<unsigned> counter{0};
    Discard();
    const auto folder = FolderOf(target);
    // Named after the target, cut so that the longest name still leaves room for the suffix.
    std::string base = target.filename().string();
    if (base.size() > 100) base.resize(100);
    int error = 0;
    for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
        temporary_ =
            folder / ("." + base + ".new-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        // In the table before it exists, out of it once it is gone: a signal in between removes a
        // name that is not there, never leaves a file that is.
        slot_ = ArmPending(temporary_);
        // Permissions as for any new file (0666 less the umask).
        fd_ = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
        if (fd_ < 0) {
            error = errno;
            DisarmPending(slot_);
            slot_ = -1;
            if (error != EEXIST) break;
        }
    }
    if (fd_ < 0) {
        temporary_.clear();
        return error;
    }
    target_ = target;
    direct_ = false;

    // The replaced file keeps what its owner gave it. Only root may give a file away, and then
    // the file of a user stays that user's; elsewhere the attempt fails harmlessly.
    struct stat existing {};
    if (::stat(target.c_str(), &existing) == 0 && S_ISREG(existing.st_mode)) {
        if ((existing.st_uid != ::geteuid() || existing.st_gid != ::getegid()) &&
            ::fchown(fd_, existing.st_uid, existing.st_gid) != 0) {
            // Not allowed: the new file is the user's own, as any file the user writes.
        }
        ::fchmod(fd_, existing.st_mode & 07777);
    }
    return 0;
}

int PendingFile::Write(std::string_view bytes) {
    if (fd_ < 0) return EBADF;
    return WriteAll(fd_, bytes);
}

int PendingFile::Finish() {
    if (fd_ < 0) return EBADF;
    int error = 0;
    if (!direct_ && ::fsync(fd_) != 0) error = errno;
    if (::close(fd_) != 0 && error == 0) error = errno;
    fd_ = -1;
    return error;
}

int PendingFile::Commit() {
    if (direct_ || temporary_.empty()) return fd_ >= 0 ? EBADF : 0;
    if (fd_ >= 0) return EBADF; // not finished
    if (::rename(temporary_.c_str(), target_.c_str()) != 0) return errno;
    Release();
    SyncFolder(FolderOf(target_));
    return 0;
}

void PendingFile::Discard() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
    Release();
}

void PendingFile::Release() {
    DisarmPending(slot_);
    slot_ = -1;
    temporary_.clear();
}

int WriteOutputFile(const std::filesystem::path& file, std::string_view bytes) {
    PendingFile output;
    return WriteWhole(output, output.Open(file), bytes);
}

void RemovePendingTemporaries() {
    for (PendingSlot& slot : PendingTable)
        if (slot.state.load(std::memory_order_acquire) == SlotArmed) ::unlink(slot.name);
}

void RemoveTemporariesOnSignals() {
    for (const int signal : HandledSignals) {
        struct sigaction action {};
        struct sigaction previous {};
        action.sa_handler = RemoveTemporariesAndEnd;
        sigemptyset(&action.sa_mask);
        // A signal ignored when the program started stays ignored, as the one who started it wished.
        if (::sigaction(signal, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN) continue;
        ::sigaction(signal, &action, nullptr);
    }
}

bool IdentifyFile(const std::filesystem::path& file, FileIdentity& identity) {
    struct stat status {};
    if (::stat(file.c_str(), &status) == 0) {
        if (!S_ISREG(status.st_mode)) return false;
        identity = {static_cast<unsigned long long>(status.st_dev),
                    static_cast<unsigned long long>(status.st_ino),
                    {}};
        return true;
    }
    // A file still to be made: where its final target would lie.
    std::filesystem::path target;
    if (ResolveTarget(file, target) != 0 || ::stat(FolderOf(target).c_str(), &status) != 0 ||
        !S_ISDIR(status.st_mode))
        return false;
    identity = {static_cast<unsigned long long>(status.st_dev),
                static_cast<unsigned long long>(status.st_ino), target.filename().string()};
    return !identity.name.empty();
}

bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
    FileIdentity first, second;
    return IdentifyFile(a, first) && IdentifyFile(b, second) && first == second;
}

std::filesystem::path LockFilePath(const std::filesystem::path& target) {
    return FolderOf(target) / (target.filename().string() + ".lock");
}

std::string ReadWholeFile(const std::filesystem::path& file, Role role) {
    const std::filesystem::path target = ResolvedTarget(file);
    ListLock lock;
    std::string content;
    const ReadOutcome outcome = ReadRegularFile(target, ListFileSizeLimit, content, [&] {
        if (role == Role::List) lock = ListLock::Shared(target);
    });
    switch (outcome.status) {
    case ReadStatus::Ok:
        return content;
    case ReadStatus::NotRegular:
        throw ListFileError(Kind::NotRegularFile, file);
    case ReadStatus::TooLarge:
        throw ListFileError(TooLargeKind(role), file);
    case ReadStatus::Failed:
        break;
    }
    const Kind missing = role == Role::Backup ? Kind::BackupMissing : Kind::ListMissing;
    throw ListFileError(outcome.error == ENOENT ? missing : Kind::ReadFailed, file,
                        SystemText(outcome.error));
}

ListLock::~ListLock() {
    if (fd_ >= 0) ::close(fd_); // closing the last descriptor releases the flock
}

ListLock::ListLock(ListLock&& other) noexcept : fd_(other.fd_) {
    other.fd_ = -1;
}

ListLock& ListLock::operator=(ListLock&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

ListLock ListLock::Exclusive(const std::filesystem::path& target, const std::filesystem::path& shownFile) {
    const std::filesystem::path lockFile = LockFilePath(target);
    // A link in place of the lock file could make every list change create or lock a file elsewhere.
    constexpr int flags = O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
    int fd = ::open(lockFile.c_str(), O_RDWR | O_CREAT | flags, 0666);
    int error = errno;
    if (fd < 0 && (error == EACCES || error == EROFS || error == EPERM)) {
        // A folder the user may not write: a lock file made there by its owner does as well,
        // since flock needs no write access.
        fd = ::open(lockFile.c_str(), O_RDONLY | flags);
        if (fd < 0 && errno != ENOENT) error = errno;
    }
    if (fd < 0) {
        // No folder at all: the list cannot be written there either, and that is what to say.
        if (error == ENOENT || error == ENOTDIR)
            throw ListFileError(Kind::WriteFailed, shownFile, SystemText(error));
        throw ListFileError(Kind::LockUnavailable, lockFile, SystemText(error));
    }
    const Milliseconds wait = LockWait();
    error = LockWithin(fd, LOCK_EX, wait);
    if (error == 0) return ListLock(fd);
    ::close(fd);
    if (error == EWOULDBLOCK) {
        const ErrorArgument waited = WaitText(wait);
        throw ListFileError(Kind::LockBusy, shownFile, {}, waited.english, waited.french);
    }
    throw ListFileError(Kind::LockUnavailable, lockFile, SystemText(error));
}

ListLock ListLock::Shared(const std::filesystem::path& target) {
    const int fd = ::open(LockFilePath(target).c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return {};
    if (LockWithin(fd, LOCK_SH, std::min(LockWait(), LongestReaderWait)) != 0) {
        ::close(fd);
        return {};
    }
    return ListLock(fd);
}

AppendSession::AppendSession(const std::filesystem::path& file) : file_(file) {
    const std::filesystem::path target = ResolvedTarget(file);
    // Checked before the lock, so that a missing list or a device never leaves a lock file behind.
    struct stat status {};
    if (::stat(target.c_str(), &status) != 0) {
        const int error = errno;
        throw ListFileError(error == ENOENT ? Kind::ListMissing : Kind::WriteFailed, file, SystemText(error));
    }
    CheckListFile(status, file, Role::List);
    lock_ = ListLock::Exclusive(target, file);

    fd_ = ::open(target.c_str(), O_RDWR | O_APPEND | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0) {
        const int error = errno;
        throw ListFileError(error == ENOENT ? Kind::ListMissing : Kind::WriteFailed, file, SystemText(error));
    }
    // The destructor does not run when the constructor throws.
    try {
        if (::fstat(fd_, &status) != 0) throw ListFileError(Kind::ReadFailed, file, SystemText(errno));
        CheckListFile(status, file, Role::List); // it may have been replaced meanwhile
        content_.reserve(static_cast<std::size_t>(status.st_size));
        const int error = ReadAll(fd_, ListFileSizeLimit, content_);
        if (error == EFBIG) throw ListFileError(Kind::ListTooLarge, file);
        if (error != 0) throw ListFileError(Kind::ReadFailed, file, SystemText(error));
    } catch (...) {
        ::close(fd_);
        fd_ = -1;
        throw;
    }
}

AppendSession::~AppendSession() {
    if (fd_ >= 0) ::close(fd_);
}

void AppendSession::Append(const std::string& bytes) {
    // A list the readers would refuse is never made.
    if (bytes.size() > ListFileSizeLimit - content_.size()) throw ListFileError(Kind::ListTooLarge, file_);

    const off_t originalSize = static_cast<off_t>(content_.size());
    int error = WriteAll(fd_, bytes);
    if (error == 0 && ::fsync(fd_) != 0) error = errno;
    if (error == 0) return; // once synced, a failing close cannot lose the record any more

    // Cut back whatever part of the line reached the file. Under the lock nobody else can have
    // appended since the file was read, so this removes this append's bytes only.
    if (::ftruncate(fd_, originalSize) != 0 || ::fsync(fd_) != 0) {
        const int undoError = errno;
        throw ListFileError(Kind::WriteNotUndone, file_, SystemText(error), SystemText(undoError),
                            SystemText(undoError));
    }
    throw ListFileError(Kind::WriteFailed, file_, SystemText(error));
}

void ReplaceList(const std::filesystem::path& file, const std::string& bytes) {
    const std::filesystem::path target = ResolvedTarget(file);
    struct stat status {};
    if (::stat(target.c_str(), &status) == 0) {
        if (!S_ISREG(status.st_mode)) throw ListFileError(Kind::NotRegularFile, file);
    } else if (errno != ENOENT) {
        throw ListFileError(Kind::WriteFailed, file, SystemText(errno));
    }
    const ListLock lock = ListLock::Exclusive(target, file);

    // A list the user may not write is refused as the append refuses it, although the rename
    // would only need the folder: the protection is the user's, not the system's.
    const int fd = ::open(target.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0 && errno != ENOENT) throw ListFileError(Kind::WriteFailed, file, SystemText(errno));
    if (fd >= 0) {
        const bool regular = ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
        ::close(fd);
        if (!regular) throw ListFileError(Kind::NotRegularFile, file);
    }
    WriteAndRename(target, bytes, file);
}

void ReplaceFile(const std::filesystem::path& file, const std::string& bytes) {
    WriteAndRename(file, bytes, file);
}

} // namespace listfile
