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

// Where the calculator's standard input and output are: both on a
// pseudo-terminal, both on pipes, or input piped in while the output shows
// on the terminal.
enum class Seat { terminal, pipes, piped_input };

// Starts the calculator in that seat.
Program start(Seat seat)
{
    int in[2], out[2];
    if (pipe(in) != 0 || pipe(out) != 0) return {-1, -1, -1};
    std::signal(SIGPIPE, SIG_IGN);
    if (seat != Seat::pipes) {
        int tty = -1;
        const pid_t pid = forkpty(&tty, nullptr, nullptr, nullptr);
        if (pid == 0) {
            if (seat == Seat::piped_input) dup2(in[0], 0);
            close(in[1]), setenv("TERM", "xterm", 1), exec_program();
        }
        close(in[0]);
        if (seat == Seat::terminal) close(in[1]);
        return {pid, seat == Seat::terminal ? tty : in[1], tty};
    }
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

TEST(Terminal, TypicalRunClearsTheScreenButKeepsTheScrollback)
{
    const Program p = start(Seat::terminal);
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
    EXPECT_EQ(seen.find("\033[3J"), std::string::npos) << "scrollback erased";
    EXPECT_EQ(exit_status(p.pid), 0);
    close(p.keys);
}

// Answers piped in also answer the pause at once: the report stays on the
// terminal, which nobody has read yet.
TEST(Terminal, PipedAnswersLeaveTheReportOnTheScreen)
{
    const Program p = start(Seat::piped_input);
    ASSERT_GE(p.pid, 0);
    put(p.keys, "10\n5\n\n");
    close(p.keys);
    std::string seen;
    wait_for(p.screen, seen, "never printed");
    EXPECT_NE(seen.find("blocking probability = 1.838457e-02\r\n"), std::string::npos) << seen;
    EXPECT_EQ(seen.find("\033[2J"), std::string::npos) << "screen cleared:\n" << seen;
    EXPECT_EQ(exit_status(p.pid), 0);
    close(p.screen);
}

TEST(Terminal, BellAndBannerReachAPipeBeforeTheWait)
{
    const Program p = start(Seat::pipes);
    ASSERT_GE(p.pid, 0);
    std::string seen;
    play(p, seen, {{"0\n", "\a"}, {"\n\n", banner}});
    put(p.keys, "\n");
    close(p.keys);
    EXPECT_EQ(exit_status(p.pid), 0);
    close(p.screen);
}

}  // namespace
