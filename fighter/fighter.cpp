#include "fighter/fighter.hpp"

#include <cstdlib>
#include <new>

#include "dice/dice.hpp"

namespace gravemoor {

// From malloc, not operator new, which is the C++ runtime's (docs/performance.md).
Fighter* create_fighter() {
  void* const memory = std::malloc(sizeof(Fighter));
  if (memory == nullptr) return nullptr;
  seed(game_seed);
  const std::int32_t hit_points = roll(8);
  return new (memory) Fighter{
      .armor_class = 5,
      .damage_dice = 1,
      .damage_sides = 10,
      .hit_dice = 1,
      .hit_die_sides = 8,
      .attr_a = 1000,
      .attr_b = 2000,
      .max_hp = hit_points,
      .hp = hit_points,
      .status = STATUS_ACTIVE,
      .name = {},
      .attr_c = 1,
      .experience = 0,
      .attr_d = 2500,
      .to_hit_base = 19,
  };
}

void release_fighter(Fighter* fighter) { std::free(fighter); }

}  // namespace gravemoor
