// Preloaded into the game by the whole-program tests: standard input whose
// second read fails with an I/O error, as a disk or a terminal can, after the
// first has brought part of the name.
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>

// NOLINTNEXTLINE(bugprone-reserved-identifier,cert-dcl37-c,cert-dcl51-cpp): replaces the C
// library's
extern "C" ssize_t read(int fd, void* buf, std::size_t nbytes) {
  static int reads_of_input = 0;
  if (fd == 0 && ++reads_of_input > 1) {
    errno = EIO;
    return -1;
  }
  return syscall(SYS_read, fd, buf, nbytes);
}
