# The picture map's region-data file reader on Linux: its tests under
# AddressSanitizer and UndefinedBehaviorSanitizer, and a libFuzzer target
# seeded with files the authoring tool draws at build time. A long run by hand:
#   build/native/native/region_fuzzer -max_len=65536 -rss_limit_mb=1024 -max_total_time=3600 build/native/region_corpus
find_package(ZLIB REQUIRED)
set(PTR_REGION_SRC ${CMAKE_SOURCE_DIR}/setting/region)
set(PTR_REGION_TOOLS ${CMAKE_SOURCE_DIR}/setting/tools)
set(PTR_REGION_TESTS ${CMAKE_SOURCE_DIR}/tests/region)

ptr_native_library(ksvregion_native
    ${PTR_REGION_SRC}/region_errors.cpp
    ${PTR_REGION_SRC}/region_stream.cpp
    ${PTR_REGION_SRC}/bitmap_image.cpp
    ${PTR_REGION_SRC}/region_layout.cpp
    ${CMAKE_SOURCE_DIR}/common/short_string.cpp)
target_include_directories(ksvregion_native PUBLIC ${PTR_REGION_SRC} ${CMAKE_SOURCE_DIR}/common)
target_link_libraries(ksvregion_native PUBLIC ZLIB::ZLIB)

ptr_native_library(krdwriter_native ${PTR_REGION_TOOLS}/krd_writer.cpp ${PTR_REGION_TOOLS}/picture_text.cpp)
target_include_directories(krdwriter_native PUBLIC ${PTR_REGION_TOOLS})
target_link_libraries(krdwriter_native PUBLIC ZLIB::ZLIB)

add_executable(krdtool_native ${PTR_REGION_TOOLS}/krdtool.cpp)
target_link_libraries(krdtool_native PRIVATE krdwriter_native)
ptr_native_strict(krdtool_native)

if(NOT TARGET gtest)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
endif()
ptr_native_test(region_native_tests
    ${PTR_REGION_TESTS}/test_region_layout.cpp
    ${PTR_REGION_TESTS}/test_picture_text.cpp
    ${PTR_REGION_TESTS}/region_test_files.cpp)
target_link_libraries(region_native_tests PRIVATE ksvregion_native krdwriter_native gtest gtest_main)

# Seeds: the suite's own pictures and small files, compressed and stored.
set(PTR_REGION_CORPUS ${CMAKE_BINARY_DIR}/region_corpus)
set(PTR_REGION_SEEDS)
foreach(description ${CMAKE_SOURCE_DIR}/setting/tools/mouse_pictures.txt ${PTR_REGION_TESTS}/seeds/tiny.txt
                    ${PTR_REGION_TESTS}/seeds/empty.txt)
    get_filename_component(name ${description} NAME_WE)
    set(compressed ${PTR_REGION_CORPUS}/${name}.krd)
    set(stored ${PTR_REGION_CORPUS}/${name}_stored.krd)
    add_custom_command(
        OUTPUT ${compressed} ${stored}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${PTR_REGION_CORPUS}
        COMMAND krdtool_native krd ${description} ${compressed}
        COMMAND krdtool_native krd ${description} ${stored} --stored
        DEPENDS krdtool_native ${description}
        VERBATIM)
    list(APPEND PTR_REGION_SEEDS ${compressed} ${stored})
endforeach()
add_custom_target(region_corpus ALL DEPENDS ${PTR_REGION_SEEDS})

ptr_native_fuzzer(region_fuzzer ${PTR_REGION_CORPUS} 1200000 ${PTR_REGION_TESTS}/fuzz_region_layout.cpp)
target_link_libraries(region_fuzzer PRIVATE ksvregion_native)
add_dependencies(region_fuzzer region_corpus)
