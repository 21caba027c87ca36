# The Debian package, made by CPack from the install rules: the program, its
# desktop entry, icon, AppStream metadata, manual page and systemd user units
# under /usr. Its dependencies come from the libraries the program links
# (dpkg-shlibdeps, from dpkg-dev).
# The default address is a placeholder that reaches no one (.invalid): whoever
# hands the package on gives their own.
set(KELVADO_PACKAGE_MAINTAINER "The Kelvado developers <developers@kelvado.invalid>"
    CACHE STRING "The Maintainer field of the Debian package (name <address>)")

install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/kelvado)

# The version is Kelvado's own (no Debian revision), so the changelog is
# changelog.gz; its newest entry must be this version.
file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/changelog changelog_top LIMIT_COUNT 1)
if(NOT changelog_top MATCHES "^kelvado \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "packaging/changelog begins with '${changelog_top}': add an entry for ${PROJECT_VERSION}")
endif()
configure_file(${CMAKE_CURRENT_LIST_DIR}/changelog ${CMAKE_CURRENT_BINARY_DIR}/changelog COPYONLY)
kelvado_install_gzipped(${CMAKE_CURRENT_BINARY_DIR}/changelog ${CMAKE_INSTALL_DATADIR}/doc/kelvado)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kelvado)
set(CPACK_PACKAGE_VENDOR "The Kelvado developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "download the recordings of a ReplayTV recorder")
# Debian wants the long description in lines below 80 columns; CPack indents them.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
       "Kelvado lists the recordings on a networked ReplayTV recorder and\n"
       "downloads the ones you tick, one after another, with progress, saving\n"
       "each as an MPEG file named from its title and recording date.\n"
       "\n"
       "It drives the console tools Tolvane and Tamrick, which are not part of\n"
       "this package: Kelvado finds them in its working folder or on PATH.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${KELVADO_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)
