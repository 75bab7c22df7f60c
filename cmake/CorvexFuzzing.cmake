# CVX_FUZZ=ON builds the libFuzzer targets under fuzz/ (clang only): every target of the
# build is instrumented for coverage with AddressSanitizer and UndefinedBehaviorSanitizer,
# and each fuzz target links libFuzzer's main. scripts/fuzz makes and runs such a build.
option(CVX_FUZZ "Build the libFuzzer targets (needs clang)" OFF)
# Shared libraries are linked with every symbol resolved, except in a fuzzing build, where
# the sanitizer runtime comes with the executable that loads them.
set(CVX_NO_UNDEFINED -Wl,--no-undefined)
if(CVX_FUZZ)
    set(CVX_NO_UNDEFINED "")
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        message(FATAL_ERROR "CVX_FUZZ=ON needs clang: configure with CC=clang CXX=clang++")
    endif()
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                        -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()

# cvx_fuzzer(<target> SOURCES <source>... [LIBS <library>...]): a libFuzzer executable. Its
# seed corpus is the folder `corpus/` beside its sources, its dictionary `<target>.dict` when
# there is one; scripts/fuzz finds both there.
function(cvx_fuzzer target)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${target} ${ARG_SOURCES})
    target_link_libraries(${target} PRIVATE ${ARG_LIBS})
    target_link_options(${target} PRIVATE -fsanitize=fuzzer)
    cvx_warnings(${target})
    set_property(GLOBAL APPEND PROPERTY CVX_FUZZERS "${target}|${CMAKE_CURRENT_SOURCE_DIR}")
endfunction()
