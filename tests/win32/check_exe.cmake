# Checks the program file as shipped: a Windows GUI program within its size
# budget that imports no DLL beyond those that Windows ships (no libgcc,
# libstdc++ or winpthread DLL beside it). Prints what it found.
# Usage: cmake -DEXE=text-to-md5.exe -DOBJDUMP=objdump -DMAX_BYTES=262144
#              -P check_exe.cmake
cmake_minimum_required(VERSION 3.25)

set(system_dlls kernel32.dll user32.dll gdi32.dll comctl32.dll advapi32.dll
                msvcrt.dll)

file(SIZE "${EXE}" size)
execute_process(COMMAND "${OBJDUMP}" -p "${EXE}" OUTPUT_VARIABLE headers
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} cannot read ${EXE}")
endif()

string(REGEX MATCHALL "DLL Name: [^\n]+" import_lines "${headers}")
set(imports "")
foreach(line IN LISTS import_lines)
  string(REPLACE "DLL Name: " "" dll "${line}")
  list(APPEND imports "${dll}")
endforeach()
message(STATUS "${EXE}: ${size} bytes (budget ${MAX_BYTES}); imports: "
               "${imports}")

set(failures "")
if(size GREATER MAX_BYTES)
  list(APPEND failures "${size} bytes, over the budget of ${MAX_BYTES}")
endif()
if(NOT headers MATCHES "Subsystem[\t ]+00000002")
  list(APPEND failures "not a Windows GUI program")
endif()
if(NOT imports)
  list(APPEND failures "no import table found")
endif()
foreach(dll IN LISTS imports)
  string(TOLOWER "${dll}" dll_lower)
  if(NOT dll_lower IN_LIST system_dlls)
    list(APPEND failures "imports ${dll}, which Windows does not ship")
  endif()
endforeach()
if(failures)
  list(JOIN failures "; " why)
  message(FATAL_ERROR "${why}")
endif()
