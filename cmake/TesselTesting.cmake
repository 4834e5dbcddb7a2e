# Test layers: "unit" (host, portable code), "wine" (Win32 code under Wine),
# "e2e" (the real programs driven through their windows).

if(NOT TESSEL_FUZZ AND NOT TARGET gtest)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  if(WIN32)
    # GoogleTest's own sources are not ours to keep warning-free.
    set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  endif()
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
endif()

include(GoogleTest)

set(TESSEL_HARNESS ${PROJECT_SOURCE_DIR}/tests/harness)

# tessel_unit_test(name SOURCES ... [LIBS ...])
# Host-only GoogleTest executable; each TEST becomes a ctest entry.
function(tessel_unit_test name)
  if(WIN32)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST PROPERTIES LABELS unit)
endfunction()

# tessel_wine_test(name SOURCES ... [LIBS ...] [RESOURCE_LOCK ...] [ENVIRONMENT ...]
#                  [FIXTURES ...] [TIMEOUT s] [ARGS ...] [OWN_MAIN])
# Windows GoogleTest executable run under Wine; one ctest entry per executable
# (starting Wine once per test case would cost more than the tests).
function(tessel_wine_test name)
  if(NOT WIN32)
    return()
  endif()
  cmake_parse_arguments(ARG "OWN_MAIN" "TIMEOUT" "SOURCES;LIBS;RESOURCE_LOCK;ENVIRONMENT;FIXTURES;ARGS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  if(ARG_OWN_MAIN)
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest)
  else()
    # gtest_main's main() under -municode: the CRT calls wmain, so give it one.
    target_sources(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/harness/gtest_wmain.cpp)
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest)
  endif()
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  add_test(NAME ${name} COMMAND ${name} ${ARG_ARGS})
  _tessel_test_properties(${name} wine)
endfunction()

# tessel_e2e_test(name COMMAND ... [RESOURCE_LOCK ...] [ENVIRONMENT ...]
#                 [FIXTURES ...] [TIMEOUT s] [DEPENDS targets])
# Runs a command (a Windows driver executable or a script) against the real
# programs. Commands ending in .exe are started under Wine.
function(tessel_e2e_test name)
  if(NOT WIN32)
    return()
  endif()
  cmake_parse_arguments(ARG "" "TIMEOUT" "COMMAND;RESOURCE_LOCK;ENVIRONMENT;FIXTURES" ${ARGN})
  add_test(NAME ${name} COMMAND ${ARG_COMMAND})
  _tessel_test_properties(${name} e2e)
endfunction()

# tessel_server_wine_test(name RUN_SCRIPT script PORT port PROGRAM target
#                         [FILTER gtest-filter] [TIMEOUT s])
# Runs `PROGRAM` under Wine through `RUN_SCRIPT STATE_DIR PORT WINE_RUN EXE
# --gtest_filter=FILTER`, the script starting the sample update server on PORT
# for the run; a clean-up step ends a server that a killed run left behind.
# Tests on one port never run at the same time (resource lock ftpPORT).
function(tessel_server_wine_test name)
  if(NOT WIN32)
    return()
  endif()
  cmake_parse_arguments(ARG "" "RUN_SCRIPT;PORT;PROGRAM;FILTER;TIMEOUT" "" ${ARGN})
  if(NOT ARG_FILTER)
    set(ARG_FILTER "*")
  endif()
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  set(state ${CMAKE_CURRENT_BINARY_DIR}/${name}-server)
  add_test(NAME ${name}
    COMMAND bash ${ARG_RUN_SCRIPT} ${state} ${ARG_PORT}
            ${PROJECT_SOURCE_DIR}/tests/harness/wine-run $<TARGET_FILE:${ARG_PROGRAM}>
            --gtest_filter=${ARG_FILTER})
  set_tests_properties(${name} PROPERTIES LABELS wine TIMEOUT ${ARG_TIMEOUT}
    RESOURCE_LOCK ftp${ARG_PORT} FIXTURES_REQUIRED ${name}_server)
  add_test(NAME ${name}_server_stop
    COMMAND bash ${PROJECT_SOURCE_DIR}/tools/update_server/run_with_server.sh --stop ${state})
  set_tests_properties(${name}_server_stop PROPERTIES
    LABELS wine FIXTURES_CLEANUP ${name}_server RESOURCE_LOCK ftp${ARG_PORT})
endfunction()

macro(_tessel_test_properties name label)
  set_tests_properties(${name} PROPERTIES LABELS ${label})
  if(ARG_TIMEOUT)
    set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT})
  else()
    set_tests_properties(${name} PROPERTIES TIMEOUT 300)
  endif()
  if(ARG_RESOURCE_LOCK)
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK "${ARG_RESOURCE_LOCK}")
  endif()
  if(ARG_ENVIRONMENT)
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${ARG_ENVIRONMENT}")
  endif()
  if(ARG_FIXTURES)
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED "${ARG_FIXTURES}")
  endif()
endmacro()

# tessel_fuzz_target(name SOURCES ... [LIBS ...] [CORPUS dir])
# libFuzzer target, built only by the fuzz preset.
function(tessel_fuzz_target name)
  if(NOT TESSEL_FUZZ)
    return()
  endif()
  cmake_parse_arguments(ARG "" "CORPUS" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
endfunction()
