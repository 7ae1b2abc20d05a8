# Start-up of dkscrcmd against a static "hello" of the same build (bench/startup_bench.sh).
add_executable(startup_hello ${CMAKE_CURRENT_LIST_DIR}/startup_hello.c)
if(NOT DKSCR_SANITIZE)  # the sanitizers' runtimes do not link static
  target_link_options(startup_hello PRIVATE -static)
endif()
# Starts two commands many times over, alternating, and prints the ratio of their times.
add_executable(spawn_timer ${CMAKE_CURRENT_LIST_DIR}/spawn_timer.c)
