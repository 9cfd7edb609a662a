# Windows test programs (gtest, cross-built, run under Wine). Each is built
# from tests/win/<name>/*.cpp by tests/win/CMakeLists.txt.
set(PICTARO_WIN_TEST_PROGRAMS)
file(GLOB _dirs RELATIVE ${CMAKE_CURRENT_LIST_DIR} ${CMAKE_CURRENT_LIST_DIR}/*)
foreach(_d ${_dirs})
  if(IS_DIRECTORY ${CMAKE_CURRENT_LIST_DIR}/${_d} AND NOT _d STREQUAL "common")
    list(APPEND PICTARO_WIN_TEST_PROGRAMS win_${_d}_tests)
  endif()
endforeach()
