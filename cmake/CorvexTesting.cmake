# cvx_engine_test(<target> <source>...): a GoogleTest executable that tests the engine's
# internals (it links the engine's object library), with the engine's shared test fixtures
# on its include path, each of its tests registered with ctest.
function(cvx_engine_test target)
    add_executable(${target} ${ARGN})
    target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR}/engine/core/tests)
    target_link_libraries(${target} PRIVATE cvxcore_obj GTest::gtest_main)
    cvx_warnings(${target})
    gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60)
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
    gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60
        PROPERTIES TIMEOUT ${ARG_TIMEOUT} ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()
