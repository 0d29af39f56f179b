// A game played on a pseudo-terminal, as a person plays it: the prompt must
// be on the screen before the game waits for the name, and the game waits
// for the name however the terminal is set, until the input really ends.
#include <gtest/gtest.h>

#include <string>

#include "tests/test_support.hpp"

// openpty() is declared in <pty.h> on Linux, <util.h> on macOS and
// <libutil.h> on FreeBSD; Windows has no pseudo-terminals of this kind.
#if defined(__APPLE__)
#include <util.h>
#define GRAVEMOOR_HAVE_OPENPTY 1
#elif defined(__FreeBSD__)
#include <sys/ioctl.h>
#include <sys/types.h>
#include <termios.h>

#include <libutil.h>
#define GRAVEMOOR_HAVE_OPENPTY 1
#elif __has_include(<pty.h>)
#include <pty.h>
#define GRAVEMOOR_HAVE_OPENPTY 1
#else
#define GRAVEMOOR_HAVE_OPENPTY 0
#endif

#if GRAVEMOOR_HAVE_OPENPTY
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#endif

namespace gravemoor::testing {
namespace {

#if GRAVEMOOR_HAVE_OPENPTY

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

// Waits up to `timeout_ms` for the game to end; kills it if it has not.
// Returns its wait status, or -1 if it had to be killed.
int wait_for_game(pid_t pid, int timeout_ms) {
  int status = 0;
  for (int waited = 0; waited < timeout_ms; waited += 10) {
    if (waitpid(pid, &status, WNOHANG) == pid) return status;
    usleep(10'000);
  }
  kill(pid, SIGKILL);
  waitpid(pid, &status, 0);
  return -1;
}

// A game of `seed` on a new pseudo-terminal, whose other side is `terminal`;
// `set_up` may change the terminal's modes first. Returns the game's
// process, or -1.
template <class SetUp>
pid_t start_on_terminal(const char* seed, int& terminal, SetUp set_up) {
  int screen_side = -1;
  if (openpty(&terminal, &screen_side, nullptr, nullptr, nullptr) != 0) return -1;
  set_up(screen_side);
  // Started with posix_spawn rather than a fork: a fork of this process
  // never returns in the child under qemu-i386, which a cross build's tests
  // run under, while posix_spawn does.
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  for (int fd : {0, 1, 2}) posix_spawn_file_actions_adddup2(&actions, screen_side, fd);
  posix_spawn_file_actions_addclose(&actions, terminal);
  posix_spawn_file_actions_addclose(&actions, screen_side);
  std::vector<std::string> words = game_command();
  words.emplace_back(seed);
  std::vector<char*> argv = argument_vector(words);
  pid_t pid = -1;
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  close(screen_side);  // else the terminal stays open after the game ends
  return pid;
}

pid_t start_on_terminal(const char* seed, int& terminal) {
  return start_on_terminal(seed, terminal, [](int) {});
}

// Waits up to five seconds for the game to end, as wait_for_game, and
// returns the processor time it took in milliseconds, or -1 (and status -1)
// if it had to be killed.
double cpu_ms_when_ended(pid_t pid, int& status) {
  rusage usage{};
  int waited = 0;
  while (wait4(pid, &status, WNOHANG, &usage) != pid) {
    if ((waited += 10) > 5000) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      status = -1;
      return -1;
    }
    usleep(10'000);
  }
  const auto ms = [](const timeval& t) {
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_usec) / 1e3;
  };
  return ms(usage.ru_utime) + ms(usage.ru_stime);
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
  const int status = wait_for_game(pid, 5000);
  EXPECT_EQ(expected.substr(0, prompt_end) + "Ann\r\n" + expected.substr(prompt_end), screen);
  EXPECT_TRUE(status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0)
      << "the game did not end by itself";
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
    ASSERT_EQ(4, write(terminal, "Ann\r", 4));  // no line discipline: CR is the blank
    while (read_screen(terminal, screen, 5000) > 0) {
    }
    close(terminal);
    const double cpu_ms = cpu_ms_when_ended(pid, status);
    // Raw: neither an echo of the name nor a CR before each line break.
    EXPECT_EQ(transcript("seed-1"), screen) << "VTIME " << +tenths;
    EXPECT_TRUE(status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << "VTIME " << +tenths << ": the game did not end by itself";
    // Asleep while it waits, not spinning on empty reads.
    EXPECT_LE(0, cpu_ms);
    EXPECT_LT(cpu_ms, 100) << "VTIME " << +tenths;
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
  const int status = wait_for_game(pid, 5000);
  const std::string nameless = as_terminal_shows(transcript("seed-0-nameless"));
  const std::string after_prompt = nameless.substr(nameless.find(prompt) + prompt.size());
  EXPECT_TRUE(screen.ends_with(after_prompt)) << screen;
  EXPECT_TRUE(status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0)
      << "the game did not end by itself";
}

#else

TEST(Terminal, ShowsThePromptBeforeWaitingForTheName) {
  GTEST_SKIP() << "needs openpty(), which this platform lacks";
}

TEST(Terminal, ARawTerminalWaitsForTheName) {
  GTEST_SKIP() << "needs openpty(), which this platform lacks";
}

TEST(Terminal, CtrlDEndsTheInputOfACookedTerminal) {
  GTEST_SKIP() << "needs openpty(), which this platform lacks";
}

#endif

}  // namespace
}  // namespace gravemoor::testing
