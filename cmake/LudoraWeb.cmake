# The programs linked for the browser (scripts/build-web): each one a page's
# script, its WebAssembly and its files packed as preloaded data. The main
# loop never returns, so it runs through Asyncify and hands the browser its
# turn where the layer waits; the layer's threads are the browser's workers,
# which needs the page cross-origin isolated (the site sends the headers).
set(LUDORA_WEB_DATA_DIR "" CACHE PATH "The staged folder of each page (DIR/ludora, DIR/pearlwreck: dist/ without the desktop programs)")
set(LUDORA_WEB_FONTS "" CACHE FILEPATH "The baked fonts (platform/web/font_bake.cpp)")

# Win32 tells a resource number from a name by its address (below 64K it is a
# number): the program's data starts above that, as on Windows.
set(ludora_web_link_options
    -sGLOBAL_BASE=65536
    -pthread -sPTHREAD_POOL_SIZE=8 -sINITIAL_MEMORY=268435456
    -sASYNCIFY -sASYNCIFY_STACK_SIZE=131072 "-sASYNCIFY_IMPORTS=['ludora_web_wait_frame']"
    -sFORCE_FILESYSTEM=1 -lidbfs.js -sENVIRONMENT=web,worker -sEXIT_RUNTIME=0
    "-sEXPORTED_FUNCTIONS=['_main','_malloc']"
    "SHELL:--pre-js ${PROJECT_SOURCE_DIR}/platform/web/ludora_page.js"
    "SHELL:--preload-file ${LUDORA_WEB_FONTS}@/fonts/ludora-fonts.bin")

foreach(entry "Ludora:ludora" "Pearlwreck:pearlwreck")
    string(REPLACE ":" ";" fields ${entry})
    list(GET fields 0 target)
    list(GET fields 1 page)
    if(NOT TARGET ${target})
        continue()
    endif()
    set_target_properties(${target} PROPERTIES OUTPUT_NAME ${page} SUFFIX ".js")
    target_link_options(${target} PRIVATE ${ludora_web_link_options}
                        "SHELL:--preload-file ${LUDORA_WEB_DATA_DIR}/${page}@/dist")
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS
                 ${PROJECT_SOURCE_DIR}/platform/web/ludora_page.js)
endforeach()
