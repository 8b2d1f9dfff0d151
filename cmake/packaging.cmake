# Installation and release packages, included by the top-level
# CMakeLists.txt after the program's targets.
#
# Windows (zip): everything in one folder, so that a job file can be
# dropped onto tallyra.exe beside the sample, and the GAP package in its
# gap/pkg/tallyra subfolder. Elsewhere the usual places under the prefix:
# bin/tallyra, share/man/man1/tallyra.1.gz, share/doc/tallyra/ and the GAP
# package in share/gap/pkg/tallyra, where Debian's GAP finds packages (in
# /usr/share/gap and /usr/local/share/gap). The single file tallyra.g,
# which loads the package, stays where it was: share/tallyra/gap (zip:
# gap). The tar.gz holds them under its top folder, the Debian package
# under /usr.
include(GNUInstallDirs)
if(WIN32)
  set(TALLYRA_BIN_DIR .)
  set(TALLYRA_DOC_DIR .)
  set(TALLYRA_GAP_DIR gap)
  set(TALLYRA_GAP_PACKAGE_DIR gap/pkg/tallyra)
else()
  set(TALLYRA_BIN_DIR ${CMAKE_INSTALL_BINDIR})
  set(TALLYRA_DOC_DIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/tallyra)
  set(TALLYRA_GAP_DIR ${CMAKE_INSTALL_DATAROOTDIR}/tallyra/gap)
  set(TALLYRA_GAP_PACKAGE_DIR ${CMAKE_INSTALL_DATAROOTDIR}/gap/pkg/tallyra)
endif()
install(TARGETS tallyra RUNTIME DESTINATION ${TALLYRA_BIN_DIR})
# The text files, with CR LF line ends for Windows (the sample has them
# already), as they are elsewhere.
function(tallyra_text_file source destination rename)
  if(WIN32)
    file(READ ${PROJECT_SOURCE_DIR}/${source} text)
    string(REPLACE "\r\n" "\n" text "${text}")
    string(REPLACE "\n" "\r\n" text "${text}")
    set(copy ${PROJECT_BINARY_DIR}/crlf/${rename})
    file(WRITE ${copy} "${text}")
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${source})
    install(FILES ${copy} DESTINATION ${destination})
  else()
    install(FILES ${source} DESTINATION ${destination} RENAME ${rename})
  endif()
endfunction()
install(FILES Tallyra-SampleData.txt DESTINATION ${TALLYRA_DOC_DIR})
tallyra_text_file(docs/packages.md ${TALLYRA_DOC_DIR} packages.md)
# The source README is for developers; the packages get the users' one.
tallyra_text_file(docs/user-readme.md ${TALLYRA_DOC_DIR} README.md)
tallyra_text_file(docs/copyright ${TALLYRA_DOC_DIR} copyright)
# Counting from GAP: Read("<folder>/tallyra.g"); loads the package.
tallyra_text_file(gap/tallyra.g ${TALLYRA_GAP_DIR} tallyra.g)

# The GAP package, as it stands in gap/, and its manual, which GAP makes
# with GAPDoc (Debian: gap-core, gap-gapdoc) in the build folder, with its
# PDF version where pdflatex is found. The
# package and the program have one version.
foreach(file PackageInfo.g doc/tallyra.xml)
  file(STRINGS ${PROJECT_SOURCE_DIR}/gap/${file} version_line REGEX "Version := \"|ENTITY VERSION \"")
  string(REGEX MATCH "\"[0-9.]+\"" version "${version_line}")
  if(NOT version STREQUAL "\"${PROJECT_VERSION}\"")
    message(FATAL_ERROR "gap/${file} gives the version ${version}, the project ${PROJECT_VERSION}")
  endif()
endforeach()
install(FILES gap/PackageInfo.g gap/init.g gap/read.g gap/makedoc.g gap/README.md
        DESTINATION ${TALLYRA_GAP_PACKAGE_DIR})
