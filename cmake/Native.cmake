# Native (Linux) tree: the engine, the portable logic of every feature, the
# movie tools, native tests (plain and under ASan/UBSan), the fuzzer, the
# benchmarks; then the Windows tree as an external project and its tests
# under Wine, so one ctest run covers everything.
find_package(ZLIB REQUIRED)
# LZMA movies ("ZWS"): Debian's liblzma.
find_package(LibLZMA REQUIRED)
set(PICTARO_LZMA_LIBS LibLZMA::LibLZMA)
# Image decoders for bitmap tags: Debian's libjpeg-turbo, libpng and giflib.
find_package(JPEG REQUIRED)
find_package(PNG REQUIRED)
find_package(GIF REQUIRED)
set(PICTARO_IMAGE_LIBS JPEG::JPEG PNG::PNG GIF::GIF)
# Sound decoders: Debian's libmpg123 (MP3) and libspeex.
find_package(PkgConfig REQUIRED)
pkg_check_modules(MPG123 REQUIRED IMPORTED_TARGET libmpg123)
pkg_check_modules(SPEEX REQUIRED IMPORTED_TARGET speex)
set(PICTARO_SOUND_LIBS PkgConfig::MPG123 PkgConfig::SPEEX)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${PICTARO_GTEST_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# Line tables are enough for sanitizer reports and profiles and cost far less
# to build than full debug information.
if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  set(CMAKE_CXX_FLAGS_RELWITHDEBINFO "-O2 -gline-tables-only -DNDEBUG")
  set(CMAKE_C_FLAGS_RELWITHDEBINFO "-O2 -gline-tables-only -DNDEBUG")
endif()

# Sanitized copies of libraries and tests are built from the same sources, at
# -O1 as sanitizers are usually run: quicker to build, same findings.
set(PICTARO_SANITIZE_FLAGS -O1 -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)

# pictaro_add_library(name SOURCES ... LIBS ...): a normal and an "_asan" copy.
function(pictaro_add_library name)
  cmake_parse_arguments(P "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${P_SOURCES})
  target_link_libraries(${name} PUBLIC ${P_LIBS})
  add_library(${name}_asan STATIC ${P_SOURCES})
  target_compile_options(${name}_asan PUBLIC ${PICTARO_SANITIZE_FLAGS})
  target_link_options(${name}_asan PUBLIC ${PICTARO_SANITIZE_FLAGS})
  set(asanLibs)
  foreach(lib ${P_LIBS})
    if(TARGET ${lib}_asan)
      list(APPEND asanLibs ${lib}_asan)
    else()
      list(APPEND asanLibs ${lib})
    endif()
  endforeach()
  target_link_libraries(${name}_asan PUBLIC ${asanLibs})
endfunction()

# pictaro_add_native_test(name SOURCES ... LIBS ...): a gtest binary run
# plain and under ASan/UBSan.
function(pictaro_add_native_test name)
  cmake_parse_arguments(P "" "" "SOURCES;LIBS" ${ARGN})
  foreach(variant "" "_asan")
    set(libs)
    foreach(lib ${P_LIBS})
      if(variant AND TARGET ${lib}${variant})
        list(APPEND libs ${lib}${variant})
      else()
        list(APPEND libs ${lib})
      endif()
    endforeach()
    add_executable(${name}${variant} ${P_SOURCES})
    target_link_libraries(${name}${variant} PRIVATE ${libs} GTest::gtest_main)
    if(variant)
      target_compile_options(${name}${variant} PRIVATE ${PICTARO_SANITIZE_FLAGS})
      target_link_options(${name}${variant} PRIVATE ${PICTARO_SANITIZE_FLAGS})
    endif()
    add_test(NAME ${name}${variant} COMMAND ${name}${variant})
    set_tests_properties(${name}${variant} PROPERTIES TIMEOUT 300
      ENVIRONMENT "PICTARO_MOVIES=${CMAKE_BINARY_DIR}/movies;ASAN_OPTIONS=detect_leaks=1;LSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/tests/native/lsan.supp;UBSAN_OPTIONS=print_stacktrace=1")
  endforeach()
endfunction()

add_subdirectory(swf)
add_subdirectory(hostfonts)
add_subdirectory(player)
add_subdirectory(controls)
add_subdirectory(capture)
add_subdirectory(picker)
add_subdirectory(tools)
add_subdirectory(tests)
add_subdirectory(bench)

include(cmake/WindowsTree.cmake)
