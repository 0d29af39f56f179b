// The player's fighter: one record, created once at the start of a game,
// changed by the fights and released at the end.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace gravemoor {

inline constexpr std::int32_t STATUS_ACTIVE = 500;
inline constexpr std::int32_t STATUS_FALLEN = 1000;

// Room for a name of up to 51 bytes and its terminating NUL.
inline constexpr std::size_t NAME_SIZE = 52;

// The fields marked "unused" are part of the record's fixed layout; nothing
// in the game reads them.
struct Fighter {
  std::int32_t armor_class;    // subtracted from an opponent's to_hit_base
  std::int32_t damage_dice;    // unused
  std::int32_t damage_sides;   // every hit of the fighter does roll(damage_sides)
  std::int32_t hit_dice;       // unused
  std::int32_t hit_die_sides;  // unused
  std::int32_t attr_a;         // unused
  std::int32_t attr_b;         // unused
  std::int32_t max_hp;
  std::int32_t hp;                   // may go below zero; below 1 means fallen
  std::int32_t status;               // STATUS_ACTIVE or STATUS_FALLEN
  std::array<char, NAME_SIZE> name;  // NUL-terminated
  std::int32_t attr_c;               // unused
  std::int32_t experience;           // 750 for every opponent vanquished
  std::int32_t attr_d;               // unused
  std::int32_t to_hit_base;          // minus the opponent's armor_class: the fighter's d20 target
};

// Allocates a new fighter, seeds the dice with game_seed and rolls its hit
// points (1 to 8, the first draw of the game). The name is empty. Returns
// nullptr if the allocation fails. The caller owns the record and hands it
// to release_fighter().
Fighter* create_fighter();

// Frees a record from create_fighter(). Accepts nullptr.
void release_fighter(Fighter* fighter);

}  // namespace gravemoor
