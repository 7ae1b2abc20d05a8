# The desktop program's file readers: the job file loader and the settings-file reader.
# The fuzz build has no app library, so the sources they need are compiled in here.
find_package(Qt6 REQUIRED COMPONENTS Core)
set(_app ${PROJECT_SOURCE_DIR}/app)
dkscr_add_fuzzer(job_file ${_app}/SavedFileList.cpp ${_app}/FileList.cpp ${_app}/session/AtomicFile.cpp
  ${_app}/KelFileFind.cpp)
target_link_libraries(fuzz_job_file PRIVATE Qt6::Core)
dkscr_add_fuzzer(profile ${_app}/session/ProfileFile.cpp ${_app}/session/AtomicFile.cpp)
