# Reads one carried list as the build does and prints its rows, one a line:
#   cmake -DLIST=<list> -DTOP=<top folder> -P ReadCarriedList.cmake
#   row 0: bin/io.h HFile io_h reported source toolkit/runtime/io.h
cmake_minimum_required(VERSION 3.25)
include("${CMAKE_CURRENT_LIST_DIR}/../../cmake/AsmoraCarried.cmake")
asmora_read_carried_list("${LIST}" "${TOP}")
foreach(row IN LISTS ASMORA_CARRIED_ROWS)
  set(fields "")
  foreach(column FILE TYPE NAME CHECK KIND ORIGIN)
    list(APPEND fields "${ASMORA_CARRIED_${row}_${column}}")
  endforeach()
  list(JOIN fields " " line)
  message("row ${row}: ${line}")
endforeach()
