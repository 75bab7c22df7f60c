# Installing the engine and the client API as a library for other programs:
#   lib/libcvxcore.so.<version>, lib/libcvxlib.so.<version> (with their SONAME links),
#   include/corvex/*.h, lib/pkgconfig/corvex.pc, lib/cmake/Corvex/ (find_package(Corvex)
#   gives Corvex::cvxlib, which brings Corvex::cvxcore and the include folder with it).
# The pkg-config file and the CMake package find the prefix from where they lie, so an
# installed tree may be moved (and `cmake --install --prefix` works without reconfiguring).
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(CVX_PUBLIC_HEADERS
    ${PROJECT_SOURCE_DIR}/clientapi/include/cvxlib.h
    ${PROJECT_SOURCE_DIR}/engine/include/cvx_devices.h
    ${PROJECT_SOURCE_DIR}/engine/include/cvx_platform.h
    ${PROJECT_SOURCE_DIR}/engine/include/cvx_records.h
    ${PROJECT_SOURCE_DIR}/engine/include/cvxcore.h
    ${PROJECT_SOURCE_DIR}/engine/include/vmidi.h)
set(CVX_INSTALL_INCLUDEDIR ${CMAKE_INSTALL_INCLUDEDIR}/corvex)
set(CVX_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/Corvex)

# libcvxlib finds libcvxcore beside itself wherever the tree is installed.
set_target_properties(cvxlib PROPERTIES INSTALL_RPATH "$ORIGIN")

install(TARGETS cvxcore cvxlib EXPORT CorvexTargets
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT library
    INCLUDES DESTINATION ${CVX_INSTALL_INCLUDEDIR})
install(FILES ${CVX_PUBLIC_HEADERS} DESTINATION ${CVX_INSTALL_INCLUDEDIR} COMPONENT library)

install(EXPORT CorvexTargets NAMESPACE Corvex:: DESTINATION ${CVX_INSTALL_CMAKEDIR}
    COMPONENT library)
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/CorvexConfig.cmake.in
    ${PROJECT_BINARY_DIR}/CorvexConfig.cmake INSTALL_DESTINATION ${CVX_INSTALL_CMAKEDIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/CorvexConfigVersion.cmake
    COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/CorvexConfig.cmake
    ${PROJECT_BINARY_DIR}/CorvexConfigVersion.cmake
    DESTINATION ${CVX_INSTALL_CMAKEDIR} COMPONENT library)

file(RELATIVE_PATH CVX_PC_TO_PREFIX /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
string(REGEX REPLACE "/$" "" CVX_PC_TO_PREFIX "${CVX_PC_TO_PREFIX}")
configure_file(${CMAKE_CURRENT_LIST_DIR}/corvex.pc.in ${PROJECT_BINARY_DIR}/corvex.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/corvex.pc
    DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT library)

install(FILES ${PROJECT_SOURCE_DIR}/docs/client-api.md ${PROJECT_SOURCE_DIR}/docs/platform.md
    DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT library)
