# Makes the Windows release zip twice, in other time zones and a second
# apart, and checks that both are the same bytes and hold the three files:
# cmake -DGAME=... -DVERSION=... -DWORK=... -P windows_zip_test.cmake
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
set(expected "${folder}/LICENSE\n${folder}/README.md\n${folder}/gravemoor.exe\n")
if(NOT listing STREQUAL expected)
  message(FATAL_ERROR "the zip holds\n${listing}where\n${expected}was expected")
endif()
execute_process(COMMAND ${UNZIP} -q ${WORK}/first.zip -d ${WORK}/unpacked)
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${GAME}
                        ${WORK}/unpacked/${folder}/gravemoor.exe RESULT_VARIABLE differ)
if(NOT differ EQUAL 0)
  message(FATAL_ERROR "the zip's gravemoor.exe is not the build's")
endif()
