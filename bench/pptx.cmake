# XML loading against pugixml and .pptx conversions per second. pugixml is a benchmark-only
# dependency: without it the comparison is left out, without zlib (which reads the inputs)
# the whole benchmark is.
find_package(benchmark REQUIRED)
find_package(ZLIB)
if(NOT ZLIB_FOUND)
  message(STATUS "bench_pptx left out: zlib1g-dev is not installed")
  return()
endif()
find_package(pugixml QUIET)
set(DKSCR_BENCH_CORPUS_DIR "${PROJECT_SOURCE_DIR}/../shared/corpus" CACHE PATH
    "Sample presentations the benchmarks read")
add_executable(bench_pptx ${CMAKE_CURRENT_LIST_DIR}/PptxBench.cpp)
target_link_libraries(bench_pptx PRIVATE dkscr_core benchmark::benchmark ZLIB::ZLIB)
if(pugixml_FOUND)
  target_link_libraries(bench_pptx PRIVATE pugixml::pugixml)
  target_compile_definitions(bench_pptx PRIVATE DKSCR_HAVE_PUGIXML=1)
else()
  message(STATUS "bench_pptx runs without pugixml: libpugixml-dev is not installed")
endif()
target_include_directories(bench_pptx PRIVATE ${PROJECT_SOURCE_DIR})
target_compile_definitions(bench_pptx PRIVATE DKSCR_CORPUS_DIR="${DKSCR_BENCH_CORPUS_DIR}")
dkscr_warnings(bench_pptx)
# A smoke run with the test suite: XML loading (and pugixml's) once each, no timing judged.
add_test(NAME bench_pptx_xml_smoke COMMAND bench_pptx
         --benchmark_filter=Xml|Pugi --benchmark_min_time=0.01 --benchmark_repetitions=1)
