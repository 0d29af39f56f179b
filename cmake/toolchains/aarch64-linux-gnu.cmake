# aarch64-linux-gnu (64-bit ARM) with Debian's g++-aarch64-linux-gnu, run under qemu-aarch64.
set(GRAVEMOOR_TRIPLE aarch64-linux-gnu)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(GRAVEMOOR_QEMU qemu-aarch64)
include(${CMAKE_CURRENT_LIST_DIR}/linux-gnu-cross.cmake)
