#include "cli/Interrupt.h"

#include <gtest/gtest.h>

#include <poll.h> // the child's stand-in for hidapi's read
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <thread>

namespace {
using namespace std::chrono_literals;

// The child's side: a read that waits for its reply, as hid_read_timeout does in poll(), must
// get the reply though Ctrl-C came meanwhile; then the child idles until the second signal.
[[noreturn]] void Child(int reply, int ready)
{
    Interrupt::Start();
    [[maybe_unused]] ssize_t done = write(ready, "r", 1);
    pollfd waiting{reply, POLLIN, 0};
    if (poll(&waiting, 1, 5000) != 1)
        _exit(1); // the read was broken or timed out
    if (!Interrupt::Requested() || WaitForReady({Interrupt::WakeSignal()}, 0) != 0)
        _exit(2);
    done = write(ready, "k", 1);
    std::this_thread::sleep_for(5s);
    _exit(3); // the second signal did not end it
}
} // namespace

TEST(InterruptTest, TheFirstSignalLetsAReadFinishAndTheSecondEndsAtOnce)
{
    int reply[2];
    int ready[2];
    ASSERT_EQ(pipe(reply), 0);
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0)
        Child(reply[0], ready[1]);
    // Only the child writes these: a child that ends early gives end of file, not a hang.
    close(ready[1]);
    close(reply[0]);
    char state = 0;
    ASSERT_EQ(read(ready[0], &state, 1), 1);
    kill(child, SIGINT);
    std::this_thread::sleep_for(100ms);
    ASSERT_EQ(write(reply[1], "x", 1), 1);
    ASSERT_EQ(read(ready[0], &state, 1), 1);
    EXPECT_EQ(state, 'k');
    kill(child, SIGTERM);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 128 + SIGTERM);
}
