# Installation: the game and its manual page, compressed as Debian wants it.
include(GNUInstallDirs)
set(man_page ${PROJECT_SOURCE_DIR}/man/gravemoor.6)
set(man_page_gz ${PROJECT_BINARY_DIR}/gravemoor.6.gz)
add_custom_command(
  OUTPUT ${man_page_gz}
  COMMAND gzip -9 -n -c ${man_page} > ${man_page_gz}
  DEPENDS ${man_page}
  COMMENT "Compressing the manual page")
add_custom_target(man_page ALL DEPENDS ${man_page_gz})
install(TARGETS gravemoor RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${man_page_gz} DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)

set(CPACK_PACKAGE_NAME gravemoor)
set(CPACK_PACKAGE_VENDOR "gravemoor maintainers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_CONTACT "gravemoor maintainers <maintainers@users.noreply.c-seed-b1fde41f.example>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "gravemoor asks for your fighter's name, rolls its hit points, tells a short\n\
story and plays two fights by itself: a lizardman and then a snow ape or a\n\
bat. The command-line argument seeds the dice, so the same seed always\n\
replays the same game.")
include(CPack)
