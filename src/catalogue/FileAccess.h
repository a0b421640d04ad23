#pragma once
// The list files on disk: bounded reads of regular files, appends that undo themselves on failure,
// replacement through a temporary file and a rename, and the lock that keeps two programs from
// changing one list at the same time. POSIX calls, so that every step's failure is seen with its
// errno.
//
// Every change of the list (an append, a restore) holds an exclusive flock(2) on "<name>.lock" in
// the folder of the list's real file (symbolic links followed) for its whole read-number-append or
// its whole replacement, so that no record another program writes is lost or numbered twice. The
// lock file is created when missing and never deleted: a lock on the list itself would not
// survive the restore's rename. Readers of the list take the lock shared when the lock file
// exists, so that they never see an append half done; a reader that cannot have it (no lock
// file, no right to open it, a writer that does not finish) reads all the same. A change whose
// lock cannot be had is refused, and the list stays as it was.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "ListFileError.h"

namespace listfile {

// Which list a path is, for the messages: "Liste Moteur.dat" or the delivered "Liste Moteur.old".
enum class Role { List, Backup };

// The file a path finally names: symbolic links followed (at most 40), the path otherwise as given.
std::filesystem::path ResolvedTarget(const std::filesystem::path& file);

// As ResolvedTarget, with target set to where the walk stopped: 0, or the errno that stopped it
// (ELOOP after 40 links, or what reading a link or its status reported). A missing file is no
// error, since it may be about to be made.
int ResolveTarget(const std::filesystem::path& file, std::filesystem::path& target);

// The study files are read and replaced by the routines below as well; they report errno values,
// and each kind of file gives its own messages.
enum class ReadStatus { Ok, NotRegular, TooLarge, Failed };
struct ReadOutcome {
    ReadStatus status = ReadStatus::Ok;
    int error = 0; // Failed: the errno of the open, fstat or read
};

// The whole content of the regular file at path (opened as given, so links are followed) into out,
// at most limit bytes: what is not a regular file, or is larger, is refused before any byte is read,
// and so is a file that grows beyond the limit while it is read. beforeReading runs once the file is
// open and checked, before its first byte is read.
ReadOutcome ReadRegularFile(const std::filesystem::path& path, std::uint64_t limit, std::string& out,
                            const std::function<void()>& beforeReading = {});

// Makes target (no link: see ResolveTarget) hold bytes, without lock: a new temporary file in its
// folder, named after it (a long name cut, to leave room for the suffix), written, synced and
// renamed onto it, then the folder synced. An existing target's permission bits and, where the
// system allows, its owner carry over. 0, or the errno of the failure; then the temporary file is
// removed and target is untouched. (PendingFile::OpenReplacement, Write, Finish and Commit.)
int ReplaceAtomically(const std::filesystem::path& target, const std::string& bytes);

// A file written in parts and put in place whole: every file the programs write goes through here.
// Each step returns 0 or the errno of its failure.
//
// A replacement writes into a new temporary file in the folder of its target, as ReplaceAtomically
// describes; Commit renames it onto the target. Until then the target is untouched, and a file
// given up (Discard, or destroyed before Commit) leaves no temporary file behind. The name of every
// temporary file that exists is kept in a fixed table that RemovePendingTemporaries empties, so
// that a program ended by a signal leaves none either.
class PendingFile {
  public:
    PendingFile() = default;
    ~PendingFile();
    PendingFile(PendingFile&& other) noexcept;
    PendingFile& operator=(PendingFile&& other) noexcept;
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    // An output file: symbolic links are followed to the file they finally name. A character
    // device, pipe or socket, and the file that is the standard output itself, are written
    // directly (the standard output's file after what it holds); a folder is refused (EISDIR),
    // and so is an existing file the user may not write, although the rename would only need the
    // folder: the protection is the user's. Any other file is replaced.
    int Open(const std::filesystem::path& file);
    // A replacement of target (no link), with none of Open's checks.
    int OpenReplacement(const std::filesystem::path& target);
    int Write(std::string_view bytes);
    // Every byte on disk (synced) and the file closed; a direct file only closed.
    int Finish();
    // Renames the finished temporary file onto the target and syncs the folder; nothing for a
    // direct file.
    int Commit();
    // Gives the file up: the temporary file is removed, the target stays as it was.
    void Discard();

    bool Direct() const { return direct_; }
    // The temporary file while there is one (empty otherwise).
    const std::filesystem::path& Temporary() const { return temporary_; }

  private:
    void Release();

