# Install helpers shared by the programs' folders.
include(GNUInstallDirs)

# Installs a manual page compressed as Debian's policy wants it (gzip -9n: no name, no time
# stamp, so the package is reproducible); man reads it the same way.
# Windows has no man; its archive carries the README instead.
function(dkscr_install_man page component)
  if(WIN32)
    return()
  endif()
  get_filename_component(name ${page} NAME)
  set(compressed ${CMAKE_CURRENT_BINARY_DIR}/${name}.gz)
  add_custom_command(OUTPUT ${compressed}
    COMMAND gzip -9n -c ${CMAKE_CURRENT_SOURCE_DIR}/${page} > ${compressed}
    DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${page} VERBATIM)
  add_custom_target(man_${name} ALL DEPENDS ${compressed})
  string(REGEX MATCH "[0-9]$" section ${name})
  install(FILES ${compressed} DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section}
          COMPONENT ${component})
endfunction()
