# Run by CPack after it has made a package, to take out what still depends
# on the file system, the checkout or the umask rather than on the sources.
#
# A tarball or a zip lists its files in the order the file system listed
# them, which differs between file systems and checkouts: it is made again
# from CPack's staging directory, entries sorted by name, only files (their
# folders follow from their names), every date SOURCE_DATE_EPOCH.
#
# A Debian package is an ar archive of three members whose headers record
# the modes CPack's umask gave them: it is wrapped again around the same
# three members, each 0644, owned by root, dated SOURCE_DATE_EPOCH.

string(TIMESTAMP mtime "%Y-%m-%d %H:%M:%S UTC" UTC)
string(TIMESTAMP epoch "%s" UTC)
get_filename_component(staging_parent ${CPACK_TEMPORARY_DIRECTORY} DIRECTORY)
set(work ${staging_parent}/finish)
file(REMOVE_RECURSE ${work})
file(MAKE_DIRECTORY ${work})

function(sort_archive package mode format)
  file(GLOB_RECURSE entries RELATIVE ${staging_parent} ${CPACK_TEMPORARY_DIRECTORY}/*)
  list(SORT entries)
  list(JOIN entries "\n" listing)
  file(WRITE ${work}/entries.txt "${listing}\n")
  # With SOURCE_DATE_EPOCH set, gzip's header holds no time either.
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E tar ${mode} ${work}/archive --format=${format} --mtime=${mtime}
            --files-from=${work}/entries.txt
    WORKING_DIRECTORY ${staging_parent} COMMAND_ERROR_IS_FATAL ANY)
  file(RENAME ${work}/archive ${package})
endfunction()

# Appends one ar member header: name, date, owner, group, mode, size.
function(ar_header file member size)
  string(REPEAT " " 16 blanks)
  string(SUBSTRING "${member}${blanks}" 0 16 name)
  string(SUBSTRING "${epoch}${blanks}" 0 12 date)
  string(SUBSTRING "${size}${blanks}" 0 10 size)
  file(WRITE ${file} "${name}${date}0     0     100644  ${size}`\n")
endfunction()

function(rewrap_deb package)
  execute_process(COMMAND ${CMAKE_COMMAND} -E tar xf ${package} WORKING_DIRECTORY ${work}
                  COMMAND_ERROR_IS_FATAL ANY)
  file(WRITE ${work}/magic "!<arch>\n")
  file(WRITE ${work}/pad "\n")
  set(parts ${work}/magic)
  foreach(member debian-binary control.tar.gz data.tar.gz)
    file(SIZE ${work}/${member} size)
    ar_header(${work}/${member}.header ${member} ${size})
    list(APPEND parts ${work}/${member}.header ${work}/${member})
    math(EXPR odd "${size} % 2")
    if(odd)
      list(APPEND parts ${work}/pad) # members start at even offsets
    endif()
  endforeach()
  execute_process(COMMAND ${CMAKE_COMMAND} -E cat ${parts} OUTPUT_FILE ${work}/package.deb
                  COMMAND_ERROR_IS_FATAL ANY)
  file(RENAME ${work}/package.deb ${package})
endfunction()

foreach(package ${CPACK_PACKAGE_FILES})
  if(CPACK_GENERATOR STREQUAL "TGZ")
    sort_archive(${package} cfz gnutar)
  elseif(CPACK_GENERATOR STREQUAL "ZIP")
    sort_archive(${package} cf zip)
  elseif(CPACK_GENERATOR STREQUAL "DEB")
    rewrap_deb(${package})
  else()
    continue()
  endif()
  # CPack has copied the package out already by now.
  get_filename_component(name ${package} NAME)
  file(COPY_FILE ${package} ${CPACK_PACKAGE_DIRECTORY}/${name})
endforeach()
file(REMOVE_RECURSE ${work})
