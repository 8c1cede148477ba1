# Run by CPack on the staged Debian package, before it is packed: what only a
# Debian package carries, the executable stripped and the modes set the way
# Debian's own tools leave them.
set(root "${CPACK_TEMPORARY_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}")
set(src "${CMAKE_CURRENT_LIST_DIR}")

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${ARGN}: ${rc}")
  endif()
endfunction()

# Debian keeps the commands of games in /usr/games.
file(MAKE_DIRECTORY "${root}/games")
file(CREATE_LINK ../lib/vorn/vorn "${root}/games/vorn" SYMBOLIC)

# No symbols, and neither the compiler's notes nor the tools' comments.
run("${CPACK_VORN_STRIP}" --remove-section=.comment --remove-section=.note "${root}/lib/vorn/vorn")

# The copyright and the changelog, compressed without name or time stamp.
file(COPY "${src}/copyright" DESTINATION "${root}/share/doc/vorn")
run(sh -c "gzip -9n < '${src}/changelog' > '${root}/share/doc/vorn/changelog.gz'")

# The lintian findings that are meant, each with its reason in the file.
file(MAKE_DIRECTORY "${root}/share/lintian/overrides")
file(COPY_FILE "${src}/lintian-overrides" "${root}/share/lintian/overrides/vorn")

# Whatever the umask of the build: folders and the executable 755, files 644.
file(GLOB_RECURSE entries LIST_DIRECTORIES true "${root}/*")
list(APPEND entries "${root}")
foreach(entry IN LISTS entries)
  if(IS_SYMLINK "${entry}")
    continue()
  elseif(IS_DIRECTORY "${entry}" OR entry STREQUAL "${root}/lib/vorn/vorn")
    file(CHMOD "${entry}" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                      WORLD_READ WORLD_EXECUTE)
  else()
    file(CHMOD "${entry}" PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
  endif()
endforeach()
