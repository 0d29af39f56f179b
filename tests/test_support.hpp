// Helpers for the whole-program tests: a runner for the built executable
// and the expected transcripts.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

// The runner needs POSIX processes and descriptors: the tests that use it
// are built for POSIX systems alone (see tests/CMakeLists.txt), and the
// cases that hold on every platform run from run_game.cmake.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

// The command that runs the game: a cross build's emulator, then the game.
#ifndef GRAVEMOOR_EMULATOR
#define GRAVEMOOR_EMULATOR
#endif

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

// The words that start the built game: the emulator's, if any, and its path.
inline std::vector<std::string> game_command() { return {GRAVEMOOR_EMULATOR GRAVEMOOR_EXE}; }

struct GameRun {
  int status = -1;  // the exit status, or 128 + the signal that ended it
  std::string out;
  std::string err;
  off_t input_read = 0;  // how far the program read its standard input
};

// Where the game's standard output goes: captured; a closed descriptor; a
// full disk; a pipe whose reader has gone.
enum class Stdout { capture, closed, full, broken_pipe };

inline std::string slurp(int fd) {
  std::string text;
  char buffer[4096];
  lseek(fd, 0, SEEK_SET);
  for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;)
    text.append(buffer, static_cast<std::size_t>(n));
  return text;
}

// Initialises `attributes` so that the spawned game meets SIGPIPE as it
// would under a shell, whatever this process does with it.
inline void init_default_sigpipe(posix_spawnattr_t& attributes) {
  posix_spawnattr_init(&attributes);
  sigset_t default_signals;
  sigemptyset(&default_signals);
  sigaddset(&default_signals, SIGPIPE);
  posix_spawnattr_setsigdefault(&attributes, &default_signals);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
}

// The NULL-terminated argument vector of `words`, which must outlive it.
inline std::vector<char*> argument_vector(std::vector<std::string>& words) {
  std::vector<char*> argv;
  argv.reserve(words.size() + 1);
  for (auto& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  return argv;
}

// Runs the built game with `args` after its name and `input` on standard input.
inline GameRun run_game(const std::vector<std::string>& args, std::string_view input,
                        Stdout stdout_kind = Stdout::capture) {
  std::FILE* const in = std::tmpfile();
  std::FILE* const out = std::tmpfile();
  std::FILE* const err = std::tmpfile();
  EXPECT_EQ(std::fwrite(input.data(), 1, input.size(), in), input.size());
  EXPECT_EQ(std::fflush(in), 0);
  lseek(fileno(in), 0, SEEK_SET);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fileno(in), 0);
  if (stdout_kind == Stdout::capture) posix_spawn_file_actions_adddup2(&actions, fileno(out), 1);
  if (stdout_kind == Stdout::closed) posix_spawn_file_actions_addclose(&actions, 1);
  if (stdout_kind == Stdout::full) {
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/full", O_WRONLY, 0);
  }
  int pipe_ends[2] = {-1, -1};
  if (stdout_kind == Stdout::broken_pipe && pipe(pipe_ends) == 0) {
    close(pipe_ends[0]);
    posix_spawn_file_actions_adddup2(&actions, pipe_ends[1], 1);
  }
  posix_spawn_file_actions_adddup2(&actions, fileno(err), 2);
  posix_spawnattr_t attributes;
  init_default_sigpipe(attributes);
  std::vector<std::string> words = game_command();
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv = argument_vector(words);

  GameRun run;
  pid_t pid = 0;
  if (posix_spawn(&pid, argv[0], &actions, &attributes, argv.data(), environ) == 0) {
    if (pipe_ends[1] >= 0) close(pipe_ends[1]);
    int status = 0;
    waitpid(pid, &status, 0);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  run.input_read = lseek(fileno(in), 0, SEEK_CUR);
  run.out = slurp(fileno(out));
  run.err = slurp(fileno(err));
  // Only read, so closing them cannot lose anything.
  for (std::FILE* file : {in, out, err}) (void)std::fclose(file);
  return run;
}

}  // namespace gravemoor::testing
