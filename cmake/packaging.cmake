# Installation and release packages, included by the top-level
# CMakeLists.txt after the program's targets.
#
# Windows (zip): everything in one folder, so that a job file can be
# dropped onto tallyra.exe beside the sample, and the GAP file in its gap/
# subfolder. Elsewhere the usual places under the prefix: bin/tallyra,
# share/man/man1/tallyra.1.gz, share/doc/tallyra/ and
# share/tallyra/gap/tallyra.g. The tar.gz holds them under its top folder,
# the Debian package under /usr.
include(GNUInstallDirs)
if(WIN32)
  set(TALLYRA_BIN_DIR .)
  set(TALLYRA_DOC_DIR .)
  set(TALLYRA_GAP_DIR gap)
else()
  set(TALLYRA_BIN_DIR ${CMAKE_INSTALL_BINDIR})
  set(TALLYRA_DOC_DIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/tallyra)
  set(TALLYRA_GAP_DIR ${CMAKE_INSTALL_DATAROOTDIR}/tallyra/gap)
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
# Counting from GAP: Read("<folder>/tallyra.g");
tallyra_text_file(gap/tallyra.g ${TALLYRA_GAP_DIR} tallyra.g)

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
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/cmake/cpack-generator.cmake)

include(CPack)
