# cmake -DHOME_FOLDER=<folder> -DACTION=prepare|check -P sentinel_home.cmake
# prepare: makes the folder empty. check: fails, naming what it finds, when anything was
# written into the folder since.
if(ACTION STREQUAL "prepare")
    file(REMOVE_RECURSE "${HOME_FOLDER}")
    file(MAKE_DIRECTORY "${HOME_FOLDER}")
elseif(ACTION STREQUAL "check")
    if(NOT IS_DIRECTORY "${HOME_FOLDER}")
        message(FATAL_ERROR "the sentinel home ${HOME_FOLDER} was removed by a test")
    endif()
    file(GLOB_RECURSE written LIST_DIRECTORIES true "${HOME_FOLDER}/*" "${HOME_FOLDER}/.*")
    if(written)
        list(JOIN written "\n  " listing)
        message(FATAL_ERROR "tests wrote into the home folder they were given:\n  ${listing}")
    endif()
else()
    message(FATAL_ERROR "ACTION must be prepare or check")
endif()
