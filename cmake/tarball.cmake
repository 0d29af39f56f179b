# Makes the release tarball for Linux machines without Debian from a static
# build: cmake -P tarball.cmake, with
#
#   GAME      the built static gravemoor
#   MAN_PAGE  its manual page, gravemoor.6
#   VERSION   the game's version, for the tarball's name and its one folder
#   SOURCE_DATE_EPOCH  (-D or the environment) the time every entry carries
#   STRIP     strip, to take the symbols and the compiler's notes out of the
#             game (optional)
#   README, LICENSE  default to README.md and LICENSE beside this folder
#   ARCH      default x86_64
#   OUTPUT    default gravemoor-VERSION-linux-ARCH.tar.gz in the current folder
#
# The static workflow makes it as its last step (the target release_tarball).
# The same inputs give the same bytes: every entry has that one time, owner
# and group 0 and mode 0755 or 0644, in name order, and the gzip header holds
# no time. Made with GNU tar, which any Linux that builds this has, and
# cmake/gzip.cmake.
cmake_minimum_required(VERSION 3.25)

get_filename_component(source_dir ${CMAKE_CURRENT_LIST_DIR} DIRECTORY)
if(NOT README)
  set(README ${source_dir}/README.md)
endif()
if(NOT LICENSE)
  set(LICENSE ${source_dir}/LICENSE)
endif()
if(NOT ARCH)
  set(ARCH x86_64)
endif()
if(NOT SOURCE_DATE_EPOCH)
  set(SOURCE_DATE_EPOCH $ENV{SOURCE_DATE_EPOCH})
endif()
foreach(required GAME MAN_PAGE VERSION SOURCE_DATE_EPOCH)
  if(NOT ${required})
    message(FATAL_ERROR "tarball.cmake: ${required} is not set")
  endif()
endforeach()
foreach(file GAME MAN_PAGE README LICENSE)
  if(NOT EXISTS ${${file}})
    message(FATAL_ERROR "tarball.cmake: ${file} ${${file}} does not exist")
  endif()
endforeach()
find_program(TAR NAMES gtar tar REQUIRED)

set(name gravemoor-${VERSION}-linux-${ARCH})
if(NOT OUTPUT)
  set(OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/${name}.tar.gz)
endif()
get_filename_component(OUTPUT ${OUTPUT} ABSOLUTE)
get_filename_component(staging ${OUTPUT} DIRECTORY)
set(staging ${staging}/${name}.staging)
file(REMOVE_RECURSE ${staging})
file(MAKE_DIRECTORY ${staging}/${name})

file(COPY_FILE ${GAME} ${staging}/${name}/gravemoor)
# Stripped of its symbols and the compiler's notes, as a Debian package's.
if(STRIP)
  execute_process(COMMAND ${STRIP} --remove-section=.comment --remove-section=.note
                          ${staging}/${name}/gravemoor COMMAND_ERROR_IS_FATAL ANY)
endif()
file(COPY_FILE ${MAN_PAGE} ${staging}/${name}/gravemoor.6)
file(COPY_FILE ${README} ${staging}/${name}/README.md)
file(COPY_FILE ${LICENSE} ${staging}/${name}/LICENSE)

execute_process(
  COMMAND ${TAR} --create --file ${name}.tar --format=gnu --sort=name --owner=0 --group=0
          --numeric-owner --mode=u+rwX,go=rX,go-w --mtime=@${SOURCE_DATE_EPOCH} ${name}
  WORKING_DIRECTORY ${staging} COMMAND_ERROR_IS_FATAL ANY)
execute_process(
  COMMAND ${CMAKE_COMMAND} -DINPUT=${staging}/${name}.tar -DOUTPUT=${OUTPUT} -P
          ${CMAKE_CURRENT_LIST_DIR}/gzip.cmake
  COMMAND_ERROR_IS_FATAL ANY)
file(REMOVE_RECURSE ${staging})
message(STATUS "made ${OUTPUT}")
