#include "bench/platformchild.h"

#include <cstdio>
#include <cstdlib>
#include <sys/wait.h>
#include <unistd.h>

void runOnPlatform(const char* platform, const std::string& display, const std::vector<std::string>& arguments)
{
    const pid_t child = ::fork();
    if (child == 0) {
        ::setenv("QT_QPA_PLATFORM", platform, 1);
        if (!display.empty())
            ::setenv("DISPLAY", display.c_str(), 1);
        std::vector<char*> argv{const_cast<char*>("bench")};
        for (const std::string& a : arguments)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv("/proc/self/exe", argv.data());
        std::perror("/proc/self/exe");
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "failed on %s\n", platform);
        std::exit(1);
    }
}
