# Installing like a Debian program: man pages, examples, and the package that
# `cpack -G DEB` makes from a Release build (dependencies found by
# dpkg-shlibdeps).

find_program(VELKOR_GZIP gzip)
if(VELKOR_GZIP)
  foreach(seite velkor velkor-batch)
    set(quelle ${CMAKE_SOURCE_DIR}/docs/man/${seite}.1)
    set(ziel ${CMAKE_BINARY_DIR}/man/${seite}.1.gz)
    add_custom_command(OUTPUT ${ziel}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
      COMMAND ${VELKOR_GZIP} -9n -c ${quelle} > ${ziel}
      DEPENDS ${quelle} VERBATIM)
    list(APPEND VELKOR_MANSEITEN ${ziel})
  endforeach()
  add_custom_target(velkor_manseiten ALL DEPENDS ${VELKOR_MANSEITEN})
  install(FILES ${VELKOR_MANSEITEN} DESTINATION share/man/man1)
endif()
install(DIRECTORY examples/ DESTINATION share/velkor/examples)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velkor)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "velkor developers <velkor@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "simulator for networks of spiking integrate-and-fire cells")
set(CPACK_PACKAGE_DESCRIPTION
  "velkor simulates networks of spiking model neurons time step by time step and shows the run in one of five views (German user interface); velkor-batch runs the same simulation from a shell.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# what the libraries do not name: the window system plugins of Qt; Qt's German
# texts, the font of the pictures and NumPy for the Python module are welcome
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, fonts-dejavu-core, python3-numpy")
set(CPACK_STRIP_FILES ON)
include(CPack)
