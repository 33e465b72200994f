# Runs the evaluation fuzzer a fixed number of times from the seed corpus, in a scratch folder
# made anew for each run: the seeds stay untouched and every run starts from the same corpus.
#   cmake -DFUZZER=<fuzzer> -DSEEDS=<seed dir> -DWORK_DIR=<scratch dir> -P bounded_run.cmake
foreach(var FUZZER SEEDS WORK_DIR)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "bounded_run.cmake needs -D${var}=...")
    endif()
endforeach()

file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}/corpus")

# New inputs go to the first corpus folder, the scratch one; a failing input is saved in
# WORK_DIR as crash-<sha1>.
execute_process(
    COMMAND "${FUZZER}" -seed=1 -runs=200000 -max_total_time=45 -max_len=256
            "-artifact_prefix=${WORK_DIR}/" "${WORK_DIR}/corpus" "${SEEDS}"
    RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "fuzz_evaluation failed (${result}); the input is saved in ${WORK_DIR}")
endif()
