// The standard streams on Windows, through the C runtime's descriptors.
//
// Both descriptors are switched to binary mode. Standard input must be, or
// the runtime would end the name at a Ctrl-Z byte and read it differently
// from every other platform. Standard output gets its line breaks as CRLF,
// as Windows text streams write them, but the translation is done here and
// not by the runtime's text mode: the drain then writes exactly the bytes it
// counts, so a short write resumes at the right byte, and the runtime's own
// text-mode rules (which differ between its versions) stay out of the game.
#include <errno.h>
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <climits>
#include <cstdio>

#include "driver/standard_streams.hpp"

namespace gravemoor {
namespace {

// Windows has no SIGPIPE: a write into a pipe whose reader has gone fails,
// with "the pipe is being closed" (ERROR_NO_DATA) from Windows itself,
// ERROR_PIPE_NOT_CONNECTED from wine, or ERROR_BROKEN_PIPE, and the runtime
// turns the first two into EINVAL. Named for what it is, the failure reads
// as it does on POSIX.
int write_errno(int error, unsigned long system_error) {
  switch (system_error) {
    case ERROR_BROKEN_PIPE:
    case ERROR_NO_DATA:
    case ERROR_PIPE_NOT_CONNECTED:
      return EPIPE;
    default:
      return error;
  }
}

// Writes all of `bytes` as they stand; returns 0 or an errno value.
int write_all(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    // _write takes an unsigned int count; the game never hands over more
    // than a buffer's worth, but a larger block is simply written in parts.
    const auto count = static_cast<unsigned int>(bytes.size() < INT_MAX ? bytes.size() : INT_MAX);
    SetLastError(ERROR_SUCCESS);
    const int written = ::_write(fd, bytes.data(), count);
    if (written > 0) {
      bytes.remove_prefix(static_cast<std::size_t>(written));
    } else if (written == 0) {
      return EIO;  // a device that takes nothing would keep us here forever
    } else {
      return write_errno(errno, GetLastError());
    }
  }
  return 0;
}

}  // namespace

void set_up_standard_streams() {
  ::_setmode(STANDARD_INPUT, _O_BINARY);
  ::_setmode(STANDARD_OUTPUT, _O_BINARY);
  ::_setmode(STANDARD_ERROR, _O_BINARY);
}

bool is_terminal(int fd) { return ::_isatty(fd) != 0; }

void drain_to_descriptor(void* context, std::string_view bytes) {
  auto& sink = *static_cast<DescriptorSink*>(context);
  // The text with each LF as CR LF, in blocks: a game's whole output
  // usually goes out in one write, as on POSIX.
  std::array<char, 8192> block;
  std::size_t used = 0;
  for (const char c : bytes) {
    if (sink.error != 0) return;
    if (used + 2 > block.size()) {
      sink.error = write_all(sink.fd, std::string_view(block.data(), used));
      used = 0;
    }
    if (c == '\n') block[used++] = '\r';
    block[used++] = c;
  }
  if (sink.error == 0) sink.error = write_all(sink.fd, std::string_view(block.data(), used));
}

int read_from_descriptor(void* context) {
  auto& source = *static_cast<DescriptorSource*>(context);
  while (source.next == source.end && !source.at_end) {
    const int got =
        ::_read(source.fd, source.buffer.data(), static_cast<unsigned int>(source.buffer.size()));
    if (got > 0) {
      source.next = 0;
      source.end = static_cast<std::size_t>(got);
    } else if (got == 0) {
      // Also where the writer of a pipe has gone: the runtime reads
      // ERROR_BROKEN_PIPE as the end of input.
      source.at_end = true;
    } else if (errno != EINTR) {
      source.error = errno;
      source.at_end = true;
    }
  }
  if (source.next == source.end) return -1;
  return static_cast<unsigned char>(source.buffer[source.next++]);
}

void give_back_unread(DescriptorSource& source) {
  const std::size_t unread = source.end - source.next;
  if (unread == 0) return;
  // Only a file on disk can take bytes back: the runtime's seek on a pipe
  // or a console is not an error but undefined, so those are not tried.
  // The runtime hands its handles out as integers.
  auto* const handle = reinterpret_cast<HANDLE>(  // NOLINT(performance-no-int-to-ptr)
      ::_get_osfhandle(source.fd));
  if (handle == INVALID_HANDLE_VALUE || ::GetFileType(handle) != FILE_TYPE_DISK) return;
  if (::_lseeki64(source.fd, -static_cast<long long>(unread), SEEK_CUR) < 0) return;
  source.next = 0;
  source.end = 0;
}

}  // namespace gravemoor
