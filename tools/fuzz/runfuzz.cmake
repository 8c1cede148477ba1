# Runs one fuzz target for a bounded time over its committed corpus:
#   cmake -DFUZZER=<exe> -DCORPUS=<dir> -DWORK=<dir> -DSECONDS=<n> -P runfuzz.cmake
# Inputs the run finds land in WORK/new, crash files in WORK; the committed
# corpus is read only. Fails when the fuzzer reports a crash, leak or timeout.
foreach(var FUZZER CORPUS WORK SECONDS)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "runfuzz.cmake needs -D${var}=...")
  endif()
endforeach()

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/new)
execute_process(
  COMMAND ${FUZZER} -max_total_time=${SECONDS} -runs=2000000 -timeout=10 -rss_limit_mb=2048
          -print_final_stats=1 -artifact_prefix=${WORK}/ ${WORK}/new ${CORPUS}
  WORKING_DIRECTORY ${WORK}
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  file(GLOB artifacts ${WORK}/crash-* ${WORK}/leak-* ${WORK}/timeout-* ${WORK}/oom-*)
  message(FATAL_ERROR "${FUZZER} failed (${result}); inputs: ${artifacts}")
endif()
