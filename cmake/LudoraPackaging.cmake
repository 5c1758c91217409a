# Debian packages made by CPack (scripts/package): ludora (the "game" component of
# cmake/LudoraInstall.cmake) and ludora-site (the "site" component), in build/packages/.
if(WIN32 OR NOT LUDORA_BUILD_CONTENT OR NOT TARGET Ludora)
    return()
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ludora)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Ludora team")
set(CPACK_PACKAGE_CONTACT "${LUDORA_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL game site)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# zq and the platform library live beside the launcher, not in a library package.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR}/bin)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${LUDORA_HOMEPAGE})

set(CPACK_DEBIAN_GAME_PACKAGE_NAME ludora)
set(CPACK_DEBIAN_GAME_PACKAGE_SECTION games)
# The layer draws its message boxes in Liberation; the lettering was drawn from DejaVu.
set(CPACK_DEBIAN_GAME_PACKAGE_DEPENDS "fonts-liberation2")
set(CPACK_COMPONENT_GAME_DESCRIPTION "shelf of casual games with the treasure hunt Pearlwreck
Ludora keeps a shelf of casual games, their players and their halls of fame.
Its game Pearlwreck is a treasure hunt on nine sea charts: five treasures lie
hidden in open water, and every miss sends sonar rings to the nearest piece.
Each player's options and halls of fame are kept in their home folder.")

set(CPACK_DEBIAN_SITE_PACKAGE_NAME ludora-site)
set(CPACK_DEBIAN_SITE_PACKAGE_SECTION web)
set(CPACK_COMPONENT_SITE_DESCRIPTION "score site for the Ludora games
ludora-site records the scores the Ludora launcher uploads and shows every
game's top twenty, as a page and as JSON. It comes with a hardened systemd
unit listening on 127.0.0.1:8080.")

include(CPack)
