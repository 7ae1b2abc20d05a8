find_package(ZLIB REQUIRED)
dkscr_add_fuzzer(slide_model)
target_link_libraries(fuzz_slide_model PRIVATE ZLIB::ZLIB)
