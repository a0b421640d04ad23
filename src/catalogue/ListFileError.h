#pragma once
// The one failure type of the motor list operations. It carries what went wrong, the file it
// concerns, the system's own text (strerror) when the system refused something, and the details
// needed to word the message in English or French. what() is the English message.

#include <filesystem>
#include <stdexcept>
#include <string>

#include "ErrorMessages.h"

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
    };

    // detail: the offending text, field or reason, already worded for both languages where
    // needed (detailEnglish / detailFrench); systemText: strerror() or empty.
    ListFileError(Kind kind, std::filesystem::path file, std::string systemText = {},
                  std::string detailEnglish = {}, std::string detailFrench = {});

    Kind GetKind() const { return kind_; }
    const std::filesystem::path& File() const { return file_; }
    const std::string& SystemText() const { return systemText_; }

    // The whole message for the user, UTF-8.
    std::string Message(Language language) const;

  private:
    Kind kind_;
    std::filesystem::path file_;
    std::string systemText_;
    std::string detailEnglish_;
    std::string detailFrench_;
};
