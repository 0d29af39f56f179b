// parse_seed on arbitrary bytes: never undefined behaviour (the sanitizers
// watch), and, where the digits fit in 64 bits, the same seed as strtoll
// followed by the wrap to 32 bits and the absolute value.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "dice/dice.hpp"

namespace {

// The number of digits after the blanks and the sign, as strtoll sees them.
std::size_t digit_count(const std::string& text) {
  std::size_t i = text.find_first_not_of(" \t\n\v\f\r");
  if (i == std::string::npos) return 0;
  if (text[i] == '+' || text[i] == '-') ++i;
  const std::size_t end = text.find_first_not_of("0123456789", i);
  return (end == std::string::npos ? text.size() : end) - i;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // An argument ends at its first NUL, for parse_seed as for strtoll.
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::string text(bytes.substr(0, bytes.find('\0')));
  const std::uint32_t seed = gravemoor::parse_seed(text.c_str());
  if (digit_count(text) > 18) return 0;  // beyond what a long long holds
  const long long value = std::strtoll(text.c_str(), nullptr, 10);
  const auto wrapped = static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
  const std::int64_t magnitude = wrapped < 0 ? -static_cast<std::int64_t>(wrapped) : wrapped;
  const auto expected = static_cast<std::uint32_t>(magnitude);
  if (seed != expected) std::abort();
  return 0;
}
