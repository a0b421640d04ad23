// The sweeps of tarvello-sim with the 4 kW reference motor: 10 000 quasi-static cases (current
// limit 3, fan load, preset by t2) and 1 000 dynamic ones (both starts, load inertia by t2).
// The whole process as a user starts it, timed by the wall clock with the child's CPU time beside
// it (the machine may be shared); and the same sweeps in process, on one thread and on all.
#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <fcntl.h>
#include <ostream>
#include <streambuf>
#include <string>
#include <thread>
#include <vector>

#include "SimCli.h"

extern char** environ;

namespace {

std::vector<std::string> FourKilowatt(std::vector<std::string> extra) {
    std::vector<std::string> a = {
        "--maker",     "Generic IEC", "--size",    "112 M", "--power",           "4000",
        "--voltage",   "400",         "--current", "8.5",   "--power-factor",    "0.82",
        "--frequency", "50",          "--speed",   "1440",  "--no-load-current", "4.5"};
    a.insert(a.end(), extra.begin(), extra.end());
    return a;
}

const std::vector<std::string> QuasiStatic =
    FourKilowatt({"--current-limit", "3", "--static", "--load", "squared", "--sweep", "preset=5:50:100",
                  "--sweep", "t2=0:0.04:100"});
const std::vector<std::string> Dynamic =
    FourKilowatt({"--load", "squared", "--dynamic", "--motor-inertia", "0.012", "--sweep",
                  "load-inertia=0:1:10", "--sweep", "t2=0:0.04:100"});

double ChildrenCpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_CHILDREN, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) * 1e-6;
}

// Runs the executable with its output thrown away; false when it did not exit with 0.
bool RunProcess(const std::vector<std::string>& args) {
    std::vector<std::string> copies = args;
    std::string program = TARVELLO_SIM_EXECUTABLE;
    std::vector<char*> argv = {program.data()};
    for (std::string& a : copies)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return false;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void Process(benchmark::State& state, const std::vector<std::string>& args) {
    const double cpuBefore = ChildrenCpuSeconds();
    for (auto _ : state)
        if (!RunProcess(args)) state.SkipWithError("tarvello-sim failed");
    state.counters["child_cpu_s"] =
        benchmark::Counter(ChildrenCpuSeconds() - cpuBefore, benchmark::Counter::kAvgIterations);
}

// An output that only counts what it is given.
class CountingBuffer : public std::streambuf {
  public:
    std::size_t count = 0;

  protected:
    int_type overflow(int_type c) override {
        ++count;
        return c;
    }
    std::streamsize xsputn(const char*, std::streamsize n) override {
        count += static_cast<std::size_t>(n);
        return n;
    }
};

void InProcess(benchmark::State& state, std::vector<std::string> args) {
    const int threads = state.range(0) == 0 ? static_cast<int>(std::thread::hardware_concurrency())
                                            : static_cast<int>(state.range(0));
    args.insert(args.end(), {"--threads", std::to_string(threads)});
    CountingBuffer buffer, errors;
    std::ostream out(&buffer), err(&errors);
    for (auto _ : state)
        if (RunSimulatorCommand(args, out, err) != 0) state.SkipWithError("the sweep failed");
    state.counters["threads"] = threads;
    state.counters["bytes"] =
        benchmark::Counter(static_cast<double>(buffer.count), benchmark::Counter::kAvgIterations);
}

} // namespace

static void BM_ProcessQuasiStaticSweep(benchmark::State& state) {
    Process(state, QuasiStatic);
}
BENCHMARK(BM_ProcessQuasiStaticSweep)->UseRealTime()->Unit(benchmark::kMillisecond);

static void BM_ProcessDynamicSweep(benchmark::State& state) {
    Process(state, Dynamic);
}
BENCHMARK(BM_ProcessDynamicSweep)->UseRealTime()->Unit(benchmark::kMillisecond);

static void BM_InProcessQuasiStaticSweep(benchmark::State& state) {
    InProcess(state, QuasiStatic);
}
BENCHMARK(BM_InProcessQuasiStaticSweep)->Arg(1)->Arg(0)->UseRealTime()->Unit(benchmark::kMillisecond);

static void BM_InProcessDynamicSweep(benchmark::State& state) {
    InProcess(state, Dynamic);
}
BENCHMARK(BM_InProcessDynamicSweep)->Arg(1)->Arg(0)->UseRealTime()->Unit(benchmark::kMillisecond);
