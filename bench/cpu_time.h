#pragma once
// CPU time of the benchmark process and of its threads by name, for core fractions.

#include <chrono>
#include <ctime>
#include <dirent.h>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <string_view>
#include <thread>
#include <unistd.h>

namespace orv::bench {

inline double ProcessCpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

// CPU seconds of the process's threads named `name` so far (clock-tick resolution).
inline double ThreadCpuSeconds(std::string_view name) {
    double ticks = 0.0;
    if (DIR* dir = opendir("/proc/self/task")) {
        while (const dirent* e = readdir(dir)) {
            if (e->d_name[0] == '.') continue;
            const std::string task = std::string("/proc/self/task/") + e->d_name;
            std::ifstream comm(task + "/comm");
            std::string line;
            if (!std::getline(comm, line) || line != name) continue;
            std::ifstream statFile(task + "/stat");
            std::string stat((std::istreambuf_iterator<char>(statFile)), std::istreambuf_iterator<char>());
            std::istringstream fields(stat.substr(stat.rfind(')') + 2));
            std::string field;
            for (int k = 3; k <= 15 && fields >> field; ++k)
                if (k == 14 || k == 15) ticks += std::stod(field);  // utime, stime
        }
        closedir(dir);
    }
    return ticks / double(sysconf(_SC_CLK_TCK));
}

// Wall time, process CPU and the CPU of the threads named `thread` over a span of a run.
struct CoreShares {
    double wall = 0.0;
    double process = 0.0;
    double thread = 0.0;

    CoreShares& operator+=(const CoreShares& other) {
        wall += other.wall;
        process += other.process;
        thread += other.thread;
        return *this;
    }
    double ProcessFraction() const { return process / wall; }
    double ThreadFraction() const { return thread / wall; }
};

// Measures from construction to Elapsed().
class CpuSpan {
public:
    explicit CpuSpan(std::string_view thread = {})
        : thread_(thread),
          wall0_(std::chrono::steady_clock::now()),
          process0_(ProcessCpuSeconds()),
          thread0_(thread.empty() ? 0.0 : ThreadCpuSeconds(thread)) {}

    CoreShares Elapsed() const {
        return {std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0_).count(),
                ProcessCpuSeconds() - process0_,
                thread_.empty() ? 0.0 : ThreadCpuSeconds(thread_) - thread0_};
    }

private:
    std::string_view thread_;
    std::chrono::steady_clock::time_point wall0_;
    double process0_;
    double thread0_;
};

// What one second of sleep costs while the other threads run.
inline CoreShares MeasureOneSecond(std::string_view thread = {}) {
    const CpuSpan span(thread);
    std::this_thread::sleep_for(std::chrono::seconds(1));
    return span.Elapsed();
}

}  // namespace orv::bench
