# The windows of editor/, cdplayer/ and mp3/ never include anything from shell/: they declare the
# small interface they need and the map hands them an implementation. Fails, naming every
# offending line, when a source file in those folders includes a header of shell/.
#   cmake -DSOURCE_DIR=<source tree> -P CheckWindowIncludes.cmake
if(NOT SOURCE_DIR)
  message(FATAL_ERROR "CheckWindowIncludes: give -DSOURCE_DIR=<source tree>")
endif()

set(offences "")
set(checked 0)
foreach(folder editor cdplayer mp3)
  if(NOT IS_DIRECTORY "${SOURCE_DIR}/${folder}")
    continue()  # a window not written yet
  endif()
  file(GLOB_RECURSE sources LIST_DIRECTORIES false RELATIVE "${SOURCE_DIR}"
       "${SOURCE_DIR}/${folder}/*.h" "${SOURCE_DIR}/${folder}/*.hpp" "${SOURCE_DIR}/${folder}/*.hh"
       "${SOURCE_DIR}/${folder}/*.cpp" "${SOURCE_DIR}/${folder}/*.cc" "${SOURCE_DIR}/${folder}/*.cxx"
       "${SOURCE_DIR}/${folder}/*.c" "${SOURCE_DIR}/${folder}/*.inl" "${SOURCE_DIR}/${folder}/*.ipp")
  foreach(source IN LISTS sources)
    math(EXPR checked "${checked} + 1")
    # "shell/..." as written or reached through a relative path ("../shell/...").
    file(STRINGS "${SOURCE_DIR}/${source}" lines
         REGEX "^[ \t]*#[ \t]*include(_next)?[ \t]*[<\"]([^>\"]*/)?shell/")
    foreach(line IN LISTS lines)
      string(STRIP "${line}" line)
      string(APPEND offences "\n  ${source}: ${line}")
    endforeach()
  endforeach()
endforeach()

if(offences)
  message(FATAL_ERROR "editor/, cdplayer/ and mp3/ must not include shell/; the window declares the "
                      "interface it needs and the map implements it:${offences}")
endif()
message(STATUS "CheckWindowIncludes: ${checked} files of editor/, cdplayer/ and mp3/ include nothing from shell/")
