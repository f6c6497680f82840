# Helpers shared by every subsystem folder.

# Adds every child folder of DIR that has a CMakeLists.txt and names a subsystem
# being built.
function(skylane_add_children dir)
  file(GLOB children LIST_DIRECTORIES true ${CMAKE_SOURCE_DIR}/${dir}/*)
  list(SORT children)
  foreach(child IN LISTS children)
    if(IS_DIRECTORY ${child} AND EXISTS ${child}/CMakeLists.txt)
      get_filename_component(name ${child} NAME)
      if(NOT name IN_LIST SKYLANE_SUBSYSTEMS)
        continue()
      endif()
      add_subdirectory(${child} ${CMAKE_BINARY_DIR}/${dir}/${name})
    endif()
  endforeach()
endfunction()

# skylane_test(NAME n SOURCES ... [LIBS ...] [THREADED] [TIMEOUT s])
# One GoogleTest binary run as one CTest test. THREADED tests also run under
# ThreadSanitizer; in that build every other test is skipped.
function(skylane_test)
  cmake_parse_arguments(T "THREADED;NO_GTEST_MAIN" "NAME;TIMEOUT" "SOURCES;LIBS" ${ARGN})
  if(SKYLANE_SANITIZE STREQUAL "thread" AND NOT T_THREADED)
    return()
  endif()
  add_executable(${T_NAME} ${T_SOURCES})
  if(T_NO_GTEST_MAIN)
    target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock Threads::Threads)
  else()
    target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main Threads::Threads)
  endif()
  add_test(NAME ${T_NAME} COMMAND ${T_NAME} WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set(labels unit)
  if(T_THREADED)
    set(labels unit threads)
  endif()
  set_tests_properties(${T_NAME} PROPERTIES LABELS "${labels}" TIMEOUT ${T_TIMEOUT})
endfunction()

# skylane_bench(NAME n SOURCES ... [LIBS ...]): a Google Benchmark program that
# `make bench` runs.
function(skylane_bench)
  cmake_parse_arguments(B "" "NAME" "SOURCES;LIBS" ${ARGN})
  find_package(benchmark REQUIRED)
  add_executable(${B_NAME} ${B_SOURCES})
  target_link_libraries(${B_NAME} PRIVATE ${B_LIBS} benchmark::benchmark Threads::Threads)
  set_property(GLOBAL APPEND PROPERTY SKYLANE_BENCHES ${B_NAME})
endfunction()

# skylane_fuzz(NAME n SOURCES ... [LIBS ...] CORPUS dir [SECONDS s]): a libFuzzer
# target, run by CTest for a bounded time from a scratch copy of its seed corpus.
function(skylane_fuzz)
  cmake_parse_arguments(F "" "NAME;CORPUS;SECONDS" "SOURCES;LIBS" ${ARGN})
  if(NOT F_SECONDS)
    set(F_SECONDS 10)
  endif()
  add_executable(${F_NAME} ${F_SOURCES})
  target_compile_options(${F_NAME} PRIVATE -fsanitize=fuzzer)
  target_link_options(${F_NAME} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(${F_NAME} PRIVATE ${F_LIBS} Threads::Threads)
  set(work ${CMAKE_CURRENT_BINARY_DIR}/${F_NAME}_corpus)
  add_test(NAME ${F_NAME}
    COMMAND ${CMAKE_COMMAND} -DFUZZER=$<TARGET_FILE:${F_NAME}> -DSEEDS=${F_CORPUS}
            -DWORK=${work} -DSECONDS=${F_SECONDS}
            -P ${CMAKE_SOURCE_DIR}/cmake/RunFuzzer.cmake)
  math(EXPR limit "${F_SECONDS} + 120")
  set_tests_properties(${F_NAME} PROPERTIES LABELS fuzz TIMEOUT ${limit})
endfunction()
