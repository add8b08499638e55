// What the benchmarks that time whole processes share: times in ms,
// medians, every run's figure in a line, and the programs beside this one.
#pragma once

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace qel::bench {

using Clock = std::chrono::steady_clock;

inline double msSince(Clock::time_point a, Clock::time_point b = Clock::now()) {
    return std::chrono::duration<double, std::milli>(b - a).count();
}

inline double median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// "12.5 13.0 12.1" with `decimals` places.
inline std::string eachRun(const std::vector<double>& v, int decimals) {
    std::string s;
    for (double x : v) {
        char b[32];
        std::snprintf(b, sizeof b, "%s%.*f", s.empty() ? "" : " ", decimals, x);
        s += b;
    }
    return s;
}

// The path of program `name` in the folder this program was started from.
inline std::string besideThisProgram(const char* argv0, const char* name) {
    const std::string self = argv0;
    const auto slash = self.rfind('/');
    return (slash == std::string::npos ? std::string(".") : self.substr(0, slash)) + "/" + name;
}

// Processor time in a resource record, all threads, user and system, in ms.
inline double cpuMs(const rusage& u) {
    return (static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e6 +
            static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec)) / 1000;
}

// One process from fork to exit: its wall time (negative when it failed),
// the processor time it took on all its threads (other work on a shared
// machine stretches the first, hardly the second) and its peak memory.
struct ProcessRun {
    double ms = -1, cpuMs = 0;
    long peakKiB = 0;
};

// With `errors`, the process's standard error goes into that file.
inline ProcessRun runProcess(const std::vector<std::string>& args, const std::string& errors = {}) {
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    std::fflush(nullptr);
    const Clock::time_point start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        if (!errors.empty()) dup2(open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 2);
        execv(argv[0], argv.data());
        std::_Exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    ProcessRun run;
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) run.ms = msSince(start);
    run.peakKiB = usage.ru_maxrss;
    run.cpuMs = cpuMs(usage);
    return run;
}

}  // namespace qel::bench
