// Binds the game to standard input and output and turns its outcome into
// the exit status.
#include <cstring>
#include <span>

#include "driver/game.hpp"
#include "driver/standard_streams.hpp"

namespace {

// Text that never reached standard output must not pass for a game told:
// say so on standard error, which is then all the caller can read.
int report_write_error(int error) {
  gravemoor::DescriptorSink sink{gravemoor::STANDARD_ERROR};
  gravemoor::Output err(gravemoor::drain_to_descriptor, &sink);
  gravemoor::write_text(err, "gravemoor: write error: ");
  gravemoor::write_line(err, std::strerror(error));
  gravemoor::flush(err);
  return gravemoor::EXIT_WRITE_ERROR;
}

}  // namespace

int main(int argc, char** argv) {
  gravemoor::set_up_standard_streams();
  gravemoor::DescriptorSource source(gravemoor::STANDARD_INPUT);
  gravemoor::DescriptorSink sink{gravemoor::STANDARD_OUTPUT};
  gravemoor::Input in{gravemoor::read_from_descriptor, &source};
  // On a terminal every line shows at once, so the prompt is on the screen
  // before the game waits for the name.
  gravemoor::Output out(gravemoor::drain_to_descriptor, &sink,
                        gravemoor::is_terminal(gravemoor::STANDARD_OUTPUT));
  const int status = gravemoor::play_game(
      std::span<const char* const>(argv, static_cast<std::size_t>(argc)), in, out);
  gravemoor::flush(out);
  if (status == gravemoor::EXIT_OK && sink.error != 0) return report_write_error(sink.error);
  return status;
}
