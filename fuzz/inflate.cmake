find_package(ZLIB REQUIRED)
dkscr_add_fuzzer(inflate)
target_link_libraries(fuzz_inflate PRIVATE ZLIB::ZLIB)
