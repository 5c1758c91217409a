# Each Windows file carries its version, and each program its icon: a resource
# script per target, made from one template. The icons are drawn by the native
# build's content step (build/icons/NAME-SIZE.png) and joined into .ico files
# here with icoutils; without them the programs get their version only.
set(LUDORA_ICON_DIR "${PROJECT_SOURCE_DIR}/build/icons" CACHE PATH "PNG icons drawn by the content step")
find_program(LUDORA_ICOTOOL icotool)

# ludora_windows_resources(TARGET FILE DESCRIPTION [ICON NAME])
function(ludora_windows_resources target file description)
    cmake_parse_arguments(arg "" "ICON" "" ${ARGN})
    set(LUDORA_RC_NAME ${target})
    set(LUDORA_RC_FILE ${file})
    set(LUDORA_RC_DESCRIPTION ${description})
    set(LUDORA_RC_ICON_LINE "")
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "SHARED_LIBRARY")
        set(LUDORA_RC_FILETYPE VFT_DLL)
    else()
        set(LUDORA_RC_FILETYPE VFT_APP)
    endif()
    set(depends)
    if(arg_ICON)
        set(pngs)
        foreach(size 16 32 48)
            list(APPEND pngs ${LUDORA_ICON_DIR}/${arg_ICON}-${size}.png)
        endforeach()
        set(large ${LUDORA_ICON_DIR}/${arg_ICON}-256.png)
        if(NOT LUDORA_ICOTOOL)
            message(FATAL_ERROR "icotool (Debian's icoutils) is needed to give ${file} its icon")
        endif()
        foreach(png ${pngs} ${large})
            if(NOT EXISTS ${png})
                message(FATAL_ERROR "${png} is missing: build the native tree first (scripts/build release)")
            endif()
        endforeach()
        set(ico ${CMAKE_CURRENT_BINARY_DIR}/${arg_ICON}.ico)
        # The small sizes as bitmaps for every Windows; 256 pixels as PNG, as Vista and later read it.
        add_custom_command(OUTPUT ${ico}
            COMMAND ${LUDORA_ICOTOOL} -c -o ${ico} ${pngs} --raw=${large}
            DEPENDS ${pngs} ${large}
            COMMENT "Joining the ${arg_ICON} icons" VERBATIM)
        # The program's folder is not this one: a target of this folder makes the file first.
        add_custom_target(${target}_icon DEPENDS ${ico})
        add_dependencies(${target} ${target}_icon)
        # Icon group 1 is the one Explorer shows for the program.
        set(LUDORA_RC_ICON_LINE "1 ICON \"${ico}\"")
        set(depends ${ico})
    endif()
    set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_resources.rc)
    configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/version.rc.in ${rc} @ONLY)
    target_sources(${target} PRIVATE ${rc})
    if(depends)
        set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS "${depends}")
    endif()
endfunction()

ludora_windows_resources(zq zq.dll "zq graphics and input library")
if(TARGET Ludora)
    ludora_windows_resources(Ludora Ludora.exe "Ludora game launcher" ICON ludora)
endif()
if(TARGET Pearlwreck)
    ludora_windows_resources(Pearlwreck Pearlwreck.exe "Pearlwreck treasure hunt" ICON pearlwreck)
endif()
