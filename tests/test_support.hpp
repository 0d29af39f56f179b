// Helpers for the whole-program tests on POSIX: the one way to start the
// built game and wait for it, and the expected transcripts.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace gravemoor::testing {

inline std::string read_file(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

// The expected transcript of a game, named as in tests/transcripts.
inline std::string transcript(std::string_view name) {
  return read_file(std::string(GRAVEMOOR_TRANSCRIPTS "/") + std::string(name) + ".txt");
}

// Everything left to read on `fd`, from its start if it can seek.
inline std::string slurp(int fd) {
  std::string text;
  char buffer[4096];
  lseek(fd, 0, SEEK_SET);
  for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;)
    text.append(buffer, static_cast<std::size_t>(n));
  return text;
}

// A temporary file, open for reading and writing, that goes when the test does.
struct TempFile {
  explicit TempFile(std::string_view text = "") : file(std::tmpfile()) {
    EXPECT_EQ(text.size(), std::fwrite(text.data(), 1, text.size(), file));
    EXPECT_EQ(0, std::fflush(file));
    lseek(fd(), 0, SEEK_SET);
  }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
  ~TempFile() { (void)std::fclose(file); }  // read only: closing loses nothing
  int fd() const { return fileno(file); }

  std::FILE* file;
};

// Starts the built game (through a cross build's emulator) with `args`
// after its name, on the descriptors `in`, `out` and `err` (-1: closed),
// with SIGPIPE at its default as under a shell, and with the variables in
// `extra_environment` ("NAME=value") added to this process's. Returns its
// process, or -1. Descriptors to keep from the game must be close-on-exec.
// (posix_spawn, not fork: under qemu-i386 a fork of this process never
// returns in the child.)
inline pid_t start_game(const std::vector<std::string>& args, int in, int out, int err,
                        const std::vector<std::string>& extra_environment = {}) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  const int fds[] = {in, out, err};
  for (int target = 0; target < 3; ++target) {
    if (fds[target] < 0) {
      posix_spawn_file_actions_addclose(&actions, target);
    } else {
      posix_spawn_file_actions_adddup2(&actions, fds[target], target);
    }
  }
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t default_signals;
  sigemptyset(&default_signals);
  sigaddset(&default_signals, SIGPIPE);
  posix_spawnattr_setsigdefault(&attributes, &default_signals);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);

  std::vector<std::string> words = {GRAVEMOOR_EMULATOR GRAVEMOOR_EXE};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<std::string> environment = extra_environment;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string name(*entry, std::strcspn(*entry, "=") + 1);
    bool replaced = false;
    for (const auto& extra : extra_environment) replaced |= extra.starts_with(name);
    if (!replaced) environment.emplace_back(*entry);
  }
  const auto pointers = [](std::vector<std::string>& strings) {
    std::vector<char*> vector;
    vector.reserve(strings.size() + 1);
    for (auto& s : strings) vector.push_back(s.data());
    vector.push_back(nullptr);
    return vector;
  };
  std::vector<char*> argv = pointers(words);
  std::vector<char*> envp = pointers(environment);
  pid_t pid = -1;
  if (posix_spawn(&pid, argv[0], &actions, &attributes, argv.data(), envp.data()) != 0) pid = -1;
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

struct Ended {
  int status = -1;  // the exit status, or 128 + the signal that ended it
};

// Waits for the game started as `pid` to end.
inline Ended wait_game(pid_t pid) {
  Ended ended;
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, 0) != pid) return ended;
  ended.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return ended;
}

// How many read and write calls the running process `pid` has made so far
// (Linux counts them in /proc/PID/io), or -1 if that cannot be read.
inline long reads_and_writes(pid_t pid) {
  std::ifstream io("/proc/" + std::to_string(pid) + "/io");
  long calls = 0;
  int found = 0;
  std::string key;
  long value = 0;
  while (io >> key >> value) {
    if (key == "syscr:" || key == "syscw:") {
      calls += value;
      ++found;
    }
  }
  return found == 2 ? calls : -1;
}

// A game that waits for its input or output sleeps in the kernel: until it
// is woken, it makes no call. Starting makes a few dozen (the emulator's
// own reads, for a cross build); a game that spun on EAGAIN or on an empty
// raw terminal would make tens of thousands in the tests' waits, on any
// machine.
constexpr long MOST_CALLS_WHILE_WAITING = 1000;

struct GameRun {
  int status = -1;  // as in Ended
  std::string out;
  std::string err;
  off_t input_read = 0;  // how far the program read its standard input
};

// Runs the game with `args` and `input` on standard input, capturing its
// standard output, or with standard output on `out` (-1: closed).
inline constexpr int CAPTURE = -2;
inline GameRun run_game(const std::vector<std::string>& args, std::string_view input,
                        int out = CAPTURE) {
  const TempFile in(input);
  const TempFile captured;
  const TempFile err;
  GameRun run;
  run.status =
      wait_game(start_game(args, in.fd(), out == CAPTURE ? captured.fd() : out, err.fd())).status;
  run.input_read = lseek(in.fd(), 0, SEEK_CUR);
  run.out = slurp(captured.fd());
  run.err = slurp(err.fd());
  return run;
}

}  // namespace gravemoor::testing
