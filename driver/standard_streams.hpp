// The game's standard input and output, on the file descriptors themselves.
// stdio would serve, but its buffers and code are a measurable share of the
// memory a whole game needs, and the console already buffers its output.
//
// The descriptors are taken as the caller left them: one in non-blocking
// mode is waited on rather than given up on, and a wait that a signal
// interrupts goes on. Only a real error ends the reading or writing.
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

// An Output drain: writes all of `bytes` to the DescriptorSink in `context`,
// waiting for the descriptor to take them however long that lasts. Sets
// the sink's error on the first failure.
void drain_to_descriptor(void* context, std::string_view bytes);

// Where an Input reads from: a file descriptor, read in blocks of up to 256
// bytes, so that an ordinary name takes one read.
struct DescriptorSource {
  explicit DescriptorSource(int descriptor) : fd(descriptor) {}

  int fd;
  std::size_t next = 0;  // buffer[next, end) is read but not yet handed out
  std::size_t end = 0;
  bool at_end = false;  // end of input, or a read error
  int error = 0;        // an errno value: the read error that ended the input
  std::array<char, 256> buffer;
};

// An Input reader: the next byte from the DescriptorSource in `context`,
// waiting for input however long that lasts. Returns -1 at the end of
// input and on a read error, which also sets the source's error.
int read_from_descriptor(void* context);

// Hands the bytes that `source` has read but not handed out back to its
// descriptor where that can take them back (a regular file: its offset
// moves back), so that the next reader of the same input starts right after
// the last byte used. A pipe or a terminal keeps them taken. Costs nothing
// when no such bytes are left. Later reads from `source` read them again.
void give_back_unread(DescriptorSource& source);

}  // namespace gravemoor
