# Plays the built game once, as a player runs it, and checks the exact bytes
# it writes and its exit status: cmake -P run_game.cmake with
#
#   CONFIG       the file that names the game under test (see tests/CMakeLists.txt):
#                GAME, EMULATOR (the command that runs a foreign executable,
#                empty for a native one), EXPECT_CRLF, TRANSCRIPTS, INPUTS, WORK
#   CASE         a name for this run's files under WORK
#   ARGC, ARG1.. the arguments after the program's name (ARGC defaults to 0)
#   INPUT        a file in INPUTS that becomes standard input
#   STDOUT       capture (the default), full: a device that takes nothing,
#                or gone-reader: a pipe whose reader has left before the game
#                writes (the game's input is then a pipe that ends, empty)
#   EXPECT       the transcript whose text standard output must be, or
#                nothing (the default): no output at all
#   EXPECT_NAME, EXPECT_NAME_HEX  the fighter's name the transcript must show
#                in place of "Ann" (as text, or as hex for bytes that cannot
#                stand in an argument)
#   STATUS       the expected exit status (default 0)
#   ERR          the expected text on standard error (default none)
#
# It runs on the build machine and starts the game through EMULATOR, so the
# same cases hold for a native build, a cross build under qemu-user and a
# Windows build under wine. With EXPECT_CRLF every line break expected on
# standard output and standard error is CR LF, as Windows text streams write
# it; the transcripts themselves are kept with LF.
cmake_minimum_required(VERSION 3.25)

include(${CONFIG})
foreach(required GAME TRANSCRIPTS INPUTS WORK CASE)
  if(NOT DEFINED ${required})
    message(FATAL_ERROR "run_game.cmake: ${required} is not set")
  endif()
endforeach()
if(NOT DEFINED ARGC)
  set(ARGC 0)
endif()
if(NOT DEFINED STATUS)
  set(STATUS 0)
endif()

if(STDOUT STREQUAL "full")
  if(NOT EXISTS /dev/full)
    message("skipped: this machine has no /dev/full, a device that is always full")
    return()
  endif()
  set(out_file /dev/full)
elseif(STDOUT STREQUAL "gone-reader")
  set(out_file "")
elseif(NOT STDOUT OR STDOUT STREQUAL "capture")
  set(out_file ${WORK}/${CASE}.out)
else()
  message(FATAL_ERROR "run_game.cmake: STDOUT must be capture, full or gone-reader, not '${STDOUT}'")
endif()
set(err_file ${WORK}/${CASE}.err)
file(MAKE_DIRECTORY ${WORK})
file(REMOVE ${WORK}/${CASE}.out ${err_file})

# The expected bytes.
set(expected_out "")
if(EXPECT AND NOT EXPECT STREQUAL "nothing")
  file(READ ${TRANSCRIPTS}/${EXPECT}.txt expected_out)
  if(DEFINED EXPECT_NAME_HEX)
    set(EXPECT_NAME "")
    string(LENGTH "${EXPECT_NAME_HEX}" hex_length)
    foreach(at RANGE 0 ${hex_length} 2)
      if(at LESS hex_length)
        string(SUBSTRING "${EXPECT_NAME_HEX}" ${at} 2 byte)
        math(EXPR byte "0x${byte}")
        string(ASCII ${byte} char)
        string(APPEND EXPECT_NAME "${char}")
      endif()
    endforeach()
  endif()
  if(DEFINED EXPECT_NAME)
    string(FIND "${expected_out}" "Ann - " at)
    if(at LESS 0)
      message(FATAL_ERROR "run_game.cmake: ${EXPECT}.txt shows no fighter named Ann")
    endif()
    string(SUBSTRING "${expected_out}" 0 ${at} before)
    math(EXPR after_start "${at} + 3")
    string(SUBSTRING "${expected_out}" ${after_start} -1 after)
    set(expected_out "${before}${EXPECT_NAME}${after}")
  endif()
