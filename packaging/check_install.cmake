# Installs the build into PREFIX and checks the program folder is complete.
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${PREFIX} RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "install failed: ${rc}")
endif()
foreach(f lib/vorn/vorn lib/vorn/Move.wav lib/vorn/Win.wav lib/vorn/help/index.html lib/vorn/help/search.html
          lib/vorn/help/en/index.html lib/vorn/help/en/search.html
          bin/vorn share/applications/org.vorn.Vorn.desktop share/icons/hicolor/scalable/apps/org.vorn.Vorn.svg
          share/metainfo/org.vorn.Vorn.metainfo.xml share/man/man6/vorn.6.gz)
  if(NOT EXISTS ${PREFIX}/${f})
    message(FATAL_ERROR "missing after install: ${f}")
  endif()
endforeach()
file(REAL_PATH ${PREFIX}/bin/vorn resolved)
file(REAL_PATH ${PREFIX}/lib/vorn/vorn expected)
if(NOT resolved STREQUAL expected)
  message(FATAL_ERROR "bin/vorn points at ${resolved}, not ${expected}")
endif()
