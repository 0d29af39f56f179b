# Installation, the Debian package and the source release.
#
# A plain `cmake --install` puts the game in GRAVEMOOR_INSTALL_BINDIR (bin/
# by default, which suits ~/.local and /usr/local) with its manual page:
# the install component "game". The Debian package follows Debian's rules
# for games instead, /usr/games with the copyright, changelog and lintian
# overrides under /usr/share: the component "deb", which only CPack installs.
include(GNUInstallDirs)
include(${CMAKE_CURRENT_LIST_DIR}/source_date.cmake)

set(GRAVEMOOR_INSTALL_BINDIR ${CMAKE_INSTALL_BINDIR}
    CACHE STRING "Where cmake --install puts the game, under the prefix")
set(GRAVEMOOR_MAINTAINER "gravemoor developers <gravemoor@example.org>"
    CACHE STRING "The Debian package's maintainer: name <address>")

# Compresses `input` into `output` at build time, the way Debian wants
# documentation compressed: gzip -9 with no name and no time in the header.
function(gravemoor_gzip input output)
  add_custom_command(
    OUTPUT ${output}
    COMMAND gzip -9 -n -c ${input} > ${output}
    DEPENDS ${input}
    COMMENT "Compressing ${output}")
endfunction()

# The manual page, dated and versioned from the project.
string(TIMESTAMP GRAVEMOOR_DATE "%Y-%m-%d" UTC)
set(man_page ${PROJECT_BINARY_DIR}/gravemoor.6)
configure_file(${PROJECT_SOURCE_DIR}/man/gravemoor.6.in ${man_page} @ONLY)
gravemoor_gzip(${man_page} ${PROJECT_BINARY_DIR}/gravemoor.6.gz)

# The copyright file in Debian's machine-readable format, with the licence's
# own terms (the licence from its first word of permission on): each line
# indented by one space, an empty line written " .".
file(READ ${PROJECT_SOURCE_DIR}/LICENSE license_text)
string(FIND "${license_text}" "Permission is hereby granted" terms_start)
string(SUBSTRING "${license_text}" ${terms_start} -1 license_text)
string(STRIP "${license_text}" license_text)
string(REPLACE "\n\n" "\n.\n" license_text "${license_text}")
string(REPLACE "\n" "\n " license_text " ${license_text}")
configure_file(${PROJECT_SOURCE_DIR}/packaging/copyright.in ${PROJECT_BINARY_DIR}/copyright @ONLY)
gravemoor_gzip(${PROJECT_SOURCE_DIR}/packaging/changelog ${PROJECT_BINARY_DIR}/changelog.gz)
add_custom_target(documentation ALL DEPENDS ${PROJECT_BINARY_DIR}/gravemoor.6.gz
                                            ${PROJECT_BINARY_DIR}/changelog.gz)

# Directories that an install creates get these modes whatever the umask.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

install(TARGETS gravemoor RUNTIME DESTINATION ${GRAVEMOOR_INSTALL_BINDIR} COMPONENT game)
install(FILES ${PROJECT_BINARY_DIR}/gravemoor.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6
        COMPONENT game)

install(TARGETS gravemoor RUNTIME DESTINATION games COMPONENT deb EXCLUDE_FROM_ALL)
install(FILES ${PROJECT_BINARY_DIR}/gravemoor.6.gz DESTINATION share/man/man6
        COMPONENT deb EXCLUDE_FROM_ALL)
install(FILES ${PROJECT_BINARY_DIR}/copyright ${PROJECT_BINARY_DIR}/changelog.gz
        DESTINATION share/doc/gravemoor COMPONENT deb EXCLUDE_FROM_ALL)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/lintian-overrides
        DESTINATION share/lintian/overrides RENAME gravemoor COMPONENT deb EXCLUDE_FROM_ALL)

set(CPACK_PACKAGE_NAME gravemoor)
set(CPACK_PACKAGE_VENDOR "the gravemoor developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "console fantasy adventure that plays itself from a seed")
set(CPACK_PACKAGE_CONTACT "${GRAVEMOOR_MAINTAINER}")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)

set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL deb)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "gravemoor asks for your fighter's name, rolls its hit points, tells a short\n\
story and plays two fights by itself: a lizardman and then a snow ape or a\n\
bat. The command-line argument seeds the dice, so the same seed always\n\
replays the same game.")

# The source release: the project's own files under gravemoor-<version>/,
# without build trees, version control or editor state.
set(CPACK_SOURCE_GENERATOR TGZ)
set(CPACK_SOURCE_PACKAGE_FILE_NAME ${PROJECT_NAME}-${PROJECT_VERSION})
set(CPACK_VERBATIM_VARIABLES ON)
string(REGEX REPLACE "([][+.*()^$])" "\\\\\\1" source_dir_pattern "${PROJECT_SOURCE_DIR}")
set(CPACK_SOURCE_IGNORE_FILES
    "^${source_dir_pattern}/\\.git$" "^${source_dir_pattern}/\\.git/" "^${source_dir_pattern}/build/"
    "^${source_dir_pattern}/\\.cache/" "/node_modules/" "^${source_dir_pattern}/compile_commands\\.json$"
    "~$" "\\.swp$")

# Settings that CPack must decide when it runs, not when CMake configures.
set(GRAVEMOOR_BINARY_DIR ${PROJECT_BINARY_DIR})
configure_file(${CMAKE_CURRENT_LIST_DIR}/cpack_options.cmake.in
               ${PROJECT_BINARY_DIR}/cpack_options.cmake @ONLY)
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_BINARY_DIR}/cpack_options.cmake)
include(CPack)
