# Makes the release zip with cpack and checks it the way a user meets it: the
# checksum file matches, the zip holds one folder with exactly Horavel.exe and
# ReadMe.txt, the exe is byte for byte the one built, and the read-me opens in
# Notepad (byte order mark, CR LF line ends).
# cmake -DCPACK=... -DCONFIG=CPackConfig.cmake -DWORK=dir -DNAME=Horavel-x-win64 -DEXE=Horavel.exe -P this
cmake_minimum_required(VERSION 3.25)

function(fail)
  message(FATAL_ERROR "release zip: ${ARGN}")
endfunction()

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/unpacked)
execute_process(COMMAND ${CPACK} --config ${CONFIG} -B ${WORK}
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  fail("cpack failed:\n${output}")
endif()

set(zip ${WORK}/${NAME}.zip)
if(NOT EXISTS ${zip})
  fail("no ${NAME}.zip")
endif()
if(NOT EXISTS ${zip}.sha256)
  fail("no ${NAME}.zip.sha256 beside the zip")
endif()
file(SHA256 ${zip} actual)
file(READ ${zip}.sha256 recorded)
string(STRIP "${recorded}" recorded)
if(NOT recorded STREQUAL "${actual}  ${NAME}.zip")
  fail("checksum file says '${recorded}', the zip's SHA-256 is ${actual}")
endif()

execute_process(COMMAND ${CMAKE_COMMAND} -E tar tf ${zip} RESULT_VARIABLE result OUTPUT_VARIABLE listing)
if(NOT result EQUAL 0)
  fail("cannot list ${zip}")
endif()
string(REPLACE "\n" ";" entries "${listing}")
list(FILTER entries EXCLUDE REGEX "(^$|/$)")
list(SORT entries)
set(expected ${NAME}/Horavel.exe ${NAME}/ReadMe.txt)
if(NOT entries STREQUAL expected)
  fail("the zip holds '${entries}', expected '${expected}'")
endif()

execute_process(COMMAND ${CMAKE_COMMAND} -E tar xf ${zip} WORKING_DIRECTORY ${WORK}/unpacked RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  fail("cannot unpack ${zip}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${EXE} ${WORK}/unpacked/${NAME}/Horavel.exe
                RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  fail("Horavel.exe in the zip differs from ${EXE}")
endif()

file(READ ${WORK}/unpacked/${NAME}/ReadMe.txt readme HEX)
if(NOT readme MATCHES "^efbbbf")
  fail("ReadMe.txt lacks the UTF-8 byte order mark")
endif()
# Every LF byte (0a) follows a CR (0d): hex pairs, so look at even offsets only.
string(REGEX REPLACE "(..)" "\\1 " pairs "${readme}")
string(REPLACE "0d 0a " "" rest "${pairs}")
if(rest MATCHES "0a ")
  fail("ReadMe.txt has a line ending in a bare LF")
endif()
