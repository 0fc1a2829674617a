// A stand-in for the metafile helper that misbehaves as its input says, so that the tests
// see what the program does when the real helper is taken over by a crafted file.

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

namespace {

void writeAll(const std::string& text)
{
    (void)!::write(STDOUT_FILENO, text.data(), text.size());
}

// A correct answer for a 2 x 2 picture drawn at 2 x 2.
std::string tinyPicture()
{
    std::string answer = "P";
    for (int v : {2, 2, 2, 2})
        answer += std::string(reinterpret_cast<const char*>(&v), 4);
    return answer + std::string(16, '\xff');
}

} // namespace

int main()
{
    std::string input;
    char buffer[4096];
    for (ssize_t n; (n = ::read(STDIN_FILENO, buffer, sizeof buffer)) > 0;)
        input.append(buffer, size_t(n));
    const std::string mode = input.substr(0, input.find('\n'));

    if (mode == "sleep") {
        for (;;)
            ::pause();
    } else if (mode == "spin") {
        for (volatile unsigned long i = 0;; ++i) {
        }
    } else if (mode == "allocate") {
        for (;;) {
            auto* block = static_cast<char*>(std::malloc(1 << 20));
            if (!block)
                std::abort();
            std::memset(block, 1, 1 << 20);
        }
    } else if (mode == "crash") {
        std::raise(SIGSEGV);
    } else if (mode == "garbage") {
        writeAll("P this is no picture");
    } else if (mode == "wrong-size") {
        std::string answer = tinyPicture();
        answer[9] = 3; // drawn 3 x 2: not the fitted size
        writeAll(answer);
    } else if (mode == "endless") {
        const std::string block(65536, 'x');
        for (;;)
            writeAll("P" + block);
    } else if (mode == "exit-1") {
        writeAll(tinyPicture());
        return 1;
    } else if (mode == "socket") {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        writeAll(fd >= 0 ? tinyPicture() : std::string("Esocket: ") + std::strerror(errno));
    } else if (mode == "fine") {
        writeAll(tinyPicture());
    }
    return 0;
}
