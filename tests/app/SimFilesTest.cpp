// tarvello-sim's files: every output written whole or not at all, none over another file of the
// command, a failed or interrupted command leaving every file as it was; and the numbered refusals
// of the texts a user types (mistyped numbers, long texts cut).

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <set>
#include <sys/resource.h>
#include <thread>

#include "ErrorMessages.h"
#include "SimOptions.h"
#include "SimTestSupport.h"

namespace fs = std::filesystem;

namespace {

std::set<std::string> Names(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(folder))
        names.insert(e.path().filename().string());
    return names;
}

std::vector<std::string> With(std::vector<std::string> args, const std::vector<std::string>& extra) {
    args.insert(args.end(), extra.begin(), extra.end());
    return args;
}

// Standard error from its first refusal on: Qt's platform layer may note things before it.
std::string Refusals(const std::string& err) {
    const std::size_t at = err.find("error ");
    return at == std::string::npos ? err : err.substr(at);
}

const char* LangOption(Language lang) {
    return lang == Language::French ? "fr" : "en";
}

} // namespace

TEST(SimFiles, AFullDiskLeavesTheOldFileOfEveryOutputAndNoTemporary) {
    // Every output option after the options it needs; every output is larger than 512 bytes.
    const std::vector<std::string> dynamic = FourKilowatt({"--dynamic", "--motor-inertia", "0.01"});
    const std::vector<std::string> sweep = FourKilowatt({"--load", "squared", "--sweep", "t2=0:0.01:40"});
    std::vector<std::pair<std::string, std::vector<std::string>>> kinds = {
        {"--curves", FourKilowatt()},
        {"--dynamic-curves", dynamic},
        {"--compare-csv", With(dynamic, {"--compare"})},
        {"--save-study", FourKilowatt()},
        {"--sweep-csv", sweep}};
#ifdef TARVELLO_CHART_IMAGES
    kinds.push_back({"--png", FourKilowatt()});
    kinds.push_back({"--sweep-png", With(sweep, {"--sweep-csv", "/dev/null"})});
#endif
    // Files larger than 512 bytes cannot be written, as on a full disk (EFBIG, not a signal).
    const auto fullDisk = [] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit l{512, 512};
        ::setrlimit(RLIMIT_FSIZE, &l);
    };
    for (const auto& [option, before] : kinds) {
        TempFolder folder("full-disk");
        const std::string file = (folder / "out").string();
        std::ofstream(file, std::ios::binary) << "old bytes";
        SimResult r = SimProcess(With(before, {option, file}), fullDisk);
        EXPECT_EQ(r.status, 1) << option;
        EXPECT_EQ(Refusals(r.err), "error 222: Cannot write " + option + " \"" + file +
                                       "\" (File too large): no file was changed!\n");
        EXPECT_EQ(ReadWholeFile(file), "old bytes") << option;
        EXPECT_EQ(Names(folder.Path()), std::set<std::string>{"out"}) << option;

        r = SimProcess(With(before, {option, file}));
        EXPECT_EQ(r.status, 0) << option << r.err;
        EXPECT_GT(fs::file_size(file), 512u) << option;
        EXPECT_EQ(Names(folder.Path()), std::set<std::string>{"out"}) << option;

        // A device is written where it is, and its failure is an error too.
        if (!fs::exists("/dev/full")) continue;
        r = SimProcess(With(before, {option, "/dev/full"}));
        EXPECT_EQ(r.status, 1) << option;
        EXPECT_EQ(Refusals(r.err), "error 222: Cannot write " + option +
                                       " \"/dev/full\" (No space left on device): no file was changed!\n");
    }
}

TEST(SimFiles, ACommandThatFailsChangesNoFile) {
    TempFolder folder("fails");
    const std::string study = (folder / "s.tarvello").string(), curves = (folder / "c.csv").string();
    std::ofstream(study, std::ios::binary) << "old study";
    std::ofstream(curves, std::ios::binary) << "old curves";
    const std::function<void()> closeStandardOutput = [] { ::close(1); };
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {FourKilowatt({"--curves", "/missing-folder/c.csv", "--save-study", study}),
         "error 222: Cannot write --curves \"/missing-folder/c.csv\" (No such file or directory): no file "
         "was changed!\n"},
        // The rest with standard output closed.
        {FourKilowatt({"--curves", curves, "--save-study", study, "--json"}),
         "error 222: Cannot write the standard output (--json): no file was changed!\n"},
        {FourKilowatt({"--save-study", study, "--curves", "-", "--lang", "fr"}),
         "error 222: Impossible d'écrire la sortie standard (--curves -)\u00A0: aucun fichier n'a été "
         "modifié\u00A0!\n"},
        {FourKilowatt(), "error 222: Cannot write the standard output: no file was changed!\n"},
    };
    for (const auto& [args, err] : cases) {
        const SimResult r = SimProcess(args, err == cases[0].second ? nullptr : closeStandardOutput);
        EXPECT_EQ(r.status, 1) << err;
        EXPECT_EQ(Refusals(r.err), err);
        EXPECT_EQ(ReadWholeFile(study), "old study") << err;
        EXPECT_EQ(ReadWholeFile(curves), "old curves") << err;
        EXPECT_EQ(Names(folder.Path()), (std::set<std::string>{"c.csv", "s.tarvello"})) << err;
    }
}

