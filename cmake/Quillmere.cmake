# qm_add_test(NAME name SOURCES a.cpp b.cpp LIBS lib1 lib2)
# One GoogleTest executable; each test case becomes a CTest test. Tests run
# headless, in the "C" numeric locale, with the registry in a temporary folder
# (see tests/common/test_main.cpp).
function(qm_add_test)
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} qm_test_main GTest::gtest)
  set_target_properties(${T_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  gtest_discover_tests(${T_NAME}
    DISCOVERY_MODE PRE_TEST
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/tests
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 300)
endfunction()

# qm_add_bench(NAME name SOURCES ... LIBS ...): a Google Benchmark program, built, never run by CI.
function(qm_add_bench)
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS" ${ARGN})
  if(NOT QM_BUILD_BENCH)
    return()
  endif()
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} benchmark::benchmark benchmark::benchmark_main)
  set_target_properties(${T_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
endfunction()

# qm_add_fuzz(NAME name SOURCES ... LIBS ... CORPUS dir)
# A fuzz target defines LLVMFuzzerTestOneInput. With QM_FUZZ=ON (clang) it
# becomes a libFuzzer program in build/fuzz; otherwise it is linked with a
# small driver that feeds it every file of its seed corpus, run as a test.
function(qm_add_fuzz)
  cmake_parse_arguments(T "" "NAME;CORPUS" "SOURCES;LIBS" ${ARGN})
  if(QM_FUZZ)
    add_executable(${T_NAME} ${T_SOURCES})
    target_compile_options(${T_NAME} PRIVATE -fsanitize=fuzzer)
    target_link_options(${T_NAME} PRIVATE -fsanitize=fuzzer)
    target_link_libraries(${T_NAME} PRIVATE ${T_LIBS})
    set_target_properties(${T_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
  elseif(QM_BUILD_TESTS)
    add_executable(${T_NAME}_corpus ${T_SOURCES} ${CMAKE_SOURCE_DIR}/fuzz/common/corpus_main.cpp)
    target_link_libraries(${T_NAME}_corpus PRIVATE ${T_LIBS})
    set_target_properties(${T_NAME}_corpus PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
    add_test(NAME fuzz_corpus_${T_NAME} COMMAND ${T_NAME}_corpus ${T_CORPUS})
    set_tests_properties(fuzz_corpus_${T_NAME} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 600)
  endif()
endfunction()
