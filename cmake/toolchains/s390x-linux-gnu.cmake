# s390x-linux-gnu (big-endian, 64-bit) with Debian's g++-s390x-linux-gnu, run under qemu-s390x.
set(GRAVEMOOR_TRIPLE s390x-linux-gnu)
set(CMAKE_SYSTEM_PROCESSOR s390x)
set(GRAVEMOOR_QEMU qemu-s390x)
include(${CMAKE_CURRENT_LIST_DIR}/linux-gnu-cross.cmake)
