# What an installation holds, and the packages made of it (make package):
# on Linux an FHS tree and a .deb, on Windows a folder to unzip and run.
set(QUILLORA_CONTACT "The quillora-update developers <quillora-update@example.org>")

# The manual page carries the project's version.
configure_file(docs/quillora-update.1.in ${PROJECT_BINARY_DIR}/quillora-update.1 @ONLY)

# LICENSE is the one copy of the licence; the Debian copyright file quotes it.
file(READ LICENSE licenseText)
string(REGEX MATCH "^Copyright ([^\n]*)" _ "${licenseText}")
set(QUILLORA_COPYRIGHT "${CMAKE_MATCH_1}")
string(FIND "${licenseText}" "Permission is hereby granted" licenseStart)
string(SUBSTRING "${licenseText}" ${licenseStart} -1 licenseText)
string(STRIP "${licenseText}" licenseText)
# A continuation line of a field: one space in front, an empty line as " .".
string(REPLACE "\n" "\n " licenseText " ${licenseText}")
string(REPLACE "\n \n" "\n .\n" QUILLORA_LICENSE_TEXT "${licenseText}")

set(CPACK_PACKAGE_NAME ${PROJECT_NAME})
set(CPACK_PACKAGE_VENDOR "The quillora-update developers")
set(CPACK_PACKAGE_CONTACT "${QUILLORA_CONTACT}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "maintenance tool for Quillora document libraries")
# Lines of at most 80 characters, as Debian's package tools show them.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "quillora-update is the maintenance tool of the Quillora document-library"
  "viewer. Run in the folder of a library's catalogue, it sets the maintain and"
  "active flags of every entry, renumbers the directories of books copied off"
  "the CD, rewrites stored paths into path-macro form and upgrades the catalogue"
  "and book data files to format version 9, never leaving a library"
  "half-written."
  ""
  "The Windows registry, drive letters and resource library are stood in for by"
  "small files, so a library copied from Windows works unchanged.")
set(CPACK_STRIP_FILES ON)

if(WIN32)
  # README and licence with Windows line ends, beside the program and KIVRes.dll.
  configure_file(README.md ${PROJECT_BINARY_DIR}/README.txt @ONLY NEWLINE_STYLE CRLF)
  configure_file(LICENSE ${PROJECT_BINARY_DIR}/LICENSE.txt @ONLY NEWLINE_STYLE CRLF)
  install(FILES ${PROJECT_BINARY_DIR}/README.txt ${PROJECT_BINARY_DIR}/LICENSE.txt
    DESTINATION .)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME ${PROJECT_NAME}-${PROJECT_VERSION}-win64)
else()
  # Fixed folders: the program finds its resource script in ../share/quillora.
  install(TARGETS quillora-update RUNTIME DESTINATION bin)
  install(FILES resources/KIVRes.rc DESTINATION share/quillora)
  configure_file(docs/copyright.in ${PROJECT_BINARY_DIR}/copyright @ONLY)
  configure_file(docs/changelog.in ${PROJECT_BINARY_DIR}/changelog @ONLY)
  # Debian keeps manual pages and changelogs compressed, without a time stamp.
  foreach(file quillora-update.1 changelog)
    add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/${file}.gz
      COMMAND gzip -9nkf ${PROJECT_BINARY_DIR}/${file}
      DEPENDS ${PROJECT_BINARY_DIR}/${file} VERBATIM)
  endforeach()
  add_custom_target(compressed-docs ALL
    DEPENDS ${PROJECT_BINARY_DIR}/quillora-update.1.gz ${PROJECT_BINARY_DIR}/changelog.gz)
  install(FILES ${PROJECT_BINARY_DIR}/quillora-update.1.gz DESTINATION share/man/man1)
  install(FILES README.md ${PROJECT_BINARY_DIR}/copyright ${PROJECT_BINARY_DIR}/changelog.gz
    DESTINATION share/doc/${PROJECT_NAME})
  # The machine's store folder, with an example beside where the store goes:
  # never a live store, so an upgrade overwrites none.
  install(FILES docs/registry.reg.example DESTINATION /etc/quillora)
  file(WRITE ${PROJECT_BINARY_DIR}/conffiles "/etc/quillora/registry.reg.example\n")
  set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_BINARY_DIR}/conffiles)

  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
    GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
endif()
include(CPack)
