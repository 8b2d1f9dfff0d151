# Read by cpack once for each package generator (CPACK_PROJECT_CONFIG_FILE).
#
# The Debian package's dependencies are computed with dpkg-shlibdeps
# (Debian package dpkg-dev), which CPack runs on the files that `file`
# finds to be programs. Without dpkg-shlibdeps CPack would make a package
# that declares no dependencies at all; stop instead.
if(CPACK_GENERATOR STREQUAL "DEB")
  find_program(TALLYRA_DPKG_SHLIBDEPS dpkg-shlibdeps)
  find_program(TALLYRA_FILE file)
  if(NOT TALLYRA_DPKG_SHLIBDEPS OR NOT TALLYRA_FILE)
    message(FATAL_ERROR "The Debian package needs dpkg-shlibdeps and file to compute its "
                        "dependencies: install the Debian packages dpkg-dev and file.")
  endif()
endif()

# Every package holds the GAP package with its manual, which the build
# makes when GAP is found as it is configured.
if(NOT EXISTS "${CPACK_TALLYRA_GAP_MANUAL}")
  message(FATAL_ERROR "The packages hold the GAP package's manual, which GAP makes with "
                      "GAPDoc: install them (bash scripts/install-packages.sh gap), then "
                      "configure and build again.")
endif()
