#include "ListFileError.h"

#include <utility>

#include "Windows1252.h"

namespace {

using Kind = ListFileError::Kind;

// A file name as the user can read it, whatever bytes it holds.
std::string Shown(const std::filesystem::path& file) {
    return Excerpt(VisibleText(file.string()));
}

std::string Quoted(const std::filesystem::path& file) {
    return "\"" + Shown(file) + "\"";
}

int NumberOf(Kind kind) {
    switch (kind) {
    case Kind::NotRegularFile:
        return ErrListNotRegularFile;
    case Kind::ListTooLarge:
        return ErrListTooLarge;
    case Kind::BackupTooLarge:
        return ErrBackupTooLarge;
    case Kind::LockUnavailable:
        return ErrListLockUnavailable;
    case Kind::LockBusy:
        return ErrListBusy;
    default:
        return 0;
    }
}

ErrorArgument ArgumentOf(Kind kind, const std::filesystem::path& file, const std::string& system,
                         const std::string& detailEnglish, const std::string& detailFrench) {
    switch (kind) {
    case Kind::NotRegularFile:
        return {Shown(file), Shown(file)};
    case Kind::ListTooLarge:
    case Kind::BackupTooLarge: {
        const std::string mebibytes = std::to_string(ListFileSizeLimit >> 20);
        return {mebibytes + "\u00A0MiB", mebibytes + "\u00A0Mio"};
    }
    case Kind::LockUnavailable:
        return {Quoted(file) + ": " + system, "« " + Shown(file) + " » : " + system};
    case Kind::LockBusy:
        return {detailEnglish, detailFrench.empty() ? detailEnglish : detailFrench};
    default:
        return {};
    }
}

std::string English(Kind kind, const std::string& file, const std::string& system,
                    const std::string& detail) {
    switch (kind) {
    case Kind::ListMissing:
        return "The motor list " + file + " was not found.";
    case Kind::BackupMissing:
        return "The delivered motor list " + file + " was not found; the motor list was not changed.";
    case Kind::ReadFailed:
        return file + " could not be read: " + system + (detail.empty() ? "." : "; " + detail + ".");
    case Kind::WriteFailed:
        return file + " could not be written: " + system + ". The file was left as it was.";
    case Kind::WriteNotUndone:
        return file + " could not be written: " + system +
               ", and the unfinished change could not be undone (" + detail +
               "). The file may end with an incomplete line.";
    case Kind::ListEmpty:
        return "The motor list " + file +
               " is empty: without even a title line there is no number for a new record. Nothing was "
               "written.";
    case Kind::BadRecordNumber:
        return "The last line of the motor list " + file + " does not begin with a whole record number (" +
               detail + "). Nothing was written.";
    case Kind::RecordNumberTooBig:
        return "The last record number of the motor list " + file + " (" + detail +
               ") is too large to be followed. Nothing was written.";
    case Kind::RecordNotFound:
        return "The motor list " + file + " has no record " + detail + ".";
    case Kind::MalformedRecord:
        return "The motor list " + file + " has no usable record there: " + detail + ".";
    case Kind::TextHasSeparator:
        return "Constructor and Motor Size must not contain \";\" or a line break (" + detail +
               "). Nothing was written.";
    case Kind::NotRepresentable:
        return "The character " + detail +
               " cannot be stored in the motor list, which holds Western European (Windows-1252) "
               "characters only. Nothing was written.";
    case Kind::InvalidUtf8:
        return "A text for the motor list is not valid UTF-8 (" + detail + "). Nothing was written.";
    case Kind::NumberNotWritable:
        return "The value " + detail +
               " cannot be written in the motor list's number format. Nothing was written.";
    default: // numbered: the message table words them
        break;
    }
    return file;
}

std::string French(Kind kind, const std::string& file, const std::string& system, const std::string& detail) {
    switch (kind) {
    case Kind::ListMissing:
        return "La liste de moteurs " + file + " est introuvable.";
    case Kind::BackupMissing:
        return "La liste de moteurs d'origine " + file +
               " est introuvable ; la liste de moteurs n'a pas été modifiée.";
    case Kind::ReadFailed:
        return "Impossible de lire " + file + " : " + system + (detail.empty() ? "." : " ; " + detail + ".");
    case Kind::WriteFailed:
        return "Impossible d'écrire " + file + " : " + system + ". Le fichier est resté tel qu'il était.";
    case Kind::WriteNotUndone:
        return "Impossible d'écrire " + file + " : " + system +
               ", et la modification inachevée n'a pas pu être annulée (" + detail +
               "). Le fichier peut se terminer par une ligne incomplète.";
    case Kind::ListEmpty:
        return "La liste de moteurs " + file +
               " est vide : sans ligne de titre, il n'y a pas de numéro pour un nouvel enregistrement. Rien "
               "n'a "
               "été écrit.";
    case Kind::BadRecordNumber:
        return "La dernière ligne de la liste de moteurs " + file +
               " ne commence pas par un numéro entier (" + detail + "). Rien n'a été écrit.";
    case Kind::RecordNumberTooBig:
        return "Le dernier numéro de la liste de moteurs " + file + " (" + detail +
               ") est trop grand pour être suivi. Rien n'a été écrit.";
    case Kind::RecordNotFound:
        return "La liste de moteurs " + file + " n'a pas d'enregistrement " + detail + ".";
    case Kind::MalformedRecord:
        return "La liste de moteurs " + file +
               " n'a pas d'enregistrement utilisable à cet endroit : " + detail + ".";
    case Kind::TextHasSeparator:
        return "Le fabricant et la dimension du moteur ne doivent contenir ni \";\" ni saut de ligne (" +
               detail + "). Rien n'a été écrit.";
    case Kind::NotRepresentable:
        return "Le caractère " + detail +
               " ne peut pas être enregistré dans la liste de moteurs, qui ne contient que des caractères "
               "d'Europe occidentale (Windows-1252). Rien n'a été écrit.";
    case Kind::InvalidUtf8:
        return "Un texte destiné à la liste de moteurs n'est pas en UTF-8 valide (" + detail +
               "). Rien n'a été écrit.";
    case Kind::NumberNotWritable:
        return "La valeur " + detail +
               " ne peut pas être écrite dans le format numérique de la liste de moteurs. Rien n'a été "
               "écrit.";
    default: // numbered: the message table words them
        break;
    }
    return file;
}

std::string EnglishMessage(Kind kind, const std::filesystem::path& file, const std::string& system,
                           const std::string& detailEnglish, const std::string& detailFrench) {
    if (const int number = NumberOf(kind))
        return ErrorText(number, Language::English,
                         ArgumentOf(kind, file, system, detailEnglish, detailFrench));
    return English(kind, Quoted(file), system, detailEnglish);
}

} // namespace

