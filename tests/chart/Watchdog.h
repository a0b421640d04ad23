#pragma once
// A guard for code that must not hang: a hang is reported as a failure instead of stalling the run.

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <thread>

// Runs f on this thread and ends the test program with a failure when f has not returned within
// `seconds`: a drawing that never finishes is reported instead of stalling the run.
inline void FinishesWithin(int seconds, const char* what, const std::function<void()>& f) {
    std::mutex m;
    std::condition_variable cv;
    bool done = false;
    std::thread watchdog([&] {
        std::unique_lock<std::mutex> lock(m);
        if (!cv.wait_for(lock, std::chrono::seconds(seconds), [&] { return done; })) {
            std::fprintf(stderr, "FAILED: %s did not finish within %d s\n", what, seconds);
            std::fflush(stderr);
            std::_Exit(1);
        }
    });
    struct Stop { // also when f throws
        std::mutex& m;
        std::condition_variable& cv;
        bool& done;
        std::thread& t;
        ~Stop() {
            {
                std::lock_guard<std::mutex> lock(m);
                done = true;
            }
            cv.notify_one();
            t.join();
        }
    } stop{m, cv, done, watchdog};
    f();
}
