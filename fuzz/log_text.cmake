dkscr_add_fuzzer(log_text
  ${PROJECT_SOURCE_DIR}/app/dialogs/LogText.cpp
  ${PROJECT_SOURCE_DIR}/app/dialogs/CodePageList.cpp)
target_include_directories(fuzz_log_text PRIVATE ${PROJECT_SOURCE_DIR})
