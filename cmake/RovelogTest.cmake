# Test executables: one helper adds them all.
#
# Native builds use the system's GoogleTest and register every test case with
# ctest. Cross builds (MinGW) compile GoogleTest from /usr/src/googletest and
# register one ctest entry per executable: each entry is a Wine process, and
# starting one per test case would cost more than the tests themselves.
# Tests find the shared captures through ROVELOG_SHARED_DIR. GTEST_FILTER
# leaves out the cases another test runs (a gtest filter such as "-Suite.*").
#
# Every test carries one tier label, so that `ctest -L unit` is the quick
# loop: unit (in-process, a minute for the whole tier), pty (real
# pseudo-terminals and the receiver simulator), e2e (whole programs) and wine
# (anything run under Wine, whole programs there also e2e).

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

# One gtest program, linked with what it tests and told where the shared
# captures, the build and the sources are.
function(rovelog_test_executable name sources depends)
  rovelog_find_gtest()
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${depends} ${ROVELOG_GTEST_LIBS} Threads::Threads)
  target_compile_definitions(${name} PRIVATE
    ROVELOG_SHARED_DIR="${ROVELOG_SHARED_DIR}"
    ROVELOG_BINARY_DIR="${CMAKE_BINARY_DIR}"
    ROVELOG_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  rovelog_warnings(${name})
endfunction()

function(rovelog_add_test name)
  cmake_parse_arguments(ARG "" "TIMEOUT;GTEST_FILTER;LABEL" "SOURCES;DEPENDS" ${ARGN})
  rovelog_test_executable(${name} "${ARG_SOURCES}" "${ARG_DEPENDS}")
  rovelog_find_gtest()
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  if(CMAKE_CROSSCOMPILING)
    set(ARG_LABEL wine)
  elseif(NOT ARG_LABEL)
    set(ARG_LABEL unit)
  endif()
  if(CMAKE_CROSSCOMPILING)
    if(ARG_GTEST_FILTER)
      add_test(NAME ${name} COMMAND ${name} --gtest_filter=${ARG_GTEST_FILTER})
    else()
      add_test(NAME ${name} COMMAND ${name})
    endif()
    # The emulator (scripts/wine-run.sh) runs it with the Wine of its bitness.
    set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT} SKIP_RETURN_CODE 77 LABELS ${ARG_LABEL}
      ENVIRONMENT "ROVELOG_WINE=${ROVELOG_WINE}")
  else()
    set(filter)
    if(ARG_GTEST_FILTER)
      set(filter TEST_FILTER ${ARG_GTEST_FILTER})
    endif()
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST ${filter}
      PROPERTIES TIMEOUT ${ARG_TIMEOUT} LABELS ${ARG_LABEL})
  endif()
endfunction()

# Native test programs that run a Windows build's programs under Wine, one
# ctest entry per gtest case in CASES. The native build compiles them (and
# registers only their NATIVE_FILTER cases, if any); each Windows preset
# registers the CASES against its own programs with the Wine of its bitness,
# so ctest of build/win32 runs them on the product. PRODUCT_ONLY cases are
# left out of the x86_64 twin's run, where they would repeat a 32-bit run
# whole at a cost (the window worked from outside, closed at several moments)
# unless this machine runs no 32-bit program: then the product's cases skip
# and the twin runs them all, so that the window is still tested here.
# The CASES are labelled wine, and e2e too when they run whole programs
# (E2E); the NATIVE_FILTER cases, on pseudo-terminals, pty.
set(ROVELOG_NATIVE_BUILD "${CMAKE_SOURCE_DIR}/build/linux" CACHE PATH
  "The native build whose test programs drive the Windows programs under Wine")
if(CMAKE_CROSSCOMPILING)
  execute_process(COMMAND /usr/lib/wine/wine --version RESULT_VARIABLE status OUTPUT_QUIET ERROR_QUIET)
  if(status EQUAL 0)
    set(ROVELOG_RUNS_I686 ON)
  else()
    set(ROVELOG_RUNS_I686 OFF)
    message(STATUS "This machine runs no 32-bit program: the x86_64 build's tests take the product's cases")
  endif()
endif()

function(rovelog_add_wine_test name)
  cmake_parse_arguments(ARG "PRODUCT_ONLY;E2E" "TIMEOUT;NATIVE_FILTER" "SOURCES;DEPENDS;CASES" ${ARGN})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  if(NOT CMAKE_CROSSCOMPILING)
    rovelog_test_executable(${name} "${ARG_SOURCES}" "${ARG_DEPENDS}")
    rovelog_find_gtest()
    if(ARG_NATIVE_FILTER)
      gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST TEST_FILTER ${ARG_NATIVE_FILTER}
        PROPERTIES TIMEOUT ${ARG_TIMEOUT} LABELS pty)
    endif()
    return()
  endif()
  if(ARG_PRODUCT_ONLY AND ROVELOG_RUNS_I686 AND NOT CMAKE_SIZEOF_VOID_P EQUAL 4)
    return()
  endif()
  file(RELATIVE_PATH folder ${CMAKE_BINARY_DIR} ${CMAKE_CURRENT_BINARY_DIR})
  set(labels wine)
  if(ARG_E2E)
    set(labels "wine;e2e")
  endif()
  foreach(case IN LISTS ARG_CASES)
    add_test(NAME ${case} COMMAND ${ROVELOG_NATIVE_BUILD}/${folder}/${name} --gtest_filter=${case})
    # A case skipped for want of Wine or a program says so, as gtest's own
    # registration does.
    set_tests_properties(${case} PROPERTIES TIMEOUT ${ARG_TIMEOUT} LABELS "${labels}"
      SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\]"
      ENVIRONMENT "ROVELOG_WINDOWS_BUILD=${CMAKE_BINARY_DIR};ROVELOG_WINE=${ROVELOG_WINE}")
  endforeach()
endfunction()
