# Installation in the freedesktop places and the Debian package.
#
#   cmake --install build --prefix /usr/local      (or: make install PREFIX=/usr/local)
#   cmake --build build --target package           (or: make package): pinewood-browser_*.deb
#
# bin/pinbro, bin/pinbro-cli; share/applications/pinewood-browser.desktop, made from the
# template the program's own start-up offer writes too (data/pinewood-browser.desktop.in);
# share/icons/hicolor/{scalable,NxN}/apps/pinewood-browser.{svg,png}, the PNG sizes rendered
# from data/pinewood-browser.svg at build time; the translations in
# share/pinewood-browser/translations; the licence in share/doc/pinewood-browser/copyright
# and share/licenses/pinewood-browser/LICENSE.
include(GNUInstallDirs)

set(PINBRO_PACKAGE_NAME pinewood-browser)
set(PINBRO_ICON_SIZES 16 22 24 32 48 64 128 256)

find_program(PINBRO_RSVG_CONVERT rsvg-convert)
if(NOT PINBRO_RSVG_CONVERT)
  message(FATAL_ERROR "rsvg-convert (Debian package librsvg2-bin) renders the program's icon; "
                      "scripts/install-deps.sh installs it")
endif()

set(icon_svg ${CMAKE_SOURCE_DIR}/data/pinewood-browser.svg)
set(icon_pngs "")
foreach(size ${PINBRO_ICON_SIZES})
  set(png ${CMAKE_BINARY_DIR}/icons/${size}x${size}/pinewood-browser.png)
  add_custom_command(OUTPUT ${png}
                     COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icons/${size}x${size}
                     COMMAND ${PINBRO_RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${icon_svg}
                     DEPENDS ${icon_svg} VERBATIM)
  list(APPEND icon_pngs ${png})
  install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
add_custom_target(pinbro_icons ALL DEPENDS ${icon_pngs})
install(FILES ${icon_svg} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# The installed program is on the PATH: the entry starts it by its name.
set(PINBRO_ENTRY_NAME "Pinewood Browser")
set(PINBRO_ENTRY_EXEC pinbro)
configure_file(${CMAKE_SOURCE_DIR}/data/pinewood-browser.desktop.in
               ${CMAKE_BINARY_DIR}/pinewood-browser.desktop @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/pinewood-browser.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

install(TARGETS pinbro pinbro-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${CMAKE_BINARY_DIR}/app/translations/
        DESTINATION ${CMAKE_INSTALL_DATADIR}/${PINBRO_PACKAGE_NAME}/translations
        FILES_MATCHING PATTERN "*.qm")
install(FILES ${CMAKE_SOURCE_DIR}/LICENSE
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${PINBRO_PACKAGE_NAME} RENAME copyright)
install(FILES ${CMAKE_SOURCE_DIR}/LICENSE
        DESTINATION ${CMAKE_INSTALL_DATADIR}/licenses/${PINBRO_PACKAGE_NAME})

# The Debian package. Its dependencies are found by dpkg-shlibdeps from the programs' shared
# libraries, so they name Debian's own packages (libqt6widgets6, libminizip1, ...).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${PINBRO_PACKAGE_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Pinewood Browser developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Dual-pane file manager")
set(CPACK_PACKAGE_DESCRIPTION
    "A dual-pane file manager with a folder tree and a list in each panel, zip archives\n browsed as folders, a recycle bin, encrypted files, a registry editor and a search.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Pinewood Browser developers <pinbro@localhost>")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "hicolor-icon-theme, xdg-utils")
set(CPACK_STRIP_FILES ON)
# Only the program's files: no test or benchmark component.
set(CPACK_COMPONENTS_ALL Unspecified)
include(CPack)
