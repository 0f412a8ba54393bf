# ctest script: makes the Windows release zip from the build folder (CPack)
# and fails when it is not what a user should be given: exactly the program,
# README, the first-start note and the two wiring pictures in one folder; the
# program identical to the one the tests ran, with no debugging information,
# and not larger than 1.5 MB (1,500,000 bytes).
#
#   cmake -DBUILD_DIR=<build/win64> -DVERSION=<x.y> -DOBJDUMP=<objdump> -P check-release-zip.cmake
cmake_minimum_required(VERSION 3.25)
set(size_limit 1500000)
set(name pelorin-${VERSION}-win64)
set(work ${BUILD_DIR}/release-check)
file(REMOVE_RECURSE ${work})

execute_process(COMMAND ${CMAKE_CPACK_COMMAND} --config ${BUILD_DIR}/CPackConfig.cmake -B ${work}
  RESULT_VARIABLE failed OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(failed OR NOT EXISTS ${work}/${name}.zip)
  message(FATAL_ERROR "cpack did not make ${name}.zip:\n${output}")
endif()
file(ARCHIVE_EXTRACT INPUT ${work}/${name}.zip DESTINATION ${work}/unpacked)

file(GLOB_RECURSE found RELATIVE ${work}/unpacked ${work}/unpacked/*)
list(SORT found)
set(expected FIRST-START.txt README.txt pelorin.exe wiring-15.png wiring-4.png)
list(TRANSFORM expected PREPEND ${name}/)
if(NOT found STREQUAL expected)
  message(FATAL_ERROR "${name}.zip holds\n  ${found}\ninstead of\n  ${expected}")
endif()

set(exe ${work}/unpacked/${name}/pelorin.exe)
file(SIZE ${exe} size)
if(size GREATER size_limit)
  message(FATAL_ERROR "pelorin.exe is ${size} bytes, over the limit of ${size_limit}")
endif()
file(SHA256 ${exe} shipped)
file(SHA256 ${BUILD_DIR}/pelorin.exe built)
if(NOT shipped STREQUAL built)
  message(FATAL_ERROR "the zip's pelorin.exe differs from the tested ${BUILD_DIR}/pelorin.exe")
endif()
execute_process(COMMAND ${OBJDUMP} -h ${exe} OUTPUT_VARIABLE sections RESULT_VARIABLE failed)
if(failed OR sections MATCHES "\\.debug_|\\.stab")
  message(FATAL_ERROR "the zip's pelorin.exe carries debugging information:\n${sections}")
endif()
message(STATUS "${name}.zip: ${found}; pelorin.exe ${size} bytes (limit ${size_limit})")
