# The Python module needs pybind11 and the Python headers; it is built where
# both are found. Not in the sanitizer build: an instrumented extension needs
# the sanitizer runtime preloaded into the interpreter. The core is compiled
# position-independent then, so that the module can link it.
if(VELKOR_PYTHON AND (VELKOR_SANITIZE OR VELKOR_TSAN))
  message(STATUS "velkor: no Python module in the sanitizer build")
  set(VELKOR_PYTHON OFF)
endif()
if(VELKOR_PYTHON)
  # Debian's python3, for which python3-numpy and the others are installed,
  # before any other interpreter on the PATH.
  if(NOT DEFINED Python3_EXECUTABLE AND EXISTS /usr/bin/python3)
    set(Python3_EXECUTABLE /usr/bin/python3)
  endif()
  find_package(Python3 COMPONENTS Interpreter Development.Module)
  set(PYBIND11_FINDPYTHON ON)
  find_package(pybind11 CONFIG QUIET)
  if(NOT Python3_FOUND OR NOT pybind11_FOUND)
    message(STATUS "velkor: pybind11 or the Python headers not found, no Python module")
    set(VELKOR_PYTHON OFF)
  else()
    set(CMAKE_POSITION_INDEPENDENT_CODE ON)
    # Calls inside the core stay direct, as in an executable.
    add_compile_options(-fno-semantic-interposition)
  endif()
endif()
