// The standard streams' system calls on POSIX systems and WASI.
#include <poll.h>
#include <unistd.h>

#include <cerrno>

#include "streams/standard_streams.hpp"
#include "streams/system.hpp"

// WASI has no terminal modes to ask about. (Asked by name: a WASI
// toolchain may find the build machine's own termios.h.)
#if !defined(__wasi__)
#include <termios.h>
#define GRAVEMOOR_HAVE_TERMIOS 1
#else
#define GRAVEMOOR_HAVE_TERMIOS 0
#endif

namespace gravemoor {
namespace {

bool would_block(int error) { return error == EAGAIN || error == EWOULDBLOCK; }

// A descriptor in non-blocking mode says EAGAIN when it cannot go on at
// once. The game has nothing else to do meanwhile, so it sleeps in poll
// until the descriptor is ready: waiting costs no time. Returns the events
// that came, or -1 with errno set when poll failed.
int wait_until_ready(int fd, short events) {
  pollfd ready{fd, events, 0};
  while (::poll(&ready, 1, -1) < 0) {
    if (errno != EINTR) return -1;
  }
  return ready.revents;
}

// A terminal in non-canonical (raw) mode with VMIN 0 answers a read with 0
// bytes when nothing has been typed (yet, or within VTIME): unlike on a
// file, a pipe, or a terminal in canonical mode, where Ctrl-D says so, that
// is no end of input.
bool is_raw_terminal(int fd) {
#if GRAVEMOOR_HAVE_TERMIOS
  termios modes{};
  return ::tcgetattr(fd, &modes) == 0 && (modes.c_lflag & ICANON) == 0;
#else
  (void)fd;
  return false;
#endif
}

}  // namespace

// POSIX descriptors are byte streams already.
void set_up_standard_streams() {}

// POSIX hands the arguments over as the bytes they were given as.
std::span<const char* const> program_arguments(int argc, ArgumentChar** argv) {
  return {argv, static_cast<std::size_t>(argc)};
}

bool is_terminal(int fd) { return ::isatty(fd) == 1; }

namespace system {

long read_some(int fd, std::span<char> buffer) {
  for (;;) {
    const ssize_t got = ::read(fd, buffer.data(), buffer.size());
    if (got > 0) return got;
    if (got == 0) {
      if (!is_raw_terminal(fd)) return 0;
      // Sleeps until a key comes; a terminal that has gone (its other
      // side closed) ends the input.
      const int events = wait_until_ready(fd, POLLIN);
      if (events < 0) return -errno;
      if ((events & (POLLHUP | POLLERR | POLLNVAL)) != 0) return 0;
    } else if (would_block(errno)) {
      if (wait_until_ready(fd, POLLIN) < 0) return -errno;
    } else if (errno != EINTR) {
      return -errno;
    }
  }
}

int write_all(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written > 0) {
      bytes.remove_prefix(static_cast<std::size_t>(written));
    } else if (written == 0) {
      return EIO;  // a device that takes nothing would keep us here forever
    } else if (would_block(errno)) {
      if (wait_until_ready(fd, POLLOUT) < 0) return errno;
    } else if (errno != EINTR) {
      return errno;
    }
  }
  return 0;
}

bool seek_back(int fd, std::size_t count) {
  // A pipe or a terminal cannot seek (ESPIPE) and keeps what was read.
  return ::lseek(fd, -static_cast<off_t>(count), SEEK_CUR) >= 0;
}

}  // namespace system
}  // namespace gravemoor
