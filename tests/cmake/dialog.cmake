# The configuration dialog: scenario tests on the Win32 fake (Linux).
glimra_test(config_dialog_test SOURCES config_dialog_test.cpp settings_file.cpp
  LINKS glimra_config_dialog glimra_fake_win32 NATIVE_ONLY)
if(TARGET glimra_about_picture)
  glimra_test(about_picture_test SOURCES about_picture_test.cpp LINKS glimra_about_picture
    NATIVE_ONLY)
  target_compile_definitions(about_picture_test PRIVATE GLIMRA_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
endif()

# The compiled template and picture, read back from a Windows program's own resources.
if(WIN32)
  glimra_test(config_dialog_template_test
    SOURCES config_dialog_template_test.cpp config_dialog_template.rc LINKS glimra_config_dialog)
  # The picture is named without a folder in the template.
  target_include_directories(config_dialog_template_test PRIVATE ${PROJECT_SOURCE_DIR}/resources)
endif()

# End-to-end runs of the dialog in glimra.scr under Wine and Xvfb (tests/e2e/dialog/dialog_e2e.sh,
# in a folder apart from the scripts that take no arguments), each scenario a ctest test. They
# share one Wine prefix with the Japanese font set up, so they run one at a time.
if(WIN32)
  add_executable(dialog_probe e2e/dialog/dialog_probe.cpp)
  target_compile_options(dialog_probe PRIVATE ${GLIMRA_WARNINGS})
  foreach(scenario IN ITEMS open-c-ok open-empty-esc stored-out-of-range no-browser other-locale
    english)
    add_test(NAME dialog_e2e_${scenario}
      COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/e2e/dialog/dialog_e2e.sh ${scenario}
        $<TARGET_FILE:glimra> $<TARGET_FILE:dialog_probe>
        ${CMAKE_BINARY_DIR}/e2e-artifacts ${CMAKE_BINARY_DIR}/wineprefix-dialog)
    set_tests_properties(dialog_e2e_${scenario} PROPERTIES RESOURCE_LOCK dialog_e2e TIMEOUT 180)
  endforeach()
endif()
