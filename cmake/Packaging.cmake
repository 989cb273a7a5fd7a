# The release zip. `cmake --build --preset windows --target package` writes
# build/windows/Horavel-<version>-win64.zip, one folder of that name holding
# Horavel.exe and ReadMe.txt, and Horavel-<version>-win64.zip.sha256 beside it.

# The read-me for Windows users: CR LF line ends, UTF-8 with a byte order mark
# (kept in the source) so that Notepad shows its Chinese on any Windows.
configure_file(${PROJECT_SOURCE_DIR}/packaging/ReadMe.txt ${PROJECT_BINARY_DIR}/packaging/ReadMe.txt
               @ONLY NEWLINE_STYLE CRLF)

# Only these two go into the zip: nothing else of the project installs anything.
install(TARGETS Horavel RUNTIME DESTINATION .)
install(FILES ${PROJECT_BINARY_DIR}/packaging/ReadMe.txt DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Horavel)
set(CPACK_PACKAGE_VENDOR Horavel)
set(horavel_package Horavel-${PROJECT_VERSION}-win64)
set(CPACK_PACKAGE_FILE_NAME ${horavel_package})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_PACKAGE_CHECKSUM SHA256)
set(CPACK_VERBATIM_VARIABLES ON)
include(CPack)

# The zip as a user gets it: made afresh by cpack into a folder of the test.
add_test(NAME release_zip
  COMMAND ${CMAKE_COMMAND} -DCPACK=${CMAKE_CPACK_COMMAND} -DCONFIG=${PROJECT_BINARY_DIR}/CPackConfig.cmake
          -DWORK=${PROJECT_BINARY_DIR}/release_zip_test -DNAME=${horavel_package}
          -DEXE=$<TARGET_FILE:Horavel>
          -P ${PROJECT_SOURCE_DIR}/tests/package/release_zip_test.cmake)
