# Run by ctest after the Windows tests have been discovered (cmake/windows.cmake says which tests
# share what): the locks of the discovered unit and end-to-end tests.
foreach(test IN LISTS huepeek_locked_unit_tests huepeek_e2e_tests)
    set_tests_properties("${test}" PROPERTIES RESOURCE_LOCK "desktop;settings;temp")
    # A hundred repaints of a window: a few seconds alone, much more beside other tests on a loaded machine.
    if(test MATCHES "Repainting.*MakesNoNewGdiObjects$")
        set_tests_properties("${test}" PROPERTIES TIMEOUT 120)
    endif()
endforeach()
foreach(test IN LISTS huepeek_settings_unit_tests)
    set_tests_properties("${test}" PROPERTIES RESOURCE_LOCK "settings;temp")
endforeach()
