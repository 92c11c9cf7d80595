# The X11 saver: its pure rules natively, and the program itself under a private Xvfb.
find_package(X11)
if(TARGET glimra_x11_logic)
  glimra_test(x11_options_test SOURCES x11_options_test.cpp LINKS glimra_x11_logic NATIVE_ONLY)
  glimra_test(x11_layout_test SOURCES x11_layout_test.cpp LINKS glimra_x11_logic NATIVE_ONLY)
endif()
if(TARGET glimra-x11 AND TARGET glimra-render)
  find_package(GIF REQUIRED)
  # The counter of shown pictures tells the picture tests which path drew them (the server's
  # scaling or the saver's own); it is a measuring aid, built here too when the benchmarks are not.
  if(NOT TARGET glimra_putimage_counter)
    add_subdirectory(${PROJECT_SOURCE_DIR}/benchmarks/x11-measure
                     ${PROJECT_BINARY_DIR}/benchmarks/x11-measure)
  endif()
  glimra_test(x11_display_test SOURCES x11_display_test.cpp LINKS X11::X11 GIF::GIF NATIVE_ONLY
    LOCK x11_display)
  target_compile_definitions(x11_display_test PRIVATE GLIMRA_X11="$<TARGET_FILE:glimra-x11>"
    GLIMRA_RENDER="$<TARGET_FILE:glimra-render>"
    GLIMRA_PUTIMAGE_COUNTER="$<TARGET_FILE:glimra_putimage_counter>")
  add_dependencies(x11_display_test glimra-x11 glimra-render glimra_putimage_counter)
endif()
