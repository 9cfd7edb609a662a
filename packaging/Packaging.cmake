# The Windows packages (an NSIS setup and a zip of the same files), made
# from the programs of a Windows tree, without its test programs.
#  - dist: the i686 product, what we ship (pictaro.sh package).
#  - the setup the Windows tests install: dist where 32-bit Wine runs, else
#    the same setup made from the x86_64 programs.
find_program(PICTARO_MAKENSIS makensis)

function(pictaro_add_package target windir arch outdir programs)
  add_custom_target(${target}
    COMMAND ${CMAKE_COMMAND} -DWINDIR=${windir} -DARCH=${arch} -DMOVIES=${CMAKE_BINARY_DIR}/movies
            -DVERSION=${PROJECT_VERSION} -DOUT=${outdir} -DMAKENSIS=${PICTARO_MAKENSIS}
            -P ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/MakePackage.cmake
    DEPENDS ${programs} movies
    BYPRODUCTS ${outdir}/Pictaro-${PROJECT_VERSION}-setup.exe ${outdir}/Pictaro-${PROJECT_VERSION}.zip
    COMMENT "Packaging Pictaro ${PROJECT_VERSION} (${arch})")
endfunction()

pictaro_add_package(dist ${PICTARO_WIN32_DIR} x86 ${CMAKE_BINARY_DIR}/dist windows32_programs)
if(PICTARO_WINE_ARCH STREQUAL "32")
  set(PICTARO_TEST_SETUP ${CMAKE_BINARY_DIR}/dist/Pictaro-${PROJECT_VERSION}-setup.exe)
  set(_testPackage dist)
else()
  pictaro_add_package(dist64 ${PICTARO_WIN64_DIR} amd64 ${CMAKE_BINARY_DIR}/dist64 windows64_programs)
  set(PICTARO_TEST_SETUP ${CMAKE_BINARY_DIR}/dist64/Pictaro-${PROJECT_VERSION}-setup.exe)
  set(_testPackage dist64)
endif()
add_custom_target(setup_under_test ALL)
add_dependencies(setup_under_test ${_testPackage})
