// Benchmark over the stand-in: appending N dropped files to an empty list and to a list of N
// rows, against the floor of bare calls the design needs (one pump look per new path), plus
// start-up, close and peak memory. Prints figures; asserts nothing.

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/shell.h"
#include "bench_common.h"
#include "resources/resource.h"
#include "standin/harness.h"
#include "state/app_state.h"

namespace {

using bench::Clock;
using bench::Seconds;

std::vector<std::optional<std::string>> NumberedPaths(const char* stem, int count) {
    std::vector<std::optional<std::string>> paths;
    for (int i = 0; i < count; ++i) {
        paths.emplace_back(bench::NumberedPath(stem, i));
    }
    return paths;
}

struct Figures {
    double program = 0;
    double floor = 0;
};

// Drops `count` new files on a list that already holds `existing` rows.
Figures MeasureDrop(int count, int existing) {
    Figures figures;
    standin::Reset();
    standin::SetLogging(false);
    Clock::time_point start;
    if (existing > 0) {
        standin::Drop(NumberedPaths("old", existing));
    }
    standin::Do("start the clock", [&] { start = Clock::now(); });
    standin::Drop(NumberedPaths("new", count));
    standin::Do("stop the clock and measure the floor", [&] {
        figures.program = Seconds(start, Clock::now());
        figures.floor = bench::PumpFloorSeconds(count);
    });
    standin::Close(IDD_MAIN);
    standin::Run(RunProcess);
    return figures;
}

void PrintRow(const char* what, int n, const Figures& figures) {
    std::printf("%-34s %6d %10.3f s %10.3f s %8.2f\n", what, n, figures.program, figures.floor,
                figures.program / figures.floor);
}

}  // namespace

int main(int argc, char** argv) {
    std::printf("stand-in (native, %s)\n", sizeof(void*) == 8 ? "x86_64" : "32-bit");
    std::printf("%-34s %6s %12s %12s %8s\n", "measure", "N", "program", "floor", "ratio");
    std::vector<int> sizes;
    for (int i = 1; i < argc; ++i) {
        sizes.push_back(std::atoi(argv[i]));
    }
    if (sizes.empty()) {
        sizes = {1000, 10000};
    }
    for (int n : sizes) {
        PrintRow("drop N files on an empty list", n, MeasureDrop(n, 0));
        PrintRow("drop N files on a list of N rows", n, MeasureDrop(n, n));
    }

    // Start-up to the opaque window, and WM_CLOSE to the end of the run (Sleep never waits here).
    standin::Reset();
    standin::SetLogging(false);
    const Clock::time_point start = Clock::now();
    Clock::time_point opaque;
    Clock::time_point closing;
    standin::Do("window is opaque", [&] { opaque = Clock::now(); });
    standin::Do("close", [&] {
        closing = Clock::now();
        PostMessageA(g_app.mainWindow, WM_CLOSE, 0, 0);
    });
    standin::Run(RunProcess);
    const Clock::time_point end = Clock::now();
    std::printf("start to opaque window: %.3f ms; WM_CLOSE to exit: %.3f ms\n",
                1000 * Seconds(start, opaque), 1000 * Seconds(closing, end));

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak resident set: %.1f MiB\n", usage.ru_maxrss / 1024.0);
    return 0;
}
