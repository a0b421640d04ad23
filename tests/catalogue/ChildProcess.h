#pragma once
// Real second processes for the list tests: a forked child runs a body and reports through its
// exit status (0: every check held), with a text for the parent (what it found, or what failed).
// A child can first become the unprivileged user 65534, so that permission refusals are seen even
// when the tests run as root (root writes anyway). Signals between processes go through pipes.

#include <cerrno>
#include <chrono>
#include <exception>
#include <filesystem>
#include <functional>
#include <grp.h>
#include <poll.h>
#include <stdexcept>
#include <string>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

// The user a root test run drops to.
constexpr uid_t UnprivilegedId = 65534;

// True when the tests run as root, which must drop to UnprivilegedId to meet a permission refusal.
inline bool RunningAsRoot() {
    return ::geteuid() == 0;
}

// Hands a prepared file or folder to the user the child runs as (only root needs to).
inline void GiveToChild(const std::filesystem::path& path) {
    if (RunningAsRoot() && ::lchown(path.c_str(), UnprivilegedId, UnprivilegedId) != 0)
        throw std::runtime_error("cannot hand " + path.string() + " to uid 65534");
}

// A one-way signal between two processes; create it before the fork.
class ProcessSignal {
  public:
    ProcessSignal() {
        if (::pipe(fds_) != 0) throw std::runtime_error("pipe failed");
    }
    ~ProcessSignal() {
        ::close(fds_[0]);
        ::close(fds_[1]);
    }
    ProcessSignal(const ProcessSignal&) = delete;
    ProcessSignal& operator=(const ProcessSignal&) = delete;

    void Notify() {
        const char byte = 1;
        while (::write(fds_[1], &byte, 1) < 0 && errno == EINTR) {
        }
    }
    // False when no signal came within the wait (so a broken test ends instead of hanging).
    bool WaitFor(std::chrono::milliseconds wait = std::chrono::seconds(30)) {
        pollfd p{fds_[0], POLLIN, 0};
        int ready;
        do
            ready = ::poll(&p, 1, static_cast<int>(wait.count()));
        while (ready < 0 && errno == EINTR);
        char byte;
        return ready == 1 && ::read(fds_[0], &byte, 1) == 1;
    }

  private:
    int fds_[2] = {-1, -1};
};

struct ChildResult {
    int exitStatus = -1; // the child's exit status, -1 when it did not exit normally
    std::string text;    // what the child wrote to its report
};

// What a body does: fills the report and returns true when every check held.
using ChildBody = std::function<bool(std::string& report)>;

// Exit status of a child that could not become the unprivileged user.
constexpr int CannotDropPrivileges = 77;

class ChildProcess {
  public:
    explicit ChildProcess(ChildBody body, bool unprivileged = false) {
        int report[2];
        if (::pipe(report) != 0) throw std::runtime_error("pipe failed");
        pid_ = ::fork();
        if (pid_ < 0) throw std::runtime_error("fork failed");
        if (pid_ == 0) {
            ::close(report[0]);
            std::string text;
            int status = 1;
            if (unprivileged && RunningAsRoot() &&
                (::setgroups(0, nullptr) != 0 || ::setgid(UnprivilegedId) != 0 ||
                 ::setuid(UnprivilegedId) != 0)) {
                text = "cannot become uid 65534";
                status = CannotDropPrivileges;
            } else {
                try {
                    status = body(text) ? 0 : 1;
                } catch (const std::exception& e) {
                    text += std::string("unexpected exception: ") + e.what();
                } catch (...) {
                    text += "unexpected exception";
                }
            }
            std::size_t done = 0;
            while (done < text.size()) {
                const ssize_t n = ::write(report[1], text.data() + done, text.size() - done);
                if (n <= 0) break;
                done += static_cast<std::size_t>(n);
            }
            // No destructors, no exit handlers: the parent's state is not the child's to tear down.
            ::_exit(status);
        }
        ::close(report[1]);
        report_ = report[0];
    }
    ~ChildProcess() {
        if (pid_ > 0) Wait();
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    ChildResult Wait() {
        if (pid_ <= 0) return result_;
        char buffer[4096];
        for (;;) {
            const ssize_t n = ::read(report_, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            result_.text.append(buffer, static_cast<std::size_t>(n));
        }
        ::close(report_);
        int status = 0;
        while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
        }
        pid_ = -1;
        result_.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return result_;
    }

  private:
    pid_t pid_ = -1;
    int report_ = -1;
    ChildResult result_;
};

// Runs body as the unprivileged user and waits for it.
inline ChildResult RunUnprivileged(ChildBody body) {
    ChildProcess child(std::move(body), true);
    return child.Wait();
}
