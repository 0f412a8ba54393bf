# Run by CPack after it made the .deb (CPACK_POST_BUILD_SCRIPTS): takes out
# the maintainer scripts that only call ldconfig. CPack adds them for any
# shared object under /usr/lib, but the desktop module lies in a folder of
# the program's own that the dynamic linker never searches, and no other
# maintainer script is wanted. The package is rebuilt from its own files,
# owned by root as before.
foreach(deb IN LISTS CPACK_PACKAGE_FILES)
  if(NOT deb MATCHES "\\.deb$")
    continue()
  endif()
  set(tree "${deb}.tree")
  file(REMOVE_RECURSE "${tree}")
  execute_process(COMMAND dpkg-deb -R "${deb}" "${tree}" COMMAND_ERROR_IS_FATAL ANY)
  foreach(script postinst postrm)
    if(NOT EXISTS "${tree}/DEBIAN/${script}")
      continue()
    endif()
    # Only a script with nothing but the ldconfig call goes.
    file(STRINGS "${tree}/DEBIAN/${script}" lines)
    list(FILTER lines EXCLUDE REGEX
         "^(#!/bin/sh|set -e|if \\[ \"\\$1\" = \"[a-z]+\" \\]; then|[ \t]*ldconfig|fi|)$")
    if(lines STREQUAL "")
      file(REMOVE "${tree}/DEBIAN/${script}")
    endif()
  endforeach()
  execute_process(COMMAND dpkg-deb --root-owner-group -b "${tree}" "${deb}"
                  OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE_RECURSE "${tree}")
endforeach()
