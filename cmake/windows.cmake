# Windows build (mingw-w64): huepeek.exe, its Win32 layer as a static library, and the tests,
# which ctest runs through wine.
enable_language(RC)
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

# No -fdata-sections: mingw then puts zero-initialised globals into .data sections, which cost
# their full size in the file (the language tables are over 100 KB).
set(HUEPEEK_SIZE_FLAGS -Os -ffunction-sections)
# No thread-safe guards for function-local statics: the guard pulls the C++ runtime's exception
# support into the exe (about 90 KiB). Such statics are only made on the user-interface thread.
# Link-time optimisation takes 5 % off the exe (calls inlined and code dropped across files). The
# objects carry machine code beside it, so that the test programs link the same library without it.
set(HUEPEEK_EXE_FLAGS ${HUEPEEK_SIZE_FLAGS} -fno-exceptions -fno-rtti -fno-asynchronous-unwind-tables
    -fno-threadsafe-statics -flto -ffat-lto-objects)
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
# The manifest ships without its comments and the blanks between its elements (about 500 bytes).
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/res/huepeek.manifest)
file(READ ${CMAKE_SOURCE_DIR}/res/huepeek.manifest manifest)
string(REGEX REPLACE "<!--([^-]|-[^-])*-->" "" manifest "${manifest}")
string(REGEX REPLACE ">[ \t\r\n]+<" "><" manifest "${manifest}")
string(REGEX REPLACE "[ \t\r\n]+" " " manifest "${manifest}")
string(STRIP "${manifest}" manifest)
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/generated/huepeek_compact.manifest CONTENT "${manifest}")
set_source_files_properties(${CMAKE_SOURCE_DIR}/res/huepeek.rc PROPERTIES
    OBJECT_DEPENDS "${HUEPEEK_ARCHIVE};${CMAKE_SOURCE_DIR}/res/resource.h;${CMAKE_BINARY_DIR}/generated/huepeek_compact.manifest;${CMAKE_SOURCE_DIR}/res/dialogs.rc;${HUEPEEK_IMAGES}")
add_executable(huepeek WIN32 ${CMAKE_SOURCE_DIR}/app/main.cpp ${CMAKE_SOURCE_DIR}/res/huepeek.rc)
# main.cpp stands in for the C runtime's start-up code (-nostartfiles, about 10 KB): it defines what
# the compiler's own code calls (atexit, operator delete), which must be there before link-time
# optimisation decides what is used, so it is compiled without it.
set_source_files_properties(${CMAKE_SOURCE_DIR}/app/main.cpp PROPERTIES COMPILE_OPTIONS -fno-lto)
add_dependencies(huepeek huepeek_archive)
target_include_directories(huepeek PRIVATE ${CMAKE_SOURCE_DIR}/res ${CMAKE_BINARY_DIR}/generated)
target_compile_options(huepeek PRIVATE ${HUEPEEK_WARNINGS} ${HUEPEEK_EXE_FLAGS})
target_link_libraries(huepeek PRIVATE huepeek_win)
# Without the start-up code nothing applies the fix-ups of data imported without a declaration:
# --disable-auto-import makes such an import a link error. ld 2.40 crashes (signal 11) when a C
# library function is first asked for by the optimised code alone, as the compiler's own calls are:
# those are named here (-u) to be taken from msvcrt before; name any that a change adds. The program
# is optimised as one unit (-flto-partition=one): split in two, each global that the other half uses
# is reached through a pointer of its own in .rdata, and the halves inline less (1 KB).
target_link_options(huepeek PRIVATE -static -s -Wl,--gc-sections -flto -flto-partition=one -nostartfiles -Wl,-e,HuepeekStart
                    -Wl,--disable-auto-import -Wl,-u,memchr,-u,memcmp,-u,strlen,-u,realloc)

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
# -fno-lto: the test programs link the library's machine code; optimising the whole of each at
# link time would cost minutes and runs into an internal error of mingw's GCC 12.
set(HUEPEEK_TEST_LINK -static -static-libgcc -static-libstdc++ -fno-lto)

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
# Each test file would otherwise parse GoogleTest and windows.h anew: two thirds of its compile time.
target_precompile_headers(huepeek_unit_tests PRIVATE <windows.h> <gtest/gtest.h>)

