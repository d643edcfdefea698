# The Wine prefix that the Windows build's tests run in, created once per build
# folder: WINE_PREFIX_DIR (named by the toolchain file) for the test suite, and
# an untouched template beside it that process-level tests clone.
find_program(WINEBOOT wineboot REQUIRED)
find_program(WINESERVER wineserver REQUIRED)

set(WINE_TEMPLATE_DIR ${CMAKE_BINARY_DIR}/wineprefix-template)
set(WINE_PREFIX_STAMP ${WINE_PREFIX_DIR}/.quillora-ready)
set(WINE_CLONE ${PROJECT_SOURCE_DIR}/cmake/clone-wineprefix.sh)
add_custom_command(OUTPUT ${WINE_PREFIX_STAMP}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${WINE_TEMPLATE_DIR} ${WINE_PREFIX_DIR}
  # No Mono or Gecko: the tests need neither, and their installers would ask.
  COMMAND env WINEPREFIX=${WINE_TEMPLATE_DIR} WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
    ${WINEBOOT} --init
  # Let wineserver write the registry out and end before the prefix is copied.
  COMMAND env WINEPREFIX=${WINE_TEMPLATE_DIR} ${WINESERVER} --wait
  COMMAND sh ${WINE_CLONE} ${WINE_TEMPLATE_DIR} ${WINE_PREFIX_DIR}
  COMMAND ${CMAKE_COMMAND} -E touch ${WINE_PREFIX_STAMP}
  COMMENT "Creating the Wine prefix for the tests"
  VERBATIM)
add_custom_target(wineprefix ALL DEPENDS ${WINE_PREFIX_STAMP})
