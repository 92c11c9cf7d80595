# glimra_library(NAME SOURCES... [LINKS ...]): a static library of our own code, with the project
# root on its include path and the warnings on.
function(glimra_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LINKS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_compile_options(${name} PRIVATE ${GLIMRA_WARNINGS})
  if(ARG_LINKS)
    target_link_libraries(${name} PUBLIC ${ARG_LINKS})
  endif()
endfunction()

# The Win32 interface: the real SDK on Windows, the project's own declarations on Linux.
function(glimra_win32_headers target)
  if(NOT WIN32)
    target_link_libraries(${target} PUBLIC glimra_win32_decls)
  endif()
endfunction()
