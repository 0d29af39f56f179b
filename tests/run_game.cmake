# Plays the built game once, as a player runs it, and checks the exact bytes
# it writes and its exit status: cmake -P run_game.cmake with
#
#   CONFIG       the file that names the game under test (see tests/CMakeLists.txt):
#                GAME, EMULATOR (the command that runs a foreign executable,
#                empty for a native one), WIDE_RUN (Windows: tests/wide_run.cpp
#                built), EXPECT_CRLF, TRANSCRIPTS, INPUTS, WORK
#   CASE         a name for this run's files under WORK
#   ARGC, ARG1.. the arguments after the program's name (ARGC defaults to 0)
#   WIDE         ON: each \uXXXX in an argument is that UTF-16 code unit; on
#                Windows the game is started with exactly those code units
#                (through WIDE_RUN), elsewhere with their UTF-8 form
#   INPUT        a file in INPUTS that becomes standard input
#   STDIN        file (the default: INPUT), closed, or directory (a read fails)
#   STDOUT       capture (the default); full: a device that takes nothing;
#                small-disk: a file on a file system of 4 KiB, which fills
#                during the game's first write; gone-reader: a pipe whose
#                reader has left before the game writes (the game's input is
#                then a pipe that ends, empty); shared: one read-write open
#                file that is standard input and output alike, holding INPUT
#   EXPECT       the file in TRANSCRIPTS that standard output must be, or
#                nothing (the default): no output at all. With STDOUT shared,
#                the file must hold INPUT's first line and then what the same
#                game writes to a file of its own, byte for byte
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
if(NOT STDOUT)
  set(STDOUT capture)
endif()
if(NOT STDIN)
  set(STDIN file)
endif()
file(MAKE_DIRECTORY ${WORK})
set(out_file ${WORK}/${CASE}.out)
set(err_file ${WORK}/${CASE}.err)
file(REMOVE ${out_file} ${err_file})

# The UTF-8 form of `text` with its \uXXXX escapes, for a platform whose
# arguments are bytes.
function(utf8_of text result)
  while(text MATCHES "\\\\u([0-9A-Fa-f][0-9A-Fa-f][0-9A-Fa-f][0-9A-Fa-f])")
    math(EXPR c "0x${CMAKE_MATCH_1}")
    if(c GREATER_EQUAL 55296 AND c LESS 57344)
      message(FATAL_ERROR "run_game.cmake: a surrogate has no UTF-8 form: run it on Windows alone")
    endif()
    if(c LESS 128)
      set(codes ${c})
    elseif(c LESS 2048)
      math(EXPR b1 "192 + (${c} >> 6)")
      math(EXPR b2 "128 + (${c} & 63)")
      set(codes ${b1} ${b2})
    else()
      math(EXPR b1 "224 + (${c} >> 12)")
      math(EXPR b2 "128 + ((${c} >> 6) & 63)")
      math(EXPR b3 "128 + (${c} & 63)")
      set(codes ${b1} ${b2} ${b3})
    endif()
    string(ASCII ${codes} bytes)
    string(REPLACE "\\u${CMAKE_MATCH_1}" "${bytes}" text "${text}")
  endwhile()
  set(${result} "${text}" PARENT_SCOPE)
endfunction()

# The command, with each argument bracket-quoted so that an empty one or one
# of blanks stays a word of its own.
set(launch "")
foreach(word IN LISTS EMULATOR)
  string(APPEND launch " [==[${word}]==]")
endforeach()
set(through_wide_run FALSE)
if(WIDE_RUN AND (WIDE OR STDIN STREQUAL "closed"))
  set(through_wide_run TRUE)
  string(APPEND launch " [==[${WIDE_RUN}]==]")
  if(STDIN STREQUAL "closed")
    string(APPEND launch " --no-input")
  endif()
endif()
set(command "${launch} [==[${GAME}]==]")
if(ARGC GREATER 0)
  foreach(i RANGE 1 ${ARGC})
    set(word "${ARG${i}}")
    if(WIDE AND NOT through_wide_run)
      utf8_of("${word}" word)
    endif()
    string(APPEND command " [==[${word}]==]")
  endforeach()
endif()
if(INPUT)
  set(input_file ${INPUTS}/${INPUT})
else()
  set(input_file ${INPUTS}/empty)
endif()
if(STDIN STREQUAL "directory")
  set(input_file ${INPUTS})
endif()

# One run with `redirections` (execute_process keywords) after the command.
macro(run redirections)
  cmake_language(EVAL CODE "execute_process(COMMAND ${command} ${redirections}
                              ERROR_FILE [==[${err_file}]==] RESULT_VARIABLE status)")
