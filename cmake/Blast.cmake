# Helpers shared by every folder's CMakeLists.

# blast_library(NAME SOURCES... [DEPS targets...])
# One static library per source folder; the folder's parent is on the include
# path so code includes "platform/clock.h", "client/map/map.h" and so on.
function(blast_library name)
  cmake_parse_arguments(A "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${A_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
  if(A_DEPS)
    target_link_libraries(${name} PUBLIC ${A_DEPS})
  endif()
endfunction()

# blast_program(NAME SOURCES... DEPS...): an executable staged into bin/.
function(blast_program name)
  cmake_parse_arguments(A "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  target_link_libraries(${name} PRIVATE ${A_DEPS})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${STAGE_BIN})
endfunction()

# blast_test(NAME LABEL SOURCES... DEPS... [ENV k=v...] [LOCK]):
# a GoogleTest program registered with CTest under its tier label. LOCK makes it
# hold the "ports" resource, for tests that bind the server's fixed ports, and
# run it in a private network namespace where the machine allows it.
# Tests run in ${STAGE_BIN}, like the game, so "../data/..." resolves.
function(blast_test name)
  cmake_parse_arguments(A "LOCK" "LABEL;TIMEOUT" "SOURCES;DEPS;ENV" ${ARGN})
  find_package(GTest REQUIRED)
  add_executable(${name} ${A_SOURCES})
  target_link_libraries(${name} PRIVATE ${A_DEPS} GTest::gtest GTest::gtest_main)
  if(A_LOCK)
    add_test(NAME ${name} COMMAND ${CMAKE_SOURCE_DIR}/scripts/isolated.sh $<TARGET_FILE:${name}>
             WORKING_DIRECTORY ${STAGE_BIN})
  else()
    add_test(NAME ${name} COMMAND ${name} WORKING_DIRECTORY ${STAGE_BIN})
  endif()
  if(NOT A_TIMEOUT)
    set(A_TIMEOUT 300)
  endif()
  set_tests_properties(${name} PROPERTIES LABELS "${A_LABEL}" TIMEOUT ${A_TIMEOUT})
  if(A_ENV)
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${A_ENV}")
  endif()
  if(A_LOCK)
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK ports)
  endif()
endfunction()

# blast_script_test(NAME LABEL COMMAND... [LOCK] [ENV...]): a script-driven test
# (end-to-end runs of the real binaries), run from the staged bin/ folder.
function(blast_script_test name)
  cmake_parse_arguments(A "LOCK" "LABEL;TIMEOUT" "COMMAND;ENV" ${ARGN})
  if(A_LOCK)
    set(A_COMMAND ${CMAKE_SOURCE_DIR}/scripts/isolated.sh ${A_COMMAND})
  endif()
  add_test(NAME ${name} COMMAND ${A_COMMAND} WORKING_DIRECTORY ${STAGE_BIN})
  if(NOT A_TIMEOUT)
    set(A_TIMEOUT 300)
  endif()
  set_tests_properties(${name} PROPERTIES LABELS "${A_LABEL}" TIMEOUT ${A_TIMEOUT})
  if(A_ENV)
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${A_ENV}")
  endif()
  if(A_LOCK)
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK "ports;display")
  endif()
endfunction()
