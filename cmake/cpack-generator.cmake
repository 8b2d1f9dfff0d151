# Read by cpack once for each package generator (CPACK_PROJECT_CONFIG_FILE).
#
# Without dpkg-shlibdeps CPack would make a Debian package that declares
# no dependencies at all; stop instead.
if(CPACK_GENERATOR STREQUAL "DEB")
  find_program(TALLYRA_DPKG_SHLIBDEPS dpkg-shlibdeps)
  if(NOT TALLYRA_DPKG_SHLIBDEPS)
    message(FATAL_ERROR "dpkg-shlibdeps is missing (Debian package dpkg-dev): "
                        "the Debian package's dependencies cannot be computed.")
  endif()
endif()
