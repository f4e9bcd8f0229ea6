# Builds the Debian package of the build tree BAU with CPACK and compares the
# names of its files (dpkg-deb -c, sorted) with the list REFERENZ.
# With the environment variable VELKOR_DATEILISTE_NEU set, the list is
# written anew instead (after a deliberate change of what is installed).

set(aus ${BAU}/paket-test)
file(REMOVE_RECURSE ${aus})
execute_process(COMMAND ${CPACK} -G DEB --config ${BAU}/CPackConfig.cmake -B ${aus}
  WORKING_DIRECTORY ${BAU} RESULT_VARIABLE rc OUTPUT_VARIABLE ausgabe ERROR_VARIABLE ausgabe)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cpack failed:\n${ausgabe}")
endif()
file(GLOB pakete ${aus}/*.deb)
list(LENGTH pakete anzahl)
if(NOT anzahl EQUAL 1)
  message(FATAL_ERROR "expected one package, found: ${pakete}")
endif()
execute_process(COMMAND ${DPKG_DEB} -c ${pakete} RESULT_VARIABLE rc OUTPUT_VARIABLE inhalt)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "dpkg-deb -c failed")
endif()
# Debian's own checks of the package's control data
execute_process(COMMAND ${DPKG_DEB} -f ${pakete} Package Depends OUTPUT_VARIABLE kopf)
if(NOT kopf MATCHES "Package: velkor\nDepends: .*libqt6widgets6")
  message(FATAL_ERROR "control data without the Qt dependency:\n${kopf}")
endif()

string(REPLACE "\n" ";" zeilen "${inhalt}")
set(namen)
foreach(zeile IN LISTS zeilen)
  if(zeile MATCHES "^[^ ]+ +[^ ]+ +[0-9]+ +[0-9-]+ +[0-9:]+ +(.*)$")
    list(APPEND namen "${CMAKE_MATCH_1}")
  endif()
endforeach()
list(SORT namen)
list(JOIN namen "\n" liste)
set(liste "${liste}\n")
file(REMOVE_RECURSE ${aus})

if(DEFINED ENV{VELKOR_DATEILISTE_NEU})
  file(WRITE ${REFERENZ} "${liste}")
  message(STATUS "written: ${REFERENZ}")
  return()
endif()
file(READ ${REFERENZ} erwartet)
if(NOT MIT_PYTHON)
  # a build without the Python module packages everything but it
  string(REGEX REPLACE "\\./usr/lib/[^\n]*\n" "" erwartet "${erwartet}")
endif()
if(NOT liste STREQUAL erwartet)
  file(WRITE ${BAU}/paket-dateiliste.txt "${liste}")
  message(FATAL_ERROR "the package's files differ from ${REFERENZ}; the list made now is in "
    "${BAU}/paket-dateiliste.txt (VELKOR_DATEILISTE_NEU=1 ctest -R Paket writes it as the reference)")
endif()
