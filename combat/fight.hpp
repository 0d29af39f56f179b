// The round loop that both kinds of fight share: the fighter strikes, the
// opponent strikes back (even when already beaten), and then the outcome is
// told, a vanquished opponent first.
#pragma once

#include <cstdint>
#include <string_view>

#include "console/console.hpp"
#include "fighter/fighter.hpp"

namespace gravemoor {

// What sets one kind of fight apart from another.
struct FightRules {
  std::string_view round_line;    // opens every round
  std::string_view hit_line;      // the fighter hits
  std::string_view struck_line;   // the opponent hits
  std::string_view victory_line;  // the opponent is vanquished
  std::int32_t fighter_target;    // the fighter hits on a d20 at least this
  std::int32_t opponent_target;   // the opponent hits on a d20 at least this
  // Damage of one opponent hit; draws dice only if the fight's rules say so.
  std::int32_t (*opponent_damage)();
};

inline constexpr std::int32_t VICTORY_EXPERIENCE = 750;

enum class FightEnd { opponent_fell, fighter_fell };

// Plays rounds until the opponent's or the fighter's hit points drop below
// 1, with no limit on their number. Changes the fighter's hp and experience
// and `opponent_hp`. When both fall in one round, the victory (line, banner,
// experience) comes first and the fighter's fall is returned.
FightEnd fight(Fighter& fighter, std::int32_t& opponent_hp, const FightRules& rules, Output& out);

}  // namespace gravemoor
