# One date for everything built from this tree: the manual page's date and
# every timestamp in the packages. Builds of the same sources then give the
# same bytes, whenever and wherever they run.
#
# Sets GRAVEMOOR_SOURCE_DATE_EPOCH (seconds since 1970, UTC) from, in order:
# SOURCE_DATE_EPOCH in the environment, the last commit's time when the
# sources are a git checkout, or the date of the changelog's latest entry
# (an unpacked source release has no git).

# Days from 1970-01-01 to the given civil date (proleptic Gregorian).
function(gravemoor_days_from_civil year month day out)
  if(month LESS_EQUAL 2)
    math(EXPR year "${year} - 1")
    math(EXPR month "${month} + 9")
  else()
    math(EXPR month "${month} - 3")
  endif()
  math(EXPR era "${year} / 400")
  math(EXPR year_of_era "${year} - ${era} * 400")
  math(EXPR day_of_year "(153 * ${month} + 2) / 5 + ${day} - 1")
  math(EXPR day_of_era
       "${year_of_era} * 365 + ${year_of_era} / 4 - ${year_of_era} / 100 + ${day_of_year}")
  math(EXPR days "${era} * 146097 + ${day_of_era} - 719468")
  set(${out} ${days} PARENT_SCOPE)
endfunction()

# The time of the first trailer line (" -- Name <address>  Date") of a
# Debian changelog, whose date is in RFC 5322 form.
function(gravemoor_changelog_epoch changelog out)
  file(STRINGS ${changelog} trailer REGEX "^ -- " LIMIT_COUNT 1)
  set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
  if(NOT trailer MATCHES
     "([0-9]+) ([A-Z][a-z][a-z]) ([0-9]+) ([0-9]+):([0-9]+):([0-9]+) ([+-])([0-9][0-9])([0-9][0-9])$")
    message(FATAL_ERROR "${changelog}: no date in the latest entry's trailer line")
  endif()
  set(day ${CMAKE_MATCH_1})
  list(FIND months ${CMAKE_MATCH_2} month)
  math(EXPR month "${month} + 1")
  gravemoor_days_from_civil(${CMAKE_MATCH_3} ${month} ${day} days)
  math(EXPR zone "${CMAKE_MATCH_8} * 3600 + ${CMAKE_MATCH_9} * 60")
  if(CMAKE_MATCH_7 STREQUAL "-")
    math(EXPR zone "-${zone}")
  endif()
  math(EXPR epoch "${days} * 86400 + ${CMAKE_MATCH_4} * 3600 + ${CMAKE_MATCH_5} * 60 \
                   + ${CMAKE_MATCH_6} - ${zone}")
  set(${out} ${epoch} PARENT_SCOPE)
endfunction()

if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(GRAVEMOOR_SOURCE_DATE_EPOCH $ENV{SOURCE_DATE_EPOCH})
else()
  unset(GRAVEMOOR_SOURCE_DATE_EPOCH)
  find_package(Git QUIET)
  if(GIT_FOUND AND EXISTS ${PROJECT_SOURCE_DIR}/.git)
    execute_process(
      COMMAND ${GIT_EXECUTABLE} log -1 --format=%ct
      WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
      OUTPUT_VARIABLE GRAVEMOOR_SOURCE_DATE_EPOCH
      OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  endif()
  if(NOT GRAVEMOOR_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
    gravemoor_changelog_epoch(${PROJECT_SOURCE_DIR}/packaging/changelog GRAVEMOOR_SOURCE_DATE_EPOCH)
  endif()
endif()
# string(TIMESTAMP) reads it from the environment.
set(ENV{SOURCE_DATE_EPOCH} ${GRAVEMOOR_SOURCE_DATE_EPOCH})