ListFileError::ListFileError(Kind kind, std::filesystem::path file, std::string systemText,
                             std::string detailEnglish, std::string detailFrench)
    : std::runtime_error(EnglishMessage(kind, file, systemText, detailEnglish, detailFrench)), kind_(kind),
      file_(std::move(file)), systemText_(std::move(systemText)), detailEnglish_(std::move(detailEnglish)),
      detailFrench_(std::move(detailFrench)) {
    if (detailFrench_.empty()) detailFrench_ = detailEnglish_;
}

int ListFileError::Number() const {
    return NumberOf(kind_);
}

ErrorArgument ListFileError::Argument() const {
    return ArgumentOf(kind_, file_, systemText_, detailEnglish_, detailFrench_);
}

std::string ListFileError::Message(Language language) const {
    if (const int number = Number()) return ErrorText(number, language, Argument());
    if (language == Language::French) return French(kind_, Quoted(file_), systemText_, detailFrench_);
    return English(kind_, Quoted(file_), systemText_, detailEnglish_);
}

std::string ListFileError::MessageWithNumber(Language language) const {
    const int number = Number();
    if (number == 0) return Message(language);
    const std::string prefix = language == Language::French ? "Erreur " + std::to_string(number) + " : "
                                                            : "Error " + std::to_string(number) + ": ";
    return prefix + Message(language);
}
