# Model runs through the real plug-in and the real model programs.
add_executable(modelruns_bench ${CMAKE_CURRENT_LIST_DIR}/modelruns_bench.cpp)
target_link_libraries(modelruns_bench PRIVATE parvela_program parvela_entities parvela_db
  benchmark::benchmark)
target_compile_definitions(modelruns_bench PRIVATE
  PARVELA_BENCH_WORK_DIR="${CMAKE_BINARY_DIR}/bench-work"
  PARVELA_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
  DAXO_LIBRARY_PATH="$<TARGET_FILE:daxo_plugin>")
add_dependencies(modelruns_bench daxo_plugin glidarmodel Mundremodel)

# A project run one after the other against two jobs at once, on both engines.
add_executable(parallel_runs_bench ${CMAKE_CURRENT_LIST_DIR}/ParallelRunsBench.cpp)
target_link_libraries(parallel_runs_bench PRIVATE parvela_program parvela_entities parvela_db
  benchmark::benchmark)
target_compile_definitions(parallel_runs_bench PRIVATE
  PARVELA_BENCH_WORK_DIR="${CMAKE_BINARY_DIR}/bench-work"
  DAXO_LIBRARY_PATH="$<TARGET_FILE:daxo_plugin>")
add_dependencies(parallel_runs_bench daxo_plugin glidarmodel Mundremodel)
