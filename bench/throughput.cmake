# Whole-corpus throughput in one process, from disk and from memory (bench/throughput_bench.sh).
add_executable(corpus_throughput ${CMAKE_CURRENT_LIST_DIR}/CorpusThroughput.cpp)
target_link_libraries(corpus_throughput PRIVATE dkscr_core)
target_compile_definitions(corpus_throughput PRIVATE DKSCR_CORPUS_DIR="${PROJECT_SOURCE_DIR}/../shared/corpus")
dkscr_warnings(corpus_throughput)
