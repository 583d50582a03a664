# What `cmake --install` (and `make install PREFIX=...`) puts where, and the .deb `make package`
# builds. The game recognises an installed copy by its layout - the executable in PREFIX/bin and
# its data in PREFIX/share/quorvantille (platform/GameFolders.h) - so these destinations are fixed
# rather than taken from GNUInstallDirs.

# The icon, drawn by code at build time (no image is kept in the repository).
add_executable(qv-make-icon tools/icon/MakeIcon.cpp)
target_link_libraries(qv-make-icon PRIVATE qv_platform)
set(icon_sizes 48 128)
set(icon_files "")
foreach(size ${icon_sizes})
  set(icon ${PROJECT_BINARY_DIR}/icons/${size}/quorvantille.png)
  add_custom_command(
    OUTPUT ${icon}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/icons/${size}
    COMMAND qv-make-icon ${icon} ${size}
    DEPENDS qv-make-icon
    VERBATIM)
  list(APPEND icon_files ${icon})
  install(FILES ${icon} DESTINATION share/icons/hicolor/${size}x${size}/apps)
endforeach()
add_custom_target(icons ALL DEPENDS ${icon_files})

foreach(page quorvantille.6 qv-tool.1)
  set(VERSION ${PROJECT_VERSION})
  configure_file(packaging/${page} ${PROJECT_BINARY_DIR}/man/${page} @ONLY)
  string(REGEX REPLACE ".*\\." "" section ${page})
  install(FILES ${PROJECT_BINARY_DIR}/man/${page} DESTINATION share/man/man${section})
endforeach()

install(TARGETS quorvantille qv-tool RUNTIME DESTINATION bin)
install(FILES packaging/quorvantille.desktop DESTINATION share/applications)
# The demo data the build wrote beside the game; tree files made by runs in the build folder stay
# behind (an installed game keeps its own in the user's cache).
install(FILES ${PROJECT_BINARY_DIR}/quorvantille.ini DESTINATION share/quorvantille)
install(DIRECTORY ${PROJECT_BINARY_DIR}/levels ${PROJECT_BINARY_DIR}/objects
        DESTINATION share/quorvantille PATTERN bop EXCLUDE)

# `make install` and `make package` build what they need first (Makefile); the install step itself
# does not rebuild every target, tests and benchmarks included.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quorvantille)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "first-person 3D hide-and-seek game")
set(CPACK_PACKAGE_DESCRIPTION
    "Walk, run, jump and crouch through levels built from .3ds model files while ghosts roam, hide, count and seek. Includes qv-tool for level authors.")
set(CPACK_PACKAGE_CONTACT "Quorvantille developers <quorvantille@localhost>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)  # the build keeps debug information; the package need not
set(CPACK_DEBIAN_PACKAGE_SECTION games)
# Shared libraries are found by dpkg-shlibdeps; the font and the GL driver are looked up at run
# time, so they are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, libgl1-mesa-dri")
include(CPack)
