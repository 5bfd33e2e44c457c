#include "foundation/system/os/Eintr.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <pthread.h>
#include <thread>
#include <unistd.h>

using s::system::os::closeDescriptor;
using s::system::os::retryOnEintr;

namespace {

std::atomic<int> g_signals { 0 };

void countSignal(int) { ++g_signals; }

}

TEST(Eintr, RetriesOnlyWhileTheCallIsInterrupted)
{
    struct Case {
        const char* what;
        int failuresFirst;
        int errorFirst;
        int finalResult;
        int expectedCalls;
    };
    const Case cases[] = {
        { "succeeds at once", 0, 0, 7, 1 },
        { "interrupted three times", 3, EINTR, 7, 4 },
        { "other error is not retried", 1, EBADF, -1, 1 },
        { "zero is a result", 0, 0, 0, 1 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        int calls = 0;
        int result = retryOnEintr([&] {
            ++calls;
            if (calls <= c.failuresFirst) {
                errno = c.errorFirst;
                return -1;
            }
            return c.finalResult;
        });
        EXPECT_EQ(calls, c.expectedCalls);
        EXPECT_EQ(result, c.errorFirst == EBADF ? -1 : c.finalResult);
    }
    // The result type is the call's own (ssize_t for read).
    static_assert(std::is_same_v<decltype(retryOnEintr([] { return ssize_t(1); })), ssize_t>);
}

TEST(Eintr, AReadInterruptedBySignalsStillGetsItsData)
{
    // A handler installed without SA_RESTART makes a blocked read fail with EINTR.
    struct sigaction action {}, previous {};
    action.sa_handler = countSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;
    ASSERT_EQ(sigaction(SIGUSR1, &action, &previous), 0);

    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    std::atomic<bool> done { false };
    ssize_t got = 0;
    char byte = 0;
    pthread_t readerHandle {};
    std::atomic<bool> started { false };
    std::thread reader([&] {
        readerHandle = pthread_self();
        started = true;
        got = retryOnEintr([&] { return ::read(fds[0], &byte, 1); });
        done = true;
    });
    while (!started)
        std::this_thread::yield();

    // Interrupt the blocked read a few times, then give it its byte.
    const int before = g_signals;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (g_signals - before < 3 && std::chrono::steady_clock::now() < deadline) {
        pthread_kill(readerHandle, SIGUSR1);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_GE(g_signals - before, 3);
    EXPECT_FALSE(done) << "the read went on waiting through the signals";
    char sent = 'x';
    ASSERT_EQ(::write(fds[1], &sent, 1), 1);
    reader.join();
    EXPECT_EQ(got, 1);
    EXPECT_EQ(byte, 'x');

    EXPECT_TRUE(closeDescriptor(fds[0]));
    EXPECT_TRUE(closeDescriptor(fds[1]));
    sigaction(SIGUSR1, &previous, nullptr);
}
