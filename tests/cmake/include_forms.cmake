cmake_minimum_required(VERSION 3.25)
# A made-up tree whose platform library includes an app header in every form a compiler accepts, from
# its own folder and from a sub-folder, and also a header from a sub-folder of the app library: the
# include check must name each of them, and pass the system and own-library includes beside them.
# Run with -DSOURCE=<project root> -DWORK=<a folder for the made-up tree>.
set(tree ${WORK}/include_forms_tree)
file(REMOVE_RECURSE ${tree})
file(WRITE ${tree}/app/widget/widget.h "#pragma once\n")
file(WRITE ${tree}/app/widget/parts/knob.h "#pragma once\n")
file(WRITE ${tree}/platform/device/device.cpp
  "#include \"platform/device/device.h\"\n#include <vector>\n#include \"app/widget/widget.h\"\n"
  "#include <app/widget/widget.h>\n  #  include \"app/widget/widget.h\"\n#include\t<app/widget/widget.h>\n")
file(WRITE ${tree}/platform/device/device.h "#pragma once\n")
file(WRITE ${tree}/platform/device/parts/part.h "#pragma once\n")
file(WRITE ${tree}/platform/device/parts/part.cpp
  "#include \"platform/device/parts/part.h\"\n#include \"platform/device/device.h\"\n"
  "#include \"app/widget/widget.h\"\n#include <app/widget/parts/knob.h>\n")
file(WRITE ${tree}/manifest.cmake
  "set(QUORVEL_LIBRARIES device widget)\nset(QUORVEL_DIR_device platform/device)\n"
  "set(QUORVEL_MAY_INCLUDE_device device)\nset(QUORVEL_DIR_widget app/widget)\n"
  "set(QUORVEL_MAY_INCLUDE_widget widget)\n")
execute_process(COMMAND ${CMAKE_COMMAND} -DMANIFEST=${tree}/manifest.cmake -DSOURCE=${tree}
                        -P ${SOURCE}/cmake/includes_run_one_way.cmake
                RESULT_VARIABLE status ERROR_VARIABLE report)
string(REGEX MATCHALL "platform/device/device\\.cpp includes app/widget/widget\\.h" named "${report}")
list(LENGTH named count)
string(REGEX MATCHALL "platform/device/parts/part\\.cpp includes app/widget/(widget|parts/knob)\\.h" deeper
       "${report}")
list(LENGTH deeper deeper_count)
if(status EQUAL 0 OR NOT count EQUAL 4 OR NOT deeper_count EQUAL 2 OR report MATCHES "vector|device\\.h|part\\.h")
  message(FATAL_ERROR "The include check named ${count} of the 4 wrong includes from the library's folder and "
                      "${deeper_count} of the 2 from its sub-folder:\n${report}")
endif()
