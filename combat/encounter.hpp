#pragma once

#include <cstdint>

#include "console/console.hpp"
#include "fighter/fighter.hpp"

namespace gravemoor {

struct Opponent {
  std::int32_t hit_dice;     // eight-sided dice in its hit-point roll; recorded only
  std::int32_t hit_bonus;    // added to that roll; recorded only
  std::int32_t to_hit_base;  // minus the fighter's armor_class: its d20 target
  std::int32_t hp;           // below 1 means vanquished
  std::int32_t armor_class;  // subtracted from the fighter's to_hit_base
};

// Chooses the second opponent with a d3 (1: a snow ape; 2 or 3: a bat),
// rolls its hit points, announces it and fights it with fight_opponent().
void random_encounter(Fighter& fighter, Output& out);

// Plays the standard combat until one side falls. Each side hits on a d20 of
// at least its own to_hit_base minus the other's armor_class; the fighter's
// hits do roll(damage_sides), the opponent's cost exactly one hit point. On a
// victory the banner is shown and the fighter gains 750 experience. Changes
// the fighter's hp and experience and the opponent's hp.
void fight_opponent(Fighter& fighter, Opponent& opponent, Output& out);

}  // namespace gravemoor
