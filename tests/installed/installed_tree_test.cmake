# cmake -DBUILD_DIR=... -DWORK_DIR=... -DCLIENT_DIR=... -DCXX=... -DGENERATOR=...
#       [-DEXTRA_FLAGS=...] -P installed_tree_test.cmake
# Installs BUILD_DIR into WORK_DIR/prefix, then builds the client in CLIENT_DIR against that
# prefix with pkg-config and with find_package, and runs both builds. The programs run in
# a home folder of their own under WORK_DIR.
function(run)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE output
        ERROR_VARIABLE output)
    if(NOT result EQUAL 0)
        string(REPLACE ";" " " command "${ARGN}")
        message(FATAL_ERROR "failed (${result}): ${command}\n${output}")
    endif()
    message(STATUS "${output}")
endfunction()

set(prefix ${WORK_DIR}/prefix)
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR}/home/run)

run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix} --component library)

set(ENV{HOME} ${WORK_DIR}/home)
set(ENV{XDG_DATA_HOME} ${WORK_DIR}/home/.local/share)
set(ENV{XDG_CONFIG_HOME} ${WORK_DIR}/home/.config)
set(ENV{XDG_CACHE_HOME} ${WORK_DIR}/home/.cache)
set(ENV{XDG_RUNTIME_DIR} ${WORK_DIR}/home/run)
set(ENV{CORVEX_MIDI} virtual)

# pkg-config alone.
file(GLOB pc_files ${prefix}/*/pkgconfig/corvex.pc ${prefix}/*/*/pkgconfig/corvex.pc)
list(GET pc_files 0 pc_file)
get_filename_component(pc_dir ${pc_file} DIRECTORY)
set(ENV{PKG_CONFIG_PATH} ${pc_dir})
execute_process(COMMAND pkg-config --cflags --libs corvex
    RESULT_VARIABLE result OUTPUT_VARIABLE pc_flags OUTPUT_STRIP_TRAILING_WHITESPACE)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "pkg-config does not find corvex in ${pc_dir}")
endif()
separate_arguments(pc_flags UNIX_COMMAND "${pc_flags}")
separate_arguments(extra_flags UNIX_COMMAND "${EXTRA_FLAGS}")
run(${CXX} -std=c++20 ${extra_flags} ${CLIENT_DIR}/installed_client.cpp ${pc_flags}
    -o ${WORK_DIR}/client_from_pkg_config)
get_filename_component(lib_dir ${pc_dir} DIRECTORY)
set(ENV{LD_LIBRARY_PATH} ${lib_dir})
run(${WORK_DIR}/client_from_pkg_config)
unset(ENV{LD_LIBRARY_PATH})

# find_package(Corvex).
run(${CMAKE_COMMAND} -S ${CLIENT_DIR} -B ${WORK_DIR}/cmake_client -G ${GENERATOR}
    -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_CXX_COMPILER=${CXX}
    "-DCMAKE_CXX_FLAGS=${EXTRA_FLAGS}" "-DCMAKE_EXE_LINKER_FLAGS=${EXTRA_FLAGS}")
run(${CMAKE_COMMAND} --build ${WORK_DIR}/cmake_client)
run(${WORK_DIR}/cmake_client/installed_client)
