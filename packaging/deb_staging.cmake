# Run by CPack on the staged Debian package, before it is packed: what only a
# Debian package carries, the executables stripped and the modes set the way
# Debian's own tools leave them.
cmake_policy(SET CMP0057 NEW)
set(top "${CPACK_TEMPORARY_DIRECTORY}")
set(root "${top}${CPACK_PACKAGING_INSTALL_PREFIX}")
set(src "${CMAKE_CURRENT_LIST_DIR}")

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${ARGN}: ${rc}")
  endif()
endfunction()

# Debian keeps the commands of games in /usr/games. The executables carry no
# symbols, and neither the compiler's notes nor the tools' comments.
set(executables "${root}/lib/vorn/vorn" "${root}/lib/vorn/vorn-server")
file(MAKE_DIRECTORY "${root}/games")
foreach(command vorn vorn-server)
  file(CREATE_LINK ../lib/vorn/${command} "${root}/games/${command}" SYMBOLIC)
  run("${CPACK_VORN_STRIP}" --remove-section=.comment --remove-section=.note "${root}/lib/vorn/${command}")
endforeach()

# The server as a system service, and its settings (a conffile).
file(MAKE_DIRECTORY "${top}/lib/systemd/system" "${top}/etc/vorn")
file(COPY_FILE "${src}/vorn-server.service" "${top}/lib/systemd/system/vorn-server.service")
file(COPY_FILE "${src}/server.ini" "${top}/etc/vorn/server.ini")

# The copyright and the changelog, compressed without name or time stamp.
file(COPY "${src}/copyright" DESTINATION "${root}/share/doc/vorn")
run(sh -c "gzip -9n < '${src}/changelog' > '${root}/share/doc/vorn/changelog.gz'")

# The lintian findings that are meant, each with its reason in the file.
file(MAKE_DIRECTORY "${root}/share/lintian/overrides")
file(COPY_FILE "${src}/lintian-overrides" "${root}/share/lintian/overrides/vorn")

# Whatever the umask of the build: folders and the executables 755, files 644.
file(GLOB_RECURSE entries LIST_DIRECTORIES true "${top}/*")
list(APPEND entries "${top}")
foreach(entry IN LISTS entries)
  if(IS_SYMLINK "${entry}")
    continue()
  elseif(IS_DIRECTORY "${entry}" OR entry IN_LIST executables)
    file(CHMOD "${entry}" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                      WORLD_READ WORLD_EXECUTE)
  else()
    file(CHMOD "${entry}" PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
  endif()
endforeach()
