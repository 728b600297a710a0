# How a program that is delivered to people is linked, and the check that keeps it small.

# Import names of the C++ runtime's default terminate handler and of abort(): 32-bit
# Windows decorates C names with a leading underscore.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(KESTREL_C_SYMBOL_PREFIX "_")
else()
  set(KESTREL_C_SYMBOL_PREFIX "")
endif()

# kestrel_ship_executable(TARGET)
# A delivered Windows program is linked without symbols and without the sections nobody
# references (the unused interface identifiers of the COM import library, for one).
# The C++ runtime's default terminate handler prints the demangled type of the exception
# to standard error, then calls abort(). A GUI program has no standard error to show it on,
# and the demangler weighs nearly 50 KB, so the handler is abort() directly.
# The linker's map of the program (TARGET.map beside it) tells what went into it.
# No time stamp in the PE header, so that two builds of one commit are the same bytes
# (the header's checksum, which the linker computes over the file, then agrees as well).
function(kestrel_ship_executable target)
  if(NOT WIN32)
    return()
  endif()
  set(p ${KESTREL_C_SYMBOL_PREFIX})
  target_link_options(${target} PRIVATE -s LINKER:--gc-sections LINKER:--no-insert-timestamp
    "LINKER:--defsym,${p}_ZN9__gnu_cxx27__verbose_terminate_handlerEv=${p}abort"
    "LINKER:-Map=$<TARGET_FILE_DIR:${target}>/${target}.map")
endfunction()

# The DLLs a delivered program may import: parts of every Windows system, no compiler runtime.
set(KESTREL_SYSTEM_DLLS kernel32 user32 gdi32 advapi32 shell32 ole32 oleaut32 comctl32
  comdlg32 version msvcrt)

# kestrel_add_size_check(NAME TARGET <program> LIMIT <bytes> [EMBEDDED <file>]
#                        [NOT_LINKED <pattern>...])
# A test that fails when the program file, less the file it embeds as a resource, is over
# LIMIT bytes, or when it needs a DLL that is not part of Windows (a runtime DLL would make
# the program smaller and useless on a bare system). It reads the file only; nothing runs,
# so the test has the label "artefact" that the test runner uses in the 32-bit tree.
function(kestrel_add_size_check name)
  cmake_parse_arguments(S "" "TARGET;LIMIT;EMBEDDED" "NOT_LINKED" ${ARGN})
  string(REPLACE ";" "," dlls "${KESTREL_SYSTEM_DLLS}")
  string(REPLACE ";" "," not_linked "${S_NOT_LINKED}")
  add_test(NAME ${name} COMMAND ${CMAKE_COMMAND}
    -DPROGRAM=$<TARGET_FILE:${S_TARGET}> -DEMBEDDED=${S_EMBEDDED} -DLIMIT=${S_LIMIT}
    -DMAP=$<TARGET_FILE_DIR:${S_TARGET}>/${S_TARGET}.map -DNOT_LINKED=${not_linked}
    -DOBJDUMP=${CMAKE_OBJDUMP} -DSYSTEM_DLLS=${dlls}
    -P ${KESTREL_SOURCE_DIR}/cmake/CheckShippedProgram.cmake)
  set_tests_properties(${name} PROPERTIES LABELS artefact)
endfunction()

# kestrel_add_reproducibility_check(NAME TARGET <program>)
# A test that fails when the program's PE header carries a link time stamp or when the
# source or build folder's path is inside it: either would make two builds of one commit
# in two folders differ. It reads the file only (label "artefact").
function(kestrel_add_reproducibility_check name)
  cmake_parse_arguments(R "" "TARGET" "" ${ARGN})
  add_test(NAME ${name} COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:${R_TARGET}>
    -DFOLDERS=${KESTREL_SOURCE_DIR},${CMAKE_BINARY_DIR}
    -P ${KESTREL_SOURCE_DIR}/cmake/CheckReproducible.cmake)
  set_tests_properties(${name} PROPERTIES LABELS artefact)
endfunction()
