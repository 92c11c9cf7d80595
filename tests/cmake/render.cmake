# glimra-render run as a program: argument errors, and its pictures decoded and compared with
# the engine's frames (Linux only, like the renderer).
if(TARGET glimra-render)
  find_package(PNG REQUIRED)
  find_package(GIF REQUIRED)
  glimra_test(render_test SOURCES render_test.cpp
    LINKS glimra_render_lib PNG::PNG GIF::GIF NATIVE_ONLY)
  target_compile_definitions(render_test PRIVATE GLIMRA_RENDER="$<TARGET_FILE:glimra-render>")
  add_dependencies(render_test glimra-render)
endif()
