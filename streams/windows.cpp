// The standard streams' system calls on Windows, on the C runtime's
// descriptors and the handles behind them, and the arguments as Windows
// hands them to wmain: UTF-16. (The C runtime's char arguments are in the
// ANSI code page, with lookalikes made ASCII, a fullwidth digit a digit:
// the game would read a seed there that it reads nowhere else.)
//
// The three descriptors are switched to binary mode. Standard input must be, or
// the runtime would end the name at a Ctrl-Z byte and read it differently
// from every other platform. Standard output gets its line breaks as CRLF,
// as Windows text streams write them, but the translation is done here and
// not by the runtime's text mode: the writes then take exactly the bytes
// they count, so a short write resumes at the right byte, and the runtime's
// own text-mode rules (which differ between its versions) stay out of the
// game.
#include <errno.h>
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <array>
#include <climits>
#include <cstdlib>

#include "streams/standard_streams.hpp"
#include "streams/system.hpp"

namespace gravemoor {
namespace {

// The errno value that names a failed write as POSIX would, from the error
// Windows itself reports. (Windows has no SIGPIPE: a write into a pipe
// whose reader has gone fails with ERROR_NO_DATA from Windows,
// ERROR_PIPE_NOT_CONNECTED from wine, or ERROR_BROKEN_PIPE.)
int write_errno(unsigned long system_error) {
  switch (system_error) {
    case ERROR_BROKEN_PIPE:
    case ERROR_NO_DATA:
    case ERROR_PIPE_NOT_CONNECTED:
      return EPIPE;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return ENOSPC;
    case ERROR_INVALID_HANDLE:
    case ERROR_ACCESS_DENIED:  // a handle open for reading alone
      return EBADF;
    default:
      return EIO;
  }
}

HANDLE handle_of(int fd) {
  // The runtime hands its handles out as integers.
  return reinterpret_cast<HANDLE>(::_get_osfhandle(fd));  // NOLINT(performance-no-int-to-ptr)
}

// A pipe in non-blocking mode (PIPE_NOWAIT) answers at once where it cannot
// go on: a read fails with ERROR_NO_DATA, a write takes nothing. Windows
// cannot sleep until an anonymous pipe is ready, so `call` is made again
// with the handle in waiting mode, which then gets its own mode back.
// Returns false, without calling, for any other handle.
template <class Call>
bool call_waiting(HANDLE handle, Call call) {
  DWORD mode = 0;
  if (::GetNamedPipeHandleState(handle, &mode, nullptr, nullptr, nullptr, nullptr, 0) == 0 ||
      (mode & PIPE_NOWAIT) == 0) {
    return false;
  }
  DWORD waiting = mode & ~DWORD{PIPE_NOWAIT};
  ::SetNamedPipeHandleState(handle, &waiting, nullptr, nullptr);
  call();
  ::SetNamedPipeHandleState(handle, &mode, nullptr, nullptr);
  return true;
}

// Writes all of `bytes` as they stand; returns 0 or an errno value. Straight
// to the handle, past the runtime's _write: when a disk fills during a
// write, that says EINVAL (and under wine loses how much it wrote), where
// Windows itself says the disk is full.
int write_exactly(int fd, std::string_view bytes) {
  const HANDLE handle = handle_of(fd);
  if (handle == INVALID_HANDLE_VALUE || handle == nullptr) return EBADF;
  while (!bytes.empty()) {
    // WriteFile takes a 32-bit count; the game never hands over more than a
    // buffer's worth, but a larger block is simply written in parts.
    const auto count = static_cast<DWORD>(bytes.size() < INT_MAX ? bytes.size() : INT_MAX);
    DWORD written = 0;
    const auto write = [&] { return ::WriteFile(handle, bytes.data(), count, &written, nullptr); };
    BOOL wrote = write();
    if (wrote != 0 && written == 0) call_waiting(handle, [&] { wrote = write(); });
    if (wrote == 0) return write_errno(::GetLastError());
    if (written == 0) return EIO;  // a device that takes nothing would keep us here forever
    bytes.remove_prefix(written);
  }
  return 0;
}

}  // namespace

void set_up_standard_streams() {
  ::_setmode(STANDARD_INPUT, _O_BINARY);
  ::_setmode(STANDARD_OUTPUT, _O_BINARY);
  ::_setmode(STANDARD_ERROR, _O_BINARY);
}

// The UTF-16 words that wmain gets, each made UTF-8 by the system, which
// writes a surrogate without its other half as U+FFFD (no UTF-8 text can
// hold it). The memory is the program's until it ends.
std::span<const char* const> program_arguments(int argc, wchar_t** argv) {
  const auto count = static_cast<std::size_t>(argc);
  std::size_t bytes = (count + 1) * sizeof(char*);
  for (std::size_t i = 0; i < count; ++i) {
    bytes += static_cast<std::size_t>(
        ::WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, nullptr, 0, nullptr, nullptr));
  }
  void* const memory = std::malloc(bytes);
  if (memory == nullptr) return {};
  auto** const words = static_cast<const char**>(memory);
  char* text = reinterpret_cast<char*>(words + count + 1);
  char* const end = static_cast<char*>(memory) + bytes;
  for (std::size_t i = 0; i < count; ++i) {
    words[i] = text;
    text += ::WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, text, static_cast<int>(end - text),
                                  nullptr, nullptr);
  }
  words[count] = nullptr;
  return {words, count};
}

bool is_terminal(int fd) { return ::_isatty(fd) != 0; }

namespace system {

long read_some(int fd, std::span<char> buffer) {
  const auto read = [&] {
    ::SetLastError(ERROR_SUCCESS);
    return ::_read(fd, buffer.data(), static_cast<unsigned int>(buffer.size()));
  };
  for (;;) {
    int got = read();
    if (got < 0 && ::GetLastError() == ERROR_NO_DATA) {
      call_waiting(handle_of(fd), [&] { got = read(); });
    }
    // 0 is also where the writer of a pipe has gone: the runtime reads
    // ERROR_BROKEN_PIPE as the end of input.
    if (got >= 0) return got;
    if (errno == EINTR) continue;
    // The runtime says EINVAL where Windows says more.
    switch (::GetLastError()) {
      case ERROR_INVALID_FUNCTION:  // a directory (wine: one handed over from POSIX too)
        return -EISDIR;
      case ERROR_INVALID_HANDLE:
        return -EBADF;
      default:
        return -errno;
    }
  }
}

int write_all(int fd, std::string_view bytes) {
  // The text with each LF as CR LF, in blocks: a game's whole output
  // usually goes out in one write, as on POSIX.
  std::array<char, 8192> block;
  std::size_t used = 0;
  for (const char c : bytes) {
    if (used + 2 > block.size()) {
      if (const int error = write_exactly(fd, std::string_view(block.data(), used))) return error;
      used = 0;
    }
    if (c == '\n') block[used++] = '\r';
    block[used++] = c;
  }
  return write_exactly(fd, std::string_view(block.data(), used));
}

bool seek_back(int fd, std::size_t count) {
  // Only a file on disk can take bytes back: the runtime's seek on a pipe
  // or a console is not an error but undefined, so those are not tried.
  const HANDLE handle = handle_of(fd);
  if (handle == INVALID_HANDLE_VALUE || ::GetFileType(handle) != FILE_TYPE_DISK) return false;
  return ::_lseeki64(fd, -static_cast<long long>(count), SEEK_CUR) >= 0;
}

}  // namespace system
}  // namespace gravemoor