TEST(SimFiles, AnInterruptedSweepLeavesTheOldFilesAndNoTemporary) {
    for (const int signal : {SIGTERM, SIGINT}) {
        TempFolder folder("interrupted");
        const std::string csv = (folder / "s.csv").string(), png = (folder / "p.png").string();
        std::ofstream(csv, std::ios::binary) << "old table";
        std::ofstream(png, std::ios::binary) << "old image";
        std::vector<std::string> args = FourKilowatt(
            {"--load", "squared", "--sweep", "t2=0:0.01:1000000", "--threads", "1", "--sweep-csv", csv});
#ifdef TARVELLO_CHART_IMAGES
        args.insert(args.end(), {"--sweep-png", png});
#endif
        std::vector<char*> argv = {const_cast<char*>(TARVELLO_SIM_EXECUTABLE)};
        for (std::string& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        const pid_t pid = ::fork();
        if (pid == 0) {
            const int null = ::open("/dev/null", O_WRONLY);
            ::dup2(null, 1);
            ::dup2(null, 2);
            std::signal(SIGINT, SIG_DFL); // as from a terminal, whatever the tests were started from
            std::signal(SIGTERM, SIG_DFL);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        ASSERT_GT(pid, 0);
        // Killed once the table's temporary file holds its first rows.
        bool started = false;
        for (int wait = 0; wait < 3000 && !started; ++wait) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            for (const std::string& name : Names(folder.Path())) {
                std::error_code ec;
                started =
                    started || (name.starts_with(".s.csv.new-") && fs::file_size(folder / name, ec) > 1000);
            }
        }
        EXPECT_TRUE(started) << "no temporary file with rows was seen";
        ::kill(pid, started ? signal : SIGKILL);
        int status = 0;
        ::waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << "status " << status;
        EXPECT_EQ(ReadWholeFile(csv), "old table");
        EXPECT_EQ(ReadWholeFile(png), "old image");
        EXPECT_EQ(Names(folder.Path()), (std::set<std::string>{"p.png", "s.csv"}));
    }
}

TEST(SimFiles, NoTwoFilesOfACommandAreTheSameFile) {
    TempFolder folder("same-file");
    const fs::path real = folder / "real";
    fs::create_directory(real);
    fs::create_directory_symlink("real", folder / "linked");
    const std::string study = (real / "s.tarvello").string(), list = (real / "list.dat").string();
    ASSERT_EQ(Sim(FourKilowatt({"--save-study", study})).status, 0);
    std::ofstream(list, std::ios::binary)
        << "0;title;\r\n13;Maker B;112 M;4000;400;50;8,5;0,82;1440;4,5;1,27;1,27;0,58;0,58;51;1158;Star;\r\n";
    fs::create_symlink("real/s.tarvello", folder / "s-link.tarvello");
    fs::create_symlink("real/list.dat", folder / "list-link.dat");
    const std::string studyBytes = ReadWholeFile(study), listBytes = ReadWholeFile(list);

    // Every pair of files a command can name, in the order the command judges them (inputs, then
    // outputs): a by one path, b by another spelling of it, through a link to the file or (for a
    // file still to be made) through a linked folder.
    const Opt files[] = {Opt::Study, Opt::Catalogue, Opt::Curves,   Opt::DynamicCurves, Opt::CompareCsv,
                         Opt::Png,   Opt::SweepCsv,  Opt::SweepPng, Opt::SaveStudy};
    const auto isSweep = [](Opt id) { return id == Opt::SweepCsv || id == Opt::SweepPng; };
    const auto isDynamic = [](Opt id) { return id == Opt::DynamicCurves || id == Opt::CompareCsv; };
    int checked = 0;
    for (const Opt* a = files; a != std::end(files); ++a)
        for (const Opt* b = a + 1; b != std::end(files); ++b) {
            const bool sweep = isSweep(*a) || isSweep(*b);
            // A study is no motor list (its own refusal comes first); a sweep has no single outputs.
            if ((*a == Opt::Study && *b == Opt::Catalogue) ||
                (sweep &&
                 (*b == Opt::SaveStudy || !(isSweep(*a) || *a == Opt::Study || *a == Opt::Catalogue))))
                continue;
            std::string pathA = (real / "new.out").string(), pathB = (folder / "linked" / "new.out").string();
            std::vector<std::string> args;
            if (*a == Opt::Study) {
                pathA = study, pathB = (folder / "s-link.tarvello").string();
                args = {"--study", pathA};
            } else if (*a == Opt::Catalogue) {
                pathA = list, pathB = (folder / "list-link.dat").string();
                args = {"--catalogue", pathA, "--record", "1"};
            } else {
                args = FourKilowatt({std::string(OptionOf(*a).name), pathA});
            }
            args.insert(args.end(), {std::string(OptionOf(*b).name), pathB});
            if (sweep) args.insert(args.end(), {"--load", "squared", "--sweep", "t2=0:0.01:3"});
            if (isDynamic(*a) || isDynamic(*b))
                args.insert(args.end(), {"--dynamic", "--motor-inertia", "0.01", "--compare"});
            const SimResult r = Sim(args);
            ++checked;
            if (*a == Opt::Study && *b == Opt::SaveStudy) {
                EXPECT_EQ(r.status, 0) << r.err; // read whole before it is written
                continue;
            }
            EXPECT_EQ(r.status, 1) << OptionOf(*a).name << " " << OptionOf(*b).name;
            EXPECT_EQ(r.err, "error 221: " + std::string(OptionOf(*b).name) + " \"" + pathB + "\" and " +
                                 OptionOf(*a).name + " \"" + pathA +
                                 "\" name the same file: nothing was computed or written!\n");
            EXPECT_TRUE(r.out.empty());
            EXPECT_EQ(ReadWholeFile(study), studyBytes);
            EXPECT_EQ(ReadWholeFile(list), listBytes);
            EXPECT_FALSE(fs::exists(real / "new.out"));
        }
    EXPECT_EQ(checked, 25);
    // The same path twice, in French.
    EXPECT_EQ(
        Sim(FourKilowatt({"--curves", "x.csv", "--dynamic-curves", "x.csv", "--dynamic", "--lang", "fr"}))
            .err,
        "error 221: --dynamic-curves «\u00A0x.csv\u00A0» et --curves «\u00A0x.csv\u00A0» désignent le même "
        "fichier\u00A0: rien n'a été calculé ni écrit\u00A0!\n");
    // Devices are no files: two outputs may both go to /dev/null.
    EXPECT_EQ(Sim(FourKilowatt({"--curves", "/dev/null", "--save-study", "/dev/null"})).status, 0);
}

TEST(SimFiles, TheStudyGoesToStandardOutputForADash) {
    TempFolder folder("study-dash");
    const std::string file = (folder / "s.tarvello").string();
    ASSERT_EQ(Sim(FourKilowatt({"--save-study", file})).status, 0);
    const SimResult dash = Sim(FourKilowatt({"--save-study", "-"}));
    EXPECT_EQ(dash.status, 0) << dash.err;
    EXPECT_EQ(dash.out, ReadWholeFile(file));
    EXPECT_FALSE(fs::exists("-"));
    // A character device (or the pipe the standard output is) is written where it is.
    const SimResult device = SimProcess(FourKilowatt({"--save-study", "/dev/stdout"}));
    EXPECT_EQ(device.status, 0) << device.err;
    EXPECT_EQ(device.out, dash.out);
    const SimResult both = Sim(FourKilowatt({"--json", "--save-study", "-"}));
    EXPECT_EQ(both.status, 2);
    EXPECT_TRUE(
        both.err.starts_with("tarvello-sim: --json and --save-study - both write to standard output\n"));
}

TEST(SimFiles, AMistypedNumberIsRefusedNamingItsOptionAndQuotingTheText) {
    // Every number option, read where every option is used; the last text given is read.
    const std::vector<std::string> everything =
        FourKilowatt({"--load", "squared", "--t0", "1", "--t1", "0.1", "--t2", "0.01", "--dynamic",
                      "--motor-inertia", "0.01", "--compare", "--starter-current", "9", "--starter-rating",
                      "3.5-17:90-5", "--starts-per-hour", "6"});
    struct Case {
        Opt option;
        std::string text, shown;
    };
    // The whole text, however it is mistyped; a long one cut to 60 characters.
    std::vector<Case> cases = {{Opt::Power, "1.2.3", "1.2.3"},
                               {Opt::Power, "4,000.5", "4,000.5"},
                               {Opt::LoadInertia, "0,1.5", "0,1.5"},
                               {Opt::Power, std::string(59, 'x') + "éé", std::string(59, 'x') + "é…"}};
    for (std::size_t i = 0; i < OptCount; ++i)
        if (OptionOf(static_cast<Opt>(i)).kind == OptKind::Number)
            cases.push_back({static_cast<Opt>(i), "abc", "abc"});
    ASSERT_GT(cases.size(), 35u);
    for (const Case& c : cases)
        for (const Language lang : {Language::English, Language::French}) {
            const std::string name = OptionOf(c.option).name;
            const int number = OptionOf(c.option).notANumber != 0 ? OptionOf(c.option).notANumber : 220;
            const SimResult r = Sim(With(everything, {name, c.text, "--lang", LangOption(lang)}));
            EXPECT_EQ(r.status, 1) << name;
            EXPECT_EQ(r.err, "error " + std::to_string(number) + ": " +
                                 ErrorText(number, lang,
                                           {"The value \"" + c.shown + "\" of " + name,
                                            "La valeur «\u00A0" + c.shown + "\u00A0» de " + name}) +
                                 "\n");
            EXPECT_TRUE(r.out.empty());
        }
    EXPECT_EQ(Sim(FourKilowatt({"--speed", "1.2.3", "--lang", "fr"})).err,
              "error 220: La valeur «\u00A01.2.3\u00A0» de --speed n'est pas un nombre\u00A0!\n");
    // Other texts a message repeats are cut alike: a starter rating of 5 MB, a sweep.
    const std::string huge(5 << 20, '9');
    EXPECT_TRUE(Sim(With(everything, {"--starter-rating", huge}))
                    .err.starts_with("error 142: The starter rating \"" + std::string(60, '9') +
                                     "…\" is not of the form"));
    EXPECT_TRUE(Sim(FourKilowatt({"--sweep", "t2=0:1:" + huge}))
                    .err.starts_with("error 165: The sweep \"t2=0:1:" + std::string(53, '9') + "…\" is not"));
}

TEST(SimFiles, ASweepWhoseSpanOverflowsStillRunsBetweenItsEnds) {
    // From FROM to TO in order, TO itself last, each value one an option takes (no error 168).
    for (const auto& [from, to, count] :
         {std::tuple{1.7e308, -1.7e308, 6}, {0.0, 1.7e308, 1000}, {-1.5e308, 1.5e308, 1}}) {
        const std::string sweep = "t2=" + CsvText(from) + ":" + CsvText(to) + ":" + std::to_string(count);
        const SimResult r = Sim(FourKilowatt({"--load", "squared", "--sweep", sweep}));
        ASSERT_EQ(r.status, 0) << r.err;
        const std::vector<std::string> lines = CrLfLines(r.out);
        ASSERT_EQ(lines.size(), count + 1u) << sweep;
        double last = from;
        for (std::size_t k = 1; k < lines.size(); ++k) {
            const std::vector<std::string> cells = SplitCells(lines[k]);
            const double value = std::stod(cells[0]);
            EXPECT_NE(cells[1], "168") << sweep << " row " << k;
            EXPECT_TRUE(k == 1 ? value == from : (from < to ? last < value : last > value))
                << sweep << " " << k;
            last = value;
        }
        EXPECT_EQ(last, count > 1 ? to : from) << sweep;
    }
}

#ifdef TARVELLO_CHART_IMAGES
TEST(SimFiles, ASweepChartWithNothingToDrawIsRefusedAndNoImageWritten) {
    TempFolder folder("empty-chart");
    const std::string csv = (folder / "s.csv").string(), png = (folder / "p.png").string();
    std::ofstream(png, std::ios::binary) << "old image";
    for (const Language lang : {Language::English, Language::French}) {
        // Every case's load is too big for the motor.
        const SimResult r = Sim(FourKilowatt({"--load", "constant", "--sweep", "t0=500:600:3", "--sweep-csv",
                                              csv, "--sweep-png", png, "--lang", LangOption(lang)}));
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err,
                  lang == Language::English
                      ? "error 225: The chart of --sweep-png has nothing to draw: no case of the sweep "
                        "gives a value of SoftStarterTime; no image was written!\n"
                      : "error 225: " +
                            ErrorText(ErrSweepChartEmpty, lang, {"SoftStarterTime", "SoftStarterTime"}) +
                            "\n");
        EXPECT_EQ(ReadWholeFile(png), "old image");
        // The table of refused cases is written all the same: it says why each was refused.
        const std::vector<std::string> lines = CrLfLines(ReadWholeFile(csv));
        ASSERT_EQ(lines.size(), 4u);
        for (std::size_t k = 1; k < 4; ++k)
            EXPECT_EQ(SplitCells(lines[k])[1], "70");
        EXPECT_EQ(Names(folder.Path()), (std::set<std::string>{"p.png", "s.csv"}));
    }
}
#endif
