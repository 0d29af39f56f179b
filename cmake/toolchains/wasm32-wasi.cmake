# WebAssembly for WASI preview 1 with Debian's clang 14 and wasi-libc
# (packages clang-14, lld-14, llvm-14, wasi-libc, libclang-rt-14-dev-wasm32,
# libc++-14-dev-wasm32, libc++abi-14-dev-wasm32). Debian installs the WASI
# headers and libraries under the multiarch directories of /usr, where clang
# finds them for this target without a --sysroot.
set(CMAKE_SYSTEM_NAME WASI)
set(CMAKE_SYSTEM_PROCESSOR wasm32)
# CMake has no platform file for WASI; ours sits in cmake/Platform.
list(APPEND CMAKE_MODULE_PATH ${CMAKE_CURRENT_LIST_DIR}/..)

set(CMAKE_CXX_COMPILER clang++-14)
set(CMAKE_CXX_COMPILER_TARGET wasm32-wasi)

# The game's library must be archived by LLVM's tools: the host's GNU ar
# makes an archive without the index that wasm-ld needs, and CMake would
# take it quietly when LLVM's are missing.
find_program(CMAKE_AR NAMES llvm-ar-14 llvm-ar)
find_program(CMAKE_RANLIB NAMES llvm-ranlib-14 llvm-ranlib)
if(NOT CMAKE_AR OR NOT CMAKE_RANLIB)
  message(FATAL_ERROR "The WebAssembly build needs llvm-ar-14 and llvm-ranlib-14: "
                      "apt-get install llvm-14")
endif()

# The module is shipped inside a web page: no names, no debug sections.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-Wl,--strip-all")
