# Runs one libFuzzer target for SECONDS from the seed folders in SEEDS, in a fresh work corpus.
# Fails when the fuzzer finds a crash, a leak, a slow input or a memory blow-up.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
foreach(seed IN LISTS SEEDS)
  if(IS_DIRECTORY ${seed})
    file(GLOB_RECURSE files LIST_DIRECTORIES false ${seed}/*)
    foreach(f IN LISTS files)
      file(COPY ${f} DESTINATION ${WORK})
    endforeach()
  elseif(EXISTS ${seed})
    file(COPY ${seed} DESTINATION ${WORK})
  endif()
endforeach()
# A smaller quarantine keeps ASan's own memory from eating the 512 MB the inputs may use.
set(ENV{ASAN_OPTIONS} "quarantine_size_mb=64:malloc_context_size=10")
set(ENV{LSAN_OPTIONS} "suppressions=${CMAKE_CURRENT_LIST_DIR}/../tests/fuzz/lsan.supp")
execute_process(
  COMMAND ${FUZZER} -max_total_time=${SECONDS} -timeout=1 -rss_limit_mb=512
          -malloc_limit_mb=512 -print_final_stats=1 -artifact_prefix=${WORK}/../ ${WORK}
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "fuzzer ${FUZZER} failed (${result})")
endif()
