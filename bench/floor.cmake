# What the .pptx slide forms could reach at most against the default text: the text and JSON
# timed beside the decompression alone of the parts each reads.
add_executable(pptx_read_floor ${CMAKE_CURRENT_LIST_DIR}/PptxReadFloor.cpp)
target_link_libraries(pptx_read_floor PRIVATE dkscr_core)
target_include_directories(pptx_read_floor PRIVATE ${PROJECT_SOURCE_DIR})
target_compile_definitions(pptx_read_floor PRIVATE DKSCR_CORPUS_DIR="${PROJECT_SOURCE_DIR}/../shared/corpus")
dkscr_warnings(pptx_read_floor)
# A smoke run with the test suite on the bundled sample, one pass, no timing judged.
add_test(NAME bench_pptx_read_floor_smoke COMMAND pptx_read_floor 1 ${PROJECT_SOURCE_DIR}/samples)
