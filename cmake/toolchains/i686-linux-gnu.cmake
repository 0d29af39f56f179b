# i686-linux-gnu (32-bit x86) with Debian's g++-i686-linux-gnu, run under qemu-i386.
set(GRAVEMOOR_TRIPLE i686-linux-gnu)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(GRAVEMOOR_QEMU qemu-i386)
include(${CMAKE_CURRENT_LIST_DIR}/linux-gnu-cross.cmake)
