# Every test runs with HOME and the XDG folders pointing at the sentinel home, an empty
# folder of the build tree, never at the user's own. The shared test main moves each test
# process on into a temporary home of its own, so the sentinel stays empty: the fixture's
# last test (cvx_home_untouched) fails when any test wrote there, i.e. would have written
# into the real home folder without this guard.
set(CVX_SENTINEL_HOME ${PROJECT_BINARY_DIR}/sentinel-home)
set(CVX_TEST_ENVIRONMENT
    HOME=${CVX_SENTINEL_HOME}
    XDG_CONFIG_HOME=${CVX_SENTINEL_HOME}/.config
    XDG_DATA_HOME=${CVX_SENTINEL_HOME}/.local/share
    XDG_CACHE_HOME=${CVX_SENTINEL_HOME}/.cache
    XDG_DOCUMENTS_DIR=${CVX_SENTINEL_HOME}/Documents
    XDG_RUNTIME_DIR=${CVX_SENTINEL_HOME}/run
    QT_QPA_PLATFORM=offscreen)

# cvx_guard_tests(<test>... [ENVIRONMENT <name=value>...]): tests registered with add_test
# run in the sentinel home (with any further variables given) and within its fixture.
# GoogleTest programs made by the functions below are guarded already.
function(cvx_guard_tests)
    cmake_parse_arguments(ARG "" "" "ENVIRONMENT" ${ARGN})
    set_tests_properties(${ARG_UNPARSED_ARGUMENTS} PROPERTIES
        ENVIRONMENT "${CVX_TEST_ENVIRONMENT};${ARG_ENVIRONMENT}"
        FIXTURES_REQUIRED cvx_sentinel_home)
endfunction()

# Registers each test of a GoogleTest program with ctest, guarded as above. The environment
# is set by running the program through `cmake -E env` (test properties of discovered tests
# cannot carry a list).
function(cvx_discover_tests target timeout)
    set_target_properties(${target} PROPERTIES CROSSCOMPILING_EMULATOR
        "${CMAKE_COMMAND};-E;env;${CVX_TEST_ENVIRONMENT}")
    gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60
        PROPERTIES TIMEOUT ${timeout} FIXTURES_REQUIRED cvx_sentinel_home)
endfunction()

# cvx_engine_test(<target> <source>...): a GoogleTest executable that tests the engine's
# internals (it links the engine's object library), with the engine's shared test fixtures
# on its include path, each of its tests registered with ctest.
function(cvx_engine_test target)
    add_executable(${target} ${ARGN})
    target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR}/engine/core/tests)
    target_link_libraries(${target} PRIVATE cvxcore_obj cvx_test_main GTest::gmock)
    cvx_warnings(${target})
    cvx_discover_tests(${target} 300)
endfunction()

# cvx_test(<target> SOURCES <source>... [LIBS <library>...] [TIMEOUT <seconds>]): a
# GoogleTest executable of the application, the player or the examples. It runs with the
# shared test main (a temporary home folder per process) and, for Qt code, the offscreen
# platform; each of its tests is registered with ctest.
function(cvx_test target)
    cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 120)
    endif()
    add_executable(${target} ${ARG_SOURCES})
    target_link_libraries(${target} PRIVATE ${ARG_LIBS} cvx_test_main GTest::gmock)
    cvx_warnings(${target})
    cvx_discover_tests(${target} ${ARG_TIMEOUT})
endfunction()
