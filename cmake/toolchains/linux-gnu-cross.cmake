# Shared part of the Debian cross toolchains (g++-<triple>): include it
# after setting GRAVEMOOR_TRIPLE, CMAKE_SYSTEM_PROCESSOR and GRAVEMOOR_QEMU.
#
# The foreign executables run under qemu-user with the target's C library
# from /usr/<triple>. There need be no binfmt_misc: CTest starts every test
# through CMAKE_CROSSCOMPILING_EMULATOR, and the whole-program tests pass
# it on to whatever they start themselves.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_C_COMPILER ${GRAVEMOOR_TRIPLE}-gcc)
set(CMAKE_CXX_COMPILER ${GRAVEMOOR_TRIPLE}-g++)

set(CMAKE_FIND_ROOT_PATH /usr/${GRAVEMOOR_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# An absolute path, so that a test can exec it without searching PATH.
find_program(GRAVEMOOR_QEMU_PATH ${GRAVEMOOR_QEMU} REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${GRAVEMOOR_QEMU_PATH} -L /usr/${GRAVEMOOR_TRIPLE})
