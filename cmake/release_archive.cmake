# Makes a release archive of a built game for players without Debian:
# cmake -P release_archive.cmake, with
#
#   FORMAT    tar.gz (the static Linux game) or zip (the Windows game)
#   NAME      the archive's one folder, and its name before the extension
#   GAME      the built game, stored under its own file name, stripped
#   STRIP     the strip of the game's toolchain
#   FILES     files stored as they are (README, licence, manual page)
#   TEXTS     text files stored with CR LF line breaks, for Windows: cmd.exe
#             misreads a batch file without them, and older Notepads show
#             one long line
#   SOURCE_DATE_EPOCH  the time every entry carries
#   OUTPUT    the archive to write
#
# The same inputs give the same bytes wherever they were built: the game
# loses its symbols, debug information and the compiler's notes (which name
# the build folder) and takes SOURCE_DATE_EPOCH as a Windows executable's
# time of linking; every entry has that one time, a fixed mode and, in the
# tarball, owner and group 0, in name order; gzip -n stores no time and no
# name, and zip -X no owner or extra times.
cmake_minimum_required(VERSION 3.25)
foreach(required FORMAT NAME GAME STRIP SOURCE_DATE_EPOCH OUTPUT)
  if(NOT ${required})
    message(FATAL_ERROR "release_archive.cmake: ${required} is not set")
  endif()
endforeach()

# Read by strip too, for the time stamp of a Windows executable.
set(ENV{SOURCE_DATE_EPOCH} ${SOURCE_DATE_EPOCH})

get_filename_component(stage ${OUTPUT}.stage ABSOLUTE)
file(REMOVE_RECURSE ${stage})
file(MAKE_DIRECTORY ${stage}/${NAME})
get_filename_component(game_name ${GAME} NAME)
execute_process(COMMAND ${STRIP} --strip-all --remove-section=.comment --remove-section=.note
                        ${GAME} -o ${stage}/${NAME}/${game_name} COMMAND_ERROR_IS_FATAL ANY)
file(CHMOD ${stage}/${NAME}/${game_name} FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
           GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
foreach(file IN LISTS FILES)
  get_filename_component(file_name ${file} NAME)
  file(COPY_FILE ${file} ${stage}/${NAME}/${file_name})
endforeach()
foreach(file IN LISTS TEXTS)
  get_filename_component(file_name ${file} NAME)
  file(READ ${file} content)
  string(REPLACE "\n" "\r\n" content "${content}")
  file(WRITE ${stage}/${NAME}/${file_name} "${content}")
endforeach()
file(GLOB entries RELATIVE ${stage} ${stage}/${NAME}/*)
list(SORT entries)
foreach(entry IN LISTS entries)
  if(NOT entry MATCHES "/${game_name}$")
    file(CHMOD ${stage}/${entry} FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
  endif()
endforeach()

file(REMOVE ${OUTPUT})
if(FORMAT STREQUAL "tar.gz")
  execute_process(
    COMMAND tar --create --format=gnu --sort=name --owner=0 --group=0 --numeric-owner
            --mode=u+rwX,go=rX --mtime=@${SOURCE_DATE_EPOCH} --file=- ${NAME}
    COMMAND gzip -9 -n
    WORKING_DIRECTORY ${stage}
    OUTPUT_FILE ${OUTPUT}
    COMMAND_ERROR_IS_FATAL ANY)
elseif(FORMAT STREQUAL "zip")
  # zip keeps each file's modification time, in local time: hence that one
  # time on every file, and TZ=UTC.
  execute_process(COMMAND touch -d @${SOURCE_DATE_EPOCH} ${NAME} ${entries}
                  WORKING_DIRECTORY ${stage} COMMAND_ERROR_IS_FATAL ANY)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env TZ=UTC zip -X -D -q -9 ${OUTPUT} ${entries}
                  WORKING_DIRECTORY ${stage} COMMAND_ERROR_IS_FATAL ANY)
else()
  message(FATAL_ERROR "release_archive.cmake: FORMAT ${FORMAT} is neither tar.gz nor zip")
endif()
file(REMOVE_RECURSE ${stage})
message(STATUS "made ${OUTPUT}")
