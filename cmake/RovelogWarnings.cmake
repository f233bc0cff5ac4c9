# Warnings are errors with g++ and MinGW alike; they are fixed, not silenced.
function(rovelog_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()

# One call declares a subsystem library: sources, its dependencies, warnings on.
function(rovelog_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_link_libraries(${name} PUBLIC ${ARG_DEPENDS})
  rovelog_warnings(${name})
endfunction()
