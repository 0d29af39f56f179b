#include "combat/fight.hpp"

#include "combat/victory.hpp"
#include "dice/dice.hpp"

namespace gravemoor {

FightEnd fight(Fighter& fighter, std::int32_t& opponent_hp, const FightRules& rules, Output& out) {
  for (;;) {
    write_line(out, rules.round_line);
    if (roll(20) >= rules.fighter_target) {
      write_line(out, rules.hit_line);
      opponent_hp -= roll(fighter.damage_sides);
    }
    if (roll(20) >= rules.opponent_target) {
      write_line(out, rules.struck_line);
      fighter.hp -= rules.opponent_damage();
      write_format(out, "%d <-- remaining hitpoints\n", fighter.hp);
    }
    const bool opponent_fell = opponent_hp < 1;
    if (opponent_fell) {
      write_line(out, rules.victory_line);
      show_victory(out);
      fighter.experience += VICTORY_EXPERIENCE;
    }
    if (fighter.hp < 1) {
      write_line(out, "the fighter died sadly.");
      return FightEnd::fighter_fell;
    }
    if (opponent_fell) return FightEnd::opponent_fell;
  }
}

}  // namespace gravemoor
