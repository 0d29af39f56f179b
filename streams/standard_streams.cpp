// The block bookkeeping of the standard streams, the same on every platform;
// the reads, writes and seeks themselves are the platform's (system.hpp).
#include "streams/standard_streams.hpp"

#include "streams/system.hpp"

namespace gravemoor {

void drain_to_descriptor(void* context, std::string_view bytes) {
  auto& sink = *static_cast<DescriptorSink*>(context);
  if (sink.input != nullptr) give_back_unread(*sink.input);
  if (sink.error == 0 && !bytes.empty()) sink.error = system::write_all(sink.fd, bytes);
}

int read_from_descriptor(void* context) {
  auto& source = *static_cast<DescriptorSource*>(context);
  if (source.next == source.end && !source.at_end) {
    const long got = system::read_some(source.fd, source.buffer);
    if (got > 0) {
      source.next = 0;
      source.end = static_cast<std::size_t>(got);
    } else {
      source.at_end = true;
      source.error = static_cast<int>(-got);
    }
  }
  if (source.next == source.end) return -1;
  return static_cast<unsigned char>(source.buffer[source.next++]);
}

void give_back_unread(DescriptorSource& source) {
  const std::size_t unread = source.end - source.next;
  if (unread == 0 || !source.can_give_back) return;
  // Asked once: what cannot seek now never will.
  if (!system::seek_back(source.fd, unread)) {
    source.can_give_back = false;
    return;
  }
  source.next = 0;
  source.end = 0;
}

}  // namespace gravemoor
