#pragma once
// The files of one tarvello-sim command: none may be another (inputs and outputs), and a command
// that fails changes none. Every output goes through listfile::PendingFile: a file is written into
// a temporary file beside it and put in place only once every output is complete; the standard
// output ("-") and devices are written directly (plain C++, no Qt).

#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "ErrorMessages.h"
#include "FileAccess.h"
#include "SimOptions.h"

// Refuses (221) two of the command's files, inputs and outputs, that name the same file; a study
// may be saved over the study read. "-" and devices are no files here.
Refusal CheckDistinctFiles(const SimOptions& options);

// One output of a command: the option that asks for it (none for the panels) and its path, "-"
// for the standard output. Each step returns 0 or the numbered refusal that names the option.
class CommandOutput {
  public:
    CommandOutput(std::optional<Opt> option, std::string path, std::ostream& standardOutput);

    // Creates the temporary file of a replacement, or opens a device; nothing for "-".
    Refusal Open();
    Refusal Write(std::string_view bytes);
    // Every byte written: synced and closed, or flushed to the standard output.
    Refusal Finish();
    // Puts a replacement in place (nothing for the others); first: no other output has been put
    // in place before it (else the refusal says that those were).
    Refusal Commit(bool first);

    // A file replaced through a temporary file (not the standard output or a device).
    bool Replacement() const { return !standard_ && !file_.Direct(); }
    // The refusal of this output with the reason given (an errno, or a text in both languages).
    Refusal Failure(int number, int error) const;
    Refusal Failure(int number, const ErrorArgument& reason) const;

  private:
    std::optional<Opt> option_;
    std::string path_;
    std::ostream* standardOutput_;
    bool standard_;
    listfile::PendingFile file_;
};

// An output and its whole content.
struct OutputText {
    std::optional<Opt> option;
    std::string path;
    std::string text;
};

// Writes the outputs: every replacement into its temporary file first, then the standard output
// and the devices, then every replacement put in place, in the order given. 0, or the refusal of
// the first output that failed; then no file has been changed (unless putting one in place failed
// after others were, 227).
Refusal WriteOutputs(const std::vector<OutputText>& outputs, std::ostream& standardOutput);
