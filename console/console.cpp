#include "console/console.hpp"

#include <algorithm>
#include <array>
#include <cstdarg>

namespace gravemoor {
namespace {

// `value` in decimal, written backwards from the end of `digits`; returns
// where it starts. By hand: std::to_chars is C++ runtime code in libc++.
// Works on the magnitude as unsigned, so that INT_MIN needs no special case.
char* format_int(int value, std::array<char, 16>& digits) {
  char* at = digits.data() + digits.size();
  unsigned magnitude = value < 0 ? 0U - static_cast<unsigned>(value) : static_cast<unsigned>(value);
  do {
    *--at = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (value < 0) *--at = '-';
  return at;
}

// REQUIRES: `text` fits in the room left in the buffer.
void append(Output& out, std::string_view text) {
  std::copy(text.begin(), text.end(), out.buffer.begin() + static_cast<std::ptrdiff_t>(out.used));
  out.used += text.size();
}

// The NUL-terminated `text` as a view, walked to its NUL: no strlen to
// bind at start-up.
std::string_view c_string(const char* text) {
  const char* end = text;
  while (*end != '\0') ++end;
  return {text, static_cast<std::size_t>(end - text)};
}

// A terminal must show a line as soon as it is complete, so that the prompt
// is on the screen before the game waits for the name.
void end_of_write(Output& out, bool wrote_line_break) {
  if (wrote_line_break && out.flush_lines) flush(out);
}

}  // namespace

void flush(Output& out) {
  if (out.used == 0) return;
  out.drain(out.context, std::string_view(out.buffer.data(), out.used));
  out.used = 0;
}

void write_text(Output& out, std::string_view text) {
  if (text.size() > out.buffer.size() - out.used) {
    flush(out);
    if (text.size() > out.buffer.size()) {
      out.drain(out.context, text);
      return;
    }
  }
  append(out, text);
  end_of_write(out, std::any_of(text.begin(), text.end(), [](char c) { return c == '\n'; }));
}

void write_line(Output& out, std::string_view text) {
  // Most of what a game writes goes through here: one copy per line.
  if (text.size() >= out.buffer.size() - out.used) {
    write_text(out, text);
    write_text(out, "\n");
    return;
  }
  append(out, text);
  out.buffer[out.used++] = '\n';
  end_of_write(out, true);
}

void write_format(Output& out, const char* format, ...) {
  std::va_list args;
  va_start(args, format);
  // The format is walked to its NUL, as the %s strings are (c_string).
  const char* text = format;
  for (;;) {
    const char* end = text;
    while (*end != '\0' && *end != '%') ++end;
    write_text(out, std::string_view(text, static_cast<std::size_t>(end - text)));
    if (*end == '\0' || end[1] == '\0') break;  // a lone '%' at the end was just written
    const char conversion = end[1];
    if (conversion == 'd') {
      std::array<char, 16> digits;
      const char* const first = format_int(va_arg(args, int), digits);
      write_text(out, std::string_view(
                          first, static_cast<std::size_t>(digits.data() + digits.size() - first)));
    } else if (conversion == 's') {
      write_text(out, c_string(va_arg(args, const char*)));
    } else if (conversion == '%') {
      write_text(out, "%");
    } else {
      write_text(out, std::string_view(end, 2));  // not supported: shown as written
    }
    text = end + 2;
  }
  va_end(args);
}

void read_word(Input& in, std::span<char> word) {
  int byte = in.read_byte(in.context);
  while (byte >= 0 && is_space(static_cast<char>(byte))) {
    byte = in.read_byte(in.context);
  }
  const std::size_t capacity = word.size() - 1;
  std::size_t length = 0;
  while (length < capacity && byte >= 0 && !is_space(static_cast<char>(byte))) {
    word[length++] = static_cast<char>(byte);
    if (length < capacity) byte = in.read_byte(in.context);
  }
  word[length] = '\0';
}

}  // namespace gravemoor
