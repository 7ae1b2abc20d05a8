dkscr_add_fuzzer(cli_options ${PROJECT_SOURCE_DIR}/cli/CmdOptions.cpp)
