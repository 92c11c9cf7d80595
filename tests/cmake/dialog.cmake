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
