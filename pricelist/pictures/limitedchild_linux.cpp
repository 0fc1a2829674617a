#include "pricelist/pictures/limitedchild.h"

#include <QElapsedTimer>
#include <QFile>

#include <cerrno>
#include <csignal>
#include <cstddef>
#include <cstdlib>
#include <fcntl.h>
#include <linux/audit.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#define PRISLISTE_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PRISLISTE_ASAN 1
#endif
#endif

namespace {

#if defined(__x86_64__)
constexpr __u32 nativeArch = AUDIT_ARCH_X86_64;
#elif defined(__aarch64__)
constexpr __u32 nativeArch = AUDIT_ARCH_AARCH64;
#else
constexpr __u32 nativeArch = 0; // unknown: no filter
#endif

// socket() fails with EACCES; a foreign system call convention ends the child.
sock_filter socketFilter[] = {
    BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, arch)),
    BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, nativeArch, 1, 0),
    BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_KILL_PROCESS),
    BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
#if defined(__x86_64__)
    BPF_JUMP(BPF_JMP | BPF_JGE | BPF_K, 0x40000000, 0, 1), // x32 calls
    BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_KILL_PROCESS),
#endif
    BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_socket, 0, 1),
    BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EACCES),
    BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
};

void limit(int resource, rlim_t value)
{
    const rlimit r {value, value};
    setrlimit(resource, &r);
}

// Between vfork and exec: system calls only. The child shares the parent's memory until
// it execs, so it writes none (only the kernel's state of its own process changes).
[[noreturn]] void becomeChild(int input, int output, int nullDevice, const ChildLimits& limits, const char* path,
                              char* const* argv, char* const* envp)
{
    if (dup2(input, STDIN_FILENO) < 0 || dup2(output, STDOUT_FILENO) < 0 || dup2(nullDevice, STDERR_FILENO) < 0)
        _exit(127);
    syscall(SYS_close_range, 3u, ~0u, 0u);
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    signal(SIGPIPE, SIG_DFL);
#ifndef PRISLISTE_ASAN
    // AddressSanitizer reserves terabytes of address space; its own RSS limit stands in.
    limit(RLIMIT_AS, rlim_t(limits.addressSpaceBytes));
#endif
    limit(RLIMIT_CPU, rlim_t(limits.cpuSeconds));
    limit(RLIMIT_NOFILE, rlim_t(limits.openFiles));
    limit(RLIMIT_CORE, 0);
    if (nativeArch != 0 && prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0) {
        sock_fprog program {static_cast<unsigned short>(sizeof socketFilter / sizeof socketFilter[0]), socketFilter};
        if (prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) != 0)
            _exit(127);
    }
    execve(path, argv, envp);
    _exit(127);
}

std::vector<QByteArray> childEnvironment(const ChildLimits& limits)
{
    std::vector<QByteArray> environment {"QT_QPA_PLATFORM=offscreen", "LC_ALL=C.UTF-8"};
    if (qEnvironmentVariableIsSet("HOME")) // fontconfig's cache
        environment.push_back("HOME=" + qgetenv("HOME"));
#ifdef PRISLISTE_ASAN
    // The sanitizer's own memory limit; what it finds in a helper is that picture's error.
    environment.push_back("ASAN_OPTIONS=detect_leaks=0:hard_rss_limit_mb="
                          + QByteArray::number(limits.addressSpaceBytes / (1024 * 1024)));
#else
    Q_UNUSED(limits);
#endif
    return environment;
}

std::vector<char*> pointers(std::vector<QByteArray>& texts)
{
    std::vector<char*> result;
    for (QByteArray& text : texts)
        result.push_back(text.data());
    result.push_back(nullptr);
    return result;
}

struct Fd {
    int fd = -1;
    ~Fd() { reset(); }
    void reset()
    {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
};

// Writes to a pipe whose reader died raise SIGPIPE for this thread; it is held back and
// taken here instead of ending the program.
class PipeSignalBlock {
public:
    PipeSignalBlock()
    {
        sigemptyset(&pipe_);
        sigaddset(&pipe_, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &pipe_, &old_);
    }
    ~PipeSignalBlock()
    {
        const timespec zero {};
        while (sigtimedwait(&pipe_, nullptr, &zero) > 0) {
        }
        pthread_sigmask(SIG_SETMASK, &old_, nullptr);
    }

private:
    sigset_t pipe_, old_;
};

} // namespace

