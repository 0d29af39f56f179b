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
# versioned from the project, compressed as gzip -9 -n would.
string(TIMESTAMP GRAVEMOOR_DATE "%Y-%m-%d" UTC)
set(man_page ${PROJECT_BINARY_DIR}/gravemoor.6)
configure_file(${PROJECT_SOURCE_DIR}/man/gravemoor.6.in ${man_page} @ONLY)
add_custom_command(
  OUTPUT ${man_page}.gz
  COMMAND ${CMAKE_COMMAND} -DINPUT=${man_page} -DOUTPUT=${man_page}.gz -P
          ${PROJECT_SOURCE_DIR}/cmake/gzip.cmake
  DEPENDS ${man_page} ${PROJECT_SOURCE_DIR}/cmake/gzip.cmake
  COMMENT "Compressing the manual page")
add_custom_target(documentation ALL DEPENDS ${man_page}.gz)

# Directories that an install creates get these modes whatever the umask.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
install(TARGETS gravemoor RUNTIME DESTINATION ${GRAVEMOOR_INSTALL_BINDIR} COMPONENT game)
install(FILES ${man_page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6 COMPONENT game)

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

# The releases for machines without Debian, targets of their own that the
# static and mingw workflows build last: a tarball of the static game, and a
# zip of the Windows one, each with the README and the licence.
if(GRAVEMOOR_STATIC)
  add_custom_target(
    release_tarball
    COMMAND
      ${CMAKE_COMMAND} -DGAME=$<TARGET_FILE:gravemoor> -DMAN_PAGE=${man_page}
      -DVERSION=${PROJECT_VERSION} -DSOURCE_DATE_EPOCH=${GRAVEMOOR_SOURCE_DATE_EPOCH}
      -DSTRIP=${CMAKE_STRIP}
      -DOUTPUT=${PROJECT_BINARY_DIR}/gravemoor-${PROJECT_VERSION}-linux-x86_64.tar.gz -P
      ${PROJECT_SOURCE_DIR}/cmake/tarball.cmake
    DEPENDS gravemoor documentation
    VERBATIM)
endif()
if(WIN32)
  add_custom_target(
    release_zip
    COMMAND
      ${CMAKE_COMMAND} -DGAME=$<TARGET_FILE:gravemoor> -DVERSION=${PROJECT_VERSION}
      -DSOURCE_DATE_EPOCH=${GRAVEMOOR_SOURCE_DATE_EPOCH}
      -DOUTPUT=${PROJECT_BINARY_DIR}/gravemoor-${PROJECT_VERSION}-windows-x86_64.zip -P
      ${PROJECT_SOURCE_DIR}/cmake/windows_zip.cmake
    DEPENDS gravemoor
    VERBATIM)
endif()
