// The built game, run as a player runs it: arguments, standard input, the
// exact text on standard output and the exit status.
#include <gtest/gtest.h>

#include "tests/test_support.hpp"

namespace gravemoor::testing {
namespace {

// The transcript of the game of seed 0 for a fighter named `name`.
std::string seed_0_with_name(std::string_view name) {
  std::string text = transcript("seed-0");
  return text.replace(text.find("Ann - "), 3, name);
}

TEST(Game, WrongArgumentCountEndsSilentlyWithoutReading) {
  for (const auto& args : std::vector<std::vector<std::string>>{{}, {"1", "2"}, {"1", "2", "3"}}) {
    const GameRun run = run_game(args, "Ann\n");
    EXPECT_EQ(255, run.status) << args.size() << " arguments";
    EXPECT_EQ("", run.out);
    EXPECT_EQ("", run.err);
    EXPECT_EQ(0, run.input_read);
  }
}

TEST(Game, PlaysEachWayAFightCanEnd) {
  // 0: lizardman beaten, fighter falls to the ape; 1: fighter falls to the
  // lizardman; 3: both fall in the lizardman fight; 4: ape beaten; 5: bat
  // beaten; 212: both fall in the bat fight; 20: a rest that restores hit
  // points, and a fight of fifteen rounds.
  for (const char* seed : {"0", "1", "3", "4", "5", "20", "212"}) {
    const GameRun run = run_game({seed}, "Ann\n");
    EXPECT_EQ(transcript(std::string("seed-") + seed), run.out) << "seed " << seed;
    EXPECT_EQ(0, run.status) << "seed " << seed;
    EXPECT_EQ("", run.err) << "seed " << seed;
  }
}

TEST(Game, ArgumentsThatReplayTheSameGame) {
  const std::vector<std::pair<std::string, std::string>> cases{
      {"abc", "seed-0"},         {"", "seed-0"},           {"--help", "seed-0"},
      {"-", "seed-0"},           {"+-3", "seed-0"},        {"2147483648", "seed-0"},
      {"-2147483648", "seed-0"}, {"4294967297", "seed-1"}, {"-5", "seed-5"},
      {" \t+5x", "seed-5"},      {"3abc", "seed-3"},       {"-4294967292", "seed-4"},
  };
  for (const auto& [argument, expected] : cases) {
    EXPECT_EQ(transcript(expected), run_game({argument}, "Ann\n").out) << '"' << argument << '"';
  }
}

TEST(Game, TakesTheFirstWordAsTheName) {
  EXPECT_EQ(seed_0_with_name("Ann"), run_game({"0"}, "\n\n \t Ann Lee\nBob\n").out);
  EXPECT_EQ(seed_0_with_name(""), run_game({"0"}, "").out);
  EXPECT_EQ(seed_0_with_name(""), run_game({"0"}, " \n\r\n").out);
  EXPECT_EQ(seed_0_with_name("An"), run_game({"0"}, std::string("An\0n\n", 5)).out);
  EXPECT_EQ(seed_0_with_name("\xC3\x85sa\x01"), run_game({"0"}, "\xC3\x85sa\x01\n").out);
  const std::string long_word(60, 'x');
  EXPECT_EQ(seed_0_with_name(long_word.substr(0, 51)), run_game({"0"}, long_word).out);
}

TEST(Game, OutputThatCannotBeWrittenIsAFailure) {
  const GameRun full = run_game({"0"}, "Ann\n", Stdout::full);
  EXPECT_EQ(1, full.status);
  EXPECT_EQ("gravemoor: write error: No space left on device\n", full.err);
  const GameRun closed = run_game({"0"}, "Ann\n", Stdout::closed);
  EXPECT_EQ(1, closed.status);
  EXPECT_EQ("gravemoor: write error: Bad file descriptor\n", closed.err);
  // A reader that leaves early ends the game the ordinary way.
  const GameRun broken = run_game({"0"}, "Ann\n", Stdout::broken_pipe);
  EXPECT_EQ(128 + SIGPIPE, broken.status);
  EXPECT_EQ("", broken.err);
  // A wrong argument count writes nothing, so nothing can fail.
  const GameRun usage = run_game({}, "Ann\n", Stdout::full);
  EXPECT_EQ(255, usage.status);
  EXPECT_EQ("", usage.err);
}

}  // namespace
}  // namespace gravemoor::testing
