#pragma once

#include <cerrno>
#include <type_traits>
#include <unistd.h>

namespace s::system::os {

// Calls `call` again for as long as it fails with EINTR (a signal arrived before the call got
// anywhere) and returns its last result. For the POSIX calls that report failure as -1 with errno
// set: open, read, write, poll, flock, fsync, waitpid, waitid…
template<class Call>
auto retryOnEintr(Call&& call) -> std::invoke_result_t<Call&>
{
    for (;;) {
        auto result = call();
        if (result != -1 || errno != EINTR)
            return result;
    }
}

// Closes a descriptor once. Never retried: on Linux the descriptor is released even when close
// reports EINTR, and a retry could close one that another thread has opened meanwhile. EINTR
// therefore counts as closed.
inline bool closeDescriptor(int fd)
{
    return ::close(fd) == 0 || errno == EINTR;
}

}
