// Binds the game to standard input and output and turns its outcome into
// the exit status.
#include <cstring>
#include <span>

#include "driver/game.hpp"
#include "streams/standard_streams.hpp"

namespace {

// A failure that the text on standard output cannot show is said on
// standard error, in one line: "gravemoor: " and `what`, then the C
// library's message for `error` if there is one. Needs no memory of its
// own, so that it can say that memory ran out.
void report(const char* what, int error = 0) {
  gravemoor::DescriptorSink sink{gravemoor::STANDARD_ERROR};
  gravemoor::Output err(gravemoor::drain_to_descriptor, &sink);
  if (error != 0) {
    gravemoor::write_format(err, "gravemoor: %s: %s\n", what, std::strerror(error));
  } else {
    gravemoor::write_format(err, "gravemoor: %s\n", what);
  }
  gravemoor::flush(err);
}

}  // namespace

#ifdef _WIN32
int wmain(int argc, gravemoor::ArgumentChar** argv) {
#else
int main(int argc, gravemoor::ArgumentChar** argv) {
#endif
  gravemoor::set_up_standard_streams();
  const std::span<const char* const> args = gravemoor::program_arguments(argc, argv);
  if (args.data() == nullptr) {
    report("out of memory");
    return gravemoor::EXIT_OUT_OF_MEMORY;
  }
  gravemoor::DescriptorSource source(gravemoor::STANDARD_INPUT);
  gravemoor::DescriptorSink sink{gravemoor::STANDARD_OUTPUT, 0, &source};
  gravemoor::Input in{gravemoor::read_from_descriptor, &source};
  // On a terminal every line shows at once, so the prompt is on the screen
  // before the game waits for the name.
  gravemoor::Output out(gravemoor::drain_to_descriptor, &sink,
                        gravemoor::is_terminal(gravemoor::STANDARD_OUTPUT));
  const int status = gravemoor::play_game(args, in, out);
  // Whoever reads this input next starts right after the name, where the
  // input can take back what was read past it.
  gravemoor::give_back_unread(source);
  gravemoor::flush(out);
  if (status == gravemoor::EXIT_OUT_OF_MEMORY) {
    report("out of memory");
    return gravemoor::EXIT_OUT_OF_MEMORY;
  }
  if (status != gravemoor::EXIT_OK) return status;
  // A name lost to a read error, or text that never reached standard
  // output, must not pass for a game told.
  if (source.error != 0) report("read error", source.error);
  if (sink.error != 0) report("write error", sink.error);
  if (source.error != 0) return gravemoor::EXIT_READ_ERROR;
  if (sink.error != 0) return gravemoor::EXIT_WRITE_ERROR;
  return gravemoor::EXIT_OK;
}
