# Installs the build into PREFIX and checks the program folder is complete.
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${PREFIX} RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "install failed: ${rc}")
endif()
foreach(f lib/vorn/vorn lib/vorn/vorn-server lib/vorn/Move.wav lib/vorn/Win.wav lib/vorn/help/index.html
          lib/vorn/help/search.html lib/vorn/help/en/index.html lib/vorn/help/en/search.html
          bin/vorn bin/vorn-server share/applications/org.vorn.Vorn.desktop
          share/icons/hicolor/scalable/apps/org.vorn.Vorn.svg share/metainfo/org.vorn.Vorn.metainfo.xml
          share/man/man6/vorn.6.gz share/man/man6/vorn-server.6.gz)
  if(NOT EXISTS ${PREFIX}/${f})
    message(FATAL_ERROR "missing after install: ${f}")
  endif()
endforeach()
foreach(command vorn vorn-server)
  file(REAL_PATH ${PREFIX}/bin/${command} resolved)
  file(REAL_PATH ${PREFIX}/lib/vorn/${command} expected)
  if(NOT resolved STREQUAL expected)
    message(FATAL_ERROR "bin/${command} points at ${resolved}, not ${expected}")
  endif()
endforeach()
