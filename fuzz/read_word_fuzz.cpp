// read_word on arbitrary bytes: the stored name fits the fighter's field,
// is a prefix of the first word, and nothing beyond the field is touched.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "console/console.hpp"
#include "fighter/fighter.hpp"
#include "tests/string_io.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  gravemoor::testing::StringSource source{bytes};
  gravemoor::Input in = gravemoor::testing::string_input(source);
  constexpr char guard = '\x5A';
  std::array<char, gravemoor::NAME_SIZE + 16> field;
  field.fill(guard);
  gravemoor::read_word(in, std::span<char>(field.data(), gravemoor::NAME_SIZE));

  std::size_t start = 0;
  while (start < bytes.size() && gravemoor::is_space(bytes[start])) ++start;
  std::size_t end = start;
  while (end < bytes.size() && !gravemoor::is_space(bytes[end])) ++end;
  const std::string_view word = bytes.substr(start, end - start);
  const std::size_t kept = std::min(word.size(), gravemoor::NAME_SIZE - 1);

  if (std::memcmp(field.data(), word.data(), kept) != 0) std::abort();
  if (field[kept] != '\0') std::abort();
  for (std::size_t i = gravemoor::NAME_SIZE; i < field.size(); ++i) {
    if (field[i] != guard) std::abort();
  }
  // Reading stops at the blank after the word, or once the field is full.
  const std::size_t expected_read =
      word.size() >= gravemoor::NAME_SIZE - 1 ? start + kept : std::min(end + 1, bytes.size());
  if (source.read != expected_read) std::abort();
  return 0;
}
