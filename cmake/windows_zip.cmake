# Makes the Windows release zip from a MinGW build: cmake -P windows_zip.cmake
#
#   GAME     the built gravemoor.exe
#   README   the README (default: README.md beside this folder)
#   LICENSE  the licence (default: LICENSE beside this folder)
#   PLAY, HOW_TO_PLAY  the script that asks for a seed and plays, and the
#            text on playing by double-click and from a console (default:
#            packaging/windows/play.cmd and how-to-play.txt beside this folder)
#   VERSION  the game's version, for the zip's name and its one folder
#   OUTPUT   the zip to write (default: gravemoor-VERSION-windows-x86_64.zip
#            in the current folder)
#   SOURCE_DATE_EPOCH  (-D or the environment) the time every entry carries;
#            without it, the last commit's time
#
# The same inputs give the same bytes: every entry has that one time and a
# fixed mode, whatever the files on disk have, and the entries are in a
# fixed order.
cmake_minimum_required(VERSION 3.25)

get_filename_component(source_dir ${CMAKE_CURRENT_LIST_DIR} DIRECTORY)
if(NOT README)
  set(README ${source_dir}/README.md)
endif()
if(NOT LICENSE)
  set(LICENSE ${source_dir}/LICENSE)
endif()
if(NOT PLAY)
  set(PLAY ${source_dir}/packaging/windows/play.cmd)
endif()
if(NOT HOW_TO_PLAY)
  set(HOW_TO_PLAY ${source_dir}/packaging/windows/how-to-play.txt)
endif()
foreach(required GAME VERSION)
  if(NOT ${required})
    message(FATAL_ERROR "windows_zip.cmake: ${required} is not set")
  endif()
endforeach()
foreach(file GAME README LICENSE PLAY HOW_TO_PLAY)
  if(NOT EXISTS ${${file}})
    message(FATAL_ERROR "windows_zip.cmake: ${file} ${${file}} does not exist")
  endif()
endforeach()

if(NOT SOURCE_DATE_EPOCH)
  set(SOURCE_DATE_EPOCH $ENV{SOURCE_DATE_EPOCH})
endif()
if(NOT SOURCE_DATE_EPOCH)
  execute_process(COMMAND git -C ${source_dir} log -1 --format=%ct
                  OUTPUT_VARIABLE SOURCE_DATE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE
                  RESULT_VARIABLE status)
  if(NOT status EQUAL 0 OR NOT SOURCE_DATE_EPOCH)
    message(FATAL_ERROR "windows_zip.cmake: set SOURCE_DATE_EPOCH (no git history to take it from)")
  endif()
endif()

set(name gravemoor-${VERSION}-windows-x86_64)
if(NOT OUTPUT)
  set(OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/${name}.zip)
endif()
get_filename_component(OUTPUT ${OUTPUT} ABSOLUTE)

# A fresh staging folder with fixed modes, so the zip records no umask.
string(RANDOM LENGTH 8 tag)
set(stage ${CMAKE_CURRENT_BINARY_DIR}/windows-zip-${tag})
file(REMOVE_RECURSE ${stage})
file(MAKE_DIRECTORY ${stage}/${name})
file(COPY_FILE ${GAME} ${stage}/${name}/gravemoor.exe)
file(COPY_FILE ${README} ${stage}/${name}/README.md)
file(COPY_FILE ${LICENSE} ${stage}/${name}/LICENSE)
# The Windows texts with Windows line breaks: cmd.exe misreads a batch file
# without them, and older Notepads show one long line.
foreach(text PLAY:play.cmd HOW_TO_PLAY:how-to-play.txt)
  string(REPLACE ":" ";" text ${text})
  list(GET text 0 variable)
  list(GET text 1 file_name)
  file(READ ${${variable}} content)
  string(REPLACE "\n" "\r\n" content "${content}")
  file(WRITE ${stage}/${name}/${file_name} "${content}")
endforeach()
file(CHMOD ${stage}/${name} DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
           GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
file(CHMOD ${stage}/${name}/gravemoor.exe PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
           GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
file(CHMOD ${stage}/${name}/README.md ${stage}/${name}/LICENSE ${stage}/${name}/play.cmd
     ${stage}/${name}/how-to-play.txt PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)

# Info-ZIP's zip, because CMake's own archiver stores each file's access and
# change times, which no build can fix. zip -X stores no times but the
# modification time, in local time: hence TZ=UTC, and that time set on
# every staged file. The entries are listed one by one in sorted order.
find_program(ZIP zip)
if(NOT ZIP)
  message(FATAL_ERROR "windows_zip.cmake: zip is missing (apt-get install zip)")
endif()
set(entries ${name}/LICENSE ${name}/README.md ${name}/gravemoor.exe ${name}/how-to-play.txt
            ${name}/play.cmd)
execute_process(COMMAND touch -d @${SOURCE_DATE_EPOCH} ${entries} WORKING_DIRECTORY ${stage}
                RESULT_VARIABLE status)
file(REMOVE ${OUTPUT})
if(status EQUAL 0)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env TZ=UTC ${ZIP} -X -D -q -9 ${OUTPUT} ${entries}
                  WORKING_DIRECTORY ${stage} RESULT_VARIABLE status)
endif()
file(REMOVE_RECURSE ${stage})
if(NOT status EQUAL 0)
  message(FATAL_ERROR "windows_zip.cmake: making ${OUTPUT} failed")
endif()
message(STATUS "Windows zip: ${OUTPUT}")
