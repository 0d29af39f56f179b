// A game played on a pseudo-terminal, as a person plays it: the prompt must
// be on the screen before the game waits for the name, and the game waits
// for the name however the terminal is set, until the input really ends.
#include <gtest/gtest.h>

#include <string>

#include "tests/test_support.hpp"

#include <poll.h>
#include <pty.h>
#include <termios.h>

namespace gravemoor::testing {
namespace {

// Appends what the terminal shows within `timeout_ms`. Returns how many
// bytes came: 0 when none did in time, -1 once the game has closed the
// terminal.
ssize_t read_screen(int terminal, std::string& screen, int timeout_ms) {
  pollfd ready{terminal, POLLIN, 0};
  if (poll(&ready, 1, timeout_ms) <= 0) return 0;
  char buffer[4096];
  const ssize_t n = read(terminal, buffer, sizeof buffer);
  if (n <= 0) return -1;  // EIO: the game has ended
  screen.append(buffer, static_cast<std::size_t>(n));
  return n;
}

std::string as_terminal_shows(std::string text) {
  for (std::size_t at = 0; (at = text.find('\n', at)) != std::string::npos; at += 2) {
    text.insert(at, 1, '\r');
  }
  return text;
}

// A game of `seed` on a new pseudo-terminal, whose other side is `terminal`;
// `set_up` may change the terminal's modes first. Returns the game's
// process, or -1.
template <class SetUp>
pid_t start_on_terminal(const char* seed, int& terminal, SetUp set_up) {
  int screen_side = -1;
  if (openpty(&terminal, &screen_side, nullptr, nullptr, nullptr) != 0) return -1;
  fcntl(terminal, F_SETFD, FD_CLOEXEC);
  fcntl(screen_side, F_SETFD, FD_CLOEXEC);
  set_up(screen_side);
  const pid_t pid = start_game({seed}, screen_side, screen_side, screen_side);
  close(screen_side);  // else the terminal stays open after the game ends
  return pid;
}

pid_t start_on_terminal(const char* seed, int& terminal) {
  return start_on_terminal(seed, terminal, [](int) {});
}

TEST(Terminal, ShowsThePromptBeforeWaitingForTheName) {
  int terminal = -1;
  const pid_t pid = start_on_terminal("0", terminal);
  ASSERT_NE(-1, pid);

  const std::string expected = as_terminal_shows(transcript("seed-0"));
  const std::string prompt = "enter your name... below\r\n";
  const std::size_t prompt_end = expected.find(prompt) + prompt.size();

  std::string screen;
  for (int waited = 0; screen.size() < prompt_end && waited < 100; ++waited) {
    read_screen(terminal, screen, 100);
  }
  read_screen(terminal, screen, 300);  // anything more would show here
  EXPECT_EQ(expected.substr(0, prompt_end), screen);

  ASSERT_EQ(4, write(terminal, "Ann\r", 4));  // typed, then Enter
  while (read_screen(terminal, screen, 5000) > 0) {
  }
  close(terminal);
  EXPECT_EQ(0, wait_game(pid).status);
  EXPECT_EQ(expected.substr(0, prompt_end) + "Ann\r\n" + expected.substr(prompt_end), screen);
}

TEST(Terminal, ARawTerminalWaitsForTheName) {
  // A terminal in raw mode whose reads return at once, or after a tenth of
  // a second, with nothing when nothing was typed: no end of input.
  for (const cc_t tenths : {cc_t{0}, cc_t{1}}) {
    int terminal = -1;
    const pid_t pid = start_on_terminal("1", terminal, [tenths](int screen_side) {
      termios modes{};
      tcgetattr(screen_side, &modes);
      cfmakeraw(&modes);
      modes.c_cc[VMIN] = 0;
      modes.c_cc[VTIME] = tenths;
      tcsetattr(screen_side, TCSANOW, &modes);
    });
    ASSERT_NE(-1, pid);
    std::string screen;
    for (int waited = 0; waited < 5; ++waited) read_screen(terminal, screen, 100);
    int status = 0;
    EXPECT_EQ(0, waitpid(pid, &status, WNOHANG)) << "VTIME " << +tenths << ": the game has ended";
    const long calls = reads_and_writes(pid);
    ASSERT_EQ(4, write(terminal, "Ann\r", 4));  // no line discipline: CR is the blank
    while (read_screen(terminal, screen, 5000) > 0) {
    }
    close(terminal);
    const Ended ended = wait_game(pid);
    // Raw: neither an echo of the name nor a CR before each line break.
    EXPECT_EQ(transcript("seed-1"), screen) << "VTIME " << +tenths;
    EXPECT_EQ(0, ended.status) << "VTIME " << +tenths;
    // Asleep while it waits, not spinning on empty reads.
    EXPECT_LE(0, calls);
    EXPECT_LT(calls, MOST_CALLS_WHILE_WAITING) << "VTIME " << +tenths;
  }
}

TEST(Terminal, CtrlDEndsTheInputOfACookedTerminal) {
  int terminal = -1;
  const pid_t pid = start_on_terminal("0", terminal);
  ASSERT_NE(-1, pid);
  const std::string prompt = "enter your name... below\r\n";
  std::string screen;
  for (int waited = 0; screen.find(prompt) == std::string::npos && waited < 100; ++waited) {
    read_screen(terminal, screen, 100);
  }
  ASSERT_EQ(1, write(terminal, "\x04", 1));  // Ctrl-D at the start of a line
  while (read_screen(terminal, screen, 5000) > 0) {
  }
  close(terminal);
  EXPECT_EQ(0, wait_game(pid).status);
  const std::string nameless = as_terminal_shows(transcript("seed-0-nameless"));
  const std::string after_prompt = nameless.substr(nameless.find(prompt) + prompt.size());
  EXPECT_TRUE(screen.ends_with(after_prompt)) << screen;
}

}  // namespace
}  // namespace gravemoor::testing
