# The X11 saver: its pure rules natively, and the program itself under a private Xvfb.
if(TARGET glimra_x11_logic)
  glimra_test(x11_options_test SOURCES x11_options_test.cpp LINKS glimra_x11_logic NATIVE_ONLY)
endif()
