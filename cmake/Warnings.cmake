# Warnings are errors in our own targets; third-party code is not affected.
function(dkscr_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow
    $<$<COMPILE_LANGUAGE:CXX>:-Wnon-virtual-dtor -Woverloaded-virtual>
    -Wcast-align -Wunused -Wformat=2 -Werror)
endfunction()
