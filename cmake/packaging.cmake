# Installation and the release archives.
#
# `cmake --install` puts the game in GRAVEMOOR_INSTALL_BINDIR (bin/ by
# default, which suits ~/.local and /usr/local) and its manual page in
# man6. The Debian package installs the same way, with the game in games/
# as Debian's rules for games ask (debian/rules sets GRAVEMOOR_INSTALL_BINDIR).
#
# Targets for the releases:
#   source_release   gravemoor-<version>.tar.gz, cut by git from the commit
#   release_tarball  the static game for Linux (static builds only)
#   release_zip      the game for Windows (Windows builds only)
include(GNUInstallDirs)
include(${CMAKE_CURRENT_LIST_DIR}/source_date.cmake)

set(GRAVEMOOR_INSTALL_BINDIR ${CMAKE_INSTALL_BINDIR}
    CACHE STRING "Where cmake --install puts the game, under the prefix")

# The manual page, dated from the sources (never the time of the build) and
# versioned from the project. It is installed as it is: man reads it so,
# and a Debian package compresses it in its own build.
string(TIMESTAMP GRAVEMOOR_DATE "%Y-%m-%d" UTC)
set(man_page ${PROJECT_BINARY_DIR}/gravemoor.6)
configure_file(${PROJECT_SOURCE_DIR}/man/gravemoor.6.in ${man_page} @ONLY)

# Directories that an install creates get these modes whatever the umask.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
install(TARGETS gravemoor RUNTIME DESTINATION ${GRAVEMOOR_INSTALL_BINDIR} COMPONENT game)
install(FILES ${man_page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man6 COMPONENT game)

# The source release: the committed tree of HEAD, as git archive writes it,
# under gravemoor-<version>/ (without what .gitattributes marks
# export-ignore). Every entry carries the commit's time and owner 0; the
# modes come from tar.umask, fixed here, and the line ends from the
# repository, whatever the user's git settings; gzip -n stores no name and
# no time. Only a git checkout can make it.
if(EXISTS ${PROJECT_SOURCE_DIR}/.git)
  find_package(Git QUIET)
  find_program(GRAVEMOOR_GZIP gzip)
endif()
if(GIT_FOUND AND GRAVEMOOR_GZIP)
  set(release_name ${PROJECT_NAME}-${PROJECT_VERSION})
  add_custom_target(
    source_release
    COMMAND ${GIT_EXECUTABLE} -C ${PROJECT_SOURCE_DIR} -c tar.umask=0022 -c core.autocrlf=false
            -c core.eol=lf archive --format=tar --prefix=${release_name}/
            --output=${PROJECT_BINARY_DIR}/${release_name}.tar HEAD
    COMMAND ${GRAVEMOOR_GZIP} -9 -n -f ${PROJECT_BINARY_DIR}/${release_name}.tar
    COMMENT "Cutting ${release_name}.tar.gz from the last commit"
    VERBATIM)
else()
  add_custom_target(
    source_release
    COMMAND ${CMAKE_COMMAND} -E echo "A source release is cut from a git checkout, with git and gzip"
    COMMAND ${CMAKE_COMMAND} -E false
    VERBATIM)
endif()

# The releases for machines without Debian, made by the static and mingw
# workflows as their last step: a tarball of the static game with its
# manual page, and a zip of the Windows one with play.cmd, the text on
# playing and the manual page as plain text; each with the README and the
# licence.
if(WIN32)
  find_program(GRAVEMOOR_GROFF groff REQUIRED)
  set(manual_text ${PROJECT_BINARY_DIR}/manual.txt)
  add_custom_command(
    OUTPUT ${manual_text}
    COMMAND ${GRAVEMOOR_GROFF} -man -Tascii -P-cbou -rHY=0 ${man_page} > ${manual_text}
    DEPENDS ${man_page}
    COMMENT "The manual page as plain text")
  set(archive release_zip zip windows-x86_64)
  set(texts ${PROJECT_SOURCE_DIR}/packaging/windows/play.cmd
            ${PROJECT_SOURCE_DIR}/packaging/windows/how-to-play.txt ${manual_text})
elseif(GRAVEMOOR_STATIC)
  set(archive release_tarball tar.gz linux-x86_64)
  set(texts "")
endif()
if(archive)
  list(POP_FRONT archive target format platform)
  set(name ${PROJECT_NAME}-${PROJECT_VERSION}-${platform})
  set(files ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE)
  if(NOT WIN32)
    list(APPEND files ${man_page})
  endif()
  add_custom_target(
    ${target}
    COMMAND
      ${CMAKE_COMMAND} -DFORMAT=${format} -DNAME=${name} -DGAME=$<TARGET_FILE:gravemoor>
      -DSTRIP=${CMAKE_STRIP} "-DFILES=${files}" "-DTEXTS=${texts}"
      -DSOURCE_DATE_EPOCH=${GRAVEMOOR_SOURCE_DATE_EPOCH} -DOUTPUT=${PROJECT_BINARY_DIR}/${name}.${format}
      -P ${PROJECT_SOURCE_DIR}/cmake/release_archive.cmake
    DEPENDS gravemoor ${manual_text}
    VERBATIM)
endif()
