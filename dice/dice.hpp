// The dice: one seeded generator that every chance event of a game draws
// from. Its arithmetic is fixed exactly, so that one seed replays one game,
// line for line, on every platform and standard library.
#pragma once

#include <cstdint>
#include <string_view>

namespace gravemoor {

struct DiceRoller {
  std::uint32_t state = 0;
};

// The one generator of the program. Only seed(), next() and roll() touch it.
inline DiceRoller dice_roller;

// The seed parsed from the command line, kept until the fighter is created.
inline std::uint32_t game_seed = 0;

// Restarts the generator at `value`.
void seed(std::uint32_t value);

// Advances the generator one step and returns a value in [0, 32767].
std::int32_t next();

// Returns one throw of a die with `sides` faces, in [1, sides]: exactly one
// call of next().
// REQUIRES: sides > 0
std::int32_t roll(std::int32_t sides);

// Reads the NUL-terminated `text` as a signed decimal and returns its
// absolute value as a seed.
// Leading white space and one sign are skipped; digits accumulate modulo
// 2^32 until the first non-digit; text without digits gives 0. The value is
// then negated for "-" and, read as a signed 32-bit number, made
// non-negative, except that 2^31 has no positive counterpart and stays 2^31.
// Every text gives some seed.
std::uint32_t parse_seed(const char* text);

}  // namespace gravemoor
