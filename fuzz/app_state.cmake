# The desktop program's file readers: the job file loader and the settings-file reader.
# The fuzz build has no app library, so the sources they need are compiled in here.
set(_app ${PROJECT_SOURCE_DIR}/app)
dkscr_add_fuzzer(job_file ${_app}/session/JobFile.cpp ${_app}/session/AtomicFile.cpp)
dkscr_add_fuzzer(profile ${_app}/session/ProfileFile.cpp ${_app}/session/AtomicFile.cpp)
