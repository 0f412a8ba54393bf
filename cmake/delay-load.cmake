# System libraries that the Windows program needs only after its start are
# loaded at their first call instead of with the program: COM (ole32, with
# combase and rpcrt4 behind it) for the volumes and the shell's starts, and
# the file dialogs (comdlg32, with winspool behind it) of the properties
# window. A start that uses neither loads none of them.
#
# For each library, dlltool makes a delay-import library from the list of
# the functions the program calls (cmake/delay-load/<dll>.def); MinGW-w64's
# runtime holds the helper that loads the library and resolves the function
# at the first call. A function missing from a list fails the link, so the
# lists cannot fall behind the code unnoticed. The first call looks for the
# library as the loader looks for a static import: both are known DLLs of
# Windows, always taken from the system folder.
#
# Defines the interface library pelorin_delay_loaded_dlls.
find_program(PELORIN_DLLTOOL NAMES ${TOOLCHAIN_PREFIX}-dlltool dlltool REQUIRED)
set(delay_libraries "")
foreach(dll IN ITEMS ole32 comdlg32)
  set(definitions ${CMAKE_CURRENT_LIST_DIR}/delay-load/${dll}.def)
  set(library ${PROJECT_BINARY_DIR}/delay-load/lib${dll}-delayed.a)
  add_custom_command(
    OUTPUT ${library}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/delay-load
    COMMAND ${PELORIN_DLLTOOL} --input-def ${definitions} --dllname ${dll}.dll
            --output-delaylib ${library}
    DEPENDS ${definitions}
    COMMENT "Delay-import library for ${dll}.dll"
    VERBATIM)
  list(APPEND delay_libraries ${library})
endforeach()
add_custom_target(pelorin_delay_import_libraries DEPENDS ${delay_libraries})
add_library(pelorin_delay_loaded_dlls INTERFACE)
target_link_libraries(pelorin_delay_loaded_dlls INTERFACE ${delay_libraries})
add_dependencies(pelorin_delay_loaded_dlls pelorin_delay_import_libraries)
