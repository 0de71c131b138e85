# The installation log: its parser and writer, their sanitizer unit tests and
# a libFuzzer target that reads arbitrary bytes and checks that what it read
# writes back and reads again the same.
set(PTR_INSLOG_TESTS ${CMAKE_SOURCE_DIR}/tests/uninstaller)

ptr_native_library(inslog_native ${CMAKE_SOURCE_DIR}/common/inslog_format.cpp ${CMAKE_SOURCE_DIR}/common/short_string.cpp)
target_include_directories(inslog_native PUBLIC ${CMAKE_SOURCE_DIR}/common)

if(NOT TARGET gtest_main)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
endif()

ptr_native_test(inslog_native_tests ${PTR_INSLOG_TESTS}/native/test_inslog_format.cpp)
target_link_libraries(inslog_native_tests PRIVATE inslog_native gtest_main)

# The seeds are copied, as the fuzzer adds what it finds to its corpus folder.
file(COPY ${PTR_INSLOG_TESTS}/corpus/ DESTINATION ${CMAKE_BINARY_DIR}/inslog_corpus)
ptr_native_fuzzer(inslog_fuzzer ${CMAKE_BINARY_DIR}/inslog_corpus 200000 ${PTR_INSLOG_TESTS}/native/fuzz_inslog_format.cpp)
target_link_libraries(inslog_fuzzer PRIVATE inslog_native)
