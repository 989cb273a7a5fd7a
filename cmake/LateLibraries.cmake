# System libraries loaded on their first call instead of at start: the
# picture decoder, COM, accessibility, sound and the shell are first needed
# after the main window shows, and each library loaded up front is time the
# window waits for (under Wine these cost about 60 ms of every start).
#
#   horavel_late_libraries(TARGET gdiplus ole32 ...)
#
# links TARGET to the named system libraries with delay loading: MSVC's
# /DELAYLOAD; for MinGW an import library made once from the MinGW one's
# functions: for GNU ld, which has no such option, a delay-import library;
# for lld, whose --delayload takes only import libraries of the short
# (MSVC) form, one of that form.

function(horavel_late_libraries target)
  foreach(name IN LISTS ARGN)
    if(MSVC)
      target_link_libraries(${target} PUBLIC ${name} delayimp)
      target_link_options(${target} PUBLIC /DELAYLOAD:${name}.dll)
    else()
      # The import library after it still gives what is not a function
      # (the GUIDs some import libraries carry).
      target_link_libraries(${target} PUBLIC ${CMAKE_BINARY_DIR}/late-libraries/lib${name}.a ${name})
      if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")  # our clang toolchain links with lld
        target_link_options(${target} PUBLIC -Wl,--delayload=${name}.dll)
      endif()
      horavel_make_late_import_library(${name})
    endif()
  endforeach()
endfunction()

function(horavel_make_late_import_library name)
  set(dir ${CMAKE_BINARY_DIR}/late-libraries)
  if(EXISTS ${dir}/lib${name}.a)
    return()
  endif()
  find_library(import_${name} NAMES lib${name}.a ${name} REQUIRED NO_CACHE)
  execute_process(COMMAND ${CMAKE_NM} --defined-only -g ${import_${name}}
                  OUTPUT_VARIABLE symbols COMMAND_ERROR_IS_FATAL ANY)
  # The functions are the import library's text symbols; its own
  # bookkeeping symbols start with an underscore.
  string(REGEX MATCHALL "[0-9a-f]+ T [A-Za-z][A-Za-z0-9_@]*" functions "${symbols}")
  list(TRANSFORM functions REPLACE "^[0-9a-f]+ T " "")
  list(REMOVE_DUPLICATES functions)
  list(JOIN functions "\n" exports)
  file(MAKE_DIRECTORY ${dir})
  file(WRITE ${dir}/${name}.def "LIBRARY ${name}.dll\nEXPORTS\n${exports}\n")
  if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    find_program(llvm_dlltool NAMES llvm-dlltool REQUIRED)
    execute_process(COMMAND ${llvm_dlltool} -m i386:x86-64 -d ${dir}/${name}.def -D ${name}.dll
                            -l ${dir}/lib${name}.a
                    COMMAND_ERROR_IS_FATAL ANY)
  else()
    find_program(dlltool NAMES x86_64-w64-mingw32-dlltool dlltool REQUIRED)
    execute_process(COMMAND ${dlltool} --input-def ${dir}/${name}.def --dllname ${name}.dll
                            --output-delaylib ${dir}/lib${name}.a
                    COMMAND_ERROR_IS_FATAL ANY)
  endif()
endfunction()
