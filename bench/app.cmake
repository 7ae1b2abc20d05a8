# The desktop program's list with big folders (Add Dir, menus, selection count).
if(TARGET dkscr_shell)
  add_executable(bench_app_list ${CMAKE_CURRENT_LIST_DIR}/AddDirBench.cpp)
  target_link_libraries(bench_app_list PRIVATE dkscr_shell)
  target_include_directories(bench_app_list PRIVATE ${PROJECT_SOURCE_DIR})
  dkscr_warnings(bench_app_list)
endif()
