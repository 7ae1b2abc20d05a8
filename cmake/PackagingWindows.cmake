# The Windows release archive (`cpack -G ZIP` in the build folder, scripts/build-windows.sh):
# the programs, deckscribe.dll with its import library and header, the README and the license.
include(GNUInstallDirs)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION .
        COMPONENT tools)
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME deckscribe)
set(CPACK_PACKAGE_VENDOR "The Deckscribe developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_SYSTEM_NAME windows-x86_64)
set(CPACK_STRIP_FILES ON)
# One archive of these components; the static library, pkg-config file and CMake package of
# "dev" stay out, as does everything only a POSIX system uses.
set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_COMPONENT_INCLUDE_TOPLEVEL_DIRECTORY ON)  # one folder, deckscribe-VERSION-windows-x86_64
set(CPACK_COMPONENTS_ALL tools lib winsdk)
if(DKSCR_BUILD_APP)
  list(APPEND CPACK_COMPONENTS_ALL desktop)  # Deckscribe.exe, qt.conf, translations/
endif()
install(FILES ${PROJECT_SOURCE_DIR}/include/deckscribe/deckscribe.h
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/deckscribe COMPONENT winsdk)
install(FILES $<TARGET_LINKER_FILE:deckscribe> DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT winsdk)
include(CPack)
