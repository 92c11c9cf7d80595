# Engine, settings store and mode selection: native and under Wine.
glimra_test(ring_tables_test SOURCES ring_tables_test.cpp LINKS glimra_engine)
glimra_test(compose_test SOURCES compose_test.cpp LINKS glimra_engine)
glimra_test(palette_test SOURCES palette_test.cpp LINKS glimra_engine)
glimra_test(saver_mode_test SOURCES saver_mode_test.cpp LINKS glimra_host_logic)
glimra_test(settings_test SOURCES settings_test.cpp settings_file.cpp LINKS glimra_settings
  LOCK settings_file)
glimra_test(private_profile_test SOURCES private_profile_test.cpp settings_file.cpp
  LINKS glimra_settings NATIVE_ONLY)
