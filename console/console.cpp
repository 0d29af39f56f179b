#include "console/console.hpp"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace gravemoor {

void write_text(Output& out, std::string_view text) {
  out.write(out.context, text.data(), text.size());
}

void write_line(Output& out, std::string_view text) {
  write_text(out, text);
  write_text(out, "\n");
}

void write_format(Output& out, const char* format, ...) {
  // Every line the game formats fits the stack buffer; a longer one takes a
  // second pass through the heap rather than being cut short.
  char buffer[256];
  std::va_list args;
  va_start(args, format);
  std::va_list again;
  va_copy(again, args);
  const int length = std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  if (length >= 0) {
    const auto size = static_cast<std::size_t>(length);
    if (size < sizeof buffer) {
      out.write(out.context, buffer, size);
    } else if (char* const heap = static_cast<char*>(std::malloc(size + 1))) {
      std::vsnprintf(heap, size + 1, format, again);
      out.write(out.context, heap, size);
      std::free(heap);
    }
  }
  va_end(again);
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