install(DIRECTORY gap/lib gap/tst DESTINATION ${TALLYRA_GAP_PACKAGE_DIR})
find_program(TALLYRA_GAP gap)
set(TALLYRA_GAP_MANUAL ${PROJECT_BINARY_DIR}/gap/doc)
if(TALLYRA_GAP)
  file(MAKE_DIRECTORY ${TALLYRA_GAP_MANUAL})
  add_custom_command(OUTPUT ${TALLYRA_GAP_MANUAL}/manual.six
    COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/gap/doc/tallyra.xml ${TALLYRA_GAP_MANUAL}
    COMMAND ${TALLYRA_GAP} -q --quitonbreak ${PROJECT_SOURCE_DIR}/gap/makedoc.g
    WORKING_DIRECTORY ${TALLYRA_GAP_MANUAL}
    DEPENDS gap/doc/tallyra.xml gap/makedoc.g
    COMMENT "Making the GAP package's manual")
  add_custom_target(tallyra_gap_manual ALL DEPENDS ${TALLYRA_GAP_MANUAL}/manual.six)
  install(DIRECTORY ${TALLYRA_GAP_MANUAL}/ DESTINATION ${TALLYRA_GAP_PACKAGE_DIR}/doc
          FILES_MATCHING PATTERN "*.xml" PATTERN "*.six" PATTERN "*.txt" PATTERN "*.html"
                         PATTERN "*.css" PATTERN "*.js" PATTERN "manual.pdf"
                         PATTERN "mathjax" EXCLUDE)
endif()
# The packages are made only with the manual (cmake/cpack-generator.cmake).
set(CPACK_TALLYRA_GAP_MANUAL ${TALLYRA_GAP_MANUAL}/manual.six)

if(NOT WIN32)
  # The manual page, with the version put in, compressed as Debian wants it.
  find_program(TALLYRA_GZIP gzip REQUIRED)
  set(TALLYRA_MAN_PAGE ${PROJECT_BINARY_DIR}/man/tallyra.1)
  configure_file(docs/tallyra.1 ${TALLYRA_MAN_PAGE} @ONLY)
  add_custom_command(OUTPUT ${TALLYRA_MAN_PAGE}.gz
    COMMAND ${TALLYRA_GZIP} -9 -n -c ${TALLYRA_MAN_PAGE} > ${TALLYRA_MAN_PAGE}.gz
    DEPENDS ${TALLYRA_MAN_PAGE}
    COMMENT "Compressing the manual page")
  add_custom_target(tallyra_man_page ALL DEPENDS ${TALLYRA_MAN_PAGE}.gz)
  install(FILES ${TALLYRA_MAN_PAGE}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

set(CPACK_PACKAGE_NAME Tallyra)
set(CPACK_PACKAGE_VENDOR "The Tallyra developers")
set(CPACK_PACKAGE_CONTACT "The Tallyra developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Counts the subuniverses of finite partial algebras")
# The long description, in lines that fit Debian's package listings.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "Tallyra counts |Sub(A)|, the number of subuniverses of a finite algebra or"
  "partial algebra A whose operations are at most binary: the subsets of A"
  "that are closed under every operation given. A plain-text job file"
  "describes the algebras by their elements and operation tables; each count"
  "is written to the screen and to a new result file beside the job file.")
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
if(WIN32)
  set(CPACK_GENERATOR ZIP)
else()
  set(CPACK_GENERATOR TGZ DEB)
endif()

# The Debian package: tallyra_<version>_<architecture>.deb, installing
# under /usr. dpkg-shlibdeps (package dpkg-dev) computes the dependencies;
# cmake/cpack-generator.cmake stops the packaging when it or file is missing.
set(CPACK_DEBIAN_PACKAGE_NAME tallyra)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION math)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The GAP package in /usr/share/gap/pkg/tallyra is for GAP's users.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS gap)
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/cmake/cpack-generator.cmake)

include(CPack)
