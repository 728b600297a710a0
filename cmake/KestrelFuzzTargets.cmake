# kestrel_fuzz_targets(<names> [<files>]): the names of the fuzz targets, one for each
# fuzz/*Fuzzer.cpp, in snake case (LzhExpandFuzzer.cpp is lzh_expand), and their files. A
# new file is a new target everywhere: the fuzz tree, the smokes of make test, run-fuzz.
function(kestrel_fuzz_targets out)
  set(files_out ${ARGV1})
  file(GLOB files CONFIGURE_DEPENDS ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/../fuzz/*Fuzzer.cpp)
  set(names "")
  foreach(file ${files})
    get_filename_component(stem ${file} NAME)
    string(REGEX REPLACE "Fuzzer\\.cpp$" "" stem ${stem})
    string(REGEX REPLACE "([a-z0-9])([A-Z])" "\\1_\\2" stem ${stem})
    string(TOLOWER ${stem} name)
    list(APPEND names ${name})
  endforeach()
  set(${out} ${names} PARENT_SCOPE)
  if(files_out)
    set(${files_out} ${files} PARENT_SCOPE)
  endif()
endfunction()
