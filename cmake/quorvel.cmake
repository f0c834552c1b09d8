# quorvel_library(<target> DEPS <targets...>)
# One static library per source folder; its sources are the .cpp files of the folder and of the
# sub-folders that group them by family.
function(quorvel_library target)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_library(${target} STATIC ${sources})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${target} PUBLIC ${ARG_DEPS})
  if(QUORVEL_FUZZ)
    target_compile_options(${target} PRIVATE -fsanitize=fuzzer-no-link)
  endif()
  set_property(GLOBAL APPEND PROPERTY QUORVEL_LIBRARIES ${target})
  set_property(GLOBAL PROPERTY QUORVEL_DEPS_${target} ${ARG_DEPS})
  file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  set_property(GLOBAL PROPERTY QUORVEL_DIR_${target} ${folder})
endfunction()

# quorvel_test(<name> [THREADED] [WAITS] [LONG] DEPS <targets...>)
# One test executable per module, from every *_test.cpp in the current folder.
# Each test case is its own CTest test, so process-wide state never leaks between cases.
# The ThreadSanitizer build holds only the THREADED modules, whose work runs on several threads.
# A WAITS module's cases spend their time waiting in real time (on a real window, say) and take no core
# of their own: tools/run-tests.sh gives each other case one of its `cores` and runs these beside them.
# A LONG module has computing cases that take tens of seconds: its cases start before the other computing
# ones, so that none of them is left running alone at the end.
function(quorvel_test name)
  cmake_parse_arguments(ARG "THREADED;WAITS;LONG" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
  # In the ThreadSanitizer build a module that is not THREADED still defines its program, so its
  # folder may configure it further, but the program is neither built nor run.
  set(exclude "")
  if(QUORVEL_TSAN AND NOT ARG_THREADED)
    set(exclude EXCLUDE_FROM_ALL)
  endif()
  add_executable(${name} ${exclude} ${sources})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} quorvel_test_support GTest::gtest_main GTest::gmock)
  # Test sources are compiled in batches: each of them spends most of its time parsing the same test
  # framework and platform headers, so a batch of eight costs little more than one. In the release build
  # the test code itself needs no more than -O1; the libraries under test keep the release flags.
  set_target_properties(${name} PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE 8)
  target_compile_options(${name} PRIVATE $<$<CONFIG:Release>:-O1> $<$<CXX_COMPILER_ID:GNU>:-Wno-subobject-linkage>)
  if(NOT exclude)
    set_property(GLOBAL APPEND PROPERTY QUORVEL_TEST_PROGRAMS ${name})
    # Every case runs through env with these variables. (An ENVIRONMENT property would not do: the
    # test discovery splits its list, so only the first variable would be set.)
    set_target_properties(${name} PROPERTIES
      CROSSCOMPILING_EMULATOR "env;SDL_VIDEODRIVER=dummy;SDL_AUDIODRIVER=dummy;TZ=UTC")
    # A waiting case holds no core but one of the slots for waiting ones and, until an earlier run's
    # timings say otherwise, starts first, so its waits overlap the work of the others. Its slots are
    # fewer than the cases run at once: the computing cases always have their cores, and never queue
    # behind the waiting ones.
    if(ARG_WAITS)
      set(scheduling LABELS waits COST 1000 RESOURCE_GROUPS waits:1)
    else()
      set(scheduling RESOURCE_GROUPS cores:1)
      if(ARG_LONG)
        list(APPEND scheduling COST 100)
      endif()
    endif()
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST PROPERTIES ${scheduling})
  endif()
endfunction()

# quorvel_bench(<name> <source> DEPS <targets...>)
function(quorvel_bench name source)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  add_executable(${name} ${source})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} benchmark::benchmark)
endfunction()
