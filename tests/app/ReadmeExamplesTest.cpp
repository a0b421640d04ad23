// The command examples of README.md and the folder READMEs, run as a user runs them and held
// against what they show (the convention is written in README.md, "Layout"): a code block whose
// first line starts with `tarvello-sim` or `build-release/src/app/sim/tarvello-sim` is run by bash
// in one folder per README, where `data/` is the repository's, and must succeed; a code block right
// after `<!-- output -->` is what the section's last command block printed (no other code block
// between), after `<!-- output FILE -->` what it wrote into FILE. Lines compare as they stand
// (trailing blanks aside); a line `...` skips any number of lines, a line ending in `...` stands for
// a line that begins with what precedes it.

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <optional>
#include <regex>

#include "SimTestSupport.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines = SplitCells(text, '\n');
    if (lines.back().empty()) lines.pop_back();
    return lines;
}

std::string TrimmedRight(std::string line) {
    line.erase(line.find_last_not_of(" \t\r") + 1);
    return line;
}

bool IsSkip(const std::string& shown) {
    const std::string t = TrimmedRight(shown);
    return t.ends_with("...") && t.find_first_not_of(' ') == t.size() - 3;
}

bool LineMatches(const std::string& shownLine, const std::string& printedLine) {
    const std::string shown = TrimmedRight(shownLine), printed = TrimmedRight(printedLine);
    return shown == printed ||
           (shown.ends_with("...") && printed.starts_with(shown.substr(0, shown.size() - 3)));
}

// Whether printed[j..] are shown[i..], "..." lines skipping any number.
bool Matches(const std::vector<std::string>& shown, const std::vector<std::string>& printed,
             std::size_t i = 0, std::size_t j = 0) {
    if (i == shown.size()) return j == printed.size();
    if (IsSkip(shown[i]))
        return Matches(shown, printed, i + 1, j) || (j < printed.size() && Matches(shown, printed, i, j + 1));
    return j < printed.size() && LineMatches(shown[i], printed[j]) && Matches(shown, printed, i + 1, j + 1);
}

struct Block {
    int line = 0; // the README's line of its first line
    std::vector<std::string> lines;
};

struct Example {
    Block command;
    std::vector<std::pair<std::string, Block>> shown; // the file (empty: standard output), the block
};

struct Readme {
    std::vector<Example> examples;
    std::vector<std::string> errors; // markers out of place
};

bool IsCommand(const Block& block) {
    if (block.lines.empty()) return false;
    const std::string first = block.lines.front() + " ";
    return first.starts_with("tarvello-sim ") || first.starts_with("build-release/src/app/sim/tarvello-sim ");
}

Readme Parse(const std::string& text) {
    const std::vector<std::string> lines = Lines(text);
    const std::regex markerLine(R"(<!-- output\s*(.*?)\s*-->\s*)");
    const auto blank = [](const std::string& line) { return TrimmedRight(line).empty(); };
    const auto where = [](int line) { return "line " + std::to_string(line) + ": "; };
    Readme readme;
    std::optional<std::pair<std::string, int>> marker; // the file it names and its line
    bool afterCommand = false; // a command block earlier in this section, no other code block since
    for (std::size_t i = 0; i < lines.size();) {
        const std::string& line = lines[i];
        Block block{static_cast<int>(i) + 1, {}};
        std::smatch m;
        if (line.starts_with("```")) {
            for (++i; i < lines.size() && !lines[i].starts_with("```"); ++i)
                block.lines.push_back(lines[i]);
            ++i;
        } else if (line.starts_with("    ") && (i == 0 || blank(lines[i - 1]))) {
            for (; i < lines.size() && (lines[i].starts_with("    ") || blank(lines[i])); ++i)
                block.lines.push_back(blank(lines[i]) ? std::string() : lines[i].substr(4));
            while (!block.lines.empty() && block.lines.back().empty())
                block.lines.pop_back();
        } else {
            if (std::regex_match(line, m, markerLine)) {
                if (!afterCommand)
                    readme.errors.push_back(where(block.line) + "a marker after no command block");
                if (marker) readme.errors.push_back(where(block.line) + "two markers in a row");
                marker = {m[1].str(), block.line};
            } else if (!blank(line)) {
                if (marker) readme.errors.push_back(where(marker->second) + "a marker before no code block");
                marker.reset();
                if (line.starts_with("#")) afterCommand = false; // a new section
            }
            ++i;
            continue;
        }
        if (marker && afterCommand) {
            readme.examples.back().shown.emplace_back(marker->first, block);
        } else {
            afterCommand = IsCommand(block);
            if (afterCommand) readme.examples.push_back({block, {}});
        }
        marker.reset();
    }
    if (marker) readme.errors.push_back(where(marker->second) + "a marker before no code block");
    return readme;
}

std::string Joined(const std::vector<std::string>& lines, std::size_t count = std::string::npos) {
    std::string text;
    for (std::size_t i = 0; i < std::min(count, lines.size()); ++i)
        text += lines[i] + "\n";
    return text;
}

std::string Identifier(std::string name, char replacement) {
    std::replace_if(
        name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); },
        replacement);
    return name;
}

// README.md and the READMEs of the folders, relative to the repository.
std::vector<std::string> ReadmeFiles() {
    const fs::path root = TARVELLO_SOURCE_DIR;
    std::vector<std::string> files;
    for (const char* top : {"src", "tests", "tools"})
        for (const fs::directory_entry& folder : fs::directory_iterator(root / top))
            if (fs::is_regular_file(folder.path() / "README.md"))
                files.push_back((fs::path(top) / folder.path().filename() / "README.md").string());
    std::sort(files.begin(), files.end());
    files.insert(files.begin(), "README.md");
    return files;
}

