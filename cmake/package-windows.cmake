# The Windows release: `cmake --build --preset win64 --target package` makes
# pelorin-<version>-win64.zip, a folder of the same name holding the program
# as a user is given it (stripped; its debugging information stays in the
# build folder as pelorin.exe.debug), README and a first-start note as text,
# and the two wiring pictures.

install(TARGETS pelorin RUNTIME DESTINATION .)

# Text files with Windows line ends, so that every editor a user may open
# them with shows their lines.
file(READ README.md readme_text)
string(REPLACE "\n" "\r\n" readme_text "${readme_text}")
file(WRITE ${PROJECT_BINARY_DIR}/release/README.txt "${readme_text}")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS README.md)
configure_file(packaging/windows/first-start.txt.in ${PROJECT_BINARY_DIR}/release/FIRST-START.txt
  @ONLY NEWLINE_STYLE CRLF)
install(FILES ${PROJECT_BINARY_DIR}/release/README.txt ${PROJECT_BINARY_DIR}/release/FIRST-START.txt
  docs/wiring-4.png docs/wiring-15.png
  DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME pelorin)
set(CPACK_PACKAGE_VENDOR Pelorin)
set(CPACK_PACKAGE_FILE_NAME pelorin-${PROJECT_VERSION}-win64)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR})
# Only the program and its files: the test programs and tools install
# nothing, and no other component is asked for.
set(CPACK_STRIP_FILES OFF)
include(CPack)
