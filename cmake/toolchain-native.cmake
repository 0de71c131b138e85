# Native Linux build with clang, for the parsers' sanitizer tests and fuzzers.
set(CMAKE_C_COMPILER clang)
set(CMAKE_CXX_COMPILER clang++)
