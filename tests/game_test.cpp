// The built game, run as a player runs it, in what only POSIX can set up: how
// far it reads its input, and a standard output that is closed or a pipe
// whose reader has gone. The transcripts, exit statuses and the full device
// are checked on every platform by run_game.sh (see tests/CMakeLists.txt).
#include <gtest/gtest.h>

#include "tests/test_support.hpp"

namespace gravemoor::testing {
namespace {

TEST(Game, WrongArgumentCountEndsWithoutReading) {
  for (const auto& args : std::vector<std::vector<std::string>>{{}, {"1", "2"}, {"1", "2", "3"}}) {
    const GameRun run = run_game(args, "Ann\n");
    EXPECT_EQ(255, run.status) << args.size() << " arguments";
    EXPECT_EQ(0, run.input_read) << args.size() << " arguments";
  }
}

TEST(Game, OutputThatCannotBeWrittenIsAFailure) {
  const GameRun closed = run_game({"0"}, "Ann\n", -1);
  EXPECT_EQ(1, closed.status);
  EXPECT_EQ("gravemoor: write error: Bad file descriptor\n", closed.err);
  // A reader that leaves early ends the game the ordinary way.
  int ends[2];
  ASSERT_EQ(0, pipe2(ends, O_CLOEXEC));
  close(ends[0]);
  const GameRun broken = run_game({"0"}, "Ann\n", ends[1]);
  close(ends[1]);
  EXPECT_EQ(128 + SIGPIPE, broken.status);
  EXPECT_EQ("", broken.err);
}

}  // namespace
}  // namespace gravemoor::testing
