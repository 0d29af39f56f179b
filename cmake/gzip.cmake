# Compresses one file as gzip -9 -n does, without gzip or a shell (a Windows
# host has neither): cmake -DINPUT=file -DOUTPUT=file.gz -P gzip.cmake
#
# The bytes are reproducible: libarchive, which CMake compresses with,
# writes the current time into the gzip header unless SOURCE_DATE_EPOCH is
# set, and then writes none, as gzip -n does; the raw format stores no file
# name. For the manual page the result is byte for byte gzip -9 -n's.
cmake_minimum_required(VERSION 3.25)
foreach(required INPUT OUTPUT)
  if(NOT DEFINED ${required})
    message(FATAL_ERROR "gzip.cmake: ${required} is not set")
  endif()
endforeach()
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  set(ENV{SOURCE_DATE_EPOCH} 0)
endif()
# Written beside the output and then renamed, so that an interrupted build
# leaves no half-written file that looks up to date.
file(
  ARCHIVE_CREATE
  OUTPUT ${OUTPUT}.partial
  PATHS ${INPUT}
  FORMAT raw
  COMPRESSION GZip
  COMPRESSION_LEVEL 9)
file(RENAME ${OUTPUT}.partial ${OUTPUT})
