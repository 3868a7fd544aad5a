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

# blast_bench(NAME SOURCES... DEPS...): a benchmark, staged into bin/ beside the
# programs it measures and run from there (so "../data/..." resolves). Built by
# the test build, never run by the test command: each prints figures.
function(blast_bench name)
  cmake_parse_arguments(A "" "" "SOURCES;DEPS" ${ARGN})
  blast_program(${name} SOURCES ${A_SOURCES} DEPS ${A_DEPS})
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

# blast_fuzz(NAME HARNESS file DEPS libs... [CODE sources...] [LIBS libs...]
#            [MUTATIONS n] [EDGES_ONLY]): one fuzz harness, laid out as
#   tests/fuzz/<topic>/NAME_fuzz.cpp   the entry point (HARNESS)
#   tests/fuzz/<topic>/corpus/NAME/    the seeds
#   tests/fuzz/<topic>/NAME.dict       libFuzzer's dictionary, when there is one
# The ordinary build runs it as the test NAME_fuzz_smoke: the seeds and MUTATIONS
# (default 3000) mutated inputs through tests/fuzz/smoke_main.cpp, linked with
# DEPS. With BLAST_FUZZ (clang) it also builds the libFuzzer program fuzz/fuzz_NAME
# with ASan and UBSan, the CODE under test compiled in for coverage and LIBS
# linked plain; EDGES_ONLY leaves out comparison tracing. scripts/fuzz.sh runs it.
function(blast_fuzz name)
  cmake_parse_arguments(A "EDGES_ONLY" "HARNESS;MUTATIONS" "DEPS;CODE;LIBS" ${ARGN})
  if(NOT A_MUTATIONS)
    set(A_MUTATIONS 3000)
  endif()
  set(corpus ${CMAKE_CURRENT_SOURCE_DIR}/corpus/${name})
  set(dict ${CMAKE_CURRENT_SOURCE_DIR}/${name}.dict)
  if(NOT EXISTS ${dict})
    set(dict "")
  endif()
  add_executable(${name}_fuzz_smoke ${CMAKE_SOURCE_DIR}/tests/fuzz/smoke_main.cpp ${A_HARNESS})
  target_link_libraries(${name}_fuzz_smoke PRIVATE ${A_DEPS})
  add_test(NAME ${name}_fuzz_smoke
    COMMAND ${name}_fuzz_smoke ${corpus} ${A_MUTATIONS} ${dict}
    WORKING_DIRECTORY ${STAGE_BIN})
  set_tests_properties(${name}_fuzz_smoke PROPERTIES LABELS fuzz TIMEOUT 300)

  if(BLAST_FUZZ)
    add_executable(fuzz_${name} ${A_HARNESS} ${A_CODE})
    target_include_directories(fuzz_${name} PRIVATE ${CMAKE_SOURCE_DIR})
    if(A_EDGES_ONLY)
      set(coverage -fsanitize-coverage=inline-8bit-counters,pc-table)
    else()
      set(coverage -fsanitize=fuzzer-no-link)
    endif()
    target_compile_options(fuzz_${name} PRIVATE -fsanitize=address,undefined ${coverage}
      -fno-sanitize-recover=undefined -g -O1)
    target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_libraries(fuzz_${name} PRIVATE ${A_LIBS})
    set_target_properties(fuzz_${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
  endif()
endfunction()
