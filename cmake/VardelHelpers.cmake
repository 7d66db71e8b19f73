# Build helpers shared by every folder: warnings, sanitizers, libraries, tests.

set(VARDEL_WARNINGS -Wall -Wextra)

if(VARDEL_FUZZ)
  # Coverage feedback for libFuzzer in every library the targets link.
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()

if(VARDEL_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# vardel_library(<name> SOURCES ... [LIBS ...])
# A static library of the program's own code, linked by both programs and by the tests.
function(vardel_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_compile_options(${name} PRIVATE ${VARDEL_WARNINGS})
  target_include_directories(${name} PUBLIC "${CMAKE_SOURCE_DIR}")
  target_link_libraries(${name} PUBLIC ${ARG_LIBS})
endfunction()

# vardel_module(<name> OUTPUT <file name> SOURCES ... [LIBS ...])
# A library loaded at run time, written into the program folder under its exact file name.
function(vardel_module name)
  cmake_parse_arguments(ARG "" "OUTPUT" "SOURCES;LIBS" ${ARGN})
  add_library(${name} MODULE ${ARG_SOURCES})
  target_compile_options(${name} PRIVATE ${VARDEL_WARNINGS})
  target_include_directories(${name} PRIVATE "${CMAKE_SOURCE_DIR}")
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  get_filename_component(_base "${ARG_OUTPUT}" NAME_WLE)
  get_filename_component(_ext "${ARG_OUTPUT}" LAST_EXT)
  set_target_properties(${name} PROPERTIES
    PREFIX "" OUTPUT_NAME "${_base}" SUFFIX "${_ext}"
    LIBRARY_OUTPUT_DIRECTORY "${VARDEL_PROGRAM_DIR}")
  target_link_options(${name} PRIVATE -Wl,--no-undefined)
endfunction()

# vardel_test(<name> SOURCES ... [LIBS ...] [LABELS ...] [QT_MAIN])
# A GoogleTest executable registered with ctest. QT_MAIN gives it a QApplication on the
# offscreen platform with one screen of SCREEN (800x600 unless given; a matching
# tests/support/offscreen-<SCREEN>.json must exist), for widget tests.
function(vardel_test name)
  cmake_parse_arguments(ARG "QT_MAIN" "TIMEOUT;SCREEN" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_compile_options(${name} PRIVATE ${VARDEL_WARNINGS})
  target_include_directories(${name} PRIVATE "${CMAKE_SOURCE_DIR}")
  target_compile_definitions(${name} PRIVATE
    VARDEL_PROGRAM_DIR="${VARDEL_PROGRAM_DIR}/"
    VARDEL_CORPUS_DIR="${VARDEL_CORPUS_DIR}"
    VARDEL_TEST_ARTIFACTS="${VARDEL_TEST_ARTIFACTS}"
    VARDEL_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    VARDEL_BINARY_DIR="${CMAKE_BINARY_DIR}")
  if(ARG_QT_MAIN)
    target_link_libraries(${name} PRIVATE vardel_test_qtmain)
  else()
    target_link_libraries(${name} PRIVATE GTest::gtest_main)
  endif()
  target_link_libraries(${name} PRIVATE GTest::gtest GTest::gmock ${ARG_LIBS})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/tests")
  add_test(NAME ${name} COMMAND ${name})
  if(NOT ARG_LABELS)
    set(ARG_LABELS unit)
  endif()
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  if(NOT ARG_SCREEN)
    set(ARG_SCREEN 800x600)
  endif()
  set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABELS}" TIMEOUT ${ARG_TIMEOUT}
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen:configfile=${CMAKE_SOURCE_DIR}/tests/support/offscreen-${ARG_SCREEN}.json;XDG_DATA_HOME=${CMAKE_BINARY_DIR}/tests/xdg-data/${name}")
endfunction()

# vardel_e2e_test(<name> SCRIPT <file> [ARGS ...]): an end-to-end test script run on a real Xvfb.
function(vardel_e2e_test name)
  cmake_parse_arguments(ARG "" "SCRIPT;TIMEOUT" "ARGS" ${ARGN})
  if(NOT VARDEL_E2E)
    return()
  endif()
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  add_test(NAME ${name} COMMAND bash "${ARG_SCRIPT}" ${ARG_ARGS})
  set_tests_properties(${name} PROPERTIES LABELS e2e TIMEOUT ${ARG_TIMEOUT} RUN_SERIAL TRUE
    ENVIRONMENT "VARDEL_AUDIO_DRIVER=dummy;VARDEL_PROGRAM_DIR=${VARDEL_PROGRAM_DIR};VARDEL_TEST_ARTIFACTS=${VARDEL_TEST_ARTIFACTS};VARDEL_SOURCE_DIR=${CMAKE_SOURCE_DIR};VARDEL_BINARY_DIR=${CMAKE_BINARY_DIR}")
endfunction()
