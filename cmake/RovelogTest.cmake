# Test executables: one helper adds them all.
#
# Native builds use the system's GoogleTest and register every test case with
# ctest. Cross builds (MinGW) compile GoogleTest from /usr/src/googletest and
# register one ctest entry per executable: each entry is a Wine process, and
# starting one per test case would cost more than the tests themselves.
# Tests find the shared captures through ROVELOG_SHARED_DIR. GTEST_FILTER
# leaves out the cases another test runs (a gtest filter such as "-Suite.*").

set(ROVELOG_SHARED_DIR "${CMAKE_SOURCE_DIR}/../shared" CACHE PATH "Folder with the shared receiver captures")

macro(rovelog_find_gtest)
  if(CMAKE_CROSSCOMPILING)
    if(NOT TARGET gtest_main)
      set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
      set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
      add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    endif()
    set(ROVELOG_GTEST_LIBS gmock gtest_main)
  else()
    find_package(GTest REQUIRED)
    include(GoogleTest)
    set(ROVELOG_GTEST_LIBS GTest::gmock GTest::gtest_main)
  endif()
endmacro()

function(rovelog_add_test name)
  cmake_parse_arguments(ARG "" "TIMEOUT;GTEST_FILTER" "SOURCES;DEPENDS" ${ARGN})
  rovelog_find_gtest()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPENDS} ${ROVELOG_GTEST_LIBS} Threads::Threads)
  target_compile_definitions(${name} PRIVATE
    ROVELOG_SHARED_DIR="${ROVELOG_SHARED_DIR}"
    ROVELOG_BINARY_DIR="${CMAKE_BINARY_DIR}"
    ROVELOG_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  rovelog_warnings(${name})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  if(CMAKE_CROSSCOMPILING)
    if(ARG_GTEST_FILTER)
      add_test(NAME ${name} COMMAND ${name} --gtest_filter=${ARG_GTEST_FILTER})
    else()
      add_test(NAME ${name} COMMAND ${name})
    endif()
    set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT})
  else()
    set(filter)
    if(ARG_GTEST_FILTER)
      set(filter TEST_FILTER ${ARG_GTEST_FILTER})
    endif()
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST ${filter}
      PROPERTIES TIMEOUT ${ARG_TIMEOUT})
  endif()
endfunction()
