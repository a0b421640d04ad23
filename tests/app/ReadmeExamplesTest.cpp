// The command examples of README.md and the folder READMEs, run as a user runs them and held
// against what they show (the convention is written in README.md, "Layout"):
// - a code block (indented or fenced) whose first line starts with `tarvello-sim` or
//   `build-release/src/app/sim/tarvello-sim` is run by bash, every block of a README in turn in one
//   temporary folder where `data/` is the repository's and both names run the built program; it
//   must succeed;
// - a code block right after the line `<!-- output -->` is what the last command block before it
//   prints on standard output (in the same section, no other code block between), after
//   `<!-- output FILE -->` what it wrote into FILE;
// - shown lines are compared with the printed ones as they stand (trailing blanks aside): a line
//   `...` skips any number of lines, a line ending in `...` stands for a line that begins with
//   what precedes it.

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <optional>

#include "SimTestSupport.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

std::string TrimmedRight(std::string line) {
    line.erase(line.find_last_not_of(" \t\r") + 1);
    return line;
}

bool Blank(const std::string& line) {
    return TrimmedRight(line).empty();
}

bool IsSkip(const std::string& shown) {
    const std::size_t first = shown.find_first_not_of(' ');
    return first != std::string::npos && TrimmedRight(shown.substr(first)) == "...";
}

bool LineMatches(const std::string& shownLine, const std::string& printedLine) {
    const std::string shown = TrimmedRight(shownLine), printed = TrimmedRight(printedLine);
    if (shown.size() >= 3 && shown.compare(shown.size() - 3, 3, "...") == 0) {
        const std::string start = shown.substr(0, shown.size() - 3);
        if (printed.rfind(start, 0) == 0) return true;
    }
    return shown == printed;
}

// Whether the printed lines are the shown ones, "..." lines skipping any number.
bool Matches(const std::vector<std::string>& shown, const std::vector<std::string>& printed) {
    const std::size_t m = shown.size(), n = printed.size();
    // rest[j]: shown[i..] matches printed[j..], for the current i, from the last shown line back.
    std::vector<char> rest(n + 1, 0);
    rest[n] = 1;
    for (std::size_t i = m; i-- > 0;) {
        std::vector<char> here(n + 1, 0);
        for (std::size_t j = n + 1; j-- > 0;) {
            if (IsSkip(shown[i]))
                here[j] = rest[j] || (j < n && here[j + 1]);
            else
                here[j] = j < n && LineMatches(shown[i], printed[j]) && rest[j + 1];
        }
        rest = std::move(here);
    }
    return rest[0] != 0;
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
    const std::string& first = block.lines.front();
    for (const char* name : {"tarvello-sim", "build-release/src/app/sim/tarvello-sim"}) {
        const std::string n = name;
        if (first.rfind(n, 0) == 0 && (first.size() == n.size() || first[n.size()] == ' ')) return true;
    }
    return false;
}

// "<!-- output -->" gives "", "<!-- output FILE -->" gives FILE; nullopt for any other line.
std::optional<std::string> Marker(const std::string& line) {
    const std::string t = TrimmedRight(line);
    const std::string open = "<!-- output", close = "-->";
    if (t.rfind(open, 0) != 0 || t.size() < open.size() + close.size() ||
        t.compare(t.size() - close.size(), close.size(), close) != 0)
        return std::nullopt;
    std::string file = t.substr(open.size(), t.size() - open.size() - close.size());
    file.erase(0, file.find_first_not_of(' '));
    return TrimmedRight(file);
}

Readme Parse(const std::string& text) {
    const std::vector<std::string> lines = Lines(text);
    Readme readme;
    std::optional<std::pair<std::string, int>> marker; // the file it names and its line
    bool afterCommand = false; // a command block earlier in this section, no other code block since
    const auto where = [](int line) { return "line " + std::to_string(line) + ": "; };
    for (std::size_t i = 0; i < lines.size();) {
        const std::string& line = lines[i];
        Block block;
        block.line = static_cast<int>(i) + 1;
        if (line.rfind("```", 0) == 0) {
            for (++i; i < lines.size() && lines[i].rfind("```", 0) != 0; ++i)
                block.lines.push_back(lines[i]);
            ++i;
        } else if (line.rfind("    ", 0) == 0 && (i == 0 || Blank(lines[i - 1]))) {
            for (; i < lines.size() && (lines[i].rfind("    ", 0) == 0 || Blank(lines[i])); ++i)
                block.lines.push_back(Blank(lines[i]) ? std::string() : lines[i].substr(4));
            while (!block.lines.empty() && block.lines.back().empty())
                block.lines.pop_back();
        } else {
            if (const std::optional<std::string> file = Marker(line)) {
                if (!afterCommand)
                    readme.errors.push_back(where(block.line) + "a marker after no command block");
                if (marker) readme.errors.push_back(where(block.line) + "two markers in a row");
                marker = {*file, block.line};
            } else if (!Blank(line)) {
                if (marker) readme.errors.push_back(where(marker->second) + "a marker before no code block");
                marker.reset();
                if (line.rfind('#', 0) == 0) afterCommand = false; // a new section
            }
            ++i;
            continue;
        }
        if (marker && afterCommand) {
            readme.examples.back().shown.emplace_back(marker->first, block);
        } else if (IsCommand(block)) {
            readme.examples.push_back({block, {}});
            afterCommand = true;
        } else {
            afterCommand = false;
        }
        marker.reset();
    }
    if (marker) readme.errors.push_back(where(marker->second) + "a marker before no code block");
    return readme;
}

