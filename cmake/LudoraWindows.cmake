# Windows builds link the system's own DirectDraw, DirectInput, DirectSound,
# winmm and shell in place of our platform layer, under the same target names.
add_library(ludora_platform INTERFACE)
# Resource scripts give the programs their icons and every file its version.
enable_language(RC)

# DirectSoundCreate is imported by its ordinal 1, as DirectX 5 programs did.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(LUDORA_DSOUND_EXPORT "DirectSoundCreate@12 @1 NONAME")
    set(LUDORA_DLLTOOL_MACHINE i386)
else()
    set(LUDORA_DSOUND_EXPORT "DirectSoundCreate @1 NONAME")
    set(LUDORA_DLLTOOL_MACHINE i386:x86-64)
endif()
set(LUDORA_DSOUND_DEF ${CMAKE_BINARY_DIR}/dsound_ordinal.def)
file(WRITE ${LUDORA_DSOUND_DEF} "LIBRARY dsound.dll\nEXPORTS\n    ${LUDORA_DSOUND_EXPORT}\n")
set(LUDORA_DSOUND_IMPORT ${CMAKE_BINARY_DIR}/lib/libdsound_ordinal.a)
string(REGEX REPLACE "g\\+\\+(-posix)?$" "dlltool" LUDORA_DLLTOOL ${CMAKE_CXX_COMPILER})
add_custom_command(OUTPUT ${LUDORA_DSOUND_IMPORT}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/lib
    COMMAND ${LUDORA_DLLTOOL} -m ${LUDORA_DLLTOOL_MACHINE} -k -d ${LUDORA_DSOUND_DEF} -l ${LUDORA_DSOUND_IMPORT}
    DEPENDS ${LUDORA_DSOUND_DEF}
    COMMENT "Import library for DirectSound by ordinal")
add_custom_target(ludora_dsound_import DEPENDS ${LUDORA_DSOUND_IMPORT})
add_dependencies(ludora_platform ludora_dsound_import)

target_link_libraries(ludora_platform INTERFACE ddraw dinput dxguid ${LUDORA_DSOUND_IMPORT} winmm
                                                gdi32 user32 shell32 kernel32)
# One file a program: the C and C++ runtimes and the thread library are linked in.
# The thread library carries a version resource of its own, which would sit
# beside each program's: it is linked from a copy without it.
find_library(LUDORA_WINPTHREAD_ARCHIVE NAMES libwinpthread.a REQUIRED)
set(LUDORA_WINPTHREAD_COPY ${CMAKE_BINARY_DIR}/lib/libwinpthread_noversion.a)
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/lib)
file(COPY_FILE ${LUDORA_WINPTHREAD_ARCHIVE} ${LUDORA_WINPTHREAD_COPY})
execute_process(COMMAND ${CMAKE_AR} d ${LUDORA_WINPTHREAD_COPY} version.o
                COMMAND_ERROR_IS_FATAL ANY)
target_link_options(ludora_platform INTERFACE -static-libgcc -static-libstdc++
                    -Wl,--whole-archive ${LUDORA_WINPTHREAD_COPY} -Wl,--no-whole-archive)

# The programs are GUI programs with their own WinMain.
add_library(ludora_winmain INTERFACE)
target_link_options(ludora_winmain INTERFACE -mwindows)

# Every file speaks DirectInput 5, whichever header it includes first.
target_compile_definitions(ludora_platform INTERFACE DIRECTINPUT_VERSION=0x0500)
