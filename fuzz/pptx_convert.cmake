find_package(ZLIB REQUIRED)
dkscr_add_fuzzer(pptx_convert)
target_link_libraries(fuzz_pptx_convert PRIVATE ZLIB::ZLIB)
