# The image libraries for the MinGW trees, built statically from Debian's
# source packages (Debian ships no MinGW builds of them). The install step
# (pictaro.sh, or cmake/deb-sources.sh run here when they are missing)
# unpacks them into PICTARO_DEB_SOURCES. Defines PICTARO_IMAGE_LIBS.
#  - libjpeg-turbo: its own CMake build as an external project, static only,
#    without the TurboJPEG API; SIMD only when nasm is there to assemble it.
#  - libpng and giflib: their library sources compiled here, with libpng's
#    prebuilt configuration header (no hardware-specific filters).
include(ExternalProject)
set(PICTARO_DEB_SOURCES ${CMAKE_SOURCE_DIR}/third_party CACHE PATH
    "Folder holding Debian's unpacked sources of libjpeg-turbo, libpng1.6, giflib, mpg123 and speex")

function(pictaro_find_deb_source var package)
  file(GLOB dirs LIST_DIRECTORIES true ${PICTARO_DEB_SOURCES}/${package}-[0-9]*)
  list(FILTER dirs EXCLUDE REGEX "\\.(tar|dsc|xz|gz)")
  if(NOT dirs)
    execute_process(COMMAND ${CMAKE_SOURCE_DIR}/cmake/deb-sources.sh ${PICTARO_DEB_SOURCES}
                    RESULT_VARIABLE rc)
    file(GLOB dirs LIST_DIRECTORIES true ${PICTARO_DEB_SOURCES}/${package}-[0-9]*)
    list(FILTER dirs EXCLUDE REGEX "\\.(tar|dsc|xz|gz)")
  endif()
  if(NOT dirs)
    message(FATAL_ERROR "No source of ${package} in ${PICTARO_DEB_SOURCES}; run cmake/deb-sources.sh ${PICTARO_DEB_SOURCES}")
  endif()
  list(SORT dirs)
  list(GET dirs -1 dir)
  set(${var} ${dir} PARENT_SCOPE)
endfunction()

pictaro_find_deb_source(JPEG_SRC libjpeg-turbo)
pictaro_find_deb_source(PNG_SRC libpng1.6)
pictaro_find_deb_source(GIF_SRC giflib)

# libjpeg-turbo
find_program(PICTARO_NASM nasm)
set(jpegSimd OFF)
if(PICTARO_NASM)
  set(jpegSimd ON)
endif()
# Only the static library is built; its headers are the source's plus the
# generated jconfig.h in the build folder.
set(JPEG_BUILD ${CMAKE_BINARY_DIR}/third_party/jpeg-build)
set(JPEG_LIB ${JPEG_BUILD}/libjpeg.a)
ExternalProject_Add(jpeg_build
  SOURCE_DIR ${JPEG_SRC}
  BINARY_DIR ${JPEG_BUILD}
  CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${CMAKE_TOOLCHAIN_FILE}
             -DCMAKE_BUILD_TYPE=Release
             -DCMAKE_INSTALL_PREFIX=${CMAKE_BINARY_DIR}/third_party/jpeg
             -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF
             -DWITH_SIMD=${jpegSimd}
  BUILD_COMMAND ${CMAKE_COMMAND} --build . -j2 --target jpeg-static
  INSTALL_COMMAND ""
  BUILD_BYPRODUCTS ${JPEG_LIB})
file(MAKE_DIRECTORY ${JPEG_BUILD})
add_library(pictaro_jpeg STATIC IMPORTED GLOBAL)
set_target_properties(pictaro_jpeg PROPERTIES IMPORTED_LOCATION ${JPEG_LIB}
                      INTERFACE_INCLUDE_DIRECTORIES "${JPEG_SRC};${JPEG_BUILD}")
add_dependencies(pictaro_jpeg jpeg_build)

# libpng
set(PNG_CONF_DIR ${CMAKE_BINARY_DIR}/third_party/png-conf)
configure_file(${PNG_SRC}/scripts/pnglibconf.h.prebuilt ${PNG_CONF_DIR}/pnglibconf.h COPYONLY)
set(pngSources)
foreach(f png pngerror pngget pngmem pngpread pngread pngrio pngrtran pngrutil pngset pngtrans
          pngwio pngwrite pngwtran pngwutil)
  list(APPEND pngSources ${PNG_SRC}/${f}.c)
endforeach()
add_library(pictaro_png STATIC ${pngSources})
target_include_directories(pictaro_png SYSTEM PUBLIC ${PNG_SRC} ${PNG_CONF_DIR})
target_compile_options(pictaro_png PRIVATE -w)
target_link_libraries(pictaro_png PUBLIC ZLIB::ZLIB)

# giflib
set(gifSources)
foreach(f dgif_lib egif_lib gifalloc gif_err gif_hash openbsd-reallocarray)
  list(APPEND gifSources ${GIF_SRC}/${f}.c)
endforeach()
add_library(pictaro_gif STATIC ${gifSources})
target_include_directories(pictaro_gif SYSTEM PUBLIC ${GIF_SRC})
target_compile_options(pictaro_gif PRIVATE -w)

set(PICTARO_IMAGE_LIBS pictaro_jpeg pictaro_png pictaro_gif)
