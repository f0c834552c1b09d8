cmake_minimum_required(VERSION 3.25)
# Every include between libraries follows their declared dependencies: a library's sources, in its
# folder or any sub-folder of it, include only their own library's headers and those of libraries below
# it. Every form of include is read: quoted or angled, indented, with blanks or tabs after the hash; an
# angled path counts when it starts with one of the project's folders. Run with -DMANIFEST=<file>
# -DSOURCE=<project root>; fails naming each include that runs the wrong way.
include(${MANIFEST})

set(folders "")
foreach(target IN LISTS QUORVEL_LIBRARIES)
  list(APPEND folders ${QUORVEL_DIR_${target}})
  set(owner_${QUORVEL_DIR_${target}} ${target})
endforeach()
file(GLOB top_folders LIST_DIRECTORIES true RELATIVE ${SOURCE} ${SOURCE}/*)

# The library whose folder holds the header `path`, looking up from the header's own folder; empty
# outside every library.
function(owner_of path out)
  get_filename_component(folder ${path} DIRECTORY)
  while(folder AND NOT folder IN_LIST folders)
    get_filename_component(folder ${folder} DIRECTORY)
  endwhile()
  set(${out} "${owner_${folder}}" PARENT_SCOPE)
endfunction()

set(directive "^[ \t]*#[ \t]*include[ \t]*[<\"]([^>\"]+)[>\"]")
set(wrong "")
foreach(target IN LISTS QUORVEL_LIBRARIES)
  file(GLOB_RECURSE sources RELATIVE ${SOURCE}
    ${SOURCE}/${QUORVEL_DIR_${target}}/*.h ${SOURCE}/${QUORVEL_DIR_${target}}/*.cpp)
  foreach(source IN LISTS sources)
    file(STRINGS ${SOURCE}/${source} includes REGEX "${directive}")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "${directive}.*" "\\1" header "${line}")
      string(REGEX REPLACE "/.*" "" top "${header}")
      if(NOT top IN_LIST top_folders)
        continue()
      endif()
      owner_of(${header} owner)
      if(owner AND NOT owner IN_LIST QUORVEL_MAY_INCLUDE_${target})
        list(APPEND wrong "${source} includes ${header}")
      endif()
    endforeach()
  endforeach()
endforeach()

if(wrong)
  list(JOIN wrong "\n  " text)
  message(FATAL_ERROR "Includes that run against the declared dependencies:\n  ${text}")
endif()
