#include "combat/lizardman.hpp"

#include "combat/fight.hpp"
#include "dice/dice.hpp"

namespace gravemoor {

void fight_lizardman(Fighter& fighter, Output& out) {
  static constexpr FightRules rules{
      .round_line = "The fighter explodes into combat driving the opponent back.",
      .hit_line = "The fighter strikes the lizardman down a successful attack!",
      .struck_line = "the lizardman struck back weilding a longsword.",
      .victory_line = "the lizard man was vanquished hooray!",
      .fighter_target = 14,
      .opponent_target = 14,
      .opponent_damage = [] { return roll(6); },
  };
  std::int32_t lizardman_hp = roll(8) + roll(8) + 1;
  if (fight(fighter, lizardman_hp, rules, out) == FightEnd::fighter_fell) {
    fighter.status = STATUS_FALLEN;
  }
}

}  // namespace gravemoor
