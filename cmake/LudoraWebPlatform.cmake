# The platform layer built for WebAssembly: the same sources less the parts
# that stand on SDL, FreeType, libmpg123 and posix_spawn, which the browser
# replaces (platform/src/web/). Nothing is downloaded: no Emscripten ports.
file(GLOB_RECURSE LUDORA_PLATFORM_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/src/*.cpp)
list(FILTER LUDORA_PLATFORM_SOURCES EXCLUDE REGEX
     "/(window/sdl_driver|window/direct_rendering|window/display_events|window/x_display|dsound/sdl_audio_device|dsound/background_audio_device|gdi/font_engine|mci/mp3_decoder|kernel/shell_execute|kernel/stdio_open|web/web_saves)\\.cpp$")
add_library(ludora_platform STATIC ${LUDORA_PLATFORM_SOURCES})
target_include_directories(ludora_platform
    PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/include
    PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/src)
target_compile_definitions(ludora_platform PRIVATE LUDORA_PLATFORM_BUILD=1)
target_link_libraries(ludora_platform PUBLIC Threads::Threads)
# Windows paths for every stdio open of the program (platform/src/web/stdio_open_wrapped.cpp).
target_link_options(ludora_platform INTERFACE -Wl,--wrap=fopen -Wl,--wrap=freopen)
ludora_warnings(ludora_platform)

# Objects, not an archive: the C library refers to a program's main(argc, argv)
# only weakly, so an archive's main would never be taken into the link.
# The saves' listener goes with them: nothing calls it, it only installs itself.
add_library(ludora_winmain OBJECT ${CMAKE_CURRENT_SOURCE_DIR}/winmain/main.cpp
                                  ${CMAKE_CURRENT_SOURCE_DIR}/src/web/web_saves.cpp)
target_include_directories(ludora_winmain PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/src)
target_link_libraries(ludora_winmain PUBLIC ludora_platform)
ludora_warnings(ludora_winmain)
