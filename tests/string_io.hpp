// The game's console on strings, for tests, fuzz targets and benchmarks:
// input from a string, output captured into one.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "console/console.hpp"

namespace gravemoor::testing {

// Plays `play(Output&)` into a string and returns the text.
template <class Play>
std::string capture(Play play) {
  std::string text;
  Output out{[](void* context, std::string_view bytes) {
               static_cast<std::string*>(context)->append(bytes);
             },
             &text};
  play(out);
  flush(out);
  return text;
}

// Reads from a string; `read` counts the bytes taken.
struct StringSource {
  std::string_view text;
  std::size_t read = 0;
};

inline Input string_input(StringSource& source) {
  return {[](void* context) {
            auto& s = *static_cast<StringSource*>(context);
            return s.read < s.text.size() ? static_cast<unsigned char>(s.text[s.read++]) : -1;
          },
          &source};
}

// How many times `part` occurs in `text`, overlaps included.
inline std::size_t occurrences(std::string_view text, std::string_view part) {
  std::size_t found = 0;
  for (std::size_t at = text.find(part); at != std::string_view::npos;
       at = text.find(part, at + 1)) {
    ++found;
  }
  return found;
}

}  // namespace gravemoor::testing
