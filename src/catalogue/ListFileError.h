#pragma once
// The one failure type of the motor list operations. It carries what went wrong, the file it
// concerns, the system's own text (strerror) when the system refused something, and the details
// needed to word the message in English or French. what() is the English message. The failures
// of the file itself (not a regular file, too large, no lock) have a numbered message of the
// message table; the others are worded here.

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "ErrorMessages.h"

// No list file above this size is read or made by an append: a bigger one is refused before any
// byte of it is read, so that a wrong file cannot take all the memory.
inline constexpr std::uint64_t ListFileSizeLimit = std::uint64_t{64} << 20;

class ListFileError : public std::runtime_error {
  public:
    enum class Kind {
        ListMissing,        // "Liste Moteur.dat" does not exist
        BackupMissing,      // "Liste Moteur.old" does not exist
        ReadFailed,         // open or read refused by the system
        WriteFailed,        // the list was left as it was
        WriteNotUndone,     // a write failed and undoing it failed too: the list may be damaged
        ListEmpty,          // no line at all, so no number to follow
        BadRecordNumber,    // the last line's first field is not a whole number
        RecordNumberTooBig, // the last number has no successor in range
        RecordNotFound,     // ReadListRecord past the last line
        MalformedRecord,    // ReadListRecord on a line that is not a well-formed record
        TextHasSeparator,   // ";" or a line break inside the maker or size text
        NotRepresentable,   // a character that Windows-1252 cannot hold
        InvalidUtf8,        // text that is not valid UTF-8
        NumberNotWritable,  // a value that the fixed-point format cannot hold
        NotRegularFile,     // a folder, a device, a pipe...: never read or written as a list
        ListTooLarge,       // the list is, or an append would make it, bigger than the limit
        BackupTooLarge,     // the delivered list is bigger than the limit
        LockUnavailable,    // the lock file cannot be opened or locked (file is the lock file)
        LockBusy,           // another program held the lock for the whole wait (detail: the wait)
    };

    // detail: the offending text, field or reason, already worded for both languages where
    // needed (detailEnglish / detailFrench); systemText: strerror() or empty.
    ListFileError(Kind kind, std::filesystem::path file, std::string systemText = {},
                  std::string detailEnglish = {}, std::string detailFrench = {});

    Kind GetKind() const { return kind_; }
    const std::filesystem::path& File() const { return file_; }
    const std::string& SystemText() const { return systemText_; }
    // The offending text, field or reason in that language; empty when the failure has none.
    const std::string& Detail(Language language) const {
        return language == Language::French ? detailFrench_ : detailEnglish_;
    }

    // The message table's number of the failure, 0 for the failures worded here, and what fills
    // its "%1".
    int Number() const;
    ErrorArgument Argument() const;

    // The whole message for the user, UTF-8, without its number.
    std::string Message(Language language) const;
    // The message as a window shows it: "Error 212: ..." / "Erreur 212 : ..." when it has a number.
    std::string MessageWithNumber(Language language) const;

  private:
    Kind kind_;
    std::filesystem::path file_;
    std::string systemText_;
    std::string detailEnglish_;
    std::string detailFrench_;
};
