#include "combat/encounter.hpp"

#include "combat/fight.hpp"
#include "dice/dice.hpp"

namespace gravemoor {

void random_encounter(Fighter& fighter, Output& out) {
  Opponent opponent{};
  if (roll(3) == 1) {
    opponent = {.hit_dice = 3,
                .hit_bonus = 1,
                .to_hit_base = 16,
                .hp = roll(8) + roll(8) + roll(8) + 1,
                .armor_class = 6};
    write_line(out, "you enter deadly combat with a snow ape");
  } else {
    opponent = {.hit_dice = 2,
                .hit_bonus = 0,
                .to_hit_base = 18,
                .hp = roll(8) + roll(8),
                .armor_class = 6};
    write_line(out, "you enter close range contact, warily for combat a strasskirchen bat");
  }
  fight_opponent(fighter, opponent, out);
}

void fight_opponent(Fighter& fighter, Opponent& opponent, Output& out) {
  const FightRules rules{
      .round_line = "You draw and shoot to strike cold with the bastard sword",
      .hit_line = "struck winning round, sometimes a clean struck blow will win you pray",
      .struck_line = "the opponent fiercly struck you",
      .victory_line = "the opponent was vanquished hooray!",
      .fighter_target = fighter.to_hit_base - opponent.armor_class,
      .opponent_target = opponent.to_hit_base - fighter.armor_class,
      .opponent_damage = [] { return 1; },
  };
  fight(fighter, opponent.hp, rules, out);
}

}  // namespace gravemoor
