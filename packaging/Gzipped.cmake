# Debian keeps manual pages and changelogs compressed with gzip -9, without a
# name or time stamp in the header, so that a file gives the same bytes at
# every build. The target kelvado-docs makes every such file.
find_program(KELVADO_GZIP gzip REQUIRED)
add_custom_target(kelvado-docs ALL)

# Installs `file`, which lies in the build folder, as `file`.gz into `destination`.
function(kelvado_install_gzipped file destination)
  get_filename_component(name "${file}" NAME)
  get_filename_component(folder "${file}" DIRECTORY)
  add_custom_command(OUTPUT "${file}.gz"
                     COMMAND ${KELVADO_GZIP} -9nkf "${name}"
                     DEPENDS "${file}"
                     WORKING_DIRECTORY "${folder}"
                     VERBATIM)
  add_custom_target("kelvado-docs-${name}" DEPENDS "${file}.gz")
  add_dependencies(kelvado-docs "kelvado-docs-${name}")
  install(FILES "${file}.gz" DESTINATION "${destination}")
endfunction()
