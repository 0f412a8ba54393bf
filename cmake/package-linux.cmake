# The Linux release: `cmake --build --preset linux --target package` makes
# pelorin_<version>_amd64.deb with CPack's DEB generator. The files it holds
# besides the two binaries are in packaging/linux/; the icons there are drawn
# by ui/win32/res/make-icon.sh and committed, so that no ImageMagick is needed.

# The optimised build the package is made of is hardened as Debian builds
# its own packages: checked buffer functions, a stack protector, and the
# relocations read-only once resolved at the start. Applied to every target
# of the program's folder, the layers included (they are defined before this
# file is read); the sanitizer and debug builds keep their own flags.
if(CMAKE_BUILD_TYPE MATCHES "^(Release|RelWithDebInfo|MinSizeRel)$" AND NOT PELORIN_SANITIZE)
  get_directory_property(pelorin_targets BUILDSYSTEM_TARGETS)
  foreach(target IN LISTS pelorin_targets)
    get_target_property(type ${target} TYPE)
    if(type MATCHES "^(STATIC_LIBRARY|OBJECT_LIBRARY|MODULE_LIBRARY|EXECUTABLE)$")
      target_compile_definitions(${target} PRIVATE _FORTIFY_SOURCE=2)
      target_compile_options(${target} PRIVATE -fstack-protector-strong)
    endif()
    if(type MATCHES "^(MODULE_LIBRARY|EXECUTABLE)$")
      target_link_options(${target} PRIVATE LINKER:-z,relro,-z,now)
    endif()
  endforeach()
endif()

set(PELORIN_PACKAGING_DIR ${CMAKE_CURRENT_SOURCE_DIR}/packaging/linux)
set(PELORIN_PACKAGING_OUT ${PROJECT_BINARY_DIR}/packaging)

# The program and, beside it under lib/pelorin/, the desktop module it looks
# for at <exe>/../lib/pelorin/. The module is the program's own part, not a
# library for others, so it stays out of the multiarch library folder.
install(TARGETS pelorin RUNTIME DESTINATION bin)
# Debian ships shared objects without the execute bit (dh_fixperms takes it
# off); the dynamic loader does not need it.
install(TARGETS pelorin_desktop LIBRARY DESTINATION lib/pelorin
        PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)

install(FILES ${PELORIN_PACKAGING_DIR}/pelorin.desktop DESTINATION share/applications)
foreach(size 16 22 24 32 48 64 128 256)
  install(FILES ${PELORIN_PACKAGING_DIR}/icons/pelorin-${size}.png
          DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME pelorin.png)
endforeach()
# For running without a desktop; the package leaves enabling it to the user.
install(FILES ${PELORIN_PACKAGING_DIR}/pelorin.service DESTINATION lib/systemd/user)

# The manual page names the version it describes.
configure_file(${PELORIN_PACKAGING_DIR}/pelorin.1 ${PELORIN_PACKAGING_OUT}/pelorin.1 @ONLY)
configure_file(${PELORIN_PACKAGING_DIR}/changelog ${PELORIN_PACKAGING_OUT}/changelog COPYONLY)
# The manual page and the changelog are shipped compressed, as Debian wants
# them; -n leaves the name and time out of the file, so that the same text
# gives the same package.
set(PELORIN_COMPRESSED_DOCS "")
foreach(name pelorin.1 changelog)
  add_custom_command(OUTPUT ${PELORIN_PACKAGING_OUT}/${name}.gz
    COMMAND gzip -9nf ${PELORIN_PACKAGING_OUT}/${name} -k
    DEPENDS ${PELORIN_PACKAGING_OUT}/${name}
    VERBATIM)
  list(APPEND PELORIN_COMPRESSED_DOCS ${PELORIN_PACKAGING_OUT}/${name}.gz)
endforeach()
add_custom_target(pelorin_package_docs ALL DEPENDS ${PELORIN_COMPRESSED_DOCS})
install(FILES ${PELORIN_PACKAGING_OUT}/pelorin.1.gz DESTINATION share/man/man1)
# A package whose version has no Debian revision is a native one: its
# changelog is changelog.gz, not changelog.Debian.gz.
install(FILES ${PELORIN_PACKAGING_OUT}/changelog.gz ${PELORIN_PACKAGING_DIR}/copyright
        DESTINATION share/doc/pelorin)

# The changelog's newest entry names the version the package is made of;
# a new version needs a new entry.
file(STRINGS ${PELORIN_PACKAGING_DIR}/changelog PELORIN_CHANGELOG_TOP LIMIT_COUNT 1)
if(NOT PELORIN_CHANGELOG_TOP MATCHES "^pelorin \\(${PROJECT_VERSION}\\) ")
  message(WARNING "packaging/linux/changelog has no entry for version ${PROJECT_VERSION} "
                  "at the top: the package would describe another version")
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pelorin)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Debian's tools want no debugging information or symbol tables in the
# shipped binaries.
set(CPACK_STRIP_FILES ON)
set(CPACK_POST_BUILD_SCRIPTS ${PELORIN_PACKAGING_DIR}/without-ldconfig.cmake)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Pelorin <pelorin@pelorin.example>")
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://pelorin.example/)
# CPack's DEB generator indents every line after the first by one space; an
# empty line of the extended description is written as " ." by hand.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "push-buttons on serial ports control the media player
Pelorin watches the modem-status lines of one or two serial ports, to
which push-buttons are wired, and turns the buttons' clicks into commands
for the media player on the desktop (any MPRIS player, such as VLC), for
the system volume (PulseAudio or PipeWire), into key presses, or into
programs to start. An LED on a port can show the player's state.
.
On a desktop it has a tray icon and a properties window (Qt 6); it also
runs without a display, for instance as a systemd user service on a
jukebox. The serial ports' users need to be in the group dialout.")
# The dependencies are what the binaries link, as dpkg-shlibdeps finds
# them. The desktop module brings Qt 6, which a headless machine would not
# otherwise need; the program itself starts without it. The sound server's
# client library is loaded at the first volume step, and Xlib with XTEST
# when a display is opened, so no binary names them: they are named here, by
# the packages of their run-time names (libpulse.so.0, libX11.so.6,
# libXtst.so.6).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libpulse0, libx11-6, libxtst6")

include(CPack)
