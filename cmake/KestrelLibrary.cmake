# kestrel_add_library(NAME [WINDOWS_ONLY] DIRS <dirs...> | FILES <files...>
#                     [EXCLUDE <names...>] LIBS <targets...>)
# A static library from every .cpp of the given folders, or from the files named. A file
# ending in _win32.cpp joins only in the Windows trees and one ending in _posix.cpp only in
# the others, so a layer keeps its few platform-specific files beside the portable ones
# without CMake edits.
# What each layer may include is checked by cmake/CheckLayers.cmake before any library
# builds.
function(kestrel_add_library name)
  cmake_parse_arguments(L "WINDOWS_ONLY" "" "DIRS;FILES;LIBS;EXCLUDE" ${ARGN})
  if(L_WINDOWS_ONLY AND NOT WIN32)
    return()
  endif()
  set(sources "")
  foreach(dir ${L_DIRS})
    file(GLOB found CONFIGURE_DEPENDS ${dir}/*.cpp)
    list(APPEND sources ${found})
  endforeach()
  foreach(file ${L_FILES})
    list(APPEND sources ${CMAKE_CURRENT_SOURCE_DIR}/${file})
  endforeach()
  foreach(ex ${L_EXCLUDE})
    list(FILTER sources EXCLUDE REGEX "/${ex}$")
  endforeach()
  if(WIN32)
    list(FILTER sources EXCLUDE REGEX "_posix\\.cpp$")
  else()
    list(FILTER sources EXCLUDE REGEX "_win32\\.cpp$")
  endif()
  if(NOT sources)
    message(FATAL_ERROR "kestrel_add_library(${name}): no sources")
  endif()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${KESTREL_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${L_LIBS})
  add_dependencies(${name} layer_check)
endfunction()

# The layers' include rules, checked anew whenever a source file changes.
file(GLOB_RECURSE kestrel_layered_sources CONFIGURE_DEPENDS
  ${KESTREL_SOURCE_DIR}/toolkit/*.h ${KESTREL_SOURCE_DIR}/toolkit/*.cpp
  ${KESTREL_SOURCE_DIR}/compress/*.h ${KESTREL_SOURCE_DIR}/compress/*.cpp
  ${KESTREL_SOURCE_DIR}/controls/*.h ${KESTREL_SOURCE_DIR}/controls/*.cpp
  ${KESTREL_SOURCE_DIR}/tools/*.h ${KESTREL_SOURCE_DIR}/tools/*.cpp
  ${KESTREL_SOURCE_DIR}/tests/support/*.h ${KESTREL_SOURCE_DIR}/tests/support/*.cpp)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/layer-check.stamp
  COMMAND ${CMAKE_COMMAND} -DSOURCE=${KESTREL_SOURCE_DIR} -P
          ${KESTREL_SOURCE_DIR}/cmake/CheckLayers.cmake
  COMMAND ${CMAKE_COMMAND} -E touch ${CMAKE_BINARY_DIR}/layer-check.stamp
  DEPENDS ${kestrel_layered_sources} ${KESTREL_SOURCE_DIR}/cmake/CheckLayers.cmake
  COMMENT "Checking what each layer includes"
  VERBATIM)
add_custom_target(layer_check DEPENDS ${CMAKE_BINARY_DIR}/layer-check.stamp)
