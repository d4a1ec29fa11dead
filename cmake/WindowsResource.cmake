# tavrin_windows_resource(target "description" [ICON]): the version resource Windows shows in a
# program's properties, with the application icon for the programs that have a window.
function(tavrin_windows_resource target description)
  cmake_parse_arguments(ARG "ICON" "" "" ${ARGN})
  set(TAVRIN_RC_NAME ${target})
  set(TAVRIN_RC_DESCRIPTION ${description})
  set(TAVRIN_RC_ICON "")
  if(ARG_ICON)
    set(TAVRIN_RC_ICON "1 ICON \"${PROJECT_SOURCE_DIR}/resources/icons/tavrin.ico\"")
  endif()
  set(rc ${CMAKE_BINARY_DIR}/windows-resources/${target}.rc)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/program.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
endfunction()
