# Test plumbing shared by every folder under tests/.
#
# Natively each GoogleTest case is its own CTest test. For the Windows presets every test
# binary is one CTest test run under Wine, because each Wine process start costs far more than
# a case. scripts/wine-env.sh starts Wine for every test; the build tells it which Wine its
# programs need (win32: 32-bit, win64: 64-bit), so a test never depends on what the host would
# choose by itself.

if(NOT BUILD_TESTING)
  return()
endif()

set(RAVLO_WINEPREFIX "${CMAKE_BINARY_DIR}/wineprefix")
set(RAVLO_WINE_BITS 32)
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(RAVLO_WINE_BITS 64)
endif()
# What every test under Wine gets: the build's Wine, its own prefix, and where things are.
set(RAVLO_WINE_ENVIRONMENT
    "RAVLO_WINE_BITS=${RAVLO_WINE_BITS};WINEPREFIX=${RAVLO_WINEPREFIX};RAVLO_BUILD=${CMAKE_BINARY_DIR};RAVLO_SOURCE=${CMAKE_SOURCE_DIR}")
if(WIN32 AND CMAKE_CROSSCOMPILING)
  # Every cross-built test program runs under Wine in the build's own prefix.
  set(CMAKE_CROSSCOMPILING_EMULATOR
      "/usr/bin/env;RAVLO_WINE_BITS=${RAVLO_WINE_BITS};${CMAKE_SOURCE_DIR}/scripts/wine-run.sh;${RAVLO_WINEPREFIX}")
endif()

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
include(GoogleTest)

if(WIN32 AND CMAKE_CROSSCOMPILING)
  # One persistent wineserver for the whole run: starts then cost a tenth of a second.
  add_test(NAME wine_prefix_start
           COMMAND "${CMAKE_SOURCE_DIR}/scripts/wine-prefix.sh" start "${RAVLO_WINEPREFIX}")
  set_tests_properties(wine_prefix_start PROPERTIES FIXTURES_SETUP wine LABELS wine
                       ENVIRONMENT "${RAVLO_WINE_ENVIRONMENT}")
  add_test(NAME wine_prefix_stop
           COMMAND "${CMAKE_SOURCE_DIR}/scripts/wine-prefix.sh" stop "${RAVLO_WINEPREFIX}")
  set_tests_properties(wine_prefix_stop PROPERTIES FIXTURES_CLEANUP wine LABELS wine
                       ENVIRONMENT "${RAVLO_WINE_ENVIRONMENT}")
endif()

# ravlo_add_unit_test(<name> SOURCES <files...> LIBS <targets...>)
function(ravlo_add_unit_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest_main)
  if(WIN32 AND CMAKE_CROSSCOMPILING)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES LABELS "unit;wine" FIXTURES_REQUIRED wine)
  else()
    gtest_discover_tests(${name} PROPERTIES LABELS unit DISCOVERY_TIMEOUT 60)
  endif()
endfunction()

# ravlo_add_wine_test(<name> COMMAND <command...> [LABELS <labels>])
# An integration test that drives Windows programs under Wine; only in the Windows builds.
# Its script starts Wine through scripts/wine-env.sh, which reads RAVLO_WINE_BITS from here.
function(ravlo_add_wine_test name)
  cmake_parse_arguments(ARG "" "" "COMMAND;LABELS" ${ARGN})
  if(NOT (WIN32 AND CMAKE_CROSSCOMPILING))
    return()
  endif()
  add_test(NAME ${name} COMMAND ${ARG_COMMAND})
  set(labels wine ${ARG_LABELS})
  set_tests_properties(${name} PROPERTIES
    LABELS "${labels}" FIXTURES_REQUIRED wine
    ENVIRONMENT "${RAVLO_WINE_ENVIRONMENT}")
endfunction()