# Which Windows tests may run side by side (scripts/test.sh runs ctest with -j). Under one Wine server
# and one X display the tests share the screen, the pointer and the keyboard focus, the clipboard, the
# notification area and the single-instance mutex (lock "desktop"), the program's registry keys (lock
# "settings") and its files in the temporary folder (lock "temp"). A test holds the locks of what it
# uses; a Win32 unit test holds all three unless its file or suite is named here:
# - every test of a */core folder (platform-neutral: no windows, no registry) and the Win32 tests of
#   HUEPEEK_FREE_UNIT_TESTS, which make no visible window and touch nothing shared, hold none;
# - the suites of HUEPEEK_SETTINGS_UNIT_SUITES use the registry and temporary files but no window.
# A suite named in a free file and in another file would be taken for free: the configure step refuses it.
file(GLOB_RECURSE HUEPEEK_FREE_UNIT_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/unit/*/core/*_test.cpp)
foreach(file base/code_page_text base/heap_buffer base/program_path base/scoped_gdi picker/hue_rounding support/screenshot
             theme/dark_mode)
    list(APPEND HUEPEEK_FREE_UNIT_TESTS ${CMAKE_SOURCE_DIR}/tests/unit/${file}_test.cpp)
endforeach()
set(HUEPEEK_SETTINGS_UNIT_SUITES SettingsStoreTest)
set(HUEPEEK_ALL_LOCKS "desktop;settings;temp")

# The gtest suites defined in the files, as filter patterns (a parameterised suite runs as PREFIX/Suite).
function(huepeek_suite_patterns out)
    set(patterns)
    foreach(file ${ARGN})
        file(STRINGS ${file} lines REGEX "^(TEST|TEST_F|TEST_P)\\(")
        foreach(line ${lines})
            string(REGEX REPLACE "^TEST(_F|_P)?\\(([A-Za-z0-9_]+),.*" "\\2" suite "${line}")
            list(APPEND patterns "${suite}.*" "*/${suite}.*")
        endforeach()
    endforeach()
    list(REMOVE_DUPLICATES patterns)
    set(${out} ${patterns} PARENT_SCOPE)
endfunction()
set(locked_unit_tests ${HUEPEEK_WIN_TESTS})
list(REMOVE_ITEM locked_unit_tests ${HUEPEEK_FREE_UNIT_TESTS})
huepeek_suite_patterns(free_patterns ${HUEPEEK_FREE_UNIT_TESTS})
huepeek_suite_patterns(locked_patterns ${locked_unit_tests})
foreach(pattern ${free_patterns})
    if(pattern IN_LIST locked_patterns)
        message(FATAL_ERROR "The test suite ${pattern} is defined in a free unit test file and in another")
    endif()
endforeach()
set(settings_patterns)
foreach(suite ${HUEPEEK_SETTINGS_UNIT_SUITES})
    list(APPEND settings_patterns "${suite}.*")
endforeach()
string(JOIN ":" free_filter ${free_patterns})
string(JOIN ":" settings_filter ${settings_patterns})
# The discovered tests get their locks from cmake/test_locks.cmake, which ctest runs after discovery
# (a list of locks does not pass through gtest_discover_tests' PROPERTIES).
gtest_discover_tests(huepeek_unit_tests TEST_PREFIX "win." DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                     TEST_FILTER "${free_filter}" PROPERTIES TIMEOUT 120)
gtest_discover_tests(huepeek_unit_tests TEST_PREFIX "win." DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                     TEST_FILTER "${settings_filter}" TEST_LIST huepeek_settings_unit_tests PROPERTIES TIMEOUT 120)
gtest_discover_tests(huepeek_unit_tests TEST_PREFIX "win." DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                     TEST_FILTER "-${free_filter}:${settings_filter}" TEST_LIST huepeek_locked_unit_tests
                     PROPERTIES TIMEOUT 120)

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
target_precompile_headers(huepeek_e2e_tests PRIVATE <windows.h> <gtest/gtest.h>)
# In the zone UTC, whatever the machine's: the maker's site variant follows the time zone.
gtest_discover_tests(huepeek_e2e_tests TEST_PREFIX "e2e." DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                     TEST_LIST huepeek_e2e_tests PROPERTIES TIMEOUT 120 ENVIRONMENT TZ=UTC)
set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${CMAKE_SOURCE_DIR}/cmake/test_locks.cmake)

