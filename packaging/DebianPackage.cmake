# Desktop integration and the Debian package (Linux).

# The Debian package's changelog and copyright, which every package carries.
configure_file(changelog.in ${CMAKE_CURRENT_BINARY_DIR}/changelog @ONLY)
set(changelog_gz ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz)
add_custom_command(OUTPUT ${changelog_gz}
  COMMAND gzip -9nc ${CMAKE_CURRENT_BINARY_DIR}/changelog > ${changelog_gz}
  DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/changelog)
add_custom_target(tavrin_changelog ALL DEPENDS ${changelog_gz})
install(FILES ${changelog_gz} copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tavrin)

install(FILES 60-tavrin.rules DESTINATION lib/udev/rules.d)
install(FILES 61-tavrin-plugdev.rules DESTINATION ${TAVRIN_INSTALL_UDEV_EXAMPLES})
install(FILES tavrin.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES org.example.tavrin.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES completion/tavrin-cli.bash DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
        RENAME tavrin-cli)
foreach(size 16 24 32 48 64 128 256)
  install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/tavrin-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME tavrin.png)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/tavrin.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# The manual pages, with the build's date and version and the installed paths, in man/ of this
# build folder and compressed as Debian keeps manual pages. The date follows SOURCE_DATE_EPOCH
# where it is set.
string(TIMESTAMP TAVRIN_MAN_DATE "%Y-%m-%d" UTC)
set(compressed)
foreach(page tavrin.1 tavrin-settings.1 tavrin-cli.1 tavrin-keymap.5)
  set(manual ${CMAKE_CURRENT_BINARY_DIR}/man/${page})
  configure_file(${page} ${manual} @ONLY)
  string(REGEX MATCH "[0-9]$" section ${page})
  add_custom_command(OUTPUT ${manual}.gz COMMAND gzip -9nc ${manual} > ${manual}.gz DEPENDS ${manual})
  install(FILES ${manual}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section})
  list(APPEND compressed ${manual}.gz)
endforeach()
add_custom_target(tavrin_manuals ALL DEPENDS ${compressed})

# A stripped program loses the compiler's comment too, as dh_strip does it, since CPack's strip
# keeps it. Runs after the programs' folders have installed theirs.
if(CMAKE_OBJCOPY)
  install(CODE "
    if(CMAKE_INSTALL_DO_STRIP)
      foreach(program tavrin tavrin-cli tavrin-settings)
        execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment
                        \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${TAVRIN_INSTALL_APPDIR}/\${program}\")
      endforeach()
    endif()")
endif()

set(CPACK_PACKAGE_NAME tavrin)
set(CPACK_PACKAGE_VENDOR "Tavrin")
set(CPACK_PACKAGE_CONTACT "Tavrin developers <tavrin@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Configuration tool for the Vela USB key module")
# Lines of fewer than 80 characters, as a Debian package's description keeps them.
set(CPACK_PACKAGE_DESCRIPTION "Decide, key by key, what each key of the Vela USB key module sends: a
keyboard key with its modifiers, a media key, a mouse button with a pointer
move or wheel steps, or a gamepad button; write the module's parameters
(long-press, debounce time) and restore its factory settings. The
window, tavrin, does it by hand; tavrin-cli applies whole key maps from
scripts and production lines.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
# Qt's own dialogs in Chinese (without it they are English), the native window on a Wayland
# desktop, a font with the Chinese characters.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, fonts-wqy-zenhei | fonts-noto-cjk, qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_SOURCE_DIR}/postinst ${CMAKE_CURRENT_SOURCE_DIR}/conffiles)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
