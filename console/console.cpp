#include "console/console.hpp"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdarg>

namespace gravemoor {
namespace {

// REQUIRES: `text` fits in the room left in the buffer.
void append(Output& out, std::string_view text) {
  std::copy(text.begin(), text.end(), out.buffer.begin() + static_cast<std::ptrdiff_t>(out.used));
  out.used += text.size();
}

// Writes the NUL-terminated `text`, as write_text would.
void write_c_string(Output& out, const char* text) {
  for (; *text != '\0'; ++text) {
    if (out.used == out.buffer.size()) flush(out);
    out.buffer[out.used++] = *text;
    if (*text == '\n' && out.flush_lines) flush(out);
  }
}

// True when `text` holds a line break.
bool has_line_break(std::string_view text) {
  for (const char c : text) {
    if (c == '\n') return true;
  }
  return false;
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
  if (out.flush_lines && has_line_break(text)) flush(out);
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
  if (out.flush_lines) flush(out);
}

void write_format(Output& out, const char* format, ...) {
  std::va_list args;
  va_start(args, format);
  // The format and the %s strings are walked to their NUL rather than
  // measured first: strlen and memchr would be two more functions for the
  // loader to bind at start-up, which costs more than a game's formatting.
  const char* text = format;
  for (;;) {
    const char* end = text;
    while (*end != '\0' && *end != '%') ++end;
    write_text(out, std::string_view(text, static_cast<std::size_t>(end - text)));
    if (*end == '\0' || end[1] == '\0') break;  // a lone '%' at the end was just written
    const char conversion = end[1];
    if (conversion == 'd') {
      std::array<char, 16> digits;
      const auto result =
          std::to_chars(digits.data(), digits.data() + digits.size(), va_arg(args, int));
      write_text(out, std::string_view(digits.data(),
                                       static_cast<std::size_t>(result.ptr - digits.data())));
    } else if (conversion == 's') {
      write_c_string(out, va_arg(args, const char*));
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
