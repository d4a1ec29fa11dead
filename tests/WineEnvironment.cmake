# The Windows programs' tests run under Wine, in a Wine prefix of this build's own, made once by
# the build. Wine finds Qt's DLLs and the runtime they were
# built against through WINEPATH. Wine's HID bus takes up the system's hidraw nodes only with its
# SDL bus off, which the end-to-end tests need and which changes nothing for the others.
set(TAVRIN_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
get_target_property(qt_core_dll Qt6::Core IMPORTED_LOCATION_RELEASE)
if(NOT qt_core_dll)
  get_target_property(qt_core_dll Qt6::Core IMPORTED_LOCATION)
endif()
get_filename_component(qt_bin ${qt_core_dll} DIRECTORY)
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libstdc++-6.dll
                OUTPUT_VARIABLE runtime_dll OUTPUT_STRIP_TRAILING_WHITESPACE)
get_filename_component(runtime_bin ${runtime_dll} DIRECTORY)
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libwinpthread-1.dll
                OUTPUT_VARIABLE pthread_dll OUTPUT_STRIP_TRAILING_WHITESPACE)
get_filename_component(pthread_bin ${pthread_dll} DIRECTORY)
# WINEPATH takes Windows paths; Wine's Z: drive is the root of the file system.
set(TAVRIN_WINEPATH "Z:${qt_bin}\\;Z:${runtime_bin}\\;Z:${pthread_bin}")
list(APPEND TAVRIN_TEST_ENV "WINEPREFIX=${TAVRIN_WINEPREFIX}" "WINEDEBUG=-all" "WINEPATH=${TAVRIN_WINEPATH}")

find_program(TAVRIN_WINEBOOT wineboot REQUIRED)
find_program(TAVRIN_WINESERVER wineserver REQUIRED)
add_custom_command(OUTPUT ${TAVRIN_WINEPREFIX}/.tavrin-ready
  COMMAND ${CMAKE_COMMAND} -DWINE=${TAVRIN_WINE} -DWINEBOOT=${TAVRIN_WINEBOOT} -DWINESERVER=${TAVRIN_WINESERVER}
          -DPREFIX=${TAVRIN_WINEPREFIX} -P ${CMAKE_CURRENT_SOURCE_DIR}/WinePrefix.cmake
  DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/WinePrefix.cmake
  COMMENT "Making the tests' Wine prefix")
add_custom_target(tavrin_wine_prefix ALL DEPENDS ${TAVRIN_WINEPREFIX}/.tavrin-ready)
