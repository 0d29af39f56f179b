# Cross build for 64-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-x86-64),
# tests run under wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

# The posix thread model, because GoogleTest needs std::mutex, which GCC 12's
# win32 model lacks. -static links its threading library and the GCC and C++
# runtimes into the .exe, so that it runs with nothing beside it: it needs
# only KERNEL32.dll, msvcrt.dll and, for the stack protector's random canary
# (libssp, linked in by the hardening), ADVAPI32.dll, which every Windows has.
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Every test runs the .exe through wine, in a prefix of the build's own, so
# that a build never touches ~/.wine and a fresh clone needs no setup. The
# prefix is made once, at configure time (cmake/wine_prefix.cmake), because
# making it takes seconds and would otherwise fall to whichever test ran
# first. WINEDEBUG=-all keeps wine's diagnostics out of the game's stderr;
# the DLL overrides stop wine from offering to install Mono and Gecko.
find_program(GRAVEMOOR_WINE NAMES wine wine64 wine-stable)
set(GRAVEMOOR_WINEPREFIX "${CMAKE_BINARY_DIR}/wineprefix"
    CACHE PATH "The wine prefix the tests run in")
set(CMAKE_CROSSCOMPILING_EMULATOR
    ${CMAKE_COMMAND} -E env --unset=DISPLAY WINEPREFIX=${GRAVEMOOR_WINEPREFIX} WINEDEBUG=-all
    WINEDLLOVERRIDES=mscoree,mshtml= ${GRAVEMOOR_WINE})
set(CMAKE_PROJECT_gravemoor_INCLUDE ${CMAKE_CURRENT_LIST_DIR}/../wine_prefix.cmake)
