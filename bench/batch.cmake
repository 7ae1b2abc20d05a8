# dkscrbatch against the in-process loop on the same files (bench/BatchThroughput.cpp).
add_executable(batch_throughput ${CMAKE_CURRENT_LIST_DIR}/BatchThroughput.cpp)
target_link_libraries(batch_throughput PRIVATE dkscr_core dkscr_batch)
target_compile_definitions(batch_throughput PRIVATE DKSCR_CORPUS_DIR="${PROJECT_SOURCE_DIR}/../shared/corpus")
dkscr_warnings(batch_throughput)
