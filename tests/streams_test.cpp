// The built game on standard streams as other programs leave them: in
// non-blocking mode, failing, seekable, or read by someone who leaves.
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "tests/test_support.hpp"

namespace gravemoor::testing {
namespace {

constexpr auto WAIT = std::chrono::milliseconds(200);

void set_non_blocking(int fd) { fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK); }

std::string seed_0_with_name(std::string_view name) {
  std::string text = transcript("seed-0");
  return text.replace(text.find("Ann - "), 3, name);
}

TEST(Streams, WaitsForANonBlockingOutputToTakeTheText) {
  int ends[2];
  ASSERT_EQ(0, pipe2(ends, O_CLOEXEC));
  fcntl(ends[1], F_SETPIPE_SZ, 4096);  // the smallest pipe: the game must wait
  set_non_blocking(ends[1]);
  const std::string filler(4000, '.');
  ASSERT_EQ(4000, write(ends[1], filler.data(), filler.size()));
  const TempFile in("Ann\n");
  const TempFile err;
  const pid_t pid = start_game({"20"}, in.fd(), ends[1], err.fd());
  close(ends[1]);
  std::this_thread::sleep_for(WAIT);  // a slow reader
  const long calls = reads_and_writes(pid);
  const std::string out = slurp(ends[0]);
  close(ends[0]);
  const Ended ended = wait_game(pid);
  EXPECT_EQ(filler + transcript("seed-20"), out);
  EXPECT_EQ(0, ended.status);
  EXPECT_EQ("", slurp(err.fd()));
  EXPECT_LE(0, calls);
  EXPECT_LT(calls, MOST_CALLS_WHILE_WAITING);
}

TEST(Streams, WaitsForANonBlockingInputToBringTheName) {
  // A name that comes late, and an input that ends without one. A game
  // that has left already must fail the test, not end it by SIGPIPE.
  (void)signal(SIGPIPE, SIG_IGN);
  for (const std::string name : {"Ann", ""}) {
    int ends[2];
    ASSERT_EQ(0, pipe2(ends, O_CLOEXEC));
    set_non_blocking(ends[0]);
    const TempFile out;
    const TempFile err;
    const pid_t pid = start_game({"0"}, ends[0], out.fd(), err.fd());
    close(ends[0]);
    std::this_thread::sleep_for(WAIT);  // a slow writer
    const long calls = reads_and_writes(pid);
    const std::string line = name + "\n";
    if (!name.empty()) {
      EXPECT_EQ(4, write(ends[1], line.data(), line.size()));
    }
    close(ends[1]);
    const Ended ended = wait_game(pid);
    EXPECT_EQ(seed_0_with_name(name), slurp(out.fd())) << '"' << name << '"';
    EXPECT_EQ(0, ended.status) << '"' << name << '"';
    EXPECT_EQ("", slurp(err.fd())) << '"' << name << '"';
    EXPECT_LE(0, calls);
    EXPECT_LT(calls, MOST_CALLS_WHILE_WAITING) << '"' << name << '"';
  }
}

TEST(Streams, AReadErrorIsReportedAfterTheGame) {
  const int directory = open("/", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  ASSERT_GE(directory, 0);
  const TempFile out;
  const TempFile err;
  Ended ended = wait_game(start_game({"0"}, directory, out.fd(), err.fd()));
  EXPECT_EQ(seed_0_with_name(""), slurp(out.fd()));
  EXPECT_EQ("gravemoor: read error: Is a directory\n", slurp(err.fd()));
  EXPECT_EQ(1, ended.status);
  // With the output failing too, both failures are told.
  const int full = open("/dev/full", O_WRONLY | O_CLOEXEC);
  const TempFile both;
  ended = wait_game(start_game({"0"}, directory, full, both.fd()));
  EXPECT_EQ(
      "gravemoor: read error: Is a directory\n"
      "gravemoor: write error: No space left on device\n",
      slurp(both.fd()));
  EXPECT_EQ(1, ended.status);
  for (const int fd : {directory, full}) close(fd);
}

// The environment that preloads `library` into the game; the sanitizers'
// runtime wants to be first among the libraries, and is told not to mind.
std::vector<std::string> preloading(const char* library) {
  const char* const asan = std::getenv("ASAN_OPTIONS");
  return {
      std::string("LD_PRELOAD=") + library,
      std::string("ASAN_OPTIONS=") + (asan != nullptr ? asan : "") + ":verify_asan_link_order=0"};
}

TEST(Streams, OutOfMemoryIsToldWithoutAGame) {
  if (std::string_view(GRAVEMOOR_NO_MEMORY).empty()) {
    GTEST_SKIP() << "LD_PRELOAD cannot replace malloc in a static or an emulated game";
  }
  const TempFile in("Ann\n");
  const TempFile out;
  const TempFile err;
  const Ended ended =
      wait_game(start_game({"5"}, in.fd(), out.fd(), err.fd(), preloading(GRAVEMOOR_NO_MEMORY)));
  EXPECT_EQ(1, ended.status);
  EXPECT_EQ("", slurp(out.fd()));
  EXPECT_EQ("gravemoor: out of memory\n", slurp(err.fd()));
  EXPECT_EQ(0, lseek(in.fd(), 0, SEEK_CUR)) << "nothing read";
}

TEST(Streams, AReadErrorInTheNameKeepsWhatCameBeforeIt) {
  if (std::string_view(GRAVEMOOR_READ_ERROR).empty()) {
    GTEST_SKIP() << "LD_PRELOAD cannot replace read in a static or an emulated game";
  }
  // The first read brings "An", the second fails: the fighter is named An,
  // as the name's conversion keeps what it had, and the error is told.
  const TempFile in("An");
  const TempFile out;
  const TempFile err;
  const Ended ended =
      wait_game(start_game({"0"}, in.fd(), out.fd(), err.fd(), preloading(GRAVEMOOR_READ_ERROR)));
  EXPECT_EQ(transcript("seed-0-name-An"), slurp(out.fd()));
  EXPECT_EQ("gravemoor: read error: Input/output error\n", slurp(err.fd()));
  EXPECT_EQ(1, ended.status);
}

TEST(Streams, LeavesWhatFollowsTheNameToTheNextReader) {
  // On a file: given back up to the blank that ends the name, or up to the
  // last byte of a name cut short.
  const GameRun lines = run_game({"1"}, "Ann\n1\n2\n3\n");
  EXPECT_EQ(transcript("seed-1"), lines.out);
  EXPECT_EQ(4, lines.input_read);
  EXPECT_EQ(9, run_game({"0"}, "\n\n \t Ann Lee\nBob\n").input_read);
  EXPECT_EQ(51, run_game({"0"}, std::string(60, 'x') + "\nBob\n").input_read);
  EXPECT_EQ(3, run_game({"0"}, "Ann").input_read);
  // A pipe cannot take bytes back: the game takes the name and at most one
  // block of 256 bytes with it.
  int ends[2];
  ASSERT_EQ(0, pipe2(ends, O_CLOEXEC));
  const std::string input = "Ann\n" + std::string(1000, 'y');
  ASSERT_EQ(1004, write(ends[1], input.data(), input.size()));
  close(ends[1]);
  const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
  EXPECT_EQ(0, wait_game(start_game({"0"}, ends[0], null, null)).status);
  const std::string left = slurp(ends[0]);
  EXPECT_LE(1004U - 256U, left.size());
  EXPECT_LT(left.size(), 1000U);
  EXPECT_EQ(std::string(left.size(), 'y'), left);
  close(ends[0]);
  close(null);
}

TEST(Streams, AReaderThatLeavesAfterTheWholeTextChangesNothing) {
  // As `gravemoor 1 | head -3` with a player who types late: the reader
  // takes what first comes and goes while the game runs. On a pipe the game
  // writes nothing before the name and then the whole text at once, so
  // that first read is all of it and no SIGPIPE comes.
  int out[2];
  int in[2];
  ASSERT_EQ(0, pipe2(out, O_CLOEXEC));
  ASSERT_EQ(0, pipe2(in, O_CLOEXEC));
  const TempFile err;
  const pid_t pid = start_game({"1"}, in[0], out[1], err.fd());
  close(in[0]);
  close(out[1]);
  std::this_thread::sleep_for(WAIT);  // a slow typist
  ASSERT_EQ(4, write(in[1], "Ann\n", 4));
  close(in[1]);
  char first[8192];
  const ssize_t got = read(out[0], first, sizeof first);
  close(out[0]);
  const Ended ended = wait_game(pid);
  ASSERT_LT(0, got);
  EXPECT_EQ(transcript("seed-1"), std::string(first, static_cast<std::size_t>(got)));
  EXPECT_EQ(0, ended.status);
  EXPECT_EQ("", slurp(err.fd()));
}

}  // namespace
}  // namespace gravemoor::testing
