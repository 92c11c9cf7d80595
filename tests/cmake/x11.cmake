# The X11 saver: its pure rules natively, and the program itself under a private Xvfb (and, for
# several monitors, under Xorg with the dummy driver).
find_package(X11)
if(TARGET glimra_x11_logic)
  glimra_test(x11_options_test SOURCES x11_options_test.cpp LINKS glimra_x11_logic NATIVE_ONLY)
  glimra_test(x11_layout_test SOURCES x11_layout_test.cpp LINKS glimra_x11_logic NATIVE_ONLY)
endif()
if(TARGET glimra-x11 AND TARGET glimra-render)
  find_package(GIF REQUIRED)
  glimra_test(x11_display_test
    SOURCES x11_display_test.cpp x11_monitors_test.cpp x11_test_support.cpp
      display_test_support.cpp
    LINKS X11::X11 GIF::GIF NATIVE_ONLY LOCK x11_display)
  # The counter of shown pictures (a measuring aid) tells the picture tests which path drew them:
  # the server's scaling or the saver's own.
  target_compile_definitions(x11_display_test PRIVATE GLIMRA_X11="$<TARGET_FILE:glimra-x11>"
    GLIMRA_RENDER="$<TARGET_FILE:glimra-render>"
    GLIMRA_PUTIMAGE_COUNTER="$<TARGET_FILE:glimra_putimage_counter>"
    GLIMRA_XVFB_SH="${PROJECT_SOURCE_DIR}/tools/lib/xvfb.sh"
    GLIMRA_XORG_SH="${PROJECT_SOURCE_DIR}/tools/lib/xorg.sh")
  add_dependencies(x11_display_test glimra-x11 glimra-render glimra_putimage_counter)
endif()
