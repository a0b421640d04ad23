#pragma once
// Whole-file reads, appends that undo themselves on failure, and replacement through a temporary
// file and a rename. POSIX calls, so that every step's failure is seen with its errno.

#include <filesystem>
#include <string>

#include "ListFileError.h"

namespace listfile {

// The whole content. A missing file throws missingKind, any other failure ReadFailed.
std::string ReadWholeFile(const std::filesystem::path& file, ListFileError::Kind missingKind);

// Appends bytes to an existing file (ListMissing when there is none). makeBytes receives the
// file's current content and returns what to append, or throws; it runs with the file open, so
// the content it sees is the content appended to. On a failed write or sync the file is cut back
// to its former size and WriteFailed thrown (WriteNotUndone if even that fails).
template <typename MakeBytes> void AppendToFile(const std::filesystem::path& file, MakeBytes makeBytes);

// Writes bytes into a new temporary file in file's folder, syncs it and renames it over file. An
// existing file keeps its permission bits. On failure the temporary file is removed, file is
// untouched, and WriteFailed is thrown.
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
    int fd_ = -1;
    std::string content_;
};

template <typename MakeBytes> void AppendToFile(const std::filesystem::path& file, MakeBytes makeBytes) {
    AppendSession session(file);
    session.Append(makeBytes(session.Content()));
}

} // namespace listfile
