# Debian packages from the build: `cpack -G DEB` in the build folder (scripts/package.sh).
# One package per component; each carries its copyright file and changelog in
# /usr/share/doc/<package>/ (installed only for packages, not by a plain `cmake --install`).
include(GNUInstallDirs)
set(DKSCR_PACKAGE_MAINTAINER "The Deckscribe developers <maintainers@deckscribe.invalid>"
    CACHE STRING "Maintainer field of the Debian packages")

# component  package name       section  summary line, then the long description
set(_dkscr_packages
  "tools|deckscribe-tools|text|console converters of PowerPoint presentations to text|dkscrcmd converts one binary (.ppt) or Open XML (.pptx) presentation into\na text file or standard output, in UTF-8, UTF-16 or any Windows code\npage, with one message line and an exit code for scripts. dkscrbatch\nconverts whole folders and corpora on every core, into text files or\nJSON Lines."
  "desktop|deckscribe|text|desktop batch converter of PowerPoint presentations to text|Deckscribe gathers presentations and whole folders into a list and\nconverts them into text files in one run, with options for the target\nfolder, existing files and the code page, each entry's outcome and an\nactivity log."
  "lib|libdeckscribe0|libs|library extracting the text of PowerPoint presentations|The conversion core of Deckscribe as a shared library with a C\ninterface: binary (.ppt) and Open XML (.pptx) presentations, from files\nor memory, into text in UTF-8, UTF-16 or any Windows code page, on any\nnumber of threads."
  "dev|libdeckscribe-dev|libdevel|development files of the Deckscribe library|The C header, the static library, the pkg-config file and the CMake\npackage (find_package(Deckscribe)) of libdeckscribe."
  "python|python3-deckscribe|python|Python module extracting the text of PowerPoint presentations|deckscribe.extract() and extract_text() convert binary (.ppt) and Open\nXML (.pptx) presentations, given as paths or bytes, in-process and with\nthe interpreter lock released.")

set(_dkscr_changelog ${CMAKE_BINARY_DIR}/packaging/changelog.Debian.gz)
add_custom_command(OUTPUT ${_dkscr_changelog}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
  COMMAND gzip -9n -c ${PROJECT_SOURCE_DIR}/packaging/changelog > ${_dkscr_changelog}
  DEPENDS ${PROJECT_SOURCE_DIR}/packaging/changelog VERBATIM)
add_custom_target(package_changelog ALL DEPENDS ${_dkscr_changelog})

set(CPACK_COMPONENTS_ALL "")
foreach(entry ${_dkscr_packages})
  string(REPLACE "|" ";" fields "${entry}")
  list(GET fields 0 component)
  list(GET fields 1 name)
  list(GET fields 2 section)
  list(GET fields 3 summary)
  list(GET fields 4 description)
  if((component STREQUAL "desktop" AND NOT DKSCR_BUILD_APP) OR
     (component STREQUAL "python" AND NOT TARGET _deckscribe))
    continue()
  endif()
  list(APPEND CPACK_COMPONENTS_ALL ${component})
  string(TOUPPER ${component} upper)
  set(CPACK_DEBIAN_${upper}_PACKAGE_NAME ${name})
  set(CPACK_DEBIAN_${upper}_PACKAGE_SECTION ${section})
  set(CPACK_COMPONENT_${upper}_DESCRIPTION "${summary}\n${description}")
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${_dkscr_changelog}
          DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${name} COMPONENT ${component} EXCLUDE_FROM_ALL)
endforeach()

set(CPACK_COMPONENT_DEV_DEPENDS lib)
set(CPACK_PACKAGE_NAME deckscribe)
set(CPACK_PACKAGE_VENDOR "The Deckscribe developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${DKSCR_PACKAGE_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${DKSCR_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://github.com/deckscribe/deckscribe")
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The shared library's package declares its shlibs and asks for ldconfig through a trigger (the
# maintainer scripts CPack would write call ldconfig directly, which Debian no longer wants).
set(_dkscr_lib_control ${CMAKE_BINARY_DIR}/packaging/libdeckscribe0)
file(WRITE ${_dkscr_lib_control}/shlibs
     "libdeckscribe ${PROJECT_VERSION_MAJOR} libdeckscribe0 (>= ${PROJECT_VERSION})\n")
file(WRITE ${_dkscr_lib_control}/triggers "activate-noawait ldconfig\n")
set(CPACK_DEBIAN_LIB_PACKAGE_CONTROL_EXTRA "${_dkscr_lib_control}/shlibs;${_dkscr_lib_control}/triggers")
set(CPACK_DEBIAN_LIB_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PYTHON_PACKAGE_DEPENDS "${DKSCR_PYTHON_PACKAGE_DEPENDS}")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)
