# The programs we ship. Windows builds strip their debug sections: the
# program is then about a sixth of its size with them. (The tests keep
# theirs.)
# tests/tools checks the headers of every program named here.
function(rovelog_shipped target)
  if(WIN32)
    target_link_options(${target} PRIVATE -s)
  endif()
  set_property(GLOBAL APPEND PROPERTY ROVELOG_SHIPPED_PROGRAMS ${target})
endfunction()
