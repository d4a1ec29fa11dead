# Makes the Windows release zip as the build does, unpacks it, and checks what a user finds in it:
# the four programs with what they need beside them, nothing of the tests, and a tavrin-cli.exe
# that starts from the unpacked folder alone and names the release's version.
# cmake -DCPACK=... -DCONFIG=CPackConfig.cmake -DOUT=folder -DVERSION=x.y.z -DWINE=wine -P UnpackRelease.cmake
file(REMOVE_RECURSE ${OUT})
execute_process(COMMAND ${CPACK} -G ZIP --config ${CONFIG} -B ${OUT} OUTPUT_QUIET RESULT_VARIABLE status)
set(zip ${OUT}/tavrin-${VERSION}-windows-x64.zip)
if(NOT status EQUAL 0 OR NOT EXISTS ${zip})
  message(FATAL_ERROR "cpack made no ${zip} (${status})")
endif()
file(ARCHIVE_EXTRACT INPUT ${zip} DESTINATION ${OUT}/unpacked)
set(folder ${OUT}/unpacked/tavrin-${VERSION}-windows-x64)
foreach(file tavrin.exe tavrin-demo.exe tavrin-cli.exe tavrin-settings.exe confight.ini qt.conf README.txt
             Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll platforms/qwindows.dll libstdc++-6.dll translations/tavrin_en.qm)
  if(NOT EXISTS ${folder}/${file})
    message(FATAL_ERROR "the release lacks ${file}")
  endif()
endforeach()
file(GLOB_RECURSE stand_ins ${folder}/cfgmgr32.dll ${folder}/*/cfgmgr32.dll)
if(stand_ins)
  message(FATAL_ERROR "the release holds the test session's stand-in: ${stand_ins}")
endif()
# Nothing found through the build's own folders: only what the folder holds.
unset(ENV{WINEPATH})
execute_process(COMMAND ${WINE} ${folder}/tavrin-cli.exe --version OUTPUT_VARIABLE said RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR NOT said MATCHES "^tavrin-cli ${VERSION}\r?\n$")
  message(FATAL_ERROR "the release's tavrin-cli.exe --version said '${said}' (${status}), not ${VERSION}")
endif()
