# The hardening that distributions build their packages with, on by default:
# a position-independent executable, stack and stack-clash protection,
# fortified C library calls in optimised builds, read-only relocations bound
# at start-up, and control-flow protection where the target has it. Each is
# checked first, so that a toolchain without it builds all the same.
#
# gravemoor_harden(TARGET) applies them to one target.

# A WebAssembly module has no loader, no relocations, no return addresses
# in its memory and no stack guard page: none of this applies, and wasm-ld
# takes -pie and -z relro quietly, so the checks would pass for nothing.
if(CMAKE_SYSTEM_NAME STREQUAL "WASI")
  function(gravemoor_harden target)
  endfunction()
  return()
endif()

include(CheckCXXCompilerFlag)
include(CheckCXXSourceCompiles)
include(CheckLinkerFlag)
include(CheckPIESupported)

check_pie_supported(OUTPUT_VARIABLE pie_output LANGUAGES CXX)

set(CMAKE_REQUIRED_FLAGS -fstack-protector-strong)
check_cxx_source_compiles("int main(int argc, char**) { char buffer[64]; buffer[0] = char(argc); \
return buffer[0]; }" GRAVEMOOR_HAVE_STACK_PROTECTOR)
unset(CMAKE_REQUIRED_FLAGS)
check_cxx_compiler_flag(-fstack-clash-protection GRAVEMOOR_HAVE_STACK_CLASH_PROTECTION)
# Control-flow protection works only when every object of the program has
# it, the C library's start files included: the linker drops it otherwise
# (Debian 12's have none), and the instructions would cost without guarding.
set(CMAKE_REQUIRED_FLAGS -fcf-protection)
set(CMAKE_REQUIRED_LINK_OPTIONS -fcf-protection LINKER:-z,cet-report=error)
check_cxx_source_compiles("int main() { return 0; }" GRAVEMOOR_HAVE_CF_PROTECTION)
unset(CMAKE_REQUIRED_FLAGS)
unset(CMAKE_REQUIRED_LINK_OPTIONS)
check_linker_flag(CXX LINKER:-z,relro,-z,now GRAVEMOOR_HAVE_RELRO_NOW)

function(gravemoor_harden target)
  if(CMAKE_CXX_LINK_PIE_SUPPORTED)
    set_target_properties(${target} PROPERTIES POSITION_INDEPENDENT_CODE ON)
  endif()
  if(GRAVEMOOR_HAVE_STACK_PROTECTOR)
    target_compile_options(${target} PRIVATE -fstack-protector-strong)
    # Passed on to whatever links a protected library, such as the test
    # program: MinGW's C library has no __stack_chk_fail of its own, and
    # the flag brings in libssp, which has.
    target_link_options(${target} PUBLIC -fstack-protector-strong)
  endif()
  if(GRAVEMOOR_HAVE_STACK_CLASH_PROTECTION)
    target_compile_options(${target} PRIVATE -fstack-clash-protection)
  endif()
  if(GRAVEMOOR_HAVE_CF_PROTECTION)
    target_compile_options(${target} PRIVATE -fcf-protection)
  endif()
  if(GRAVEMOOR_HAVE_RELRO_NOW)
    target_link_options(${target} PRIVATE LINKER:-z,relro,-z,now)
  endif()
  # glibc's fortified calls need an optimising build, and flags that set
  # their own level (a distribution's CPPFLAGS) keep it.
  if(CMAKE_SYSTEM_NAME STREQUAL "Linux" AND NOT CMAKE_CXX_FLAGS MATCHES "_FORTIFY_SOURCE")
    target_compile_definitions(${target} PRIVATE $<$<NOT:$<CONFIG:Debug>>:_FORTIFY_SOURCE=2>)
  endif()
endfunction()
