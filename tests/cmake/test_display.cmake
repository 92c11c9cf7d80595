# The test display with real modes and several monitors (tools/lib/xorg.sh), checked natively.
if(NOT CMAKE_CROSSCOMPILING)
  add_test(NAME xorg_display COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/xorg_display_test.sh)
  set_tests_properties(xorg_display PROPERTIES TIMEOUT 60)
endif()
