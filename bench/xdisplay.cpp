#include "bench/xdisplay.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

XDisplay::XDisplay()
{
    if (const char* given = std::getenv("DISPLAY"); given && *given) {
        name_ = given;
        return;
    }
    // Xvfb picks a free display number and writes it to the pipe once it accepts clients.
    int fds[2];
    if (::pipe(fds) != 0) {
        std::perror("pipe");
        std::exit(1);
    }
    xvfb_ = ::fork();
    if (xvfb_ == 0) {
        ::close(fds[0]);
        const std::string fd = std::to_string(fds[1]);
        ::execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
                 static_cast<char*>(nullptr));
        std::perror("Xvfb");
        ::_exit(127);
    }
    ::close(fds[1]);
    std::string number;
    char c;
    while (::read(fds[0], &c, 1) == 1 && c != '\n')
        number += c;
    ::close(fds[0]);
    if (number.empty()) {
        std::fprintf(stderr, "Xvfb did not start (is it installed?)\n");
        std::exit(1);
    }
    name_ = ":" + number;
}

XDisplay::~XDisplay()
{
    if (xvfb_ > 0) {
        ::kill(xvfb_, SIGTERM);
        ::waitpid(xvfb_, nullptr, 0);
    }
}