ChildResult runLimitedChild(const QString& program, const QStringList& arguments, const QByteArray& input,
                            const ChildLimits& limits)
{
    ChildResult result;
    QByteArray path = QFile::encodeName(program);
    std::vector<QByteArray> argumentTexts {path};
    for (const QString& argument : arguments)
        argumentTexts.push_back(argument.toUtf8());
    std::vector<char*> argv = pointers(argumentTexts);
    std::vector<QByteArray> environmentTexts = childEnvironment(limits);
    std::vector<char*> envp = pointers(environmentTexts);

    int toChild[2], fromChild[2];
    if (pipe2(toChild, O_CLOEXEC) != 0)
        return result;
    Fd childIn {toChild[0]}, feed {toChild[1]};
    if (pipe2(fromChild, O_CLOEXEC) != 0)
        return result;
    Fd answer {fromChild[0]}, childOut {fromChild[1]};
    Fd nullDevice {::open("/dev/null", O_WRONLY | O_CLOEXEC)};
    if (nullDevice.fd < 0)
        return result;

    PipeSignalBlock pipeSignal;
    // vfork: a fork would copy the page tables of the whole program (a large product list
    // made each metafile cost tens of milliseconds more); the parent waits until the exec.
    const pid_t pid = vfork();
    if (pid < 0)
        return result;
    if (pid == 0)
        becomeChild(childIn.fd, childOut.fd, nullDevice.fd, limits, path.constData(), argv.data(), envp.data());
    childIn.reset();
    childOut.reset();
    nullDevice.reset();
    fcntl(feed.fd, F_SETFL, O_NONBLOCK);
    fcntl(answer.fd, F_SETFL, O_NONBLOCK);

    QElapsedTimer clock;
    clock.start();
    qsizetype written = 0;
    if (input.isEmpty())
        feed.reset();
    result.outcome = ChildResult::Outcome::Exited;
    char buffer[65536];
    while (answer.fd >= 0) {
        const qint64 left = limits.wallMilliseconds - clock.elapsed();
        if (left <= 0) {
            result.outcome = ChildResult::Outcome::TimedOut;
            break;
        }
        pollfd fds[2] = {{answer.fd, POLLIN, 0}, {feed.fd, POLLOUT, 0}};
        const int ready = poll(fds, feed.fd >= 0 ? 2 : 1, int(left));
        if (ready < 0 && errno != EINTR)
            break;
        if (ready <= 0)
            continue;
        if (feed.fd >= 0 && (fds[1].revents & (POLLOUT | POLLERR | POLLHUP))) {
            const ssize_t n = ::write(feed.fd, input.constData() + written, size_t(input.size() - written));
            if (n > 0)
                written += n;
            if ((n < 0 && errno != EAGAIN && errno != EINTR) || written == input.size())
                feed.reset(); // all given, or the child stopped reading
        }
        if (fds[0].revents & (POLLIN | POLLERR | POLLHUP)) {
            const ssize_t n = ::read(answer.fd, buffer, sizeof buffer);
            if (n > 0) {
                result.output.append(buffer, n);
                if (result.output.size() > limits.outputLimit) {
                    result.outcome = ChildResult::Outcome::OutputTooLarge;
                    break;
                }
            } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
                answer.reset();
            }
        }
    }
    if (result.outcome != ChildResult::Outcome::Exited)
        ::kill(pid, SIGKILL);
    feed.reset();
    answer.reset();
    // The child has closed its output or been killed: its end is near, but not waited
    // for without end either.
    int status = 0;
    for (;;) {
        const pid_t done = waitpid(pid, &status, result.outcome == ChildResult::Outcome::Exited ? WNOHANG : 0);
        if (done == pid)
            break;
        if (done < 0 && errno != EINTR)
            return result;
        if (done == 0) {
            if (clock.elapsed() < limits.wallMilliseconds) {
                usleep(200);
                continue;
            }
            ::kill(pid, SIGKILL);
            result.outcome = ChildResult::Outcome::TimedOut;
        }
    }
    if (result.outcome == ChildResult::Outcome::Exited) {
        if (WIFSIGNALED(status)) {
            result.outcome = ChildResult::Outcome::Signalled;
            result.code = WTERMSIG(status);
        } else {
            result.code = WEXITSTATUS(status);
        }
    }
    return result;
}
