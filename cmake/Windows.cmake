# Windows tree (MinGW-w64 i686): pictaro.exe, swfshot.exe and the Windows
# test programs, all linked statically so they run with nothing beside them.
enable_language(RC)
set(ZLIB_USE_STATIC_LIBS ON)  # the program must run with nothing beside it
find_package(ZLIB REQUIRED)
include(cmake/ImageLibs.cmake)
include(cmake/SoundLibs.cmake)
include(cmake/LzmaLib.cmake)
add_compile_definitions(WINVER=0x0600 _WIN32_WINNT=0x0600 _WIN32_IE=0x0700 NOMINMAX
                        WIN32_LEAN_AND_MEAN STRICT)
add_link_options(-static -static-libgcc -static-libstdc++)
# -O2 rather than -O3: as fast for our loops, and the Windows trees are a
# large share of the build (the tree built only to run tests asks for less).
set(PICTARO_OPTIMIZE -O2 CACHE STRING "Optimisation of the Windows tree")
set(CMAKE_CXX_FLAGS_RELEASE "${PICTARO_OPTIMIZE} -DNDEBUG")
set(PICTARO_WIN_LIBS gdiplus comctl32 comdlg32 shell32 shlwapi ole32 oleaut32 uuid
    advapi32 gdi32 user32 kernel32 winmm)
set(PICTARO_MOVIE_DIR "" CACHE PATH "Folder holding the generated movies (action.swf)")

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
add_subdirectory(${PICTARO_GTEST_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# Same helpers as natively, without sanitizer copies.
function(pictaro_add_library name)
  cmake_parse_arguments(P "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${P_SOURCES})
  target_link_libraries(${name} PUBLIC ${P_LIBS})
endfunction()

add_subdirectory(swf)
add_subdirectory(hostfonts)
add_subdirectory(framework)
add_subdirectory(controls)
add_subdirectory(player)
add_subdirectory(capture)
add_subdirectory(picker)
add_subdirectory(app)
add_subdirectory(tools)
add_subdirectory(tests)

# Windows benchmarks (run by hand under Wine; they print figures).
if(EXISTS ${CMAKE_SOURCE_DIR}/bench/win/CMakeLists.txt)
  add_subdirectory(bench/win)
endif()
