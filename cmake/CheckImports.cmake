# Fails unless EXECUTABLE is a GUI-subsystem program that imports system DLLs only; where the
# linker wrote its load configuration, has the loader take those from the system folder; asks
# for ASLR over the whole 64-bit space and non-executable data; and, when CET_COMPAT is true
# (the linker can set it), declares itself compatible with the CET shadow stack.
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

# IMAGE_DLLCHARACTERISTICS_HIGH_ENTROPY_VA (0x20), _DYNAMIC_BASE (0x40) and _NX_COMPAT (0x100).
string(REGEX MATCH "DllCharacteristics[ \t]+([0-9a-fA-F]+)" found "${dump}")
math(EXPR missing "(0x${CMAKE_MATCH_1} & 0x160) ^ 0x160" OUTPUT_FORMAT HEXADECIMAL)
if(NOT found OR NOT missing EQUAL 0)
  message(FATAL_ERROR "${EXECUTABLE} lacks DllCharacteristics ${missing} (of HIGH_ENTROPY_VA, DYNAMIC_BASE, NX_COMPAT)")
endif()
message(STATUS "HIGH_ENTROPY_VA, DYNAMIC_BASE, NX_COMPAT")

# IMAGE_DLLCHARACTERISTICS_EX_CET_COMPAT (1), in the first byte of the data of the debug
# directory's entry of type 20 (IMAGE_DEBUG_TYPE_EX_DLLCHARACTERISTICS), which objdump leaves
# undecoded; the last column of its row is that data's offset in the file.
if(CET_COMPAT)
  set(flags 0)
  string(FIND "${dump}" "There is a debug directory" start)
  if(start GREATER -1)
    string(SUBSTRING "${dump}" ${start} -1 debug)
    # The table: from its heading to the first empty line.
    string(REGEX REPLACE "^[^\n]*\n\nType[^\n]*(\n([^\n]+\n)*).*" "\\1" debug "${debug}")
    if(debug MATCHES "\n[ \t]*20[ \t][^\n]*[ \t]([0-9a-fA-F]+)[ \t]*\n")
      math(EXPR offset "0x${CMAKE_MATCH_1}")
      file(READ ${EXECUTABLE} flags OFFSET ${offset} LIMIT 1 HEX)
      math(EXPR flags "0x${flags} & 1")
    endif()
  endif()
  if(NOT flags)
    message(FATAL_ERROR "${EXECUTABLE} is not marked compatible with the CET shadow stack")
  endif()
  message(STATUS "CET shadow-stack compatible")
else()
  message(STATUS "CET shadow-stack compatibility not required: this linker cannot set it")
endif()
