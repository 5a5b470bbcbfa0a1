// SPDX-License-Identifier: MIT
// Start-up cost: the window from process start to its first paint (offscreen; the window program
// says "painted" on stdout then), against a minimal Qt window ended the same way; and the whole
// headless --json run against a trivial C++ program; and the planner opening a 1,000-group project
// to its first paint against the calculator window. Runs the programs in turn, many times, and
// compares medians of wall time and of peak resident memory.
//
//   startup_bench [REPETITIONS]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "bench/mixed_project.hpp"

extern char** environ;

namespace {

struct Run {
    double milliseconds;    // wall time, start to first paint (windows) or to the end
    double cpuMilliseconds; // user and system time, less disturbed by other load
    long maxResidentKiB;
};

enum class Until { Painted, End };

struct Program {
    const char* label;
    std::vector<std::string> argv;
    Until until;
    std::vector<Run> runs;
};

Run runOnce(const std::vector<std::string>& argv, Until until) {
    std::vector<char*> args;
    for (const std::string& a : argv) {
        args.push_back(const_cast<char*>(a.c_str()));
    }
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    int painted[2] = {-1, -1};
    if (until == Until::Painted) {
        if (pipe(painted) != 0) {
            std::perror("pipe");
            std::exit(2);
        }
        posix_spawn_file_actions_adddup2(&actions, painted[1], 1);
        posix_spawn_file_actions_addclose(&actions, painted[0]);
    } else {
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", 1 /* O_WRONLY */, 0);
    }
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", 1 /* O_WRONLY */, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ) != 0) {
        std::fprintf(stderr, "cannot start %s\n", args[0]);
        std::exit(2);
    }
    auto end = start;
    if (until == Until::Painted) {
        close(painted[1]);
        char c = 0;
        const bool said = read(painted[0], &c, 1) == 1;
        end = std::chrono::steady_clock::now();
        while (read(painted[0], &c, 1) == 1) {
        }
        close(painted[0]);
        if (!said) {
            std::fprintf(stderr, "%s never said it was painted\n", args[0]);
            std::exit(2);
        }
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    if (until == Until::End) {
        end = std::chrono::steady_clock::now();
    }
    posix_spawn_file_actions_destroy(&actions);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s failed (status %d)\n", args[0], status);
        std::exit(2);
    }
    const auto ms = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_usec) / 1e3;
    };
    return {std::chrono::duration<double, std::milli>(end - start).count(),
            ms(usage.ru_utime) + ms(usage.ru_stime), usage.ru_maxrss};
}

template <class F> double median(const std::vector<Run>& runs, F field) {
    std::vector<double> values;
    for (const Run& r : runs) {
        values.push_back(field(r));
    }
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double medianTime(const Program& p) {
    return median(p.runs, [](const Run& r) { return r.milliseconds; });
}
double medianCpu(const Program& p) {
    return median(p.runs, [](const Run& r) { return r.cpuMilliseconds; });
}
double medianRss(const Program& p) {
    return median(p.runs, [](const Run& r) { return static_cast<double>(r.maxResidentKiB); });
}

bool report(const char* what, double ratio, double target) {
    const bool met = ratio <= target;
    std::printf("%-48s %5.2fx  (target <= %.2fx) %s\n", what, ratio, target,
                met ? "met" : "MISSED");
    return met;
}

} // namespace

int main(int argc, char** argv) {
    const int repetitions = argc > 1 ? std::atoi(argv[1]) : 40;
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("LENSTALLY_QUIT_AFTER_PAINT", "1", 1);
    unsetenv("LENSTALLY_GRAB");

    // The planner's project, written where the planner reads it.
    char projectPath[] = "/tmp/lenstally-bench-XXXXXX.json";
    const int fd = mkstemps(projectPath, 5);
    if (fd < 0) {
        std::perror("mkstemps");
        return 2;
    }
    close(fd);
    std::ofstream(projectPath) << lenstally::bench::MixedProject(1000, true);

    std::vector<Program> programs{
        {"lenstally (window, to first paint)", {LENSTALLY_PATH}, Until::Painted, {}},
        {"minimal Qt window (to first paint)", {MINIMAL_WINDOW_PATH}, Until::Painted, {}},
        {"lenstally --json (whole process)", {LENSTALLY_PATH, "--json"}, Until::End, {}},
        {"lenstally-window alone (to first paint)", {WINDOW_PATH}, Until::Painted, {}},
        {"trivial C++ program (whole process)", {TRIVIAL_PATH}, Until::End, {}},
        {"lenstally --planner, 1,000 groups (first paint)",
         {LENSTALLY_PATH, "--planner", projectPath},
         Until::Painted,
         {}},
    };
    std::swap(programs[3], programs[4]); // the window program alone is listed last
    for (Program& p : programs) {        // warm the page cache
        runOnce(p.argv, p.until);
        runOnce(p.argv, p.until);
    }
    for (int i = 0; i < repetitions; ++i) {
        for (Program& p : programs) {
            p.runs.push_back(runOnce(p.argv, p.until));
        }
    }

    std::printf("%d runs each, interleaved; medians of wall time to the event named, of CPU time "
                "and peak memory of the whole process\n",
                repetitions);
    for (const Program& p : programs) {
        std::printf("%-48s %8.2f ms wall %8.2f ms cpu %8.0f KiB\n", p.label, medianTime(p),
                    medianCpu(p), medianRss(p));
    }
    bool met = true;
    met &= report("window start-up time / minimal window",
                  medianTime(programs[0]) / medianTime(programs[1]), 1.25);
    report("  (whole-process cpu time, for reference)",
           medianCpu(programs[0]) / medianCpu(programs[1]), 1.25);
    met &= report("window peak memory / minimal window",
                  medianRss(programs[0]) / medianRss(programs[1]), 1.2);
    met &= report("lenstally --json time / trivial program",
                  medianTime(programs[2]) / medianTime(programs[3]), 1.5);
    report("  (whole-process cpu time, for reference)",
           medianCpu(programs[2]) / medianCpu(programs[3]), 1.5);
    met &= report("planner with 1,000 groups / calculator window",
                  medianTime(programs[5]) / medianTime(programs[0]), 3.0);
    std::remove(projectPath);
    return met ? 0 : 1;
}
