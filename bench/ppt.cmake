find_package(benchmark REQUIRED)

# Throughput of ConvertPpt on the shared corpus (MB/s of input, files/s).
add_executable(bench_convert_ppt ${CMAKE_CURRENT_LIST_DIR}/ConvertPptBench.cpp)
target_link_libraries(bench_convert_ppt PRIVATE dkscr_core benchmark::benchmark)
target_compile_definitions(bench_convert_ppt PRIVATE DKSCR_CORPUS_DIR="${PROJECT_SOURCE_DIR}/../shared/corpus")
dkscr_warnings(bench_convert_ppt)

# Converts files given on the command line, for side-by-side timing with other tools.
add_executable(ppt_convert_files ${CMAKE_CURRENT_LIST_DIR}/PptConvertFiles.cpp)
target_link_libraries(ppt_convert_files PRIVATE dkscr_core)
dkscr_warnings(ppt_convert_files)
# Started once per file in the side-by-side timing: the C++ runtime is linked in so that the
# process starts with the same shared libraries as a C program.
target_link_options(ppt_convert_files PRIVATE -static-libstdc++ -static-libgcc)
