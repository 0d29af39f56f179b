// The game's standard input and output, on the file descriptors themselves,
// and its arguments as the platform hands them over; not stdio, whose
// buffers the console already has (docs/performance.md).
//
// The descriptors are taken as the caller left them: one in non-blocking
// mode, or a terminal in raw mode with nothing typed yet, is waited on
// rather than given up on, and a wait that a signal interrupts goes on.
// Only a real error, or the end of the input, ends the reading or writing.
//
// The bookkeeping is shared (standard_streams.cpp); each platform family
// brings only its system calls (system.hpp: posix.cpp, windows.cpp).
#pragma once

#include <array>
#include <cstddef>
#include <span>
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

// What the platform hands main its arguments in: UTF-16 on Windows (whose
// entry point is then wmain, linked with -municode), bytes elsewhere.
#ifdef _WIN32
using ArgumentChar = wchar_t;
#else
using ArgumentChar = char;
#endif

// The program's arguments, its own name first, each as UTF-8 text whatever
// the platform's own form of them, so that one argument reaches the game as
// the same bytes everywhere. `argc` and `argv` are main's. Returns a span
// without data (a null pointer) when there was no memory to hold them.
std::span<const char* const> program_arguments(int argc, ArgumentChar** argv);

// Returns true when `fd` is an interactive terminal.
bool is_terminal(int fd);

// Where an Input reads from: a file descriptor, read in blocks of up to 256
// bytes, so that an ordinary name takes one read.
struct DescriptorSource {
  explicit DescriptorSource(int descriptor) : fd(descriptor) {}

  int fd;
  std::size_t next = 0;  // buffer[next, end) is read but not yet handed out
  std::size_t end = 0;
  bool at_end = false;        // end of input, or a read error
  bool can_give_back = true;  // false once the descriptor refused to seek
  int error = 0;              // an errno value: the read error that ended the input
  std::array<char, 256> buffer;
};

// Where an Output drains to: a file descriptor, and the first error seen
// while writing to it.
struct DescriptorSink {
  int fd;
  int error = 0;  // an errno value; once set, later text is dropped
  // The input whose unread bytes go back before each write (see
  // drain_to_descriptor), or none.
  DescriptorSource* input = nullptr;
};

// An Output drain: writes all of `bytes` to the DescriptorSink in `context`,
// waiting for the descriptor to take them however long that lasts. Sets
// the sink's error on the first failure.
//
// Standard input and output can be one open file (`gravemoor 1 <>f >&0`),
// whose one offset both a read and a write move. So before it writes, the
// drain gives the sink's input back what it read past the name: the text
// then follows the name in the file, and no byte of either is lost.
void drain_to_descriptor(void* context, std::string_view bytes);

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
