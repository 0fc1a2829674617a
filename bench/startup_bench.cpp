// Start-up of the built program as a user starts it: exec of build-bench/bin/prisliste
// on an X display until its main window has been painted (the product list read from
// the server and shown), against a process that only reads the same list with plain
// libmariadb (bench_rawwalk), interleaved, on a private server with N products.
//
//   bench_startup [rounds] [N ...]      (default: 5 rounds; 10000 100000 1000000)
//
// Without DISPLAY it starts its own Xvfb. Each side is a process of its own, so its peak
// resident size (wait4) is its own. Left out: the window manager (Xvfb has none), the
// program's shutdown (it runs after the time is taken, but its memory counts).
#include "bench/benchserver.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

std::string binFolder()
{
    char path[4096];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0)
        std::exit(1);
    std::string s(path, size_t(n));
    return s.substr(0, s.rfind('/'));
}

struct Run {
    double seconds;
    double peakMiB;
};

// Starts argv with its own working folder and APPDATA, waits until it reports on the
// descriptor in PRISLISTE_FIRST_PAINT_FD, then until it exits.
Run runProcess(const std::vector<std::string>& args, const std::string& work, unsigned port)
{
    int fds[2];
    if (pipe(fds) != 0)
        std::exit(1);
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        if (chdir(work.c_str()) != 0)
            _exit(120);
        const int quiet = open("/dev/null", O_WRONLY);
        dup2(quiet, 1);
        dup2(quiet, 2);
        setenv("PRISLISTE_FIRST_PAINT_FD", std::to_string(fds[1]).c_str(), 1);
        setenv("APPDATA", work.c_str(), 1);
        setenv("PRISLISTE_DB_HOST", "127.0.0.1", 1);
        setenv("PRISLISTE_DB_PORT", std::to_string(port).c_str(), 1);
        setenv("QT_QPA_PLATFORM", "xcb", 1);
        std::vector<char*> argv;
        for (const auto& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(fds[1]);
    pollfd p{fds[0], POLLIN, 0};
    char buffer[16];
    if (poll(&p, 1, 300000) != 1 || read(fds[0], buffer, sizeof buffer) <= 0) {
        std::fprintf(stderr, "%s did not report; killed\n", args[0].c_str());
        kill(pid, SIGKILL);
        std::exit(1);
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    close(fds[0]);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s ended with status %d\n", args[0].c_str(), status);
        std::exit(1);
    }
    return {seconds, usage.ru_maxrss / 1024.0};
}

struct Spread {
    double min, median, max;
};

Spread spread(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return {v.front(), v[v.size() / 2], v.back()};
}

void print(const char* what, const char* unit, const Spread& program, const Spread& walk)
{
    std::printf("  %-6s program %8.3f / %8.3f / %8.3f %s   raw walk %8.3f / %8.3f / %8.3f %s   ratio of medians %.2f\n",
                what, program.min, program.median, program.max, unit, walk.min, walk.median, walk.max, unit,
                program.median / walk.median);
}

pid_t startXvfb()
{
    int number = 91;
    while (access(("/tmp/.X11-unix/X" + std::to_string(number)).c_str(), F_OK) == 0
           || access(("/tmp/.X" + std::to_string(number) + "-lock").c_str(), F_OK) == 0)
        ++number;
    const std::string display = ":" + std::to_string(number);
    const pid_t pid = fork();
    if (pid == 0) {
        execlp("Xvfb", "Xvfb", display.c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp", nullptr);
        _exit(127);
    }
    for (int i = 0; i < 100 && access(("/tmp/.X11-unix/X" + std::to_string(number)).c_str(), F_OK) != 0; ++i)
        usleep(100000);
    setenv("DISPLAY", display.c_str(), 1);
    return pid;
}

} // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    std::vector<int> sizes;
    for (int i = 2; i < argc; ++i)
        sizes.push_back(std::atoi(argv[i]));
    if (sizes.empty())
        sizes = {10000, 100000, 1000000};

    pid_t xvfb = 0;
    if (!std::getenv("DISPLAY"))
        xvfb = startXvfb();
    const std::string bin = binFolder();
    char workTemplate[] = "/tmp/prisliste-startup-XXXXXX";
    const std::string work = mkdtemp(workTemplate);

    {
        BenchServer server("1G");
        const std::vector<std::string> program{bin + "/prisliste"};
        const std::vector<std::string> walk{bin + "/bench_rawwalk", std::to_string(server.port())};
        std::printf("start-up to the first painted main window, %d rounds, display %s\n", rounds, std::getenv("DISPLAY"));
        for (const int rows : sizes) {
            server.fill(rows);
            // One start first, so the folder tree and settings exist: measured starts are
            // ordinary ones, and both sides find the server's pages warm.
            runProcess(program, work, server.port());
            runProcess(walk, work, server.port());
            std::vector<double> programTime, walkTime, programPeak, walkPeak;
            for (int round = 0; round < rounds; ++round) {
                const Run p = runProcess(program, work, server.port());
                const Run w = runProcess(walk, work, server.port());
                programTime.push_back(p.seconds);
                programPeak.push_back(p.peakMiB);
                walkTime.push_back(w.seconds);
                walkPeak.push_back(w.peakMiB);
            }
            std::printf("%d products (min / median / max)\n", rows);
            print("time", "s  ", spread(programTime), spread(walkTime));
            print("peak", "MiB", spread(programPeak), spread(walkPeak));
            std::fflush(stdout);
        }
    }
    std::system(("rm -rf " + work).c_str());
    if (xvfb > 0) {
        kill(xvfb, SIGTERM);
        waitpid(xvfb, nullptr, 0);
    }
    return 0;
}
