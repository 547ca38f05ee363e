# Language resources from one .rc STRINGTABLE source, on Windows and Linux.
#
#   gnutil_add_resource_library(<target> <source.rc>
#                               [OUTPUT_NAME <name>] [OUTPUT_DIRECTORY <dir>])
#     A resource library: on Windows a resource-only DLL (<name>.dll) made by
#     the resource compiler (windres), on Linux a shared object (<name>.so)
#     carrying the same strings in the table that gnutil's OSLoadString reads.
#     Put it into <program dir>/ResDLLs/<language id>/ for OSAttachLocaleResDLL.
#
#   gnutil_add_program_strings(<target> <source.rc>)
#     Gives an executable target its own string table, from which OSLoadString
#     loads what no attached library has. One per program.
#
# The .rc file is UTF-8; see gnutil_rcgen.cpp (the table generator, installed
# beside this file; tools/rcgen/ in gnutil's own tree) for the subset of the
# resource language that both sides accept alike.
include_guard(GLOBAL)

if(NOT GNUTIL_RCGEN_SOURCE)
  set(GNUTIL_RCGEN_SOURCE "${CMAKE_CURRENT_LIST_DIR}/gnutil_rcgen.cpp")
endif()

function(_gnutil_windres out_var)
  if(CMAKE_RC_COMPILER)
    set(${out_var} "${CMAKE_RC_COMPILER}" PARENT_SCOPE)
    return()
  endif()
  get_filename_component(cxx_name "${CMAKE_CXX_COMPILER}" NAME)
  string(REGEX REPLACE "g\\+\\+(-posix|-win32)?(\\.exe)?$" "windres" windres_name "${cxx_name}")
  find_program(GNUTIL_WINDRES NAMES ${windres_name} windres)
  if(NOT GNUTIL_WINDRES)
    message(FATAL_ERROR "gnutil resources: no resource compiler (windres) found")
  endif()
  set(${out_var} "${GNUTIL_WINDRES}" PARENT_SCOPE)
endfunction()

# Compiles the .rc into a COFF object (Windows) or a generated C++ source
# (elsewhere) and returns its path.
function(_gnutil_compile_rc target source out_var)
  get_filename_component(source "${source}" ABSOLUTE)
  set(work "${CMAKE_CURRENT_BINARY_DIR}/gnutil_rc/${target}")
  if(WIN32)
    _gnutil_windres(windres)
    set(out "${work}/strings.rc.o")
    add_custom_command(OUTPUT "${out}"
      COMMAND ${CMAKE_COMMAND} -E make_directory "${work}"
      COMMAND "${windres}" -c 65001 -i "${source}" -o "${out}"
      DEPENDS "${source}"
      COMMENT "Compiling string resources ${source}" VERBATIM)
  else()
    if(NOT TARGET gnutil_rcgen)
      add_executable(gnutil_rcgen "${GNUTIL_RCGEN_SOURCE}")
      set_target_properties(gnutil_rcgen PROPERTIES CXX_STANDARD 17 CXX_STANDARD_REQUIRED ON)
    endif()
    set(out "${work}/strings.cpp")
    add_custom_command(OUTPUT "${out}"
      COMMAND ${CMAKE_COMMAND} -E make_directory "${work}"
      COMMAND gnutil_rcgen "${source}" "${out}"
      DEPENDS "${source}" gnutil_rcgen
      COMMENT "Generating the string table of ${source}" VERBATIM)
  endif()
  set(${out_var} "${out}" PARENT_SCOPE)
endfunction()

function(gnutil_add_resource_library target source)
  cmake_parse_arguments(PARSE_ARGV 2 arg "" "OUTPUT_NAME;OUTPUT_DIRECTORY" "")
  _gnutil_compile_rc(${target} "${source}" compiled)
  add_library(${target} MODULE "${compiled}")
  if(NOT arg_OUTPUT_NAME)
    set(arg_OUTPUT_NAME ${target})
  endif()
  set_target_properties(${target} PROPERTIES OUTPUT_NAME "${arg_OUTPUT_NAME}" PREFIX "")
  if(arg_OUTPUT_DIRECTORY)
    set_target_properties(${target} PROPERTIES LIBRARY_OUTPUT_DIRECTORY "${arg_OUTPUT_DIRECTORY}"
                                               RUNTIME_OUTPUT_DIRECTORY "${arg_OUTPUT_DIRECTORY}")
  endif()
  if(WIN32)
    # Nothing but resources: no runtime, no entry point.
    set_target_properties(${target} PROPERTIES SUFFIX ".dll" LINKER_LANGUAGE CXX)
    target_link_options(${target} PRIVATE -nostdlib -Wl,--entry,0)
  else()
    set_target_properties(${target} PROPERTIES SUFFIX ".so")
  endif()
endfunction()

function(gnutil_add_program_strings target source)
  _gnutil_compile_rc(${target}_strings "${source}" compiled)
  target_sources(${target} PRIVATE "${compiled}")
  if(NOT WIN32)
    # The loader finds the table through the program's dynamic symbols.
    target_link_options(${target} PRIVATE "LINKER:--export-dynamic-symbol=gnutil_resource_strings")
  endif()
endfunction()
