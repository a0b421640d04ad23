#include "SimOutputs.h"

#include <cerrno>
#include <system_error>
#include <utility>

namespace {

std::string Name(Opt id) {
    return OptionOf(id).name;
}

// The option and its path as a message names them: --curves "c.csv" / --curves « c.csv ».
ErrorArgument OptionAndPath(Opt id, const std::string& path) {
    return {Name(id) + " \"" + Excerpt(path) + "\"", Name(id) + " « " + Excerpt(path) + " »"};
}

} // namespace

Refusal CheckDistinctFiles(const SimOptions& options) {
    // Inputs first, then the outputs in the order they are put in place.
    const Opt files[] = {Opt::Study,    Opt::Catalogue, Opt::FitDatasheets, Opt::Curves,
                         Opt::DynamicCurves, Opt::CompareCsv, Opt::Png, Opt::TccCsv,
                         Opt::TccPng, Opt::SweepCsv, Opt::SweepPng, Opt::SaveStudy, Opt::FitOut};
    struct Named {
        Opt option;
        const std::string* path;
        listfile::FileIdentity identity;
    };
    std::vector<Named> named;
    for (Opt id : files) {
        const std::string* path = options.Text(id);
        listfile::FileIdentity identity;
        if (!path || *path == "-" || !listfile::IdentifyFile(*path, identity)) continue;
        for (const Named& earlier : named) {
            // The study is read whole before anything is written: saving it over itself is safe.
            if (earlier.identity != identity || (earlier.option == Opt::Study && id == Opt::SaveStudy))
                continue;
            const ErrorArgument later = OptionAndPath(id, *path),
                                first = OptionAndPath(earlier.option, *earlier.path);
            return {ErrSameFile,
                    {later.english + " and " + first.english, later.french + " et " + first.french}};
        }
        named.push_back({id, path, std::move(identity)});
    }
    return 0;
}

CommandOutput::CommandOutput(std::optional<Opt> option, std::string path, std::ostream& standardOutput)
    : option_(option), path_(std::move(path)), standardOutput_(&standardOutput), standard_(path_ == "-") {}

Refusal CommandOutput::Failure(int number, const ErrorArgument& reason) const {
    ErrorArgument a;
    if (standard_) {
        a = {"the standard output", "la sortie standard"};
        if (option_) {
            const std::string shown = *option_ == Opt::Json ? Name(*option_) : Name(*option_) + " -";
            a.english += " (" + shown + ")";
            a.french += " (" + shown + ")";
        }
    } else {
        a = OptionAndPath(*option_, path_);
    }
    if (!reason.empty()) {
        a.english += " (" + reason.english + ")";
        a.french += " (" + reason.french + ")";
    }
    return {number, std::move(a)};
}

Refusal CommandOutput::Failure(int number, int error) const {
    if (error == 0) return Failure(number, ErrorArgument{});
    const std::string reason = std::generic_category().message(error);
    return Failure(number, ErrorArgument{reason, reason});
}

Refusal CommandOutput::Open() {
    if (standard_) return 0;
    if (const int error = file_.Open(path_); error != 0) return Failure(ErrCannotWrite, error);
    return 0;
}

Refusal CommandOutput::Write(std::string_view bytes) {
    if (standard_) {
        standardOutput_->write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return *standardOutput_ ? Refusal() : Failure(ErrCannotWrite, 0);
    }
    if (const int error = file_.Write(bytes); error != 0) return Failure(ErrCannotWrite, error);
    return 0;
}

Refusal CommandOutput::Finish() {
    if (standard_) return standardOutput_->flush() ? Refusal() : Failure(ErrCannotWrite, 0);
    if (const int error = file_.Finish(); error != 0) return Failure(ErrCannotWrite, error);
    return 0;
}

Refusal CommandOutput::Commit(bool first) {
    if (!Replacement()) return 0;
    if (const int error = file_.Commit(); error != 0)
        return Failure(first ? ErrCannotWrite : ErrOutputsPartlyReplaced, error);
    return 0;
}

Refusal WriteOutputs(const std::vector<OutputText>& outputs, std::ostream& standardOutput) {
    std::vector<CommandOutput> files;
    files.reserve(outputs.size());
    for (const OutputText& o : outputs)
        files.emplace_back(o.option, o.path, standardOutput);
    for (CommandOutput& f : files)
        if (Refusal r = f.Open()) return r;
    // The replacements first: until every one is complete nothing has been written anywhere. What
    // is written directly cannot be taken back, so it comes once they are.
    for (bool replacements : {true, false})
        for (std::size_t i = 0; i < files.size(); ++i) {
            if (files[i].Replacement() != replacements) continue;
            if (Refusal r = files[i].Write(outputs[i].text)) return r;
            if (Refusal r = files[i].Finish()) return r;
        }
    bool first = true;
    for (CommandOutput& f : files) {
        if (Refusal r = f.Commit(first)) return r;
        first = first && !f.Replacement();
    }
    return 0;
}
