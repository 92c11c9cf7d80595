# The test fake of the Win32 subset (Linux only): its areas add their sources to this library.
if(NOT WIN32)
  file(GLOB fake_win32_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/fake_win32/*.cpp)
  add_library(glimra_fake_win32 STATIC ${fake_win32_sources})
  target_include_directories(glimra_fake_win32 PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
  target_compile_options(glimra_fake_win32 PRIVATE ${GLIMRA_WARNINGS})
  target_link_libraries(glimra_fake_win32 PUBLIC glimra_win32_decls)
  # LoadStringW answers from the string tables of the real resource script.
  target_compile_definitions(glimra_fake_win32 PRIVATE GLIMRA_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
endif()
