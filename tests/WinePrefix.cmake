# Makes the tests' Wine prefix, once: cmake -DWINE=... -DWINEBOOT=... -DWINESERVER=... -DPREFIX=...
# -P WinePrefix.cmake. A prefix left half made by an interrupted run is made again from nothing.
file(REMOVE_RECURSE ${PREFIX})
set(ENV{WINEPREFIX} ${PREFIX})
set(ENV{WINEDEBUG} -all)
# No desktop integration (menus, file associations) in the user's home from a test prefix.
set(ENV{WINEDLLOVERRIDES} "winemenubuilder.exe=d;mscoree=d;mshtml=d")
execute_process(COMMAND ${WINEBOOT} --init RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "wineboot --init failed (${status})")
endif()
execute_process(COMMAND ${WINE} reg add "HKLM\\System\\CurrentControlSet\\Services\\winebus"
                /v "Enable SDL" /t REG_DWORD /d 0 /f RESULT_VARIABLE status)
execute_process(COMMAND ${WINESERVER} -w)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "could not switch Wine's SDL bus off (${status})")
endif()
file(TOUCH ${PREFIX}/.tavrin-ready)
