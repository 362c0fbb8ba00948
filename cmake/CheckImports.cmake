# Fails unless EXECUTABLE is a GUI-subsystem program that imports system DLLs only, and, where
# the linker wrote its load configuration, has the loader take those from the system folder.
cmake_minimum_required(VERSION 3.21)
execute_process(COMMAND ${OBJDUMP} -p ${EXECUTABLE} OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${OBJDUMP} could not read ${EXECUTABLE}")
endif()

string(REGEX MATCH "Subsystem[ \t]+0*2[ \t]" gui "${dump}")
if(NOT gui)
  message(FATAL_ERROR "${EXECUTABLE} is not a Windows GUI program")
endif()

# Known DLLs, which Windows maps from the system folder whatever lies beside the executable,
# and the common controls, which the manifest takes from the system's side-by-side store.
# Any other library (UxTheme among them) is loaded at run time, from the system folder only.
set(system_dlls ADVAPI32 COMCTL32 COMDLG32 GDI32 KERNEL32 MSVCRT OLE32 SHELL32 USER32)
string(REGEX MATCHALL "DLL Name: [^\r\n]+" imports "${dump}")
if(NOT imports)
  message(FATAL_ERROR "no imports found in ${EXECUTABLE}")
endif()
foreach(line IN LISTS imports)
  string(REGEX REPLACE "DLL Name: ([^.]+)\\.[dD][lL][lL]" "\\1" dll "${line}")
  string(TOUPPER "${dll}" dll)
  if(NOT dll IN_LIST system_dlls AND NOT dll MATCHES "^API-MS-WIN-")
    message(FATAL_ERROR "${EXECUTABLE} imports ${line}, which is not a system DLL")
  endif()
  message(STATUS "imports ${dll}")
endforeach()

# GNU ld 2.40 writes no load configuration; lld does, from _load_config_used.
string(REGEX MATCH "ImageBase[ \t]+([0-9a-fA-F]+)" found "${dump}")
set(image_base ${CMAKE_MATCH_1})
string(REGEX MATCH "Entry a ([0-9a-fA-F]+) ([0-9a-fA-F]+) Load Configuration" found "${dump}")
set(load_config ${CMAKE_MATCH_1})
if(found AND NOT CMAKE_MATCH_2 MATCHES "^0+$")
  # DependentLoadFlags, a WORD at offset 0x4e, must hold LOAD_LIBRARY_SEARCH_SYSTEM32 (0x800).
  math(EXPR start "0x${image_base} + 0x${load_config} + 0x4e" OUTPUT_FORMAT HEXADECIMAL)
  math(EXPR stop "${start} + 2" OUTPUT_FORMAT HEXADECIMAL)
  execute_process(COMMAND ${OBJDUMP} -s --start-address=${start} --stop-address=${stop} ${EXECUTABLE}
                  OUTPUT_VARIABLE bytes)
  string(REGEX MATCH "\n [0-9a-f]+ ([0-9a-f]+)" found "${bytes}")
  if(NOT CMAKE_MATCH_1 STREQUAL "0008")
    message(FATAL_ERROR "${EXECUTABLE} lets the loader look beside it for its imports")
  endif()
  message(STATUS "imports come from the system folder only")
else()
  message(STATUS "no load configuration")
endif()
