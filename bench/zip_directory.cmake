# The ZIP directory of large packages: reading, looking up by name, bytes per entry. zlib is
# needed by the archive writer the packages are made with.
find_package(benchmark REQUIRED)
find_package(ZLIB)
if(NOT ZLIB_FOUND)
  message(STATUS "bench_zip_directory left out: zlib1g-dev is not installed")
  return()
endif()
add_executable(bench_zip_directory ${CMAKE_CURRENT_LIST_DIR}/ZipDirectoryBench.cpp)
target_link_libraries(bench_zip_directory PRIVATE dkscr_core benchmark::benchmark ZLIB::ZLIB)
target_include_directories(bench_zip_directory PRIVATE ${PROJECT_SOURCE_DIR})
dkscr_warnings(bench_zip_directory)
# A smoke run with the test suite: the small package, once, no timing judged.
add_test(NAME bench_zip_directory_smoke COMMAND bench_zip_directory
         --benchmark_filter=/2000 --benchmark_min_time=0.01)
