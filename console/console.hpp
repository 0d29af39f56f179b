// Console text in and out. The game writes into an Output and reads from an
// Input; behind each stands a function pointer and its context: the standard
// streams in the program, strings in tests.
//
// The formatting does the little the game asks for, without iostreams or
// the printf family (docs/performance.md).
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <string_view>

namespace gravemoor {

// Collects what the game writes and hands it on in blocks to a drain: the
// standard output in the program, a string in tests. Writing is a copy into
// the buffer; the drain is called when the buffer fills, at every line break
// when `flush_lines` is set, and on flush().
struct Output {
  using Drain = void (*)(void* context, std::string_view bytes);

  Output(Drain drain_to, void* drain_context, bool flush_each_line = false)
      : drain(drain_to), context(drain_context), flush_lines(flush_each_line) {}
  Output(const Output&) = delete;  // a copy would write the pending text twice
  Output& operator=(const Output&) = delete;

  Drain drain;
  void* context;
  bool flush_lines;
  std::size_t used = 0;
  std::array<char, 4096> buffer;  // text not yet drained: the first `used` bytes
};

// Supplies input one byte at a time.
struct Input {
  // Returns the next byte as 0..255, or a negative value at the end of input
  // or on a read error.
  int (*read_byte)(void* context);
  void* context;
};

// Hands everything buffered to the drain.
void flush(Output& out);

// Writes `text` as it stands, adding nothing.
void write_text(Output& out, std::string_view text);

// Writes `text` followed by one line break.
void write_line(Output& out, std::string_view text);

// Writes `format` with its printf-style fields filled, adding nothing.
// REQUIRES: the only conversions are %d (an int), %s (a NUL-terminated
// string) and %%, without flags, widths or precisions.
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