endif()
set(expected_err "${ERR}")
if(EXPECT_CRLF)
  string(REPLACE "\n" "\r\n" expected_out "${expected_out}")
  string(REPLACE "\n" "\r\n" expected_err "${expected_err}")
endif()

# The command, with each argument bracket-quoted so that an empty one or one
# of blanks stays a word of its own.
set(command "")
foreach(word IN LISTS EMULATOR ITEMS "${GAME}")
  string(APPEND command " [==[${word}]==]")
endforeach()
if(ARGC GREATER 0)
  foreach(i RANGE 1 ${ARGC})
    string(APPEND command " [==[${ARG${i}}]==]")
  endforeach()
endif()
if(INPUT)
  set(input_file ${INPUTS}/${INPUT})
else()
  set(input_file ${INPUTS}/empty)
endif()
if(STDOUT STREQUAL "gone-reader")
  # The game's input stays open for a second, then ends; its reader leaves
  # at once. The game writes nothing before its input ends, so all it writes
  # goes into a pipe that nobody reads any more.
  cmake_language(
    EVAL CODE
    "execute_process(COMMAND [==[${CMAKE_COMMAND}]==] -E sleep 1
       COMMAND ${command}
       COMMAND [==[${CMAKE_COMMAND}]==] -E true
       ERROR_FILE [==[${err_file}]==] RESULTS_VARIABLE statuses)")
  list(GET statuses 1 status)
else()
  cmake_language(
    EVAL CODE
    "execute_process(COMMAND ${command}
       INPUT_FILE [==[${input_file}]==] OUTPUT_FILE [==[${out_file}]==]
       ERROR_FILE [==[${err_file}]==] RESULT_VARIABLE status)")
endif()

# Compares as hex, so that every byte counts (a CMake string would stop at
# a NUL); on a difference shows where the texts part.
function(check what expected file)
  if(EXISTS ${file})
    file(READ ${file} actual_hex HEX)
  else()
    set(actual_hex "")
  endif()
  string(HEX "${expected}" expected_hex)
  if(actual_hex STREQUAL expected_hex)
    return()
  endif()
  string(LENGTH "${expected_hex}" expected_length)
  string(LENGTH "${actual_hex}" actual_length)
  # The longest common prefix, by halving.
  set(low 0)
  set(high ${expected_length})
  if(actual_length LESS high)
    set(high ${actual_length})
  endif()
  while(low LESS high)
    math(EXPR mid "(${low} + ${high} + 1) / 2")
    string(SUBSTRING "${expected_hex}" 0 ${mid} a)
    string(SUBSTRING "${actual_hex}" 0 ${mid} b)
    if(a STREQUAL b)
      set(low ${mid})
    else()
      math(EXPR high "${mid} - 1")
    endif()
  endwhile()
  math(EXPR byte "${low} / 2")
  math(EXPR expected_bytes "${expected_length} / 2")
  math(EXPR actual_bytes "${actual_length} / 2")
  string(SUBSTRING "${expected}" ${byte} 80 expected_rest)
  set(actual_rest "")
  if(byte LESS actual_bytes)
    file(READ ${file} actual_rest OFFSET ${byte} LIMIT 80)
  endif()
  string(CONCAT failures "${failures}"
         "${what}: ${actual_bytes} bytes where ${expected_bytes} were expected, "
         "first different at byte ${byte}:\n"
         "  expected from there: [${expected_rest}]\n"
         "  actual from there:   [${actual_rest}]\n")
  set(failures "${failures}" PARENT_SCOPE)
endfunction()

set(failures "")
if(out_file AND NOT out_file STREQUAL "/dev/full")
  check("standard output" "${expected_out}" ${out_file})
endif()
check("standard error" "${expected_err}" ${err_file})
if(NOT status STREQUAL STATUS)
  string(APPEND failures "exit status: ${status} where ${STATUS} was expected\n")
endif()
if(failures)
  message(FATAL_ERROR "${CASE}:\n${failures}")
endif()
