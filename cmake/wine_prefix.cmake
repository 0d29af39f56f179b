# Makes the wine prefix that the tests run in, once per build directory,
# at configure time (included by the MinGW toolchain file after
# project(gravemoor)). Left to the first test, making it would take that
# test seconds and put wine's "created the configuration directory" lines
# on its standard error, where the game must write nothing.
if(NOT GRAVEMOOR_WINEPREFIX OR EXISTS ${GRAVEMOOR_WINEPREFIX}/system.reg)
  return()
endif()
if(DEFINED BUILD_TESTING AND NOT BUILD_TESTING)
  return()
endif()
if(NOT GRAVEMOOR_WINE)
  message(WARNING "wine was not found (apt-get install wine wine64): the tests cannot run")
  return()
endif()
find_program(GRAVEMOOR_WINESERVER NAMES wineserver wineserver64 wineserver-stable)
message(STATUS "Making the wine prefix ${GRAVEMOOR_WINEPREFIX}")
execute_process(
  COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} wineboot --init
  RESULT_VARIABLE status
  OUTPUT_VARIABLE log
  ERROR_VARIABLE log
  TIMEOUT 300)
# wineboot returns before wine's background processes have finished and
# the registry is written out: wait for the server to end, so that the
# tests start from a prefix that is complete and from no running wine.
if(GRAVEMOOR_WINESERVER)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env WINEPREFIX=${GRAVEMOOR_WINEPREFIX}
                          ${GRAVEMOOR_WINESERVER} -w TIMEOUT 60)
endif()
if(NOT status EQUAL 0 OR NOT EXISTS ${GRAVEMOOR_WINEPREFIX}/system.reg)
  message(WARNING "Making the wine prefix failed (${status}):\n${log}")
endif()
