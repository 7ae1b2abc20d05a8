# Start-up of dkscrcmd against a static "hello" of the same build (bench/startup_bench.sh).
add_executable(startup_hello ${CMAKE_CURRENT_LIST_DIR}/startup_hello.c)
target_link_options(startup_hello PRIVATE -static)
# Starts two commands many times over, alternating, and prints the ratio of their times.
add_executable(spawn_timer ${CMAKE_CURRENT_LIST_DIR}/spawn_timer.c)
