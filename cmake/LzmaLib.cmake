# liblzma for the MinGW trees ("ZWS" movies), built statically from Debian's
# xz-utils source package with its own CMake build (the library target only).
# Defines PICTARO_LZMA_LIBS.
pictaro_find_deb_source(XZ_SRC xz-utils)
set(LZMA_BUILD ${CMAKE_BINARY_DIR}/third_party/lzma-build)
set(LZMA_LIB ${LZMA_BUILD}/liblzma.a)
ExternalProject_Add(lzma_build
  SOURCE_DIR ${XZ_SRC}
  BINARY_DIR ${LZMA_BUILD}
  CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${CMAKE_TOOLCHAIN_FILE}
             -DCMAKE_BUILD_TYPE=Release
             -DBUILD_SHARED_LIBS=OFF
  BUILD_COMMAND ${CMAKE_COMMAND} --build . -j2 --target liblzma
  INSTALL_COMMAND ""
  BUILD_BYPRODUCTS ${LZMA_LIB})
file(MAKE_DIRECTORY ${LZMA_BUILD})
add_library(pictaro_lzma STATIC IMPORTED GLOBAL)
# LZMA_API_STATIC: the headers would otherwise declare the functions as DLL
# imports.
set_target_properties(pictaro_lzma PROPERTIES IMPORTED_LOCATION ${LZMA_LIB}
                      INTERFACE_INCLUDE_DIRECTORIES "${XZ_SRC}/src/liblzma/api"
                      INTERFACE_COMPILE_DEFINITIONS LZMA_API_STATIC)
add_dependencies(pictaro_lzma lzma_build)
set(PICTARO_LZMA_LIBS pictaro_lzma)