std::string Joined(const std::vector<std::string>& lines, std::size_t longest = std::string::npos) {
    std::string text;
    for (const std::string& line : lines)
        text += (line.size() > longest ? line.substr(0, longest) + " [cut]" : line) + "\n";
    return text;
}

// README.md and the READMEs of the folders, relative to the repository.
std::vector<std::string> ReadmeFiles() {
    const fs::path root = TARVELLO_SOURCE_DIR;
    std::vector<std::string> files = {"README.md"};
    for (const char* top : {"src", "tests", "tools"}) {
        std::vector<std::string> inside;
        for (const fs::directory_entry& folder : fs::directory_iterator(root / top))
            if (fs::is_regular_file(folder.path() / "README.md"))
                inside.push_back((fs::path(top) / folder.path().filename() / "README.md").string());
        std::sort(inside.begin(), inside.end());
        files.insert(files.end(), inside.begin(), inside.end());
    }
    return files;
}

// A folder where the examples run as the README's reader would run them.
class ExampleFolder : public TempFolder {
  public:
    explicit ExampleFolder(const std::string& name) : TempFolder("readme-" + name) {
        const fs::path program = TARVELLO_SIM_EXECUTABLE;
        fs::create_directories(Path() / "bin");
        fs::create_symlink(program, Path() / "bin" / "tarvello-sim");
        fs::create_directories(Path() / "build-release/src/app/sim");
        fs::create_symlink(program, Path() / "build-release/src/app/sim/tarvello-sim");
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
        EXPECT_GE(readme.examples.size(), 5u) << "the convention no longer finds the examples";
    }
    std::string name = GetParam();
    std::replace_if(
        name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '-');
    const ExampleFolder folder(name);
    for (const Example& example : readme.examples) {
        const std::string where = GetParam() + ", line " + std::to_string(example.command.line);
        const SimResult r = folder.Run(example.command);
        EXPECT_EQ(r.status, 0) << where << ":\n" << Joined(example.command.lines) << r.err;
        for (const auto& [file, block] : example.shown) {
            const std::string printed = file.empty() ? r.out : ReadWholeFile(folder / file);
            const std::vector<std::string> lines = Lines(printed);
            if (Matches(block.lines, lines)) continue;
            // The first shown line printed nowhere, which is most often the one that drifted.
            std::string unprinted;
            for (std::size_t i = 0; i < block.lines.size() && unprinted.empty(); ++i)
                if (!IsSkip(block.lines[i]) &&
                    std::none_of(lines.begin(), lines.end(),
                                 [&](const std::string& l) { return LineMatches(block.lines[i], l); }))
                    unprinted = "line " + std::to_string(block.line + static_cast<int>(i)) + " \"" +
                                block.lines[i] + "\" is printed nowhere; ";
            ADD_FAILURE() << GetParam() << ", line " << block.line << ": " << unprinted << "the shown "
                          << (file.empty() ? std::string("output") : file) << "\n"
                          << Joined(block.lines, 160) << "is not what\n"
                          << Joined(example.command.lines) << "gives:\n"
                          << Joined(std::vector<std::string>(lines.begin(),
                                                             lines.begin() +
                                                                 std::min<std::size_t>(lines.size(), 80)),
                                    160);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Readmes, ReadmeExamples, testing::ValuesIn(ReadmeFiles()),
                         [](const testing::TestParamInfo<std::string>& info) {
                             std::string name = info.param;
                             std::replace_if(
                                 name.begin(), name.end(),
                                 [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
                             return name;
                         });
