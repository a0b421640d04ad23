// Study files on disk: a bounded read, and an atomic replacement through a temporary file, by the
// catalogue's file routines; the checks and messages here are the study's own.

#include <cerrno>
#include <string>
#include <system_error>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "FileAccess.h"
#include "ListFileTesting.h"
#include "Study.h"
#include "StudyFileTesting.h"

namespace fs = std::filesystem;

namespace {

std::string Reason(int error) {
    return std::generic_category().message(error);
}

ErrorArgument PathArgument(const fs::path& path) {
    return {"\"" + Excerpt(path.string()) + "\"", "« " + Excerpt(path.string()) + " »"};
}

ErrorArgument PathAndReason(const fs::path& path, int error) {
    ErrorArgument a = PathArgument(path);
    a.english += " (" + Reason(error) + ")";
    a.french += " (" + Reason(error) + ")";
    return a;
}

} // namespace

// The study and the lists write through the same routine, and so through the same hook.
void SetStudyWriterForTesting(StudyWriteFunction writer) {
    SetListWriterForTesting(std::move(writer));
}

StudyRefusal LoadStudyFile(const fs::path& path, Study& out, const StudySettingsCheck& check) {
    std::string text;
    const listfile::ReadOutcome read =
        listfile::ReadRegularFile(path, static_cast<std::uint64_t>(MaxStudyFileSize), text);
    switch (read.status) {
    case listfile::ReadStatus::Ok:
        return ParseStudy(text, out, check);
    case listfile::ReadStatus::NotRegular:
        return {Refusal{ErrStudyNotRegularFile, PathArgument(path)}, 0};
    case listfile::ReadStatus::TooLarge:
        return {Refusal{ErrStudyTooLarge, PathArgument(path)}, 0};
    case listfile::ReadStatus::Failed:
        break;
    }
    return {Refusal{ErrStudyCannotRead, PathAndReason(path, read.error)}, 0};
}

Refusal SaveStudyFile(const fs::path& path, const Study& study) {
    if (Refusal r = CheckStudyWritable(study)) return r;
    const std::string text = StudyText(study);

    if (path.empty()) return {ErrStudyCannotSave, PathAndReason(path, ENOENT)};
    // Through symbolic links onto the file they finally name: the links stay links.
    fs::path target;
    if (const int error = listfile::ResolveTarget(path, target); error != 0)
        return {ErrStudyCannotSave, PathAndReason(path, error)};
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
    if (const int error = listfile::ReplaceAtomically(target, text); error != 0)
        return {ErrStudyCannotSave, PathAndReason(path, error)};
    return 0;
}
