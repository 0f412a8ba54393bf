# ctest script: fails when EXE imports a DLL that is not part of Windows, so
# that the program stays one file a user copies (no MinGW runtime DLLs).
# Usage: cmake -DOBJDUMP=<objdump> -DEXE=<file.exe> -P check-imports.cmake
cmake_minimum_required(VERSION 3.25)
execute_process(COMMAND ${OBJDUMP} -p ${EXE} OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "objdump failed on ${EXE}")
endif()
string(REGEX MATCHALL "DLL Name: [^\r\n]+" lines "${dump}")
set(system_dlls
  kernel32.dll user32.dll gdi32.dll advapi32.dll shell32.dll comctl32.dll comdlg32.dll
  winmm.dll msvcrt.dll ole32.dll oleaut32.dll shlwapi.dll version.dll)
set(foreign "")
foreach(line IN LISTS lines)
  string(REPLACE "DLL Name: " "" dll "${line}")
  string(TOLOWER "${dll}" dll)
  if(NOT dll IN_LIST system_dlls AND NOT dll MATCHES "^api-ms-win-")
    list(APPEND foreign ${dll})
  endif()
endforeach()
if(foreign)
  message(FATAL_ERROR "${EXE} imports DLLs that are not part of Windows: ${foreign}")
endif()
message(STATUS "${EXE} imports only system DLLs")
