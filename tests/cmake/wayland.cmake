# The Wayland saver run as a program on a private headless sway (skipped where sway cannot start).
if(TARGET glimra-wayland AND TARGET glimra-render)
  find_package(GIF REQUIRED)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(WAYLAND_SERVER REQUIRED IMPORTED_TARGET wayland-server)
  glimra_test(wayland_display_test SOURCES wayland_display_test.cpp display_test_support.cpp
    small_compositor.cpp LINKS glimra_wayland_session GIF::GIF PkgConfig::WAYLAND_SERVER NATIVE_ONLY)
  target_compile_definitions(wayland_display_test PRIVATE
    GLIMRA_WAYLAND="$<TARGET_FILE:glimra-wayland>" GLIMRA_RENDER="$<TARGET_FILE:glimra-render>"
    GLIMRA_SWAY_SH="${PROJECT_SOURCE_DIR}/tools/lib/sway.sh")
  add_dependencies(wayland_display_test glimra-wayland glimra-render)
endif()
