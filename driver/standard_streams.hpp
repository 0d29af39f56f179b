// The game's standard input and output, on the file descriptors themselves.
// stdio would serve, but its buffers and code are a measurable share of the
// memory a whole game needs, and the console already buffers its output.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "console/console.hpp"

namespace gravemoor {

// The standard descriptors, numbered alike on every platform.
inline constexpr int STANDARD_INPUT = 0;
inline constexpr int STANDARD_OUTPUT = 1;
inline constexpr int STANDARD_ERROR = 2;

// Puts the standard streams into the modes the game reads and writes them
// in. Call once, before the first read or write.
void set_up_standard_streams();

// Returns true when `fd` is an interactive terminal.
bool is_terminal(int fd);

// Where an Output drains to: a file descriptor, and the first error seen
// while writing to it.
struct DescriptorSink {
  int fd;
  int error = 0;  // an errno value; once set, later text is dropped
};

// An Output drain: writes all of `bytes` to the DescriptorSink in `context`.
void drain_to_descriptor(void* context, std::string_view bytes);

// Where an Input reads from: a file descriptor, read in small blocks so
// that little beyond what the game asks for is taken from it.
struct DescriptorSource {
  explicit DescriptorSource(int descriptor) : fd(descriptor) {}

  int fd;
  std::size_t next = 0;
  std::size_t end = 0;
  bool at_end = false;  // end of input, or a read error
  std::array<char, 256> buffer;
};

// An Input reader: the next byte from the DescriptorSource in `context`.
int read_from_descriptor(void* context);

}  // namespace gravemoor
