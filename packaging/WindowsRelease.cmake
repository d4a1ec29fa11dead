# The Windows release: tavrin-<version>-windows-x64.zip, one folder to unpack and run from. The four
# programs, the settings file and the translations sit together with Qt's DLLs, the windows
# platform and style plugins, the compiler runtime the Qt DLLs need, qt.conf and the read-me.
# `cmake --build build-windows --target package` makes it.
install(TARGETS tavrin-demo RUNTIME DESTINATION ${TAVRIN_INSTALL_APPDIR})

install(FILES $<TARGET_FILE:Qt6::Core> $<TARGET_FILE:Qt6::Gui> $<TARGET_FILE:Qt6::Widgets>
        DESTINATION ${TAVRIN_INSTALL_APPDIR})
install(FILES $<TARGET_FILE:Qt6::QWindowsIntegrationPlugin> DESTINATION ${TAVRIN_INSTALL_APPDIR}/platforms)
if(TARGET Qt6::QWindowsVistaStylePlugin)
  install(FILES $<TARGET_FILE:Qt6::QWindowsVistaStylePlugin> DESTINATION ${TAVRIN_INSTALL_APPDIR}/styles)
endif()
# Tavrin's programs link the runtime statically; Qt's DLLs were built against the shared one.
foreach(runtime libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${runtime}
                  OUTPUT_VARIABLE runtime_path OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT IS_ABSOLUTE "${runtime_path}")
    message(FATAL_ERROR "The compiler does not know where ${runtime} is")
  endif()
  install(FILES ${runtime_path} DESTINATION ${TAVRIN_INSTALL_APPDIR})
endforeach()
# Qt's own texts in Chinese (the buttons of its dialogs): its translation files are the same on
# every system, so the build machine's serve.
find_file(TAVRIN_QTBASE_ZH qtbase_zh_CN.qm PATHS /usr/share/qt6/translations NO_CMAKE_FIND_ROOT_PATH)
if(TAVRIN_QTBASE_ZH)
  install(FILES ${TAVRIN_QTBASE_ZH} DESTINATION ${TAVRIN_INSTALL_TRANSLATIONSDIR})
endif()
configure_file(windows/README.txt ${CMAKE_CURRENT_BINARY_DIR}/README.txt @ONLY NEWLINE_STYLE CRLF)
install(FILES qt.conf ${CMAKE_CURRENT_BINARY_DIR}/README.txt DESTINATION ${TAVRIN_INSTALL_APPDIR})

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME tavrin)
set(CPACK_PACKAGE_VENDOR "Tavrin")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME tavrin-${PROJECT_VERSION}-windows-x64)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
