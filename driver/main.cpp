// Binds the game to standard input and output.
#include <cstdio>
#include <span>

#include "console/console.hpp"
#include "driver/game.hpp"

namespace {

void write_stdout(void* /*context*/, const char* bytes, std::size_t size) {
  std::fwrite(bytes, 1, size, stdout);
}

int read_stdin(void* /*context*/) { return std::getc(stdin); }

}  // namespace

int main(int argc, char** argv) {
  gravemoor::Input in{read_stdin, nullptr};
  gravemoor::Output out{write_stdout, nullptr};
  return gravemoor::play_game(std::span<const char* const>(argv, static_cast<std::size_t>(argc)),
                              in, out);
}
