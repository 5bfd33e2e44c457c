#pragma once

#include <cstddef>
#include <string>
#include <sys/types.h>
#include <vector>

namespace s::system::os {

// One child program run without a shell: its standard output and standard error arrive on one
// pipe, its standard input is /dev/null, and it leads a process group of its own, so ending it
// also ends whatever it started (a downloader's converter, for example).
//
// The owner reads with a time limit, so it can notice a stop request while the child is silent,
// and either waits for the exit code or terminates the whole group. The destructor terminates a
// child that is still running; no child outlives its Process object unreaped.
class Process {
public:
    // What a read gave.
    enum class Read {
        Data, // bytes were read
        Idle, // nothing arrived within the time limit
        Ended, // every writer closed the pipe (or reading failed): no more output will come
    };

    // The time a terminated group gets to end by itself before it is killed.
    static constexpr int defaultGraceMs = 400;

    Process() = default;
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    // Starts the program file `argv[0]` (a path, not looked up on the PATH) with the argument vector
    // `argv`, in the working folder `dir` (the current one when empty), with this process's
    // environment in which each "NAME=value" of `environment` replaces or adds one variable.
    // Returns false, with errno set and nothing running, when the pipe or the process cannot be made.
    bool start(const std::vector<std::string>& argv, const std::string& dir, const std::vector<std::string>& environment = {});

    bool started() const { return m_pid > 0; }
    pid_t pid() const { return m_pid; }

    // The child's process group (its own pid while it runs).
    pid_t group() const { return m_pid; }

    // Reads what the child wrote, waiting at most `timeoutMs` for the first byte (0: do not wait).
    // `count` receives the number of bytes stored in `into` when Data is returned.
    Read read(char* into, size_t capacity, size_t& count, int timeoutMs);

    // True once the child itself has exited (it stays unreaped, so its group id cannot be reused
    // while others of the group may still run). Does not wait.
    bool exited();

    // Waits for the child's end, reaps it and gives its exit code: the code it passed to exit,
    // or 128 + the signal number when a signal ended it. Any other member of its group still
    // running at that point is killed, so nothing the child started stays behind. Returns false
    // when there is no child to wait for.
    bool wait(int& exitCode);

    // Ends the child and its whole group: SIGTERM, then SIGKILL to whatever still runs after
    // `graceMs`, and reaps the child. Its exit code is given like wait() gives it.
    bool terminate(int& exitCode, int graceMs = defaultGraceMs);

    // Closes the reading end of the pipe early (the child then gets SIGPIPE on its next write).
    void closeOutput();

private:
    bool reap(int& exitCode);
    void killGroup(int signal);

    pid_t m_pid { -1 };
    int m_readFd { -1 };
    bool m_exited { false };
    // Another part of the program reaped the child (waitpid(-1)): its pid may belong to anybody now.
    bool m_reapedElsewhere { false };
};

}
