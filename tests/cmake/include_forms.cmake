cmake_minimum_required(VERSION 3.25)
# A made-up tree whose platform library includes an app header in every form a compiler accepts: the
# include check must name each of them, and pass the system and own-folder includes beside them.
# Run with -DSOURCE=<project root> -DWORK=<a folder for the made-up tree>.
set(tree ${WORK}/include_forms_tree)
file(REMOVE_RECURSE ${tree})
file(WRITE ${tree}/app/widget/widget.h "#pragma once\n")
file(WRITE ${tree}/platform/device/device.cpp
  "#include \"platform/device/device.h\"\n#include <vector>\n#include \"app/widget/widget.h\"\n"
  "#include <app/widget/widget.h>\n  #  include \"app/widget/widget.h\"\n#include\t<app/widget/widget.h>\n")
file(WRITE ${tree}/platform/device/device.h "#pragma once\n")
file(WRITE ${tree}/manifest.cmake
  "set(QUORVEL_LIBRARIES device widget)\nset(QUORVEL_DIR_device platform/device)\n"
  "set(QUORVEL_MAY_INCLUDE_device device)\nset(QUORVEL_DIR_widget app/widget)\n"
  "set(QUORVEL_MAY_INCLUDE_widget widget)\n")
execute_process(COMMAND ${CMAKE_COMMAND} -DMANIFEST=${tree}/manifest.cmake -DSOURCE=${tree}
                        -P ${SOURCE}/cmake/includes_run_one_way.cmake
                RESULT_VARIABLE status ERROR_VARIABLE report)
string(REGEX MATCHALL "platform/device/device.cpp includes app/widget/widget.h" named "${report}")
list(LENGTH named count)
if(status EQUAL 0 OR NOT count EQUAL 4 OR report MATCHES "vector|device.h")
  message(FATAL_ERROR "The include check named ${count} of the 4 wrong includes:\n${report}")
endif()
