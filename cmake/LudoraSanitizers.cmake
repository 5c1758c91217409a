# Sanitizers apply to everything built in the tree, libraries included.
if(LUDORA_SANITIZE)
    add_compile_options(-fsanitize=${LUDORA_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
    add_link_options(-fsanitize=${LUDORA_SANITIZE})
endif()
