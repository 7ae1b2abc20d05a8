# XML loading against pugixml (a benchmark-only dependency) and .pptx conversions per second.
find_package(benchmark REQUIRED)
find_package(pugixml REQUIRED)
find_package(ZLIB REQUIRED)
set(DKSCR_BENCH_CORPUS_DIR "${PROJECT_SOURCE_DIR}/../shared/corpus" CACHE PATH
    "Sample presentations the benchmarks read")
add_executable(bench_pptx ${CMAKE_CURRENT_LIST_DIR}/PptxBench.cpp)
target_link_libraries(bench_pptx PRIVATE dkscr_core benchmark::benchmark pugixml::pugixml ZLIB::ZLIB)
target_include_directories(bench_pptx PRIVATE ${PROJECT_SOURCE_DIR})
target_compile_definitions(bench_pptx PRIVATE DKSCR_CORPUS_DIR="${DKSCR_BENCH_CORPUS_DIR}")
dkscr_warnings(bench_pptx)
