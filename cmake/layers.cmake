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

# quorvel_write_layer_manifest(<file> <targets...>): for the include check (tests/cmake/
# includes_run_one_way.cmake), each library's folder and everything it may include: itself and what
# it depends on, directly or not.
function(_quorvel_closure node out)
  get_property(known GLOBAL PROPERTY _QUORVEL_CLOSURE_${node} SET)
  if(known)
    get_property(closure GLOBAL PROPERTY _QUORVEL_CLOSURE_${node})
  else()
    set(closure ${node})
    get_property(dependencies GLOBAL PROPERTY QUORVEL_DEPS_${node})
    foreach(dependency IN LISTS dependencies)
      _quorvel_closure(${dependency} below)
      list(APPEND closure ${below})
    endforeach()
    list(REMOVE_DUPLICATES closure)
    set_property(GLOBAL PROPERTY _QUORVEL_CLOSURE_${node} ${closure})
  endif()
  set(${out} ${closure} PARENT_SCOPE)
endfunction()

function(quorvel_write_layer_manifest file)
  set(text "set(QUORVEL_LIBRARIES ${ARGN})\n")
  foreach(target IN LISTS ARGN)
    get_property(folder GLOBAL PROPERTY QUORVEL_DIR_${target})
    _quorvel_closure(${target} closure)
    string(APPEND text "set(QUORVEL_DIR_${target} ${folder})\nset(QUORVEL_MAY_INCLUDE_${target} ${closure})\n")
  endforeach()
  file(WRITE ${file} "${text}")
endfunction()

# The wings stand on each other in one order: platform, then analytics, then app, then shell. A library
# may depend on its own wing and those below it, never on a wing above.
#
# quorvel_check_wings(<prefix> <nodes...>): each node's folder is in the global property
# QUORVEL_DIR_<node> and its direct dependencies in <prefix><node>.
set(QUORVEL_WINGS platform analytics app shell)

function(_quorvel_wing node out)
  get_property(folder GLOBAL PROPERTY QUORVEL_DIR_${node})
  string(REGEX REPLACE "/.*" "" wing "${folder}")
  list(FIND QUORVEL_WINGS "${wing}" rank)
  set(${out} ${rank} PARENT_SCOPE)
endfunction()

function(quorvel_check_wings prefix)
  set(wrong "")
  foreach(node IN LISTS ARGN)
    _quorvel_wing(${node} rank)
    get_property(dependencies GLOBAL PROPERTY ${prefix}${node})
    foreach(dependency IN LISTS dependencies)
      _quorvel_wing(${dependency} dependency_rank)
      if(rank GREATER_EQUAL 0 AND dependency_rank GREATER rank)
        get_property(folder GLOBAL PROPERTY QUORVEL_DIR_${node})
        get_property(dependency_folder GLOBAL PROPERTY QUORVEL_DIR_${dependency})
        list(APPEND wrong "${folder} depends on ${dependency_folder}")
      endif()
    endforeach()
  endforeach()
  if(wrong)
    list(JOIN wrong "\n  " text)
    message(FATAL_ERROR "Libraries that depend on a wing above their own (platform, analytics, app, shell):\n  ${text}")
  endif()
endfunction()
