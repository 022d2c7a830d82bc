// A translation project built, counted and exported as the corvtool program, on the demo project
// (7 blocks) and on a demo of 400 text blocks (4 MiB ROM): the median time of each command, the
// processor time it took, the largest resident memory, and how much faster --jobs 2 builds than
// --jobs 1, all measured in this one run. Every output is synced to disk before it replaces the
// old one, so on a busy disk the wall time is mostly waiting for those syncs.
//
//   build/bench/project_bench [RUNS]

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "project/project_build.h"
#include "project/project_file.h"
#include "project/project_inputs.h"

namespace {

namespace fs = std::filesystem;

struct Timing {
    double medianMs = 0;
    double medianCpuMs = 0;  // user and system time of the command, all its threads
    long maxResidentKb = 0;
};

// Runs the command `runs` times with its output thrown away.
Timing timeCommand(const std::vector<std::string>& args, int runs) {
    std::vector<double> times;
    std::vector<double> cpu;
    Timing timing;
    for (int i = 0; i < runs; ++i) {
        std::fflush(stdout);  // the child must not print what is buffered here again
        const auto start = std::chrono::steady_clock::now();
        const pid_t child = fork();
        if (child == 0) {
            std::freopen("/dev/null", "w", stdout);
            std::vector<char*> argv;
            for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        }
        int status = 0;
        rusage usage{};
        wait4(child, &status, 0, &usage);
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            std::fprintf(stderr, "project_bench: %s %s failed\n", args[0].c_str(), args[1].c_str());
            std::exit(1);
        }
        timing.maxResidentKb = std::max(timing.maxResidentKb, usage.ru_maxrss);
        cpu.push_back(double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000 +
                      double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000);
    }
    std::sort(times.begin(), times.end());
    std::sort(cpu.begin(), cpu.end());
    timing.medianMs = times[times.size() / 2];
    timing.medianCpuMs = cpu[cpu.size() / 2];
    return timing;
}

// The build's own work in this process, without reading or writing files: the median of `runs`.
double buildInMemoryMs(const fs::path& projectDir, unsigned jobs, int runs) {
    const corv::project::ProjectLoad load = corv::project::LoadProjectFile(projectDir / corv::project::kProjectFileName);
    auto inputs = corv::project::LoadProjectInputs(*load.project);
    const auto& loaded = *std::get<0>(inputs);
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        corv::project::BuildOptions options;
        options.jobs = jobs;
        const auto start = std::chrono::steady_clock::now();
        const corv::project::BuildResult result = corv::project::BuildProject(*load.project, loaded, options);
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        if (result.outcome != corv::project::BuildOutcome::Built) std::exit(1);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void report(const char* what, const Timing& timing) {
    std::printf("%-34s %9.1f ms   (cpu %7.1f ms)   max resident %6.1f MB\n", what, timing.medianMs, timing.medianCpuMs,
                double(timing.maxResidentKb) / 1024);
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const std::string tool = CORVTOOL_PATH;
    const fs::path dir = fs::temp_directory_path() / ("corv_project_bench_" + std::to_string(getpid()));
    const std::string small = (dir / "demo").string();
    const std::string large = (dir / "demo400").string();
    timeCommand({tool, "make-demo", small, "--blocks", "7"}, 1);
    timeCommand({tool, "make-demo", large, "--blocks", "400"}, 1);

    std::printf("project_bench: median of %d runs, one core or two as --jobs says\n", runs);
    report("build demo (7 blocks) --jobs 1", timeCommand({tool, "build", small, "--jobs", "1"}, runs));
    const Timing one = timeCommand({tool, "build", large, "--jobs", "1"}, runs);
    const Timing two = timeCommand({tool, "build", large, "--jobs", "2"}, runs);
    report("build 400 blocks --jobs 1", one);
    report("build 400 blocks --jobs 2", two);
    std::printf("%-34s %9.2fx\n", "--jobs 2 against --jobs 1", one.medianMs / two.medianMs);
    const double memoryOne = buildInMemoryMs(large, 1, runs);
    const double memoryTwo = buildInMemoryMs(large, 2, runs);
    std::printf("%-34s %9.1f ms\n", "in memory, 400 blocks, 1 thread", memoryOne);
    std::printf("%-34s %9.1f ms\n", "in memory, 400 blocks, 2 threads", memoryTwo);
    std::printf("%-34s %9.2fx\n", "2 threads against 1, in memory", memoryOne / memoryTwo);
    report("status 400 blocks", timeCommand({tool, "status", large}, runs));
    report("export-po 400 blocks", timeCommand({tool, "export-po", large, (dir / "po").string()}, runs));
    fs::remove_all(dir);
    return 0;
}