endmacro()

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
elseif(STDOUT STREQUAL "full")
  if(NOT EXISTS /dev/full)
    message("skipped: this machine has no /dev/full, a device that is always full")
    return()
  endif()
  run("INPUT_FILE [==[${input_file}]==] OUTPUT_FILE /dev/full")
elseif(STDOUT STREQUAL "small-disk")
  # A tmpfs of one page: only root can mount it, and only where the system
  # lets it (not in every container).
  set(disk ${WORK}/${CASE}.disk)
  file(MAKE_DIRECTORY ${disk})
  execute_process(COMMAND mount -t tmpfs -o size=4k,mode=0755 gravemoor-test ${disk}
                  RESULT_VARIABLE mounted OUTPUT_QUIET ERROR_VARIABLE why)
  if(NOT mounted EQUAL 0)
    message("skipped: no small file system can be mounted here (${why})")
    return()
  endif()
  run("INPUT_FILE [==[${input_file}]==] OUTPUT_FILE [==[${disk}/out]==]")
  execute_process(COMMAND umount ${disk})
elseif(STDOUT STREQUAL "shared" OR (STDIN STREQUAL "closed" AND NOT through_wide_run))
  # What execute_process cannot set up, a POSIX shell can. (On Windows a
  # closed input is set up by WIDE_RUN instead: wine would hand the game
  # some other file in its place.)
  if(STDOUT STREQUAL "shared")
    file(COPY_FILE ${input_file} ${out_file})
    set(shell_redirections "<>\"$0\" >&0")
  else()
    set(shell_redirections "<&-")
  endif()
  set(game_command "${command}")
  set(command "sh -c [==[exec \"$@\" ${shell_redirections}]==] [==[${out_file}]==] ${command}")
  if(STDOUT STREQUAL "shared")
    run("")
  else()
    run("OUTPUT_FILE [==[${out_file}]==]")
  endif()
else()
  run("INPUT_FILE [==[${input_file}]==] OUTPUT_FILE [==[${out_file}]==]")
endif()

# The expected bytes, as files to compare with.
set(expected_out ${WORK}/${CASE}.expected-out)
set(expected_err ${WORK}/${CASE}.expected-err)
set(text "")
if(EXPECT AND NOT EXPECT STREQUAL "nothing")
  file(READ ${TRANSCRIPTS}/${EXPECT} text)
endif()
set(err_text "${ERR}")
if(EXPECT_CRLF)
  string(REPLACE "\n" "\r\n" text "${text}")
  string(REPLACE "\n" "\r\n" err_text "${err_text}")
endif()
file(WRITE ${expected_out} "${text}")
file(WRITE ${expected_err} "${err_text}")
if(STDOUT STREQUAL "shared")
  # The name's line, then the whole text of the same game played on a file
  # of its own.
  file(STRINGS ${input_file} lines LIMIT_COUNT 1)
  set(command "${game_command}")
  set(alone ${WORK}/${CASE}.alone)
  set(shared_status ${status})
  set(shared_err ${err_file})
  set(err_file ${WORK}/${CASE}.alone-err)
  run("INPUT_FILE [==[${input_file}]==] OUTPUT_FILE [==[${alone}]==]")
  # (file(READ) would drop the CRs of a Windows game's line breaks.)
  file(WRITE ${WORK}/${CASE}.name-line "${lines}\n")
  execute_process(COMMAND ${CMAKE_COMMAND} -E cat ${WORK}/${CASE}.name-line ${alone}
                  OUTPUT_FILE ${expected_out})
  set(status ${shared_status})
  set(err_file ${shared_err})
endif()

# Compares byte for byte; on a difference shows it.
find_program(DIFF diff)
set(failures "")
function(check what expected actual)
  if(NOT EXISTS ${actual})
    file(WRITE ${actual} "")
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${expected} ${actual}
                  RESULT_VARIABLE differ)
  if(differ EQUAL 0)
    return()
  endif()
  if(DIFF)
    execute_process(COMMAND ${DIFF} -u --text ${expected} ${actual} OUTPUT_VARIABLE shown)
  else()
    file(READ ${expected} expected_text)
    file(READ ${actual} actual_text)
    set(shown "expected:\n[${expected_text}]\nactual:\n[${actual_text}]\n")
  endif()
  set(failures "${failures}${what} differs:\n${shown}" PARENT_SCOPE)
endfunction()
if(STDOUT STREQUAL "capture" OR STDOUT STREQUAL "shared")
  check("standard output" ${expected_out} ${out_file})
endif()
check("standard error" ${expected_err} ${err_file})
if(NOT status STREQUAL STATUS)
  string(APPEND failures "exit status: ${status} where ${STATUS} was expected\n")
endif()
if(failures)
  message(FATAL_ERROR "${CASE}:\n${failures}")
endif()
