# Makes the release tarball for Linux machines without Debian from a static
# build: gravemoor-<version>-linux-x86_64.tar.gz in the build directory,
# holding one folder with the game, its manual page, the README and the
# licence.
#
#   cmake --workflow --preset static
#   cmake -DBUILD_DIR=build/static [-DSTRIP=strip] -P cmake/tarball.cmake
#
# (the static workflow builds it as its target release_tarball).
#
# Reproducible: every entry carries the time of SOURCE_DATE_EPOCH (from the
# environment, else the one the build was configured with), owner and group
# 0, mode 0755 or 0644, in name order; the gzip header holds no time. Made
# with GNU tar, which any Linux that builds this has, and cmake/gzip.cmake.
cmake_minimum_required(VERSION 3.25)
if(NOT DEFINED BUILD_DIR)
  message(FATAL_ERROR "tarball.cmake: set BUILD_DIR to a build of the static preset")
endif()
get_filename_component(BUILD_DIR ${BUILD_DIR} ABSOLUTE)
get_filename_component(source_dir ${CMAKE_CURRENT_LIST_DIR}/.. ABSOLUTE)
if(NOT DEFINED ARCH)
  set(ARCH x86_64)
endif()

file(STRINGS ${BUILD_DIR}/CMakeCache.txt static REGEX "^GRAVEMOOR_STATIC:BOOL=ON$")
if(NOT static)
  message(FATAL_ERROR "${BUILD_DIR} is not a static build (GRAVEMOOR_STATIC): "
                      "the tarball's game must run on any Linux")
endif()
file(STRINGS ${BUILD_DIR}/CPackConfig.cmake version REGEX "^set\\(CPACK_PACKAGE_VERSION \"")
string(REGEX REPLACE ".*\"(.*)\".*" "\\1" version "${version}")
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  file(STRINGS ${BUILD_DIR}/cpack_options.cmake epoch REGEX "SOURCE_DATE_EPOCH} [0-9]+\\)")
  string(REGEX REPLACE ".* ([0-9]+)\\).*" "\\1" epoch "${epoch}")
  if(NOT epoch MATCHES "^[0-9]+$")
    message(FATAL_ERROR "no SOURCE_DATE_EPOCH in the environment or in ${BUILD_DIR}")
  endif()
  set(ENV{SOURCE_DATE_EPOCH} ${epoch})
endif()
find_program(TAR NAMES gtar tar REQUIRED)

set(name gravemoor-${version}-linux-${ARCH})
set(staging ${BUILD_DIR}/tarball)
file(REMOVE_RECURSE ${staging})
file(MAKE_DIRECTORY ${staging}/${name})
set(files ${BUILD_DIR}/gravemoor ${BUILD_DIR}/gravemoor.6 ${source_dir}/README.md
          ${source_dir}/LICENSE)
foreach(file IN LISTS files)
  if(NOT EXISTS ${file})
    message(FATAL_ERROR "tarball.cmake: ${file} is missing")
  endif()
endforeach()
file(COPY ${BUILD_DIR}/gravemoor DESTINATION ${staging}/${name}
     FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ
                      WORLD_EXECUTE)
# Stripped of its symbols and the compiler's notes, as the Debian package's.
if(STRIP)
  execute_process(COMMAND ${STRIP} --remove-section=.comment --remove-section=.note
                          ${staging}/${name}/gravemoor COMMAND_ERROR_IS_FATAL ANY)
endif()
file(COPY ${BUILD_DIR}/gravemoor.6 ${source_dir}/README.md ${source_dir}/LICENSE
     DESTINATION ${staging}/${name} FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)

execute_process(
  COMMAND ${TAR} --create --file ${name}.tar --format=gnu --sort=name --owner=0 --group=0
          --numeric-owner --mode=u+rwX,go=rX,go-w --mtime=@$ENV{SOURCE_DATE_EPOCH} ${name}
  WORKING_DIRECTORY ${staging}
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${TAR} failed: ${status}")
endif()
execute_process(
  COMMAND ${CMAKE_COMMAND} -DINPUT=${staging}/${name}.tar -DOUTPUT=${BUILD_DIR}/${name}.tar.gz
          -P ${CMAKE_CURRENT_LIST_DIR}/gzip.cmake
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "compressing ${name}.tar failed: ${status}")
endif()
file(REMOVE_RECURSE ${staging})
message(STATUS "made ${BUILD_DIR}/${name}.tar.gz")
