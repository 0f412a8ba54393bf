# Fails when a source file includes a header of a layer above its own.
#
#   cmake -DSOURCE_DIR=<project root> -P cmake/check-layers.cmake
#
# The portable layers, from the bottom up (a file includes its own layer and
# those below it):
#   platform < config < input < actions < indicators < engine < ui < app
# Above them sit each platform's parts: its views (ui/win32, ui/qt) may use
# every layer up to ui/ and its own backends, its entry point (app/win32,
# app/linux) everything of its platform. The platform backends
# (platform/win32, platform/posix, platform/linux) include only platform/.
# A portable file includes nothing of any one platform, and one platform's
# parts nothing of another's. Tests, benchmarks, fuzz targets and tools are
# outside the check.

if(NOT SOURCE_DIR)
  message(FATAL_ERROR "usage: cmake -DSOURCE_DIR=<project root> -P check-layers.cmake")
endif()

set(LAYERS platform config input actions indicators engine ui app)
# The platform folders and the platform each belongs to: the Linux edition
# builds on the POSIX backends and shows Qt views.
set(PLATFORM_OF_win32 windows)
set(PLATFORM_OF_posix linux)
set(PLATFORM_OF_linux linux)
set(PLATFORM_OF_qt linux)

# Splits a path relative to the root ("ui/win32/panels.h") into its layer's
# rank (-1 outside the layers) and its platform folder ("" when portable).
function(classify path out_rank out_folder)
  string(REPLACE "/" ";" parts "${path}")
  list(LENGTH parts depth)
  list(GET parts 0 top)
  list(FIND LAYERS "${top}" rank)
  set(folder "")
  if(depth GREATER 2)
    list(GET parts 1 sub)
    if(DEFINED PLATFORM_OF_${sub})
      set(folder "${sub}")
    endif()
  endif()
  set(${out_rank} ${rank} PARENT_SCOPE)
  set(${out_folder} "${folder}" PARENT_SCOPE)
endfunction()

# Empty when `file` may include `header`, else the reason it may not.
function(judge file header out_reason)
  classify("${file}" rank folder)
  classify("${header}" header_rank header_folder)
  set(reason "")
  list(GET LAYERS ${rank} layer)
  if(header_rank EQUAL -1)
    set(reason "outside the layers")
  elseif(header_folder AND NOT folder)
    set(reason "a portable file includes ${header_folder}/ code")
  elseif(header_folder AND NOT PLATFORM_OF_${header_folder} STREQUAL PLATFORM_OF_${folder})
    set(reason "${folder}/ includes another platform's ${header_folder}/")
  elseif(layer STREQUAL "platform" AND folder AND header_rank GREATER 0)
    set(reason "a platform backend includes more than platform/")
  elseif(layer STREQUAL "ui" AND folder AND header_rank GREATER rank)
    set(reason "a platform's views include the layer above ui/")
  elseif(header_rank GREATER rank AND NOT (layer STREQUAL "app" AND folder))
    set(reason "a layer includes one above it")
  endif()
  set(${out_reason} "${reason}" PARENT_SCOPE)
endfunction()

set(violations "")
set(checked 0)
foreach(layer IN LISTS LAYERS)
  file(GLOB_RECURSE sources RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/${layer}/*.h"
       "${SOURCE_DIR}/${layer}/*.cpp")
  foreach(file IN LISTS sources)
    math(EXPR checked "${checked} + 1")
    file(STRINGS "${SOURCE_DIR}/${file}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line IN LISTS lines)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\".*$" "\\1" header "${line}")
      # A name without a folder is a neighbour in the same folder.
      if(NOT header MATCHES "/")
        continue()
      endif()
      judge("${file}" "${header}" reason)
      if(reason)
        string(APPEND violations "  ${file} includes \"${header}\": ${reason}\n")
      endif()
    endforeach()
  endforeach()
endforeach()

if(violations)
  message(FATAL_ERROR "Includes against the layers:\n${violations}")
endif()
message(STATUS "${checked} files keep to their layers")
