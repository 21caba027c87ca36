# The manual page kelvado(1), carrying the program's version, compressed as
# Debian keeps manual pages: gzip -9 without a name or time stamp, so the same
# page gives the same bytes.
find_program(KELVADO_GZIP gzip REQUIRED)
configure_file(${CMAKE_CURRENT_LIST_DIR}/kelvado.1.in ${CMAKE_CURRENT_BINARY_DIR}/kelvado.1 @ONLY)
add_custom_command(OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/kelvado.1.gz
                   COMMAND ${KELVADO_GZIP} -9nkf kelvado.1
                   DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/kelvado.1
                   WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
                   VERBATIM)
add_custom_target(kelvado-manual ALL DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/kelvado.1.gz)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/kelvado.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
