// What each platform family brings to the standard streams: its own system
// calls, and nothing of the bookkeeping around them (standard_streams.cpp).
// posix.cpp implements these for POSIX systems and WASI, windows.cpp for
// Windows.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

namespace gravemoor::system {

// Reads up to buffer.size() bytes from `fd` into `buffer`, waiting however
// long it takes for at least one. Returns how many came, 0 at the end of
// the input, or a read error as a negative errno value.
long read_some(int fd, std::span<char> buffer);

// Writes all of `bytes` to `fd`, line breaks as the platform's text streams
// write them, waiting however long the descriptor takes. Returns 0, or the
// errno value of the error that stopped it.
int write_all(int fd, std::string_view bytes);

// Moves the offset of `fd` back by `count` bytes, where it is a file that
// can take them back. Returns false where it cannot (a pipe, a terminal).
bool seek_back(int fd, std::size_t count);

}  // namespace gravemoor::system
