# ludora_warnings(target): the warning set every target of ours is built with.
function(ludora_warnings target)
    if(MSVC)
        target_compile_options(${target} PRIVATE /W4)
        if(LUDORA_WERROR)
            target_compile_options(${target} PRIVATE /WX)
        endif()
    else()
        target_compile_options(${target} PRIVATE -Wall -Wextra -Wno-unused-parameter
                                                 -Wno-missing-field-initializers)
        # GCC 12 reports false "restrict" overlaps in inlined std::string joins at -O3.
        if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
            target_compile_options(${target} PRIVATE -Wno-restrict)
        endif()
        if(LUDORA_WERROR)
            target_compile_options(${target} PRIVATE -Werror)
        endif()
    endif()
endfunction()
