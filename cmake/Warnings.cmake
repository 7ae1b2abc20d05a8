# Warnings of our own targets; third-party code is not affected. They are errors only when
# DKSCR_WERROR is on (the project's test script and CI), never in a user's or a packager's
# build, where a newer compiler's new warning must not break the build.
option(DKSCR_WERROR "Treat warnings as errors" OFF)

# GCC 12 at -O3 reports overlapping copies inside std::string's own code that cannot happen
# (GCC bug 105651, mended in GCC 13); the warning stays on for every other compiler.
set(_dkscr_gcc12_restrict "")
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  set(_dkscr_gcc12_restrict -Wno-restrict)
endif()

function(dkscr_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow
    $<$<COMPILE_LANGUAGE:CXX>:-Wnon-virtual-dtor -Woverloaded-virtual ${_dkscr_gcc12_restrict}>
    -Wcast-align -Wunused -Wformat=2 $<$<BOOL:${DKSCR_WERROR}>:-Werror>)
endfunction()
