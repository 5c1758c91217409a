# Installing on Linux (`cmake --install`, and the Debian packages of
# cmake/LudoraPackaging.cmake):
#   lib/ludora/                 the staged launcher folder: Ludora, zq, the platform
#                               library, the pictures and sounds, and Pearlwreck/
#   lib/ludora/ludora.installed the marker that sends each player's saves home
#   games/ludora                the command that starts the launcher there
#   bin/ludora-site             the score site, and its systemd unit
#   share/applications, share/icons/hicolor, share/metainfo, share/man/man6
# Two components: "game" (package ludora) and "site" (package ludora-site).
if(WIN32 OR NOT LUDORA_BUILD_CONTENT OR NOT TARGET Ludora OR NOT TARGET Pearlwreck)
    return()
endif()

# Installing (and CPack) builds only what it installs, not every test.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
set(LUDORA_INSTALL_FOLDER lib/ludora CACHE STRING "Where the launcher folder goes, below the prefix")
set(LUDORA_HOMEPAGE "https://ludora.example.org" CACHE STRING "The project's home page, for the metainfo")
# Debian's place for games' commands (GNUInstallDirs has none).
set(LUDORA_GAMES_DIR games CACHE STRING "Where the ludora command goes, below the prefix")
set(LUDORA_MAINTAINER "The Ludora team <team@ludora.example.org>" CACHE STRING
    "The packages' maintainer")
set(packaging ${CMAKE_SOURCE_DIR}/packaging)
set(generated ${CMAKE_BINARY_DIR}/packaging)

# The programs find zq and the platform library beside them, or one folder up for a game.
set_target_properties(Ludora zq ludora_platform PROPERTIES INSTALL_RPATH "\$ORIGIN")
set_target_properties(Pearlwreck PROPERTIES INSTALL_RPATH "\$ORIGIN/..")
install(TARGETS Ludora zq ludora_platform
        RUNTIME DESTINATION ${LUDORA_INSTALL_FOLDER} COMPONENT game
        LIBRARY DESTINATION ${LUDORA_INSTALL_FOLDER} COMPONENT game NAMELINK_SKIP)
install(TARGETS Pearlwreck RUNTIME DESTINATION ${LUDORA_INSTALL_FOLDER}/Pearlwreck COMPONENT game)
# What the generator drew; a player's saves left in the build tree stay there.
install(DIRECTORY ${CMAKE_BINARY_DIR}/dist/ DESTINATION ${LUDORA_INSTALL_FOLDER} COMPONENT game
        FILES_MATCHING PATTERN "*.bmp" PATTERN "*.wav" PATTERN "islands.dat" PATTERN "setup.ini")
file(WRITE ${generated}/ludora.installed
     "Installed copy: each player's files are kept in $XDG_DATA_HOME/ludora/.\n")
install(FILES ${generated}/ludora.installed DESTINATION ${LUDORA_INSTALL_FOLDER} COMPONENT game)

file(RELATIVE_PATH LUDORA_COMMAND_TO_FOLDER /prefix/${LUDORA_GAMES_DIR}
     /prefix/${LUDORA_INSTALL_FOLDER})
configure_file(${packaging}/ludora.in ${generated}/ludora @ONLY)
install(PROGRAMS ${generated}/ludora DESTINATION ${LUDORA_GAMES_DIR} COMPONENT game)

install(FILES ${packaging}/ludora.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications
        COMPONENT game)
configure_file(${packaging}/org.ludora.Ludora.metainfo.xml.in
               ${generated}/org.ludora.Ludora.metainfo.xml @ONLY)
install(FILES ${generated}/org.ludora.Ludora.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT game)
foreach(size 32 48 64 128 256)
    install(FILES ${CMAKE_BINARY_DIR}/icons/ludora-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME ludora.png COMPONENT game)
endforeach()

# Debian wants manual pages and changelogs compressed, without a time stamp.
configure_file(${packaging}/ludora.6 ${generated}/ludora.6 @ONLY)
configure_file(${packaging}/ludora-site.1 ${generated}/ludora-site.1 @ONLY)
string(TIMESTAMP changelog_date "%a, %d %b %Y %H:%M:%S +0000" UTC)
configure_file(${packaging}/changelog.in ${generated}/changelog @ONLY)
find_program(LUDORA_GZIP gzip)
if(LUDORA_GZIP)
    foreach(page ludora.6 ludora-site.1 changelog)
        add_custom_command(OUTPUT ${generated}/${page}.gz
                           COMMAND ${LUDORA_GZIP} -9nc ${generated}/${page} > ${generated}/${page}.gz
                           DEPENDS ${generated}/${page} VERBATIM)
    endforeach()
    add_custom_target(packaging_pages ALL DEPENDS ${generated}/ludora.6.gz ${generated}/ludora-site.1.gz
                                                  ${generated}/changelog.gz)
    install(FILES ${generated}/ludora.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6 COMPONENT game)
    foreach(package_component ludora:game ludora-site:site)
        string(REPLACE ":" ";" fields ${package_component})
        list(GET fields 0 package)
        list(GET fields 1 component)
        install(FILES ${generated}/changelog.gz DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${package}
                COMPONENT ${component})
        install(FILES ${packaging}/copyright DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${package}
                COMPONENT ${component})
    endforeach()
endif()

if(TARGET ludora-site)
    install(TARGETS ludora-site RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT site)
    # Below the prefix: /usr/lib/systemd/system for the package, where systemd looks too.
    set(LUDORA_SYSTEMD_UNIT_DIR lib/systemd/system CACHE STRING "Where the site's unit goes")
    if(LUDORA_GZIP)
        install(FILES ${generated}/ludora-site.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1
                COMPONENT site)
    endif()
    install(FILES ${CMAKE_SOURCE_DIR}/site/ludora-site.service
            DESTINATION ${LUDORA_SYSTEMD_UNIT_DIR} COMPONENT site)
endif()
