# Sanitizers apply to everything built in the tree, libraries included.
if(LUDORA_SANITIZE)
    add_compile_options(-fsanitize=${LUDORA_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
    add_link_options(-fsanitize=${LUDORA_SANITIZE})
    # GCC's flow analysis sees through the sanitizers' instrumentation badly and
    # reports uninitialised reads inside the standard library (std::regex, std::function).
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
        add_compile_options(-Wno-maybe-uninitialized)
    endif()
endif()
