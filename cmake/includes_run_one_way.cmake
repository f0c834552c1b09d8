cmake_minimum_required(VERSION 3.25)
# Every include between libraries follows their declared dependencies: a library's sources include
# only their own folder's headers and those of libraries below them. Every form of include is read:
# quoted or angled, indented, with blanks or tabs after the hash; an angled path counts when it starts
# with one of the project's folders. Run with -DMANIFEST=<file> -DSOURCE=<project root>; fails naming
# each include that runs the wrong way.
include(${MANIFEST})

set(folders "")
foreach(target IN LISTS QUORVEL_LIBRARIES)
  list(APPEND folders ${QUORVEL_DIR_${target}})
  set(owner_${QUORVEL_DIR_${target}} ${target})
endforeach()
file(GLOB top_folders LIST_DIRECTORIES true RELATIVE ${SOURCE} ${SOURCE}/*)

set(directive "^[ \t]*#[ \t]*include[ \t]*[<\"]([^>\"]+)[>\"]")
set(wrong "")
foreach(target IN LISTS QUORVEL_LIBRARIES)
  file(GLOB sources ${SOURCE}/${QUORVEL_DIR_${target}}/*.h ${SOURCE}/${QUORVEL_DIR_${target}}/*.cpp)
  foreach(source IN LISTS sources)
    file(STRINGS ${source} includes REGEX "${directive}")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "${directive}.*" "\\1" header "${line}")
      string(REGEX REPLACE "/.*" "" top "${header}")
      if(NOT top IN_LIST top_folders)
        continue()
      endif()
      # The library whose folder holds the header, looking up from the header's own folder.
      get_filename_component(folder ${header} DIRECTORY)
      while(folder AND NOT folder IN_LIST folders)
        get_filename_component(folder ${folder} DIRECTORY)
      endwhile()
      if(folder AND NOT "${owner_${folder}}" IN_LIST QUORVEL_MAY_INCLUDE_${target})
        file(RELATIVE_PATH shown ${SOURCE} ${source})
        list(APPEND wrong "${shown} includes ${header}")
      endif()
    endforeach()
  endforeach()
endforeach()

if(wrong)
  list(JOIN wrong "\n  " text)
  message(FATAL_ERROR "Includes that run against the declared dependencies:\n  ${text}")
endif()
