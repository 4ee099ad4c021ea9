# Run by ctest after the Windows tests have been discovered (cmake/windows.cmake says which tests
# share what): the locks of the discovered unit and end-to-end tests.
foreach(test IN LISTS huepeek_locked_unit_tests huepeek_e2e_tests)
    set_tests_properties("${test}" PROPERTIES RESOURCE_LOCK "desktop;settings;temp")
    # A thousand repaints of a window: 20 to 50 s alone, more beside other tests on a loaded machine.
    if(test MATCHES "Repainting.*MakesNoNewGdiObjects$")
        set_tests_properties("${test}" PROPERTIES TIMEOUT 300)
    endif()
    # The language menu's end-to-end tests read the menu off the screen and wait for the shell's text
    # editor; beside other tests they twice saw 16 of the menu's 37 lines (alone never): they run alone.
    if(test MATCHES "^e2e\\.LanguageMenuTest\\.")
        set_tests_properties("${test}" PROPERTIES RUN_SERIAL TRUE)
    endif()
endforeach()
foreach(test IN LISTS huepeek_settings_unit_tests)
    set_tests_properties("${test}" PROPERTIES RESOURCE_LOCK "settings;temp")
endforeach()
