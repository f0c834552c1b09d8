# A made-up graph whose only cycle lies below an acyclic part: the check must name exactly it.
include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/layers.cmake)
set_property(GLOBAL PROPERTY DEPS_app screens core)
set_property(GLOBAL PROPERTY DEPS_screens core)
set_property(GLOBAL PROPERTY DEPS_core monitor Threads::Threads)
set_property(GLOBAL PROPERTY DEPS_monitor storage)
set_property(GLOBAL PROPERTY DEPS_storage config)
set_property(GLOBAL PROPERTY DEPS_config monitor)
quorvel_check_no_cycles(DEPS_ app screens core monitor storage config)
