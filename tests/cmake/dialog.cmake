# The configuration dialog: scenario tests on the Win32 fake (Linux).
glimra_test(config_dialog_test SOURCES config_dialog_test.cpp settings_file.cpp
  LINKS glimra_config_dialog glimra_fake_win32 NATIVE_ONLY)
