// A whole game in-process on an arbitrary argument and standard input: the
// first line of the input is the argument, the rest standard input. The game
// must end, open with the welcome, name the fighter exactly once and close
// with a fall or a victory.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "console/console.hpp"
#include "driver/game.hpp"

namespace {

struct Source {
  std::string_view bytes;
  std::size_t read = 0;
};

int next_byte(void* context) {
  auto& source = *static_cast<Source*>(context);
  if (source.read == source.bytes.size()) return -1;
  return static_cast<unsigned char>(source.bytes[source.read++]);
}

std::size_t count(std::string_view text, std::string_view part) {
  std::size_t found = 0;
  for (std::size_t at = text.find(part); at != std::string_view::npos;
       at = text.find(part, at + 1)) {
    ++found;
  }
  return found;
}

bool ends_with(std::string_view text, std::string_view end) {
  return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::size_t line_end = std::min(bytes.find('\n'), bytes.size());
  // An argument is a C string: it ends at its first NUL.
  const std::string argument(bytes.substr(0, line_end).substr(0, bytes.find('\0')));
  Source source{bytes.substr(std::min(line_end + 1, bytes.size()))};

  std::string text;
  gravemoor::Input in{next_byte, &source};
  gravemoor::Output out(
      [](void* context, std::string_view written) {
        static_cast<std::string*>(context)->append(written);
      },
      &text);
  const std::array<const char*, 2> args{"gravemoor", argument.c_str()};
  if (gravemoor::play_game(args, in, out) != gravemoor::EXIT_OK) std::abort();
  gravemoor::flush(out);

  if (!text.starts_with("welcome to the gravemoor variant by tolvane\n\nenter your name... below\n")) {
    std::abort();
  }
  if (count(text, " - this is your fighters name for gravemoor game\n") != 1) std::abort();
  if (!ends_with(text, "the fighter died sadly.\n") &&
      !ends_with(text, "###################################################\n")) {
    std::abort();
  }
  return 0;
}
