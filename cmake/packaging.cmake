# Installation and release packages, included by the top-level
# CMakeLists.txt after the program's targets. On Windows everything sits
# in one folder, so that a job file can be dropped onto tallyra.exe beside
# the sample; elsewhere the usual bin/ and share/doc/ places.
include(GNUInstallDirs)
if(WIN32)
  set(TALLYRA_BIN_DIR .)
  set(TALLYRA_DOC_DIR .)
else()
  set(TALLYRA_BIN_DIR ${CMAKE_INSTALL_BINDIR})
  set(TALLYRA_DOC_DIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/tallyra)
endif()
install(TARGETS tallyra RUNTIME DESTINATION ${TALLYRA_BIN_DIR})
install(FILES Tallyra-SampleData.txt docs/packages.md DESTINATION ${TALLYRA_DOC_DIR})
# The source README is for developers; the packages get the users' one.
install(FILES docs/user-readme.md DESTINATION ${TALLYRA_DOC_DIR} RENAME README.md)

set(CPACK_PACKAGE_NAME Tallyra)
set(CPACK_PACKAGE_VENDOR "The Tallyra developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Counts the subuniverses of finite partial algebras")
set(CPACK_STRIP_FILES ON)
if(WIN32)
  set(CPACK_GENERATOR ZIP)
else()
  set(CPACK_GENERATOR TGZ)
endif()
include(CPack)
