# The layers, checked over the source tree: each folder includes only its own headers and those
# of the folders below it (the table). A window never includes another window nor the map
# (windows meet through the map), nothing below includes anything above, and the run-time
# libraries stand apart. Fails, naming every offending line, on an include of the project's own
# folders that the including folder's row does not allow, written as "a/b.h" or reached through
# a relative path ("../a/b.h"). Headers of the system and of other libraries are not checked.
#   cmake -DSOURCE_DIR=<source tree> [-DEXPECT_EVERY_ROW=ON] -P CheckLayers.cmake
# EXPECT_EVERY_ROW (for a planted tree): fails unless every row of the table catches an include.
cmake_minimum_required(VERSION 3.25)
if(NOT SOURCE_DIR)
  message(FATAL_ERROR "CheckLayers: give -DSOURCE_DIR=<source tree>")
endif()

# folder | the prefixes its files may include (the folder's own is always allowed). A file belongs
# to the row of the longest folder that holds it. Keep in step with the layers in CODINGSTYLE.md.
set(below_windows "components/ ui/ platform/")
set(rows
  "platform/ | platform/"
  "ui/ | platform/"
  "components/ | ui/ platform/"
  "editor/ | ${below_windows} controls/host/"
  "cdplayer/ | ${below_windows}"
  "mp3/ | ${below_windows} mpegdll/mpegdll.h"
  "shell/ | editor/ cdplayer/ mp3/ ${below_windows} controls/host/"
  "app/ | shell/ ${below_windows}"
  "controls/host/ | controls/control_abi.h ui/ platform/"
  "controls/html/ | controls/control_abi.h controls/factory_error.h platform/"
  "controls/webbrowser/ | controls/control_abi.h controls/factory_error.h platform/"
  "mpegdll/ | platform/sound/ platform/file_limits.h"
  "content/ | platform/ cdplayer/lector_hotspots.h")
# The first folders of the project's own headers: an include that starts elsewhere is not ours.
set(own_roots app shell editor cdplayer mp3 components ui platform controls mpegdll content demo tests bench fuzz)

set(folders "")
foreach(row IN LISTS rows)
  string(REGEX MATCH "^([^ |]+) *\\|" _ "${row}")
  list(APPEND folders "${CMAKE_MATCH_1}")
endforeach()

set(offences "")
set(checked 0)
set(silent_rows "")
foreach(row IN LISTS rows)
  string(REGEX REPLACE "^([^ |]+) *\\| *(.*)$" "\\1;\\2" parts "${row}")
  list(GET parts 0 folder)
  list(GET parts 1 allowed)
  separate_arguments(allowed UNIX_COMMAND "${allowed}")
  list(APPEND allowed "${folder}")
  list(REMOVE_DUPLICATES allowed)
  list(JOIN allowed " " shown)
  set(fired FALSE)
  if(IS_DIRECTORY "${SOURCE_DIR}/${folder}")
    file(GLOB_RECURSE sources LIST_DIRECTORIES false RELATIVE "${SOURCE_DIR}"
         "${SOURCE_DIR}/${folder}*.h" "${SOURCE_DIR}/${folder}*.hpp" "${SOURCE_DIR}/${folder}*.hh"
         "${SOURCE_DIR}/${folder}*.cpp" "${SOURCE_DIR}/${folder}*.cc" "${SOURCE_DIR}/${folder}*.cxx"
         "${SOURCE_DIR}/${folder}*.c" "${SOURCE_DIR}/${folder}*.inl" "${SOURCE_DIR}/${folder}*.ipp")
  else()
    set(sources "")  # a folder not written yet
  endif()
  foreach(source IN LISTS sources)
    # Left to the row of a deeper folder that holds it.
    set(owner "")
    foreach(other IN LISTS folders)
      string(LENGTH "${other}" other_length)
      string(LENGTH "${owner}" owner_length)
      string(FIND "${source}" "${other}" at)
      if(at EQUAL 0 AND other_length GREATER owner_length)
        set(owner "${other}")
      endif()
    endforeach()
    if(NOT owner STREQUAL folder)
      continue()
    endif()
    math(EXPR checked "${checked} + 1")
    get_filename_component(source_dir "${SOURCE_DIR}/${source}" DIRECTORY)
    file(STRINGS "${SOURCE_DIR}/${source}" lines REGEX "^[ \t]*#[ \t]*include(_next)?[ \t]*[<\"][^>\"]*/")
    foreach(line IN LISTS lines)
      string(REGEX REPLACE "^[^<\"]*[<\"]([^>\"]*)[>\"].*$" "\\1" path "${line}")
      if(path MATCHES "^\\.\\.?/")  # relative to the including file
        get_filename_component(path "${source_dir}/${path}" ABSOLUTE)
        file(RELATIVE_PATH path "${SOURCE_DIR}" "${path}")
      endif()
      string(REGEX MATCH "^[^/]*" root "${path}")
      if(NOT root IN_LIST own_roots)
        continue()
      endif()
      set(ok FALSE)
      foreach(prefix IN LISTS allowed)
        string(FIND "${path}" "${prefix}" at)
        if(at EQUAL 0)
          set(ok TRUE)
        endif()
      endforeach()
      if(NOT ok)
        string(STRIP "${line}" line)
        string(APPEND offences "\n  ${source}: ${line}  (${folder} may include ${shown})")
        set(fired TRUE)
      endif()
    endforeach()
  endforeach()
  if(NOT fired)
    list(APPEND silent_rows "${folder}")
  endif()
endforeach()

if(EXPECT_EVERY_ROW)
  message(STATUS "CheckLayers: the planted includes caught:${offences}")
  if(silent_rows)
    message(FATAL_ERROR "CheckLayers: no planted include caught for the rows ${silent_rows}")
  endif()
  return()
endif()
if(offences)
  message(FATAL_ERROR "An include crosses the layers; a window declares the interface it needs and the "
                      "map implements it, a lower layer never reaches up:${offences}")
endif()
message(STATUS "CheckLayers: ${checked} files include only what their layer allows")
