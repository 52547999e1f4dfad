# The installed game and its Debian package (cpack -G DEB in the build folder): the
# program, the generated world and the shipped demo in share/gloamfield, a desktop entry,
# the icon the generator draws, and the manual page.
if(NOT TARGET gloamfield OR NOT TARGET world)
  return()
endif()
include(GNUInstallDirs)

set(game_data ${CMAKE_INSTALL_DATADIR}/gloamfield)
install(TARGETS gloamfield RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The defaults, for reference: the game writes the same into a player's own folder.
install(FILES ${CMAKE_BINARY_DIR}/defaults/GameSettings.ini DESTINATION ${game_data})
install(DIRECTORY ${CMAKE_BINARY_DIR}/Data DESTINATION ${game_data}
        PATTERN ".world-stamp" EXCLUDE)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/demos/ DESTINATION ${game_data}/demos
        FILES_MATCHING PATTERN "*.demo")
install(FILES ${PROJECT_SOURCE_DIR}/packaging/gloamfield.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_BINARY_DIR}/gloamfield.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/128x128/apps)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/gloamfield.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME gloamfield)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "survive the night in a boarded-up house")
set(CPACK_PACKAGE_DESCRIPTION
    "A first-person survival game: fell trees by day, nail boards across the windows, and live through the night.")
set(CPACK_PACKAGE_CONTACT "Gloamfield developers <gloamfield@localhost>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
# The dependencies are read from the program's own libraries by dpkg-shlibdeps, so they
# follow what it was built against; beside them, the OpenGL libraries SDL loads at run time
# (GLX on X11, EGL on Wayland), which no link names.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libgl1, libegl1")
include(CPack)
