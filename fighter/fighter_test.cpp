#include "fighter/fighter.hpp"

#include <gtest/gtest.h>

#include "dice/dice.hpp"

namespace gravemoor {
namespace {

TEST(Fighter, CreationSeedsTheDiceAndMakesTheFirstDraw) {
  for (const auto& [seed_value, hit_points] : {std::pair{1U, 7}, {0U, 1}, {2U, 5}}) {
    game_seed = seed_value;
    seed(777);  // whatever was drawn before must not matter
    Fighter* const fighter = create_fighter();
    ASSERT_NE(nullptr, fighter);
    EXPECT_EQ(hit_points, fighter->max_hp);
    EXPECT_EQ(hit_points, fighter->hp);
    const std::uint32_t after_creation = dice_roller.state;
    seed(seed_value);
    next();
    EXPECT_EQ(dice_roller.state, after_creation) << "creation draws exactly once";
    release_fighter(fighter);
  }
}

}  // namespace
}  // namespace gravemoor
