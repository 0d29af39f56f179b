#include "dice/dice.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace gravemoor {
namespace {

std::vector<std::int32_t> first_six(std::uint32_t value) {
  seed(value);
  std::vector<std::int32_t> values;
  values.reserve(6);
  for (int i = 0; i < 6; ++i) values.push_back(next());
  return values;
}

TEST(Dice, GeneratorSequences) {
  using V = std::vector<std::int32_t>;
  EXPECT_EQ((V{0, 21468, 9988, 22117, 3498, 16927}), first_six(0));
  EXPECT_EQ((V{16838, 5758, 10113, 17515, 31051, 5627}), first_six(1));
  EXPECT_EQ((V{908, 22817, 10239, 12914, 25837, 27095}), first_six(2));
  // Bit 31 of the seed never reaches a result.
  EXPECT_EQ(first_six(0), first_six(2147483648U));
  EXPECT_EQ(first_six(1), first_six(2147483649U));
}

TEST(Dice, RollIsOneDrawMappedOntoTheDie) {
  seed(1);
  EXPECT_EQ(7, roll(8));    // 16838 % 8 + 1
  EXPECT_EQ(9, roll(10));   // 5758 % 10 + 1
  EXPECT_EQ(1, roll(3));    // 10113 % 3 + 1
  EXPECT_EQ(16, roll(20));  // 17515 % 20 + 1
}

TEST(Dice, ParseSeed) {
  EXPECT_EQ(42U, parse_seed("42"));
  EXPECT_EQ(5U, parse_seed("-5"));
  EXPECT_EQ(9U, parse_seed("  +9x"));
  EXPECT_EQ(7U, parse_seed("\t\n\v\f\r 7"));
  EXPECT_EQ(12U, parse_seed("12abc"));
  EXPECT_EQ(0U, parse_seed("abc"));
  EXPECT_EQ(0U, parse_seed(""));
  EXPECT_EQ(0U, parse_seed("-"));
  EXPECT_EQ(0U, parse_seed("+-3"));
  EXPECT_EQ(0U, parse_seed("--help"));
  EXPECT_EQ(0U, parse_seed("\xA0"
                           "5"));  // only ASCII blanks are skipped
  EXPECT_EQ(1U, parse_seed("4294967297"));
  EXPECT_EQ(2147483648U, parse_seed("2147483648"));
  EXPECT_EQ(2147483648U, parse_seed("-2147483648"));
  EXPECT_EQ(2147483647U, parse_seed("2147483649"));  // reads as -2147483647
  EXPECT_EQ(1U, parse_seed("4294967295"));           // reads as -1
  EXPECT_EQ(0U, parse_seed("-4294967296"));
  EXPECT_EQ(4U, parse_seed("-4294967292"));  // wraps to 4
  EXPECT_EQ(3U, parse_seed("3\0"
                           "9"));  // an argument ends at its NUL
}

}  // namespace
}  // namespace gravemoor
