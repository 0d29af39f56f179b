#include "driver/standard_streams.hpp"

#include <unistd.h>

#include <cerrno>

namespace gravemoor {

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
    } else if (errno != EINTR) {
      sink.error = errno;
    }
  }
}

int read_from_descriptor(void* context) {
  auto& source = *static_cast<DescriptorSource*>(context);
  while (source.next == source.end && !source.at_end) {
    const ssize_t got = ::read(source.fd, source.buffer.data(), source.buffer.size());
    if (got < 0 && errno == EINTR) continue;
    source.at_end = got <= 0;
    source.next = 0;
    source.end = got > 0 ? static_cast<std::size_t>(got) : 0;
  }
  if (source.next == source.end) return -1;
  return static_cast<unsigned char>(source.buffer[source.next++]);
}

}  // namespace gravemoor