    std::filesystem::path target_, temporary_;
    int fd_ = -1;
    int slot_ = -1; // the temporary's entry in the table of pending names
    bool direct_ = false;
};

// Writes bytes as an output file (PendingFile::Open, Write, Finish and Commit); 0 or the errno.
int WriteOutputFile(const std::filesystem::path& file, std::string_view bytes);

// Removes every temporary file that a PendingFile of this program holds. Async-signal-safe: for a
// signal handler.
void RemovePendingTemporaries();
// From now on SIGHUP, SIGINT, SIGPIPE and SIGTERM (those not ignored when the program started)
// remove the pending temporary files, then end the program by the same signal, so that its exit
// status is the signal's.
void RemoveTemporariesOnSignals();

// Where a path leads: an existing file's device and inode, or, for a file still to be made, the
// device and inode of the folder its final target (links followed) lies in, and its name there.
// Two paths that give equal identities name the same file.
struct FileIdentity {
    unsigned long long device = 0, inode = 0;
    std::string name; // empty for an existing file
    bool operator==(const FileIdentity&) const = default;
};
// False for what cannot be a file to read or replace: a path that leads nowhere (its folder
// missing), a folder, or anything else that is not a regular file (a device, a pipe).
bool IdentifyFile(const std::filesystem::path& file, FileIdentity& identity);
// Whether both paths name the same regular file, or the same file still to be made.
bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b);

// "<name>.lock" beside target.
std::filesystem::path LockFilePath(const std::filesystem::path& target);

// The whole content of a regular file of at most ListFileSizeLimit bytes, refused before any byte
// is read otherwise (NotRegularFile, ListTooLarge / BackupTooLarge). A missing file throws
// ListMissing / BackupMissing, any other failure ReadFailed. The list is read under the shared lock.
std::string ReadWholeFile(const std::filesystem::path& file, Role role);

// A held flock on a list's lock file; released when destroyed.
class ListLock {
  public:
    ListLock() = default;
    ~ListLock();
    ListLock(ListLock&& other) noexcept;
    ListLock& operator=(ListLock&& other) noexcept;
    ListLock(const ListLock&) = delete;
    ListLock& operator=(const ListLock&) = delete;

    // For a change of the list whose real file is target (shownFile: the path the user gave).
    // Throws LockUnavailable when the lock file cannot be opened or locked, LockBusy when another
    // program holds the lock for the whole wait, WriteFailed when the list's folder is missing.
    static ListLock Exclusive(const std::filesystem::path& target, const std::filesystem::path& shownFile);
    // For a read: holds nothing when the lock file is missing or cannot be locked in time.
    static ListLock Shared(const std::filesystem::path& target);

    bool Held() const { return fd_ >= 0; }

  private:
    explicit ListLock(int fd) : fd_(fd) {}
    int fd_ = -1;
};

// Appends bytes to an existing list (ListMissing when there is none). makeBytes receives the
// list's current content and returns what to append, or throws; it runs under the exclusive lock
// with the file open, so the content it sees is the content appended to. On a failed write or sync
// the file is cut back to its former size and WriteFailed thrown (WriteNotUndone if even that
// fails); no other program can have appended meanwhile. An append that would take the list beyond
// ListFileSizeLimit is refused with ListTooLarge.
template <typename MakeBytes> void AppendToFile(const std::filesystem::path& file, MakeBytes makeBytes);

// Makes the list's real file (links followed, so a list that is a link stays one) hold bytes,
// under the exclusive lock, through a temporary file in its folder renamed onto it. A list that is
// not a regular file is refused (NotRegularFile), and so is one the user may not write
// (WriteFailed with what opening it for writing reports, as for an append). A missing list is
// created; an existing one keeps its permission bits and, where allowed, its owner.
void ReplaceList(const std::filesystem::path& file, const std::string& bytes);

// Writes bytes into a new temporary file in file's folder, syncs it and renames it over file,
// without lock (the catalogue generator's output). An existing file keeps its permission bits. On
// failure the temporary file is removed, file is untouched, and WriteFailed is thrown.
void ReplaceFile(const std::filesystem::path& file, const std::string& bytes);

// Non-template core of AppendToFile.
class AppendSession {
  public:
    explicit AppendSession(const std::filesystem::path& file);
    ~AppendSession();
    AppendSession(const AppendSession&) = delete;
    AppendSession& operator=(const AppendSession&) = delete;

    const std::string& Content() const { return content_; }
    void Append(const std::string& bytes);

  private:
    std::filesystem::path file_;
    ListLock lock_;
    int fd_ = -1;
    std::string content_;
};

template <typename MakeBytes> void AppendToFile(const std::filesystem::path& file, MakeBytes makeBytes) {
    AppendSession session(file);
    session.Append(makeBytes(session.Content()));
}

} // namespace listfile
