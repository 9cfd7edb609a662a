# Builds the Windows tree with MinGW as external projects and runs its test
# programs under Wine (one prefix and one Xvfb per test run).
#  - win32: the product for i686, every target: pictaro.exe, swfshot.exe, the
#    test programs and benchmarks, on every machine, so that code i686
#    rejects (a callback without the Windows calling convention) fails the
#    build everywhere.
#  - win64: on machines where 32-bit Wine cannot start (a kernel that runs
#    64-bit user code only, or no wine32 package), the same sources for
#    x86_64; `run` and the tests use this build there (tests/wine/session.sh
#    picks the loader). Only what they run is built.
include(ExternalProject)
set(PICTARO_WIN32_DIR ${CMAKE_BINARY_DIR}/win32)
set(PICTARO_WIN64_DIR ${CMAKE_BINARY_DIR}/win64)
execute_process(COMMAND ${CMAKE_SOURCE_DIR}/tests/wine/session.sh arch none
                OUTPUT_VARIABLE PICTARO_WINE_ARCH OUTPUT_STRIP_TRAILING_WHITESPACE)
include(${CMAKE_SOURCE_DIR}/tests/win/programs.cmake)
if(PICTARO_WINE_ARCH STREQUAL "32")
  set(PICTARO_WIN_TEST_DIR ${PICTARO_WIN32_DIR})
else()
  set(PICTARO_WIN_TEST_DIR ${PICTARO_WIN64_DIR})
endif()

# Each tree is configured once and built in two steps: windows32_programs
# (pictaro.exe and swfshot.exe, what `run` and the packages need) and then
# windows32, the rest of the tree. The second step follows the first, so the
# two builds never share the folder at once.
set(PICTARO_WIN_PROGRAMS pictaro swfshot)
ExternalProject_Add(windows32_programs
  SOURCE_DIR ${CMAKE_SOURCE_DIR}
  BINARY_DIR ${PICTARO_WIN32_DIR}
  CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/mingw-i686.cmake
             -DCMAKE_BUILD_TYPE=Release
             -DPICTARO_MOVIE_DIR=${CMAKE_BINARY_DIR}/movies
  BUILD_COMMAND ${CMAKE_COMMAND} --build . -j2 --target ${PICTARO_WIN_PROGRAMS}
  INSTALL_COMMAND ""
  BUILD_ALWAYS ON
  DEPENDS movies)
add_custom_target(windows32 ALL
  COMMAND ${CMAKE_COMMAND} --build ${PICTARO_WIN32_DIR} -j2
  DEPENDS windows32_programs)
set(PICTARO_RUNNABLE windows32_programs)

if(NOT PICTARO_WINE_ARCH STREQUAL "32")
  ExternalProject_Add(windows64_programs
    SOURCE_DIR ${CMAKE_SOURCE_DIR}
    BINARY_DIR ${PICTARO_WIN64_DIR}
    CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/mingw-x86_64.cmake
               -DCMAKE_BUILD_TYPE=Release -DPICTARO_OPTIMIZE=-O1
               -DPICTARO_MOVIE_DIR=${CMAKE_BINARY_DIR}/movies
    BUILD_COMMAND ${CMAKE_COMMAND} --build . -j2 --target ${PICTARO_WIN_PROGRAMS}
    INSTALL_COMMAND ""
    BUILD_ALWAYS ON
    DEPENDS movies)
  add_custom_target(windows64 ALL
    COMMAND ${CMAKE_COMMAND} --build ${PICTARO_WIN64_DIR} -j2 --target paintstub ${PICTARO_WIN_TEST_PROGRAMS}
    DEPENDS windows64_programs windows32)
  set(PICTARO_RUNNABLE windows64_programs)
endif()

# What `pictaro.sh run` needs: the sample movies and the Windows programs
# this machine's Wine runs, and no test program.
add_custom_target(runnable DEPENDS movies ${PICTARO_RUNNABLE})

include(${CMAKE_SOURCE_DIR}/packaging/Packaging.cmake)

set(WINE_SESSION ${CMAKE_SOURCE_DIR}/tests/wine/session.sh)
set(WINE_STATE ${CMAKE_BINARY_DIR}/wine)
add_test(NAME wine_start COMMAND ${WINE_SESSION} start ${WINE_STATE} ${PICTARO_WIN_TEST_DIR})
add_test(NAME wine_stop COMMAND ${WINE_SESSION} stop ${WINE_STATE})
set_tests_properties(wine_start PROPERTIES FIXTURES_SETUP wine TIMEOUT 240)
set_tests_properties(wine_stop PROPERTIES FIXTURES_CLEANUP wine TIMEOUT 60)

# The programs we ship must need nothing but system DLLs.
add_test(NAME pictaro_imports
  COMMAND ${CMAKE_SOURCE_DIR}/tests/wine/check-imports.sh ${PICTARO_WIN32_DIR}/app/pictaro.exe)
add_test(NAME swfshot_imports
  COMMAND ${CMAKE_SOURCE_DIR}/tests/wine/check-imports.sh ${PICTARO_WIN32_DIR}/tools/swfshot.exe)

# Every Windows test program (tests/win/programs.cmake) runs as one ctest
# test; each is a gtest binary whose cases run in one process.
foreach(prog ${PICTARO_WIN_TEST_PROGRAMS})
  add_test(NAME ${prog}
    COMMAND ${WINE_SESSION} run ${WINE_STATE} ${PICTARO_WIN_TEST_DIR}/tests/win/${prog}.exe)
  set_tests_properties(${prog} PROPERTIES FIXTURES_REQUIRED wine TIMEOUT 600
    RESOURCE_LOCK wine_desktop
    ENVIRONMENT "PICTARO_MOVIES=${CMAKE_BINARY_DIR}/movies;PICTARO_SETUP=${PICTARO_TEST_SETUP}")
endforeach()
