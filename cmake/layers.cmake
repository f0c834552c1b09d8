# The libraries' declared dependencies must run one way. Static libraries would link a cycle
# silently, so the configure step refuses one, naming the libraries in it.
#
# quorvel_check_no_cycles(<prefix> <nodes...>): each node's direct dependencies are in the global
# property <prefix><node>; names without such a property (system packages) have none.

function(_quorvel_visit node prefix)
  get_property(state GLOBAL PROPERTY _QUORVEL_VISIT_${node})
  if(state STREQUAL "done")
    return()
  endif()
  get_property(path GLOBAL PROPERTY _QUORVEL_VISIT_PATH)
  if(state STREQUAL "open")
    list(FIND path ${node} start)
    list(SUBLIST path ${start} -1 loop)
    list(APPEND loop ${node})
    list(JOIN loop " -> " text)
    message(FATAL_ERROR "The declared library dependencies form a cycle: ${text}")
  endif()
  set_property(GLOBAL PROPERTY _QUORVEL_VISIT_${node} open)
  set_property(GLOBAL APPEND PROPERTY _QUORVEL_VISIT_PATH ${node})
  get_property(dependencies GLOBAL PROPERTY ${prefix}${node})
  foreach(dependency IN LISTS dependencies)
    _quorvel_visit(${dependency} ${prefix})
  endforeach()
  get_property(path GLOBAL PROPERTY _QUORVEL_VISIT_PATH)
  list(POP_BACK path)
  set_property(GLOBAL PROPERTY _QUORVEL_VISIT_PATH ${path})
  set_property(GLOBAL PROPERTY _QUORVEL_VISIT_${node} done)
endfunction()

function(quorvel_check_no_cycles prefix)
  foreach(node IN LISTS ARGN)
    _quorvel_visit(${node} ${prefix})
  endforeach()
endfunction()
