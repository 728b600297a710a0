# cmake -DPROGRAM=<exe> -DFOLDERS=<folder,folder,...> -P CheckReproducible.cmake
# Fails when the Windows program PROGRAM could differ between two builds of one commit:
# when its PE header carries a link time stamp, or when it holds the path of one of
# FOLDERS (the source and build folders, which differ from one checkout to the next).
cmake_minimum_required(VERSION 3.25)

foreach(var PROGRAM FOLDERS)
  if(NOT ${var})
    message(FATAL_ERROR "CheckReproducible.cmake needs -D${var}=...")
  endif()
endforeach()
if(NOT EXISTS "${PROGRAM}")
  message(FATAL_ERROR "${PROGRAM} does not exist: build it first")
endif()

# Little-endian unsigned number of SIZE bytes at OFFSET of the program.
function(read_number out offset size)
  file(READ "${PROGRAM}" hex OFFSET ${offset} LIMIT ${size} HEX)
  set(value 0)
  math(EXPR last "${size} - 1")
  foreach(i RANGE ${last})
    math(EXPR at "${i} * 2")
    string(SUBSTRING "${hex}" ${at} 2 byte)
    math(EXPR value "${value} + (0x${byte} << (8 * ${i}))")
  endforeach()
  set(${out} ${value} PARENT_SCOPE)
endfunction()

file(READ "${PROGRAM}" magic LIMIT 2 HEX)
if(NOT magic STREQUAL "4d5a")
  message(FATAL_ERROR "${PROGRAM} is not a Windows program")
endif()
read_number(pe 60 4)  # e_lfanew, at 0x3c
file(READ "${PROGRAM}" signature OFFSET ${pe} LIMIT 4 HEX)
if(NOT signature STREQUAL "50450000")
  message(FATAL_ERROR "${PROGRAM} has no PE header")
endif()
math(EXPR stamp_at "${pe} + 8")
read_number(stamp ${stamp_at} 4)
if(NOT stamp EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} carries the link time ${stamp} in its PE header: link it "
                      "with --no-insert-timestamp")
endif()

string(REPLACE "," ";" folders "${FOLDERS}")
foreach(folder ${folders})
  string(REGEX REPLACE "([][+.*?^$()|\\\\])" "\\\\\\1" pattern "${folder}")
  file(STRINGS "${PROGRAM}" found REGEX "${pattern}" LIMIT_COUNT 1)
  if(found)
    message(FATAL_ERROR "${PROGRAM} holds the build path ${folder}: \"${found}\"")
  endif()
endforeach()
message("${PROGRAM}: no link time stamp, none of ${FOLDERS} inside")
