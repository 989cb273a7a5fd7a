# The files that Horavel.rc embeds, as dependencies of its resource object.
# CMake scans a .rc file only for #include, so without this the executable is
# not rebuilt when a picture, sound or the manifest changes. include() this in
# the directory that adds Horavel.rc to a target (source file properties are
# per directory).
file(GLOB horavel_embedded_files CONFIGURE_DEPENDS
  ${CMAKE_CURRENT_LIST_DIR}/Horavel.manifest
  ${CMAKE_CURRENT_LIST_DIR}/pictures/*.bmp
  ${CMAKE_CURRENT_LIST_DIR}/pictures/*.ico
  ${CMAKE_CURRENT_LIST_DIR}/pictures/*.gif
  ${CMAKE_CURRENT_LIST_DIR}/pictures/*.png
  ${CMAKE_CURRENT_LIST_DIR}/sounds/*.wav)
set_property(SOURCE ${CMAKE_CURRENT_LIST_DIR}/Horavel.rc APPEND PROPERTY OBJECT_DEPENDS ${horavel_embedded_files})
