# Builds the Windows tree with the MinGW toolchain as an external project and
# runs its test programs under Wine (one prefix and one Xvfb per test run).
include(ExternalProject)
set(PICTARO_WIN_DIR ${CMAKE_BINARY_DIR}/win)
ExternalProject_Add(windows
  SOURCE_DIR ${CMAKE_SOURCE_DIR}
  BINARY_DIR ${PICTARO_WIN_DIR}
  CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/mingw-i686.cmake
             -DCMAKE_BUILD_TYPE=Release
             -DPICTARO_MOVIE_DIR=${CMAKE_BINARY_DIR}/movies
  INSTALL_COMMAND ""
  BUILD_ALWAYS ON
  USES_TERMINAL_BUILD ON
  DEPENDS movies)

set(WINE_SESSION ${CMAKE_SOURCE_DIR}/tests/wine/session.sh)
set(WINE_STATE ${CMAKE_BINARY_DIR}/wine)
add_test(NAME wine_start COMMAND ${WINE_SESSION} start ${WINE_STATE} ${PICTARO_WIN_DIR})
add_test(NAME wine_stop COMMAND ${WINE_SESSION} stop ${WINE_STATE})
set_tests_properties(wine_start PROPERTIES FIXTURES_SETUP wine TIMEOUT 240)
set_tests_properties(wine_stop PROPERTIES FIXTURES_CLEANUP wine TIMEOUT 60)

# Every Windows test program named in tests/win/programs.cmake runs as one
# ctest test; each program is a gtest binary whose cases run in one process.
include(${CMAKE_SOURCE_DIR}/tests/win/programs.cmake)
foreach(prog ${PICTARO_WIN_TEST_PROGRAMS})
  add_test(NAME ${prog}
    COMMAND ${WINE_SESSION} run ${WINE_STATE} ${PICTARO_WIN_DIR}/tests/win/${prog}.exe)
  set_tests_properties(${prog} PROPERTIES FIXTURES_REQUIRED wine TIMEOUT 600 RESOURCE_LOCK wine_desktop)
endforeach()
