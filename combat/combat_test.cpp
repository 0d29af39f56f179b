#include <gtest/gtest.h>

#include <string>

#include "combat/encounter.hpp"
#include "combat/lizardman.hpp"
#include "dice/dice.hpp"
#include "tests/string_io.hpp"

namespace gravemoor {
namespace {

using testing::capture;

// The fighter's record after the fights of the game of `seed_value`,
// played as the driver plays them.
struct Outcome {
  std::int32_t status_after_lizardman;
  std::int32_t experience_after_lizardman;
  std::int32_t experience_at_end;
};

Outcome play_fights(std::uint32_t seed_value) {
  game_seed = seed_value;
  Fighter* const fighter = create_fighter();
  Outcome outcome{};
  capture([&](Output& out) {
    fight_lizardman(*fighter, out);
    outcome.status_after_lizardman = fighter->status;
    outcome.experience_after_lizardman = fighter->experience;
    if (fighter->status == STATUS_ACTIVE) {
      fighter->hp = fighter->max_hp;
      random_encounter(*fighter, out);
    }
  });
  outcome.experience_at_end = fighter->experience;
  release_fighter(fighter);
  return outcome;
}

TEST(Combat, StatusAndExperienceForEachEnding) {
  struct Case {
    std::uint32_t seed;
    Outcome expected;
  };
  for (const auto& [seed_value, expected] : {
           Case{0, {STATUS_ACTIVE, 750, 750}},   // beats the lizardman, falls to the ape
           Case{1, {STATUS_FALLEN, 0, 0}},       // falls to the lizardman
           Case{3, {STATUS_FALLEN, 750, 750}},   // both fall: marked fallen, still rewarded
           Case{4, {STATUS_ACTIVE, 750, 1500}},  // wins both fights
           Case{212, {STATUS_ACTIVE, 750, 1500}},
       }) {
    const Outcome actual = play_fights(seed_value);
    EXPECT_EQ(expected.status_after_lizardman, actual.status_after_lizardman) << seed_value;
    EXPECT_EQ(expected.experience_after_lizardman, actual.experience_after_lizardman) << seed_value;
    EXPECT_EQ(expected.experience_at_end, actual.experience_at_end) << seed_value;
  }
}

TEST(Combat, OpponentHitCostsOnePointAndDrawsNothing) {
  Fighter fighter{};
  fighter.hp = 3;
  fighter.damage_sides = 10;
  fighter.to_hit_base = 0;  // needs 0 - (-30) = 30 on a d20: never hits
  // Targets come from both records: this opponent needs 4 - 5 = -1.
  fighter.armor_class = 5;
  Opponent opponent{.hit_dice = 0, .hit_bonus = 0, .to_hit_base = 4, .hp = 5, .armor_class = -30};
  seed(99);
  const std::string text = capture([&](Output& out) { fight_opponent(fighter, opponent, out); });
  const std::uint32_t after_fight = dice_roller.state;
  seed(99);
  for (int draw = 0; draw < 6; ++draw) next();  // three rounds, two d20 each
  EXPECT_EQ(dice_roller.state, after_fight);
  EXPECT_EQ(5, opponent.hp);
  std::string expected;
  for (const char* left : {"2", "1", "0"}) {
    expected +=
        "You draw and shoot to strike cold with the bastard sword\n"
        "the opponent fiercly struck you\n";
    expected += left + std::string(" <-- remaining hitpoints\n");
  }
  EXPECT_EQ(expected + "the fighter died sadly.\n", text);
}

}  // namespace
}  // namespace gravemoor
