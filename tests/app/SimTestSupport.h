#pragma once
// Running tarvello-sim in the tests: in process through RunSimulatorCommand, or as the real
// executable in a child process; the 4 kW reference motor's options; files read back whole.

#include <gtest/gtest.h>

#include <cerrno>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <functional>
#include <poll.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include <nlohmann/json.hpp>

#include "SimCli.h"

struct SimResult {
    int status;
    std::string out, err;
};

inline SimResult Sim(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int status = RunSimulatorCommand(args, out, err);
    return {status, out.str(), err.str()};
}

// The executable built beside the tests, run with these arguments; its exit status (-1 when a
// signal ended it), standard output and standard error. inChild runs in the child just before the
// program starts (to limit its file sizes, say, or close its standard output).
inline SimResult SimProcess(const std::vector<std::string>& args, const std::function<void()>& inChild = {}) {
    int outPipe[2], errPipe[2];
    if (::pipe(outPipe) != 0 || ::pipe(errPipe) != 0) return {-1, "", "pipe failed"};
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(outPipe[1], 1);
        ::dup2(errPipe[1], 2);
        ::close(outPipe[0]);
        ::close(errPipe[0]);
        ::close(outPipe[1]);
        ::close(errPipe[1]);
        if (inChild) inChild();
        std::vector<char*> argv;
        std::string program = TARVELLO_SIM_EXECUTABLE;
        argv.push_back(program.data());
        std::vector<std::string> copies(args);
        for (std::string& a : copies)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    ::close(outPipe[1]);
    ::close(errPipe[1]);
    SimResult r{-1, "", ""};
    pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
    std::string* sinks[2] = {&r.out, &r.err};
    int open = 2;
    while (open > 0) {
        if (::poll(fds, 2, 60000) <= 0 && errno != EINTR) break; // a hung child ends the test
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP))) continue;
            char buf[65536];
            const ssize_t n = ::read(fds[i].fd, buf, sizeof buf);
            if (n > 0) {
                sinks[i]->append(buf, static_cast<std::size_t>(n));
            } else {
                ::close(fds[i].fd);
                fds[i].fd = -1;
                --open;
            }
        }
    }
    for (const pollfd& f : fds)
        if (f.fd >= 0) ::close(f.fd);
    int status = 0;
    ::waitpid(pid, &status, 0);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

// The 4 kW reference motor (400 V, 8.5 A, cos phi 0.82, 50 Hz, 1440 rpm), then extra options.
inline std::vector<std::string> Motor(std::vector<std::string> extra = {}) {
    std::vector<std::string> a = {"--power",        "4000", "--voltage",   "400", "--current", "8.5",
                                  "--power-factor", "0.82", "--frequency", "50",  "--speed",   "1440"};
    a.insert(a.end(), extra.begin(), extra.end());
    return a;
}
// The same with its no-load current of 4.5 A.
inline std::vector<std::string> FourKilowatt(std::vector<std::string> extra = {}) {
    std::vector<std::string> a = Motor({"--no-load-current", "4.5"});
    a.insert(a.end(), extra.begin(), extra.end());
    return a;
}

inline std::string ReadWholeFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// A folder of its own for one test, removed afterwards.
class TempFolder {
  public:
    explicit TempFolder(const std::string& name)
        : path_(std::filesystem::temp_directory_path() /
                ("tarvello-sim-" + name + "-" + std::to_string(::getpid()))) {
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
    const std::filesystem::path& Path() const { return path_; }

  private:
    std::filesystem::path path_;
};

using OrderedJson = nlohmann::ordered_json;

// A number's 17-significant-digit text, as the CSV outputs write it.
inline std::string CsvText(double v) {
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 17);
    return std::string(buf, r.ptr);
}

// The keys of an object in their order.
inline std::vector<std::string> Keys(const OrderedJson& object) {
    std::vector<std::string> keys;
    for (const auto& [key, value] : object.items())
        keys.push_back(key);
    return keys;
}

// The lines of a text that ends every line with CR LF; a line end without CR fails the test.
inline std::vector<std::string> CrLfLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            ADD_FAILURE() << "text does not end with CR LF";
            break;
        }
        const std::string line = text.substr(start, end - start);
        EXPECT_EQ(line.find('\n'), std::string::npos) << "a line end without CR";
        EXPECT_EQ(line.find('\r'), std::string::npos) << "a CR without line end";
        lines.push_back(line);
        start = end + 2;
    }
    return lines;
}

inline std::vector<std::string> SplitCells(const std::string& line, char sep = ';') {
    std::vector<std::string> cells;
    std::size_t start = 0;
    for (;;) {
        const std::size_t p = line.find(sep, start);
        cells.push_back(line.substr(start, p == std::string::npos ? std::string::npos : p - start));
        if (p == std::string::npos) break;
        start = p + 1;
    }
    return cells;
}

// A cell as a spreadsheet takes it: blanks around, then the whole rest a number in "." notation.
inline bool SpreadsheetNumber(const std::string& cell, double& value) {
    const std::size_t b = cell.find_first_not_of(' ');
    if (b == std::string::npos) return false;
    const std::string t = cell.substr(b, cell.find_last_not_of(' ') - b + 1);
    std::istringstream in(t);
    in.imbue(std::locale::classic());
    in >> value;
    return !in.fail() && in.eof();
}
