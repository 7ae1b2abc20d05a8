# Writes the tests' hostile decks at full size for bench/hostile_forms_bench.sh. The packages
# are deflated by zlib: without its headers the writer is left out.
find_package(ZLIB)
if(NOT ZLIB_FOUND)
  message(STATUS "hostile_decks_write left out: zlib1g-dev is not installed")
  return()
endif()
add_executable(hostile_decks_write ${CMAKE_CURRENT_LIST_DIR}/HostileDecksWrite.cpp)
target_link_libraries(hostile_decks_write PRIVATE ZLIB::ZLIB)
target_include_directories(hostile_decks_write PRIVATE ${PROJECT_SOURCE_DIR})
dkscr_warnings(hostile_decks_write)
