# Hostile settings files through the store and the engine: native and under Wine.
glimra_test(hostile_settings_test SOURCES hostile_settings_test.cpp settings_file.cpp
  LINKS glimra_settings glimra_engine LOCK settings_file)
