# CVX_SANITIZE=address builds with AddressSanitizer and UndefinedBehaviorSanitizer,
# CVX_SANITIZE=thread with ThreadSanitizer. Empty builds without sanitizers.
set(CVX_SANITIZE "" CACHE STRING "Sanitizer to build with: address, thread or empty")
if(CVX_SANITIZE STREQUAL "address")
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
elseif(CVX_SANITIZE STREQUAL "thread")
    add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
    add_link_options(-fsanitize=thread)
elseif(NOT CVX_SANITIZE STREQUAL "")
    message(FATAL_ERROR "CVX_SANITIZE must be address, thread or empty, not '${CVX_SANITIZE}'")
endif()
