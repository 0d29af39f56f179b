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

#include "driver/game.hpp"
#include "tests/string_io.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::size_t line_end = std::min(bytes.find('\n'), bytes.size());
  // An argument is a C string: it ends at its first NUL.
  const std::string argument(bytes.substr(0, line_end).substr(0, bytes.find('\0')));
  gravemoor::testing::StringSource source{bytes.substr(std::min(line_end + 1, bytes.size()))};
  gravemoor::Input in = gravemoor::testing::string_input(source);
  const std::array<const char*, 2> args{"gravemoor", argument.c_str()};
  const std::string text = gravemoor::testing::capture([&](gravemoor::Output& out) {
    if (gravemoor::play_game(args, in, out) != gravemoor::EXIT_OK) std::abort();
  });

  if (!text.starts_with(
          "welcome to the gravemoor variant by tolvane\n\nenter your name... below\n")) {
    std::abort();
  }
  if (gravemoor::testing::occurrences(text, " - this is your fighters name for gravemoor game\n") !=
      1)
    std::abort();
  if (!text.ends_with("the fighter died sadly.\n") &&
      !text.ends_with("###################################################\n")) {
    std::abort();
  }
  return 0;
}
