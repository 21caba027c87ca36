# The manual page kelvado(1), carrying the program's version.
configure_file(${CMAKE_CURRENT_LIST_DIR}/kelvado.1.in ${CMAKE_CURRENT_BINARY_DIR}/kelvado.1 @ONLY)
kelvado_install_gzipped(${CMAKE_CURRENT_BINARY_DIR}/kelvado.1 ${CMAKE_INSTALL_MANDIR}/man1)
