# One date for everything built from this tree: the manual page's date and
# every timestamp in the release archives. Builds of the same sources then
# give the same bytes, whenever and wherever they run.
#
# Sets GRAVEMOOR_SOURCE_DATE_EPOCH (seconds since 1970, UTC) from, in order:
# - SOURCE_DATE_EPOCH in the environment (dpkg-buildpackage sets it to the
#   date of debian/changelog's latest entry);
# - cmake/commit_time.txt, which git archive fills in with the commit's time
#   when it cuts the source release (export-subst in .gitattributes);
# - in a git checkout, where that file still holds its placeholder, the last
#   commit's time.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(GRAVEMOOR_SOURCE_DATE_EPOCH $ENV{SOURCE_DATE_EPOCH})
else()
  file(STRINGS ${PROJECT_SOURCE_DIR}/cmake/commit_time.txt GRAVEMOOR_SOURCE_DATE_EPOCH
       REGEX "^[0-9]+$" LIMIT_COUNT 1)
  if(NOT GRAVEMOOR_SOURCE_DATE_EPOCH)
    find_package(Git QUIET)
    if(GIT_FOUND AND EXISTS ${PROJECT_SOURCE_DIR}/.git)
      execute_process(
        COMMAND ${GIT_EXECUTABLE} log -1 --format=%ct
        WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
        OUTPUT_VARIABLE GRAVEMOOR_SOURCE_DATE_EPOCH
        OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    endif()
  endif()
  if(NOT GRAVEMOOR_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
    message(FATAL_ERROR "No date for the build: these sources are neither a git checkout nor "
                        "a source release cut by git archive. Set SOURCE_DATE_EPOCH.")
  endif()
endif()
# string(TIMESTAMP) reads it from the environment.
set(ENV{SOURCE_DATE_EPOCH} ${GRAVEMOOR_SOURCE_DATE_EPOCH})
