#include "driver/standard_streams.hpp"

#include <poll.h>
#include <unistd.h>

#include <cerrno>

namespace gravemoor {
namespace {

bool would_block(int error) { return error == EAGAIN || error == EWOULDBLOCK; }

// A descriptor in non-blocking mode says EAGAIN when it cannot go on at
// once. The game has nothing else to do meanwhile, so it sleeps in poll
// until the descriptor is ready: waiting costs no time. Returns 0, or the
// errno value of a failed poll.
int wait_until_ready(int fd, short events) {
  pollfd ready{fd, events, 0};
  while (::poll(&ready, 1, -1) < 0) {
    if (errno != EINTR) return errno;
  }
  return 0;
}

}  // namespace

// POSIX descriptors are byte streams already.
void set_up_standard_streams() {}

bool is_terminal(int fd) { return ::isatty(fd) == 1; }

void drain_to_descriptor(void* context, std::string_view bytes) {
  auto& sink = *static_cast<DescriptorSink*>(context);
  while (!bytes.empty() && sink.error == 0) {
    const ssize_t written = ::write(sink.fd, bytes.data(), bytes.size());
    if (written > 0) {
      bytes.remove_prefix(static_cast<std::size_t>(written));
    } else if (written == 0) {
      sink.error = EIO;  // a device that takes nothing would keep us here forever
    } else if (would_block(errno)) {
      sink.error = wait_until_ready(sink.fd, POLLOUT);
    } else if (errno != EINTR) {
      sink.error = errno;
    }
  }
}

int read_from_descriptor(void* context) {
  auto& source = *static_cast<DescriptorSource*>(context);
  while (source.next == source.end && !source.at_end) {
    const ssize_t got = ::read(source.fd, source.buffer.data(), source.buffer.size());
    if (got > 0) {
      source.next = 0;
      source.end = static_cast<std::size_t>(got);
    } else if (got == 0) {
      source.at_end = true;
    } else if (would_block(errno)) {
      source.error = wait_until_ready(source.fd, POLLIN);
      source.at_end = source.error != 0;
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
  // A pipe or a terminal cannot seek (ESPIPE) and keeps what was read.
  if (::lseek(source.fd, -static_cast<off_t>(unread), SEEK_CUR) < 0) return;
  source.next = 0;
  source.end = 0;
}

}  // namespace gravemoor