// A folder where the examples run as the README's reader would run them.
class ExampleFolder : public TempFolder {
  public:
    explicit ExampleFolder(const std::string& name) : TempFolder("readme-" + name) {
        for (const fs::path bin : {"bin", "build-release/src/app/sim"}) {
            fs::create_directories(Path() / bin);
            fs::create_symlink(TARVELLO_SIM_EXECUTABLE, Path() / bin / "tarvello-sim");
        }
        fs::create_directory_symlink(fs::path(TARVELLO_SOURCE_DIR) / "data", Path() / "data");
    }

    // Runs the block with bash; its exit status, standard output and standard error.
    SimResult Run(const Block& command) const {
        std::ofstream(Path() / "example.sh", std::ios::binary | std::ios::trunc) << Joined(command.lines);
        const std::string dir = Path().string();
        const std::string line = "cd '" + dir + "' && PATH='" + dir + "/bin':\"$PATH\" LC_ALL=C.UTF-8 " +
                                 "QT_QPA_PLATFORM=offscreen bash -e example.sh >example.out 2>example.err";
        const int status = std::system(line.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadWholeFile(Path() / "example.out"),
                ReadWholeFile(Path() / "example.err")};
    }
};

class ReadmeExamples : public testing::TestWithParam<std::string> {};

} // namespace

TEST(ReadmeExamples, ShownLinesAreComparedAsTheConventionSays) {
    struct Case {
        std::vector<std::string> shown, printed;
        bool matches;
    };
    const Case cases[] = {
        {{"a", "b"}, {"a", "b"}, true},
        {{"a"}, {"a", "b"}, false}, // every printed line is shown or skipped
        {{"b"}, {"a", "b"}, false},
        {{"...", "b"}, {"a", "b"}, true},
        {{"a", "  ...", "d"}, {"a", "d"}, true}, // a skip of no line
        {{"a", "...", "d"}, {"a", "b", "c", "d"}, true},
        {{"a", "...", "d"}, {"a", "b", "c"}, false},
        {{"..."}, {}, true},
        {{"a;b;..."}, {"a;b;c;d"}, true},
        {{"a;x;..."}, {"a;b;c"}, false},
        {{"  x"}, {"x"}, false}, // indentation is part of the line
        {{"x  "}, {"x\r"}, true},
        {{"Run-Up Time : 3.578 s"}, {"Run-Up Time : 1.756 s"}, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Matches(c.shown, c.printed), c.matches) << Joined(c.shown) << "against\n"
                                                          << Joined(c.printed);

    const Readme readme =
        Parse("Text:\n\n    tarvello-sim --a \\\n        --b\n\n<!-- output -->\n\n    x\n\n"
              "    ...\n\nwrites:\n<!-- output run.csv -->\n\n```\ny\n```\n\n    not a command\n\n"
              "<!-- output -->\n\n    z\n\nText.\n\n    tarvello-sim --c\n\n## Other\n\n<!-- output -->\n\n  "
              "  w\n");
    ASSERT_EQ(readme.examples.size(), 2u);
    EXPECT_EQ(readme.examples[0].command.lines, (std::vector<std::string>{"tarvello-sim --a \\", "    --b"}));
    ASSERT_EQ(readme.examples[0].shown.size(), 2u);
    EXPECT_EQ(readme.examples[0].shown[0].first, "");
    EXPECT_EQ(readme.examples[0].shown[0].second.lines, (std::vector<std::string>{"x", "", "..."}));
    EXPECT_EQ(readme.examples[0].shown[1].first, "run.csv");
    EXPECT_EQ(readme.examples[0].shown[1].second.lines, std::vector<std::string>{"y"});
    EXPECT_TRUE(readme.examples[1].shown.empty());
    EXPECT_EQ(readme.errors, (std::vector<std::string>{"line 21: a marker after no command block",
                                                       "line 31: a marker after no command block"}));
}

TEST_P(ReadmeExamples, RunAsShown) {
    const Readme readme = Parse(ReadWholeFile(fs::path(TARVELLO_SOURCE_DIR) / GetParam()));
    for (const std::string& error : readme.errors)
        ADD_FAILURE() << GetParam() << ", " << error;
    if (GetParam() == "README.md") {
        EXPECT_GE(readme.examples.size(), 5u) << "the convention finds no examples";
    }
    const ExampleFolder folder(Identifier(GetParam(), '-'));
    for (const Example& example : readme.examples) {
        const SimResult r = folder.Run(example.command);
        EXPECT_EQ(r.status, 0) << GetParam() << ", line " << example.command.line << ":\n"
                               << Joined(example.command.lines) << r.err;
        for (const auto& [file, block] : example.shown) {
            const std::vector<std::string> printed =
                Lines(file.empty() ? r.out : ReadWholeFile(folder / file));
            EXPECT_TRUE(Matches(block.lines, printed))
                << GetParam() << ", line " << block.line << ": the shown " << (file.empty() ? "output" : file)
                << "\n"
                << Joined(block.lines) << "is not what\n"
                << Joined(example.command.lines) << "gives:\n"
                << Joined(printed, 80);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Readmes, ReadmeExamples, testing::ValuesIn(ReadmeFiles()),
                         [](const testing::TestParamInfo<std::string>& info) {
                             return Identifier(info.param, '_');
                         });
