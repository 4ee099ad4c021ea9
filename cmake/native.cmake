# Native build (clang): the core with sanitizers for unit tests and fuzzing, plain for the host
# tools and benchmarks.
set(HUEPEEK_SANITIZE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
set(HUEPEEK_FUZZ_SECONDS 10 CACHE STRING "Seconds each fuzz target runs inside the test command")

target_compile_options(huepeek_core PRIVATE -O2)

add_library(huepeek_core_asan STATIC ${HUEPEEK_CORE_SOURCES})
target_include_directories(huepeek_core_asan PUBLIC ${CMAKE_SOURCE_DIR})
target_compile_options(huepeek_core_asan PRIVATE ${HUEPEEK_WARNINGS} ${HUEPEEK_SANITIZE})
target_link_options(huepeek_core_asan INTERFACE ${HUEPEEK_SANITIZE})

add_subdirectory(${HUEPEEK_GTEST_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

file(GLOB HUEPEEK_TOOLS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/*.cpp)
foreach(tool_source ${HUEPEEK_TOOLS})
    get_filename_component(tool ${tool_source} NAME_WE)
    add_executable(${tool} ${tool_source})
    target_link_libraries(${tool} PRIVATE huepeek_core)
    target_compile_options(${tool} PRIVATE ${HUEPEEK_WARNINGS} -O2)
    set_target_properties(${tool} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)
endforeach()

if(HUEPEEK_CORE_TESTS)
    add_executable(huepeek_native_tests ${HUEPEEK_CORE_TESTS})
    target_link_libraries(huepeek_native_tests PRIVATE huepeek_core_asan GTest::gtest_main)
    target_compile_options(huepeek_native_tests PRIVATE ${HUEPEEK_WARNINGS} ${HUEPEEK_SANITIZE})
    target_compile_definitions(huepeek_native_tests PRIVATE HUEPEEK_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
    gtest_discover_tests(huepeek_native_tests TEST_PREFIX "native." PROPERTIES TIMEOUT 300)
endif()

file(GLOB HUEPEEK_BENCHES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/bench/*_bench.cpp)
foreach(bench_source ${HUEPEEK_BENCHES})
    get_filename_component(bench ${bench_source} NAME_WE)
    add_executable(${bench} ${bench_source})
    target_link_libraries(${bench} PRIVATE huepeek_core)
    target_compile_options(${bench} PRIVATE ${HUEPEEK_WARNINGS} -O2)
    target_compile_definitions(${bench} PRIVATE HUEPEEK_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
    set_target_properties(${bench} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
endforeach()

# libFuzzer targets: clang only. Each runs for a bounded time in the test command, starting from its
# committed seeds (tests/fuzz/seeds/<folder>, made by tests/fuzz/make_seeds.py); scripts/fuzz.sh runs
# them for longer. Per target: the seed folder and the longest input, so that whole archives and
# archive texts fit where they are read.
set(HUEPEEK_FUZZ_SETUP
    "archive_fuzz archive 262144"
    "archive_text_fuzz archive_text 262144"
    "text_builders_fuzz archive_text 262144"
    "settings_number_fuzz settings_number 4096"
    "command_line_fuzz command_line 4096"
    "language_file_fuzz language_file 65536")
if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    set(HUEPEEK_FUZZ_FLAGS -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
    add_library(huepeek_core_fuzz STATIC ${HUEPEEK_CORE_SOURCES})
    target_include_directories(huepeek_core_fuzz PUBLIC ${CMAKE_SOURCE_DIR})
    target_compile_options(huepeek_core_fuzz PRIVATE ${HUEPEEK_FUZZ_FLAGS})
    file(GLOB HUEPEEK_FUZZERS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/fuzz/*_fuzz.cpp)
    foreach(fuzz_source ${HUEPEEK_FUZZERS})
        get_filename_component(fuzzer ${fuzz_source} NAME_WE)
        add_executable(${fuzzer} ${fuzz_source})
        target_link_libraries(${fuzzer} PRIVATE huepeek_core_fuzz)
        target_compile_options(${fuzzer} PRIVATE -fsanitize=fuzzer,address,undefined -fno-omit-frame-pointer)
        target_link_options(${fuzzer} PRIVATE -fsanitize=fuzzer,address,undefined)
        set_target_properties(${fuzzer} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
        set(seeds "")
        set(max_len 4096)
        foreach(setup ${HUEPEEK_FUZZ_SETUP})
            string(REPLACE " " ";" setup ${setup})
            list(GET setup 0 name)
            if(name STREQUAL fuzzer)
                list(GET setup 1 folder)
                list(GET setup 2 max_len)
                set(seeds ${CMAKE_SOURCE_DIR}/tests/fuzz/seeds/${folder})
            endif()
        endforeach()
        set(corpus ${CMAKE_BINARY_DIR}/fuzz/${fuzzer}_corpus)
        file(MAKE_DIRECTORY ${corpus})
        # For scripts/fuzz.sh: the same longest input and seeds.
        file(WRITE ${CMAKE_BINARY_DIR}/fuzz/${fuzzer}.options "-max_len=${max_len} ${seeds}\n")
        add_test(NAME fuzz.${fuzzer}
                 COMMAND ${fuzzer} -max_total_time=${HUEPEEK_FUZZ_SECONDS} -timeout=10 -rss_limit_mb=2048
                         -max_len=${max_len} -print_final_stats=1 ${corpus} ${seeds})
        set_tests_properties(fuzz.${fuzzer} PROPERTIES TIMEOUT 600)
    endforeach()
endif()

# Includes point downward only (app, subsystems, base; core folders stay platform-neutral).
find_package(Python3 COMPONENTS Interpreter)
if(Python3_FOUND)
    add_test(NAME source.layers COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/tests/source/check_layers.py
                                        ${CMAKE_SOURCE_DIR})
    add_test(NAME source.layers_self_test
             COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/tests/source/check_layers.py --self-test)
    # A damaged translation fails the packer, and so the build.
    add_test(NAME tools.pack_lang_refuses_a_damaged_translation
             COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/tests/tools/pack_lang_test.py $<TARGET_FILE:pack_lang>
                     ${CMAKE_SOURCE_DIR})
    set_tests_properties(tools.pack_lang_refuses_a_damaged_translation PROPERTIES TIMEOUT 60)
endif()
