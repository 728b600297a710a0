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

# kestrel_add_test_run(NAME PROGRAM <test program> FILTER <gtest filter> LOCALE <Unix locale>
#                      CODE_PAGE <number>)
# Runs the cases of a Windows test program that FILTER names once more, under the Unix
# locale LOCALE, from which Wine takes the process's code page (ja_JP.UTF-8: 932, a
# double-byte one); a program whose manifest names its code page (setup.exe's does) keeps
# that one. KESTREL_CODE_PAGE tells the cases which code page the run is for
# (tests/support/CodePageRun_win32.h).
function(kestrel_add_test_run name)
  cmake_parse_arguments(T "" "PROGRAM;FILTER;LOCALE;CODE_PAGE" "" ${ARGN})
  add_test(NAME ${name} COMMAND ${T_PROGRAM} --gtest_filter=${T_FILTER})
  get_test_property(${T_PROGRAM} TIMEOUT timeout)
  get_test_property(${T_PROGRAM} ENVIRONMENT environment)
  set_tests_properties(${name} PROPERTIES TIMEOUT ${timeout}
    ENVIRONMENT "${environment};LC_ALL=${T_LOCALE};KESTREL_CODE_PAGE=${T_CODE_PAGE}")
endfunction()

