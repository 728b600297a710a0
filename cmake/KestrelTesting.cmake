# GoogleTest is built from Debian's source tree with whatever compiler this tree uses,
# so the Windows test programs get a cross-compiled, statically linked copy.
set(KESTREL_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest source tree")
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)

macro(kestrel_use_gtest)
  if(NOT TARGET gtest)
    add_subdirectory(${KESTREL_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    # GoogleTest's own sources are not ours to warn about, to debug or to check with the
    # sanitizers (the programs that link it still are): compiled that way, it builds in a
    # fraction of the time.
    foreach(t gtest gtest_main gmock gmock_main)
      if(TARGET ${t})
        target_compile_options(${t} PRIVATE -w -g0)
        if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang" AND NOT WIN32)
          target_compile_options(${t} PRIVATE -fno-sanitize=all)
        endif()
      endif()
    endforeach()
  endif()
endmacro()

# kestrel_add_test(NAME SOURCES <files...> LIBS <targets...>)
# One test program per area; CTest runs it (through Wine in the Windows trees).
function(kestrel_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  kestrel_use_gtest()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} gmock gtest_main)
  target_include_directories(${name} PRIVATE ${KESTREL_SOURCE_DIR})
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES TIMEOUT 300
    ENVIRONMENT "KESTREL_SOURCE_DIR=${KESTREL_SOURCE_DIR};KESTREL_BINARY_DIR=${CMAKE_BINARY_DIR}")
endfunction()
