#include "dice/dice.hpp"

namespace gravemoor {
namespace {

// The blanks before a seed: the six bytes that also end a name
// (console's is_space), fixed whatever the locale says.
constexpr bool is_blank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

}  // namespace

void seed(std::uint32_t value) { dice_roller.state = value; }

std::int32_t next() {
  // A linear congruential step in unsigned arithmetic, so the wrap-around
  // modulo 2^32 is defined. Bits 16 to 30 are the result: the low bits of
  // such a generator repeat with short periods.
  dice_roller.state = dice_roller.state * 1103515245U + 12345U;
  return static_cast<std::int32_t>((dice_roller.state >> 16U) & 0x7FFFU);
}

std::int32_t roll(std::int32_t sides) { return next() % sides + 1; }

std::uint32_t parse_seed(const char* text) {
  while (is_blank(*text)) ++text;
  bool negative = false;
  if (*text == '+' || *text == '-') {
    negative = *text == '-';
    ++text;
  }
  std::uint32_t value = 0;
  for (; *text >= '0' && *text <= '9'; ++text) {
    value = value * 10U + static_cast<std::uint32_t>(*text - '0');
  }
  if (negative) value = 0U - value;
  // The absolute value of `value` read as a signed 32-bit number, computed
  // without signed overflow: 0x80000000 negates to itself.
  if ((value & 0x80000000U) != 0) value = 0U - value;
  return value;
}

}  // namespace gravemoor
