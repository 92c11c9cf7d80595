# The saver host and the GDI back-end on the recording fake (Linux only), and the Wine end-to-end
# runs of glimra.scr (64-bit Windows build only: this is where Wine can run the program here).
if(NOT WIN32)
  set(glimra_host_scenario_links
    "$<LINK_GROUP:RESCAN,glimra_host,glimra_display,glimra_config_dialog,glimra_settings,glimra_profile,glimra_fake_win32>")
  glimra_test(host_scenario_test
    SOURCES host_scenario_test.cpp host_scenario.cpp settings_file.cpp
    LINKS ${glimra_host_scenario_links} glimra_engine glimra_host_logic
    NATIVE_ONLY LOCK settings_file)
  glimra_test(cover_scenario_test
    SOURCES cover_scenario_test.cpp host_scenario.cpp settings_file.cpp
    LINKS ${glimra_host_scenario_links} glimra_engine glimra_host_logic
    NATIVE_ONLY LOCK settings_file)
  glimra_test(today_windows_scenario_test
    SOURCES today_windows_scenario_test.cpp host_scenario.cpp settings_file.cpp
    LINKS ${glimra_host_scenario_links} glimra_engine glimra_host_logic
    NATIVE_ONLY LOCK settings_file)
  glimra_test(ddraw_scenario_test
    SOURCES ddraw_scenario_test.cpp host_scenario.cpp settings_file.cpp
    LINKS ${glimra_host_scenario_links} glimra_engine glimra_host_logic
    NATIVE_ONLY LOCK settings_file)
endif()

# The frame finder of the end-to-end tests (a native tool on the renderer's start).
if(TARGET glimra_render_lib)
  add_executable(glimra-frame-finder e2e/frame_finder.cpp)
  target_compile_options(glimra-frame-finder PRIVATE ${GLIMRA_WARNINGS})
  target_link_libraries(glimra-frame-finder PRIVATE glimra_render_lib)
endif()

# The Wine end-to-end tests: bash scripts with their own Xvfb and Wine prefix under the build
# folder, run one at a time (they share the prefix). They need the native build's frame finder.
if(WIN32)
  add_executable(glimra-e2e-host e2e/e2e_host.cpp)
  target_compile_options(glimra-e2e-host PRIVATE ${GLIMRA_WARNINGS})
  target_link_libraries(glimra-e2e-host PRIVATE user32 gdi32)
endif()
if(WIN32 AND CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(GLIMRA_NATIVE_BUILD_DIR ${PROJECT_SOURCE_DIR}/build/native CACHE PATH
    "The native build whose frame finder and renderer the end-to-end tests use")
  set(glimra_e2e_scripts gdi_picture gdi_fill gdi_input single_instance preview window_placement
    command_tails program_files ddraw_picture monitors ddraw_pace)
  foreach(name IN LISTS glimra_e2e_scripts)
    add_test(NAME e2e_${name} COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/e2e/${name}.sh)
    set_tests_properties(e2e_${name} PROPERTIES
      ENVIRONMENT "GLIMRA_WIN_BUILD=${CMAKE_BINARY_DIR};GLIMRA_NATIVE_BUILD=${GLIMRA_NATIVE_BUILD_DIR}"
      RESOURCE_LOCK wine_e2e TIMEOUT 300)
  endforeach()
  add_custom_target(glimra_e2e_programs ALL DEPENDS glimra glimra-e2e-host)
endif()

# Every resource the fake hands out is released exactly once, on every path (Linux only).
if(NOT WIN32)
  glimra_test(resource_ledger_test
    SOURCES resource_ledger_test.cpp host_scenario.cpp settings_file.cpp
    LINKS ${glimra_host_scenario_links} glimra_engine glimra_host_logic
    NATIVE_ONLY LOCK settings_file)
endif()

# glimra.scr carries no application manifest (Windows builds; read with the toolchain's objdump).
if(WIN32 AND CMAKE_OBJDUMP)
  add_test(NAME no_manifest COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/no_manifest_test.sh
    ${CMAKE_OBJDUMP} $<TARGET_FILE:glimra>)
endif()
