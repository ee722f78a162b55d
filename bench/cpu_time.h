#pragma once
// CPU time of the benchmark process and of its threads by name, for core fractions.

#include <ctime>
#include <dirent.h>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <string_view>
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

}  // namespace orv::bench
