# Conversions per second through the C interface, one process, 1 and 2 threads.
add_executable(bench_api_threads ${CMAKE_CURRENT_LIST_DIR}/ApiThreadsBench.c)
find_package(Threads REQUIRED)
target_link_libraries(bench_api_threads PRIVATE deckscribe Threads::Threads)
target_compile_definitions(bench_api_threads PRIVATE
  DKSCR_CORPUS_DIR="${PROJECT_SOURCE_DIR}/../shared/corpus")
dkscr_warnings(bench_api_threads)
