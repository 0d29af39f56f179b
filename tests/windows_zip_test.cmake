# Makes the Windows release zip twice, in other time zones and a second
# apart, and checks that both are the same bytes and hold the five files,
# then plays from the unpacked zip as a player does, through play.cmd under
# EMULATOR (wine), with the seed and the name typed into its input:
# cmake -DGAME=... -DVERSION=... -DWORK=... -DEMULATOR=... -DTRANSCRIPTS=...
#       -P windows_zip_test.cmake
cmake_minimum_required(VERSION 3.25)
find_program(ZIP zip)
find_program(UNZIP unzip)
if(NOT ZIP OR NOT UNZIP)
  message("skipped: zip or unzip is missing (apt-get install zip unzip)")
  return()
endif()
get_filename_component(source_dir ${CMAKE_CURRENT_LIST_DIR} DIRECTORY)
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
foreach(run first:UTC second:Asia/Tokyo)
  string(REPLACE ":" ";" run ${run})
  list(GET run 0 name)
  list(GET run 1 zone)
  if(name STREQUAL "second")
    execute_process(COMMAND ${CMAKE_COMMAND} -E sleep 1)
  endif()
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env TZ=${zone} SOURCE_DATE_EPOCH=1700000000
            ${CMAKE_COMMAND} -DGAME=${GAME} -DVERSION=${VERSION} -DOUTPUT=${WORK}/${name}.zip
            -P ${source_dir}/cmake/windows_zip.cmake
    RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "making the ${name} zip failed")
  endif()
endforeach()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${WORK}/first.zip ${WORK}/second.zip
                RESULT_VARIABLE differ)
if(NOT differ EQUAL 0)
  message(FATAL_ERROR "two zips of the same build differ")
endif()
execute_process(COMMAND ${UNZIP} -Z1 ${WORK}/first.zip OUTPUT_VARIABLE listing)
set(folder gravemoor-${VERSION}-windows-x86_64)
set(expected
    "${folder}/LICENSE\n${folder}/README.md\n${folder}/gravemoor.exe\n${folder}/how-to-play.txt\n${folder}/play.cmd\n"
)
if(NOT listing STREQUAL expected)
  message(FATAL_ERROR "the zip holds\n${listing}where\n${expected}was expected")
endif()
execute_process(COMMAND ${UNZIP} -q ${WORK}/first.zip -d ${WORK}/unpacked)
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${GAME}
                        ${WORK}/unpacked/${folder}/gravemoor.exe RESULT_VARIABLE differ)
if(NOT differ EQUAL 0)
  message(FATAL_ERROR "the zip's gravemoor.exe is not the build's")
endif()

# The seed, then a second later the name, as typed: cmd reads its seed with
# set /p, which takes all a pipe holds at the time, as Windows's cmd does.
set(played ${WORK}/unpacked/${folder})
execute_process(
  COMMAND sh -c "printf '5\\r\\n'; sleep 1; printf 'Ann\\r\\n'"
  COMMAND ${EMULATOR} cmd /c play.cmd
  WORKING_DIRECTORY ${played}
  OUTPUT_FILE ${WORK}/play.out
  ERROR_FILE ${WORK}/play.err
  RESULTS_VARIABLE statuses)
list(GET statuses 1 status)
# Its prompt, the game of 5 for Ann, an empty line, and then the pause's
# own words, which differ between Windows and wine.
file(READ ${TRANSCRIPTS}/seed-5.txt transcript)
set(expected "Seed (a number; the same seed plays the same game): \n${transcript}\n")
string(REPLACE "\n" "\r\n" expected "${expected}")
string(HEX "${expected}" expected_hex)
string(LENGTH "${expected_hex}" length)
file(READ ${WORK}/play.out actual_hex HEX)
string(LENGTH "${actual_hex}" actual_length)
string(SUBSTRING "${actual_hex}" 0 ${length} start_hex)
file(READ ${WORK}/play.err errors)
if(NOT status EQUAL 0 OR NOT start_hex STREQUAL expected_hex OR NOT actual_length GREATER length
   OR NOT errors STREQUAL "")
  file(READ ${WORK}/play.out shown)
  message(FATAL_ERROR "play.cmd: status ${status} where 0 was expected; it wrote\n${shown}\n"
                      "and on standard error\n${errors}\nwhere this was expected, then a pause:\n"
                      "${expected}")
endif()
