# Run by CPack on its staging directory before it archives it.
#
# The umask of the checkout and of the build never reaches a package:
# folders, programs and scripts become 0755, all other files 0644. What runs
# is told by its first bytes, not by its mode, which is what is being mended.
set(executable OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ
               WORLD_EXECUTE)
file(GLOB_RECURSE entries LIST_DIRECTORIES true "${CPACK_TEMPORARY_DIRECTORY}/*")
foreach(entry ${CPACK_TEMPORARY_DIRECTORY} ${entries})
  if(IS_DIRECTORY ${entry})
    file(CHMOD ${entry} PERMISSIONS ${executable})
    continue()
  endif()
  file(READ ${entry} magic LIMIT 4 HEX)
  if(magic MATCHES "^2321" OR magic STREQUAL "7f454c46") # "#!" or an ELF header
    file(CHMOD ${entry} PERMISSIONS ${executable})
  else()
    file(CHMOD ${entry} PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
  endif()
endforeach()

# Programs lose their symbols and the compiler's notes, as Debian strips them.
if(GRAVEMOOR_STRIP)
  foreach(entry ${entries})
    if(NOT IS_DIRECTORY ${entry})
      file(READ ${entry} magic LIMIT 4 HEX)
      if(magic STREQUAL "7f454c46")
        execute_process(COMMAND ${GRAVEMOOR_STRIP} --remove-section=.comment
                                --remove-section=.note ${entry} COMMAND_ERROR_IS_FATAL ANY)
      endif()
    endif()
  endforeach()
endif()