# The colour dialog under a Japanese and an Arabic locale (Wine takes the locale, and with it the
# dialog font and the mirroring of a right-to-left language, from LC_ALL when a process starts), in
# those languages: at 100 % and 200 %, and, under the right-to-left one, the direction of its values.
foreach(variant "ja_JP|4|FitsTheWorkAreaAtEveryScale" "ar_SA|11|FitsTheWorkAreaAtEveryScale:PaletteTest.ValuesReadLeftToRightInAMirroredDialog:PaletteTest.MirroredDialogOnANarrowScreenShowsTheScrollBar")
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
        ENVIRONMENT "TZ=${zone};HUEPEEK_EXPECTED_SITE=https://www.vantorel.${domain}" TIMEOUT 120 RESOURCE_LOCK "${HUEPEEK_ALL_LOCKS}"
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

# The automatic language for real user languages: the same test under other locales. A Wine process
# that starts under another code page than the last rewrites the prefix's font settings (links and
# substitutes) for its own, under every process that runs at that moment: tests under a locale of
# their own run alone (RUN_SERIAL), nothing beside them.
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

# Tests at another display scale. at_dpi.exe sets the user's LogPixels while a test program runs
# (Wine reads it when each process starts, so the test and every program it starts run at that DPI)
# and puts it back afterwards. huepeek_add_test_at_dpi(NAME DPI TARGET FILTER [ENVIRONMENT VAR=VALUE...])
# runs the tests of TARGET that FILTER names that way, as one ctest test.
add_executable(at_dpi ${CMAKE_SOURCE_DIR}/tests/support/at_dpi.cpp)
target_compile_definitions(at_dpi PRIVATE ${HUEPEEK_DEFINES})
target_compile_options(at_dpi PRIVATE ${HUEPEEK_WARNINGS} -Os)
target_link_options(at_dpi PRIVATE ${HUEPEEK_TEST_LINK} -municode)
add_dependencies(huepeek_fixtures at_dpi)
function(huepeek_add_test_at_dpi name dpi target filter)
    cmake_parse_arguments(PARSE_ARGV 4 arg "" "" "ENVIRONMENT")
    # Ended by at_dpi after 150 s, before ctest would end at_dpi itself and leave the scale set.
    add_test(NAME ${name} COMMAND at_dpi ${dpi} 150 Z:$<TARGET_FILE:${target}> --gtest_filter=${filter})
    set_tests_properties(${name} PROPERTIES TIMEOUT 180 RUN_SERIAL TRUE ENVIRONMENT "${arg_ENVIRONMENT}")
endfunction()

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
    # And at 150 %, where fonts are hinted on another grid and texts do not grow in step with the
    # dialog units.
    huepeek_add_test_at_dpi(win.MainDialogTextFitTest.TextsOfOneLocaleFit.${locale}.144dpi 144
        huepeek_unit_tests MainDialogTextFitTest.TextsOfOneLocaleFit
        ENVIRONMENT LC_ALL=${locale} HUEPEEK_TEXT_FIT_LOCALE=${locale})
endforeach()

# And at 200 % in a Latin, a CJK and a right-to-left language, for their screenshots (only the
# languages that have one).
foreach(locale en_US.UTF-8 ja_JP.UTF-8 ar_SA.UTF-8)
    huepeek_add_test_at_dpi(win.MainDialogTextFitTest.TextsOfOneLocaleFit.${locale}.192dpi 192
        huepeek_unit_tests MainDialogTextFitTest.TextsOfOneLocaleFit
        ENVIRONMENT LC_ALL=${locale} HUEPEEK_TEXT_FIT_LOCALE=${locale} HUEPEEK_TEXT_FIT_SCREENSHOTS_ONLY=1)
