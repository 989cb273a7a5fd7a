# Compiler settings shared by every target of the project.
#
# Narrow string literals are compiled to code page 936 bytes, the encoding of
# every text the program stores; wide literals (UI captions) stay UTF-16.
# GCC is told GB18030: for every character of code page 936 but the euro sign
# (never a literal here) its bytes are the same, and unlike CP936 it can also
# encode the odd symbol in the standard headers (<chrono>'s micro sign).
# clang compiles narrow literals to UTF-8 only, so the program's narrow
# literals are ASCII or byte escapes; the tests, which write GBK texts as plain
# literals, are built with g++ and MSVC only.
add_library(horavel_options INTERFACE)
if(MSVC)
  target_compile_options(horavel_options INTERFACE /W4 /utf-8 /execution-charset:.936)
else()
  target_compile_options(horavel_options INTERFACE
    -Wall -Wextra -Wpedantic -Wconversion -Wno-sign-conversion -finput-charset=UTF-8
    # A row built from its texts and picture takes its other fields' defaults
    # (it fires once): members left out of a braced list are meant so.
    -Wno-missing-field-initializers)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    target_compile_options(horavel_options INTERFACE -fexec-charset=GB18030)
  endif()
endif()
if(WIN32)
  target_compile_definitions(horavel_options INTERFACE
    UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0A00 WINVER=0x0A00)
  if(MINGW)
    target_link_options(horavel_options INTERFACE -static -static-libgcc -static-libstdc++ $<$<CONFIG:Release>:-s>
      # Sections on page boundaries in the file too, so the loader maps the
      # image instead of copying it (Wine copies a whole image whose
      # sections are not page-aligned in the file: start time and memory).
      -Wl,--file-alignment,0x1000)
  endif()
endif()

option(HORAVEL_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(HORAVEL_SANITIZE)
  target_compile_options(horavel_options INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_link_options(horavel_options INTERFACE -fsanitize=address,undefined)
endif()
