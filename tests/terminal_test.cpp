// The built calculator as a person meets it: in a pseudo-terminal, and with
// its standard output on a pipe that someone watches while typing.
#include <cstdlib>

#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>

#include "child.h"

namespace {

const char* const banner = "     *****   Press <RETURN> to continue   *****";

// Reads from fd into seen until it holds `text`; false at end of output or
// after ten quiet seconds (the calculator would be waiting for input).
bool wait_for(int fd, std::string& seen, const std::string& text)
{
    while (seen.find(text) == std::string::npos) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 10000) <= 0) return false;
        char buf[512];
        const ssize_t n = read(fd, buf, sizeof buf);
        if (n <= 0) return false;  // EIO on a terminal once the program is gone
        seen.append(buf, static_cast<size_t>(n));
    }
    return true;
}

void type(int fd, const std::string& keys)
{
    ASSERT_EQ(write(fd, keys.data(), keys.size()), static_cast<ssize_t>(keys.size()));
}

TEST(Terminal, TypicalRunClearsTheScreenAtTheEnd)
{
    int tty = -1;
    const pid_t pid = forkpty(&tty, nullptr, nullptr, nullptr);
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        setenv("TERM", "xterm", 1);
        execl(ERLANGB_PROGRAM, "erlangb", static_cast<char*>(nullptr));
        _exit(127);
    }
    std::string seen;
    ASSERT_TRUE(wait_for(tty, seen, "number of circuits [40] > ")) << seen;
    type(tty, "24\r");
    ASSERT_TRUE(wait_for(tty, seen, "offered load [34.2000 erlang] > ")) << seen;
    type(tty, "abc\r");
    ASSERT_TRUE(wait_for(tty, seen, "\aoffered load (1.0000::500.0000) [34.2000 erlang] > "))
        << seen;
    type(tty, "\r");
    ASSERT_TRUE(wait_for(tty, seen,
                         "\r\nblocking probability = 3.455725e-01\r\n"
                         "utilization %        = 93.26\r\n\r\n\r\n" +
                             std::string(banner)))
        << seen;
    const size_t waiting = seen.size();
    type(tty, "\r");
    wait_for(tty, seen, "never printed");  // read until the terminal closes
    EXPECT_NE(seen.find("\033[H\033[2J", waiting), std::string::npos) << "screen cleared";
    EXPECT_EQ(exit_status(pid), 0);
    close(tty);
}

TEST(Terminal, BellAndBannerReachAPipeBeforeTheWait)
{
    int in[2], out[2];
    ASSERT_EQ(pipe(in), 0);
    ASSERT_EQ(pipe(out), 0);
    std::signal(SIGPIPE, SIG_IGN);
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        dup2(in[0], 0);
        dup2(out[1], 1);
        close(in[1]);
        close(out[0]);
        execl(ERLANGB_PROGRAM, "erlangb", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(in[0]);
    close(out[1]);
    std::string seen;
    type(in[1], "0\n");
    EXPECT_TRUE(wait_for(out[0], seen, "\a")) << "bell while the question waits";
    type(in[1], "\n\n");
    EXPECT_TRUE(wait_for(out[0], seen, banner)) << "banner while the pause waits";
    type(in[1], "\n");
    close(in[1]);
    EXPECT_EQ(exit_status(pid), 0);
    close(out[0]);
}

}  // namespace
