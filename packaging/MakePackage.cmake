# Makes Pictaro-VERSION-setup.exe and Pictaro-VERSION.zip in OUT from the
# programs of one Windows tree (cmake -P, see Packaging.cmake):
#   -DWINDIR=<win32 or win64 build> -DARCH=x86|amd64 -DMOVIES=<movies>
#   -DVERSION=1.1 -DOUT=<folder> -DMAKENSIS=<makensis>
set(here ${CMAKE_CURRENT_LIST_DIR})
set(stage ${OUT}/Pictaro-${VERSION})
file(REMOVE_RECURSE ${stage})
file(MAKE_DIRECTORY ${stage})
foreach(f ${WINDIR}/app/pictaro.exe ${WINDIR}/tools/swfshot.exe ${MOVIES}/action.swf ${MOVIES}/sample.swf)
  if(NOT EXISTS ${f})
    message(FATAL_ERROR "${f} is missing: build the target runnable first")
  endif()
  file(COPY ${f} DESTINATION ${stage})
endforeach()
# Notepad of older Windows wants CR LF.
configure_file(${here}/ReadMe.txt.in ${stage}/ReadMe.txt @ONLY NEWLINE_STYLE CRLF)

if(NOT MAKENSIS)
  message(FATAL_ERROR "makensis not found: install the Debian package nsis")
endif()
set(setup ${OUT}/Pictaro-${VERSION}-setup.exe)
execute_process(COMMAND ${MAKENSIS} -V2 -DVERSION=${VERSION} -DARCH=${ARCH} -DSTAGE=${stage}
                        -DOUTFILE=${setup} ${here}/pictaro.nsi
                RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "makensis failed on ${here}/pictaro.nsi")
endif()

# The zip holds the folder itself, so it unpacks into Pictaro-VERSION.
set(zip ${OUT}/Pictaro-${VERSION}.zip)
file(REMOVE ${zip})
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${zip} --format=zip Pictaro-${VERSION}
                WORKING_DIRECTORY ${OUT} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cannot write ${zip}")
endif()
message(STATUS "Packages: ${setup} ${zip}")
