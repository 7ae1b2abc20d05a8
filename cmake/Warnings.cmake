# Warnings of our own targets; third-party code is not affected. They are errors only when
# DKSCR_WERROR is on (the project's test script and CI), never in a user's or a packager's
# build, where a newer compiler's new warning must not break the build.
option(DKSCR_WERROR "Treat warnings as errors" OFF)

function(dkscr_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow
    -Wnon-virtual-dtor -Wcast-align -Wunused -Woverloaded-virtual
    -Wformat=2 $<$<BOOL:${DKSCR_WERROR}>:-Werror>)
endfunction()
