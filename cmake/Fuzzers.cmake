# One libFuzzer harness per parser of untrusted bytes, each with its seed corpus:
#
#   dbscout_add_fuzzer(NAME SOURCE... [LIBS lib...] [DEFINES def...] [CORPUS folder])
#
# The ordinary build links the harness with a replay driver and runs it over CORPUS (default
# corpus/NAME without its "fuzz_" prefix, beside the calling CMakeLists.txt) as the test
# NAME_corpus: no clang needed. The fuzz build (DBSCOUT_FUZZ=ON, clang, `make fuzz`) links it with
# libFuzzer instead, puts it in fuzzers/ and lists it with its corpus in fuzzers.txt for
# scripts/run-fuzzers.

set(DBSCOUT_FUZZ_LIST ${PROJECT_BINARY_DIR}/fuzzers.txt)
if(DBSCOUT_FUZZ)
  file(WRITE ${DBSCOUT_FUZZ_LIST} "")
  add_custom_target(fuzzers)
endif()

function(dbscout_add_fuzzer name)
  cmake_parse_arguments(F "" "CORPUS" "LIBS;DEFINES" ${ARGN})
  if(NOT F_CORPUS)
    string(REGEX REPLACE "^fuzz_" "" folder ${name})
    set(F_CORPUS ${CMAKE_CURRENT_SOURCE_DIR}/corpus/${folder})
  endif()
  get_filename_component(F_CORPUS ${F_CORPUS} ABSOLUTE)
  if(DBSCOUT_FUZZ)
    add_executable(${name} ${F_UNPARSED_ARGUMENTS})
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/fuzzers)
    add_dependencies(fuzzers ${name})
    file(APPEND ${DBSCOUT_FUZZ_LIST} "${name} ${F_CORPUS}\n")
  else()
    add_executable(${name} ${F_UNPARSED_ARGUMENTS} ${PROJECT_SOURCE_DIR}/tests/support/fuzz_replay.cpp)
    add_test(NAME ${name}_corpus COMMAND ${name} ${F_CORPUS})
    set_tests_properties(${name}_corpus PROPERTIES TIMEOUT 300
      ENVIRONMENT "DBSCOUT_TEST_TMP=${PROJECT_BINARY_DIR}/tests/tmp")
  endif()
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support)
  target_compile_definitions(${name} PRIVATE ${F_DEFINES})
  target_link_libraries(${name} PRIVATE ${F_LIBS})
  set_target_properties(${name} PROPERTIES AUTOMOC OFF)
endfunction()
