# cmake -DSOURCE=<source root> -P CheckLayers.cmake
# The layers and what each may include. Dependencies point downwards only:
#   setup -> controls -> toolkit/win32 -> toolkit (the portable core)
#   setup -> compress_expand -> toolkit;  tools/archiver -> compress -> compress_expand
#   (compress_expand is compress/, compress the compressor in compress/compressor/)
#   tests/support -> compress, and toolkit/win32 from its *_win32 files only
# The portable layers see no Win32 header and nothing of toolkit/win32/ outside their
# *_win32.cpp and *_win32.h files (nor, outside them, any *_win32.h header, which would
# bring the Win32 ones along), and the expansion side of compress/ (all that setup.exe
# links) includes nothing of the compressor's folder. A file that breaks a rule stops the
# build, naming the file and the include.
cmake_minimum_required(VERSION 3.25)
if(NOT SOURCE)
  message(FATAL_ERROR "CheckLayers.cmake needs -DSOURCE=<source root>")
endif()

set(win32_headers windows.h windef.h winbase.h winuser.h wingdi.h winnt.h winreg.h
  winerror.h winsock2.h objbase.h ole2.h oleauto.h shlobj.h shellapi.h shlwapi.h
  commctrl.h commdlg.h)

set(broken "")
# check(<glob> <forbidden prefixes of "..." includes> [WIN32_HEADERS])
function(check pattern forbidden)
  file(GLOB files ${SOURCE}/${pattern})
  foreach(file ${files})
    set(portable OFF)
    if(ARGN STREQUAL "WIN32_HEADERS" AND NOT file MATCHES "_win32\\.(cpp|h)$")
      set(portable ON)
    endif()
    file(STRINGS ${file} includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
    foreach(line ${includes})
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[<\"]([^>\"]+)[>\"].*" "\\1" name "${line}")
      string(TOLOWER "${name}" lower)
      if(portable AND lower IN_LIST win32_headers)
        list(APPEND broken "${file}: portable code includes <${name}>: Win32 calls belong in a *_win32.cpp file")
      endif()
      if(portable AND name MATCHES "_win32\\.h$")
        list(APPEND broken "${file}: portable code includes ${name}: only *_win32 files may")
      endif()
      if(portable AND name MATCHES "^toolkit/win32/")
        list(APPEND broken "${file}: portable code includes ${name}: only *_win32 files may")
      endif()
      foreach(prefix ${forbidden})
        if(name MATCHES "^${prefix}/")
          list(APPEND broken "${file}: includes ${name}, from ${prefix}/, which this layer may not use")
        endif()
      endforeach()
    endforeach()
  endforeach()
  set(broken ${broken} PARENT_SCOPE)
endfunction()

set(above_toolkit compress controls setup tools)
foreach(ext h cpp)
  check(toolkit/*.${ext} "toolkit/win32;${above_toolkit}" WIN32_HEADERS)
  check(toolkit/win32/*.${ext} "${above_toolkit}")
  check(compress/*.${ext} "compress/compressor;toolkit/win32;controls;setup;tools" WIN32_HEADERS)
  check(compress/compressor/*.${ext} "toolkit/win32;controls;setup;tools" WIN32_HEADERS)
  check(controls/*.${ext} "compress;setup;tools")
  check(tools/*/*.${ext} "toolkit/win32;controls;setup" WIN32_HEADERS)
  check(tests/support/*.${ext} "controls;setup;tools" WIN32_HEADERS)
endforeach()

if(broken)
  list(JOIN broken "\n  " text)
  message(FATAL_ERROR "Layer rules broken:\n  ${text}")
endif()
