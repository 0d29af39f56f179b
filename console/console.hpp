// Console text in and out, through plain function-pointer sinks so that the
// game can be played into a string by tests and into stdio by the program.
//
// The output path deliberately avoids the iostream machinery: a whole game
// costs little more than loading the program, and iostreams alone would
// multiply that start-up cost.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

namespace gravemoor {

// Receives every byte the game writes, in order.
struct Output {
  void (*write)(void* context, const char* bytes, std::size_t size);
  void* context;
};

// Supplies input one byte at a time.
struct Input {
  // Returns the next byte as 0..255, or a negative value at the end of input
  // or on a read error.
  int (*read_byte)(void* context);
  void* context;
};

// Writes `text` as it stands, adding nothing.
void write_text(Output& out, std::string_view text);

// Writes `text` followed by one line break.
void write_line(Output& out, std::string_view text);

// Writes `format` with its printf-style fields filled, adding nothing.
[[gnu::format(printf, 2, 3)]] void write_format(Output& out, const char* format, ...);

// The bytes that separate words: tab, line feed, vertical tab, form feed,
// carriage return and space. Fixed, whatever the locale says.
constexpr bool is_space(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Reads one white-space delimited word into `word` as a NUL-terminated string.
// Leading white space is skipped; the word ends at the next white space or at
// the end of input. Every other byte belongs to the word. At most
// word.size() - 1 bytes are kept; nothing past the word (or past those bytes)
// is read. End of input before any word leaves `word` empty.
// REQUIRES: !word.empty()
void read_word(Input& in, std::span<char> word);

}  // namespace gravemoor
