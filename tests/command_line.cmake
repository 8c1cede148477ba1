# Runs PROGRAM with no display (the test clears DISPLAY and QT_QPA_PLATFORM) and
# checks what its command line answers: check(exit code, pattern the output must
# match, arguments...). An exit code of "running" means the game must have
# started and still be up when the timeout ends it.
function(check expected_code pattern)
  execute_process(COMMAND ${PROGRAM} ${ARGN} TIMEOUT 3 RESULT_VARIABLE code
                  OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(expected_code STREQUAL "running")
    if(NOT code MATCHES "timeout")
      message(SEND_ERROR "vorn ${ARGN}: the game did not stay up (${code}):\n${out}${err}")
    endif()
    return()
  endif()
  if(NOT code STREQUAL expected_code)
    message(SEND_ERROR "vorn ${ARGN}: exit code ${code}, expected ${expected_code}:\n${out}${err}")
  endif()
  if(NOT "${out}${err}" MATCHES "${pattern}")
    message(SEND_ERROR "vorn ${ARGN}: output does not match '${pattern}':\n${out}${err}")
  endif()
  # An answer goes to stdout, an error to stderr, never the other way round.
  if(code STREQUAL "0" AND NOT err STREQUAL "")
    message(SEND_ERROR "vorn ${ARGN}: wrote to stderr:\n${err}")
  elseif(NOT code STREQUAL "0" AND NOT out STREQUAL "")
    message(SEND_ERROR "vorn ${ARGN}: wrote to stdout:\n${out}")
  endif()
endfunction()

check(0 "^vorn ${VERSION}\n$" --version)
# The toolkit's options pass, and one with a value takes it along.
check(0 "^vorn ${VERSION}\n$" -platform offscreen -v)
check(0 "^Usage: [^\n]*vorn \\[options\\]\n.*-h, --help.*-v, --version" --help)
check(2 "^vorn: Unknown option 'bogus'\\.\nTry 'vorn --help' for more information\\.\n$" -bogus)
check(2 "Unknown option 'bogus'" --version --bogus)
check(2 "Missing value after '-platform'" -platform)
# With toolkit options only, the game starts and gets them: without a display it
# would stop at once unless "-platform offscreen" reached the application object.
check(running "" -platform offscreen -reverse)
