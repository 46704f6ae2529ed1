// SPDX-License-Identifier: MIT
// The built calculator as a person meets it: in a pseudo-terminal, and with
// its standard output on a pipe that someone watches while typing.
#include <cstdlib>

#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>

#include "child.h"

namespace {

const std::string banner = "     *****   Press <RETURN> to continue   *****";

struct Program {
    pid_t pid;
    int keys, screen;  // where to type, and where its output shows
};

// Starts the calculator on a pseudo-terminal, or with stdin and stdout on pipes.
Program start(bool terminal)
{
    if (terminal) {
        int tty = -1;
        const pid_t pid = forkpty(&tty, nullptr, nullptr, nullptr);
        if (pid == 0) setenv("TERM", "xterm", 1), exec_program();
        return {pid, tty, tty};
    }
    int in[2], out[2];
    if (pipe(in) != 0 || pipe(out) != 0) return {-1, -1, -1};
    std::signal(SIGPIPE, SIG_IGN);
    const pid_t pid = fork();
    if (pid == 0) dup2(in[0], 0), dup2(out[1], 1), close(in[1]), close(out[0]), exec_program();
    close(in[0]), close(out[1]);
    return {pid, in[1], out[0]};
}

// Reads the screen into seen until it holds `text`; false at its end or
// after ten quiet seconds (the calculator would be waiting for input).
bool wait_for(int fd, std::string& seen, const std::string& text)
{
    while (seen.find(text) == std::string::npos) {
        pollfd p{fd, POLLIN, 0};
        char buf[512];
        const ssize_t n = poll(&p, 1, 10000) > 0 ? read(fd, buf, sizeof buf) : 0;
        if (n <= 0) return false;  // EIO on a terminal once the program is gone
        seen.append(buf, static_cast<size_t>(n));
    }
    return true;
}

// Types each step's keys, then waits until the screen shows what follows.
void play(const Program& p, std::string& seen,
          const std::pair<std::string, std::string> (&steps)[4])
{
    for (const auto& [keys, shows] : steps) {
        put(p.keys, keys);
        ASSERT_TRUE(wait_for(p.screen, seen, shows)) << "typed \"" << keys << "\", saw:\n" << seen;
    }
}

TEST(Terminal, TypicalRunClearsTheScreenAtTheEnd)
{
    const Program p = start(true);
    ASSERT_GE(p.pid, 0);
    std::string seen;
    play(p, seen,
         {{"", "number of circuits [40] > "},
          {"24\r", "offered load [34.2000 erlang] > "},
          {"abc\r", "\aoffered load (1.0000::500.0000) [34.2000 erlang] > "},
          {"\r",
           "\r\nblocking probability = 3.455725e-01\r\nutilization %        = 93.26\r\n\r\n\r\n" +
               banner}});
    const size_t waiting = seen.size();
    put(p.keys, "\r");
    wait_for(p.screen, seen, "never printed");  // read until the terminal closes
    EXPECT_NE(seen.find("\033[H\033[2J", waiting), std::string::npos) << "screen cleared";
    EXPECT_EQ(exit_status(p.pid), 0);
    close(p.keys);
}

TEST(Terminal, BellAndBannerReachAPipeBeforeTheWait)
{
    const Program p = start(false);
    ASSERT_GE(p.pid, 0);
    std::string seen;
    play(p, seen, {{"0\n", "\a"}, {"\n\n", banner}});
    put(p.keys, "\n");
    close(p.keys);
    EXPECT_EQ(exit_status(p.pid), 0);
    close(p.screen);
}

}  // namespace
