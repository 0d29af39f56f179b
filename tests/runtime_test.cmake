# Checks that the game loads no C++ runtime library: the dynamic section of
# the executable names no libstdc++, libc++, libc++abi, libunwind or
# libgcc_s, and a static build
# names no library at all. cmake -P runtime_test.cmake with READELF, GAME
# and STATIC.
cmake_minimum_required(VERSION 3.25)
execute_process(
  COMMAND ${READELF} -d ${GAME}
  OUTPUT_VARIABLE dynamic
  ERROR_VARIABLE errors
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${READELF} -d ${GAME} failed (${status}): ${errors}")
endif()
string(REGEX MATCHALL "\\(NEEDED\\)[^\n]*\\[[^]\n]*\\]" entries "${dynamic}")
set(needed "")
foreach(entry IN LISTS entries)
  string(REGEX REPLACE ".*\\[(.*)\\]" "\\1" library "${entry}")
  list(APPEND needed ${library})
endforeach()
message("${GAME} needs: ${needed}")
if(STATIC AND needed)
  message(FATAL_ERROR "a static build must need no shared library")
endif()
foreach(library IN LISTS needed)
  if(library MATCHES "^lib(stdc\\+\\+|c\\+\\+|c\\+\\+abi|unwind|gcc_s)\\.")
    message(FATAL_ERROR "the game needs the C++ runtime library ${library}")
  endif()
endforeach()
