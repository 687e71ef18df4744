# Reads the one list of the files the program carries (resources/carried-files.txt)
# and gives the build what each part needs from it:
#   asmora_read_carried_list(<list> <top folder>)   reads and checks the rows
#   asmora_stage_carried_sources(<target>)   copies the rows' sources under toolkit/
#                                            into the tool-kit folder
#   asmora_carried_content(<row> <file> <deps>)   the file whose bytes are carried
#   asmora_write_carried_table(<output>)     the rows of the program's C++ table
# A row without six columns, with an unknown check, an unknown kind of origin, a
# source that is not in the tree or a resource named twice stops the configuration
# with the row's line.
#
# Rows are numbered from 0 in the order of the list; row <i> is held in
#   ASMORA_CARRIED_<i>_FILE, _TYPE, _NAME, _CHECK, _KIND, _ORIGIN
# and ASMORA_CARRIED_ROWS lists the numbers.

# check column -> the C++ rule of app/CarriedFiles.h
set(asmora_carried_rule_entry Entry)
set(asmora_carried_rule_reported Reported)
set(asmora_carried_rule_always-write AlwaysWrite)
set(asmora_carried_rule_silent Silent)
set(asmora_carried_rule_association Association)
set(asmora_carried_kinds library program built source)

function(asmora_read_carried_list list top)
  file(STRINGS "${list}" lines ENCODING UTF-8)
  set(rows "")
  set(names "")
  set(index 0)
  foreach(line IN LISTS lines)
    string(STRIP "${line}" line)
    if(line STREQUAL "" OR line MATCHES "^#")
      continue()
    endif()
    string(REGEX REPLACE "[ \t]+" ";" fields "${line}")
    list(LENGTH fields count)
    if(NOT count EQUAL 6)
      message(FATAL_ERROR "${list}: a row needs six columns: ${line}")
    endif()
    list(GET fields 0 file)
    list(GET fields 1 type)
    list(GET fields 2 name)
    list(GET fields 3 check)
    list(GET fields 4 kind)
    list(GET fields 5 origin)
    if(NOT DEFINED asmora_carried_rule_${check})
      message(FATAL_ERROR "${list}: unknown check \"${check}\": ${line}")
    endif()
    if(NOT kind IN_LIST asmora_carried_kinds)
      message(FATAL_ERROR "${list}: unknown origin \"${kind}\": ${line}")
    endif()
    if(kind STREQUAL "source" AND NOT EXISTS "${top}/${origin}")
      message(FATAL_ERROR "${list}: ${origin} is not in the tree: ${line}")
    endif()
    # The program looks resources up by name ignoring case, so a name is used once.
    string(TOLOWER "${type}/${name}" key)
    if(key IN_LIST names)
      message(FATAL_ERROR "${list}: the resource ${type}/${name} is listed twice: ${line}")
    endif()
    list(APPEND names "${key}")
    foreach(column FILE TYPE NAME CHECK KIND ORIGIN)
      string(TOLOWER ${column} variable)
      set(ASMORA_CARRIED_${index}_${column} "${${variable}}" PARENT_SCOPE)
    endforeach()
    list(APPEND rows ${index})
    math(EXPR index "${index} + 1")
  endforeach()
  set(ASMORA_CARRIED_ROWS ${rows} PARENT_SCOPE)
endfunction()

# The file name a row has in bin/ (and in the tool-kit folder): "bin/io.h" -> "io.h".
function(asmora_carried_file_name row out)
  get_filename_component(name "${ASMORA_CARRIED_${row}_FILE}" NAME)
  set(${out} "${name}" PARENT_SCOPE)
endfunction()

# The target a "program" or "built" row names; it must exist by the time this is asked.
function(asmora_carried_target row out)
  set(target "${ASMORA_CARRIED_${row}_ORIGIN}")
  if(NOT TARGET ${target})
    message(FATAL_ERROR "${ASMORA_CARRIED_LIST}: ${ASMORA_CARRIED_${row}_FILE} comes from the target "
                        "\"${target}\", which this build does not define")
  endif()
  set(${out} ${target} PARENT_SCOPE)
endfunction()

# <target>: a target that copies every "source" row under toolkit/ into
# ASMORA_TOOLKIT_DIR under its carried name, so the built tools find them beside
# themselves as they will in bin/ (asmora_gdb.py becomes eecxx.dll there).
function(asmora_stage_carried_sources target)
  set(outputs "")
  foreach(row IN LISTS ASMORA_CARRIED_ROWS)
    set(origin "${ASMORA_CARRIED_${row}_ORIGIN}")
    if(ASMORA_CARRIED_${row}_KIND STREQUAL "source" AND origin MATCHES "^toolkit/")
      asmora_carried_file_name(${row} name)
      add_custom_command(OUTPUT "${ASMORA_TOOLKIT_DIR}/${name}"
        COMMAND ${CMAKE_COMMAND} -E copy "${PROJECT_SOURCE_DIR}/${origin}" "${ASMORA_TOOLKIT_DIR}/${name}"
        DEPENDS "${PROJECT_SOURCE_DIR}/${origin}")
      list(APPEND outputs "${ASMORA_TOOLKIT_DIR}/${name}")
    endif()
  endforeach()
  add_custom_target(${target} ALL DEPENDS ${outputs})
endfunction()

# <file_var>: the file whose bytes the program carries for the row (may hold a
# generator expression); <depends_var>: what the packing step depends on.
function(asmora_carried_content row file_var depends_var)
  set(kind "${ASMORA_CARRIED_${row}_KIND}")
  set(origin "${ASMORA_CARRIED_${row}_ORIGIN}")
  if(kind STREQUAL "library")
    # The library file itself, not the development link that points at it.
    get_target_property(library ${origin} IMPORTED_LOCATION)
    file(REAL_PATH "${library}" file)
    set(depends "${file}")
  elseif(kind STREQUAL "program")
    asmora_carried_target(${row} target)
    set(file "$<TARGET_FILE:${target}>")
    set(depends ${target} "${file}")
  elseif(kind STREQUAL "built")
    asmora_carried_target(${row} target)
    asmora_carried_file_name(${row} name)
    set(file "${ASMORA_TOOLKIT_DIR}/${name}")
    set(depends ${target} "${file}")
  else()
    set(file "${PROJECT_SOURCE_DIR}/${origin}")
    set(depends "${file}")
  endif()
  set(${file_var} "${file}" PARENT_SCOPE)
  set(${depends_var} ${depends} PARENT_SCOPE)
endfunction()

# Writes the rows of app/CarriedFiles.cpp's table, one initializer per row:
#   {u"bin/io.h", "HFile", "io_h", CheckRule::Reported},
function(asmora_write_carried_table output)
  set(ASMORA_CARRIED_TABLE_ROWS "")
  foreach(row IN LISTS ASMORA_CARRIED_ROWS)
    set(rule "${asmora_carried_rule_${ASMORA_CARRIED_${row}_CHECK}}")
    string(APPEND ASMORA_CARRIED_TABLE_ROWS
      "    {u\"${ASMORA_CARRIED_${row}_FILE}\", \"${ASMORA_CARRIED_${row}_TYPE}\", "
      "\"${ASMORA_CARRIED_${row}_NAME}\", CheckRule::${rule}},\n")
  endforeach()
  file(CONFIGURE OUTPUT "${output}" @ONLY CONTENT
    "// The carried-file rows, written by cmake/AsmoraCarried.cmake from resources/carried-files.txt.\n@ASMORA_CARRIED_TABLE_ROWS@")
endfunction()
