# Plays the built Windows game once, through wine, and checks the exact
# bytes it writes and its exit status: cmake -P windows_game_test.cmake with
#
#   CONFIG     a file that sets EMULATOR (the command that starts a Windows
#              program, empty on Windows itself) and GAME (the .exe)
#   WORK       a folder for this run's files;  CASE  a name for them
#   ARGC, ARG1..  the arguments after the program's name (ARGC defaults to 0)
#   INPUT_HEX  standard input, as hex (default: none at all)
#   STDOUT     capture (default), full (a device that takes nothing) or
#              gone_reader (a pipe whose reader has left before the game writes)
#   EXPECT     the transcript standard output must be, with every LF as
#              CR LF; none (default): no output at all
#   NAME_HEX   the fighter's name, as hex, in place of the transcript's "Ann"
#   STATUS     the expected exit status (default 0)
#   ERR        the expected line on standard error, without its CR LF
#
# These are the cases that Windows reads or writes differently from POSIX:
# its line breaks, its text-mode Ctrl-Z and its lack of SIGPIPE.
cmake_minimum_required(VERSION 3.25)

function(from_hex hex out)
  set(text "")
  string(LENGTH "${hex}" length)
  set(at 0)
  while(at LESS length)
    string(SUBSTRING "${hex}" ${at} 2 byte)
    math(EXPR byte "0x${byte}")
    string(ASCII ${byte} char)
    string(APPEND text "${char}")
    math(EXPR at "${at} + 2")
  endwhile()
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

include(${CONFIG})
set(ARGS "")
if(ARGC GREATER 0)
  foreach(i RANGE 1 ${ARGC})
    list(APPEND ARGS "${ARG${i}}")
  endforeach()
endif()
if(NOT DEFINED STATUS)
  set(STATUS 0)
endif()
file(MAKE_DIRECTORY ${WORK})
set(input ${WORK}/${CASE}.in)
set(out ${WORK}/${CASE}.out)
set(err ${WORK}/${CASE}.err)
from_hex("${INPUT_HEX}" input_text)
file(WRITE ${input} "${input_text}")
file(REMOVE ${out} ${err})

set(expected_out "")
if(EXPECT AND NOT EXPECT STREQUAL "none")
  file(READ ${EXPECT} expected_out)
  if(DEFINED NAME_HEX)
    from_hex("${NAME_HEX}" name)
    string(FIND "${expected_out}" "Ann - " at)
    string(SUBSTRING "${expected_out}" 0 ${at} before)
    math(EXPR at "${at} + 3")
    string(SUBSTRING "${expected_out}" ${at} -1 after)
    set(expected_out "${before}${name}${after}")
  endif()
  string(REPLACE "\n" "\r\n" expected_out "${expected_out}")
endif()
set(expected_err "")
if(ERR)
  set(expected_err "${ERR}\r\n")
endif()

if(STDOUT STREQUAL "gone_reader")
  # The game's input stays open for a second and then ends; the reader
  # leaves at once. The game writes only after its input ends, so it writes
  # into a pipe that nobody reads any more.
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E sleep 1
    COMMAND ${EMULATOR} ${GAME} ${ARGS}
    COMMAND ${CMAKE_COMMAND} -E true
    ERROR_FILE ${err}
    RESULTS_VARIABLE statuses)
  list(GET statuses 1 status)
  set(out "")
elseif(STDOUT STREQUAL "full")
  execute_process(COMMAND ${EMULATOR} ${GAME} ${ARGS} INPUT_FILE ${input}
                  OUTPUT_FILE /dev/full ERROR_FILE ${err} RESULT_VARIABLE status)
  set(out "")
else()
  execute_process(COMMAND ${EMULATOR} ${GAME} ${ARGS} INPUT_FILE ${input}
                  OUTPUT_FILE ${out} ERROR_FILE ${err} RESULT_VARIABLE status)
endif()

# Compared as hex, so that every byte counts.
set(failures "")
foreach(stream out err)
  set(actual_hex "")
  set(actual "")
  if(${stream} AND EXISTS ${${stream}})
    file(READ ${${stream}} actual_hex HEX)
  endif()
  string(HEX "${expected_${stream}}" expected_hex)
  if(NOT actual_hex STREQUAL expected_hex)
    if(${stream} AND EXISTS ${${stream}})
      file(READ ${${stream}} actual)
    endif()
    string(APPEND failures "std${stream}: expected\n[${expected_${stream}}]\nactual\n[${actual}]\n")
  endif()
endforeach()
if(NOT status STREQUAL STATUS)
  string(APPEND failures "exit status: ${status} where ${STATUS} was expected\n")
endif()
if(failures)
  message(FATAL_ERROR "${CASE}:\n${failures}")
endif()
