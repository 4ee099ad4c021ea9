# Windows build (mingw-w64): huepeek.exe, its Win32 layer as a static library, and the tests,
# which ctest runs through wine.
enable_language(RC)
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

# No -fdata-sections: mingw then puts zero-initialised globals into .data sections, which cost
# their full size in the file (the language tables are over 100 KB).
set(HUEPEEK_SIZE_FLAGS -Os -ffunction-sections)
# No thread-safe guards for function-local statics: the guard pulls the C++ runtime's exception
# support into the exe (about 90 KiB). Such statics are only made on the user-interface thread.
set(HUEPEEK_EXE_FLAGS ${HUEPEEK_SIZE_FLAGS} -fno-exceptions -fno-rtti -fno-asynchronous-unwind-tables
    -fno-threadsafe-statics)
set(HUEPEEK_DEFINES UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
target_compile_options(huepeek_core PRIVATE ${HUEPEEK_EXE_FLAGS})

# The language archive is packed at build time by a host tool built with the host's compiler, from
# the cores it uses (one compiler run: the release check builds it again from scratch).
find_program(HUEPEEK_HOST_CXX NAMES c++ g++ clang++ REQUIRED)
file(GLOB HUEPEEK_LANG_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/res/lang/*.txt)
file(GLOB HUEPEEK_PACKER_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/lang/core/*.cpp ${CMAKE_SOURCE_DIR}/base/core/*.cpp)
set(HUEPEEK_PACKER ${CMAKE_BINARY_DIR}/host/pack_lang)
set(HUEPEEK_ARCHIVE ${CMAKE_BINARY_DIR}/generated/huepeek_lang.bin)
add_custom_command(
    OUTPUT ${HUEPEEK_PACKER}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/host
    COMMAND ${HUEPEEK_HOST_CXX} -std=c++17 -O2 -I${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/tools/pack_lang.cpp
            ${HUEPEEK_PACKER_SOURCES} -o ${HUEPEEK_PACKER}
    DEPENDS ${CMAKE_SOURCE_DIR}/tools/pack_lang.cpp ${HUEPEEK_PACKER_SOURCES}
    COMMENT "Building the host tool pack_lang")
add_custom_command(
    OUTPUT ${HUEPEEK_ARCHIVE}
    COMMAND ${HUEPEEK_PACKER} ${CMAKE_SOURCE_DIR}/res/lang ${HUEPEEK_ARCHIVE}
    DEPENDS ${HUEPEEK_PACKER} ${HUEPEEK_LANG_SOURCES}
    COMMENT "Packing the language archive")
add_custom_target(huepeek_archive DEPENDS ${HUEPEEK_ARCHIVE})

# The Win32 layer: everything but the entry point, shared by the exe and the tests.
file(GLOB HUEPEEK_WIN_SOURCES CONFIGURE_DEPENDS
     ${CMAKE_SOURCE_DIR}/base/*.cpp ${CMAKE_SOURCE_DIR}/app/*.cpp ${CMAKE_SOURCE_DIR}/settings/*.cpp ${CMAKE_SOURCE_DIR}/picker/*.cpp
     ${CMAKE_SOURCE_DIR}/lang/*.cpp ${CMAKE_SOURCE_DIR}/tray/*.cpp ${CMAKE_SOURCE_DIR}/theme/*.cpp
     ${CMAKE_SOURCE_DIR}/services/*.cpp)
list(REMOVE_ITEM HUEPEEK_WIN_SOURCES ${CMAKE_SOURCE_DIR}/app/main.cpp)
add_library(huepeek_win STATIC ${HUEPEEK_WIN_SOURCES})
# shell32, ole32 and oleaut32 are loaded at run time (base/system_calls.h), not imported.
target_link_libraries(huepeek_win PUBLIC huepeek_core gdi32 user32 advapi32)
target_compile_definitions(huepeek_win PUBLIC ${HUEPEEK_DEFINES})
target_compile_options(huepeek_win PRIVATE ${HUEPEEK_WARNINGS} ${HUEPEEK_EXE_FLAGS})

file(GLOB HUEPEEK_IMAGES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/res/icons/*.ico ${CMAKE_SOURCE_DIR}/res/icons/*.bmp)
configure_file(${CMAKE_SOURCE_DIR}/res/archive.rc.in ${CMAKE_BINARY_DIR}/generated/archive.rc @ONLY)
set_source_files_properties(${CMAKE_SOURCE_DIR}/res/huepeek.rc PROPERTIES
    OBJECT_DEPENDS "${HUEPEEK_ARCHIVE};${CMAKE_SOURCE_DIR}/res/resource.h;${CMAKE_SOURCE_DIR}/res/huepeek.manifest;${CMAKE_SOURCE_DIR}/res/dialogs.rc;${HUEPEEK_IMAGES}")
add_executable(huepeek WIN32 ${CMAKE_SOURCE_DIR}/app/main.cpp ${CMAKE_SOURCE_DIR}/res/huepeek.rc)
add_dependencies(huepeek huepeek_archive)
target_include_directories(huepeek PRIVATE ${CMAKE_SOURCE_DIR}/res ${CMAKE_BINARY_DIR}/generated)
target_compile_options(huepeek PRIVATE ${HUEPEEK_WARNINGS} ${HUEPEEK_EXE_FLAGS})
target_link_libraries(huepeek PRIVATE huepeek_win)
target_link_options(huepeek PRIVATE -municode -static -s -Wl,--gc-sections)

# The exe's time stamp is the time of the commit it is built from (the linker takes it from
# SOURCE_DATE_EPOCH, and the PE checksum follows), so two builds of one commit in any folders are the
# same bytes (scripts/release.sh). A SOURCE_DATE_EPOCH in the environment wins; without git, 0.
set(HUEPEEK_SOURCE_DATE_EPOCH "$ENV{SOURCE_DATE_EPOCH}")
if(HUEPEEK_SOURCE_DATE_EPOCH STREQUAL "")
    execute_process(COMMAND git log -1 --format=%ct WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
                    OUTPUT_VARIABLE HUEPEEK_SOURCE_DATE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    # Every move of HEAD (a commit, a merge, a checkout) is logged here: configure again, for the new time.
    execute_process(COMMAND git rev-parse --path-format=absolute --git-path logs/HEAD WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
                    OUTPUT_VARIABLE head_log OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    if(head_log AND EXISTS "${head_log}")
        set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${head_log}")
    endif()
endif()
if(NOT HUEPEEK_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
    set(HUEPEEK_SOURCE_DATE_EPOCH 0)
endif()
set_property(TARGET huepeek PROPERTY RULE_LAUNCH_LINK "${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${HUEPEEK_SOURCE_DATE_EPOCH}")

# Tests. GoogleTest from the Debian sources, linked statically so no runtime DLL is needed.
add_subdirectory(${HUEPEEK_GTEST_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
set(HUEPEEK_TEST_LINK -static -static-libgcc -static-libstdc++)

# Screenshots for a person to look at, written by both kinds of Windows tests (PNG chunks carry the
# program's own CRC-32; the end-to-end tests link nothing else of the program).
set(HUEPEEK_TEST_SUPPORT ${CMAKE_SOURCE_DIR}/tests/support/screenshot.cpp ${CMAKE_SOURCE_DIR}/base/core/crc32.cpp)

# The unit tests carry the program's resources (dialogs, icons, manifest), so that they can make its
# windows in process as the exe does; the texts come from huepeek.exe beside them.
file(GLOB_RECURSE HUEPEEK_WIN_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/unit/*_test.cpp)
# They also use the end-to-end harness to act as a user on their own windows and the system's
# dialogs, and the recording mail program of the end-to-end tests.
add_executable(huepeek_unit_tests ${HUEPEEK_WIN_TESTS} ${HUEPEEK_TEST_SUPPORT} ${CMAKE_SOURCE_DIR}/tests/e2e/harness.cpp
               ${CMAKE_SOURCE_DIR}/tests/e2e/mail_recorder.cpp ${CMAKE_SOURCE_DIR}/res/huepeek.rc)
add_dependencies(huepeek_unit_tests huepeek huepeek_fixtures)
target_include_directories(huepeek_unit_tests PRIVATE ${CMAKE_SOURCE_DIR}/res ${CMAKE_BINARY_DIR}/generated
                           ${CMAKE_SOURCE_DIR}/tests/support ${CMAKE_SOURCE_DIR}/tests/e2e)
target_link_libraries(huepeek_unit_tests PRIVATE huepeek_win GTest::gtest_main)
target_compile_definitions(huepeek_unit_tests PRIVATE HUEPEEK_SOURCE_DIR="Z:${CMAKE_SOURCE_DIR}")
target_compile_options(huepeek_unit_tests PRIVATE ${HUEPEEK_WARNINGS})
target_link_options(huepeek_unit_tests PRIVATE ${HUEPEEK_TEST_LINK})
gtest_discover_tests(huepeek_unit_tests TEST_PREFIX "win." DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                     PROPERTIES TIMEOUT 120 RUN_SERIAL TRUE)

# End-to-end tests drive the real huepeek.exe; the harness finds it beside the test program.
file(GLOB HUEPEEK_E2E_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/*.cpp)
add_executable(huepeek_e2e_tests ${HUEPEEK_E2E_SOURCES} ${HUEPEEK_TEST_SUPPORT})
add_dependencies(huepeek_e2e_tests huepeek huepeek_fixtures)
target_include_directories(huepeek_e2e_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests/e2e ${CMAKE_SOURCE_DIR}/tests/support
                           ${CMAKE_SOURCE_DIR})
target_compile_definitions(huepeek_e2e_tests PRIVATE ${HUEPEEK_DEFINES}
                           HUEPEEK_SOURCE_DIR="Z:${CMAKE_SOURCE_DIR}")
target_compile_options(huepeek_e2e_tests PRIVATE ${HUEPEEK_WARNINGS})
target_link_libraries(huepeek_e2e_tests PRIVATE GTest::gtest_main user32 gdi32 advapi32 shell32)
target_link_options(huepeek_e2e_tests PRIVATE ${HUEPEEK_TEST_LINK})
# In the zone UTC, whatever the machine's: the maker's site variant follows the time zone.
gtest_discover_tests(huepeek_e2e_tests TEST_PREFIX "e2e." DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                     PROPERTIES TIMEOUT 120 RUN_SERIAL TRUE ENVIRONMENT TZ=UTC)

# The colour dialog under a Japanese and an Arabic locale (Wine takes the locale, and with it the
# dialog font and the mirroring of a right-to-left language, from LC_ALL when a process starts), in
# those languages: at 100 % and 200 %, and, under the right-to-left one, the direction of its values.
foreach(variant "ja_JP|4|FitsTheWorkAreaAtEveryScale" "ar_SA|11|FitsTheWorkAreaAtEveryScale:PaletteTest.ValuesReadLeftToRightInAMirroredDialog")
    string(REPLACE "|" ";" parts ${variant})
    list(GET parts 0 locale)
    list(GET parts 1 slot)
    list(GET parts 2 tests)
    add_test(NAME e2e.PaletteTest.${locale} COMMAND huepeek_e2e_tests --gtest_filter=PaletteTest.${tests})
    set_tests_properties(e2e.PaletteTest.${locale} PROPERTIES
        ENVIRONMENT "TZ=UTC;LC_ALL=${locale}.UTF-8;HUEPEEK_PALETTE_LANGUAGE=${slot};HUEPEEK_EXPECT_RIGHT_TO_LEFT=$<STREQUAL:${locale},ar_SA>"
        TIMEOUT 120 RUN_SERIAL TRUE)
endforeach()

# The site variant by the time zone, for zones at and beyond the European bounds of four hours, one
# with summer time and one Wine does not know (UTC to it). Wine takes a program's zone from the TZ
# it starts with, and POSIX zones give exact offsets ("XXX4:01" is UTC-4:01, a bias of 241).
foreach(variant "bias+240|XXX4|eu" "bias+241|XXX4:01|com" "bias-240|XXX-4|eu" "bias-241|XXX-4:01|com"
                "Berlin|Europe/Berlin|eu" "unknown|Nowhere/Unknown|eu")
    string(REPLACE "|" ";" parts ${variant})
    list(GET parts 0 name)
    list(GET parts 1 zone)
    list(GET parts 2 domain)
    add_test(NAME e2e.MorePageTest.SiteVariantFollowsTheTimeZone.${name}
             COMMAND huepeek_e2e_tests --gtest_filter=MorePageTest.SiteVariantFollowsTheTimeZone)
    set_tests_properties(e2e.MorePageTest.SiteVariantFollowsTheTimeZone.${name} PROPERTIES
        ENVIRONMENT "TZ=${zone};HUEPEEK_EXPECTED_SITE=https://www.vantorel.${domain}" TIMEOUT 120 RUN_SERIAL TRUE
        SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\]")
endforeach()

# The uninstall messages in Japanese, which draws only under a Japanese locale (taken from LC_ALL
# when a process starts).
add_test(NAME e2e.MorePageTest.UninstallThatCannotStartItsBatchSaysSoAndChangesNothing.ja_JP
         COMMAND huepeek_e2e_tests --gtest_filter=MorePageTest.UninstallThatCannotStartItsBatchSaysSoAndChangesNothing)
set_tests_properties(e2e.MorePageTest.UninstallThatCannotStartItsBatchSaysSoAndChangesNothing.ja_JP PROPERTIES
    ENVIRONMENT "TZ=UTC;LC_ALL=ja_JP.UTF-8;HUEPEEK_JAPANESE_RUN=1" TIMEOUT 120 RUN_SERIAL TRUE)

# Small Windows programs the tests and the test environment use: each tests/e2e/fixtures/NAME.cpp
# becomes NAME.exe beside huepeek.exe (a DLL when its name ends in _dll).
file(GLOB HUEPEEK_FIXTURES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/fixtures/*.cpp)
add_custom_target(huepeek_fixtures)
foreach(fixture_source ${HUEPEEK_FIXTURES})
    get_filename_component(fixture ${fixture_source} NAME_WE)
    if(fixture MATCHES "_dll$")
        string(REGEX REPLACE "_dll$" "" dll_name ${fixture})
        add_library(${fixture} SHARED ${fixture_source})
        set_target_properties(${fixture} PROPERTIES OUTPUT_NAME ${dll_name} PREFIX ""
                              RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fixtures)
    else()
        add_executable(${fixture} WIN32 ${fixture_source})
    endif()
    target_compile_definitions(${fixture} PRIVATE ${HUEPEEK_DEFINES})
    target_include_directories(${fixture} PRIVATE ${CMAKE_SOURCE_DIR})
    target_compile_options(${fixture} PRIVATE ${HUEPEEK_WARNINGS} -Os)
    target_link_options(${fixture} PRIVATE ${HUEPEEK_TEST_LINK} -municode)
    target_link_libraries(${fixture} PRIVATE user32 gdi32)
    add_dependencies(huepeek_fixtures ${fixture})
endforeach()

# The shipped exe imports nothing but system DLLs.
add_test(NAME exe.imports_only_system_dlls
         COMMAND sh ${CMAKE_SOURCE_DIR}/tests/exe/check_imports.sh $<TARGET_FILE:huepeek>)
set_tests_properties(exe.imports_only_system_dlls PROPERTIES TIMEOUT 30)
add_test(NAME exe.small_and_without_the_cpp_runtime
         COMMAND sh ${CMAKE_SOURCE_DIR}/tests/exe/check_size.sh $<TARGET_FILE:huepeek>)
set_tests_properties(exe.small_and_without_the_cpp_runtime PROPERTIES TIMEOUT 30)

# The automatic language for real user languages: the same test under other locales.
foreach(variant "de_AT.UTF-8:0" "pt_BR.UTF-8:9" "el_GR.UTF-8:1" "ja_JP.UTF-8:4")
    string(REPLACE ":" ";" parts ${variant})
    list(GET parts 0 locale)
    list(GET parts 1 slot)
    add_test(NAME win.SettingsStoreTest.UserLanguageChoosesTheSlot.${locale}
             COMMAND huepeek_unit_tests --gtest_filter=SettingsStoreTest.UserLanguageChoosesTheSlot)
    set_tests_properties(win.SettingsStoreTest.UserLanguageChoosesTheSlot.${locale} PROPERTIES
        ENVIRONMENT "LC_ALL=${locale};LANGUAGE_EXPECTED_SLOT=${slot}" TIMEOUT 60 RUN_SERIAL TRUE
        SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\]")
endforeach()

# Language files under a double-byte ANSI code page (932), and the language menu's Japanese names.
add_test(NAME win.LanguageFiles.ja_JP
         COMMAND huepeek_unit_tests
                 --gtest_filter=LanguageFileTest.DoubleByteCharacterAcrossBlocks:LanguageMenuTest.ListsTheNamedLanguagesAndChoosingOneSwitches)
set_tests_properties(win.LanguageFiles.ja_JP PROPERTIES
    ENVIRONMENT "LC_ALL=ja_JP.UTF-8;HUEPEEK_EXPECT_ACP_932=1" TIMEOUT 120 RUN_SERIAL TRUE)

# The main dialog's text-fit test measures each language under its users' locale, whose code page
# makes Wine choose the dialog font and its fallbacks for the script. Wine takes the locale from
# LC_ALL when a process starts, so each locale runs in a process of its own; the test's table says
# which languages each measures, and checks that every locale there is one of these.
set(HUEPEEK_TEXT_FIT_LOCALES en_US.UTF-8 de_DE.UTF-8 pl_PL.UTF-8 ru_RU.UTF-8 vi_VN.UTF-8 he_IL.UTF-8
    ar_SA.UTF-8 fa_IR.UTF-8 hi_IN.UTF-8 th_TH.UTF-8 ja_JP.UTF-8 ko_KR.UTF-8 zh_TW.UTF-8)
string(REPLACE ";" "," fit_locale_list "${HUEPEEK_TEXT_FIT_LOCALES}")
target_compile_definitions(huepeek_unit_tests PRIVATE HUEPEEK_TEXT_FIT_LOCALES="${fit_locale_list}")
foreach(locale ${HUEPEEK_TEXT_FIT_LOCALES})
    add_test(NAME win.MainDialogTextFitTest.TextsOfOneLocaleFit.${locale}
             COMMAND huepeek_unit_tests --gtest_filter=MainDialogTextFitTest.TextsOfOneLocaleFit)
    set_tests_properties(win.MainDialogTextFitTest.TextsOfOneLocaleFit.${locale} PROPERTIES
        ENVIRONMENT "LC_ALL=${locale};HUEPEEK_TEXT_FIT_LOCALE=${locale}" TIMEOUT 60 RUN_SERIAL TRUE
        SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\]")
endforeach()

# Windows benchmarks: console programs that print figures; never run by the tests.
file(GLOB HUEPEEK_WIN_BENCHES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/bench/win/*_bench.cpp)
foreach(bench_source ${HUEPEEK_WIN_BENCHES})
    get_filename_component(bench ${bench_source} NAME_WE)
    add_executable(${bench} ${bench_source})
    target_link_libraries(${bench} PRIVATE huepeek_win)
    target_compile_options(${bench} PRIVATE ${HUEPEEK_WARNINGS} -O2)
    target_link_options(${bench} PRIVATE ${HUEPEEK_TEST_LINK} -municode)
    set_target_properties(${bench} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
endforeach()

# Floor programs for the benchmarks: the least a step needs, built with the exe's own flags.
file(GLOB HUEPEEK_FLOORS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/bench/floors/*.cpp)
foreach(floor_source ${HUEPEEK_FLOORS})
    get_filename_component(floor ${floor_source} NAME_WE)
    add_executable(${floor} WIN32 ${floor_source})
    target_compile_definitions(${floor} PRIVATE ${HUEPEEK_DEFINES})
    target_compile_options(${floor} PRIVATE ${HUEPEEK_WARNINGS} ${HUEPEEK_EXE_FLAGS})
    target_link_options(${floor} PRIVATE -municode -static -s -Wl,--gc-sections)
    target_link_libraries(${floor} PRIVATE user32 gdi32)
    set_target_properties(${floor} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
endforeach()

# scripts/release.sh builds the exe again in a folder of its own, without a compiler cache: it must be
# the same bytes as this build's, and its zip must hold it.
add_test(NAME exe.release_is_reproducible
         COMMAND python3 ${CMAKE_SOURCE_DIR}/tests/exe/check_release.py ${CMAKE_SOURCE_DIR} $<TARGET_FILE:huepeek>
                 ${CMAKE_BINARY_DIR}/release-check)
set_tests_properties(exe.release_is_reproducible PROPERTIES TIMEOUT 900)

# The archive's markers occur in the exe only inside the archive.
add_test(NAME exe.archive_markers_only_in_the_archive
         COMMAND python3 ${CMAKE_SOURCE_DIR}/tests/exe/check_markers.py $<TARGET_FILE:huepeek> ${HUEPEEK_ARCHIVE})
set_tests_properties(exe.archive_markers_only_in_the_archive PROPERTIES TIMEOUT 30)