endforeach()

# The program at 150 % and 200 %: the main dialog laid out inside the screen, and the picker sized
# by the monitor's scale and still copying the right pixel.
foreach(dpi 144 192)
    huepeek_add_test_at_dpi(e2e.DisplayScaleTest.${dpi}dpi ${dpi} huepeek_e2e_tests
        DisplayScaleTest.DISABLED_* ENVIRONMENT GTEST_ALSO_RUN_DISABLED_TESTS=1)
    huepeek_add_test_at_dpi(e2e.MagnifierTest.AtTheDisplayScale.${dpi}dpi ${dpi} huepeek_e2e_tests
        MagnifierTest.DISABLED_AtTheDisplayScale* ENVIRONMENT GTEST_ALSO_RUN_DISABLED_TESTS=1)
endforeach()

# Two monitors, a 1024 x 768 one left of the 1280 x 800 primary, in an environment of their own
# (scripts/two_monitors.sh: Xorg with the dummy driver, a prefix and a wineserver of its own),
# started once round the tests that need it. They share nothing with the main environment, but the
# end-to-end one takes the desktop's lock all the same: two pickers redrawing at once on the two
# cores were once too slow for its waits. In one test process: the picker at every monitor's edges, over the
# boundary by the arrow keys, and the program's windows on the primary; and the minimize animation
# ending at the primary's notification area.
set(two_monitors ${CMAKE_SOURCE_DIR}/scripts/two_monitors.sh)
set(two_monitors_dir ${CMAKE_BINARY_DIR}/wine-two)
add_test(NAME two_monitors.start COMMAND bash ${two_monitors} start ${two_monitors_dir} ${CMAKE_BINARY_DIR}/wine
         $<TARGET_FILE:wine_keepalive>)
add_test(NAME two_monitors.stop COMMAND bash ${two_monitors} stop ${two_monitors_dir})
set_tests_properties(two_monitors.start PROPERTIES FIXTURES_SETUP two_monitors TIMEOUT 90)
set_tests_properties(two_monitors.stop PROPERTIES FIXTURES_CLEANUP two_monitors TIMEOUT 30)
add_test(NAME e2e.TwoMonitors COMMAND bash ${two_monitors} run ${two_monitors_dir} Z:$<TARGET_FILE:huepeek_e2e_tests>
         --gtest_filter=TwoMonitorsTest.DISABLED_*:MagnifierTest.AtTheCornersAndEdges*)
add_test(NAME win.TwoMonitors.TrayAnimation COMMAND bash ${two_monitors} run ${two_monitors_dir}
         Z:$<TARGET_FILE:huepeek_unit_tests>
         --gtest_filter=TrayAnimationTest.FromTheWindowToTheNotificationArea)
set_tests_properties(e2e.TwoMonitors win.TwoMonitors.TrayAnimation PROPERTIES FIXTURES_REQUIRED two_monitors
    TIMEOUT 120 RESOURCE_LOCK two_monitors ENVIRONMENT "TZ=UTC;GTEST_ALSO_RUN_DISABLED_TESTS=1")
set_tests_properties(e2e.TwoMonitors PROPERTIES RESOURCE_LOCK "two_monitors;desktop")

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
    # A floor with a resource script of its name carries it (a manifest).
    if(EXISTS ${CMAKE_SOURCE_DIR}/tests/bench/floors/${floor}.rc)
        target_sources(${floor} PRIVATE ${CMAKE_SOURCE_DIR}/tests/bench/floors/${floor}.rc)
    endif()
    target_compile_definitions(${floor} PRIVATE ${HUEPEEK_DEFINES})
    target_compile_options(${floor} PRIVATE ${HUEPEEK_WARNINGS} ${HUEPEEK_EXE_FLAGS})
    target_link_options(${floor} PRIVATE -municode -static -s -Wl,--gc-sections -flto)
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
