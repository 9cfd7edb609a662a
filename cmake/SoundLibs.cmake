# The sound decoders for the MinGW trees, built statically from Debian's
# source packages like the image libraries (cmake/ImageLibs.cmake, whose
# pictaro_find_deb_source this uses). Defines PICTARO_SOUND_LIBS.
#  - mpg123: its own CMake port (ports/cmake) as an external project, the
#    decoding library alone: no output library, programs or network.
#  - speex: the decoder library's sources compiled here, floating point,
#    with a small configuration header written below.
pictaro_find_deb_source(MPG123_SRC mpg123)
pictaro_find_deb_source(SPEEX_SRC speex)

# mpg123
set(MPG123_BUILD ${CMAKE_BINARY_DIR}/third_party/mpg123-build)
set(MPG123_LIB ${MPG123_BUILD}/src/libmpg123/libmpg123.a)
ExternalProject_Add(mpg123_build
  SOURCE_DIR ${MPG123_SRC}/ports/cmake
  BINARY_DIR ${MPG123_BUILD}
  CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${CMAKE_TOOLCHAIN_FILE}
             -DCMAKE_BUILD_TYPE=Release
             -DBUILD_SHARED_LIBS=OFF -DBUILD_LIBOUT123=OFF -DBUILD_PROGRAMS=OFF -DNETWORK=OFF
  BUILD_COMMAND ${CMAKE_COMMAND} --build . -j2 --target libmpg123
  INSTALL_COMMAND ""
  BUILD_BYPRODUCTS ${MPG123_LIB})
file(MAKE_DIRECTORY ${MPG123_BUILD}/src/libmpg123)
add_library(pictaro_mpg123 STATIC IMPORTED GLOBAL)
# Its file layer (pulled in with the decoder) uses the shell's path calls.
set_target_properties(pictaro_mpg123 PROPERTIES IMPORTED_LOCATION ${MPG123_LIB}
                      INTERFACE_INCLUDE_DIRECTORIES "${MPG123_BUILD}/src/libmpg123;${MPG123_SRC}/src/libmpg123"
                      INTERFACE_LINK_LIBRARIES shlwapi)
add_dependencies(pictaro_mpg123 mpg123_build)

# speex
set(SPEEX_CONF_DIR ${CMAKE_BINARY_DIR}/third_party/speex-conf)
file(WRITE ${SPEEX_CONF_DIR}/speex/speex_config_types.h
"#ifndef __SPEEX_TYPES_H__\n#define __SPEEX_TYPES_H__\n#include <stdint.h>\n"
"typedef int16_t spx_int16_t;\ntypedef uint16_t spx_uint16_t;\n"
"typedef int32_t spx_int32_t;\ntypedef uint32_t spx_uint32_t;\n#endif\n")
# Damaged frames are the engine's to report: the library stays quiet.
file(WRITE ${SPEEX_CONF_DIR}/config.h
"#define FLOATING_POINT 1\n#define USE_SMALLFT 1\n#define EXPORT\n"
"#define DISABLE_NOTIFICATIONS 1\n#define DISABLE_WARNINGS 1\n")
set(speexSources)
foreach(f bits cb_search exc_10_16_table exc_10_32_table exc_20_32_table exc_5_256_table exc_5_64_table
          exc_8_128_table filters gain_table gain_table_lbr hexc_10_32_table hexc_table high_lsp_tables lpc
          lsp lsp_tables_nb ltp modes modes_wb nb_celp quant_lsp sb_celp smallft speex speex_callbacks
          speex_header stereo vbr vq window)
  list(APPEND speexSources ${SPEEX_SRC}/libspeex/${f}.c)
endforeach()
add_library(pictaro_speex STATIC ${speexSources})
target_include_directories(pictaro_speex SYSTEM PUBLIC ${SPEEX_CONF_DIR} ${SPEEX_SRC}/include)
target_include_directories(pictaro_speex PRIVATE ${SPEEX_SRC}/libspeex)
target_compile_definitions(pictaro_speex PRIVATE HAVE_CONFIG_H)
target_compile_options(pictaro_speex PRIVATE -w)

set(PICTARO_SOUND_LIBS pictaro_mpg123 pictaro_speex)
