# corv_add_library(NAME SOURCES file... [DEPENDS library...])
# A static library of one folder: its sources listed by hand, the project root on the include
# path (every include names its folder, "core/rom_image.h"), and the libraries it builds on.
function(corv_add_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  if(NOT ARG_SOURCES)
    message(FATAL_ERROR "corv_add_library(${name}): no SOURCES")
  endif()
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  if(ARG_DEPENDS)
    target_link_libraries(${name} PUBLIC ${ARG_DEPENDS})
  endif()
endfunction()
