# Installation layout and the Debian package.
#
#   cmake --install build [--prefix DIR]   installs under DIR (default /usr/local)
#   cpack -G DEB --config build/CPackConfig.cmake   builds brindle_<version>-1_<arch>.deb
#
# The programs find their help document in ../share/brindle/ beside bin/.

include(GNUInstallDirs)

set(BRINDLE_DATA_DIR ${CMAKE_INSTALL_DATADIR}/brindle)

# The build tree has the installed layout for the help document too, so that
# build/bin/brindle finds it without knowing where its sources were.
configure_file(${CMAKE_SOURCE_DIR}/help/brindle-help.html
               ${CMAKE_BINARY_DIR}/share/brindle/brindle-help.html COPYONLY)

install(TARGETS brindle-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
set(BRINDLE_MAN_PAGES brindle-cli.1)

if(BRINDLE_GUI)
    install(TARGETS brindle RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    list(APPEND BRINDLE_MAN_PAGES brindle.1)
    install(FILES ${CMAKE_SOURCE_DIR}/help/brindle-help.html DESTINATION ${BRINDLE_DATA_DIR})
    install(FILES ${CMAKE_SOURCE_DIR}/desktop/brindle.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES ${CMAKE_SOURCE_DIR}/desktop/brindle-mime.xml
            DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME brindle.xml)
    install(FILES ${CMAKE_SOURCE_DIR}/resources/brindle.svg
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
    foreach(size 16 32 48 64 128 256)
        install(FILES ${CMAKE_SOURCE_DIR}/resources/brindle-${size}.png
                DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
                RENAME brindle.png)
    endforeach()
endif()

# The license and the package's change log, where Debian keeps them.
set(BRINDLE_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/brindle)
install(FILES ${CMAKE_SOURCE_DIR}/debian/copyright DESTINATION ${BRINDLE_DOC_DIR})

# Manual pages, compressed as Debian installs them.
find_program(BRINDLE_GZIP gzip)
foreach(page IN LISTS BRINDLE_MAN_PAGES)
    set(source ${CMAKE_SOURCE_DIR}/man/${page})
    if(BRINDLE_GZIP)
        set(compressed ${CMAKE_BINARY_DIR}/man/${page}.gz)
        add_custom_command(OUTPUT ${compressed}
            COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
            COMMAND ${BRINDLE_GZIP} -9 -n -c ${source} > ${compressed}
            DEPENDS ${source} VERBATIM)
        list(APPEND BRINDLE_MAN_OUTPUTS ${compressed})
        install(FILES ${compressed} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    else()
        install(FILES ${source} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    endif()
endforeach()
if(BRINDLE_GZIP)
    set(changelog ${CMAKE_BINARY_DIR}/doc/changelog.Debian.gz)
    add_custom_command(OUTPUT ${changelog}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/doc
        COMMAND ${BRINDLE_GZIP} -9 -n -c ${CMAKE_SOURCE_DIR}/debian/changelog > ${changelog}
        DEPENDS ${CMAKE_SOURCE_DIR}/debian/changelog VERBATIM)
    list(APPEND BRINDLE_MAN_OUTPUTS ${changelog})
    install(FILES ${changelog} DESTINATION ${BRINDLE_DOC_DIR})
else()
    install(FILES ${CMAKE_SOURCE_DIR}/debian/changelog DESTINATION ${BRINDLE_DOC_DIR}
            RENAME changelog.Debian)
endif()
if(BRINDLE_MAN_OUTPUTS)
    add_custom_target(brindle_man ALL DEPENDS ${BRINDLE_MAN_OUTPUTS})
endif()

# The Debian package.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME brindle)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Brindle developers <brindle@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "address-book manager for Corvid address books")
set(CPACK_PACKAGE_DESCRIPTION
    "Brindle reads the binary address book of the Japanese mail client Corvid
(Address.ndb and its copies .nd0 to .nd9), checks every card against the
client's rules, shows the cards in a sortable, searchable list, lets you
create, edit, merge and delete cards and groups, and writes the file back in
the same layout. It imports and exports list text, CSV, vCard and Eudora
nickname files, compares, slims and repairs address books. The user
interface is Japanese.

brindle-cli offers the address-book operations on the command line.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION mail)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The Qt platform plugins, the Japanese font of the address list and Qt's own
# Japanese texts are loaded at run time, so no library link names them.
set(BRINDLE_RUNTIME_DEPENDS "qt6-qpa-plugins, fonts-ipafont-gothic, qt6-translations-l10n")
find_program(BRINDLE_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(BRINDLE_DPKG_SHLIBDEPS)
    # The linked libraries (Qt, the C and C++ runtime) with their versions.
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "${BRINDLE_RUNTIME_DEPENDS}")
else()
    set(CPACK_DEBIAN_PACKAGE_DEPENDS
        "libqt6core6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6widgets6 (>= 6.4), ${BRINDLE_RUNTIME_DEPENDS}")
endif()
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "hicolor-icon-theme, shared-mime-info, desktop-file-utils, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
