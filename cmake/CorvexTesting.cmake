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
