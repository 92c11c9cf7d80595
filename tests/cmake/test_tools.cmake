# The scripts that run the tests: how test-all counts a stage's results (natively only).
if(NOT CMAKE_CROSSCOMPILING)
  add_test(NAME StageCounts COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/stage_counts_test.sh)
endif()
