#include "bench/childrun.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

ChildRun inChild(const std::function<std::vector<double>()>& side)
{
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        std::exit(3);
    const pid_t pid = fork();
    if (pid == 0) {
        close(pipeFds[0]);
        double values[17] = {};
        const std::vector<double> result = side();
        values[0] = double(std::min<size_t>(result.size(), 16));
        std::copy_n(result.begin(), size_t(values[0]), values + 1);
        if (write(pipeFds[1], values, sizeof values) != sizeof values)
            _exit(4);
        _exit(0);
    }
    close(pipeFds[1]);
    double values[17] = {};
    if (read(pipeFds[0], values, sizeof values) != sizeof values)
        std::exit(5);
    close(pipeFds[0]);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    ChildRun run;
    run.values.assign(values + 1, values + 1 + int(values[0]));
    run.peakKiB = usage.ru_maxrss;
    run.cpuSeconds = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
                     + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    return run;
}

Spread spreadOf(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return {values.front(), values[values.size() / 2], values.back()};
}
