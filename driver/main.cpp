// Binds the game to standard input and output.
#include <unistd.h>

#include <span>

#include "driver/game.hpp"
#include "driver/standard_streams.hpp"

int main(int argc, char** argv) {
  gravemoor::DescriptorSource source(STDIN_FILENO);
  gravemoor::DescriptorSink sink{STDOUT_FILENO};
  gravemoor::Input in{gravemoor::read_from_descriptor, &source};
  // On a terminal every line shows at once, so the prompt is on the screen
  // before the game waits for the name.
  gravemoor::Output out(gravemoor::drain_to_descriptor, &sink, isatty(STDOUT_FILENO) == 1);
  const int status = gravemoor::play_game(
      std::span<const char* const>(argv, static_cast<std::size_t>(argc)), in, out);
  gravemoor::flush(out);
  return status;
}
