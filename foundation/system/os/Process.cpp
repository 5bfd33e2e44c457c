#include "foundation/system/os/Process.h"

#include "foundation/system/os/Eintr.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace s::system::os {

namespace {

// Moves a descriptor to 3 or above, so the child's own 0, 1 and 2 never collide with the pipe
// (our standard streams may be closed, and then pipe2 hands out the low numbers).
int aboveStandardStreams(int fd)
{
    if (fd > 2)
        return fd;
    int moved = fcntl(fd, F_DUPFD_CLOEXEC, 3);
    int saved = errno;
    close(fd);
    errno = saved;
    return moved;
}

// This process's environment with each "NAME=value" of `changes` put in place of its namesake.
std::vector<std::string> mergedEnvironment(const std::vector<std::string>& changes)
{
    std::vector<std::string> merged;
    for (char** entry = environ; entry && *entry; ++entry) {
        std::string_view text(*entry);
        std::string_view name = text.substr(0, text.find('='));
        bool replaced = false;
        for (const std::string& change : changes) {
            if (change.size() > name.size() && change.compare(0, name.size(), name) == 0 && change[name.size()] == '=') {
                replaced = true;
                break;
            }
        }
        if (!replaced)
            merged.emplace_back(text);
    }
    merged.insert(merged.end(), changes.begin(), changes.end());
    return merged;
}

std::vector<char*> pointersTo(std::vector<std::string>& texts)
{
    std::vector<char*> pointers;
    pointers.reserve(texts.size() + 1);
    for (std::string& text : texts)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

int exitCodeOf(int status)
{
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return 255;
}

}

Process::~Process()
{
    int ignored = 0;
    if (m_pid > 0)
        terminate(ignored);
    closeOutput();
}

bool Process::start(const std::vector<std::string>& argv, const std::string& dir, const std::vector<std::string>& environment)
{
    if (m_pid > 0 || argv.empty()) {
        errno = EINVAL;
        return false;
    }
    closeOutput();
    m_exited = false;
    m_reapedElsewhere = false;

    // 1. The pipe: close-on-exec, so children that other threads start meanwhile never inherit it.
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        return false;
    int readFd = aboveStandardStreams(fds[0]);
    int writeFd = aboveStandardStreams(fds[1]);
    if (readFd < 0 || writeFd < 0) {
        int saved = errno;
        if (readFd >= 0)
            close(readFd);
        if (writeFd >= 0)
            close(writeFd);
        errno = saved;
        return false;
    }

    // 2. The child's streams and folder.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, writeFd, 1);
    posix_spawn_file_actions_adddup2(&actions, writeFd, 2);
    if (!dir.empty())
        posix_spawn_file_actions_addchdir_np(&actions, dir.c_str());

    // 3. A process group of its own, no blocked signals, and the default action for every signal
    //    (a signal this program ignores, such as SIGPIPE, would otherwise stay ignored in the tool).
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    posix_spawnattr_setpgroup(&attributes, 0);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    sigset_t defaults;
    sigemptyset(&defaults);
    for (int signal = 1; signal < 32; ++signal) {
        if (signal != SIGKILL && signal != SIGSTOP)
            sigaddset(&defaults, signal);
    }
    posix_spawnattr_setsigdefault(&attributes, &defaults);

    // 4. Start it. glibc reports a failed exec (a missing or non-executable file) as the result.
    std::vector<std::string> arguments = argv;
    std::vector<char*> argumentPointers = pointersTo(arguments);
    std::vector<std::string> variables = mergedEnvironment(environment);
    std::vector<char*> variablePointers = pointersTo(variables);
    pid_t pid = -1;
    int result = posix_spawn(&pid, arguments[0].c_str(), &actions, &attributes, argumentPointers.data(), variablePointers.data());
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    close(writeFd);
    if (result != 0) {
        close(readFd);
        errno = result;
        return false;
    }
    m_pid = pid;
    m_readFd = readFd;
    return true;
}

Process::Read Process::read(char* into, size_t capacity, size_t& count, int timeoutMs)
{
    count = 0;
    if (m_readFd < 0)
        return Read::Ended;
    pollfd watched { m_readFd, POLLIN, 0 };
    int ready = poll(&watched, 1, timeoutMs);
    if (ready == 0 || (ready < 0 && errno == EINTR))
        return Read::Idle;
    if (ready < 0)
        return Read::Ended;
    ssize_t got = ::read(m_readFd, into, capacity);
    if (got > 0) {
        count = static_cast<size_t>(got);
        return Read::Data;
    }
    if (got < 0 && (errno == EINTR || errno == EAGAIN))
        return Read::Idle;
    return Read::Ended;
}

bool Process::exited()
{
    if (m_pid <= 0 || m_exited)
        return m_exited;
    siginfo_t info {};
    // WNOWAIT leaves the child a zombie: its pid, and so its group id, stays taken until reap().
    int result = waitid(P_PID, static_cast<id_t>(m_pid), &info, WEXITED | WNOHANG | WNOWAIT);
    // ECHILD: somebody else in this program reaped it. It has ended either way; wait() then
    // reports that no exit code can be had.
    if (result < 0 && errno == ECHILD)
        m_reapedElsewhere = true;
    if ((result == 0 && info.si_pid == m_pid) || m_reapedElsewhere)
        m_exited = true;
    return m_exited;
}

bool Process::wait(int& exitCode)
{
    if (m_pid <= 0)
        return false;
    if (!m_exited) {
        siginfo_t info {};
        if (retryOnEintr([&] { return waitid(P_PID, static_cast<id_t>(m_pid), &info, WEXITED | WNOWAIT); }) == 0)
            m_exited = true;
        else
            m_reapedElsewhere = errno == ECHILD;
    }
    // The child is gone; what it left running in its group (a daemon, a converter) goes too.
    killGroup(SIGKILL);
    return reap(exitCode);
}

bool Process::terminate(int& exitCode, int graceMs)
{
    if (m_pid <= 0)
        return false;
    killGroup(SIGTERM);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(graceMs);
    while (!exited() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    killGroup(SIGKILL);
    return reap(exitCode);
}

void Process::closeOutput()
{
    if (m_readFd >= 0) {
        close(m_readFd);
        m_readFd = -1;
    }
}

bool Process::reap(int& exitCode)
{
    int status = 0;
    pid_t got = retryOnEintr([&] { return waitpid(m_pid, &status, 0); });
    m_pid = -1;
    m_exited = false;
    m_reapedElsewhere = false;
    if (got <= 0)
        return false;
    exitCode = exitCodeOf(status);
    return true;
}

void Process::killGroup(int signal)
{
    // Only while the child is unreaped: then its pid cannot belong to anybody else's group.
    if (m_pid > 0 && !m_reapedElsewhere)
        kill(-m_pid, signal);
}

}
