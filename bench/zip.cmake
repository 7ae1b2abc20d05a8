find_package(benchmark REQUIRED)
find_package(ZLIB REQUIRED)
add_executable(bench_inflate ${CMAKE_CURRENT_LIST_DIR}/inflate_bench.cpp)
target_link_libraries(bench_inflate PRIVATE dkscr_core benchmark::benchmark ZLIB::ZLIB)
target_include_directories(bench_inflate PRIVATE ${PROJECT_SOURCE_DIR})
target_compile_definitions(bench_inflate PRIVATE
  DKSCR_CORPUS_DIR="${PROJECT_SOURCE_DIR}/../shared/corpus")
dkscr_warnings(bench_inflate)
