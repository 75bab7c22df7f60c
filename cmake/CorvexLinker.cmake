# Links with mold when it is installed (scripts/setup installs it): linking the program and
# the many test executables is a large share of a build, and mold does it several times
# faster than the default linker. CVX_USE_MOLD=OFF keeps the default linker.
include(CheckLinkerFlag)
option(CVX_USE_MOLD "Link with mold when it is installed" ON)
if(CVX_USE_MOLD)
    find_program(CVX_MOLD mold)
    if(CVX_MOLD)
        check_linker_flag(CXX -fuse-ld=mold CVX_LINKER_TAKES_MOLD)
        if(CVX_LINKER_TAKES_MOLD)
            add_link_options(-fuse-ld=mold)
        endif()
    endif()
endif()
